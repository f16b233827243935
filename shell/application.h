#pragma once
// Program start: display check, the desktop's fonts, icon and message box.

#include <QApplication>

// Installs the font substitutes, the window icon and the desktop message box
// behind MessageDlg.
void InstallDesktopServices();

// Display check, main window, event loop; returns the exit status.
int RunPlayer(QApplication& app);
