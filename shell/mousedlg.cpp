#include "shell/mousedlg.h"

#include "platform/messagebox.h"
#include "shell/fixeddialog.h"
#include "shell/fonts.h"
#include "shell/modal.h"

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent) {
  for (const QString& item : items) Items.push_back(new QRadioButton(item, this));
}

int TRadioGroup::ItemIndex() const {
  for (std::size_t i = 0; i < Items.size(); ++i)
    if (Items[i]->isChecked()) return int(i);
  return -1;
}

void TRadioGroup::SetItemIndex(int index) {
  // Exclusive buttons cannot all be cleared one by one.
  for (QRadioButton* item : Items) item->setAutoExclusive(false);
  for (std::size_t i = 0; i < Items.size(); ++i) Items[i]->setChecked(int(i) == index);
  for (QRadioButton* item : Items) item->setAutoExclusive(true);
}

namespace {

QPushButton* Button(QWidget* parent, const QString& name, const QString& caption, int top) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setGeometry(204, top, 82, 27);
  return button;
}

}  // namespace

TMouseDlg::TMouseDlg(QWidget* parent)
    : QDialog(parent),
      MouseAction(new TRadioGroup(QStringLiteral("Mouse action"),
                                  {QStringLiteral("Default"), QStringLiteral("Alternative")}, this)),
      OKBtn(Button(this, QStringLiteral("OKBtn"), QStringLiteral("OK"), 12)),
      CancelBtn(Button(this, QStringLiteral("CancelBtn"), QStringLiteral("Cancel"), 46)),
      HelpBtn(Button(this, QStringLiteral("HelpBtn"), QStringLiteral("&Help"), 99)) {
  setObjectName(QStringLiteral("MouseDlg"));
  setWindowTitle(QStringLiteral("Choose mouse action"));
  setFont(DesignFont(QStringLiteral("MS Sans Serif"), -14));
  SetFixedDialogSize(*this, ClientWidth, ClientHeight);

  MouseAction->setObjectName(QStringLiteral("MouseAction"));
  MouseAction->setGeometry(8, 8, 185, 118);
  for (std::size_t i = 0; i < MouseAction->Items.size(); ++i)
    MouseAction->Items[i]->setGeometry(16, 30 + int(i) * 32, 160, 22);
  MouseAction->SetItemIndex(0);

  OKBtn->setDefault(true);
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(HelpBtn, &QPushButton::clicked, this, [] {
    MessageDlg(QStringLiteral("Default: the right mouse button opens the piece menu; Ctrl with the right button "
                              "turns the piece clockwise.\n\nAlternative: the right mouse button turns the piece "
                              "clockwise, or opens the piece menu while \"Options/Rotating Pieces\" is off; Ctrl "
                              "with the right button opens the piece menu."),
               TMsgType::Information, TMsgButtons::Ok);
  });
}

std::uint8_t ChooseMouseMode(TMouseDlg& dialog, std::uint8_t mode, bool rotationOn) {
  dialog.MouseAction->SetItemIndex(mode);
  if (ShowModal(dialog) == QDialog::Accepted && dialog.MouseAction->ItemIndex() >= 0)
    mode = std::uint8_t(dialog.MouseAction->ItemIndex());
  if (!rotationOn && mode != 0)
    MessageDlg(QStringLiteral("Alternative mouse action is enabled. Don't forget to enable \"Options/Rotating "
                              "Pieces\" for piece rotation!"),
               TMsgType::Information, TMsgButtons::Ok);
  return mode;
}
