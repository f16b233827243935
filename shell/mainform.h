#pragma once
// The main window: play area, status line, and (as the game grows) menus and
// toolbar.

#include <QLabel>
#include <QMainWindow>

#include "platform/utility.h"

class TMainForm : public QMainWindow, public TStatusLine {
  Q_OBJECT

 public:
  static constexpr int InitialWidth = 603;
  static constexpr int InitialHeight = 501;

  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;

  // The free text of the status line; shown at once.
  void SetStatusText(const QString& text) override;
  QString StatusText() const;

  QWidget* PaintBox1() const { return paintBox_; }

 private:
  QWidget* paintBox_;
  QLabel* statusText_;
};
