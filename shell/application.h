#pragma once
// Program start: display check, the message box dialog, and the note of
// waiting mouse-button presses for animations that a click may stop.

#include <QApplication>

// Installs the desktop message box behind MessageDlg and the press filter.
void InstallDesktopServices(QApplication& app);

// Display check, main window, event loop; returns the exit status.
int RunPlayer(QApplication& app);
