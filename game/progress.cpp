#include "game/progress.h"

#include <QDate>
#include <QLocale>

#include <array>
#include <cmath>

#include "platform/system.h"

namespace {

// The record counts days from 30 December 1899; the fraction is the time of
// day, also before that day, so -1.25 is the 29th at six in the morning.
QString ShortDate(double daysSinceEpoch) {
  const QDate epoch(1899, 12, 30);
  const double day = std::trunc(daysSinceEpoch);
  // A damaged record may hold anything, even no number at all: only the
  // years 1 to 9999 make a date worth showing.
  const double first = double(epoch.daysTo(QDate(1, 1, 1)));
  const double last = double(epoch.daysTo(QDate(9999, 12, 31)));
  if (!(day >= first && day <= last)) return {};
  return QLocale::system().toString(epoch.addDays(qint64(day)), ShortDateFormat());
}

// The digit after the creator version's "v", or 0 when there is none.
int CreatorMajorVersion(const QString& creatorVersion) {
  if (creatorVersion.size() < 2) return 0;
  const QChar digit = creatorVersion[1];
  return digit >= u'0' && digit <= u'9' ? digit.unicode() - u'0' : 0;
}

}  // namespace

QString CheatSuffix(const TPuzzleRecord& record) {
  if (record.AutoSolveUsed) return QStringLiteral(". You used Auto-solve!");
  switch (record.CheatCount) {
    case 0:
      return QStringLiteral(" without cheating!");
    case 1:
      return QStringLiteral(" by cheating once!");
    default:
      return QStringLiteral(" by cheating ") + QString::asprintf("%d times!", int(record.CheatCount));
  }
}

QString CompletionText(const TPuzzleRecord& record) {
  // "1 minute", and no count of none: "2 minutes", "26 seconds".
  const auto count = [](int n, const char* unit) {
    return QStringLiteral("%1 %2%3").arg(n).arg(QLatin1String(unit)).arg(n == 1 ? "" : "s");
  };
  const int minutes = int(record.ElapsedSeconds / 60), seconds = int(record.ElapsedSeconds % 60);
  QString time = count(seconds, "second");
  if (minutes > 0) time = seconds > 0 ? count(minutes, "minute") + QStringLiteral(" and ") + time : count(minutes, "minute");
  return QStringLiteral("You solved all %1 pieces in %2").arg(int(record.PieceCount)).arg(time) + CheatSuffix(record);
}

QString VersionNote(const TPuzzleRecord& record) {
  // The creator version that writes each format version, from format 1 on.
  // No creator version matches format 2's -1, so its games always carry the
  // note.
  constexpr std::array<int, 5> creatorOfFormat{1, -1, 2, 3, 4};
  if (record.FormatVersion < 1 || record.FormatVersion > int(creatorOfFormat.size())) return {};
  const int expected = creatorOfFormat[std::size_t(record.FormatVersion - 1)];
  if (CreatorMajorVersion(record.CreatorVersion) == expected) return {};
  return QString::asprintf(" (as v%d)", expected);
}

TAboutInfo AboutInfo(const TPuzzleRecord& record) {
  TAboutInfo info;
  info.Title = record.Title;
  info.Creator = record.Creator;
  info.Statistics = QString::asprintf("%d pieces %dx%d, (%dx%d)", int(record.PieceCount), int(record.Columns),
                                      int(record.Rows), int(record.PictureWidth), int(record.PictureHeight));
  // All three at once, so that a "%1" in the creator version stays text.
  info.Creation = QStringLiteral("Created %1 by version %2 %3")
                      .arg(ShortDate(record.CreatedAt), record.CreatorVersion, VersionNote(record));
  info.Status = QString::asprintf("You have solved %d out of %d pieces", int(record.SolvedCount),
                                  int(record.PieceCount)) +
                CheatSuffix(record);
  if (record.ShowDescription) info.Description = record.Description;
  return info;
}
