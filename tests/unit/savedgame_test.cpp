#include "game/savedgame.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "game/jigsaw.h"
#include "platform/errors.h"
#include "platform/messagebox.h"
#include "tests/common/files.h"
#include "tests/common/testgame.h"

namespace {

// The sections of a 12-piece game (4 x 3 on a 400 x 300 picture) with the
// board tray and two more, worked out from the layout.
constexpr std::size_t ExtrasAt = 4457;
constexpr std::size_t PiecesAt = 4484;
constexpr std::size_t BlockBAt = PiecesAt + 12 * 12;  // 4628
constexpr std::size_t BlockCAt = BlockBAt + 12 * 22;  // 4892
constexpr std::size_t TraysAt = BlockCAt + 12 * 2;    // 4916
constexpr std::size_t BoardOnlySize = TraysAt + 26;   // 4942
constexpr std::size_t TwoTraysSize = BoardOnlySize + 2 * 148;

const QString unreadable = QStringLiteral("The saved game could not be read and a new game was started: ");

void PutU16(Bytes& bytes, std::size_t at, std::uint16_t value) {
  bytes[at] = std::uint8_t(value);
  bytes[at + 1] = std::uint8_t(value >> 8);
}

// Remembers every message box and answers Yes.
class TMessages {
 public:
  TMessages() {
    SetMessageHandler([this](TMsgType, TMsgButtons, const QString& text) {
      Shown.push_back(text);
      return TMsgResult::Yes;
    });
  }
  ~TMessages() { SetMessageHandler({}); }
  std::vector<QString> Shown;
};

// An environment variable set, or unset, while the object lives.
class TEnvironment {
 public:
  TEnvironment(const char* name, const QString& value)
      : name_(name), old_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name)) {
    if (value.isNull())
      qunsetenv(name);
    else
      qputenv(name, QFile::encodeName(value));
  }
  ~TEnvironment() {
    if (had_)
      qputenv(name_, old_);
    else
      qunsetenv(name_);
  }

 private:
  const char* name_;
  QByteArray old_;
  bool had_;
};

// While it lives, the code under test cannot write into the folder. Tests
// may run as root, whom a folder's permissions do not stop: the process then
// takes, for that time, the effective user 65534 ("nobody"), which has no
// rights of its own, as a player started by anyone else would be stopped.
class TReadOnlyFolder {
 public:
  explicit TReadOnlyFolder(const QString& folder) : folder_(QFile::encodeName(folder)) {
    chmod(folder_.constData(), 0555);
    if (geteuid() == 0) asNobody_ = seteuid(65534) == 0;
  }
  ~TReadOnlyFolder() {
    if (asNobody_) {
      EXPECT_EQ(seteuid(0), 0);
    }
    chmod(folder_.constData(), 0700);
  }
  // False where the tests run as root and cannot give the rights up.
  bool Holds() const { return geteuid() != 0; }

 private:
  QByteArray folder_;
  bool asNobody_ = false;
};

// While it lives, no file of the process grows beyond limit bytes: a write
// fails part way, as on a full disk.
class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(rlim_t limit) {
    getrlimit(RLIMIT_FSIZE, &old_);
    handler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit lowered = old_;
    lowered.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &lowered);
  }
  ~TFileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    signal(SIGXFSZ, handler_);
  }

 private:
  rlimit old_{};
  sighandler_t handler_;
};

// Where each piece lies, turned how, with which others and in which place of
// the stacking order, in which tray.
bool SamePieces(const std::vector<TFormPiece>& a, const std::vector<TFormPiece>& b) {
  return GroupPlaces(a) == GroupPlaces(b) &&
         std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const TFormPiece& p, const TFormPiece& q) {
           return p.X == q.X && p.Y == q.Y && p.Rotation == q.Rotation && p.Tray == q.Tray &&
                  p.Joined == q.Joined && p.Width == q.Width && p.Height == q.Height && p.HomeX == q.HomeX &&
                  p.HomeY == q.HomeY;
         });
}

QStringList Paths(const std::vector<TSavedGamePlace::TCandidate>& candidates) {
  QStringList paths;
  for (const auto& c : candidates) paths << c.Path;
  return paths;
}

// The message of a save that fails; empty when the file was written.
QString SaveFailure(TJigsaw& game) {
  try {
    game.SaveGame();
  } catch (const EError& e) {
    return e.Message();
  }
  return {};
}

class SavedGameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid() && stateDir_.isValid());
    gift_ = dir_.filePath(QStringLiteral("gift"));
    saved_ = gift_ + QStringLiteral(".sav");
    TGiftTrailer trailer = TestTrailer();
    trailer.RotationOn = 1;
    ASSERT_TRUE(WriteTestGift(gift_, 400, 300, trailer));
  }

  // A game of the gift as the player starts it on a board large enough for
  // a grid with room for trays; resumed tells whether a saved game was.
  std::unique_ptr<TTestGame> Started(bool* resumed = nullptr) { return StartedAt(gift_, resumed); }
  static std::unique_ptr<TTestGame> StartedAt(const QString& gift, bool* resumed = nullptr) {
    auto t = std::make_unique<TTestGame>(gift, 960, 720);
    const bool wasResumed = t->Start();
    if (resumed) *resumed = wasResumed;
    return t;
  }

  // A tray of the game, as a saved game brings one.
  static TBox& AddTray(TJigsaw& game, std::uint32_t number, TRect bounds, const QString& description) {
    TBox& tray = *game.Trays.emplace_back(std::make_unique<TBox>(game, number));
    tray.SetBounds(bounds);
    tray.Description = description;
    tray.TakeFrontNo();
    game.SortTrays(TBoxes::TTrayOrder::Stacking);
    return tray;
  }

  // Drops a loose piece at (x, y) in a tray, as the mouse does: it joins
  // what it fits there and its place is stored.
  static void DropAt(TJigsaw& game, int index, TBox& tray, int x, int y) {
    TFormPiece& p = game.PieceAt(index);
    p.X = x;
    p.Y = y;
    game.PickGroup(&p);
    game.DropMoving(&tray, true);
  }
  // Drops a loose piece turned as a neighbour is, where it belongs to it.
  static void DropOnto(TJigsaw& game, int index, int neighbour) {
    TFormPiece& p = game.PieceAt(index);
    const TFormPiece& q = game.PieceAt(neighbour);
    game.RotateGroup(p, (q.Rotation - p.Rotation + 4) % 4, false);
    const TPoint at = TPieces::ExpectedPos(p, q);
    DropAt(game, index, game.TrayByNumber(std::uint32_t(q.Tray)), at.X, at.Y);
  }

  // A game in play: re-cut at 120 %, arranged in a grid, a group of three
  // on the board, two trays (one holding a group of two, one a loose
  // piece), a piece turned, the clock and the counters running.
  std::unique_ptr<TTestGame> GameInPlay() {
    auto t = Started();
    TJigsaw& game = *t->game;
    game.SetScale(120);
    game.ArrangeInGrid(TArrangeSource::Board, false, false);
    DropOnto(game, 1, 0);
    DropOnto(game, 4, 0);
    TBox& sky = AddTray(game, 1, {600, 420, 900, 640}, QStringLiteral("Sky"));
    TBox& sea = AddTray(game, 2, {20, 520, 220, 680}, QString());
    DropAt(game, 6, sky, 620, 450);
    DropOnto(game, 7, 6);
    DropAt(game, 11, sea, 40, 550);
    game.RotateGroup(game.PieceAt(9), 1, false);
    game.Record.ElapsedSeconds = 4321;
    game.Record.CheatCount = 3;
    game.Record.AutoSolveUsed = 1;
    game.Window.SetColor(0x336699);
    // As the window notes the board after every action: what a tray covers
    // has moved out from under it.
    game.NoteChanges();
    return t;
  }

  QTemporaryDir dir_;
  QTemporaryDir stateDir_;
  TEnvironment state_{"XDG_STATE_HOME", stateDir_.path()};
  QString gift_;
  QString saved_;
};

}  // namespace

TEST_F(SavedGameTest, TheFileOfABoardOnlyGameHoldsItsSectionsInOrder) {
  auto t = Started();
  TJigsaw& game = *t->game;
  game.Record.ElapsedSeconds = 75;
  game.SaveGame();
  const Bytes file = ReadFile(saved_);
  ASSERT_EQ(file.size(), 4457u + 27u + 36u * 12u + 26u);

  EXPECT_EQ(Bytes(file.begin(), file.begin() + 2), (Bytes{5, 0}));
  EXPECT_EQ(Bytes(file.begin() + 4278, file.begin() + 4284), (Bytes{12, 0, 4, 0, 3, 0}));
  EXPECT_EQ(Bytes(file.begin() + 4315, file.begin() + 4319), (Bytes{75, 0, 0, 0}));
  // The extras: the board tray only, the bar's first tray, no clock limit,
  // the gift's colour 0x404020 as the window's, and front number 1 next
  // (the board tray took 0).
  EXPECT_EQ(
      Bytes(file.begin() + ExtrasAt, file.begin() + PiecesAt),
      (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0x20, 0x40, 0x40, 0, 1, 0, 0, 0}));
  // Piece 5's entries: its home box and colour key, its group and turn, its
  // tray.
  const TFormPiece& p = game.PieceAt(5);
  const std::size_t a = PiecesAt + 5 * 12, b = BlockBAt + 5 * 22, c = BlockCAt + 5 * 2;
  EXPECT_EQ(file[a] | file[a + 1] << 8, p.HomeX);
  EXPECT_EQ(file[a + 6] | file[a + 7] << 8, p.Height);
  EXPECT_EQ(std::uint32_t(file[a + 8] | file[a + 9] << 8 | file[a + 10] << 16 | file[a + 11] << 24),
            p.ColourKey);
  EXPECT_EQ(file[b + 12] | file[b + 13] << 8, p.Group);
  EXPECT_EQ(file[b + 18], p.Rotation);
  EXPECT_EQ(file[c] | file[c + 1] << 8, 0);
  // The options: shadows, rotation (the gift's), cheating and sound on, no
  // music, Card outlines, no ghost, snap divisor 4, the 960 x 720 board and
  // the end marker 4.
  EXPECT_EQ(Bytes(file.begin() + TraysAt, file.end()),
            (Bytes{1, 1, 1, 1, 0, 2, 0, 0, 0, 0, 4, 0, 0, 0, 0xC0, 3, 0, 0, 0xD0, 2, 0, 0, 4, 0, 0, 0}));
}

TEST(ExtrasRecord, LiesOnFileFieldByField) {
  TExtrasRecord extras;
  extras.Reserved0 = 0x11223344;
  extras.TrayCount = 3;
  extras.FirstShownTray = 2;
  extras.ClockLimited = 1;
  extras.CountDown = 1;
  extras.LimitSeconds = 900;
  extras.WindowColour = 0x00C08040;
  extras.NextFrontNo = -2;
  const TExtrasRecord::TBytes bytes = extras.ToBytes();
  EXPECT_EQ(Bytes(bytes.begin(), bytes.end()),
            (Bytes{0x44, 0x33, 0x22, 0x11, 0, 0,    0,    0,    3, 0,    2,    0,    1,   1,
                   0,    0x84, 3,    0,    0, 0x40, 0x80, 0xC0, 0, 0xFE, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(TExtrasRecord::FromBytes(bytes), extras);
}

TEST(OptionsBlock, OnlyAMarkedBlockReachesTheMenus) {
  TWindowState window;
  window.PlayAreaWidth = 640;
  window.PlayAreaHeight = 480;
  window.MusicFile = QByteArrayLiteral("MThd");
  TJigConfig config(window);
  // Written: Wood outlines, no shadows, rotation, no cheating, no sound,
  // music, the ghost, snap divisor 6, an 800 x 600 board.
  TJigConfig::TBlock block{0, 1,    0, 0, 1, 3,    0, 0, 0, 1, 6, 0, 0,
                           0, 0x20, 3, 0, 0, 0x58, 2, 0, 0, 4, 0, 0, 0};

  // Without its marker, cut short, or with an outline style no menu has,
  // the block leaves the menus as they were and the options follow them.
  const TJigConfig before = config;
  for (const auto& [at, value] : {std::pair{22, 5}, std::pair{5, 9}}) {
    TJigConfig::TBlock spoilt = block;
    spoilt[std::size_t(at)] = std::uint8_t(value);
    config.ReadFrom(spoilt);
    EXPECT_EQ(static_cast<const TPieceOptions&>(config), static_cast<const TPieceOptions&>(before)) << at;
    EXPECT_TRUE(window.Menus.Shadows.Checked());
    EXPECT_EQ(window.Menus.Outlines.Tag(), 2);
    EXPECT_FALSE(window.Menus.Rotation.Checked());
  }
  config.ReadFrom(std::span(block).first(25));
  EXPECT_TRUE(window.Menus.Sound.Checked());
  window.Menus.Shadows.SetChecked(false);
  config.ReadFrom({});
  EXPECT_FALSE(config.Shadows);

  // With it, the menus and the toolbar take the options; the window is
  // asked for the saved board's size, and without one the board keeps the
  // play area's size.
  std::vector<std::pair<int, int>> asked;
  QObject::connect(&window, &TWindowState::PlayAreaSizeRequested,
                   [&](int w, int h) { asked.emplace_back(w, h); });
  config.ReadFrom(block);
  EXPECT_EQ(asked, (std::vector<std::pair<int, int>>{{800, 600}}));
  EXPECT_EQ(window.Menus.Outlines.Tag(), 3);
  EXPECT_TRUE(window.Menus.OutlinesWood.Checked() && !window.Menus.OutlinesCard.Checked());
  EXPECT_FALSE(window.Menus.Shadows.Checked() || window.Menus.AllowCheating.Checked() ||
               window.Menus.Sound.Checked() || window.Menus.SpeedSound.Checked());
  EXPECT_TRUE(window.Menus.Rotation.Checked() && window.Menus.RotateRight.Enabled());
  EXPECT_TRUE(window.Menus.Music.Checked() && window.Menus.Ghostpicture.Checked());
  EXPECT_EQ(config.WriteTo(), (TJigConfig::TBlock{0, 1,    0, 0, 1, 3,    0, 0, 0, 1, 6, 0, 0,
                                                  0, 0x80, 2, 0, 0, 0xE0, 1, 0, 0, 4, 0, 0, 0}));

  // A window that has room for 800 x 500 only: the options hold that.
  QObject::connect(&window, &TWindowState::PlayAreaSizeRequested, [&](int w, int h) {
    window.PlayAreaWidth = w;
    window.PlayAreaHeight = std::min(h, 500);
  });
  config.ReadFrom(block);
  EXPECT_EQ(config.PlayWidth, 800);
  EXPECT_EQ(config.PlayHeight, 500);

  // A gift without music keeps the Music item off.
  window.MusicFile.clear();
  window.Menus.Music.SetChecked(false);
  config.ReadFrom(block);
  EXPECT_FALSE(window.Menus.Music.Checked());
  EXPECT_FALSE(window.Menus.SpeedMusic.Checked());
}

TEST_F(SavedGameTest, AResumedGameIsTheGameThatWasSaved) {
  auto before = GameInPlay();
  TJigsaw& saved = *before->game;
  saved.SaveGame();
  ASSERT_EQ(ReadFile(saved_).size(), TwoTraysSize);
  saved.ResizeBoard(960, 720);
  // A resumed game numbers its groups from 0 in stacking order.
  saved.CompactGroups();

  bool resumed = false;
  auto after = Started(&resumed);
  TJigsaw& game = *after->game;
  EXPECT_TRUE(resumed);
  EXPECT_TRUE(game.IsPlaying());
  EXPECT_TRUE(SamePieces(saved.Pieces, game.Pieces));
  EXPECT_EQ(game.Record, saved.Record);
  EXPECT_EQ(game.Record.ScalePercent, 120);
  EXPECT_EQ(game.Record.SolvedCount, 5);
  EXPECT_EQ(game.Record.ElapsedSeconds, 4321);
  EXPECT_EQ(game.Record.CheatCount, 3);
  EXPECT_EQ(game.Extras, saved.Extras);
  EXPECT_EQ(after->window.Color(), 0x336699u);
  EXPECT_EQ(static_cast<const TPieceOptions&>(game.Config), static_cast<const TPieceOptions&>(saved.Config));

  // Both trays come back with their places, titles and pieces.
  ASSERT_EQ(game.Trays.size(), 3u);
  for (std::size_t i = 1; i < 3; ++i) {
    const TBox& a = *saved.Trays[i];
    const TBox& b = *game.Trays[i];
    EXPECT_EQ(b.Number, a.Number);
    EXPECT_EQ(b.BoundsRect(), a.BoundsRect());
    EXPECT_EQ(b.FrontNo, a.FrontNo);
    EXPECT_EQ(b.Description, a.Description);
    EXPECT_EQ(b.Count(), a.Count());
    EXPECT_TRUE(b.Button->Full());
  }
  EXPECT_EQ(game.TrayByNumber(1).Count(), 2);
  EXPECT_EQ(game.BoardTray().Count(), 9);
  EXPECT_TRUE(SameBitmap(game.View.BoardBitmap, saved.View.BoardBitmap));
  EXPECT_TRUE(SameBitmap(after->screen.Image(), game.View.BoardBitmap));
}

TEST_F(SavedGameTest, AFileOfFormatTwoHasNoSecondRecordAndIsWrittenBackSo) {
  auto first = GameInPlay();
  // A game of that format has no trays but the board.
  first->game->FreeTrays();
  first->game->MakeTrays();
  first->game->SetScale(120);
  DropOnto(*first->game, 1, 0);
  first->game->SaveGame();
  Bytes file = ReadFile(saved_);
  ASSERT_EQ(file.size(), BoardOnlySize);
  file[0] = 2;
  file.erase(file.begin() + ExtrasAt, file.begin() + PiecesAt);
  WriteFile(saved_, file);

  bool resumed = false;
  auto second = Started(&resumed);
  TJigsaw& game = *second->game;
  ASSERT_TRUE(resumed);
  EXPECT_EQ(game.Record.FormatVersion, 2);
  EXPECT_EQ(game.Extras.LimitSeconds, 600);
  EXPECT_EQ(game.Extras.WindowColour, 0x404020u);
  EXPECT_EQ(second->window.Color(), 0x404020u);
  // Piece block A began right after the puzzle record: the groups and turns
  // are the saved ones.
  EXPECT_EQ(GroupPlaces(game.Pieces), GroupPlaces(first->game->Pieces));
  for (std::size_t i = 0; i < game.Pieces.size(); ++i)
    EXPECT_EQ(game.Pieces[i].Rotation, first->game->Pieces[i].Rotation) << i;
  EXPECT_TRUE(game.PieceAt(1).Joined);

  // Saved again, it keeps its format and reads again.
  game.SaveGame();
  EXPECT_EQ(ReadFile(saved_).size(), BoardOnlySize - 27);
  auto third = Started(&resumed);
  EXPECT_TRUE(resumed);
  EXPECT_EQ(third->game->Record.FormatVersion, 2);
  EXPECT_TRUE(SamePieces(game.Pieces, third->game->Pieces));

  // Given a tray, it is written in the first format that keeps trays,
  // whose cut is its own, so that its pieces in the tray are not lost.
  TJigsaw& older = *third->game;
  TBox& sky = older.NewTray();
  DropAt(older, 5, sky, sky.InnerRect().Left + 10, sky.InnerRect().Top + 10);
  older.NoteChanges();
  older.SaveGame();
  auto fourth = Started(&resumed);
  ASSERT_TRUE(resumed);
  EXPECT_EQ(fourth->game->Record.FormatVersion, 3);
  ASSERT_GT(sky.Count(), 0);
  EXPECT_EQ(fourth->game->TrayByNumber(sky.Number).Count(), sky.Count());
  EXPECT_TRUE(SamePieces(older.Pieces, fourth->game->Pieces));
}

TEST_F(SavedGameTest, ASaveThatCannotBeWrittenKeepsTheOneBeforeAndSaysWhy) {
  auto t = GameInPlay();
  TJigsaw& game = *t->game;
  game.SaveGame();
  const Bytes before = ReadFile(saved_);
  const std::vector<TFormPiece> saved = game.Pieces;
  game.Disarrange(TArrangeSource::Board, false);

  // The gift's folder is read-only and the state folder cannot be made.
  QFile blocker(stateDir_.filePath(QStringLiteral("file")));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  chmod(QFile::encodeName(stateDir_.path()).constData(), 0777);
  {
    const TEnvironment noStateFolder("XDG_STATE_HOME", blocker.fileName() + QStringLiteral("/state"));
    const TReadOnlyFolder readOnly(dir_.path());
    if (!readOnly.Holds()) GTEST_SKIP() << "running as root without the right to give it up";
    const QString failure = SaveFailure(game);
    EXPECT_TRUE(failure.startsWith(QStringLiteral("The game could not be saved: neither \"") + saved_ +
                                   QStringLiteral("\" (Permission denied) nor \"")))
        << failure.toStdString();
    EXPECT_TRUE(
        failure.endsWith(QStringLiteral("\" (Not a directory) could be written. A game saved before is "
                                        "kept as it was.")))
        << failure.toStdString();
  }
  EXPECT_EQ(ReadFile(saved_), before);

  // The disk fills while the new file is written, in both places.
  {
    const TFileSizeLimit full(1000);
    EXPECT_TRUE(SaveFailure(game).contains(QStringLiteral("(File too large)")));
  }
  // Nothing else is left behind.
  EXPECT_EQ(ReadFile(saved_), before);
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden),
            (QStringList{QStringLiteral("gift"), QStringLiteral("gift.sav")}));
  EXPECT_TRUE(QDir(stateDir_.filePath(QStringLiteral("tessarine-gift")))
                  .entryList(QDir::Files | QDir::Hidden)
                  .isEmpty());

  // The old game is still the one that comes back.
  bool resumed = false;
  auto next = Started(&resumed);
  EXPECT_TRUE(resumed);
  EXPECT_TRUE(SamePieces(saved, next->game->Pieces));
}

TEST_F(SavedGameTest, AGiftInAFolderThatCannotBeWrittenSavesInTheStateFolder) {
  // Names: beside the gift with ".sav" added to its name (earlier players
  // put ".sav" in place of its extension); in this program's state folder
  // after the gift's name and a hash of its full path.
  const QString hash = QString::fromLatin1(
      QCryptographicHash::hash(gift_.toUtf8(), QCryptographicHash::Sha256).toHex().left(12));
  const TSavedGamePlace place(gift_);
  EXPECT_EQ(place.Beside(), saved_);
  EXPECT_EQ(place.InStateFolder(),
            stateDir_.path() + QStringLiteral("/tessarine-gift/gift-") + hash + QStringLiteral(".sav"));
  EXPECT_EQ(place.Earlier(), QString());
  const TSavedGamePlace exe(QStringLiteral("/games/birthday.exe"));
  EXPECT_EQ(exe.Beside(), QStringLiteral("/games/birthday.exe.sav"));
  EXPECT_EQ(exe.Earlier(), QStringLiteral("/games/birthday.sav"));
  EXPECT_EQ(exe.InStateFolder().section(QLatin1Char('/'), -1).left(9), QStringLiteral("birthday-"));
  EXPECT_EQ(TSavedGamePlace(QStringLiteral("/games.d/birthday")).Beside(),
            QStringLiteral("/games.d/birthday.sav"));
  EXPECT_EQ(TSavedGamePlace(QStringLiteral("/games.d/birthday")).Earlier(), QString());
  // A gift named like a saved game never takes its own file for one.
  EXPECT_EQ(TSavedGamePlace(QStringLiteral("/games/birthday.sav")).Beside(),
            QStringLiteral("/games/birthday.sav.sav"));
  EXPECT_EQ(TSavedGamePlace(QStringLiteral("/games/birthday.sav")).Earlier(), QString());
  EXPECT_NE(TSavedGamePlace(QStringLiteral("/a/gift")).InStateFolder(),
            TSavedGamePlace(QStringLiteral("/b/gift")).InStateFolder());
  {
    const TEnvironment home("HOME", QStringLiteral("/home/player"));
    const TEnvironment relative("XDG_STATE_HOME", QStringLiteral("state"));
    EXPECT_TRUE(TSavedGamePlace(gift_).InStateFolder().startsWith(
        QStringLiteral("/home/player/.local/state/tessarine-gift/gift-")));
  }

  auto t = GameInPlay();
  chmod(QFile::encodeName(stateDir_.path()).constData(), 0777);
  {
    const TReadOnlyFolder readOnly(dir_.path());
    if (!readOnly.Holds()) GTEST_SKIP() << "running as root without the right to give it up";
    t->game->SaveGame();
  }
  EXPECT_FALSE(QFileInfo::exists(saved_));
  EXPECT_EQ(ReadFile(place.InStateFolder()).size(), TwoTraysSize);
  EXPECT_EQ(Paths(place.Candidates()), QStringList{place.InStateFolder()});

  bool resumed = false;
  auto next = Started(&resumed);
  EXPECT_TRUE(resumed);
  EXPECT_TRUE(SamePieces(t->game->Pieces, next->game->Pieces));

  // With one in each place, the newer is the game; saved where the gift's
  // folder takes it again, the other copy goes.
  WriteFile(saved_, ReadFile(place.InStateFolder()));
  QFile old(saved_);
  ASSERT_TRUE(old.open(QIODevice::ReadWrite));
  old.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime);
  old.close();
  EXPECT_EQ(Paths(place.Candidates()), (QStringList{place.InStateFolder(), saved_}));
  next->game->SaveGame();
  EXPECT_EQ(Paths(place.Candidates()), QStringList{saved_});
  EXPECT_FALSE(QFileInfo::exists(place.InStateFolder()));

  // Discarding deletes it wherever it lies.
  WriteFile(place.InStateFolder(), ReadFile(saved_));
  next->game->DiscardSavedGame();
  EXPECT_FALSE(QFileInfo::exists(saved_));
  EXPECT_FALSE(QFileInfo::exists(place.InStateFolder()));
  EXPECT_EQ(next->game->Extras, TExtrasRecord{});
  Started(&resumed);
  EXPECT_FALSE(resumed);
}

TEST_F(SavedGameTest, ADamagedFileIsKeptAsideAndANewGameLaidOut) {
  const std::vector<TFormPiece> newGame = Started()->game->Pieces;
  auto t = GameInPlay();
  t->game->SaveGame();
  const Bytes good = ReadFile(saved_);
  ASSERT_EQ(good.size(), TwoTraysSize);
  const QString kept = saved_ + QStringLiteral(".damaged");

  // Each bad file: one message, the file kept under a new name, a new game
  // of the gift laid out.
  const auto refused = [&](const Bytes& bad, const std::string& what) {
    WriteFile(saved_, bad);
    const TMessages messages;
    bool resumed = true;
    auto next = Started(&resumed);
    EXPECT_FALSE(resumed) << what;
    EXPECT_EQ(messages.Shown.size(), 1u) << what;
    const QString message = messages.Shown.empty() ? QString() : messages.Shown[0];
    EXPECT_TRUE(message.startsWith(unreadable)) << what << ": " << message.toStdString();
    EXPECT_TRUE(message.endsWith(QStringLiteral(" The file is kept as \"") + kept + QStringLiteral("\".")))
        << what << ": " << message.toStdString();
    EXPECT_FALSE(QFileInfo::exists(saved_)) << what;
    EXPECT_EQ(ReadFile(kept), bad) << what;
    QFile::remove(kept);
    EXPECT_TRUE(next->game->IsPlaying()) << what;
    EXPECT_EQ(next->game->Trays.size(), 1u) << what;
    EXPECT_EQ(next->game->Record.FormatVersion, 5) << what;
    EXPECT_TRUE(SamePieces(next->game->Pieces, newGame)) << what;
    return message.mid(unreadable.size()).section(QStringLiteral(" The file is kept"), 0, 0);
  };

  // Cut short at the start of every section, and at a few other places.
  std::mt19937 random(20240601);
  std::vector<std::size_t> ends{0,        2,       ExtrasAt,      PiecesAt,         BlockBAt,
                                BlockCAt, TraysAt, TraysAt + 148, TwoTraysSize - 26};
  for (int i = 0; i < 3; ++i)
    ends.push_back(std::uniform_int_distribution<std::size_t>(1, good.size() - 1)(random));
  for (const std::size_t end : ends)
    refused(Bytes(good.begin(), good.begin() + std::ptrdiff_t(end)), "cut at " + std::to_string(end));
  Bytes longer = good;
  longer.push_back(0);
  EXPECT_EQ(refused(longer, "one byte more"), QStringLiteral("the file has 1 bytes after its last section."));

  // Values that cannot be this game's.
  struct TSpoilt {
    std::size_t At;
    std::uint16_t Value;
    const char* What;
  };
  const TSpoilt spoilt[] = {
      {0, 6, "a newer format"},
      {0, 0, "format 0"},
      {4278, 13, "a piece count its grid does not have"},
      {4280, 3, "another grid"},
      {4296, 401, "another picture"},
      {4264, 7, "shape style 7"},
      {4286, 11, "oddness 11"},
      {4453, 0, "no scale"},
      {4453, 4000, "a scale too large to cut"},
      {4453, 301, "a piece size larger than any the game offers"},
      {4317, 0x8000, "a negative play time"},
      {4294, 0x7FFF, "a group counter at the 32-bit limit"},
      {ExtrasAt + 8, 5, "more trays than records"},
      {ExtrasAt + 17, 0x8000, "a negative clock limit"},
      {BlockBAt + 3 * 22 + 18, 4, "a fifth quarter turn"},
      {BlockBAt + 3 * 22 + 14, 0x4000, "a group number no game reaches"},
      {BlockCAt + 2 * 2, 9, "a piece in tray 9"},
      {TraysAt + 148, 1, "two trays numbered 1"},
      {TraysAt + 18, 2, "a tray neither open nor closed"},
  };
  for (const TSpoilt& s : spoilt) {
    Bytes bad = good;
    PutU16(bad, s.At, s.Value);
    refused(bad, s.What);
  }
  Bytes unfinished = good;
  unfinished[4312] = 0x7F;
  EXPECT_EQ(refused(unfinished, "completion mark 0x7F"),
            QStringLiteral("its completion mark 127 is neither 0 nor 1."));
  Bytes shortOfPieces = good;
  PutU16(shortOfPieces, 4278, 11);
  EXPECT_EQ(refused(shortOfPieces, "11 pieces"),
            QStringLiteral("its piece count of 11 does not match its grid of 4 x 3 pieces."));

  // Flipped bits anywhere past the texts either keep the file from being
  // read, as above, or give a game whose every piece lies in a tray it has.
  for (int i = 0; i < 16; ++i) {
    Bytes bad = good;
    const std::size_t at = std::uniform_int_distribution<std::size_t>(4264, good.size() - 1)(random);
    bad[at] ^= std::uint8_t(1 << std::uniform_int_distribution<int>(0, 7)(random));
    WriteFile(saved_, bad);
    const TMessages messages;
    bool resumed = false;
    auto next = Started(&resumed);
    const std::string what = "bit flipped at " + std::to_string(at);
    EXPECT_EQ(resumed, messages.Shown.empty()) << what;
    if (!resumed) {
      EXPECT_EQ(ReadFile(kept), bad) << what;
      QFile::remove(kept);
      continue;
    }
    std::size_t held = 0;
    for (const auto& tray : next->game->Trays)
      for (const TFormPiece* p : tray->Pieces) {
        EXPECT_EQ(std::uint32_t(p->Tray), tray->Number) << what;
        EXPECT_LE(p->Rotation, 3) << what;
        ++held;
      }
    EXPECT_EQ(held, next->game->Pieces.size()) << what;
    EXPECT_EQ(next->game->View.BoardBitmap.Width(), 960) << what;
  }
}

TEST(SavedPieces, NeighboursNeverLieOutsideTheRecords) {
  // A record whose piece count is not its grid's: 12 records on 5 x 3.
  TPuzzleGeometry puzzle;
  puzzle.Columns = 5;
  puzzle.Rows = 3;
  puzzle.PieceCount = 12;
  puzzle.CellHeight = 40;
  TPieceOptions options;
  TPieces pieces(puzzle, options);
  pieces.CreatePieces();
  EXPECT_EQ(pieces.HomeNeighbour(11, DirectionRight), -1);
  EXPECT_EQ(pieces.HomeNeighbour(9, DirectionDown), -1);
  EXPECT_EQ(pieces.HomeNeighbour(6, DirectionDown), 11);
  EXPECT_EQ(pieces.HomeNeighbour(12, DirectionLeft), -1);
  EXPECT_EQ(pieces.HomeNeighbour(-1, DirectionRight), -1);
  const TNeighbourSlots around = pieces.NeighbourSlots(11);
  EXPECT_EQ(around[DirectionUp].Piece, &pieces.PieceAt(6));
  EXPECT_EQ(around[DirectionRight].Piece, nullptr);
  EXPECT_EQ(around[DirectionDown].Piece, nullptr);
  EXPECT_EQ(around[DirectionLeft].Piece, &pieces.PieceAt(10));
}

namespace {

QStringList FilesIn(const QString& folder) {
  return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

QString Link(const QString& target, const QString& link) {
  EXPECT_EQ(symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()), 0);
  return link;
}

}  // namespace

TEST_F(SavedGameTest, AGiftNamedLikeASavedGameIsNeverTakenForOne) {
  // "gift.sav" is a gift of its own, and it lies where the gift "gift"
  // saved its game.
  const QString named = dir_.filePath(QStringLiteral("gift.sav"));
  ASSERT_TRUE(WriteTestGift(named, 400, 300, TestTrailer(12, 99)));
  const Bytes giftBytes = ReadFile(named);
  const TMessages messages;

  bool resumed = true;
  auto own = StartedAt(named, &resumed);
  EXPECT_FALSE(resumed);
  own->game->ArrangeInGrid(TArrangeSource::Board, false, false);
  own->game->SaveGame();
  EXPECT_EQ(ReadFile(named), giftBytes);
  auto ownAgain = StartedAt(named, &resumed);
  EXPECT_TRUE(resumed);
  EXPECT_TRUE(SamePieces(ownAgain->game->Pieces, own->game->Pieces));

  // The gift "gift" neither reads, sets aside, replaces nor deletes it: its
  // game goes to the state folder and comes back from there.
  auto other = Started(&resumed);
  EXPECT_FALSE(resumed);
  other->game->SaveGame();
  EXPECT_TRUE(QFileInfo(TSavedGamePlace(gift_).InStateFolder()).isFile());
  auto otherAgain = Started(&resumed);
  EXPECT_TRUE(resumed);
  otherAgain->game->DiscardSavedGame();
  EXPECT_FALSE(QFileInfo::exists(TSavedGamePlace(gift_).InStateFolder()));

  EXPECT_EQ(ReadFile(named), giftBytes);
  EXPECT_TRUE(messages.Shown.empty());
  EXPECT_EQ(FilesIn(dir_.path()),
            (QStringList{QStringLiteral("gift"), QStringLiteral("gift.sav"), QStringLiteral("gift.sav.sav")}));
}

TEST_F(SavedGameTest, GiftsWhoseNamesDifferAfterADotKeepTheirOwnGames) {
  // The second gift of each pair is another puzzle: the same grid on
  // another seed, or another grid.
  const std::pair<QString, QString> pairs[] = {
      {QStringLiteral("Happy.Birthday.Sam"), QStringLiteral("Happy.Birthday.Ann")},
      {QStringLiteral("gift.exe"), QStringLiteral("gift")},
  };
  const TMessages messages;
  for (const auto& [first, second] : pairs) {
    const std::string what = first.toStdString() + " and " + second.toStdString();
    const QString a = dir_.filePath(first), b = dir_.filePath(second);
    ASSERT_TRUE(WriteTestGift(a, 400, 300, TestTrailer(12, 77)));
    ASSERT_TRUE(WriteTestGift(b, 400, 300, TestTrailer(first == QStringLiteral("gift.exe") ? 20 : 12)));
    bool resumed = true;
    auto gameA = StartedAt(a, &resumed);
    gameA->game->ArrangeInGrid(TArrangeSource::Board, false, false);
    gameA->game->SaveGame();
    auto gameB = StartedAt(b, &resumed);
    EXPECT_FALSE(resumed) << what;
    gameB->game->ArrangeAtEdge(TArrangeSource::Board, false, false);
    gameB->game->SaveGame();

    auto againA = StartedAt(a, &resumed);
    EXPECT_TRUE(resumed) << what;
    EXPECT_TRUE(SamePieces(againA->game->Pieces, gameA->game->Pieces)) << what;
    auto againB = StartedAt(b, &resumed);
    EXPECT_TRUE(resumed) << what;
    EXPECT_TRUE(SamePieces(againB->game->Pieces, gameB->game->Pieces)) << what;
    EXPECT_TRUE(QFileInfo::exists(TSavedGamePlace(a).Beside())) << what;
    EXPECT_TRUE(QFileInfo::exists(TSavedGamePlace(b).Beside())) << what;
    againA->game->DiscardSavedGame();
    againB->game->DiscardSavedGame();
  }
  EXPECT_TRUE(messages.Shown.empty());
  EXPECT_EQ(FilesIn(dir_.path()), (QStringList{QStringLiteral("Happy.Birthday.Ann"),
                                               QStringLiteral("Happy.Birthday.Sam"), QStringLiteral("gift"),
                                               QStringLiteral("gift.exe")}));
}

TEST_F(SavedGameTest, AGameSavedUnderTheEarlierNameIsStillFound) {
  // An earlier player saved the game of "birthday.exe" as "birthday.sav";
  // the picture it was made of lies beside it.
  const QString exe = dir_.filePath(QStringLiteral("birthday.exe"));
  const QString earlier = dir_.filePath(QStringLiteral("birthday.sav"));
  ASSERT_TRUE(WriteTestGift(exe, 400, 300));
  WriteFile(dir_.filePath(QStringLiteral("birthday.jpg")), Bytes{0xFF, 0xD8});
  auto first = StartedAt(exe);
  first->game->ArrangeInGrid(TArrangeSource::Board, false, false);
  first->game->SaveGame();
  ASSERT_TRUE(QFile::rename(TSavedGamePlace(exe).Beside(), earlier));

  const TMessages messages;
  bool resumed = false;
  auto second = StartedAt(exe, &resumed);
  EXPECT_TRUE(resumed);
  EXPECT_TRUE(SamePieces(second->game->Pieces, first->game->Pieces));
  // Saved again, it lies under its own name only.
  second->game->SaveGame();
  EXPECT_TRUE(QFileInfo::exists(exe + QStringLiteral(".sav")));
  EXPECT_FALSE(QFileInfo::exists(earlier));

  // Another gift's game there, or a file that is no saved game, is left
  // alone and never resumed.
  second->game->DiscardSavedGame();
  const QString other = dir_.filePath(QStringLiteral("birthday.bin"));
  ASSERT_TRUE(WriteTestGift(other, 400, 300, TestTrailer(12, 5)));
  auto otherGame = StartedAt(other);
  otherGame->game->SaveGame();
  ASSERT_TRUE(QFile::rename(other + QStringLiteral(".sav"), earlier));
  const Bytes othersGame = ReadFile(earlier);
  for (const Bytes& lying : {othersGame, Bytes(othersGame.begin(), othersGame.begin() + 100)}) {
    WriteFile(earlier, lying);
    auto third = StartedAt(exe, &resumed);
    EXPECT_FALSE(resumed);
    third->game->SaveGame();
    third->game->DiscardSavedGame();
    EXPECT_EQ(ReadFile(earlier), lying);
  }

  // Where a gift is named "birthday", "birthday.sav" is that gift's, even
  // of the same puzzle.
  ASSERT_TRUE(QFile::copy(exe, dir_.filePath(QStringLiteral("birthday"))));
  first->game->SaveGame();
  WriteFile(earlier, ReadFile(exe + QStringLiteral(".sav")));
  QFile::remove(exe + QStringLiteral(".sav"));
  auto fourth = StartedAt(exe, &resumed);
  EXPECT_FALSE(resumed);
  fourth->game->SaveGame();
  fourth->game->DiscardSavedGame();
  EXPECT_TRUE(QFileInfo::exists(earlier));
  EXPECT_TRUE(messages.Shown.empty());
}

TEST_F(SavedGameTest, ADamagedFileNeverHidesAValidOne) {
  auto t = GameInPlay();
  t->game->SaveGame();
  const TSavedGamePlace place(gift_);
  const Bytes good = ReadFile(saved_);
  const Bytes bad(good.begin(), good.begin() + 3000);

  // A valid game in the state folder, a newer damaged one beside the gift
  // (a gift folder that was read-only at the last save, say).
  const auto layDown = [&] {
    QDir().mkpath(QFileInfo(place.InStateFolder()).absolutePath());
    WriteFile(place.InStateFolder(), good);
    QFile state(place.InStateFolder());
    ASSERT_TRUE(state.open(QIODevice::ReadWrite));
    state.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime);
    state.close();
    WriteFile(saved_, bad);
  };
  layDown();
  {
    const TMessages messages;
    bool resumed = false;
    auto next = Started(&resumed);
    EXPECT_TRUE(resumed);
    EXPECT_TRUE(SamePieces(next->game->Pieces, t->game->Pieces));
    ASSERT_EQ(messages.Shown.size(), 1u);
    EXPECT_EQ(messages.Shown[0],
              QStringLiteral("The saved game could not be read: the file ends inside its puzzle record, after 3000 "
                             "bytes. The file is kept as \"%1.damaged\". The game saved in \"%2\" is resumed "
                             "instead.")
                  .arg(saved_, place.InStateFolder()));
    EXPECT_EQ(ReadFile(saved_ + QStringLiteral(".damaged")), bad);
  }

  // A damaged recovery file does not hide a saved game either; with every
  // file damaged a new game starts, and the message names each.
  WriteFile(place.Recovery(), Bytes(10, 1));
  {
    const TMessages messages;
    bool resumed = false;
    auto next = Started(&resumed);
    EXPECT_TRUE(resumed);
    ASSERT_EQ(messages.Shown.size(), 1u);
    EXPECT_TRUE(messages.Shown[0].contains(place.Recovery() + QStringLiteral(".damaged")));
  }
  WriteFile(place.Recovery(), Bytes(10, 1));
  WriteFile(place.InStateFolder(), bad);
  {
    const TMessages messages;
    bool resumed = true;
    Started(&resumed);
    EXPECT_FALSE(resumed);
    ASSERT_EQ(messages.Shown.size(), 1u);
    EXPECT_TRUE(messages.Shown[0].startsWith(unreadable));
    EXPECT_TRUE(messages.Shown[0].contains(QStringLiteral("Another copy could not be read either: ")));
    EXPECT_TRUE(messages.Shown[0].contains(place.InStateFolder() + QStringLiteral(".damaged\"")));
  }

  // The search itself shows nothing: it says what it found and why, and the
  // start shows that.
  layDown();
  {
    const TMessages messages;
    auto built = std::make_unique<TTestGame>(gift_, 960, 720);
    built->game->LoadGift();
    built->game->BuildPuzzle();
    const TSavedGame::TSearch search = TSavedGame::Find(*built->game);
    EXPECT_TRUE(search.Found.has_value());
    EXPECT_TRUE(search.Problem.endsWith(QStringLiteral(" is resumed instead."))) << search.Problem.toStdString();
    EXPECT_TRUE(messages.Shown.empty());
  }
}

TEST_F(SavedGameTest, OnlyTheTemporaryFilesOfUnfinishedWritesAreRemoved) {
  const TSavedGamePlace place(gift_);
  QDir().mkpath(QFileInfo(place.InStateFolder()).absolutePath());
  Started()->game->SaveGame();
  const QString victim = stateDir_.filePath(QStringLiteral("victim"));
  WriteFile(victim, Bytes{1, 2, 3});

  const QStringList leftovers{saved_ + QStringLiteral(".Ab12Cd"), place.InStateFolder() + QStringLiteral(".x9Y8z7"),
                              place.Recovery() + QStringLiteral(".QwErTy")};
  const QStringList others{saved_ + QStringLiteral(".tmp"), saved_ + QStringLiteral(".Ab12Cde"),
                           saved_ + QStringLiteral(".damaged"), dir_.filePath(QStringLiteral("other.sav.Ab12Cd")),
                           place.InStateFolder() + QStringLiteral(".x9Y8z")};
  for (const QString& path : leftovers + others) WriteFile(path, Bytes(50, 7));
  Link(victim, saved_ + QStringLiteral(".Zz99Yy"));
  ASSERT_TRUE(QDir().mkdir(saved_ + QStringLiteral(".Folder")));

  place.RemoveUnfinishedWrites();
  for (const QString& path : leftovers) EXPECT_FALSE(QFileInfo::exists(path)) << path.toStdString();
  for (const QString& path : others) EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString();
  EXPECT_TRUE(QFileInfo(saved_ + QStringLiteral(".Zz99Yy")).isSymLink());
  EXPECT_TRUE(QFileInfo(saved_ + QStringLiteral(".Folder")).isDir());
  EXPECT_EQ(ReadFile(victim), (Bytes{1, 2, 3}));
  EXPECT_EQ(ReadFile(saved_).size(), BoardOnlySize);

  // Beside a name the player of another gift may write ("gift.exe" took
  // "gift.sav" in earlier players), nothing is removed.
  ASSERT_TRUE(WriteTestGift(dir_.filePath(QStringLiteral("gift.exe")), 400, 300));
  WriteFile(leftovers[0], Bytes(50, 7));
  place.RemoveUnfinishedWrites();
  EXPECT_TRUE(QFileInfo::exists(leftovers[0]));
}

TEST_F(SavedGameTest, NoPlantedLinkIsFollowed) {
  QTemporaryDir elsewhere;
  const QString victim = elsewhere.filePath(QStringLiteral("victim"));
  const Bytes precious{'p', 'r', 'e', 'c', 'i', 'o', 'u', 's'};
  WriteFile(victim, precious);
  const TSavedGamePlace place(gift_);

  // A link where the saved game lies is set aside as a damaged file is: the
  // link moves, and a save writes a file of its own.
  Link(victim, saved_);
  {
    const TMessages messages;
    bool resumed = true;
    auto t = Started(&resumed);
    EXPECT_FALSE(resumed);
    EXPECT_EQ(messages.Shown.size(), 1u);
    EXPECT_TRUE(QFileInfo(saved_ + QStringLiteral(".damaged")).isSymLink());
    t->game->SaveGame();
    EXPECT_FALSE(QFileInfo(saved_).isSymLink());
    EXPECT_EQ(ReadFile(saved_).size(), BoardOnlySize);

    // Planted while the game plays, it is never replaced: the game goes to
    // the state folder.
    QFile::remove(saved_);
    Link(victim, saved_);
    t->game->SaveGame();
    EXPECT_TRUE(QFileInfo(saved_).isSymLink());
    EXPECT_EQ(ReadFile(place.InStateFolder()).size(), BoardOnlySize);
  }

  // Links at the names a damaged file is kept under, one to the victim, one
  // to a file that does not exist, stay as they are.
  for (const QString& path : {saved_, saved_ + QStringLiteral(".damaged"), place.InStateFolder()})
    QFile::remove(path);
  Link(victim, saved_ + QStringLiteral(".damaged"));
  const QString nowhere = elsewhere.filePath(QStringLiteral("created"));
  Link(nowhere, saved_ + QStringLiteral(".damaged.2"));
  WriteFile(saved_, Bytes(100, 9));
  {
    const TMessages messages;
    Started();
    ASSERT_EQ(messages.Shown.size(), 1u);
    EXPECT_TRUE(messages.Shown[0].endsWith(saved_ + QStringLiteral(".damaged.3\".")))
        << messages.Shown[0].toStdString();
  }
  EXPECT_EQ(ReadFile(saved_ + QStringLiteral(".damaged.3")), Bytes(100, 9));
  EXPECT_TRUE(QFileInfo(saved_ + QStringLiteral(".damaged")).isSymLink());
  EXPECT_TRUE(QFileInfo(saved_ + QStringLiteral(".damaged.2")).isSymLink());
  EXPECT_FALSE(QFileInfo::exists(nowhere));
  EXPECT_EQ(ReadFile(victim), precious);
}

TEST_F(SavedGameTest, AFifoWhereTheSavedGameLiesIsNeitherOpenedNorReplaced) {
  ASSERT_EQ(mkfifo(QFile::encodeName(saved_).constData(), 0600), 0);
  const TMessages messages;
  bool resumed = true;
  auto t = Started(&resumed);
  EXPECT_FALSE(resumed);
  t->game->SaveGame();
  struct stat info {};
  ASSERT_EQ(lstat(QFile::encodeName(saved_).constData(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
  EXPECT_EQ(ReadFile(TSavedGamePlace(gift_).InStateFolder()).size(), BoardOnlySize);
  Started(&resumed);
  EXPECT_TRUE(resumed);
  EXPECT_TRUE(messages.Shown.empty());
}
