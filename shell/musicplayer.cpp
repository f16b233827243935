#include "shell/musicplayer.h"

#include <QMetaObject>

#include <cstdint>
#include <limits>
#include <span>

#include "game/music.h"
#include "platform/errors.h"
#include "platform/messagebox.h"

namespace {

// The mixer's end-of-music hook carries no data: it reaches the one player
// through this. Set before the hook is installed and cleared after it is
// removed; removing it waits for a hook that is running (both take the
// mixer's lock), so the hook never sees a player that is gone.
std::atomic<TMusicPlayer*> hookTarget{nullptr};

using TBytes = std::span<const std::uint8_t>;

}  // namespace

TMusicPlayer::TMusicPlayer(TAudioDevice& device, QObject* parent) : QObject(parent), device_(device) {}

TMusicPlayer::~TMusicPlayer() {
  Close();
  if (hookTarget.load() == this) {
    Mix_HookMusicFinished(nullptr);
    hookTarget = nullptr;
  }
}

bool TMusicPlayer::Open(const QByteArray& tune) {
  Stop();
  if (!device_.Open()) return false;

  // The loop opens the piece again at every repetition: the same piece keeps
  // its synthesizer and sound font, which take a while to load.
  if (music_ && tune == tune_) return true;
  Close();

  const TBytes bytes(reinterpret_cast<const std::uint8_t*>(tune.constData()), std::size_t(tune.size()));
  if (tune.size() > std::numeric_limits<int>::max() || !MidiProblem(bytes).isEmpty())
    throw EError(QStringLiteral("The music in this jigsaw gift file is damaged and cannot be played."));
  std::unique_ptr<Mix_Music, TMusicFree> music(
      Mix_LoadMUSType_RW(SDL_RWFromConstMem(tune.constData(), int(tune.size())), MUS_MID, 1));
  if (!music)
    throw EError(QStringLiteral("The music in this jigsaw gift file cannot be played: %1")
                     .arg(QString::fromUtf8(Mix_GetError())));

  // Shares the caller's bytes, which stay as they are for as long as the
  // piece holds them: a change on the caller's side copies them first.
  tune_ = tune;
  music_ = std::move(music);
  if (hookTarget.load() != this) {
    hookTarget = this;
    Mix_HookMusicFinished(MusicFinished);
  }
  return true;
}

void TMusicPlayer::Close() {
  Stop();
  music_.reset();
  tune_.clear();
}

void TMusicPlayer::Play() {
  if (!music_) return;
  // The piece that is playing is stopped first, so that its end is never
  // taken for the end of the new play.
  Stop();
  playing_ = ++lastPlay_;
  if (Mix_PlayMusic(music_.get(), 0) != 0) playing_ = 0;
}

void TMusicPlayer::Stop() {
  playing_ = 0;
  if (music_) Mix_HaltMusic();
}

bool TMusicPlayer::IsPlaying() const { return music_ && playing_ != 0 && Mix_PlayingMusic() != 0; }

void SDLCALL TMusicPlayer::MusicFinished() {
  // On the mixer's thread, or inside a halt: the number of the play that
  // ended is posted to the window thread, which decides what it means.
  TMusicPlayer* player = hookTarget.load();
  if (!player) return;
  const unsigned play = player->playing_.load();
  if (play == 0) return;
  QMetaObject::invokeMethod(
      player, [player, play] { player->Finished(play); }, Qt::QueuedConnection);
}

void TMusicPlayer::Finished(unsigned play) {
  // A stop or a newer play since the piece ended: it did not play to its end.
  if (play != playing_) return;
  playing_ = 0;
  emit Completed();
}

void StartMusic(TMusicPlayer& player, TMenuItemState& music, TMenuItemState& speedMusic, const QByteArray& musicFile) {
  if (!music.Checked()) return;
  if (!musicFile.isEmpty()) {
    if (player.Open(musicFile)) player.Play();
    return;
  }
  music.SetChecked(false);
  speedMusic.SetChecked(false);
  MessageDlg(QStringLiteral("No music was included in this jigsaw gift file."), TMsgType::Information, TMsgButtons::Ok);
}
