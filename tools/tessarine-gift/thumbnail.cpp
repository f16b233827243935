// tessarine-gift thumbnail: the gift's picture, at most SIZE pixels on its
// longer side, as a PNG: what file managers show as a gift file's icon,
// through the thumbnailer that the installed program declares.

#include <QImage>

#include <cstdio>

#include "tools/tessarine-gift/command.h"
#include "tools/tessarine-gift/giftfile.h"
#include "tools/tessarine-gift/options.h"

int RunThumbnail(const QStringList& args) {
  const TOptions options(args, {});
  options.ExpectPositional(3, QStringLiteral("GIFT OUT.png SIZE"));
  const QString& giftPath = options.Positional()[0];
  const QString& outPath = options.Positional()[1];
  bool numeric = false;
  const int size = options.Positional()[2].toInt(&numeric);
  if (!numeric || size < 1 || size > 4096)
    throw TUsageError{QStringLiteral("SIZE must be a whole number from 1 to 4096, not \"%1\"")
                          .arg(options.Positional()[2]),
                      true};

  const TBitmap picture = ReadPictureOf(giftPath, ReadTrailerOf(giftPath));
  // A picture smaller than the size asked for is shown at its own size.
  const QImage& image = picture.Image();
  const QImage thumbnail = image.width() <= size && image.height() <= size
                               ? image
                               : image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  if (!thumbnail.save(outPath, "PNG")) {
    std::fprintf(stderr, "tessarine-gift thumbnail: cannot write %s\n", qPrintable(outPath));
    return 1;
  }
  return 0;
}
