#pragma once
// The tray bar's widget: one tool button per tray and the four scroll
// buttons, each showing its model of play/traybar.h and passing clicks back.

#include <QWidget>

#include <functional>

#include "play/traybar.h"

class QToolButton;

class TTrayBarView : public QWidget {
  Q_OBJECT

 public:
  static constexpr int BarHeight = 30;

  // The road a click takes to the game, which runs it as it runs the
  // window's other commands.
  using TCommandRoad = std::function<void(const std::function<void()>&)>;

  TTrayBarView(TTrayBar& bar, TCommandRoad road, QWidget* parent = nullptr);

  // The widget that shows a model button (the template and scroll buttons
  // included), or null.
  QToolButton* ButtonFor(const TTrayButton& button) const;

 protected:
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  QToolButton* AddButton(TTrayButton& model, const QString& name);

  TTrayBar& bar_;
  TCommandRoad road_;
};
