#pragma once
// The program's pictures, drawn by code: toolbar and menu glyphs, the tray
// bar's box icons, the splash buttons' glyphs and the window icon. Each is
// drawn in colour with its own darker outline so that it reads on light and
// dark palettes alike.

#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRectF>
#include <array>
#include <functional>

enum class TGlyph {
  // Toolbar, 24 x 24.
  Picture,
  PieceSize,
  ArrangeAtEdge,
  ArrangeInGrid,
  Sound,
  Music,
  QuickHelp,
  Undo,
  Redo,
  // Piece popup and tray bar, 16 x 16.
  RotateRight,
  RotateLeft,
  BoxEmpty,
  BoxFull,
  // Splash buttons, 32 x 32.
  Play,
  Order,
  Web,
  Close,
};

// The size the glyph is designed for, where it is sharpest.
int GlyphSize(TGlyph glyph);

// The glyph as a square picture of `size` pixels (its design size when size
// is 0), transparent around the drawing.
QPixmap DrawGlyph(TGlyph glyph, int size = 0);

// An icon drawn afresh at whatever size a screen asks for, device pixels
// included, by draw (which gets the size in pixels); designSize is the
// size it shows at on a screen of 100 %.
QIcon DrawnIcon(std::function<QPixmap(int size)> draw, int designSize);

// The glyph as an icon, drawn at the device's resolution on any display scale.
QIcon GlyphIcon(TGlyph glyph);

// Fills the shape with the colour, shaded from lighter by 30 % at the top of
// its bounds to the colour itself at the bottom, and outlines it with round
// joins in the colour darkened to half.
void FillOutlined(QPainter& painter, const QPainterPath& shape, const QColor& color, qreal outline = 1);

// The program's window icon, drawn afresh at 16, 32, 48, 64 and 128 pixels.
QIcon WindowIcon();
// That icon at size pixels: a jigsaw piece in the program's colour, filled
// and outlined as FillOutlined does.
QPixmap DrawWindowIcon(int size);
// Its parts, for drawings of it elsewhere (the installed icons): the
// piece's outline on a square of size pixels, its colour and the outline's
// width.
QPainterPath WindowIconPiece(qreal size);
QColor WindowIconColor();
qreal WindowIconOutline(qreal size);

enum class TPieceSide { Flat, Tab, Blank };

// The outline of a jigsaw piece whose square part is `body`; the sides are
// top, right, bottom, left. A tab reaches out of the body by 0.3 of the side
// length and a blank cuts as far in. Tabs and blanks are one curve mirrored,
// so a tab fits exactly into the blank of the neighbouring piece.
QPainterPath JigsawPiecePath(const QRectF& body, const std::array<TPieceSide, 4>& sides);
