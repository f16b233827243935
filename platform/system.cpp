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
      } else if (inMainGroup && line.startsWith(QLatin1String("Exec="))) {
        return line.mid(5);
      }
    }
  }
  return {};
}

QString DesktopBrowserCommand() {
  const QString entry = RunForOutput(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                                                  QStringLiteral("text/html")});
  return entry.isEmpty() ? QString() : DesktopEntryExec(entry);
}

}  // namespace

QString ExePath() { return QCoreApplication::applicationFilePath(); }

QString TempDir() { return QDir::tempPath(); }

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

bool StartProgram(const QString& commandLine) {
  QStringList parts = QProcess::splitCommand(commandLine);
  if (parts.isEmpty()) return false;
  const QString program = parts.takeFirst();
  return QProcess::startDetached(program, parts);
}

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
