#pragma once
// Live key and mouse-button state, and the note that a mouse-button press is
// waiting in the event queue. Tests replace the state source.

#include <functional>

struct TInputState {
  bool Shift = false;
  bool Ctrl = false;
  bool LeftButton = false;
};

using TInputSource = std::function<TInputState()>;

// An empty source restores the desktop's live state (all up without a GUI).
void SetInputSource(TInputSource source);

bool ShiftIsDown();
bool CtrlIsDown();
bool LeftButtonIsDown();

// Animations that a click may stop poll this; the application's event filter
// notes presses and whoever consumes one clears it.
bool MouseButtonPending();
void NoteMouseButtonPress();
void ClearMouseButtonPending();
