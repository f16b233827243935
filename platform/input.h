#pragma once
// Live key and mouse-button state, read from the display at the moment of the
// call rather than from the events handled so far: the gestures read the keys
// as they are when the mouse is pressed, and the animations read the buttons
// at their frames, so that a press stops a slide. Tests replace the state
// source.

#include <functional>

struct TInputState {
  bool Shift = false;
  bool Ctrl = false;
  bool LeftButton = false;
  bool AnyButton = false;  // left, middle or right
};

// The keys and buttons held with an input event, as the window reports them.
enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32 };
using TShiftState = unsigned;

using TInputSource = std::function<TInputState()>;

// An empty source restores the desktop's live state (all up without a GUI).
void SetInputSource(TInputSource source);

bool ShiftIsDown();
bool CtrlIsDown();
bool LeftButtonIsDown();

// A mouse button is down now: animations that a click may stop poll this.
bool MouseButtonPending();
