#pragma once
// Dialogs of one size.

#include <QDialog>

// Gives the dialog its one size and a title bar with the close box only:
// no minimise or maximise button under window managers that honour the
// hints, as nothing in it can grow or needs to be put away.
void SetFixedDialogSize(QDialog& dialog, int width, int height);
