// demo-picture OUT.png: draws the demo gift's picture, a summer day by a
// lake: sky with sun, rainbow, clouds and three balloons, mountains, a
// cottage, an apple tree, a sailing boat and a meadow of flowers. Every
// part has its own colours and shapes, so the puzzle can be solved by eye.
// The drawing is the same on every run.

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>

namespace {

constexpr int width = 800;
constexpr int height = 600;
constexpr int horizon = 330;

// A small generator of our own, so that the flowers stand where they stood.
class TScatter {
 public:
  int Next(int n) {
    state_ = state_ * 1103515245u + 12345u;
    return int((state_ >> 16) % std::uint32_t(n));
  }

 private:
  std::uint32_t state_ = 20240601u;
};

void Sky(QPainter& p) {
  QLinearGradient sky(0, 0, 0, horizon);
  sky.setColorAt(0, QColor(40, 110, 210));
  sky.setColorAt(1, QColor(185, 225, 250));
  p.fillRect(0, 0, width, horizon + 40, sky);
  p.fillRect(0, horizon + 40, width, height - horizon - 40, QColor(110, 175, 75));  // grass under everything
}

void Rainbow(QPainter& p) {
  const QColor bands[] = {QColor(230, 40, 40), QColor(250, 140, 30), QColor(250, 220, 40), QColor(60, 180, 70),
                          QColor(50, 120, 220), QColor(80, 60, 170), QColor(150, 70, 190)};
  p.save();
  p.setOpacity(0.55);
  p.setBrush(Qt::NoBrush);
  int radius = 300;
  for (const QColor& band : bands) {
    p.setPen(QPen(band, 10));
    p.drawArc(QRectF(640 - radius, 380 - radius, 2 * radius, 2 * radius), 0, 180 * 16);
    radius -= 10;
  }
  p.restore();
}

void Sun(QPainter& p) {
  const QPointF centre(120, 95);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 200, 40));
  for (int i = 0; i < 12; ++i) {
    const double a = i * std::numbers::pi / 6;
    const double b = a + 0.12;
    const QPointF ray[] = {centre + QPointF(62 * std::cos(a - 0.12), 62 * std::sin(a - 0.12)),
                           centre + QPointF(95 * std::cos(a + 0.0), 95 * std::sin(a)),
                           centre + QPointF(62 * std::cos(b), 62 * std::sin(b))};
    p.drawPolygon(ray, 3);
  }
  QRadialGradient glow(centre, 58);
  glow.setColorAt(0, QColor(255, 250, 180));
  glow.setColorAt(0.7, QColor(255, 215, 60));
  glow.setColorAt(1, QColor(250, 170, 30));
  p.setBrush(glow);
  p.drawEllipse(centre, 58, 58);
}

void Cloud(QPainter& p, double x, double y, double scale) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(245, 248, 252));
  const double puffs[][3] = {{0, 10, 28}, {30, -8, 34}, {66, 4, 30}, {92, 14, 22}, {40, 18, 30}};
  for (const auto& puff : puffs)
    p.drawEllipse(QPointF(x + puff[0] * scale, y + puff[1] * scale), puff[2] * scale, puff[2] * scale * 0.8);
}

void Balloon(QPainter& p, double x, double y, double r, const QColor& a, const QColor& b) {
  QPainterPath envelope;
  envelope.moveTo(x, y + 1.25 * r);
  envelope.cubicTo(x - 1.45 * r, y + 0.35 * r, x - 1.2 * r, y - 1.1 * r, x, y - 1.1 * r);
  envelope.cubicTo(x + 1.2 * r, y - 1.1 * r, x + 1.45 * r, y + 0.35 * r, x, y + 1.25 * r);
  p.save();
  p.setClipPath(envelope);
  const double stripe = r / 2.5;
  for (int i = -4; i < 4; ++i) p.fillRect(QRectF(x + i * stripe, y - 1.2 * r, stripe, 2.6 * r), i % 2 ? a : b);
  p.restore();
  p.setPen(QPen(QColor(60, 40, 30), 1.5));
  p.setBrush(Qt::NoBrush);
  p.drawPath(envelope);
  const QRectF basket(x - 0.28 * r, y + 1.55 * r, 0.56 * r, 0.4 * r);
  p.drawLine(QPointF(x - 0.2 * r, y + 1.15 * r), basket.topLeft());
  p.drawLine(QPointF(x + 0.2 * r, y + 1.15 * r), basket.topRight());
  p.setBrush(QColor(150, 95, 45));
  p.drawRect(basket);
}

void Mountains(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(120, 135, 170));
  const QPointF far[] = {{0, 335}, {90, 250}, {170, 300}, {260, 215}, {370, 300}, {450, 240},
                         {560, 310}, {660, 230}, {740, 290}, {800, 260}, {800, 345}, {0, 345}};
  p.drawPolygon(far, std::size(far));
  p.setBrush(QColor(245, 248, 255));  // snow caps
  const QPointF snowA[] = {{260, 215}, {287, 236}, {272, 232}, {258, 240}, {246, 229}};
  const QPointF snowB[] = {{660, 230}, {684, 248}, {668, 245}, {655, 252}, {643, 243}};
  p.drawPolygon(snowA, std::size(snowA));
  p.drawPolygon(snowB, std::size(snowB));
}

void Lake(QPainter& p) {
  QLinearGradient water(0, 340, 0, 470);
  water.setColorAt(0, QColor(70, 150, 210));
  water.setColorAt(1, QColor(25, 85, 160));
  QPainterPath shore;
  shore.moveTo(300, 345);
  shore.lineTo(800, 340);
  shore.lineTo(800, 480);
  shore.cubicTo(650, 470, 520, 430, 400, 400);
  shore.cubicTo(340, 385, 310, 365, 300, 345);
  p.setPen(Qt::NoPen);
  p.setBrush(water);
  p.drawPath(shore);
  p.setPen(QPen(QColor(200, 230, 250), 2));
  for (int i = 0; i < 9; ++i) {
    const double x = 450 + (i * 83) % 330, y = 360 + (i * 37) % 90;
    p.drawArc(QRectF(x, y, 24, 8), 0, 180 * 16);
    p.drawArc(QRectF(x + 24, y, 24, 8), 0, 180 * 16);
  }
}

void Boat(QPainter& p) {
  p.setPen(QPen(QColor(70, 40, 20), 2));
  p.setBrush(QColor(180, 50, 40));
  const QPointF hull[] = {{560, 405}, {680, 405}, {662, 428}, {578, 428}};
  p.drawPolygon(hull, 4);
  p.drawLine(QPointF(620, 405), QPointF(620, 300));
  p.setBrush(QColor(250, 250, 245));
  const QPointF main[] = {{623, 305}, {623, 398}, {675, 398}};
  p.drawPolygon(main, 3);
  p.setBrush(QColor(240, 200, 50));
  const QPointF jib[] = {{617, 315}, {617, 398}, {578, 398}};
  p.drawPolygon(jib, 3);
  p.setBrush(QColor(230, 60, 60));
  const QPointF flag[] = {{620, 300}, {640, 306}, {620, 312}};
  p.drawPolygon(flag, 3);
}

void Hills(QPainter& p) {
  p.setPen(Qt::NoPen);
  QPainterPath back;
  back.moveTo(0, 340);
  back.cubicTo(120, 300, 260, 310, 360, 360);
  back.cubicTo(420, 390, 480, 420, 560, 470);
  back.lineTo(0, 470);
  p.setBrush(QColor(110, 175, 75));
  p.drawPath(back);

  QLinearGradient meadow(0, 430, 0, height);
  meadow.setColorAt(0, QColor(95, 185, 70));
  meadow.setColorAt(1, QColor(50, 130, 45));
  QPainterPath front;
  front.moveTo(0, 450);
  front.cubicTo(200, 420, 420, 440, 600, 470);
  front.cubicTo(700, 485, 760, 480, 800, 470);
  front.lineTo(800, height);
  front.lineTo(0, height);
  p.setBrush(meadow);
  p.drawPath(front);

  QPainterPath path;  // from the cottage door down to the front
  path.moveTo(205, 445);
  path.cubicTo(230, 490, 150, 530, 260, 600);
  path.lineTo(330, 600);
  path.cubicTo(210, 530, 280, 490, 225, 445);
  p.setBrush(QColor(220, 190, 130));
  p.drawPath(path);
}

void Cottage(QPainter& p) {
  p.setPen(QPen(QColor(70, 45, 30), 2));
  p.setBrush(QColor(150, 60, 50));  // chimney
  p.drawRect(QRectF(245, 305, 22, 50));
  p.setBrush(QColor(250, 230, 170));  // walls
  p.drawRect(QRectF(130, 360, 160, 90));
  p.setBrush(QColor(200, 50, 40));  // roof
  const QPointF roof[] = {{115, 362}, {210, 295}, {305, 362}};
  p.drawPolygon(roof, 3);
  p.setBrush(QColor(120, 70, 35));  // door
  p.drawRect(QRectF(198, 400, 28, 50));
  p.setBrush(QColor(110, 180, 235));  // windows
  for (const double x : {145.0, 245.0}) {
    p.drawRect(QRectF(x, 380, 32, 30));
    p.drawLine(QPointF(x + 16, 380), QPointF(x + 16, 410));
    p.drawLine(QPointF(x, 395), QPointF(x + 32, 395));
  }
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(215, 215, 220));  // smoke
  for (int i = 0; i < 4; ++i) p.drawEllipse(QPointF(262 + 12 * i, 290 - 22 * i), 9 + 3 * i, 8 + 2 * i);
}

void AppleTree(QPainter& p) {
  p.setPen(QPen(QColor(80, 50, 25), 2));
  p.setBrush(QColor(125, 80, 40));
  const QPointF trunk[] = {{378, 470}, {388, 360}, {402, 360}, {414, 470}};
  p.drawPolygon(trunk, 4);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 120, 45));
  const double crown[][3] = {{395, 320, 55}, {350, 340, 38}, {440, 340, 40}, {370, 295, 36}, {425, 295, 36}};
  for (const auto& c : crown) p.drawEllipse(QPointF(c[0], c[1]), c[2], c[2] * 0.9);
  p.setBrush(QColor(225, 35, 35));
  const double apples[][2] = {{372, 318}, {410, 300}, {430, 345}, {352, 352}, {396, 345}, {445, 318}, {385, 282}};
  for (const auto& a : apples) p.drawEllipse(QPointF(a[0], a[1]), 6, 6);
}

void Flowers(QPainter& p) {
  const QColor petals[] = {QColor(250, 110, 170), QColor(255, 230, 60), QColor(250, 250, 250), QColor(170, 90, 220),
                           QColor(250, 140, 40)};
  TScatter scatter;
  p.setPen(Qt::NoPen);
  for (int i = 0; i < 70; ++i) {
    const double x = 10 + scatter.Next(780);
    const double y = 485 + scatter.Next(105);
    if (x > 215 && x < 335 && y > 480) continue;  // not on the path
    const double r = 4 + (y - 480) / 30.0;
    p.setBrush(petals[scatter.Next(5)]);
    for (int k = 0; k < 5; ++k) {
      const double a = k * 2 * std::numbers::pi / 5;
      p.drawEllipse(QPointF(x + r * std::cos(a), y + r * std::sin(a)), r * 0.75, r * 0.75);
    }
    p.setBrush(QColor(250, 200, 40));
    p.drawEllipse(QPointF(x, y), r * 0.5, r * 0.5);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: demo-picture OUT.png\n", stderr);
    return 2;
  }
  QImage image(width, height, QImage::Format_RGB32);
  {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    Sky(p);
    Rainbow(p);
    Sun(p);
    Cloud(p, 300, 80, 1.0);
    Cloud(p, 560, 50, 0.8);
    Cloud(p, 20, 200, 0.6);
    Mountains(p);
    Lake(p);
    Hills(p);
    Balloon(p, 470, 150, 40, QColor(230, 50, 50), QColor(255, 215, 60));
    Balloon(p, 700, 180, 28, QColor(40, 110, 220), QColor(245, 245, 245));
    Balloon(p, 330, 215, 22, QColor(150, 60, 190), QColor(90, 200, 90));
    Boat(p);
    Cottage(p);
    AppleTree(p);
    Flowers(p);
  }
  if (!image.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
    std::fprintf(stderr, "demo-picture: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
