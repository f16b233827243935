#include "platform/input.h"

#include "platform/waylandbuttons.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#endif

namespace {

TInputSource inputSource;

#if QT_CONFIG(xcb)
// On X11 the server answers with the pointer's and modifiers' state as it is
// now; Qt's own state only changes once an event has been handled.
bool QueryX11(TInputState& state) {
  const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
  if (!connection) return false;
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  if (!screen) return false;
  const std::unique_ptr<xcb_query_pointer_reply_t, decltype(&std::free)> reply(
      xcb_query_pointer_reply(connection, xcb_query_pointer(connection, screen->root), nullptr), &std::free);
  if (!reply) return false;
  const std::uint16_t mask = reply->mask;
  state.Shift = mask & XCB_KEY_BUT_MASK_SHIFT;
  state.Ctrl = mask & XCB_KEY_BUT_MASK_CONTROL;
  state.LeftButton = mask & XCB_KEY_BUT_MASK_BUTTON_1;
  state.AnyButton = mask & (XCB_KEY_BUT_MASK_BUTTON_1 | XCB_KEY_BUT_MASK_BUTTON_2 | XCB_KEY_BUT_MASK_BUTTON_3);
  return true;
}
#endif

TInputState DesktopState() {
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return {};
  TInputState state;
#if QT_CONFIG(xcb)
  if (QueryX11(state)) return state;
#endif
  // Elsewhere the modifiers are queried live. The buttons come from the
  // compositor on Wayland; else they are as the last handled event left them:
  // an animation sees a press at its first frame after the press's event.
  const Qt::KeyboardModifiers modifiers = QGuiApplication::queryKeyboardModifiers();
  state.Shift = modifiers.testFlag(Qt::ShiftModifier);
  state.Ctrl = modifiers.testFlag(Qt::ControlModifier);
  if (QueryWaylandButtons(state)) return state;
  const Qt::MouseButtons buttons = QGuiApplication::mouseButtons();
  state.LeftButton = buttons.testFlag(Qt::LeftButton);
  state.AnyButton = buttons & (Qt::LeftButton | Qt::MiddleButton | Qt::RightButton);
  return state;
}

TInputState CurrentState() { return inputSource ? inputSource() : DesktopState(); }

}  // namespace

void SetInputSource(TInputSource source) { inputSource = std::move(source); }

bool ShiftIsDown() { return CurrentState().Shift; }
bool CtrlIsDown() { return CurrentState().Ctrl; }
bool LeftButtonIsDown() { return CurrentState().LeftButton; }
bool MouseButtonPending() { return CurrentState().AnyButton; }
