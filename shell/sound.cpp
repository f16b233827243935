#include "shell/sound.h"

#include <SDL.h>

#include <QFile>

#include "platform/errors.h"
#include "platform/utility.h"

namespace {

constexpr int ChunkFrames = 1024;  // about 23 ms at 44.1 kHz: effects start at once

void ChooseSoundFont() {
  if (qEnvironmentVariableIsSet("SDL_SOUNDFONTS")) return;
  for (const char* font : {TAudioDevice::InstalledSoundFont, TAudioDevice::DefaultSoundFont})
    if (QFile::exists(QString::fromLatin1(font))) {
      Mix_SetSoundFonts(font);
      return;
    }
  // Otherwise the mixer looks in the usual places itself.
}

}  // namespace

TAudioDevice::TAudioDevice(std::chrono::milliseconds retryInterval) : retryInterval_(retryInterval) {}

TAudioDevice::~TAudioDevice() {
  if (!open_) return;
  Mix_CloseAudio();
  Mix_Quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool TAudioDevice::Open() {
  if (open_) return true;
  const auto now = std::chrono::steady_clock::now();
  if (lastTry_ && now - *lastTry_ < retryInterval_) return false;
  lastTry_ = now;

  // The audio subsystem brings SDL's event queue along, which would
  // otherwise take over SIGINT and SIGTERM from the program.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  if (Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, MIX_DEFAULT_CHANNELS, ChunkFrames) != 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  Mix_AllocateChannels(EffectChannel + 1);
  // Without MIDI support the music reports its own error when it is opened.
  Mix_Init(MIX_INIT_MID);
  ChooseSoundFont();
  open_ = true;
  return true;
}

TSound::TSound(TAudioDevice& device) : device_(device) {}

TSound::~TSound() {
  SetSoundEffects(nullptr);
  FreeSounds();
}

void TSound::LoadSounds() {
  for (int v = 1; v <= EffectCount; ++v) {
    try {
      waves_[v - 1] = LoadResourceStream(QStringLiteral("Wave%1").arg(v), QStringLiteral("WAVDATA"));
    } catch (const EResNotFound&) {
      waves_[v - 1].clear();
    }
  }
  decoded_ = false;
  Decode();
}

void TSound::FreeSounds() {
  if (device_.IsOpen()) Mix_HaltChannel(TAudioDevice::EffectChannel);
  fileSound_.reset();
  for (TChunk& effect : effects_) effect.reset();
  for (QByteArray& wave : waves_) wave.clear();
  decoded_ = false;
}

bool TSound::Decode() {
  if (!device_.Open()) return false;
  if (decoded_) return true;
  // The chunks are converted to the device's format, so they are made only
  // once the device is open.
  for (int i = 0; i < EffectCount; ++i)
    if (!waves_[i].isEmpty())
      effects_[i].reset(Mix_LoadWAV_RW(SDL_RWFromConstMem(waves_[i].constData(), int(waves_[i].size())), 1));
  decoded_ = true;
  return true;
}

void TSound::PlaySoundEntry(int n) {
  if (n < 1 || n > SoundTable.size() || n > 255) return;
  const QString& entry = SoundTable[n - 1];
  bool isNumber = false;
  const int v = entry.toInt(&isNumber);
  if (isNumber && v >= 1 && v <= EffectCount) {
    if (Decode() && effects_[v - 1]) Play(effects_[v - 1].get());
  } else if (QFile::exists(entry) && Decode()) {
    TChunk sound(Mix_LoadWAV(QFile::encodeName(entry).constData()));
    if (!sound) return;
    // Freeing the previous file's sound stops it if it is still playing.
    fileSound_ = std::move(sound);
    Play(fileSound_.get());
  }
}

void TSound::Play(Mix_Chunk* chunk) { Mix_PlayChannel(TAudioDevice::EffectChannel, chunk, 0); }

const Mix_Chunk* TSound::Effect(int v) const { return v >= 1 && v <= EffectCount ? effects_[v - 1].get() : nullptr; }
