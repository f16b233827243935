// The play area at the screen's device pixels. CTest runs these at the
// display scales 1, 1.5 and 2 (QT_SCALE_FACTOR), and on two screens of 100 %
// and 200 %; the mapping itself is checked at fractional ratios by hand.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPointingDevice>
#include <QScreen>
#include <QWindow>

#include <cmath>

#include "shell/devicepixels.h"
#include "shell/glyphs.h"
#include "shell/playarea.h"

namespace {

// The ratio CTest asked for, or that of the first screen.
qreal AskedRatio() {
  const QByteArray factor = qgetenv("QT_SCALE_FACTOR");
  return factor.isEmpty() ? QGuiApplication::primaryScreen()->devicePixelRatio() : factor.toDouble();
}

}  // namespace

TEST(DevicePixels, PointsAndRectanglesMapRoundedOutward) {
  // 150 %: logical 10.5 is device 15.75, the pixel 15; logical 4 is 6.
  EXPECT_EQ(ToDevicePoint({10.5, 4}, 1.5), QPoint(15, 6));
  // A logical pixel at 1 covers device 1.5 to 3, so pixels 1 and 2.
  EXPECT_EQ(ToDeviceRect(QRect(1, 1, 1, 1), 1.5), QRect(1, 1, 2, 2));
  EXPECT_EQ(ToDeviceRect(QRect(2, 0, 2, 4), 1.5), QRect(3, 0, 3, 6));
  // Device pixel 4 (4 to 5) lies in logical 2.67 to 3.33: pixels 2 and 3.
  EXPECT_EQ(ToLogicalRect(QRect(4, 4, 1, 1), 1.5), QRect(2, 2, 2, 2));
  EXPECT_EQ(ToLogicalRect(QRect(3, 0, 3, 6), 1.5), QRect(2, 0, 2, 4));
  // 125 %: device 0 to 10 is logical 0 to 8 exactly.
  EXPECT_EQ(ToLogicalRect(QRect(0, 0, 10, 10), 1.25), QRect(0, 0, 8, 8));
  EXPECT_EQ(ToDevicePoint({0.8, 7.2}, 1.25), QPoint(1, 9));
  // 200 %.
  EXPECT_EQ(ToLogicalRect(QRect(5, 6, 3, 2), 2), QRect(2, 3, 2, 1));
  EXPECT_EQ(ToDeviceRect(QRect(2, 3, 2, 1), 2), QRect(4, 6, 4, 2));
  EXPECT_EQ(ToLogicalPoint(QPoint(15, 6), 1.5), QPointF(10, 4));

  // Whatever the ratio, a device rectangle's logical one covers it again,
  // and a logical point's device pixel maps back into that logical pixel.
  for (qreal ratio : {1.0, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0})
    for (int left = 0; left < 12; ++left)
      for (int width = 1; width < 9; ++width) {
        const QRect device(left, left / 2, width, width + 1);
        const QRect logical = ToLogicalRect(device, ratio);
        EXPECT_TRUE(ToDeviceRect(logical, ratio).contains(device)) << ratio << " " << left << " " << width;
        // And not by more than a logical pixel on each side.
        EXPECT_LE(logical.width(), std::ceil(width / ratio) + 1);
        const QPoint point = ToDevicePoint(QPointF(left + 0.5, width + 0.25), ratio);
        EXPECT_EQ(ToLogicalRect(QRect(point, QSize(1, 1)), ratio).contains(QPoint(left, width)), true)
            << ratio << " " << left << " " << width;
      }
  EXPECT_TRUE(ToLogicalRect(QRect(), 1.5).isEmpty());
}

TEST(DevicePixels, PlayAreaIsTheScreensDevicePixels) {
  const qreal ratio = AskedRatio();
  TPlayArea area;
  std::vector<QPoint> pressed, moved, released;
  QObject::connect(&area, &TPlayArea::MousePressed,
                   [&](Qt::MouseButton, Qt::KeyboardModifiers, Qt::MouseButtons, QPoint at) { pressed.push_back(at); });
  QObject::connect(&area, &TPlayArea::MouseMoved,
                   [&](Qt::KeyboardModifiers, Qt::MouseButtons, QPoint at) { moved.push_back(at); });
  QObject::connect(&area, &TPlayArea::MouseReleased, [&](Qt::MouseButton, QPoint at) { released.push_back(at); });
  int resized = 0;
  QObject::connect(&area, &TPlayArea::Resized, [&] { ++resized; });
  area.resize(201, 101);
  area.show();
  QApplication::processEvents();
  ASSERT_DOUBLE_EQ(area.devicePixelRatioF(), ratio);
  EXPECT_DOUBLE_EQ(area.Ratio(), ratio);
  EXPECT_EQ(area.Width(), std::lround(201 * ratio));
  EXPECT_EQ(area.Height(), std::lround(101 * ratio));
  EXPECT_GE(resized, 1);

  // Columns one device pixel wide, alternating: a board drawn at half the
  // resolution and magnified would show them in pairs.
  TBitmap& image = area.Image();
  for (int y = 0; y < image.Height(); ++y)
    for (int x = 0; x < image.Width(); ++x) image.Image().setPixel(x, y, x % 2 ? 0xFFFFFF : (y % 3 ? 0x204080 : 0));
  area.Invalidate(area.ClientRect());
  area.SetPainter([] {});
  QImage shown(area.Width(), area.Height(), QImage::Format_RGB32);
  shown.setDevicePixelRatio(ratio);
  {
    QPainter painter(&shown);
    DrawDevicePixels(painter, image.Image(), area.rect(), ratio);
  }
  const QImage board = image.Image().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(shown.convertToFormat(QImage::Format_RGB32).copy(), board.copy()) << "drawn one to one";
  // The widget's own paint shows the same pixels.
  const QImage grabbed = area.grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(grabbed.size(), board.size());
  int differing = 0;
  for (int y = 0; y < board.height(); ++y)
    for (int x = 0; x < board.width(); ++x) differing += grabbed.pixel(x, y) != board.pixel(x, y);
  EXPECT_EQ(differing, 0);

  // Mouse positions, fractional ones included, are the device pixel under
  // the pointer.
  const QPointF at(10.5, 20.25);
  QMouseEvent press(QEvent::MouseButtonPress, at, area.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(&area, &press);
  const QPointF to(150.75, 99);
  QMouseEvent move(QEvent::MouseMove, to, area.mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&area, &move);
  QApplication::processEvents();
  QMouseEvent release(QEvent::MouseButtonRelease, to, area.mapToGlobal(to), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(&area, &release);
  const QPoint boardAt(int(std::floor(10.5 * ratio)), int(std::floor(20.25 * ratio)));
  const QPoint boardTo(int(std::floor(150.75 * ratio)), int(std::floor(99 * ratio)));
  EXPECT_EQ(pressed, std::vector<QPoint>{boardAt});
  EXPECT_EQ(moved, std::vector<QPoint>{boardTo});
  EXPECT_EQ(released, std::vector<QPoint>{boardTo});

  // A popup at a board point opens at the logical point on the screen.
  const TPoint global = area.ClientToScreen({90, 60});
  const QPoint expected = area.mapToGlobal(QPointF(90 / ratio, 60 / ratio)).toPoint();
  EXPECT_EQ(QPoint(global.X, global.Y), expected);
}

TEST(DevicePixels, GlyphsAreDrawnAtTheSizeAsked) {
  // A toolbar at 150 % asks a 24-pixel glyph for 36 pixels, and gets them
  // drawn, not a larger picture shrunk.
  const QIcon icon = GlyphIcon(TGlyph::PieceSize);
  for (int side : {24, 30, 36, 48, 60}) {
    const QPixmap pixmap = icon.pixmap(QSize(24, 24), side / 24.0);
    EXPECT_EQ(pixmap.size(), QSize(side, side));
    EXPECT_EQ(pixmap.toImage().convertToFormat(QImage::Format_ARGB32),
              DrawGlyph(TGlyph::PieceSize, side).toImage().convertToFormat(QImage::Format_ARGB32))
        << side;
  }
  // Greyed when disabled, at the same size.
  const QImage normal = icon.pixmap(QSize(24, 24), 1.5).toImage();
  const QImage disabled = icon.pixmap(QSize(24, 24), 1.5, QIcon::Disabled).toImage();
  EXPECT_EQ(disabled.size(), normal.size());
  EXPECT_NE(disabled.convertToFormat(QImage::Format_ARGB32), normal.convertToFormat(QImage::Format_ARGB32));
}

TEST(DevicePixels, PlayAreaFollowsAScreenOfAnotherScale) {
  const QList<QScreen*> screens = QGuiApplication::screens();
  if (screens.size() < 2 || screens[0]->devicePixelRatio() == screens[1]->devicePixelRatio())
    GTEST_SKIP() << "needs two screens of different scales";
  TPlayArea area;
  int resized = 0;
  QObject::connect(&area, &TPlayArea::Resized, [&] { ++resized; });
  area.resize(201, 101);
  area.show();
  QApplication::processEvents();
  area.windowHandle()->setScreen(screens[0]);
  QApplication::processEvents();
  const qreal first = screens[0]->devicePixelRatio(), second = screens[1]->devicePixelRatio();
  ASSERT_EQ(area.Width(), std::lround(201 * first));
  const int before = resized;
  // Moved to the other screen: the same widget has other device pixels, and
  // the copy (and with it the board) follows without a new widget size.
  area.windowHandle()->setScreen(screens[1]);
  QApplication::processEvents();
  EXPECT_EQ(area.size(), QSize(201, 101));
  EXPECT_DOUBLE_EQ(area.Ratio(), second);
  EXPECT_EQ(area.Width(), std::lround(201 * second));
  EXPECT_EQ(area.Height(), std::lround(101 * second));
  EXPECT_EQ(area.Image().Width(), area.Width());
  EXPECT_GT(resized, before);
  const TPoint global = area.ClientToScreen({100, 50});
  EXPECT_EQ(QPoint(global.X, global.Y), area.mapToGlobal(QPointF(100 / second, 50 / second)).toPoint());
}
