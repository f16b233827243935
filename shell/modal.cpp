#include "shell/modal.h"

namespace {

TModalHandler& Handler() {
  static TModalHandler handler;
  return handler;
}

}  // namespace

void SetModalHandler(TModalHandler handler) { Handler() = std::move(handler); }

int ShowModal(QDialog& dialog) {
  if (const TModalHandler& handler = Handler()) return handler(dialog);
  return dialog.exec();
}
