// The thin layer between Form1 and the window manager: what the toolkit does not do by itself to
// keep the window on top, out of the taskbar and flush with the screen's top-right corner. Every
// function is a no-op where it does not apply and never fails the program.

#ifndef TOVREL_WINDOW_QT_WMHINTS_H_
#define TOVREL_WINDOW_QT_WMHINTS_H_

class QWidget;

namespace wmhints {

// chooseXcbInWaylandSession()
//
// Call before the QApplication exists. In a Wayland session no client may keep itself on top or
// choose its own position, so when the user has chosen no Qt platform and an X display is
// there, the program runs on it (XWayland); if that display cannot be opened, Qt falls back to
// Wayland. Anywhere else it does nothing.
void chooseXcbInWaylandSession();

// prefersXcb()
//
// The decision of chooseXcbInWaylandSession() on the values of XDG_SESSION_TYPE, WAYLAND_DISPLAY,
// QT_QPA_PLATFORM and DISPLAY (empty when unset): true for a Wayland session (either of the first
// two says so) with no platform chosen and an X display named.
//   ("wayland", "", "", ":0") -> true      ("wayland", "", "wayland", ":0") -> false
//   ("x11", "", "", ":0")     -> false     ("", "wayland-0", "", "")        -> false
[[nodiscard]] bool prefersXcb(const char* sessionType, const char* waylandDisplay,
                              const char* qpaPlatform, const char* display);

// keepAbove()
//
// Makes `window` a top-most window. Call before its native window exists (before winId() or
// show()): the stay-on-top flag becomes the window manager's "above" state when it is mapped.
void keepAbove(QWidget& window);

// skipTaskbar()
//
// Asks the window manager to give `window` no taskbar entry. Creates the native window if it does
// not exist yet; call before the first show(). X11 only.
void skipTaskbar(QWidget& window);

// keepExactSize()
//
// Lets the window manager give the fixed-size `window` exactly its size at every scale factor.
// Under a scale factor Qt publishes a resize increment of one logical pixel in device pixels (2
// at 1.5) on a base size scaled the same way, and a window manager that keeps to the increment
// rounds a size that is not base + a multiple of it (143 px high at 1.5 became 142 or 144). With
// the fixed size as the base size, the size is the base plus no increment at every factor.
void keepExactSize(QWidget& window);

// refuseMinimise()
//
// The window has no minimise and, with no taskbar entry, nothing to bring it back from one: when a
// window manager iconifies it all the same (a minimise button drawn regardless, a window menu, a
// shortcut, "show desktop"), it is mapped again at once, in the same place and still top-most, and
// asks for the focus back. A window that the window manager hides because it lives on another
// desktop than the one shown stays hidden. Call once, before the first show().
void refuseMinimise(QWidget& window);

// placeTopRight()
//
// Moves the hidden `window`, at its final size, so that when it is first mapped its outer frame
// (decorations included) has its right edge on the primary screen's right edge and its top edge
// on the screen's top edge. On X11 it asks the window manager for the frame's size before the
// map, waiting a few milliseconds at most, where the window manager offers that request; where it
// does not (KWin), the window manager is asked to put the frame's top-right corner where the
// client's is (north-east gravity). If no answer comes, the frame's top-left corner is placed at
// the client's width from the right edge, so that the title bar stays on the screen. Call once,
// before the first show(). On Wayland it does nothing: the compositor places every window.
void placeTopRight(QWidget& window);

}  // namespace wmhints

#endif  // TOVREL_WINDOW_QT_WMHINTS_H_
