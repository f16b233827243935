#include "game/jigconfig.h"

#include "game/soundeffects.h"

TJigConfig::TJigConfig(const TWindowState& window) : window_(window) { CaptureFromMenus(); }

void TJigConfig::CaptureFromMenus() {
  const TOptionMenus& menus = window_.Menus;
  OutlineStyle = menus.Outlines.Tag();
  Shadows = menus.Shadows.Checked();
  Rotating = menus.Rotation.Checked();
  CheatingAllowed = menus.AllowCheating.Checked();
  SoundOn = menus.Sound.Checked();
  GhostPicture = menus.Ghostpicture.Checked();
  PlayWidth = window_.PlayAreaWidth;
  PlayHeight = window_.PlayAreaHeight;
}

void TJigConfig::PlayEffect(int n) const {
  if (SoundOn) PlaySoundEntry(n);
}
