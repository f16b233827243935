// tessarine-gift cut: fits the grid and cuts a picture size exactly as the
// player does, then prints the grid and writes the label map and a picture
// of it, so that cuts can be compared byte for byte and looked at.

#include <QColor>
#include <QFile>
#include <QImage>

#include <algorithm>
#include <cstdio>
#include <new>

#include "game/cut.h"
#include "platform/errors.h"
#include "platform/random.h"
#include "tools/tessarine-gift/command.h"
#include "tools/tessarine-gift/options.h"

namespace {

// Sixteen labels, sixteen colours; neighbouring labels get distant hues.
QImage LabelPicture(const TCut& cut) {
  QImage image(cut.Width(), cut.Height(), QImage::Format_Indexed8);
  QList<QRgb> table(256, qRgb(0, 0, 0));
  table[0] = qRgb(255, 255, 255);
  for (int k = 0; k < 16; ++k)
    table[0x10 + k] = QColor::fromHsv((k * 7 % 16) * 360 / 16, k % 2 ? 255 : 150, k / 8 ? 200 : 255).rgb();
  image.setColorTable(table);
  const auto labels = cut.Labels();
  for (int y = 0; y < cut.Height(); ++y)
    std::copy_n(labels.begin() + std::ptrdiff_t(y) * cut.Width(), cut.Width(), image.scanLine(y));
  return image;
}

bool WriteFile(const QString& name, std::span<const std::uint8_t> bytes) {
  QFile file(name);
  return file.open(QIODevice::WriteOnly) &&
         file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) == qint64(bytes.size()) &&
         file.flush();
}

}  // namespace

int RunCut(const QStringList& args) {
  QList<TOptionDecl> declared;
  for (const char* name : {"--width", "--height", "--pieces", "--seed", "--oddness", "--style",
                           "--format-version", "--labels", "--png"})
    declared.append({QLatin1String(name), true, QString()});
  const TOptions options(args, declared);
  options.ExpectPositional(0, QString());
  for (const char* name : {"--width", "--height", "--pieces", "--seed", "--oddness", "--style"})
    options.Required(QLatin1String(name));
  const int width = int(options.Integer("--width", 1, 65535, 0));
  const int height = int(options.Integer("--height", 1, 65535, 0));
  const int pieces = int(options.Integer("--pieces", 1, 65535, 0));

  TPuzzleRecord record;
  record.Seed = std::uint32_t(options.Integer("--seed", 0, 0xFFFFFFFF, 0));
  record.Oddness = std::uint16_t(options.Integer("--oddness", 0, 10, 0));
  record.ShapeStyle = std::int32_t(options.Integer("--style", 1, 6, 0));
  // 1 to 4 re-cut as a resumed game of that format would be.
  record.FormatVersion = std::int16_t(options.Integer("--format-version", 1, 5, 5));
  record.RequestedPieces = std::uint16_t(pieces);
  record.PieceCount = FitGrid(record, pieces, width, height);

  TCut cut;
  try {
    SetRandSeed(record.Seed);
    cut = Cut(record, true);
  } catch (const EError& e) {
    throw TUsageError{e.Message()};
  } catch (const std::bad_alloc&) {
    throw TUsageError{QStringLiteral("not enough memory for a %1 x %2 label map").arg(width).arg(height)};
  }
  std::printf("columns %d rows %d pieces %d\n", record.Columns, record.Rows, record.PieceCount);

  const auto labelsFile = options.Value("--labels");
  if (labelsFile && !WriteFile(*labelsFile, cut.Labels())) {
    std::fprintf(stderr, "tessarine-gift cut: cannot write %s\n", qPrintable(*labelsFile));
    return 1;
  }
  const auto pngFile = options.Value("--png");
  if (pngFile && !LabelPicture(cut).save(*pngFile, "PNG")) {
    std::fprintf(stderr, "tessarine-gift cut: cannot write %s\n", qPrintable(*pngFile));
    return 1;
  }
  return 0;
}
