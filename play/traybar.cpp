#include "play/traybar.h"

void TTrayButton::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  emit Changed();
}

TTrayBar::TTrayBar() {
  // The layout of the bar in the window: the scroll buttons at its ends, the
  // tray buttons between them, 6 pixels apart.
  SpeedBoxLeft.SetBounds(2, 3, 20, 24);
  SpeedBoxRight.SetBounds(0, 3, 20, 24);
  SpeedBoxUp.SetBounds(3, 2, 24, 20);
  SpeedBoxDown.SetBounds(3, 0, 24, 20);
  BoxBtn.SetBounds(26, 3, 48, 24);
  BoxBtn.SetCaption(QStringLiteral("0"));
  BoxBtn.SetGroupIndex(100);
  BoxBtn.SetVisible(false);
  for (TTrayButton* b : {&SpeedBoxLeft, &SpeedBoxRight, &SpeedBoxUp, &SpeedBoxDown}) b->SetEnabled(false);
}

void TTrayBar::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  emit VisibleChanged();
}
