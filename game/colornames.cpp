#include "game/colornames.h"

#include <array>
#include <limits>

#include "platform/colors.h"

namespace {

struct TColorIdent {
  const char* Name;
  TColor Value;
};

// The identifiers in their customary order: plain colours, then the system colours.
constexpr std::array<TColorIdent, 49> colorIdents = {{
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clLtGray", 0xC0C0C0},
    {"clDkGray", 0x808080},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clNone", 0x1FFFFFFF},
    {"clDefault", 0x20000000},
    {"clScrollBar", SystemColor(COLOR_SCROLLBAR)},
    {"clBackground", SystemColor(COLOR_BACKGROUND)},
    {"clActiveCaption", SystemColor(COLOR_ACTIVECAPTION)},
    {"clInactiveCaption", SystemColor(COLOR_INACTIVECAPTION)},
    {"clMenu", SystemColor(COLOR_MENU)},
    {"clWindow", SystemColor(COLOR_WINDOW)},
    {"clWindowFrame", SystemColor(COLOR_WINDOWFRAME)},
    {"clMenuText", SystemColor(COLOR_MENUTEXT)},
    {"clWindowText", SystemColor(COLOR_WINDOWTEXT)},
    {"clCaptionText", SystemColor(COLOR_CAPTIONTEXT)},
    {"clActiveBorder", SystemColor(COLOR_ACTIVEBORDER)},
    {"clInactiveBorder", SystemColor(COLOR_INACTIVEBORDER)},
    {"clAppWorkSpace", SystemColor(COLOR_APPWORKSPACE)},
    {"clHighlight", SystemColor(COLOR_HIGHLIGHT)},
    {"clHighlightText", SystemColor(COLOR_HIGHLIGHTTEXT)},
    {"clBtnFace", SystemColor(COLOR_BTNFACE)},
    {"clBtnShadow", SystemColor(COLOR_BTNSHADOW)},
    {"clGrayText", SystemColor(COLOR_GRAYTEXT)},
    {"clBtnText", SystemColor(COLOR_BTNTEXT)},
    {"clInactiveCaptionText", SystemColor(COLOR_INACTIVECAPTIONTEXT)},
    {"clBtnHighlight", SystemColor(COLOR_BTNHIGHLIGHT)},
    {"cl3DDkShadow", SystemColor(COLOR_3DDKSHADOW)},
    {"cl3DLight", SystemColor(COLOR_3DLIGHT)},
    {"clInfoText", SystemColor(COLOR_INFOTEXT)},
    {"clInfoBk", SystemColor(COLOR_INFOBK)},
}};

}  // namespace

std::optional<std::int64_t> ParseNumber(const QString& text) {
  bool ok = false;
  std::int64_t value = 0;
  if (text.startsWith(u'$')) {
    const QString digits = text.mid(1);
    if (digits.isEmpty() || digits.size() > 16 || digits.startsWith(u'+') || digits.startsWith(u'-'))
      return std::nullopt;
    value = std::int64_t(digits.toULongLong(&ok, 16));
  } else if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
    const QString digits = text.mid(2);
    if (digits.isEmpty() || digits.size() > 16 || digits.startsWith(u'+') || digits.startsWith(u'-'))
      return std::nullopt;
    value = std::int64_t(digits.toULongLong(&ok, 16));
  } else {
    // QString::toLongLong would also accept blanks around the digits.
    if (text.isEmpty() || text.trimmed() != text) return std::nullopt;
    value = text.toLongLong(&ok, 10);
  }
  if (!ok) return std::nullopt;
  return value;
}

std::optional<TColor> ColorFromName(const QString& name) {
  for (const TColorIdent& ident : colorIdents)
    if (name.compare(QLatin1String(ident.Name), Qt::CaseInsensitive) == 0) return ident.Value;
  const std::optional<std::int64_t> number = ParseNumber(name);
  if (!number) return std::nullopt;
  const bool hex = name.startsWith(u'$') || name.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
  if (hex) {
    if (std::uint64_t(*number) > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  } else if (*number < std::numeric_limits<std::int32_t>::min() ||
             *number > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return TColor(std::uint32_t(*number));
}

QString ColorName(TColor color) {
  for (const TColorIdent& ident : colorIdents)
    if (ident.Value == color) return QLatin1String(ident.Name);
  return QStringLiteral("$") + QStringLiteral("%1").arg(color, 8, 16, QLatin1Char('0')).toUpper();
}
