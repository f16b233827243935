#pragma once
// The small window that stays up while auto-solve runs: how far it has come,
// how fast it should go, and a button to stop it.

#include <QDialog>
#include <QFrame>
#include <QImage>
#include <QPushButton>
#include <QSlider>
#include <QWidget>

#include <cstdint>
#include <functional>

#include "platform/colors.h"

// A round gauge: a pie slice that grows clockwise from twelve o'clock, with
// the percentage written across it.
class TGauge : public QWidget {
  Q_OBJECT

 public:
  explicit TGauge(QWidget* parent = nullptr);

  // The progress is kept inside the range; a maximum below the minimum makes
  // the range empty.
  void SetRange(std::int32_t minimum, std::int32_t maximum);
  void SetProgress(std::int32_t progress);
  std::int32_t Minimum() const { return minimum_; }
  std::int32_t Maximum() const { return maximum_; }
  std::int32_t Progress() const { return progress_; }
  // (progress - minimum) * 100 div (maximum - minimum); 0 for an empty range.
  int PercentDone() const;

  // The slice and the circle's outline in the fore colour, the rest of the
  // circle in the back colour; plain or system colours.
  void SetColors(TColor foreColor, TColor backColor);
  TColor ForeColor() const { return foreColor_; }
  TColor BackColor() const { return backColor_; }

  // The gauge as it is painted on screen.
  QImage Render() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // Repaints at once when a change shows, so that the gauge keeps up while
  // the caller holds the window thread.
  void ChangeProgress(std::int32_t minimum, std::int32_t maximum, std::int32_t progress);

  std::int32_t minimum_ = 0;
  std::int32_t maximum_ = 100;
  std::int32_t progress_ = 0;
  TColor foreColor_ = clBlack;
  TColor backColor_ = clWhite;
};

class TSolveDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int ClientWidth = 180;
  static constexpr int ClientHeight = 70;

  explicit TSolveDlg(QWidget* parent = nullptr);

  QPushButton* OKBtn;
  QFrame* Panel1;
  TGauge* SolveGauge;
  QSlider* SpeedBar;  // the speed of the slides, 1 to 10

  // Called whenever the user closes the window, by its Stop! button, its
  // close box or the Escape key; hiding it from the program does not call it.
  std::function<void()> OnStop;
};
