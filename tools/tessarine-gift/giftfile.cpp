#include "tools/tessarine-gift/giftfile.h"

#include <QFile>

#include "game/gift.h"
#include "game/picture.h"
#include "platform/errors.h"
#include "tools/tessarine-gift/command.h"

const QStringList ShapeStyleWords = {QStringLiteral("classic"), QStringLiteral("blip"),  QStringLiteral("square"),
                                     QStringLiteral("star"),    QStringLiteral("round"), QStringLiteral("mix")};
const QStringList OutlineStyleWords = {QStringLiteral("none"), QStringLiteral("paper"), QStringLiteral("card"),
                                       QStringLiteral("wood")};

TGiftTrailer ReadTrailerOf(const QString& giftPath) {
  QFile file(giftPath);
  try {
    OpenGiftFile(file);
  } catch (const EError& e) {
    // The message names the file.
    throw TUsageError{e.Message()};
  }
  try {
    return ReadGiftTrailer(file);
  } catch (const EError& e) {
    throw TUsageError{QStringLiteral("\"%1\": %2").arg(giftPath, e.Message())};
  }
}

TBitmap ReadPictureOf(const QString& giftPath, const TGiftTrailer& trailer) {
  TBitmap picture;
  try {
    LoadPicture(giftPath, trailer, picture);
  } catch (const EError& e) {
    throw TUsageError{QStringLiteral("\"%1\": %2").arg(giftPath, e.Message())};
  }
  return picture;
}
