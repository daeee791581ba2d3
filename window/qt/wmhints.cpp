#include "window/qt/wmhints.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMetaObject>
#include <QObject>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <QtGlobal>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <thread>
#include <vector>

#include "window/form.h"

#if defined(TOVREL_WITH_XCB) && QT_CONFIG(xcb)
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#define TOVREL_X11 1
#endif

namespace wmhints {
namespace {

// The shared placement rule, on Qt's rectangles.
QPoint topRightOrigin(const QRect& screen, int outerWidth) {
  const form::Point origin =
      form::topRightOrigin(screen.x(), screen.y(), screen.width(), outerWidth);
  return {origin.x, origin.y};
}

// The width of the window's frame on each side, in device pixels.
struct FrameExtents {
  int left = 0;
  int right = 0;
  int top = 0;
  int bottom = 0;
};

// What the platform says of the hidden window before its first map, in device pixels.
struct Surroundings {
  // The size of the screen, where the screen is the whole display and the server gives it.
  std::optional<QSize> screenSize;
  // The frame the window will get: none when no one says (not X11, or a window manager that
  // offers to tell and does not answer in time); zero on all sides when the window manager does
  // not offer to tell (or there is none).
  std::optional<FrameExtents> frame;
  // The window manager does not offer to tell the frame before the map.
  bool frameUntold = false;
};

bool isEmpty(const char* value) {
  return value == nullptr || *value == '\0';
}

#ifdef TOVREL_X11

// Longest wait for the window manager's answer to the frame-extents request. Openbox answers in
// about a millisecond; a window manager that offers the request and never answers costs this much
// of the start-up, once.
constexpr auto kFrameExtentsTimeout = std::chrono::milliseconds(150);
constexpr auto kFrameExtentsPoll = std::chrono::milliseconds(1);

xcb_connection_t* x11Connection() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

// The atoms this layer uses, interned together in one round trip on first use.
enum Atom {
  NetSupported,
  NetRequestFrameExtents,
  NetFrameExtents,
  NetWmState,
  NetWmStateSkipTaskbar,
  NetCurrentDesktop,
  NetWmDesktop
};
constexpr const char* kAtomNames[] = {
    "_NET_SUPPORTED", "_NET_REQUEST_FRAME_EXTENTS", "_NET_FRAME_EXTENTS",
    "_NET_WM_STATE",  "_NET_WM_STATE_SKIP_TASKBAR", "_NET_CURRENT_DESKTOP",
    "_NET_WM_DESKTOP"};

xcb_atom_t atom(xcb_connection_t* c, Atom which) {
  static const std::vector<xcb_atom_t> atoms = [c] {
    std::vector<xcb_intern_atom_cookie_t> cookies;
    for (const char* name : kAtomNames) {
      cookies.push_back(xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name));
    }
    std::vector<xcb_atom_t> interned;
    for (auto cookie : cookies) {
      xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
      interned.push_back(reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE});
      std::free(reply);
    }
    return interned;
  }();
  return atoms[which];
}

// The 32-bit items of a window property of the given type; empty if it is missing.
std::vector<uint32_t> readProperty32(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property,
                                     xcb_atom_t type) {
  std::vector<uint32_t> items;
  xcb_get_property_reply_t* reply =
      xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, type, 0, 4096), nullptr);
  if (reply && reply->format == 32 && reply->type == type) {
    const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(reply));
    items.assign(data, data + xcb_get_property_value_length(reply) / 4);
  }
  std::free(reply);
  return items;
}

xcb_window_t rootOf(xcb_connection_t* c, xcb_window_t window) {
  // Nearly every display has one X screen, whose root needs no question to the server.
  const xcb_setup_t* setup = xcb_get_setup(c);
  if (xcb_setup_roots_length(setup) == 1) return xcb_setup_roots_iterator(setup).data->root;
  xcb_get_geometry_reply_t* reply = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
  const xcb_window_t root = reply ? reply->root : xcb_window_t{XCB_WINDOW_NONE};
  std::free(reply);
  return root;
}

// The extents of a _NET_FRAME_EXTENTS value (left, right, top, bottom); none if absurd.
std::optional<FrameExtents> frameExtents(const std::vector<uint32_t>& values) {
  constexpr uint32_t kLargest = 4096;
  if (values.size() < 4 || std::any_of(values.begin(), values.begin() + 4,
                                       [](uint32_t value) { return value > kLargest; })) {
    return std::nullopt;
  }
  return FrameExtents{static_cast<int>(values[0]), static_cast<int>(values[1]),
                      static_cast<int>(values[2]), static_cast<int>(values[3])};
}

// The root window's size when `loneScreen` (the screen is the root window), and the frame the
// window manager gives the still unmapped `window`: asked with _NET_REQUEST_FRAME_EXTENTS where
// the window manager offers that request, and waited for kFrameExtentsTimeout at most. The
// answer comes as a property, not an event: Qt's own thread reads the connection's events, so
// the property is polled.
Surroundings askSurroundings(QWidget& window, bool loneScreen) {
  xcb_connection_t* c = x11Connection();
  if (c == nullptr) return {};
  const auto id = static_cast<xcb_window_t>(window.winId());
  const xcb_window_t root = rootOf(c, id);
  if (root == XCB_WINDOW_NONE) return {};
  const xcb_atom_t request = atom(c, NetRequestFrameExtents);

  Surroundings answer{std::nullopt, FrameExtents{}};
  // Both questions in one round trip.
  const xcb_get_geometry_cookie_t size = xcb_get_geometry(c, root);
  const auto offered = readProperty32(c, root, atom(c, NetSupported), XCB_ATOM_ATOM);
  xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(c, size, nullptr);
  if (geometry && loneScreen) answer.screenSize = QSize(geometry->width, geometry->height);
  std::free(geometry);
  // Without the request the window manager places the frame by the client's corner itself
  // (placeNative()), and without a window manager the client is the frame.
  answer.frameUntold = request == XCB_ATOM_NONE ||
                       std::find(offered.begin(), offered.end(), request) == offered.end();
  if (answer.frameUntold) return answer;

  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = id;
  message.type = request;
  xcb_send_event(c, 0, root,
                 XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                 reinterpret_cast<const char*>(&message));
  xcb_flush(c);
  const auto deadline = std::chrono::steady_clock::now() + kFrameExtentsTimeout;
  for (;;) {
    const auto values = readProperty32(c, id, atom(c, NetFrameExtents), XCB_ATOM_CARDINAL);
    if (!values.empty() || std::chrono::steady_clock::now() >= deadline) {
      answer.frame = frameExtents(values);  // an absurd answer counts as none
      return answer;
    }
    std::this_thread::sleep_for(kFrameExtentsPoll);
  }
}

// The window manager puts the frame's top-right corner, at the first map, where the client's
// top-right corner is (ICCCM's north-east gravity in WM_NORMAL_HINTS), whatever the frame's size:
// flush with a corner that the client is flush with. Qt writes a gravity of its own into the hints
// as it maps the window, so this one is written right after the map request, inside a grab of the
// server taken before it: the window manager can read the hints only after both. The grab lasts
// the map's few requests, and never past the show().
class NorthEastGravity final : public QObject {
 public:
  NorthEastGravity(QWidget& window, xcb_connection_t* c)
      : QObject(&window), m_window(window), m_c(c) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != &m_window) return false;
    if (event->type() == QEvent::Show && !m_grabbed) {
      // Qt's map request follows this event, then QEvent::ShowToParent.
      xcb_grab_server(m_c);
      m_grabbed = true;
      QMetaObject::invokeMethod(
          this, [this] { done(); }, Qt::QueuedConnection);
    } else if (event->type() == QEvent::ShowToParent && m_grabbed) {
      setGravity();
      done();
    }
    return false;
  }

 private:
  void setGravity() {
    constexpr size_t kGravity = 17;              // the last of WM_SIZE_HINTS's 18 items
    constexpr uint32_t kGravityGiven = 1U << 9;  // PWinGravity in its flags, the first item
    const auto id = static_cast<xcb_window_t>(m_window.winId());
    auto hints = readProperty32(m_c, id, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS);
    hints.resize(std::max(hints.size(), kGravity + 1), 0);
    hints[0] |= kGravityGiven;
    hints[kGravity] = XCB_GRAVITY_NORTH_EAST;
    xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NORMAL_HINTS,
                        XCB_ATOM_WM_SIZE_HINTS, 32, static_cast<uint32_t>(hints.size()),
                        hints.data());
  }

  void done() {
    if (!m_grabbed) return;
    m_grabbed = false;
    xcb_ungrab_server(m_c);
    xcb_flush(m_c);
    m_window.removeEventFilter(this);
    deleteLater();
  }

  QWidget& m_window;
  xcb_connection_t* m_c;
  bool m_grabbed = false;
};

// Puts the hidden `window`'s native window at `device`, its client area's position in device
// pixels, which a logical position reaches only at a scale of 1; Qt's geometry is handed over
// first, so that show() changes nothing. Where the window manager does not say what frame it
// gives (`frameUntold`), it is asked to put the frame's top-right corner at the client's.
void placeNative(QWidget& window, QPoint device, bool frameUntold) {
  xcb_connection_t* c = x11Connection();
  if (c == nullptr) return;
  window.windowHandle()->setGeometry(window.geometry());
  const uint32_t position[] = {static_cast<uint32_t>(device.x()),
                               static_cast<uint32_t>(device.y())};
  xcb_configure_window(c, static_cast<xcb_window_t>(window.winId()),
                       XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, position);
  xcb_flush(c);
  if (frameUntold) window.installEventFilter(new NorthEastGravity(window, c));
}

// Whether `window` lives on another desktop than the one shown, on a window manager that says
// both. Such a window is hidden with its desktop, and some window managers mark it iconic then.
bool onAnotherDesktop(xcb_connection_t* c, xcb_window_t window) {
  constexpr uint32_t kAllDesktops = 0xFFFFFFFF;
  const auto shown =
      readProperty32(c, rootOf(c, window), atom(c, NetCurrentDesktop), XCB_ATOM_CARDINAL);
  const auto own = readProperty32(c, window, atom(c, NetWmDesktop), XCB_ATOM_CARDINAL);
  return !shown.empty() && !own.empty() && own[0] != kAllDesktops && own[0] != shown[0];
}

#else

Surroundings askSurroundings(QWidget&, bool) {
  return {};
}
void placeNative(QWidget&, QPoint, bool) {}

#endif  // TOVREL_X11

// Undoes every minimise of the window it watches (see refuseMinimise()).
class MinimiseRefusal final : public QObject {
 public:
  explicit MinimiseRefusal(QWidget& window) : QObject(&window), m_window(window) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &m_window && event->type() == QEvent::WindowStateChange &&
        m_window.isMinimized() && !hiddenWithItsDesktop()) {
      // After the change has been handled: setting the state from inside it would nest a second.
      QMetaObject::invokeMethod(
          this, [this] { restore(); }, Qt::QueuedConnection);
    }
    return false;
  }

 private:
  bool hiddenWithItsDesktop() const {
#ifdef TOVREL_X11
    if (xcb_connection_t* c = x11Connection())
      return onAnotherDesktop(c, static_cast<xcb_window_t>(m_window.winId()));
#endif
    return false;
  }

  void restore() {
    if (!m_window.isMinimized()) return;
    // Leaving the minimised state maps the window again, which asks the window manager to show it
    // as it was (ICCCM's way back from the iconic state): its frame stays where it was, and the
    // above state, which the window manager keeps through a minimise, keeps it on top.
    m_window.setWindowState(m_window.windowState() & ~Qt::WindowMinimized);
    // The focus comes back too. A window is nearly always minimised by acting on it (its button,
    // its window menu, a shortcut while it is active), so it had the focus: the refused minimise
    // then leaves everything as it was, and the next key goes to Text1 again. Some window managers
    // focus a window mapped back from the iconic state by themselves, others do not; asking makes
    // all of them alike. The request waits for the map.
    if (QWindow* handle = m_window.windowHandle()) handle->requestActivate();
  }

  QWidget& m_window;
};

// Window positions convert between device and logical pixels around the screen's origin, which
// is the same in both (as Qt converts them).
int toLogical(int device, int origin, qreal scale) {
  return origin + qRound((device - origin) / scale);
}

}  // namespace

bool prefersXcb(const char* sessionType, const char* waylandDisplay, const char* qpaPlatform,
                const char* display) {
  const bool wayland = (sessionType != nullptr && std::strcmp(sessionType, "wayland") == 0) ||
                       !isEmpty(waylandDisplay);
  return wayland && isEmpty(qpaPlatform) && !isEmpty(display);
}

void chooseXcbInWaylandSession() {
  if (prefersXcb(std::getenv("XDG_SESSION_TYPE"), std::getenv("WAYLAND_DISPLAY"),
                 std::getenv("QT_QPA_PLATFORM"), std::getenv("DISPLAY"))) {
    // A list: Qt takes the first platform that starts.
    qputenv("QT_QPA_PLATFORM", "xcb;wayland");
  }
}

void keepAbove(QWidget& window) {
  window.setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

void skipTaskbar(QWidget& window) {
#ifdef TOVREL_X11
  xcb_connection_t* c = x11Connection();
  if (c == nullptr) return;
  const auto id = static_cast<xcb_window_t>(window.winId());
  const xcb_atom_t state = atom(c, NetWmState);
  const xcb_atom_t skip = atom(c, NetWmStateSkipTaskbar);
  if (state == XCB_ATOM_NONE || skip == XCB_ATOM_NONE) return;
  // Qt merges its own states (above) into what the unmapped window already holds when it is shown.
  auto states = readProperty32(c, id, state, XCB_ATOM_ATOM);
  if (std::find(states.begin(), states.end(), skip) != states.end()) return;
  states.push_back(skip);
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32,
                      static_cast<uint32_t>(states.size()), states.data());
  xcb_flush(c);
#else
  Q_UNUSED(window);
#endif
}

void keepExactSize(QWidget& window) {
  // Qt scales the base size exactly as it scales the minimum and maximum sizes.
  window.setBaseSize(window.minimumSize());
}

void refuseMinimise(QWidget& window) {
  window.installEventFilter(new MinimiseRefusal(window));
}

void placeTopRight(QWidget& window) {
  // A Wayland compositor places every window itself and lets no client choose its position.
  if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) return;
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  window.winId();  // the frame is asked for, and the position set, on the native window
  const Surroundings around = askSurroundings(window, screen->virtualSiblings().size() == 1);
  const QRect logicalScreen = screen->geometry();
  if (!around.frame) {
    // The frame's top-left corner goes where the client's would go: its title bar stays on the
    // screen, whatever the frame's size.
    window.move(topRightOrigin(logicalScreen, window.width()));
    return;
  }

  // Qt 6 keeps a screen's origin in device pixels and scales only its size, rounded to logical
  // pixels: at a fractional scale the size scaled back can miss the screen's edge by a pixel
  // (1280 px at 1.33 are 962 logical pixels, which make 1279). The root window's size is exact.
  const qreal scale = window.devicePixelRatioF();
  const QRect deviceScreen(
      logicalScreen.topLeft(),
      around.screenSize.value_or((QSizeF(logicalScreen.size()) * scale).toSize()));
  const QSize deviceClient = (QSizeF(window.size()) * scale).toSize();
  const FrameExtents& frame = *around.frame;
  const QPoint deviceClientOrigin =
      topRightOrigin(deviceScreen, frame.left + deviceClient.width() + frame.right) +
      QPoint(frame.left, frame.top);
  // The client area's position: the window manager keeps the client where it is and puts the
  // frame around it.
  window.setGeometry(QRect(QPoint(toLogical(deviceClientOrigin.x(), deviceScreen.x(), scale),
                                  toLogical(deviceClientOrigin.y(), deviceScreen.y(), scale)),
                           window.size()));
  // At a scale above 1 a logical position reaches only every scale-th device pixel; a frame of
  // odd width needs the one between.
  placeNative(window, deviceClientOrigin, around.frameUntold);
}

}  // namespace wmhints
