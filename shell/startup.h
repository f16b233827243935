#pragma once
// Start-up display check and opening the maker's web site.

#include <QString>

// The maker's web address, shown on the splash and the about box: a build
// setting, empty unless the build names one.
inline QString MakerWebAddress() { return QStringLiteral(TG_MAKER_WEB_ADDRESS); }

// Bits per pixel of the screen.
int ColorDepth();

// True when the display shows at least 15 bits per pixel. Otherwise warns,
// offers the desktop's display settings, and returns false: the program must
// then end without opening a window.
bool CheckDisplay();

// Starts the browser on the address, or tells the user that none was found.
void OpenInBrowser(const QString& address);
