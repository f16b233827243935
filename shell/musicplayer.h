#pragma once
// The gift's music: a standard MIDI file played through the mixer's
// synthesizer, with a notice when it has played to its end so that the main
// window can start it again.

#include <SDL_mixer.h>

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

#include "game/windowstate.h"
#include "shell/sound.h"

struct TMusicFree {
  void operator()(Mix_Music* music) const { Mix_FreeMusic(music); }
};

class TMusicPlayer : public QObject {
  Q_OBJECT

 public:
  // The mixer has one piece of music at a time: one player per program.
  explicit TMusicPlayer(TAudioDevice& device, QObject* parent = nullptr);
  ~TMusicPlayer() override;

  // Opens a MIDI file held in memory in place of the piece that was open,
  // which stops. False when there is no audio device: the music then stays
  // silent. Raises EError when it is not a MIDI file that the synthesizer
  // can play.
  bool Open(const QByteArray& tune);
  void Close();
  // Plays the open piece from its start; Completed follows once it has
  // played to its end.
  void Play();
  // Stops the piece; a stopped piece sends no Completed.
  void Stop();
  bool IsPlaying() const;

 signals:
  // On the window thread, once for each play that reached its end; never for
  // one that was stopped or replaced by a new play.
  void Completed();

 private:
  static void SDLCALL MusicFinished();
  void Finished(unsigned play);

  TAudioDevice& device_;
  // The open piece's bytes: the mixer may read them while the piece is open,
  // and the same bytes opened again keep the piece.
  QByteArray tune_;
  std::unique_ptr<Mix_Music, TMusicFree> music_;
  // The play under way (0 for none), read by the mixer's thread when a
  // piece ends.
  std::atomic<unsigned> playing_{0};
  unsigned lastPlay_ = 0;
};

// Starts the music from its beginning if the Music option is checked. With no
// music, the option is unchecked, the toolbar button released and the user
// told. Raises EError from Open.
void StartMusic(TMusicPlayer& player, TMenuItemState& music, TMenuItemState& speedMusic, const QByteArray& musicFile);
