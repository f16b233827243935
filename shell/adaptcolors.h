#pragma once
// Dialog texts laid out in plain black would vanish under a dark colour
// scheme: this gives them the scheme's text colours instead.

#include <QWidget>

// Every black text among the form's children takes the system colour meant
// for its kind of control: labels, check boxes, radio buttons and group boxes
// the window-text colour, push buttons and plain panels the button-text
// colour. Text in any other colour was chosen on purpose and stays.
void AdaptColors(QWidget& form);
