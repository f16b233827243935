#include "shell/aboutbox.h"

#include <QMouseEvent>
#include <QPalette>

#include "shell/fixeddialog.h"
#include "shell/fonts.h"
#include "shell/glyphs.h"
#include "shell/labels.h"

namespace {

constexpr int TextLeft = 144;
constexpr int TextWidth = 226;

}  // namespace

TAboutBox::TAboutBox(const QString& webAddress, QWidget* parent)
    : QDialog(parent),
      Panel1(new QFrame(this)),
      ProgramIcon(PlacedLabel(Panel1, QStringLiteral("ProgramIcon"), {}, {8, 8, 124, 104})),
      ProductShad(PlacedLabel(Panel1, QStringLiteral("ProductShad"), QStringLiteral("Tessarine Gift"),
                        {TextLeft + 1, 12, TextWidth, 30})),
      ProductName(PlacedLabel(Panel1, QStringLiteral("ProductName"), QStringLiteral("Tessarine Gift"),
                        {TextLeft, 12, TextWidth, 30})),
      Version(PlacedLabel(Panel1, QStringLiteral("Version"), QStringLiteral("player " TG_VERSION), {TextLeft, 48, TextWidth, 16})),
      Notice(PlacedLabel(Panel1, QStringLiteral("Notice"), QStringLiteral("\u00A9 The Tessarine Gift developers"),
                   {TextLeft, 0, TextWidth, 34})),
      Comment(PlacedLabel(Panel1, QStringLiteral("Comment"),
                    QStringLiteral("Every gift carries its own picture, music and messages, chosen by the person "
                                   "who made it for you."),
                    {8, 116, 362, 32})),
      WebLab(PlacedLabel(this, QStringLiteral("WebLab"), webAddress, {9, 178, 270, 20})),
      OKButton(new QPushButton(QStringLiteral("OK"), this)) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("About Tessarine Gift"));
  setFont(DesignFont(QStringLiteral("Arial"), -13));
  SetFixedDialogSize(*this, ClientWidth, ClientHeight);

  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setGeometry(9, 8, 378, 151);
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);

  ProgramIcon->setAlignment(Qt::AlignCenter);
  ProgramIcon->setPixmap(WindowIcon().pixmap(QSize(104, 104)));

  // Red in front of a white copy one pixel to its right.
  const QFont productFont = DesignFont(QStringLiteral("Times New Roman"), -22, true, true);
  ProductShad->setFont(productFont);
  SetTextColor(*ProductShad, Qt::white);
  ProductName->setFont(productFont);
  SetTextColor(*ProductName, Qt::red);

  // The notice sits half a line below the version, however tall its font.
  Version->resize(Version->width(), Version->sizeHint().height());
  Notice->move(Notice->x(), Version->y() + 3 * Version->height() / 2);
  Notice->setWordWrap(true);
  Comment->setWordWrap(true);

  QFont link = DesignFont(QStringLiteral("Arial"), -15);
  link.setUnderline(true);
  WebLab->setFont(link);
  SetTextColor(*WebLab, Qt::blue);
  WebLab->setCursor(Qt::PointingHandCursor);
  WebLab->setVisible(!webAddress.isEmpty());
  WebLab->installEventFilter(this);

  OKButton->setObjectName(QStringLiteral("OKButton"));
  OKButton->setGeometry(ClientWidth - 9 - 96, 172, 96, 33);
  OKButton->setDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched == WebLab && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    OpenInBrowser(WebLab->text());
    return true;
  }
  return QDialog::eventFilter(watched, event);
}
