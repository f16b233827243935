#include "shell/fonts.h"

#include "platform/colors.h"

void InstallFontSubstitutes() {
  const QString sans = QStringLiteral("Liberation Sans");
  const QString serif = QStringLiteral("Liberation Serif");
  for (const char* name : {"Arial", "MS Sans Serif", "System", "Helvetica"})
    QFont::insertSubstitution(QString::fromLatin1(name), sans);
  QFont::insertSubstitution(QStringLiteral("Times New Roman"), serif);
  QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
}

QFont DesignFont(const QString& family, int height, bool bold, bool italic) {
  QFont font(family);
  if (height < 0)
    font.setPixelSize(-height);
  else if (height > 0)
    font.setPointSize(height);
  font.setBold(bold);
  font.setItalic(italic);
  return font;
}

QFont FontFromSpec(const TFontSpec& record) {
  QFont font = DesignFont(record.Name, record.Height, record.Style & fsBold, record.Style & fsItalic);
  font.setUnderline(record.Style & fsUnderline);
  font.setStrikeOut(record.Style & fsStrikeOut);
  if (record.Pitch == 2) font.setFixedPitch(true);
  return font;
}

QColor ToQColor(TColor color) {
  const TColor rgb = ColorToRGB(color);
  return QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}
