#pragma once
// What the commands that read a gift share: its trailer and picture, with
// every problem turned into a usage error naming the file, and the words
// the commands use for shape and outline styles.

#include <QString>
#include <QStringList>

#include "game/gifttrailer.h"
#include "platform/bitmap.h"

// Shape styles 1 to 6, in order.
extern const QStringList ShapeStyleWords;
// Outline styles 0 to 3, in order.
extern const QStringList OutlineStyleWords;

TGiftTrailer ReadTrailerOf(const QString& giftPath);
TBitmap ReadPictureOf(const QString& giftPath, const TGiftTrailer& trailer);
