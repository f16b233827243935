#include "tools/gen-resources/handcursor.h"

#include <QPainter>
#include <QPainterPath>

#include "platform/resources.h"

QImage DrawClosedHandCursor() {
  const int size = 32;
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);

  // Seen from the back: four bent fingers whose knuckles form the top edge,
  // the back of the hand below them and the thumb folded against the left
  // side. Drawn without smoothing so that every edge is one crisp pixel.
  const int fingerTops[4] = {9, 7, 7, 8};
  QPainterPath hand;
  hand.setFillRule(Qt::WindingFill);  // the parts overlap; their union is the hand
  hand.addRoundedRect(QRectF(8, 11, 17, 16), 4, 4);
  for (int finger = 0; finger < 4; ++finger)
    hand.addRoundedRect(QRectF(8 + 4 * finger, fingerTops[finger], 5, 10), 2.5, 2.5);
  const QRectF thumb(5, 14, 9, 6);
  hand.addRoundedRect(thumb, 3, 3);
  hand = hand.simplified();

  QPainter painter(&image);
  painter.setBrush(Qt::white);
  painter.setPen(QPen(Qt::black, 1));
  painter.drawPath(hand);
  // The clefts between the fingers, and the thumb lying over the hand.
  for (int cleft = 1; cleft < 4; ++cleft)
    painter.drawLine(8 + 4 * cleft, fingerTops[cleft] + 2, 8 + 4 * cleft, 13);
  painter.drawRoundedRect(thumb, 3, 3);
  painter.end();

  image.setText(CursorHotSpotXKey, "16");
  image.setText(CursorHotSpotYKey, "17");
  return image;
}
