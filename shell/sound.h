#pragma once
// Sound effects and the audio device they share with the music. A machine
// without sound, or one whose device another program holds, plays silently:
// no effect or tune ever reports that there is no device.

#include <SDL_mixer.h>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <chrono>
#include <memory>
#include <optional>

#include "game/soundeffects.h"

// The mixer on the default audio device (or the one SDL_AUDIODRIVER names).
// Opened at the first request; a device that cannot be opened is asked
// again at a later request, at most once per retry interval, so that a
// machine without sound is not slowed down and a device that appears later
// is used. It outlives the effects and the music that play on it.
class TAudioDevice {
 public:
  static constexpr std::chrono::milliseconds DefaultRetryInterval{5000};
  // The General MIDI sound font installed with the player, then the system's
  // default General MIDI font. SDL_SOUNDFONTS, when set, wins over both.
  static constexpr char InstalledSoundFont[] = "/usr/share/sounds/sf2/TimGM6mb.sf2";
  static constexpr char DefaultSoundFont[] = "/usr/share/sounds/sf2/default-GM.sf2";
  // Effects play on this mixer channel, one at a time.
  static constexpr int EffectChannel = 0;

  explicit TAudioDevice(std::chrono::milliseconds retryInterval = DefaultRetryInterval);
  ~TAudioDevice();
  TAudioDevice(const TAudioDevice&) = delete;
  TAudioDevice& operator=(const TAudioDevice&) = delete;

  // True when the mixer is open, opening it now if it may be tried.
  bool Open();
  bool IsOpen() const { return open_; }

 private:
  std::chrono::milliseconds retryInterval_;
  std::optional<std::chrono::steady_clock::time_point> lastTry_;
  bool open_ = false;
};

struct TChunkFree {
  void operator()(Mix_Chunk* chunk) const { Mix_FreeChunk(chunk); }
};
using TChunk = std::unique_ptr<Mix_Chunk, TChunkFree>;

// The five effects of resource type "WAVDATA" (WAVE1 to WAVE5), played from
// memory through the mixer. Installed as the game's sound effects by its
// owner (SetSoundEffects); it takes itself out again when destroyed.
class TSound : public TSoundEffects {
 public:
  static constexpr int EffectCount = 5;

  explicit TSound(TAudioDevice& device);
  ~TSound() override;
  TSound(const TSound&) = delete;
  TSound& operator=(const TSound&) = delete;

  // What effect n (counting from 1) sounds like: "1" to "5" name the
  // resources, any other text is the path of a wave file. Effects beyond
  // the table's end are not played.
  QStringList SoundTable;

  // Loads the five resources; a missing one stays silent. They are decoded
  // for the device as soon as it opens (now, when it can).
  void LoadSounds();
  // Stops any effect and releases the five.
  void FreeSounds();
  // Plays effect n now, cutting short the one that is sounding. A resource
  // that is not loaded, a file that does not exist or cannot be decoded, an
  // entry n outside the table and a missing device are all silent.
  void PlaySoundEntry(int n) override;

  // The decoded effect resource v (1 to 5), or null.
  const Mix_Chunk* Effect(int v) const;

 private:
  bool Decode();
  void Play(Mix_Chunk* chunk);

  TAudioDevice& device_;
  std::array<QByteArray, EffectCount> waves_;
  std::array<TChunk, EffectCount> effects_;
  bool decoded_ = false;
  TChunk fileSound_;  // the last effect played from a wave file
};
