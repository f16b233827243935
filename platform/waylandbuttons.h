#pragma once
// The mouse buttons as a Wayland compositor reports them now. A Wayland
// client learns of a press only through an event, and Qt hands its events on
// only when the window thread gets back to them. A pointer of our own on Qt's
// connection, with an event queue of its own, gets the same button events;
// reading that queue needs nothing of Qt's, so it can be read at any moment.

struct TInputState;

// True with state's buttons filled in when the application runs on Wayland
// and the compositor gave a pointer; false elsewhere.
bool QueryWaylandButtons(TInputState& state);
