#pragma once
// The tray bar's widget: one tool button per tray and the four scroll
// buttons, each showing its model of play/traybar.h and passing clicks back.

#include <QWidget>

#include "play/traybar.h"

class QToolButton;

class TTrayBarView : public QWidget {
  Q_OBJECT

 public:
  static constexpr int BarHeight = 30;

  TTrayBarView(TTrayBar& bar, QWidget* parent = nullptr);

  // The widget that shows a model button (the template and scroll buttons
  // included), or null.
  QToolButton* ButtonFor(const TTrayButton& button) const;

 protected:
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  QToolButton* AddButton(TTrayButton& model, const QString& name);

  TTrayBar& bar_;
};
