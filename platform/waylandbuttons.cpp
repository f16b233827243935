#include "platform/waylandbuttons.h"

#include <QAbstractEventDispatcher>
#include <QGuiApplication>
#include <qpa/qplatformnativeinterface.h>
#include <wayland-client.h>

#include <linux/input-event-codes.h>
#include <poll.h>

#include <cstring>
#include <memory>

#include "platform/input.h"

namespace {

enum : unsigned { Left = 1, Right = 2, Middle = 4 };

class TWaylandButtons {
 public:
  explicit TWaylandButtons(wl_display* display) : display_(display), queue_(wl_display_create_queue(display)) {
    auto* wrapped = static_cast<wl_display*>(wl_proxy_create_wrapper(display_));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapped), queue_);
    registry_ = wl_display_get_registry(wrapped);
    wl_proxy_wrapper_destroy(wrapped);
    wl_registry_add_listener(registry_, &RegistryListener, this);
    // The globals, then the seat's capabilities.
    wl_display_roundtrip_queue(display_, queue_);
    if (seat_) wl_display_roundtrip_queue(display_, queue_);
    // Events for our pointer that nobody asks for would pile up in the
    // queue: it is emptied whenever the window thread goes idle.
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
      drain_ = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock,
                                [this] { wl_display_dispatch_queue_pending(display_, queue_); });
  }

  ~TWaylandButtons() {
    QObject::disconnect(drain_);
    if (pointer_) wl_pointer_release(pointer_);
    if (seat_) wl_seat_destroy(seat_);
    wl_registry_destroy(registry_);
    wl_event_queue_destroy(queue_);
  }

  TWaylandButtons(const TWaylandButtons&) = delete;
  TWaylandButtons& operator=(const TWaylandButtons&) = delete;

  bool HasPointer() const { return pointer_ != nullptr; }

  // Reads what the compositor has sent so far, without waiting, and tells
  // the buttons held now, and any pressed since the last call.
  unsigned Read() {
    pressedSince_ = 0;
    while (wl_display_prepare_read_queue(display_, queue_) != 0) wl_display_dispatch_queue_pending(display_, queue_);
    wl_display_flush(display_);
    pollfd descriptor{wl_display_get_fd(display_), POLLIN, 0};
    if (poll(&descriptor, 1, 0) > 0 && (descriptor.revents & POLLIN))
      wl_display_read_events(display_);
    else
      wl_display_cancel_read(display_);
    wl_display_dispatch_queue_pending(display_, queue_);
    return held_ | pressedSince_;
  }

  unsigned Held() const { return held_; }

 private:
  static void Global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                     std::uint32_t version) {
    auto* self = static_cast<TWaylandButtons*>(data);
    if (self->seat_ || std::strcmp(interface, wl_seat_interface.name) != 0 || version < 3) return;
    self->seat_ = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 3));
    wl_seat_add_listener(self->seat_, &SeatListener, self);
  }
  static void GlobalRemove(void*, wl_registry*, std::uint32_t) {}

  static void Capabilities(void* data, wl_seat* seat, std::uint32_t capabilities) {
    auto* self = static_cast<TWaylandButtons*>(data);
    const bool pointer = capabilities & WL_SEAT_CAPABILITY_POINTER;
    if (pointer && !self->pointer_) {
      self->pointer_ = wl_seat_get_pointer(seat);
      wl_pointer_add_listener(self->pointer_, &PointerListener, self);
    } else if (!pointer && self->pointer_) {
      wl_pointer_release(self->pointer_);
      self->pointer_ = nullptr;
      self->held_ = 0;
    }
  }
  static void SeatName(void*, wl_seat*, const char*) {}

  // Buttons held when the pointer came in are not known: none.
  static void Enter(void* data, wl_pointer*, std::uint32_t, wl_surface*, wl_fixed_t, wl_fixed_t) {
    static_cast<TWaylandButtons*>(data)->held_ = 0;
  }
  static void Leave(void*, wl_pointer*, std::uint32_t, wl_surface*) {}
  static void Motion(void*, wl_pointer*, std::uint32_t, wl_fixed_t, wl_fixed_t) {}
  static void Button(void* data, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t button,
                     std::uint32_t state) {
    auto* self = static_cast<TWaylandButtons*>(data);
    const unsigned bit = button == BTN_LEFT ? Left : button == BTN_RIGHT ? Right : button == BTN_MIDDLE ? Middle : 0;
    if (state == WL_POINTER_BUTTON_STATE_PRESSED) {
      self->held_ |= bit;
      self->pressedSince_ |= bit;
    } else {
      self->held_ &= ~bit;
    }
  }
  static void Axis(void*, wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t) {}

  static constexpr wl_registry_listener RegistryListener{.global = Global, .global_remove = GlobalRemove};
  static constexpr wl_seat_listener SeatListener{.capabilities = Capabilities, .name = SeatName};
  // Version 3 of the pointer: the events up to axis.
  static constexpr wl_pointer_listener PointerListener{
      .enter = Enter, .leave = Leave, .motion = Motion, .button = Button, .axis = Axis};

  wl_display* display_;
  wl_event_queue* queue_;
  wl_registry* registry_ = nullptr;
  wl_seat* seat_ = nullptr;
  wl_pointer* pointer_ = nullptr;
  unsigned held_ = 0;
  unsigned pressedSince_ = 0;
  QMetaObject::Connection drain_;
};

// Made on the first question and gone before the application closes its
// connection to the compositor.
std::unique_ptr<TWaylandButtons> buttons;
bool asked = false;

TWaylandButtons* Buttons() {
  if (asked) return buttons.get();
  asked = true;
  if (QGuiApplication::platformName() != QLatin1String("wayland")) return nullptr;
  QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
  auto* display = native ? static_cast<wl_display*>(native->nativeResourceForIntegration("wl_display")) : nullptr;
  if (!display) return nullptr;
  buttons = std::make_unique<TWaylandButtons>(display);
  if (!buttons->HasPointer()) buttons.reset();
  qAddPostRoutine([] { buttons.reset(); });
  return buttons.get();
}

}  // namespace

bool QueryWaylandButtons(TInputState& state) {
  TWaylandButtons* buttons = Buttons();
  if (!buttons) return false;
  const unsigned seen = buttons->Read();
  state.LeftButton = buttons->Held() & Left;
  state.AnyButton = seen & (Left | Right | Middle);
  return true;
}
