#pragma once
// "Quick help": what each mouse button does over a piece, over the board and
// on a tray, how to zoom and move about the board, and the keys, in two
// columns.

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <vector>

class TQuickHelpDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int ClientWidth = 768;
  static constexpr int ClientHeight = 524;

  explicit TQuickHelpDlg(QWidget* parent = nullptr);

  // One line of a group: the mouse gesture on the left, what it does on the
  // right.
  struct TLine {
    QLabel* Gesture;
    QLabel* Action;
  };

  QGroupBox* PieceGroup;
  QGroupBox* BoardGroup;
  QGroupBox* ZoomGroup;
  QGroupBox* TrayGroup;
  QGroupBox* KeyGroup;
  std::vector<TLine> PieceLines;
  std::vector<TLine> BoardLines;
  std::vector<TLine> ZoomLines;
  std::vector<TLine> TrayLines;
  std::vector<TLine> KeyLines;
  QPushButton* OKBtn;
};
