#include "shell/makegiftdlg.h"

#include <QDir>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QStandardPaths>

#include "shell/adaptcolors.h"
#include "shell/fixeddialog.h"
#include "shell/fonts.h"
#include "shell/glyphs.h"
#include "shell/modal.h"

namespace {

const QString ToolName = QStringLiteral("tessarine-gift");

constexpr TMakeGiftDlg::TOption Options[] = {
    {"-o", "FILE", "the gift to write (required)"},
    {"--picture", "FILE", "your picture, JPEG or PNG (required)"},
    {"--title", "TEXT", "the puzzle's title; made from the picture's file name when not given"},
    {"--creator", "TEXT", "your name, shown in \"About this jigsaw\""},
    {"--pieces", "N", "how many pieces, 2 to 10,000 (100 when not given)"},
    {"--style", "NAME", "the shape of the pieces: classic, blip, square, star, round or mix"},
    {"--outline", "NAME", "the look of their edges: none, paper, card or wood"},
    {"--rotation", "", "the pieces start turned and can be rotated"},
    {"--music", "FILE", "a standard MIDI file, played in a loop"},
    {"--opening-text", "TEXT", "the message shown when the gift opens (\\n breaks a line)"},
    {"--closing-text", "TEXT", "the message shown when it closes"},
    {"--background", "COLOUR", "the colour of the board, such as #336699"},
    {"--player", "FILE", "the player to copy; a gift will do, its own puzzle is left out"},
};

// An argument as a shell reads it back unchanged.
QString ShellQuoted(const QString& argument) {
  static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./:=@%+,-]+$"));
  if (plain.match(argument).hasMatch()) return argument;
  QString quoted = argument;
  quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
  return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString Code(const QString& text) { return QStringLiteral("<code>%1</code>").arg(text.toHtmlEscaped()); }

}  // namespace

std::span<const TMakeGiftDlg::TOption> TMakeGiftDlg::MainOptions() { return Options; }

QStringList TMakeGiftDlg::ExampleArguments() {
  return QStringList{QStringLiteral("make")}
         << QStringLiteral("-o") << QStringLiteral("my-gift")
         << QStringLiteral("--picture") << QStringLiteral("my-picture.jpg")
         << QStringLiteral("--title") << QStringLiteral("My jigsaw")
         << QStringLiteral("--pieces") << QStringLiteral("100");
}

TMakeGiftDlg::TMakeGiftDlg(const QString& toolFolder, QWidget* parent)
    : QDialog(parent),
      ProgramIcon(new QLabel(this)),
      Guide(new QTextBrowser(this)),
      PrintBtn(new QPushButton(QStringLiteral("&Print..."), this)),
      OKBtn(new QPushButton(QStringLiteral("OK"), this)) {
  const QFileInfo besidePlayer(QDir(toolFolder).filePath(ToolName));
  if (besidePlayer.isFile() && besidePlayer.isExecutable()) {
    toolPath_ = besidePlayer.absoluteFilePath();
    toolFound_ = true;
  } else {
    toolPath_ = QStandardPaths::findExecutable(ToolName);
    toolFound_ = !toolPath_.isEmpty();
    if (!toolFound_) toolPath_ = ToolName;
  }

  setObjectName(QStringLiteral("MakeGiftDlg"));
  setWindowTitle(QStringLiteral("Make your own jigsaw gift"));
  setFont(DesignFont(QStringLiteral("MS Sans Serif"), -13));
  SetFixedDialogSize(*this, ClientWidth, ClientHeight);

  ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
  ProgramIcon->setGeometry(12, 12, 64, 64);
  ProgramIcon->setPixmap(WindowIcon().pixmap(QSize(64, 64)));

  Guide->setObjectName(QStringLiteral("Guide"));
  Guide->setGeometry(88, 12, ClientWidth - 88 - 12, 398);
  Guide->setHtml(GuideHtml(toolFolder));

  PrintBtn->setObjectName(QStringLiteral("PrintBtn"));
  PrintBtn->setGeometry(ClientWidth - 12 - 96 - 8 - 96, 424, 96, 33);
  connect(PrintBtn, &QPushButton::clicked, this, &TMakeGiftDlg::Print);
  OKBtn->setObjectName(QStringLiteral("OKBtn"));
  OKBtn->setGeometry(ClientWidth - 12 - 96, 424, 96, 33);
  OKBtn->setDefault(true);
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
}

QString TMakeGiftDlg::CommandLine() const {
  QStringList words{ShellQuoted(toolPath_)};
  for (const QString& argument : ExampleArguments()) words << ShellQuoted(argument);
  return words.join(QLatin1Char(' '));
}

QString TMakeGiftDlg::GuideHtml(const QString& toolFolder) const {
  QString where;
  if (!toolFound_)
    where = QStringLiteral("It comes with the Tessarine Gift player, but it is neither in this program's folder "
                           "(%1) nor on the search path of this computer.")
                .arg(Code(toolFolder));
  else
    where = QStringLiteral("On this computer it lies at %1.").arg(Code(toolPath_));

  QString options;
  for (const TOption& option : Options) {
    const QString value = QString::fromLatin1(option.Value);
    options += QStringLiteral("<tr><td style=\"padding-right: 12px\">%1</td><td>%2</td></tr>")
                   .arg(Code(QString::fromLatin1(option.Name) + (value.isEmpty() ? QString() : u' ' + value)),
                        QString::fromLatin1(option.Meaning).toHtmlEscaped());
  }

  return QStringLiteral(
             "<h2>Make your own jigsaw gift</h2>"
             "<p>A picture of your own can become a gift like this one: a single program file that opens as a "
             "jigsaw of your picture, with your title, your messages and, if you like, your music.</p>"
             "<p>Gifts are made with %1, a command-line tool. %2</p>"
             "<p>Open a terminal in the folder of your picture and run:</p>"
             "<p style=\"font-family: 'Courier New'; white-space: pre-wrap; margin-left: 16px\">%3</p>"
             "<p>This makes the gift %4 from %5. Start it with %6 to try it, then give the file to whoever it "
             "is for.</p>"
             "<p><b>Main options</b></p>"
             "<table cellspacing=\"2\">%7</table>"
             "<p>%8 prints every setting of a gift.</p>")
      .arg(Code(ToolName), where, CommandLine().toHtmlEscaped(), Code(QStringLiteral("my-gift")),
           Code(QStringLiteral("my-picture.jpg")), Code(QStringLiteral("./my-gift")), options,
           Code(ToolName + QStringLiteral(" info GIFT")));
}

void TMakeGiftDlg::showEvent(QShowEvent* event) {
  AdaptColors(*this);
  QDialog::showEvent(event);
}

void TMakeGiftDlg::Print() {
  QPrinter printer;
  QPrintDialog dialog(&printer, this);
  dialog.setWindowTitle(QStringLiteral("Print"));
  if (ShowModal(dialog) != QDialog::Accepted) return;
  Guide->document()->print(&printer);
}

void ShowMakeGiftDlg(QWidget* parent) {
  TMakeGiftDlg order(QCoreApplication::applicationDirPath(), parent);
  ShowModal(order);
}
