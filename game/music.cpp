#include "game/music.h"

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>

#include "platform/messagebox.h"
#include "platform/system.h"

QString MusicFileName() {
  const QString folder = TempDir();
  if (folder.isEmpty()) return {};
  return QDir(folder).filePath(QStringLiteral("jig%1.mid").arg(QCoreApplication::applicationPid()));
}

QString ExtractMusic(QFile& gift, const TGiftTrailer& trailer) {
  if (trailer.MusicLength <= 0) return {};
  const qint64 end = qint64(trailer.MusicOffset) + trailer.MusicLength;
  if (end > gift.size() || !gift.seek(trailer.MusicOffset)) return {};
  const QString path = MusicFileName();
  if (path.isEmpty()) return {};

  // Written aside and renamed into place: a file planted under the name
  // (a link, say) is replaced, never written through.
  QSaveFile music(path);
  bool written = music.open(QIODevice::WriteOnly);
  qint64 left = trailer.MusicLength;
  while (written && left > 0) {
    const QByteArray chunk = gift.read(qMin<qint64>(left, 1 << 16));
    if (chunk.isEmpty()) {
      // The gift itself gave out: as good as no music.
      music.cancelWriting();
      return {};
    }
    written = music.write(chunk) == chunk.size();
    left -= chunk.size();
  }
  if (written) written = music.commit();
  if (!written) {
    MessageDlg(QStringLiteral("File %1 could not be written. The disk may be full, read-only or off-line")
                   .arg(QDir::toNativeSeparators(path)),
               TMsgType::Error, TMsgButtons::Ok);
    return {};
  }
  return path;
}
