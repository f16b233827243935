#pragma once
// The toolbar: a 41-pixel panel of flat 31 x 31 tool buttons. Each button's
// tool tip is the short part of its hint and its status tip the long part,
// which the main window shows on its status line. The main window connects
// the buttons to their commands.

#include <QToolButton>
#include <QWidget>

// The face the bars around the board share: the desktop's button colour
// shaded top to bottom, and a line at lineY that sets the bar off.
void PaintBarFace(QWidget& bar, int lineY);

class TSpeedBar : public QWidget {
  Q_OBJECT

 public:
  static constexpr int BarHeight = 41;
  static constexpr int ButtonSize = 31;

  explicit TSpeedBar(QWidget* parent = nullptr);

  QToolButton* SpeedPicture = nullptr;
  QToolButton* SpeedSize = nullptr;
  QToolButton* SpeedEdge = nullptr;
  QToolButton* SpeedGrid = nullptr;
  QToolButton* SpeedSound = nullptr;  // toggle, down while sound effects are on
  QToolButton* SpeedMusic = nullptr;  // toggle, down while music is on
  QToolButton* SpeedUndo = nullptr;  // enabled while there is something to undo
  QToolButton* SpeedRedo = nullptr;  // enabled while there is something to redo
  QToolButton* SpeedHelp = nullptr;

 protected:
  void paintEvent(QPaintEvent* event) override;
};
