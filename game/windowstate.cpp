#include "game/windowstate.h"

TOptionMenus::TOptionMenus() {
  // The window resource: Card in the tag, no sub-item checked yet; the rotate
  // commands follow the Rotation item, which starts unchecked.
  Outlines.SetTag(2);
  RotateRight.SetEnabled(false);
  RotateLeft.SetEnabled(false);
}

void TOptionMenus::SelectOutline(int style) {
  Outlines.SetTag(style);
  const auto items = OutlineItems();
  for (std::size_t i = 0; i < items.size(); ++i) items[i]->SetChecked(int(i) == style);
}

void TWindowState::SetColor(TColor color) {
  if (color_ == color) return;
  color_ = color;
  emit ColorChanged();
}

void TWindowState::SetOverlayClientSize(int width, int height) {
  if (width == OverlayClientWidth && height == OverlayClientHeight) return;
  OverlayClientWidth = width;
  OverlayClientHeight = height;
  emit OverlaySizeChanged();
}
