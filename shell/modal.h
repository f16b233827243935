#pragma once
// Every modal window of the player is shown through one function, so tests
// can answer a dialog (press its buttons, change its boxes) without a person.

#include <QDialog>
#include <QMenu>
#include <QPoint>

#include <functional>

using TModalHandler = std::function<int(QDialog& dialog)>;

// An empty handler restores the default, which runs the dialog's own loop.
void SetModalHandler(TModalHandler handler);
// Shows the dialog modally and returns its result (QDialog::Accepted ...).
int ShowModal(QDialog& dialog);

// Popup menus likewise: the handler returns the item chosen, or null.
using TPopupHandler = std::function<QAction*(QMenu& menu, QPoint screenPoint)>;
void SetPopupHandler(TPopupHandler handler);
QAction* ShowPopupMenu(QMenu& menu, QPoint screenPoint);
