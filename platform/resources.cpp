#include "platform/resources.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>

#include "platform/errors.h"
#include "platform/utility.h"

// The resources are compiled into a static library; naming their
// registration here keeps the linker from dropping them. Q_INIT_RESOURCE must
// not be used inside a namespace.
static void RegisterProgramResources() { Q_INIT_RESOURCE(resources); }

namespace {

// Resource types are folders at the top of the resource tree and names are
// the files in them; both match without regard to case.
QString FindEntry(const QString& folder, const QString& name) {
  const QDir dir(folder);
  const QStringList entries = dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
  for (const QString& entry : entries)
    if (entry.compare(name, Qt::CaseInsensitive) == 0) return dir.filePath(entry);
  return {};
}

EResNotFound NotFound(const QString& name) {
  return EResNotFound("Can't load resource: " + name);
}

}  // namespace

QByteArray LoadResourceStream(const QString& name, const QString& type) {
  static const bool registered = (RegisterProgramResources(), true);
  (void)registered;
  if (name.isEmpty() || type.isEmpty()) throw NotFound(name);
  const QString folder = FindEntry(QStringLiteral(":/"), type);
  const QString path = folder.isEmpty() ? QString() : FindEntry(folder, name);
  QFile file(path);
  if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) throw NotFound(name);
  return file.readAll();
}

TCursorImage LoadCursorResource(int number) {
  const QString name = QString::number(number);
  QByteArray bytes = LoadResourceStream(name, QString::fromLatin1(CursorResourceType));
  QBuffer buffer(&bytes);
  QImageReader reader(&buffer, "png");
  TCursorImage cursor;
  cursor.Image = reader.read();
  if (cursor.Image.isNull()) throw NotFound(name);
  cursor.HotSpot = {cursor.Image.text(CursorHotSpotXKey).toInt(),
                    cursor.Image.text(CursorHotSpotYKey).toInt()};
  return cursor;
}
