#include "shell/modal.h"

namespace {

TModalHandler& Handler() {
  static TModalHandler handler;
  return handler;
}

TPopupHandler& PopupHandler() {
  static TPopupHandler handler;
  return handler;
}

}  // namespace

void SetModalHandler(TModalHandler handler) { Handler() = std::move(handler); }

int ShowModal(QDialog& dialog) {
  if (const TModalHandler& handler = Handler()) return handler(dialog);
  return dialog.exec();
}

void SetPopupHandler(TPopupHandler handler) { PopupHandler() = std::move(handler); }

QAction* ShowPopupMenu(QMenu& menu, QPoint screenPoint) {
  if (const TPopupHandler& handler = PopupHandler()) {
    QAction* chosen = handler(menu, screenPoint);
    if (chosen) chosen->trigger();
    return chosen;
  }
  return menu.exec(screenPoint);
}
