// Sound effects and music through the mixer, on SDL's dummy and disk audio
// drivers, so that they run on a machine without a sound card.

#include "shell/sound.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/errors.h"
#include "platform/messagebox.h"
#include "platform/utility.h"
#include "shell/musicplayer.h"

namespace {

// The audio driver SDL is to use while a test runs.
class TAudioDriver {
 public:
  explicit TAudioDriver(const char* driver) : saved_(qgetenv("SDL_AUDIODRIVER")) { Use(driver); }
  ~TAudioDriver() {
    if (saved_.isNull())
      qunsetenv("SDL_AUDIODRIVER");
    else
      qputenv("SDL_AUDIODRIVER", saved_);
  }
  void Use(const char* driver) { qputenv("SDL_AUDIODRIVER", driver); }

 private:
  QByteArray saved_;
};

constexpr char NoSuchDriver[] = "tessarine-no-such-driver";

struct TMessage {
  TMsgType Type;
  TMsgButtons Buttons;
  std::string Text;
};

class TMessages {
 public:
  TMessages() {
    SetMessageHandler([this](TMsgType type, TMsgButtons buttons, const QString& text) {
      Shown.push_back({type, buttons, text.toStdString()});
      return TMsgResult::Ok;
    });
  }
  ~TMessages() { SetMessageHandler({}); }
  std::vector<TMessage> Shown;
};

bool WaitUntil(const std::function<bool()>& done, int milliseconds) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > milliseconds) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(5);
  }
  return true;
}

// Lets the notes that the mixer posted to the window thread arrive.
void DeliverPostedNotes() {
  QThread::msleep(50);
  QCoreApplication::processEvents();
}

QByteArray Bytes(std::initializer_list<int> values) {
  QByteArray bytes;
  for (int v : values) bytes.append(char(v));
  return bytes;
}

QByteArray BigEndian32(std::uint32_t v) {
  return Bytes({int(v >> 24), int(v >> 16 & 0xFF), int(v >> 8 & 0xFF), int(v & 0xFF)});
}

QByteArray Chunk(const char* name, const QByteArray& body) {
  return QByteArray(name, 4) + BigEndian32(body.size()) + body;
}

QByteArray Header(int format, int tracks, int divisionHigh = 0, int divisionLow = 96) {
  return Chunk("MThd", Bytes({0, format, 0, tracks, divisionHigh, divisionLow}));
}

// A quarter note lasts half a second at 96 ticks to the quarter.
const QByteArray Tempo = Bytes({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20});
const QByteArray EndOfTrack = Bytes({0x00, 0xFF, 0x2F, 0x00});
// A flute plays one C for a quarter of a second.
const QByteArray ShortNote = Bytes({0x00, 0xC0, 0x49, 0x00, 0x90, 0x48, 0x60, 0x30, 0x80, 0x48, 0x00});

QByteArray TinyTune() { return Header(0, 1) + Chunk("MTrk", Tempo + ShortNote + EndOfTrack); }

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
  const QString path = dir.filePath(name);
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
  return path;
}

double Seconds(const Mix_Chunk* chunk) {
  int frequency = 0;
  Uint16 format = 0;
  int channels = 0;
  Mix_QuerySpec(&frequency, &format, &channels);
  return double(chunk->alen) / (frequency * channels * (SDL_AUDIO_BITSIZE(format) / 8));
}

bool HasAudioDriver(const char* name) {
  for (int i = 0; i < SDL_GetNumAudioDrivers(); ++i)
    if (std::strcmp(SDL_GetAudioDriver(i), name) == 0) return true;
  return false;
}

void (*TermHandler())(int) {
  struct sigaction action {};
  sigaction(SIGTERM, nullptr, &action);
  return action.sa_handler;
}

}  // namespace

class Sound : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HasAudioDriver("dummy") || !HasAudioDriver("disk")) GTEST_SKIP() << "SDL has no dummy or disk audio driver";
  }
};

class Music : public Sound {};

TEST_F(Sound, EffectsComeFromTheResourcesAndPlayOneAtATimeOnTheSoundTable) {
  TAudioDriver driver("dummy");
  QTemporaryDir dir;
  TAudioDevice device;
  auto sound = std::make_unique<TSound>(device);
  sound->LoadSounds();
  ASSERT_TRUE(device.IsOpen());

  // Decoded from memory at the lengths of the effects table.
  const double seconds[] = {0.09, 3.7, 2.2, 0.23, 0.71};
  const double halfDigit[] = {0.005, 0.05, 0.05, 0.005, 0.005};
  for (int v = 1; v <= TSound::EffectCount; ++v) {
    SCOPED_TRACE(v);
    ASSERT_NE(sound->Effect(v), nullptr);
    EXPECT_NEAR(Seconds(sound->Effect(v)), seconds[v - 1], halfDigit[v - 1]);
  }

  // Through the game's seam, and a new effect cuts the one sounding short.
  SetSoundEffects(sound.get());
  sound->SoundTable = {"1", "2", "3", "4", "5"};
  PlaySoundEntry(2);
  EXPECT_EQ(Mix_GetChunk(TAudioDevice::EffectChannel), sound->Effect(2));
  EXPECT_TRUE(Mix_Playing(TAudioDevice::EffectChannel));
  sound->PlaySoundEntry(3);
  EXPECT_EQ(Mix_GetChunk(TAudioDevice::EffectChannel), sound->Effect(3));
  EXPECT_TRUE(Mix_Playing(TAudioDevice::EffectChannel));

  // Entries outside the table, a file that does not exist and a number that
  // names no resource leave effect 3 sounding.
  sound->SoundTable[3] = dir.filePath("missing.wav");
  sound->SoundTable[4] = "7";
  for (int n : {0, -1, 4, 5, 6, 256}) sound->PlaySoundEntry(n);
  sound->SoundTable = QStringList{"1", "2"};
  sound->PlaySoundEntry(3);
  EXPECT_EQ(Mix_GetChunk(TAudioDevice::EffectChannel), sound->Effect(3));
  EXPECT_TRUE(Mix_Playing(TAudioDevice::EffectChannel));

  // Any other text is a wave file: here effect 4's bytes.
  sound->SoundTable[0] = WriteFile(dir, "effect.wav", LoadResourceStream("WAVE4", "WAVDATA"));
  sound->PlaySoundEntry(1);
  const Mix_Chunk* fromFile = Mix_GetChunk(TAudioDevice::EffectChannel);
  for (int v = 1; v <= TSound::EffectCount; ++v) EXPECT_NE(fromFile, sound->Effect(v));
  EXPECT_TRUE(Mix_Playing(TAudioDevice::EffectChannel));
  EXPECT_EQ(fromFile->alen, sound->Effect(4)->alen);

  sound->FreeSounds();
  EXPECT_FALSE(Mix_Playing(TAudioDevice::EffectChannel));
  sound->SoundTable = {"1", "2", "3", "4", "5"};
  sound->PlaySoundEntry(2);
  EXPECT_FALSE(Mix_Playing(TAudioDevice::EffectChannel));
  for (int v = 1; v <= TSound::EffectCount; ++v) EXPECT_EQ(sound->Effect(v), nullptr);

  // Gone, it is no longer the game's player.
  sound.reset();
  PlaySoundEntry(1);
  EXPECT_FALSE(Mix_Playing(TAudioDevice::EffectChannel));
}

TEST_F(Sound, AnEffectIsWrittenToTheAudioOutput) {
  TAudioDriver driver("disk");
  QTemporaryDir dir;
  const QString output = dir.filePath("output.raw");
  qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(output));
  int frequency = 0;
  double effectSeconds = 0;
  {
    TAudioDevice device;
    TSound sound(device);
    sound.LoadSounds();
    ASSERT_TRUE(device.IsOpen());
    Uint16 format = 0;
    int channels = 0;
    Mix_QuerySpec(&frequency, &format, &channels);
    ASSERT_EQ(format, AUDIO_S16SYS);
    ASSERT_EQ(channels, 2);
    effectSeconds = Seconds(sound.Effect(4));
    sound.SoundTable = {"1", "2", "3", "4", "5"};
    sound.PlaySoundEntry(4);
    ASSERT_TRUE(WaitUntil([] { return !Mix_Playing(TAudioDevice::EffectChannel); }, 10000));
  }
  qunsetenv("SDL_DISKAUDIOFILE");

  QFile file(output);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  const auto* samples = reinterpret_cast<const std::int16_t*>(bytes.constData());
  const qsizetype count = bytes.size() / 2;
  qsizetype first = -1, last = -1;
  int peak = 0;
  for (qsizetype i = 0; i < count; ++i) {
    const int level = std::abs(int(samples[i]));
    peak = std::max(peak, level);
    if (level > 256) {
      if (first < 0) first = i;
      last = i;
    }
  }
  EXPECT_GT(peak, 4000);
  ASSERT_GE(first, 0);
  // The sound lasts about as long as the effect, which plays once.
  const double heard = double(last - first) / 2 / frequency;
  EXPECT_GT(heard, effectSeconds * 0.5);
  EXPECT_LT(heard, effectSeconds * 1.1);
}

TEST_F(Music, APiecePlayedToItsEndCompletesOnTheWindowThreadAndAStoppedOneNever) {
  TAudioDriver driver("dummy");
  const QByteArray tune = TinyTune();
  TAudioDevice device;
  TMusicPlayer player(device);
  int completions = 0;
  bool onWindowThread = false;
  QObject::connect(&player, &TMusicPlayer::Completed, [&] {
    ++completions;
    onWindowThread = QThread::currentThread() == QCoreApplication::instance()->thread();
  });

  ASSERT_TRUE(player.Open(tune));
  if (QFile::exists(TAudioDevice::InstalledSoundFont) && !qEnvironmentVariableIsSet("SDL_SOUNDFONTS")) {
    EXPECT_STREQ(Mix_GetSoundFonts(), TAudioDevice::InstalledSoundFont);
  }
  EXPECT_FALSE(player.IsPlaying());
  player.Play();
  EXPECT_TRUE(player.IsPlaying());
  player.Stop();
  EXPECT_FALSE(player.IsPlaying());
  DeliverPostedNotes();
  EXPECT_EQ(completions, 0);

  // Played again before its end, it starts over: one notice, at the end.
  player.Play();
  player.Play();
  EXPECT_TRUE(player.IsPlaying());
  ASSERT_TRUE(WaitUntil([&] { return completions > 0; }, 20000));
  EXPECT_TRUE(onWindowThread);
  EXPECT_FALSE(player.IsPlaying());
  DeliverPostedNotes();
  EXPECT_EQ(completions, 1);

  // Started again on the notice, as the main window does, it loops.
  TMenuItemState music{true}, speedMusic{true};
  QObject::connect(&player, &TMusicPlayer::Completed, [&] { StartMusic(player, music, speedMusic, tune); });
  StartMusic(player, music, speedMusic, tune);
  ASSERT_TRUE(WaitUntil([&] { return completions == 2; }, 20000));
  EXPECT_TRUE(player.IsPlaying());
  player.Stop();
  DeliverPostedNotes();
  EXPECT_EQ(completions, 2);

  player.Close();
  player.Play();
  EXPECT_FALSE(player.IsPlaying());
}

TEST_F(Music, StartMusicFollowsTheMusicOptionAndRefusesDamagedMusic) {
  TAudioDriver driver("dummy");
  const QByteArray tune = TinyTune();
  TAudioDevice device;
  TMusicPlayer player(device);
  TMenuItemState music{false}, speedMusic{false};
  TMessages messages;

  StartMusic(player, music, speedMusic, tune);
  EXPECT_FALSE(player.IsPlaying());

  music.SetChecked(true);
  speedMusic.SetChecked(true);
  StartMusic(player, music, speedMusic, tune);
  EXPECT_TRUE(player.IsPlaying());
  EXPECT_TRUE(music.Checked());

  // Running status, a system exclusive message, a chunk of another kind
  // before the track and a track that ends without its End of Track event
  // are all music the synthesizer plays.
  const QByteArray loose =
      Header(1, 1) + Chunk("XFIH", Bytes({1, 2, 3})) +
      Chunk("MTrk", Tempo + Bytes({0x00, 0xF0, 0x03, 0x7E, 0x7F, 0xF7, 0x00, 0x90, 0x48, 0x60, 0x30, 0x48, 0x00}));
  StartMusic(player, music, speedMusic, loose);
  EXPECT_TRUE(player.IsPlaying());

  const QByteArray track = Chunk("MTrk", Tempo + ShortNote + EndOfTrack);
  const std::vector<std::pair<const char*, QByteArray>> damaged = {
      {"not MIDI at all", QByteArray(100, 'A')},
      {"a short header", QByteArray("MThd") + Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9})},
      {"a header of 7 bytes", Chunk("MThd", Bytes({0, 0, 0, 1, 0, 96, 0})) + track},
      {"format 3", Header(3, 1) + track},
      {"no track", Header(0, 0)},
      {"time in frames per second", Header(0, 1, 0xE7, 0x28) + track},
      {"one of two tracks", Header(1, 2) + track},
      {"a track cut short", Header(0, 1) + track.left(track.size() - 3)},
      {"a note cut short", Header(0, 1) + Chunk("MTrk", Tempo + Bytes({0x00, 0x90, 0x48}))},
      {"data before any status", Header(0, 1) + Chunk("MTrk", Bytes({0x00, 0x48, 0x60}) + EndOfTrack)},
      {"a delta time of five bytes", Header(0, 1) + Chunk("MTrk", Bytes({0x81, 0x81, 0x81, 0x81, 0x01}) + EndOfTrack)},
      {"a meta event longer than its track", Header(0, 1) + Chunk("MTrk", Bytes({0x00, 0xFF, 0x01, 0x10, 'a'}))},
      {"a chunk with a binary name", Header(0, 1) + Chunk("\x80TRk", Bytes({})) + track},
  };
  for (const auto& [what, bytes] : damaged) {
    SCOPED_TRACE(what);
    std::string error;
    try {
      // In place of the piece that plays, which is not taken for it.
      StartMusic(player, music, speedMusic, bytes);
    } catch (const EError& e) {
      error = e.Message().toStdString();
    }
    EXPECT_EQ(error, "The music in this jigsaw gift file is damaged and cannot be played.");
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_TRUE(music.Checked());
  }
  EXPECT_TRUE(messages.Shown.empty());

  // No music in the gift: the option goes off and the user is told.
  {
    const QByteArray missing;
    music.SetChecked(true);
    speedMusic.SetChecked(true);
    messages.Shown.clear();
    StartMusic(player, music, speedMusic, missing);
    EXPECT_FALSE(music.Checked());
    EXPECT_FALSE(speedMusic.Checked());
    ASSERT_EQ(messages.Shown.size(), 1u);
    EXPECT_EQ(messages.Shown[0].Type, TMsgType::Information);
    EXPECT_EQ(messages.Shown[0].Buttons, TMsgButtons::Ok);
    EXPECT_EQ(messages.Shown[0].Text, "No music was included in this jigsaw gift file.");
  }
}

TEST_F(Sound, WithoutAnAudioDeviceAllIsSilentUntilOneAppears) {
  TAudioDriver driver(NoSuchDriver);
  const QByteArray tune = TinyTune();
  TMessages messages;
  const auto termHandler = TermHandler();

  // A failed device is not asked again before the retry interval is over.
  {
    TAudioDevice device(std::chrono::hours(1));
    EXPECT_FALSE(device.Open());
    driver.Use("dummy");
    EXPECT_FALSE(device.Open());
    driver.Use(NoSuchDriver);
  }

  TAudioDevice device(std::chrono::milliseconds(0));
  TSound sound(device);
  TMusicPlayer player(device);
  TMenuItemState music{true}, speedMusic{true};
  sound.LoadSounds();
  sound.SoundTable = {"1", "2", "3", "4", "5"};
  for (int n = 1; n <= 5; ++n) EXPECT_NO_THROW(sound.PlaySoundEntry(n));
  for (int v = 1; v <= TSound::EffectCount; ++v) EXPECT_EQ(sound.Effect(v), nullptr);
  EXPECT_NO_THROW(StartMusic(player, music, speedMusic, tune));
  EXPECT_FALSE(device.IsOpen());
  EXPECT_FALSE(player.IsPlaying());
  EXPECT_TRUE(music.Checked());
  EXPECT_TRUE(speedMusic.Checked());
  EXPECT_TRUE(messages.Shown.empty());

  // The device appears: the music can be switched on, and effects sound.
  driver.Use("dummy");
  StartMusic(player, music, speedMusic, tune);
  EXPECT_TRUE(player.IsPlaying());
  sound.PlaySoundEntry(1);
  ASSERT_NE(sound.Effect(1), nullptr);
  EXPECT_EQ(Mix_GetChunk(TAudioDevice::EffectChannel), sound.Effect(1));
  EXPECT_TRUE(messages.Shown.empty());
  // The program keeps its own way of ending on SIGTERM.
  EXPECT_EQ(TermHandler(), termHandler);
}
