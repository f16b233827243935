// The main window on its screen: it opens at about four fifths of the
// screen's available area, keeps a least size, and gives a resumed game the
// play area it was saved with, within the screen. The first board's scale
// shows in the piece size dialog.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>

#include <cstdint>
#include <memory>

#include "platform/messagebox.h"
#include "shell/mainform.h"
#include "shell/menus.h"
#include "shell/traybarview.h"
#include "shell/modal.h"
#include "shell/piecesizedlg.h"
#include "shell/playarea.h"
#include "shell/speedbar.h"
#include "tests/common/testgift.h"

namespace {

// Answers the splashes and whatever else opens modally; a piece size dialog
// is looked at first.
class TAnswered {
 public:
  TAnswered() {
    SetMessageHandler([](TMsgType, TMsgButtons, const QString&) { return TMsgResult::Ok; });
    SetModalHandler([this](QDialog& dialog) {
      if (auto* sizes = qobject_cast<TPieceSizeDlg*>(&dialog); sizes && OnPieceSize) OnPieceSize(*sizes);
      return int(QDialog::Accepted);
    });
  }
  ~TAnswered() {
    SetMessageHandler({});
    SetModalHandler({});
  }
  std::function<void(TPieceSizeDlg&)> OnPieceSize;
};

QRect Available(const QWidget& window) { return window.screen()->availableGeometry(); }

bool Within(const QRect& inner, const QRect& outer) { return outer.contains(inner); }

class WindowFitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    gift_ = dir_.filePath(QStringLiteral("gift"));
    ASSERT_TRUE(WriteTestGift(gift_, 1200, 900));
  }

  // The player on the gift up to its board, the splash answered.
  std::unique_ptr<TMainForm> Play() {
    auto form = std::make_unique<TMainForm>([this] { return gift_; });
    form->show();
    QApplication::processEvents();
    form->Timer1->stop();
    form->Timer1Timer();
    QApplication::processEvents();
    return form;
  }

  // The saved game's play area, as the options block at its end holds it.
  void SpoilSavedPlayArea(std::int32_t width, std::int32_t height) {
    QFile saved(dir_.filePath(QStringLiteral("gift.sav")));
    ASSERT_TRUE(saved.open(QIODevice::ReadWrite));
    const qint64 block = saved.size() - 26;
    for (const auto& [at, value] : {std::pair{14, width}, std::pair{18, height}}) {
      ASSERT_TRUE(saved.seek(block + at));
      const auto v = std::uint32_t(value);
      const char bytes[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
      ASSERT_EQ(saved.write(bytes, 4), 4);
    }
  }

  TAnswered answered_;
  QTemporaryDir dir_;
  QString gift_;
};

}  // namespace

TEST_F(WindowFitTest, OpensAtFourFifthsOfTheScreenAndKeepsALeastSize) {
  TMainForm form([this] { return gift_; });
  form.show();
  QApplication::processEvents();
  form.Timer1->stop();
  const QRect screen = Available(form);
  const double share = double(form.width()) * form.height() / (double(screen.width()) * screen.height());
  EXPECT_NEAR(share, 0.8, 0.02);
  EXPECT_GE(form.width(), TMainForm::InitialWidth);
  EXPECT_GE(form.height(), TMainForm::InitialHeight);
  EXPECT_TRUE(Within(form.frameGeometry(), screen));
  EXPECT_LE(std::abs(form.frameGeometry().center().x() - screen.center().x()), 2);
  EXPECT_LE(std::abs(form.frameGeometry().center().y() - screen.center().y()), 2);

  // Made as small as it goes, the menus, the toolbar and the status line
  // stay whole, and the board stays large enough to play on.
  form.resize(300, 200);
  QApplication::processEvents();
  EXPECT_GE(form.width(), form.menuBar()->sizeHint().width());
  EXPECT_GE(form.width(), form.SpeedBar->SpeedHelp->geometry().right());
  EXPECT_GE(form.PaintBox1->width(), TMainForm::LeastBoardWidth);
  EXPECT_GE(form.PaintBox1->height(), TMainForm::LeastBoardHeight);
  EXPECT_EQ(form.StatusLine->height(), 28);
}

TEST_F(WindowFitTest, TheFirstBoardsScaleShowsInThePieceSizeDialog) {
  auto form = Play();
  const int scale = form->Records.Puzzle.ScalePercent;
  EXPECT_LT(scale, 100);
  // Every piece lies whole on the board.
  const QSize board = form->PaintBox1->size();
  for (const TFormPiece& p : form->Game->Pieces)
    EXPECT_TRUE(QRect(QPoint(), board).contains(QRect(p.X, p.Y, p.Width, p.Height))) << p.Index;

  int shown = 0;
  QString label;
  answered_.OnPieceSize = [&](TPieceSizeDlg& dialog) {
    shown = dialog.ScrollBarScale->value();
    label = dialog.LabelScale->text();
    // A scale one step larger is still a size a person may choose.
    dialog.ScrollBarScale->setValue(scale + 10);
    EXPECT_EQ(dialog.ScaleLimit, scale + 10);
  };
  ChoosePieceSize(*form->PieceSizeDlg);
  EXPECT_EQ(shown, scale);
  EXPECT_EQ(label, QStringLiteral("%1%").arg(scale));
}

TEST_F(WindowFitTest, AGameSavedMaximisedResumesWithItsPlayAreaAndBoard) {
  QSize played;
  TBitmap board;
  int scale = 0;
  {
    auto form = Play();
    const QSize opening = form->PaintBox1->size();
    form->showMaximized();
    QApplication::processEvents();
    played = form->PaintBox1->size();
    ASSERT_GT(played.width(), opening.width());
    form->Menus->ArrangeInGrid->trigger();
    QApplication::processEvents();
    board = form->Game->View.BoardBitmap;
    scale = form->Records.Puzzle.ScalePercent;
    ASSERT_EQ(board.Width(), played.width());
    form->close();
  }
  ASSERT_TRUE(QFile::exists(dir_.filePath(QStringLiteral("gift.sav"))));

  auto form = Play();
  EXPECT_EQ(form->PaintBox1->size(), played);
  EXPECT_TRUE(Within(form->frameGeometry(), Available(*form)));
  EXPECT_EQ(form->Records.Puzzle.ScalePercent, scale);
  const TBitmap& resumed = form->Game->View.BoardBitmap;
  ASSERT_EQ(resumed.Width(), board.Width());
  ASSERT_EQ(resumed.Height(), board.Height());
  for (int y = 0; y < board.Height(); ++y)
    ASSERT_TRUE(std::equal(board.ScanLine(y), board.ScanLine(y) + 3 * board.Width(), resumed.ScanLine(y))) << y;
}

TEST_F(WindowFitTest, AResumedTrayBarGetsItsRoomBesideThePlayArea) {
  // The bar of a resumed tray is shown after the play area took its saved
  // size: the window grows by the bar, so the play area keeps that size.
  QSize played;
  {
    auto form = Play();
    form->Menus->NewTray->trigger();
    QApplication::processEvents();
    ASSERT_TRUE(form->BoxBar->isVisibleTo(form.get()));
    played = form->PaintBox1->size();
    form->close();
  }
  auto form = Play();
  ASSERT_TRUE(form->BoxBar->isVisibleTo(form.get()));
  EXPECT_EQ(form->PaintBox1->size(), played);
}

TEST_F(WindowFitTest, AnAbsurdSavedPlayAreaResumesInAWindowThatFits) {
  {
    auto form = Play();
    form->close();
  }
  for (const auto& [width, height] : {std::pair{0, 0}, std::pair{-640, -480}, std::pair{100000, 80000},
                                      std::pair{2147483647, 5}}) {
    SpoilSavedPlayArea(width, height);
    auto form = Play();
    ASSERT_TRUE(form->BoardLive()) << width;
    EXPECT_TRUE(Within(form->frameGeometry(), Available(*form))) << width;
    const QSize area = form->PaintBox1->size();
    EXPECT_GE(area.width(), TMainForm::LeastBoardWidth) << width;
    EXPECT_GE(area.height(), TMainForm::LeastBoardHeight) << width;
    EXPECT_EQ(form->Game->View.BoardBitmap.Width(), area.width()) << width;
    // Every piece keeps some of itself on the board.
    for (const TFormPiece& p : form->Game->Pieces)
      EXPECT_TRUE(QRect(QPoint(), area).intersects(QRect(p.X, p.Y, p.Width, p.Height))) << width << " " << p.Index;
    form->close();
  }
}
