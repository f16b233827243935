#pragma once
// The window that greets a finished puzzle with the time it took and whether
// the player cheated; the full picture follows once it is closed.

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

class TCongratsDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int ClientWidth = 401;
  static constexpr int ClientHeight = 266;

  // status: the completion text of the game.
  explicit TCongratsDlg(const QString& status, QWidget* parent = nullptr);

  QFrame* Bevel;
  QLabel* ProgramIcon;
  QLabel* TitleShad;
  QLabel* Title;
  QLabel* JigStatus;
  QPushButton* OKButton;

 protected:
  void showEvent(QShowEvent* event) override;
};
