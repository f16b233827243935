#include "shell/application.h"

#include <QFileInfo>
#include <QMessageBox>

#include "game/giftlock.h"
#include "game/savedgame.h"

#include "platform/messagebox.h"
#include "shell/fonts.h"
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
  InstallDesktopServices();
  if (!CheckDisplay()) return 0;
  const QString gift = ExePath();
  const TSavedGamePlace place(gift);
  const TGiftLock lock(place.Lock());
  if (lock.State() == TGiftLock::TState::HeldElsewhere) {
    MessageDlg(QStringLiteral("\"%1\" is already open in another window. A gift plays in one window at a time, "
                              "so that neither game is lost: go on playing it there.")
                   .arg(QFileInfo(gift).fileName()),
               TMsgType::Information, TMsgButtons::Ok);
    return 0;
  }
  // With no other player of this gift running, a temporary file of its
  // saves is what a killed save left behind.
  if (lock.State() == TGiftLock::TState::Held) place.RemoveUnfinishedWrites();
  TMainForm mainForm;
  mainForm.show();
  return app.exec();
}
