#include "platform/input.h"

#include <QGuiApplication>

namespace {

TInputSource inputSource;
bool mouseButtonPending = false;

TInputState DesktopState() {
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return {};
  const Qt::KeyboardModifiers modifiers = QGuiApplication::queryKeyboardModifiers();
  return {modifiers.testFlag(Qt::ShiftModifier), modifiers.testFlag(Qt::ControlModifier),
          QGuiApplication::mouseButtons().testFlag(Qt::LeftButton)};
}

TInputState CurrentState() { return inputSource ? inputSource() : DesktopState(); }

}  // namespace

void SetInputSource(TInputSource source) { inputSource = std::move(source); }

bool ShiftIsDown() { return CurrentState().Shift; }
bool CtrlIsDown() { return CurrentState().Ctrl; }
bool LeftButtonIsDown() { return CurrentState().LeftButton; }

bool MouseButtonPending() { return mouseButtonPending; }
void NoteMouseButtonPress() { mouseButtonPending = true; }
void ClearMouseButtonPending() { mouseButtonPending = false; }
