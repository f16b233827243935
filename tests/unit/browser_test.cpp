#include <gtest/gtest.h>

#include <QStringList>

#include "platform/system.h"

// The Exec lines are written as they stand in a desktop entry file, so both
// the escapes of the file's strings and the quoting of the command apply.

namespace {

const QString Site = QStringLiteral("https://example.org/gift");

QStringList Command(const char* execLine, const QString& address = Site) {
  return BrowserCommand(QString::fromUtf8(execLine), address);
}

QStringList Words(std::initializer_list<const char*> words) {
  QStringList list;
  for (const char* word : words) list << QString::fromUtf8(word);
  return list;
}

}  // namespace

TEST(BrowserCommand, TheAddressTakesThePlaceOfTheFileOrAddressCode) {
  // The quotes go with the quoting: nothing of them reaches the browser.
  EXPECT_EQ(Command(R"("/usr/bin/firefox" "%u")"), Words({"/usr/bin/firefox", "https://example.org/gift"}));
  EXPECT_EQ(Command(R"("/opt/web browser/run" "%u" --new)"),
            Words({"/opt/web browser/run", "https://example.org/gift", "--new"}));
  EXPECT_EQ(Command("firefox-esr %U"), Words({"firefox-esr", "https://example.org/gift"}));
  EXPECT_EQ(Command("viewer --open %f"), Words({"viewer", "--open", "https://example.org/gift"}));
  EXPECT_EQ(Command("viewer %F --tab"), Words({"viewer", "https://example.org/gift", "--tab"}));
  EXPECT_EQ(Command("browser --url=%u"), Words({"browser", "--url=https://example.org/gift"}));
  // At most one such code belongs on a line; the site opens once.
  EXPECT_EQ(Command("browser %u %U"), Words({"browser", "https://example.org/gift"}));
  // The address is put in once and never read for codes itself.
  EXPECT_EQ(Command("browser %u", QStringLiteral("https://example.org/?q=%u%%")),
            Words({"browser", "https://example.org/?q=%u%%"}));
}

TEST(BrowserCommand, WithoutACodeTheAddressFollowsTheLine) {
  EXPECT_EQ(Command("firefox-esr"), Words({"firefox-esr", "https://example.org/gift"}));
  EXPECT_EQ(Command("  chromium   --new-window "), Words({"chromium", "--new-window", "https://example.org/gift"}));
  EXPECT_EQ(Command("chromium", QString()), Words({"chromium"}));
}

TEST(BrowserCommand, OtherCodesAreDroppedAndDoublePercentIsAPercentSign) {
  EXPECT_EQ(Command("browser %i %c %k %u"), Words({"browser", "https://example.org/gift"}));
  EXPECT_EQ(Command("browser --class=%c %d%m %u"), Words({"browser", "--class=", "https://example.org/gift"}));
  EXPECT_EQ(Command("run --zoom 100%% %u"), Words({"run", "--zoom", "100%", "https://example.org/gift"}));
  EXPECT_EQ(Command(R"(run "50%%")"), Words({"run", "50%", "https://example.org/gift"}));
  // A quoted empty argument is kept; a word of dropped codes is not.
  EXPECT_EQ(Command(R"(run "" %i %u)"), Words({"run", "", "https://example.org/gift"}));
}

TEST(BrowserCommand, QuotesAndEscapesAreUndone) {
  // In the file a backslash of a string is written twice, so a backslash
  // inside a quoted argument takes four.
  EXPECT_EQ(Command(R"("/opt/say \"hi\"/run" "C:\\\\dir" "\$HOME" "a\`b" %u)"),
            Words({R"(/opt/say "hi"/run)", R"(C:\dir)", "$HOME", "a`b", "https://example.org/gift"}));
  // The file's own escapes: \s is a blank, which separates words unquoted.
  EXPECT_EQ(Command(R"(run\s--flag "two\swords")"), Words({"run", "--flag", "two words", "https://example.org/gift"}));
  // Quoted parts of one word join it.
  EXPECT_EQ(Command(R"(/opt/"my browser"/bin/run %u)"),
            Words({"/opt/my browser/bin/run", "https://example.org/gift"}));
}

TEST(BrowserCommand, EmptyOrInvalidLinesNameNoBrowser) {
  for (const char* line : {"", "   ", "%i", R"("" %u)", R"("/usr/bin/firefox %u)", "browser %x", "browser %",
                           "browser 100%"})
    EXPECT_TRUE(Command(line).isEmpty()) << line;
}

TEST(BrowserCommand, NoProgramStartsWithoutOne) {
  EXPECT_FALSE(StartProgram(QStringList()));
  EXPECT_FALSE(StartProgram(Words({""})));
  EXPECT_FALSE(StartProgram(Words({"/nonexistent/tessarine-browser", "https://example.org"})));
}
