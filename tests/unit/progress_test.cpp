#include <gtest/gtest.h>

#include <QDate>
#include <QLocale>

#include <limits>

#include "game/progress.h"
#include "platform/system.h"

namespace {

// 54 pieces in a 9 x 6 grid, 12 of them solved, 187 seconds on the clock.
TPuzzleRecord PlayedRecord() {
  TPuzzleRecord r;
  r.FormatVersion = 5;
  r.CreatorVersion = "v4.1";
  r.CreatedAt = 45000.75;  // 15 March 2023, six in the evening
  r.Title = "Harbour";
  r.Creator = "Ann";
  r.Description = "A harbour at dawn";
  r.ShowDescription = 1;
  r.PieceCount = 54;
  r.Columns = 9;
  r.Rows = 6;
  r.PictureWidth = 640;
  r.PictureHeight = 427;
  r.SolvedCount = 12;
  r.ElapsedSeconds = 187;
  return r;
}

QString ShortDate(int year, int month, int day) {
  return QLocale::system().toString(QDate(year, month, day), ShortDateFormat());
}

QString Note(std::int16_t formatVersion, const QString& creatorVersion) {
  TPuzzleRecord r;
  r.FormatVersion = formatVersion;
  r.CreatorVersion = creatorVersion;
  return VersionNote(r);
}

}  // namespace

TEST(Progress, CompletionTextGivesMinutesAndSecondsAndTheSuffix) {
  TPuzzleRecord r = PlayedRecord();
  EXPECT_EQ(CompletionText(r), "You solved all 54 pieces in 3 minutes and 7 seconds without cheating!");
  r.ElapsedSeconds = 0;
  EXPECT_EQ(CompletionText(r), "You solved all 54 pieces in 0 seconds without cheating!");
  // One of a unit is said so, and a count of none is left out.
  r.ElapsedSeconds = 73;
  EXPECT_EQ(CompletionText(r), "You solved all 54 pieces in 1 minute and 13 seconds without cheating!");
  r.ElapsedSeconds = 26;
  EXPECT_EQ(CompletionText(r), "You solved all 54 pieces in 26 seconds without cheating!");
  r.ElapsedSeconds = 121;
  EXPECT_EQ(CompletionText(r), "You solved all 54 pieces in 2 minutes and 1 second without cheating!");
  r.ElapsedSeconds = 120;
  EXPECT_EQ(CompletionText(r), "You solved all 54 pieces in 2 minutes without cheating!");
  // An hour and more stays in minutes.
  r.ElapsedSeconds = 3725;
  r.CheatCount = 1;
  EXPECT_EQ(CompletionText(r), "You solved all 54 pieces in 62 minutes and 5 seconds by cheating once!");
}

TEST(Progress, CheatSuffixPutsAutoSolveBeforeEveryCount) {
  TPuzzleRecord r;
  EXPECT_EQ(CheatSuffix(r), " without cheating!");
  r.CheatCount = 1;
  EXPECT_EQ(CheatSuffix(r), " by cheating once!");
  r.CheatCount = 2;
  EXPECT_EQ(CheatSuffix(r), " by cheating 2 times!");
  r.CheatCount = 65535;
  EXPECT_EQ(CheatSuffix(r), " by cheating 65535 times!");
  r.AutoSolveUsed = 1;
  for (std::uint16_t count : {0, 1, 2, 65535}) {
    r.CheatCount = count;
    EXPECT_EQ(CheatSuffix(r), ". You used Auto-solve!") << count;
  }
}

TEST(Progress, VersionNoteNamesTheCreatorVersionOfEachFormat) {
  // Format 1 to 5 expect creator versions 1, -1, 2, 3 and 4.
  EXPECT_EQ(Note(1, "v1.0"), "");
  EXPECT_EQ(Note(1, "v4.1"), " (as v1)");
  EXPECT_EQ(Note(2, "v2.0"), " (as v-1)");
  EXPECT_EQ(Note(2, "v1.0"), " (as v-1)");
  EXPECT_EQ(Note(3, "v2.5"), "");
  EXPECT_EQ(Note(3, "v4.1"), " (as v2)");
  EXPECT_EQ(Note(4, "v3.0"), "");
  EXPECT_EQ(Note(4, "v2.5"), " (as v3)");
  EXPECT_EQ(Note(5, "v4.1"), "");
  EXPECT_EQ(Note(5, "v3.9"), " (as v4)");
  // Only the second character counts, whatever the first.
  EXPECT_EQ(Note(5, "V4"), "");
  EXPECT_EQ(Note(5, "x4"), "");
  // Formats outside 1 to 5 carry no note.
  EXPECT_EQ(Note(0, "v9.9"), "");
  EXPECT_EQ(Note(6, "v1.0"), "");
  EXPECT_EQ(Note(-1, "v1.0"), "");
}

TEST(Progress, VersionWithoutADigitCountsAsVersionZero) {
  EXPECT_EQ(Note(5, "version 4"), " (as v4)");
  EXPECT_EQ(Note(1, "beta"), " (as v1)");
  // Too short to have a second character.
  EXPECT_EQ(Note(5, "v"), " (as v4)");
  EXPECT_EQ(Note(5, ""), " (as v4)");
  EXPECT_EQ(Note(3, "4"), " (as v2)");
}

TEST(Progress, AboutInfoTextsFromTheRecord) {
  const TAboutInfo info = AboutInfo(PlayedRecord());
  EXPECT_EQ(info.Title, "Harbour");
  EXPECT_EQ(info.Creator, "Ann");
  EXPECT_EQ(info.Statistics, "54 pieces 9x6, (640x427)");
  EXPECT_EQ(info.Creation, "Created " + ShortDate(2023, 3, 15) + " by version v4.1 ");
  EXPECT_EQ(info.Status, "You have solved 12 out of 54 pieces without cheating!");
  EXPECT_EQ(info.Description, QString("A harbour at dawn"));
}

TEST(Progress, AboutInfoStatusAndNoteFollowTheRecord) {
  TPuzzleRecord r = PlayedRecord();
  r.CheatCount = 3;
  r.CreatorVersion = "v3.2";
  EXPECT_EQ(AboutInfo(r).Status, "You have solved 12 out of 54 pieces by cheating 3 times!");
  EXPECT_EQ(AboutInfo(r).Creation, "Created " + ShortDate(2023, 3, 15) + " by version v3.2  (as v4)");
  r.AutoSolveUsed = 1;
  r.SolvedCount = 54;
  EXPECT_EQ(AboutInfo(r).Status, "You have solved 54 out of 54 pieces. You used Auto-solve!");
}

TEST(Progress, DescriptionOnlyWhenTheGiftShowsIt) {
  TPuzzleRecord r = PlayedRecord();
  r.ShowDescription = 0;
  EXPECT_FALSE(AboutInfo(r).Description.has_value());
  // Shown, an empty description empties the window's text.
  r.ShowDescription = 1;
  r.Description.clear();
  EXPECT_EQ(AboutInfo(r).Description, QString());
}

TEST(Progress, CreationDateCountsWholeDaysFromTheEndOf1899) {
  TPuzzleRecord r = PlayedRecord();
  const auto dateOf = [&](double createdAt) {
    r.CreatedAt = createdAt;
    return AboutInfo(r).Creation;
  };
  const auto created = [](const QString& date) { return "Created " + date + " by version v4.1 "; };
  EXPECT_EQ(dateOf(0.0), created(ShortDate(1899, 12, 30)));
  EXPECT_EQ(dateOf(2.5), created(ShortDate(1900, 1, 1)));
  EXPECT_EQ(dateOf(45000.0), created(ShortDate(2023, 3, 15)));
  EXPECT_EQ(dateOf(45000.999), created(ShortDate(2023, 3, 15)));
  // Before the epoch the fraction is still the time of day.
  EXPECT_EQ(dateOf(-1.25), created(ShortDate(1899, 12, 29)));
  EXPECT_EQ(dateOf(-0.5), created(ShortDate(1899, 12, 30)));
  // The first and last days of the years 1 to 9999.
  EXPECT_EQ(dateOf(-693593.0), created(ShortDate(1, 1, 1)));
  EXPECT_EQ(dateOf(2958465.5), created(ShortDate(9999, 12, 31)));
}

TEST(Progress, DamagedCreationDateShowsNoDate) {
  TPuzzleRecord r = PlayedRecord();
  for (double createdAt : {-693594.0, 2958466.0, 1e300, -1e300, std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::quiet_NaN()}) {
    r.CreatedAt = createdAt;
    EXPECT_EQ(AboutInfo(r).Creation, "Created  by version v4.1 ") << createdAt;
  }
}

TEST(Progress, PlaceholdersInTheRecordsTextsStayText) {
  TPuzzleRecord r = PlayedRecord();
  r.CreatorVersion = "v%1%2";
  r.Title = "%d %s";
  const TAboutInfo info = AboutInfo(r);
  EXPECT_EQ(info.Creation, "Created " + ShortDate(2023, 3, 15) + " by version v%1%2  (as v4)");
  EXPECT_EQ(info.Title, "%d %s");
}
