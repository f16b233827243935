#include "shell/traybarview.h"

#include <QApplication>
#include <QMouseEvent>
#include <QToolButton>

#include "platform/utility.h"
#include "shell/fonts.h"
#include "shell/glyphs.h"
#include "shell/speedbar.h"

namespace {

// A tray button also answers the right button, which opens its menu.
class TTrayToolButton : public QToolButton {
 public:
  TTrayToolButton(TTrayButton& model, const TTrayBarView::TCommandRoad& road, QWidget* parent)
      : QToolButton(parent), model_(model), road_(road) {}

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() == Qt::RightButton) {
      const QPoint global = event->globalPosition().toPoint();
      road_([this, global] { model_.RightPress({global.x(), global.y()}); });
      return;
    }
    QToolButton::mousePressEvent(event);
  }

 private:
  TTrayButton& model_;
  const TTrayBarView::TCommandRoad& road_;
};

void Show(QToolButton& widget, const TTrayButton& model) {
  widget.setGeometry(model.Left(), model.Top(), model.Width(), model.Height());
  widget.setText(model.Caption());
  widget.setToolTip(TextBefore(QStringLiteral("|"), model.Hint()));
  widget.setStatusTip(model.Hint().section(QLatin1Char('|'), 1));
  widget.setChecked(model.Down());
  widget.setEnabled(model.Enabled());
  widget.setVisible(model.Visible());
  widget.setIcon(model.Full() ? GlyphIcon(TGlyph::BoxFull) : GlyphIcon(TGlyph::BoxEmpty));
}

}  // namespace

TTrayBarView::TTrayBarView(TTrayBar& bar, TCommandRoad road, QWidget* parent)
    : QWidget(parent), bar_(bar), road_(std::move(road)) {
  setObjectName(QStringLiteral("BoxBar"));
  setFixedHeight(BarHeight);
  // The bar is a panel of the window, not of the board: on a board of any
  // colour its buttons and arrows show in the desktop's own colours.
  setPalette(QApplication::palette());
  AddButton(bar.BoxBtn, QStringLiteral("BoxBtn"));
  const std::pair<TTrayButton*, Qt::ArrowType> arrows[] = {{&bar.SpeedBoxLeft, Qt::LeftArrow},
                                                           {&bar.SpeedBoxRight, Qt::RightArrow},
                                                           {&bar.SpeedBoxUp, Qt::UpArrow},
                                                           {&bar.SpeedBoxDown, Qt::DownArrow}};
  const char* names[] = {"SpeedBoxLeft", "SpeedBoxRight", "SpeedBoxUp", "SpeedBoxDown"};
  for (std::size_t i = 0; i < std::size(arrows); ++i)
    AddButton(*arrows[i].first, QString::fromLatin1(names[i]))->setArrowType(arrows[i].second);
  connect(&bar, &TTrayBar::ButtonAdded, this, [this](TTrayButton* button) {
    AddButton(*button, QStringLiteral("Tray%1").arg(button->Caption()));
  });
  setVisible(bar.Visible());
  connect(&bar, &TTrayBar::VisibleChanged, this, [this] { setVisible(bar_.Visible()); });
}

QToolButton* TTrayBarView::AddButton(TTrayButton& model, const QString& name) {
  auto* widget = new TTrayToolButton(model, road_, this);
  widget->setObjectName(name);
  widget->setCheckable(true);
  // A button's right press opens its own menu, never the bar's.
  widget->setContextMenuPolicy(Qt::PreventContextMenu);
  widget->setAutoRaise(true);
  widget->setFont(DesignFont(QStringLiteral("Arial"), -12, false, true));
  widget->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  widget->setProperty("model", QVariant::fromValue<void*>(&model));
  Show(*widget, model);
  connect(&model, &TTrayButton::Changed, widget, [widget, &model] { Show(*widget, model); });
  connect(&model, &QObject::destroyed, widget, &QObject::deleteLater);
  connect(widget, &QToolButton::clicked, &model, [this, widget, &model] {
    // The model decides whether the button stays down.
    widget->setChecked(model.Down());
    road_([&model] { model.Click(); });
  });
  return widget;
}

void TTrayBarView::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ApplicationPaletteChange) setPalette(QApplication::palette());
  QWidget::changeEvent(event);
}

void TTrayBarView::paintEvent(QPaintEvent*) {
  // Shaded as the toolbar is, with a line between it and the board.
  PaintBarFace(*this, 0);
}

QToolButton* TTrayBarView::ButtonFor(const TTrayButton& button) const {
  for (QToolButton* widget : findChildren<QToolButton*>())
    if (widget->property("model").value<void*>() == &button) return widget;
  return nullptr;
}
