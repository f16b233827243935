#include "shell/congratsdlg.h"


#include "shell/adaptcolors.h"
#include "shell/fixeddialog.h"
#include "shell/fonts.h"
#include "shell/glyphs.h"
#include "shell/labels.h"

namespace {

QLabel* TitleLabel(QWidget* parent, const QString& name, const QColor& color, QPoint place) {
  auto* label = new QLabel(QStringLiteral("Congratulations!"), parent);
  label->setObjectName(name);
  label->setFont(DesignFont(QStringLiteral("Times New Roman"), -30, true));
  SetTextColor(*label, color);
  label->move(place);
  label->adjustSize();
  return label;
}

}  // namespace

TCongratsDlg::TCongratsDlg(const QString& status, QWidget* parent)
    : QDialog(parent),
      Bevel(new QFrame(this)),
      ProgramIcon(new QLabel(this)),
      TitleShad(TitleLabel(this, QStringLiteral("TitleShad"), Qt::white, {138, 48})),
      Title(TitleLabel(this, QStringLiteral("Title"), Qt::blue, {139, 49})),
      JigStatus(new QLabel(status, this)),
      OKButton(new QPushButton(QStringLiteral("OK"), this)) {
  setObjectName(QStringLiteral("CongratsDlg"));
  setWindowTitle(QStringLiteral("You solved it!"));
  setFont(DesignFont(QStringLiteral("System"), -16));
  SetFixedDialogSize(*this, ClientWidth, ClientHeight);

  Bevel->setObjectName(QStringLiteral("Bevel"));
  Bevel->setGeometry(10, 10, ClientWidth - 20, 201);
  Bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);

  ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
  ProgramIcon->setGeometry(14, 14, 120, 134);
  ProgramIcon->setAlignment(Qt::AlignCenter);
  ProgramIcon->setPixmap(WindowIcon().pixmap(QSize(120, 120)));

  JigStatus->setObjectName(QStringLiteral("JigStatus"));
  JigStatus->setGeometry(140, 108, ClientWidth - 162, 97);
  JigStatus->setWordWrap(true);
  JigStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  // Centred under the bevel.
  OKButton->setObjectName(QStringLiteral("OKButton"));
  OKButton->setFont(DesignFont(QStringLiteral("MS Sans Serif"), -15, true));
  OKButton->setGeometry((ClientWidth - 96) / 2, 222, 96, 33);
  OKButton->setDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TCongratsDlg::showEvent(QShowEvent* event) {
  AdaptColors(*this);
  QDialog::showEvent(event);
}
