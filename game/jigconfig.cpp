#include "game/jigconfig.h"

#include "game/soundeffects.h"
#include "platform/packedrecord.h"

namespace {

// The one list of the block's fields, for reading and writing it.
template <class Options, class Flag, class Marker, class Access>
void BlockFields(Options& o, Flag& music, Marker& marker, Access& access) {
  access.Field(0, o.Shadows);
  access.Field(1, o.Rotating);
  access.Field(2, o.CheatingAllowed);
  access.Field(3, o.SoundOn);
  access.Field(4, music);
  access.Field(5, o.OutlineStyle);
  access.Field(9, o.GhostPicture);
  access.Field(10, o.SnapDivisor);
  access.Field(14, o.PlayWidth);
  access.Field(18, o.PlayHeight);
  access.Field(22, marker);
}

}  // namespace

TJigConfig::TJigConfig(TWindowState& window) : window_(window) { CaptureFromMenus(); }

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

TJigConfig::TBlock TJigConfig::WriteTo(std::int32_t playWidth, std::int32_t playHeight) const {
  TBlock block{};
  TPackedWriter writer(block);
  TPieceOptions options = *this;
  options.PlayWidth = playWidth;
  options.PlayHeight = playHeight;
  const bool music = window_.Menus.Music.Checked();
  const std::int32_t marker = EndMarker;
  BlockFields(options, music, marker, writer);
  return block;
}

void TJigConfig::ReadFrom(std::span<const std::uint8_t> block) {
  TPieceOptions stored;
  bool music = false;
  std::int32_t marker = 0;
  if (block.size() >= BlockSize) {
    const TPackedReader reader(block.first(BlockSize));
    BlockFields(stored, music, marker, reader);
  }
  if (marker != EndMarker || stored.OutlineStyle < OutlineNone || stored.OutlineStyle > OutlineWood) {
    CaptureFromMenus();
    return;
  }

  static_cast<TPieceOptions&>(*this) = stored;
  window_.RequestPlayAreaSize(stored.PlayWidth, stored.PlayHeight);
  PlayWidth = window_.PlayAreaWidth;
  PlayHeight = window_.PlayAreaHeight;
  TOptionMenus& menus = window_.Menus;
  menus.SelectOutline(OutlineStyle);
  menus.Shadows.SetChecked(Shadows);
  menus.Rotation.SetChecked(Rotating);
  menus.RotateRight.SetEnabled(Rotating);
  menus.RotateLeft.SetEnabled(Rotating);
  menus.AllowCheating.SetChecked(CheatingAllowed);
  menus.Sound.SetChecked(SoundOn);
  menus.Music.SetChecked(music && !window_.MusicFile.isEmpty());
  menus.Ghostpicture.SetChecked(GhostPicture);
  menus.SpeedSound.SetChecked(SoundOn);
  menus.SpeedMusic.SetChecked(menus.Music.Checked());
}
