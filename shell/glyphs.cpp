#include "shell/glyphs.h"

#include <QApplication>
#include <QIconEngine>
#include <QLinearGradient>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QPainterPathStroker>
#include <QPolygonF>
#include <QRadialGradient>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

namespace {

// Every pixmap is drawn at the size asked for: a toolbar at 150 % asks for
// 36 pixels of a 24-pixel glyph and gets them drawn, not a 48-pixel glyph
// shrunk. Drawn pixmaps are kept, as a pixmap icon keeps its own.
class TDrawnIconEngine : public QIconEngine {
 public:
  TDrawnIconEngine(std::function<QPixmap(int)> draw, int designSize)
      : draw_(std::move(draw)), designSize_(designSize) {}

  QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
    const int side = std::min(size.width(), size.height());
    return {side, side};
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    const int side = actualSize(size, mode, state).width();
    if (side <= 0) return {};
    const auto key = std::pair(side, int(mode));
    if (const auto found = drawn_.find(key); found != drawn_.end()) return found->second;
    QPixmap picture = draw_(side);
    if (mode != QIcon::Normal && mode != QIcon::Active) {
      // Greyed as the style greys any icon.
      QStyleOption option;
      option.palette = QApplication::palette();
      picture = QApplication::style()->generatedIconPixmap(mode, picture, &option);
    }
    drawn_.emplace(key, picture);
    return picture;
  }

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1;
    QPixmap picture = pixmap(rect.size() * ratio, mode, state);
    picture.setDevicePixelRatio(ratio);
    painter->drawPixmap(rect.topLeft(), picture);
  }

  QIconEngine* clone() const override { return new TDrawnIconEngine(draw_, designSize_); }

  QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return {QSize(designSize_, designSize_)}; }

 private:
  std::function<QPixmap(int)> draw_;
  int designSize_;
  std::map<std::pair<int, int>, QPixmap> drawn_;
};

const QColor PieceColor(0xF0, 0x8A, 0x24);  // the program's warm orange
const QColor ArrowColor(0x1E, 0x6F, 0xD9);
// Loose pieces in the arrange and box pictures.
const std::array<QColor, 6> PieceColors{QColor(0xE5, 0x39, 0x35), PieceColor,
                                        QColor(0xFD, 0xD8, 0x35), QColor(0x43, 0xA0, 0x47),
                                        QColor(0x1E, 0x88, 0xE5), QColor(0x8E, 0x5C, 0xD9)};

// One side of a piece from (0, 0) to (1, 0) with the tab reaching up to
// y = -0.3; symmetric about x = 0.5, so the same curve walked backwards is the
// neighbour's blank.
void AddSide(QPainterPath& path, const QTransform& place, TPieceSide side) {
  if (side == TPieceSide::Flat) {
    path.lineTo(place.map(QPointF(1, 0)));
    return;
  }
  const qreal out = side == TPieceSide::Tab ? 1 : -1;
  auto at = [&](qreal x, qreal y) { return place.map(QPointF(x, y * out)); };
  path.lineTo(at(0.38, 0));
  path.cubicTo(at(0.44, 0), at(0.46, -0.04), at(0.42, -0.08));
  path.cubicTo(at(0.36, -0.14), at(0.36, -0.30), at(0.50, -0.30));
  path.cubicTo(at(0.64, -0.30), at(0.64, -0.14), at(0.58, -0.08));
  path.cubicTo(at(0.54, -0.04), at(0.56, 0), at(0.62, 0));
  path.lineTo(at(1, 0));
}

QPainterPath Polygon(std::initializer_list<QPointF> points) {
  QPainterPath path;
  path.addPolygon(QPolygonF(QList<QPointF>(points)));
  path.closeSubpath();
  return path;
}

QPainterPath Ellipse(QPointF centre, qreal rx, qreal ry) {
  QPainterPath path;
  path.addEllipse(centre, rx, ry);
  return path;
}

}  // namespace

// Fills the shape with the colour, a little lighter at the top, and outlines
// it a shade darker: the outline carries the shape on light backgrounds, the
// fill on dark ones.
void FillOutlined(QPainter& painter, const QPainterPath& shape, const QColor& color, qreal outline) {
  const QRectF box = shape.boundingRect();
  QLinearGradient shade(box.topLeft(), box.bottomLeft());
  shade.setColorAt(0, color.lighter(130));
  shade.setColorAt(1, color);
  painter.setBrush(shade);
  painter.setPen(QPen(color.darker(200), outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPath(shape);
}

namespace {

void StrokeLine(QPainter& painter, const QPainterPath& line, const QColor& color, qreal width) {
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPath(line);
}

void DrawLoosePiece(QPainter& painter, const QRectF& body, int colorIndex) {
  const QPainterPath piece =
      JigsawPiecePath(body, {TPieceSide::Tab, TPieceSide::Blank, TPieceSide::Flat, TPieceSide::Flat});
  FillOutlined(painter, piece, PieceColors[colorIndex % PieceColors.size()], 0.7);
}

void PaintPicture(QPainter& painter) {
  FillOutlined(painter, Polygon({{2.5, 4.5}, {21.5, 4.5}, {21.5, 19.5}, {2.5, 19.5}}),
               QColor(0xB0, 0x78, 0x38));
  const QRectF view(5, 7, 14, 10);
  QLinearGradient sky(view.topLeft(), view.bottomLeft());
  sky.setColorAt(0, QColor(0x4F, 0xA8, 0xEE));
  sky.setColorAt(1, QColor(0xCD, 0xEB, 0xFF));
  painter.setPen(Qt::NoPen);
  painter.setBrush(sky);
  painter.drawRect(view);
  painter.save();
  painter.setClipRect(view);
  FillOutlined(painter, Ellipse({15.5, 9.8}, 1.9, 1.9), QColor(0xFF, 0xD4, 0x3B), 0.6);
  QPainterPath hills(QPointF(4, 18));
  hills.lineTo(4, 14);
  hills.cubicTo(6, 11.5, 8, 11, 10, 13);
  hills.cubicTo(11.5, 14.5, 12.5, 12, 14.5, 12.5);
  hills.cubicTo(16.5, 13, 18, 14.5, 20, 14);
  hills.lineTo(20, 18);
  hills.closeSubpath();
  FillOutlined(painter, hills, QColor(0x43, 0xA0, 0x47), 0.6);
  painter.restore();
  painter.setPen(QPen(QColor(0x5C, 0x3A, 0x14), 0.8));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(view);
}

// An arrow along `shaft` with its head on the shaft's end, pointing in the
// direction `along` (of length 1).
void DrawArrow(QPainter& painter, const QPainterPath& shaft, QPointF along, qreal width, qreal head) {
  QPainterPathStroker stroker;
  stroker.setWidth(width);
  stroker.setCapStyle(Qt::FlatCap);
  const QPointF base = shaft.currentPosition();
  const QPointF across(-along.y(), along.x());
  const QPainterPath arrow = stroker.createStroke(shaft).united(
      Polygon({base + along * head, base + across * head * 0.75, base - across * head * 0.75}));
  FillOutlined(painter, arrow.simplified(), ArrowColor, 0.6);
}

void DrawStraightArrow(QPainter& painter, QPointF tail, QPointF tip, qreal width, qreal head) {
  const QPointF along = (tip - tail) / std::hypot(tip.x() - tail.x(), tip.y() - tail.y());
  QPainterPath shaft(tail);
  shaft.lineTo(tip - along * head);
  DrawArrow(painter, shaft, along, width, head);
}

void PaintPieceSize(QPainter& painter) {
  FillOutlined(painter,
               JigsawPiecePath(QRectF(6.5, 8.5, 9, 9),
                               {TPieceSide::Tab, TPieceSide::Tab, TPieceSide::Blank, TPieceSide::Flat}),
               PieceColor);
  DrawStraightArrow(painter, {6.5, 6.5}, {1.5, 1.5}, 1.8, 3.8);
  DrawStraightArrow(painter, {17.5, 17.5}, {22.5, 22.5}, 1.8, 3.8);
}

void PaintArrangeAtEdge(QPainter& painter) {
  FillOutlined(painter, Polygon({{1.5, 1.5}, {22.5, 1.5}, {22.5, 22.5}, {1.5, 22.5}}),
               QColor(0xE8, 0xD9, 0xB5));
  constexpr qreal pitch = 4.6;
  constexpr qreal first = 3.2;
  constexpr qreal last = first + 3 * pitch;
  int color = 0;
  for (int i = 0; i < 4; ++i) {
    DrawLoosePiece(painter, QRectF(first + i * pitch, first + 1, 3.4, 3.4), color++);
    DrawLoosePiece(painter, QRectF(first + i * pitch, last + 1, 3.4, 3.4), color++);
  }
  for (int i = 1; i < 3; ++i) {
    DrawLoosePiece(painter, QRectF(first, first + 1 + i * pitch, 3.4, 3.4), color++);
    DrawLoosePiece(painter, QRectF(last, first + 1 + i * pitch, 3.4, 3.4), color++);
  }
}

void PaintArrangeInGrid(QPainter& painter) {
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 3; ++column)
      DrawLoosePiece(painter, QRectF(2 + column * 7.5, 3.5 + row * 7, 5.5, 5.5), row * 3 + column);
}

void PaintSound(QPainter& painter) {
  FillOutlined(painter, Polygon({{3, 9.5}, {7, 9.5}, {12, 5}, {12, 19}, {7, 14.5}, {3, 14.5}}),
               QColor(0x90, 0xA4, 0xAE));
  for (qreal radius : {4.0, 7.5}) {
    QPainterPath wave;
    const QRectF circle(12 - radius, 12 - radius, 2 * radius, 2 * radius);
    wave.arcMoveTo(circle, -45);
    wave.arcTo(circle, -45, 90);
    StrokeLine(painter, wave, ArrowColor, 1.7);
  }
}

void PaintMusic(QPainter& painter) {
  QPainterPath notes;
  for (const QPointF head : {QPointF(7.5, 18.5), QPointF(17.5, 16.5)}) {
    QPainterPath ellipse = Ellipse({0, 0}, 3.1, 2.3);
    notes = notes.united(QTransform().translate(head.x(), head.y()).rotate(-25).map(ellipse));
    QPainterPath stem;
    stem.addRect(QRectF(head.x() + 1.6, head.y() - 13.5, 1.4, 13.5));
    notes = notes.united(stem);
  }
  notes = notes.united(Polygon({{9.1, 5}, {20.5, 3}, {20.5, 6}, {9.1, 8}}));
  FillOutlined(painter, notes.simplified(), QColor(0x8E, 0x5C, 0xD9), 0.8);
}

void PaintQuickHelp(QPainter& painter) {
  FillOutlined(painter, Ellipse({12, 12}, 10, 10), QColor(0x2F, 0x86, 0xEB));
  QPainterPath hook(QPointF(8.8, 9.2));
  hook.cubicTo(8.8, 6.6, 10.5, 5.6, 12.2, 5.6);
  hook.cubicTo(14.2, 5.6, 15.5, 7, 15.5, 8.8);
  hook.cubicTo(15.5, 11.3, 12.2, 11.6, 12.2, 14.2);
  StrokeLine(painter, hook, Qt::white, 2.6);
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::white);
  painter.drawEllipse(QPointF(12.2, 17.8), 1.5, 1.5);
}

// A three-quarter circle arrow; the anticlockwise one is its mirror image.
void PaintRotate(QPainter& painter, bool clockwise) {
  if (!clockwise) painter.setTransform(QTransform(-1, 0, 0, 1, 16, 0), true);
  const QPointF centre(8, 8.5);
  constexpr qreal radius = 5.2;
  constexpr qreal startDegrees = 180;
  constexpr qreal sweepDegrees = -210;
  const QRectF circle(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
  QPainterPath arc;
  arc.arcMoveTo(circle, startDegrees);
  arc.arcTo(circle, startDegrees, sweepDegrees);
  // Clockwise along the circle at the arc's end.
  const qreal end = (startDegrees + sweepDegrees) * std::numbers::pi / 180;
  DrawArrow(painter, arc, QPointF(std::sin(end), std::cos(end)), 2, 4);
}

// A hooked arrow turning back to the left (undo), or mirrored to the right
// (redo).
void PaintUndo(QPainter& painter, bool redo) {
  if (redo) painter.setTransform(QTransform(-1, 0, 0, 1, 24, 0), true);
  QPainterPath shaft(QPointF(19, 19));
  shaft.cubicTo(QPointF(20, 10), QPointF(13, 6.5), QPointF(8.5, 9.5));
  DrawArrow(painter, shaft, QPointF(-0.8, 0.6), 2.6, 5);
}

// An open cardboard box seen from the front, its flaps folded out.
void PaintBox(QPainter& painter, bool full) {
  const QColor cardboard(0xC8, 0x8E, 0x4A);
  FillOutlined(painter, Polygon({{2.5, 8}, {4, 5.5}, {12, 5.5}, {13.5, 8}}), cardboard.darker(190), 0.8);
  if (full) {
    DrawLoosePiece(painter, QRectF(3.6, 4.6, 3.4, 3.4), 0);
    DrawLoosePiece(painter, QRectF(9.2, 4.2, 3.4, 3.4), 4);
    DrawLoosePiece(painter, QRectF(6.2, 2.8, 3.4, 3.4), 3);
  }
  FillOutlined(painter, Polygon({{4, 5.5}, {2.5, 8}, {0.5, 4.5}, {2, 2.5}}), cardboard, 0.8);
  FillOutlined(painter, Polygon({{12, 5.5}, {13.5, 8}, {15.5, 4.5}, {14, 2.5}}), cardboard, 0.8);
  FillOutlined(painter, Polygon({{2.5, 8}, {13.5, 8}, {13.5, 14.5}, {2.5, 14.5}}), cardboard, 0.8);
}

void PaintPlay(QPainter& painter) {
  FillOutlined(painter,
               JigsawPiecePath(QRectF(3.5, 8.5, 19, 19),
                               {TPieceSide::Tab, TPieceSide::Tab, TPieceSide::Blank, TPieceSide::Flat}),
               PieceColor, 1.2);
  const QPainterPath play = Polygon({{9, 11}, {9, 25}, {21, 18}});
  StrokeLine(painter, play, Qt::white, 3.2);
  FillOutlined(painter, play, QColor(0x34, 0xA8, 0x53), 1.2);
}

// A shopping cart.
void PaintOrder(QPainter& painter) {
  const QColor frame(0x78, 0x90, 0x9C);
  QPainterPath handle(QPointF(2.5, 6.5));
  handle.lineTo(6.5, 6.5);
  handle.lineTo(10, 22);
  handle.lineTo(25.5, 22);
  StrokeLine(painter, handle, frame.darker(150), 2.4);
  StrokeLine(painter, handle, frame, 1.4);
  FillOutlined(painter, Polygon({{7.5, 10}, {28.5, 10}, {26, 18.5}, {9.5, 18.5}}), QColor(0xF5, 0xA6, 0x23));
  QPainterPath ribs;
  for (qreal x : {13.0, 18.0, 23.0}) {
    ribs.moveTo(x, 11);
    ribs.lineTo(x - 0.3, 17.5);
  }
  StrokeLine(painter, ribs, QColor(0xF5, 0xA6, 0x23).darker(150), 0.8);
  for (qreal x : {12.0, 23.5}) FillOutlined(painter, Ellipse({x, 25.8}, 2.3, 2.3), frame);
}

void PaintWeb(QPainter& painter) {
  const QPointF centre(16, 16);
  constexpr qreal radius = 13;
  QRadialGradient sea(QPointF(12, 11), 18);
  sea.setColorAt(0, QColor(0x81, 0xD4, 0xFA));
  sea.setColorAt(1, QColor(0x02, 0x77, 0xBD));
  const QPainterPath globe = Ellipse(centre, radius, radius);
  painter.setPen(QPen(QColor(0x01, 0x4A, 0x80), 1.2));
  painter.setBrush(sea);
  painter.drawPath(globe);
  painter.save();
  painter.setClipPath(globe);
  QPainterPath grid = Ellipse(centre, radius * 0.45, radius);
  grid.moveTo(centre.x(), 3);
  grid.lineTo(centre.x(), 29);
  grid.moveTo(3, centre.y());
  grid.lineTo(29, centre.y());
  for (qreal offset : {-6.5, 6.5}) {
    grid.moveTo(3, centre.y() + offset);
    grid.quadTo(centre.x(), centre.y() + offset * 0.7, 29, centre.y() + offset);
  }
  StrokeLine(painter, grid, QColor(255, 255, 255, 210), 1.1);
  painter.restore();
}

void PaintClose(QPainter& painter) {
  FillOutlined(painter, Ellipse({16, 16}, 13, 13), QColor(0xE5, 0x39, 0x35), 1.2);
  QPainterPath cross(QPointF(11, 11));
  cross.lineTo(21, 21);
  cross.moveTo(21, 11);
  cross.lineTo(11, 21);
  StrokeLine(painter, cross, Qt::white, 3.2);
}

struct TGlyphDesign {
  int Size;
  void (*Paint)(QPainter&);
};

TGlyphDesign Design(TGlyph glyph) {
  switch (glyph) {
    case TGlyph::Picture:
      return {24, PaintPicture};
    case TGlyph::PieceSize:
      return {24, PaintPieceSize};
    case TGlyph::ArrangeAtEdge:
      return {24, PaintArrangeAtEdge};
    case TGlyph::ArrangeInGrid:
      return {24, PaintArrangeInGrid};
    case TGlyph::Sound:
      return {24, PaintSound};
    case TGlyph::Music:
      return {24, PaintMusic};
    case TGlyph::QuickHelp:
      return {24, PaintQuickHelp};
    case TGlyph::Undo:
      return {24, [](QPainter& painter) { PaintUndo(painter, false); }};
    case TGlyph::Redo:
      return {24, [](QPainter& painter) { PaintUndo(painter, true); }};
    case TGlyph::RotateRight:
      return {16, [](QPainter& painter) { PaintRotate(painter, true); }};
    case TGlyph::RotateLeft:
      return {16, [](QPainter& painter) { PaintRotate(painter, false); }};
    case TGlyph::BoxEmpty:
      return {16, [](QPainter& painter) { PaintBox(painter, false); }};
    case TGlyph::BoxFull:
      return {16, [](QPainter& painter) { PaintBox(painter, true); }};
    case TGlyph::Play:
      return {32, PaintPlay};
    case TGlyph::Order:
      return {32, PaintOrder};
    case TGlyph::Web:
      return {32, PaintWeb};
    case TGlyph::Close:
      return {32, PaintClose};
  }
  return {24, PaintQuickHelp};
}

}  // namespace

QPainterPath JigsawPiecePath(const QRectF& body, const std::array<TPieceSide, 4>& sides) {
  // The corners clockwise from the top left; each side runs from its corner
  // to the next, with the outside on its left.
  const std::array<QPointF, 4> corners{body.topLeft(), body.topRight(), body.bottomRight(),
                                       body.bottomLeft()};
  QPainterPath path(corners[0]);
  for (std::size_t i = 0; i < 4; ++i) {
    const QPointF from = corners[i];
    const QPointF along = corners[(i + 1) % 4] - from;
    const QPointF inward(-along.y(), along.x());
    AddSide(path, QTransform(along.x(), along.y(), inward.x(), inward.y(), from.x(), from.y()), sides[i]);
  }
  path.closeSubpath();
  return path;
}

int GlyphSize(TGlyph glyph) { return Design(glyph).Size; }

QPixmap DrawGlyph(TGlyph glyph, int size) {
  const TGlyphDesign design = Design(glyph);
  if (size <= 0) size = design.Size;
  QPixmap picture(size, size);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(qreal(size) / design.Size, qreal(size) / design.Size);
  design.Paint(painter);
  return picture;
}

QIcon DrawnIcon(std::function<QPixmap(int size)> draw, int designSize) {
  // The icon owns its engine.
  return QIcon(new TDrawnIconEngine(std::move(draw), designSize));
}

QIcon GlyphIcon(TGlyph glyph) {
  return DrawnIcon([glyph](int size) { return DrawGlyph(glyph, size); }, GlyphSize(glyph));
}

QPainterPath WindowIconPiece(qreal size) {
  const QRectF body(size * 0.08, size * 0.27, size * 0.65, size * 0.65);
  return JigsawPiecePath(body, {TPieceSide::Tab, TPieceSide::Tab, TPieceSide::Blank, TPieceSide::Blank});
}

QColor WindowIconColor() { return PieceColor; }

qreal WindowIconOutline(qreal size) { return std::max(1.0, size / 24.0); }

QPixmap DrawWindowIcon(int size) {
  QPixmap picture(size, size);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  FillOutlined(painter, WindowIconPiece(size), PieceColor, WindowIconOutline(size));
  return picture;
}

QIcon WindowIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64, 128}) icon.addPixmap(DrawWindowIcon(size));
  return icon;
}
