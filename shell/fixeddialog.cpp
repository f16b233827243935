#include "shell/fixeddialog.h"

void SetFixedDialogSize(QDialog& dialog, int width, int height) {
  dialog.setFixedSize(width, height);
  Qt::WindowFlags flags = dialog.windowFlags();
  flags &= ~(Qt::WindowMinMaxButtonsHint | Qt::WindowContextHelpButtonHint);
  flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  dialog.setWindowFlags(flags);
}
