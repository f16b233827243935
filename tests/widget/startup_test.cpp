#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>

#include <vector>

#include "platform/messagebox.h"
#include "platform/system.h"
#include "shell/mainform.h"
#include "shell/startup.h"

namespace {

struct TShownMessage {
  TMsgType Type;
  TMsgButtons Buttons;
  QString Text;
};

// Answers every message box with `answer` and records what was asked.
class MessageRecorder {
 public:
  explicit MessageRecorder(TMsgResult answer) {
    SetMessageHandler([this, answer](TMsgType type, TMsgButtons buttons, const QString& text) {
      Shown.push_back({type, buttons, text});
      return answer;
    });
  }
  ~MessageRecorder() { SetMessageHandler({}); }
  std::vector<TShownMessage> Shown;
};

class ScreenDepthAs {
 public:
  explicit ScreenDepthAs(int depth) { SetScreenDepthSource([depth] { return depth; }); }
  ~ScreenDepthAs() { SetScreenDepthSource({}); }
};

}  // namespace

TEST(StartupChecks, HighColourDisplaysStartWithoutAQuestion) {
  for (int depth : {15, 16, 24, 32}) {
    ScreenDepthAs screen(depth);
    MessageRecorder messages(TMsgResult::Cancel);
    EXPECT_TRUE(CheckDisplay()) << depth;
    EXPECT_TRUE(messages.Shown.empty()) << depth;
  }
}

TEST(StartupChecks, LowColourDisplaysAreRefusedWithTheColourCount) {
  ScreenDepthAs screen(8);
  MessageRecorder messages(TMsgResult::Cancel);
  EXPECT_FALSE(CheckDisplay());
  ASSERT_EQ(messages.Shown.size(), 1u);
  EXPECT_EQ(messages.Shown[0].Type, TMsgType::Warning);
  EXPECT_EQ(messages.Shown[0].Buttons, TMsgButtons::OkCancel);
  EXPECT_EQ(messages.Shown[0].Text,
            "This program needs HiColor mode (64K colors) or better and so is unable to continue while your "
            "desktop is set to 256 colors. Would you like to change your settings now?");

  ScreenDepthAs four(4);
  EXPECT_FALSE(CheckDisplay());
  EXPECT_TRUE(messages.Shown[1].Text.contains(QStringLiteral("set to 16 colors.")));
}

TEST(StartupChecks, NoBrowserTellsTheUserWhereToGo) {
  MessageRecorder messages(TMsgResult::Ok);
  // A desktop entry whose command cannot be read is no browser either.
  SetBrowserCommandSource([] { return QStringLiteral("\"/usr/bin/firefox %u"); });
  OpenInBrowser(QStringLiteral("https://example.org"));
  SetBrowserCommandSource([] { return QString(); });
  OpenInBrowser(QStringLiteral("https://example.org"));
  ASSERT_EQ(messages.Shown.size(), 2u);
  EXPECT_EQ(messages.Shown[0].Text, messages.Shown[1].Text);
  EXPECT_EQ(messages.Shown[0].Type, TMsgType::Information);
  EXPECT_EQ(messages.Shown[0].Buttons, TMsgButtons::Ok);
  EXPECT_EQ(messages.Shown[0].Text,
            "I'm unable to find your Internet Browser. If you have an Internet connection, please connect to "
            "https://example.org yourself, otherwise you can print and mail in the order form with a check.");
  SetBrowserCommandSource({});
}

TEST(MainForm, OpensCentredWithItsCaptionAndStatusLine) {
  TMainForm form;
  form.show();
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Tessarine Gift"));
  // Never smaller than the design's window, never larger than the screen.
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_GE(form.width(), TMainForm::InitialWidth);
  EXPECT_GE(form.height(), TMainForm::InitialHeight);
  EXPECT_TRUE(screen.contains(form.frameGeometry()));
  EXPECT_LE(std::abs(form.geometry().center().x() - screen.center().x()), 2);

  // Progress of long steps reaches the status line.
  ShowProgress(0, 10, QStringLiteral("Generating: "));
  EXPECT_EQ(form.StatusText(), QStringLiteral("Generating: 0%"));
  ClearStatus();
  EXPECT_EQ(form.StatusText(), QString());
}
