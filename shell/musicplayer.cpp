#include "shell/musicplayer.h"

#include <QMetaObject>

#include <cstdint>
#include <cstring>
#include <limits>
#include <span>

#include "platform/errors.h"
#include "platform/messagebox.h"

namespace {

// The mixer's end-of-music hook carries no data: it reaches the one player
// through this. Set before the hook is installed and cleared after it is
// removed; removing it waits for a hook that is running (both take the
// mixer's lock), so the hook never sees a player that is gone.
std::atomic<TMusicPlayer*> hookTarget{nullptr};

using TBytes = std::span<const std::uint8_t>;

std::uint32_t BigEndian(TBytes bytes, std::size_t at, std::size_t count) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < count; ++i) value = (value << 8) | bytes[at + i];
  return value;
}

// One track chunk read event by event, as the synthesizer reads it: every
// event lies inside the chunk, which ends at its End of Track event or at
// the chunk's end.
bool IsTrack(TBytes track) {
  std::size_t at = 0;
  auto next = [&](std::uint8_t& byte) {
    if (at >= track.size()) return false;
    byte = track[at++];
    return true;
  };
  auto number = [&](std::uint32_t& value) {  // at most four bytes of seven bits
    value = 0;
    for (int i = 0; i < 4; ++i) {
      std::uint8_t byte;
      if (!next(byte)) return false;
      value = (value << 7) | (byte & 0x7F);
      if ((byte & 0x80) == 0) return true;
    }
    return false;
  };
  auto skip = [&](std::uint32_t count) {
    if (count > track.size() - at) return false;
    at += count;
    return true;
  };

  std::uint8_t runningStatus = 0;
  while (at < track.size()) {
    std::uint32_t delta, length;
    std::uint8_t status, type;
    if (!number(delta) || !next(status)) return false;
    if (status < 0x80) {  // a data byte: the last channel message's status again
      if (runningStatus == 0) return false;
      --at;
      status = runningStatus;
    }
    if (status == 0xFF) {
      if (!next(type) || !number(length) || !skip(length)) return false;
      if (type == 0x2F) return true;
    } else if (status == 0xF0 || status == 0xF7) {
      if (!number(length) || !skip(length)) return false;
    } else if (status > 0xF0) {
      return false;  // real-time and common messages have no place in a file
    } else {
      runningStatus = status;
      // Program change and channel pressure carry one data byte, the others two.
      if (!skip((status & 0xE0) == 0xC0 ? 1 : 2)) return false;
    }
  }
  return true;
}

// A file the synthesizer would refuse as it starts to play, so that the
// piece ends at once and the loop starts it again, and again. The header
// gives the format (0 to 2), the number of tracks and a time division in
// ticks per quarter note (frames per second are not played); that many
// track chunks follow, with other chunks between them skipped.
bool IsStandardMidiFile(TBytes file) {
  if (file.size() < 14 || std::memcmp(file.data(), "MThd", 4) != 0 || BigEndian(file, 4, 4) != 6) return false;
  const std::uint32_t format = BigEndian(file, 8, 2);
  const std::uint32_t tracks = BigEndian(file, 10, 2);
  if (format > 2 || tracks == 0 || (file[12] & 0x80) != 0) return false;
  std::size_t at = 14;
  for (std::uint32_t found = 0; found < tracks;) {
    if (file.size() - at < 8) return false;
    for (std::size_t i = 0; i < 4; ++i)
      if (file[at + i] >= 0x80) return false;  // chunk names are ASCII
    const std::uint32_t length = BigEndian(file, at + 4, 4);
    const std::size_t start = at + 8;
    if (length > file.size() - start) return false;
    if (std::memcmp(&file[at], "MTrk", 4) == 0) {
      if (!IsTrack(file.subspan(start, length))) return false;
      ++found;
    }
    at = start + length;
  }
  return true;
}

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
  if (tune.size() > std::numeric_limits<int>::max() || !IsStandardMidiFile(bytes))
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
