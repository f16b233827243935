#pragma once
// The window layouts name the fonts of another desktop (Arial, Times New
// Roman, MS Sans Serif, System); here they are the metric-compatible free
// fonts our scripts install, so that texts fit the sizes they were laid out
// for.

#include <QColor>
#include <QFont>
#include <QString>

#include "game/gifttrailer.h"
#include "platform/types.h"

// Maps the layouts' font names to the installed free fonts.
void InstallFontSubstitutes();

// A font by the layouts' convention: a negative height is the character
// height in pixels, a positive one a size in points.
QFont DesignFont(const QString& family, int height, bool bold = false, bool italic = false);
QFont FontFromSpec(const TFontSpec& record);

// A plain or system colour as the desktop paints it.
QColor ToQColor(TColor color);
