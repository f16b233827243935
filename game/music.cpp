#include "game/music.h"

QByteArray ExtractMusic(QFile& gift, const TGiftTrailer& trailer) {
  if (trailer.MusicLength <= 0) return {};
  const qint64 end = qint64(trailer.MusicOffset) + trailer.MusicLength;
  if (end > gift.size() || !gift.seek(trailer.MusicOffset)) return {};
  QByteArray music = gift.read(trailer.MusicLength);
  if (music.size() != trailer.MusicLength) return {};
  return music;
}
