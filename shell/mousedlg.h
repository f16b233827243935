#pragma once
// "Choose mouse action": whether the right mouse button opens the piece menu
// (Default) or turns the piece (Alternative).

#include <QDialog>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include <cstdint>
#include <vector>

// A captioned group of radio buttons, one of them chosen.
class TRadioGroup : public QGroupBox {
  Q_OBJECT

 public:
  TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr);

  // The chosen item, -1 for none; an index outside the items chooses none.
  int ItemIndex() const;
  void SetItemIndex(int index);

  std::vector<QRadioButton*> Items;
};

class TMouseDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int ClientWidth = 294;
  static constexpr int ClientHeight = 134;

  explicit TMouseDlg(QWidget* parent = nullptr);

  TRadioGroup* MouseAction;  // 0 Default, 1 Alternative
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  QPushButton* HelpBtn;  // explains the two modes
};

// Right Mouse Button...: the dialog opens on the current mode and OK takes
// the choice. Whatever the answer, the Alternative mode with rotation off
// brings a reminder that it turns nothing until rotation is enabled. Returns
// the mode to use.
std::uint8_t ChooseMouseMode(TMouseDlg& dialog, std::uint8_t mode, bool rotationOn);
