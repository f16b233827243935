// gen-icons: draws the installed icons into a hicolor icon tree: the
// program's icon (the window icon's jigsaw piece) and the icon of gift
// files (that piece on a sheet of paper), as PNG at every size the menus and
// file managers ask for, and as scalable SVG.
//
//   gen-icons OUTDIR APP_ICON_NAME GIFT_ICON_NAME
//
// writes OUTDIR/hicolor/SIZExSIZE/apps/APP_ICON_NAME.png,
// OUTDIR/hicolor/scalable/apps/APP_ICON_NAME.svg and the same for the gift
// icon under mimetypes/.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <vector>

#include "shell/glyphs.h"

namespace {

// One shape of an icon, filled and outlined as FillOutlined does.
struct TLayer {
  QPainterPath Shape;
  QColor Color;
  qreal Outline;
};

using TDrawing = std::vector<TLayer>;

const int sizes[] = {16, 22, 24, 32, 48, 64, 128, 256, 512};
// The scalable icons are drawn on the canvas size of the hicolor theme's
// scalable folder.
constexpr int scalableSize = 128;

TDrawing ProgramIcon(qreal size) { return {{WindowIconPiece(size), WindowIconColor(), WindowIconOutline(size)}}; }

// A sheet with its top right corner folded over, the program's piece lying
// on it towards the lower left.
TDrawing GiftFileIcon(qreal size) {
  const qreal left = size * 0.16, right = size * 0.84, top = size * 0.06, bottom = size * 0.94;
  const qreal fold = size * 0.2;
  QPainterPath sheet(QPointF(left, top));
  sheet.lineTo(right - fold, top);
  sheet.lineTo(right, top + fold);
  sheet.lineTo(right, bottom);
  sheet.lineTo(left, bottom);
  sheet.closeSubpath();
  QPainterPath corner(QPointF(right - fold, top));
  corner.lineTo(right - fold, top + fold);
  corner.lineTo(right, top + fold);
  corner.closeSubpath();
  const qreal line = std::max(1.0, size / 32.0);
  QPainterPath piece = WindowIconPiece(size * 0.72);
  piece.translate(size * 0.13, size * 0.2);
  return {{sheet, QColor(0xF4, 0xF4, 0xF0), line},
          {corner, QColor(0xD8, 0xD8, 0xD0), line},
          {piece, WindowIconColor(), WindowIconOutline(size * 0.72)}};
}

QImage Png(const TDrawing& drawing, int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  for (const TLayer& layer : drawing) FillOutlined(painter, layer.Shape, layer.Color, layer.Outline);
  return image;
}

QString Number(qreal value) { return QString::number(value, 'f', 3); }

// The same drawing as SVG: every shape's path with the same shading and
// outline as the PNG.
QByteArray Svg(const TDrawing& drawing, int size) {
  QString svg = QStringLiteral(
                    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" viewBox=\"0 0 %1 %1\">\n")
                    .arg(size);
  QString shapes;
  int index = 0;
  for (const TLayer& layer : drawing) {
    const QRectF box = layer.Shape.boundingRect();
    svg += QStringLiteral(
               "  <defs><linearGradient id=\"shade%1\" gradientUnits=\"userSpaceOnUse\" x1=\"%2\" y1=\"%3\" "
               "x2=\"%2\" y2=\"%4\"><stop offset=\"0\" stop-color=\"%5\"/><stop offset=\"1\" "
               "stop-color=\"%6\"/></linearGradient></defs>\n")
               .arg(index)
               .arg(Number(box.left()), Number(box.top()), Number(box.bottom()),
                    layer.Color.lighter(130).name(), layer.Color.name());
    QString d;
    for (int i = 0; i < layer.Shape.elementCount(); ++i) {
      const QPainterPath::Element e = layer.Shape.elementAt(i);
      if (e.isMoveTo()) {
        d += QStringLiteral("M%1 %2 ").arg(Number(e.x), Number(e.y));
      } else if (e.isLineTo()) {
        d += QStringLiteral("L%1 %2 ").arg(Number(e.x), Number(e.y));
      } else if (e.isCurveTo()) {
        const QPainterPath::Element c2 = layer.Shape.elementAt(i + 1), end = layer.Shape.elementAt(i + 2);
        d += QStringLiteral("C%1 %2 %3 %4 %5 %6 ")
                 .arg(Number(e.x), Number(e.y), Number(c2.x), Number(c2.y), Number(end.x), Number(end.y));
        i += 2;
      }
    }
    shapes += QStringLiteral(
                  "  <path d=\"%1Z\" fill=\"url(#shade%2)\" stroke=\"%3\" stroke-width=\"%4\" "
                  "stroke-linejoin=\"round\" stroke-linecap=\"round\"/>\n")
                  .arg(d)
                  .arg(index)
                  .arg(layer.Color.darker(200).name(), Number(layer.Outline));
    ++index;
  }
  return (svg + shapes + QStringLiteral("</svg>\n")).toUtf8();
}

bool Write(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool WriteIcon(const QString& root, const QString& context, const QString& name, TDrawing (*draw)(qreal)) {
  for (int size : sizes) {
    const QString path = QStringLiteral("%1/hicolor/%2x%2/%3/%4.png").arg(root).arg(size).arg(context, name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!Png(draw(size), size).save(path, "PNG")) return false;
  }
  return Write(QStringLiteral("%1/hicolor/scalable/%2/%3.svg").arg(root, context, name),
               Svg(draw(scalableSize), scalableSize));
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 4) {
    std::fputs("usage: gen-icons OUTDIR APP_ICON_NAME GIFT_ICON_NAME\n", stderr);
    return 2;
  }
  const QString root = QString::fromLocal8Bit(argv[1]);
  if (!WriteIcon(root, QStringLiteral("apps"), QString::fromLocal8Bit(argv[2]), ProgramIcon) ||
      !WriteIcon(root, QStringLiteral("mimetypes"), QString::fromLocal8Bit(argv[3]), GiftFileIcon)) {
    std::fprintf(stderr, "gen-icons: cannot write the icons under %s\n", argv[1]);
    return 1;
  }
  return 0;
}
