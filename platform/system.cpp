#include "platform/system.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLocale>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTextStream>

#include <optional>

namespace {

std::function<int()> screenDepthSource;
std::function<QString()> browserCommandSource;

// Without a screen (tools, tests) pictures are made at full colour depth.
int DesktopScreenDepth() {
  constexpr int fullDepth = 24;
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return fullDepth;
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->depth() : fullDepth;
}

// Output of a short helper program, or empty when it is missing or fails.
QString RunForOutput(const QString& program, const QStringList& arguments) {
  if (QStandardPaths::findExecutable(program).isEmpty()) return {};
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(3000) || process.exitCode() != 0) return {};
  return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

// The Exec line of a desktop entry found in the usual application folders.
QString DesktopEntryExec(const QString& entryName) {
  const QStringList folders = QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
  for (const QString& folder : folders) {
    QFile file(QDir(folder).filePath(entryName));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) continue;
    QTextStream in(&file);
    bool inMainGroup = false;
    while (!in.atEnd()) {
      const QString line = in.readLine().trimmed();
      if (line.startsWith(QLatin1Char('['))) {
        inMainGroup = line == QLatin1String("[Desktop Entry]");
        continue;
      }
      // Blanks around the equals sign do not count.
      const qsizetype equals = line.indexOf(QLatin1Char('='));
      if (inMainGroup && equals > 0 && QStringView(line).left(equals).trimmed() == QLatin1String("Exec"))
        return line.mid(equals + 1).trimmed();
    }
  }
  return {};
}

// The escapes of every string value of a desktop entry: \s, \n, \t, \r and
// \\. Other backslashes are left to the Exec line's own quoting.
QString UnescapeEntryString(const QString& value) {
  QString text;
  text.reserve(value.size());
  for (qsizetype i = 0; i < value.size(); ++i) {
    if (value[i] == u'\\' && i + 1 < value.size()) {
      const qsizetype escape = QLatin1String("sntr\\").indexOf(value[i + 1]);
      if (escape >= 0) {
        text += QLatin1String(" \n\t\r\\")[escape];
        ++i;
        continue;
      }
    }
    text += value[i];
  }
  return text;
}

// The words of an Exec line with its quoting undone: blanks separate words
// outside double quotes, and inside them a backslash makes the next ", `, $
// or backslash plain. Nothing when a quote is left open.
std::optional<QStringList> ExecWords(const QString& line) {
  QStringList words;
  QString word;
  bool inWord = false;
  bool quoted = false;
  for (qsizetype i = 0; i < line.size(); ++i) {
    const QChar c = line[i];
    const bool escapes = c == u'\\' && i + 1 < line.size();
    if (quoted) {
      if (c == u'"')
        quoted = false;
      else if (escapes && QLatin1String("\"`$\\").contains(line[i + 1]))
        word += line[++i];
      else
        word += c;
    } else if (c == u' ' || c == u'\t' || c == u'\n') {
      if (inWord) words << word;
      word.clear();
      inWord = false;
    } else {
      inWord = true;
      if (c == u'"')
        quoted = true;
      else
        word += escapes ? line[++i] : c;
    }
  }
  if (quoted) return std::nullopt;
  if (inWord) words << word;
  return words;
}

// A word with its field codes expanded: the first file or address code takes
// the address, later ones and the codes for icon, name and entry file are
// dropped. Nothing for a code that the rules do not define.
std::optional<QString> ExpandFieldCodes(const QString& word, const QString& address, bool& addressPlaced) {
  QString text;
  for (qsizetype i = 0; i < word.size(); ++i) {
    if (word[i] != u'%') {
      text += word[i];
      continue;
    }
    if (++i == word.size()) return std::nullopt;
    const QChar code = word[i];
    if (code == u'%') {
      text += code;
    } else if (QLatin1String("uUfF").contains(code)) {
      if (!addressPlaced) text += address;
      addressPlaced = true;
    } else if (!QLatin1String("ickdDnNvm").contains(code)) {
      return std::nullopt;
    }
  }
  return text;
}

QString DesktopBrowserCommand() {
  const QString entry = RunForOutput(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                                                  QStringLiteral("text/html")});
  return entry.isEmpty() ? QString() : DesktopEntryExec(entry);
}

}  // namespace

QString ExePath() { return QCoreApplication::applicationFilePath(); }


QString TimeSeparator() {
  // The character between hours and minutes of the locale's short time.
  const QString format = QLocale::system().timeFormat(QLocale::ShortFormat);
  for (QChar c : format)
    if (!c.isLetter() && !c.isSpace()) return QString(c);
  return QStringLiteral(":");
}

QString ShortDateFormat() { return QLocale::system().dateFormat(QLocale::ShortFormat); }

int ScreenDepth() { return screenDepthSource ? screenDepthSource() : DesktopScreenDepth(); }

void SetScreenDepthSource(std::function<int()> source) { screenDepthSource = std::move(source); }

QString DefaultBrowserCommand() { return browserCommandSource ? browserCommandSource() : DesktopBrowserCommand(); }

void SetBrowserCommandSource(std::function<QString()> source) { browserCommandSource = std::move(source); }

QStringList BrowserCommand(const QString& execLine, const QString& address) {
  const std::optional<QStringList> words = ExecWords(UnescapeEntryString(execLine));
  if (!words) return {};
  QStringList command;
  bool addressPlaced = false;
  for (const QString& word : *words) {
    const std::optional<QString> expanded = ExpandFieldCodes(word, address, addressPlaced);
    if (!expanded) return {};
    // A word of nothing but dropped codes goes with them; a quoted empty
    // word is an argument of its own.
    if (expanded->isEmpty() && !word.isEmpty()) continue;
    command << *expanded;
  }
  if (command.isEmpty() || command.first().isEmpty()) return {};
  if (!addressPlaced && !address.isEmpty()) command << address;
  return command;
}

bool StartProgram(const QStringList& command) {
  if (command.isEmpty() || command.first().isEmpty()) return false;
  return QProcess::startDetached(command.first(), command.mid(1));
}

bool StartProgram(const QString& commandLine) { return StartProgram(QProcess::splitCommand(commandLine)); }

QString DisplaySettingsCommand() {
  const char* candidates[] = {"gnome-control-center display", "systemsettings kcm_kscreen",
                              "xfce4-display-settings", "cinnamon-settings display", "mate-display-properties",
                              "lxrandr", "arandr"};
  for (const char* candidate : candidates) {
    const QString command = QString::fromLatin1(candidate);
    if (!QStandardPaths::findExecutable(command.section(QLatin1Char(' '), 0, 0)).isEmpty()) return command;
  }
  return {};
}
