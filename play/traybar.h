#pragma once
// The tray bar as the game sees it: the bar's size and place, its template
// button, the four scroll buttons and one toggle button per tray. The shell
// shows these objects as widgets and reports clicks back through them, so the
// trays work and are tested without a window.

#include <QObject>
#include <QString>

#include <functional>

#include "platform/types.h"

// One button of the bar. Geometry is in the bar's coordinates.
class TTrayButton : public QObject {
  Q_OBJECT

 public:
  TTrayButton() = default;

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  const QString& Caption() const { return caption_; }
  const QString& Hint() const { return hint_; }
  bool Down() const { return down_; }
  bool Visible() const { return visible_; }
  bool Enabled() const { return enabled_; }
  // The picture: a filled tray (true) or an empty one.
  bool Full() const { return full_; }
  int GroupIndex() const { return groupIndex_; }

  void SetBounds(int left, int top, int width, int height);
  void SetLeft(int left) { SetBounds(left, top_, width_, height_); }
  void SetTop(int top) { SetBounds(left_, top, width_, height_); }
  void SetCaption(const QString& caption) { Set(caption_, caption); }
  void SetHint(const QString& hint) { Set(hint_, hint); }
  void SetDown(bool down) { Set(down_, down); }
  void SetVisible(bool visible) { Set(visible_, visible); }
  void SetEnabled(bool enabled) { Set(enabled_, enabled); }
  void SetFull(bool full) { Set(full_, full); }
  void SetGroupIndex(int group) { Set(groupIndex_, group); }

  // What the buttons do: a click, and a press of the right button at a
  // point of the screen. The shell calls Click and RightPress.
  std::function<void()> OnClick;
  std::function<void(TPoint screenPoint)> OnRightPress;
  void Click() {
    if (OnClick) OnClick();
  }
  void RightPress(TPoint screenPoint) {
    if (OnRightPress) OnRightPress(screenPoint);
  }

 signals:
  void Changed();

 private:
  template <class T>
  void Set(T& field, const T& value) {
    if (field == value) return;
    field = value;
    emit Changed();
  }

  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  QString caption_;
  QString hint_;
  bool down_ = false;
  bool visible_ = true;
  bool enabled_ = true;
  bool full_ = false;
  int groupIndex_ = 0;
};

class TTrayBar : public QObject {
  Q_OBJECT

 public:
  enum class TAlign { Top, Bottom, Left, Right };

  TTrayBar();

  TAlign Align = TAlign::Bottom;
  // The bar's client size; the shell keeps it current.
  int Width = 0;
  int Height = 30;
  // The bar's top-left minus the play area's top-left, both in the main
  // window's logical pixels: adding it turns bar coordinates into play-area
  // coordinates, and PlayAreaScale turns those into board pixels (the
  // screen's device pixels).
  TPoint PlayAreaOffset;
  double PlayAreaScale = 1;

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);

  // The template of every tray button (hidden), and the scroll buttons.
  TTrayButton BoxBtn;
  TTrayButton SpeedBoxLeft, SpeedBoxRight, SpeedBoxUp, SpeedBoxDown;

  // A tray's new button: the shell makes a widget for it, which goes when
  // the button is destroyed.
  void AddButton(TTrayButton& button) { emit ButtonAdded(&button); }

 signals:
  void ButtonAdded(TTrayButton* button);
  void VisibleChanged();

 private:
  bool visible_ = false;
};
