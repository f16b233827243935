#include "shell/flattenbuttons.h"

#include <QApplication>
#include <QToolButton>
#include <QVariant>

void FlattenButtons(bool flat) {
  for (QWidget* window : QApplication::topLevelWidgets())
    for (QToolButton* button : window->findChildren<QToolButton*>())
      if (button->property(ButtonTag).toInt() != KeepOwnLook) button->setAutoRaise(flat);
}
