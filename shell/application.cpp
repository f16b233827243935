#include "shell/application.h"

#include <QMessageBox>

#include <cstdio>

#include "platform/messagebox.h"
#include "shell/fonts.h"
#include "shell/giftopening.h"
#include "shell/glyphs.h"
#include "shell/mainform.h"
#include "shell/startup.h"

namespace {

// The window a message box belongs to: the modal window open now, else the
// active window, else the main window. Tied to it, the box opens over it on
// a window system that places windows itself (Wayland) too.
QWidget* MessageParent() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  if (QWidget* active = QApplication::activeWindow()) return active;
  for (QWidget* window : QApplication::topLevelWidgets())
    if (qobject_cast<TMainForm*>(window) && window->isVisible()) return window;
  return nullptr;
}

TMsgResult ShowMessageBox(TMsgType type, TMsgButtons buttons, const QString& text) {
  QMessageBox box(MessageParent());
  box.setWindowTitle(QStringLiteral("Tessarine Gift"));
  box.setText(text);
  switch (type) {
    case TMsgType::Warning:
      box.setIcon(QMessageBox::Warning);
      break;
    case TMsgType::Error:
      box.setIcon(QMessageBox::Critical);
      break;
    case TMsgType::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case TMsgType::Confirmation:
      box.setIcon(QMessageBox::Question);
      break;
  }
  switch (buttons) {
    case TMsgButtons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case TMsgButtons::OkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
    case TMsgButtons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    case TMsgButtons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Ok:
      return TMsgResult::Ok;
    case QMessageBox::Yes:
      return TMsgResult::Yes;
    case QMessageBox::No:
      return TMsgResult::No;
    default:
      return TMsgResult::Cancel;
  }
}

}  // namespace

void InstallDesktopServices() {
  InstallFontSubstitutes();
  QApplication::setWindowIcon(WindowIcon());
  SetMessageHandler(ShowMessageBox);
}

int RunPlayer(QApplication& app) {
  const TGiftArgument argument = ParseGiftArgument(QApplication::arguments());
  if (!argument.UsageError.isEmpty()) {
    std::fprintf(stderr, "tessarine: %s\n", qPrintable(argument.UsageError));
    PrintPlayerUsage(stderr);
    return 2;
  }
  InstallDesktopServices();
  if (!CheckDisplay()) return 0;
  const QString gift = argument.Gift.isEmpty() ? DefaultGift() : argument.Gift;
  // A file the person named, or the installed demo, is checked before a
  // window opens, and the command line hears what is wrong too. A gift's own
  // file says so in its window, as it always has.
  QString problem;
  if (gift.isEmpty())
    problem = QStringLiteral("This player carries no gift, and no demo gift is installed with it. "
                             "Start it with a gift file: tessarine GIFT");
  else if (gift != ExePath())
    problem = GiftProblem(gift);
  if (!problem.isEmpty()) {
    std::fprintf(stderr, "tessarine: %s\n", qPrintable(problem.simplified()));
    MessageDlg(problem, TMsgType::Error, TMsgButtons::Ok);
    return 2;
  }
  const std::shared_ptr<TGiftLock> lock = LockGift(gift);
  if (!lock) return 0;
  TMainForm mainForm([gift] { return gift; });
  mainForm.HoldGiftLock(lock);
  mainForm.show();
  return app.exec();
}
