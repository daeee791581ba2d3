// Form1 as a native Win32 window: the six controls of form::kControls as STATIC and EDIT controls
// on a fixed client area of 4320 x 1425 twips that carries the background picture, at the window's
// dpi. Top-most, at the primary screen's top-right corner, with no taskbar button.

#ifndef TOVREL_WINDOW_WIN32_FORM1_H_
#define TOVREL_WINDOW_WIN32_FORM1_H_

#include <windows.h>

#include <array>
#include <optional>
#include <string>

#include "window/form.h"
#include "window/win32/dpi.h"

class Form1 {
 public:
  // Creates the hidden owner, Form1 and its controls at the system dpi (then at the window's own,
  // where that differs) and runs Form_Load. The window is not shown yet. `system` answers every
  // question on dpi and on the frame: this system's functions, or a test's table.
  explicit Form1(HINSTANCE instance, Dpi system = Dpi());
  ~Form1();
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Shows Form1 for the first time, active, with the focus in Text1. `showCommand` is the
  // launcher's (wWinMain's); Form1 is never shown minimised or maximised.
  void show(int showCommand);

  // Runs the message loop until Form1 is closed. Returns the program's exit status.
  int run();

  // Form1's window, for the in-process test.
  [[nodiscard]] HWND hwnd() const { return m_form; }

 private:
  static LRESULT CALLBACK formProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK text1Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR id, DWORD_PTR self);
  static LRESULT CALLBACK outputProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR self);

  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handleText1Char(WPARAM wParam, LPARAM lParam);

  // The five handlers, named for the control and the event they serve.
  void Form_Load();
  void Text1_Change();
  void Text1_KeyPress(char16_t& code);
  void Text2_Click();
  void Text3_Click();

  // The way back from iconic or maximised.
  void showAgain();

  void createControls();
  // setFormPos()
  //
  // Every move and resize of Form1 itself (SetWindowPos's arguments). Returns the dpi of the
  // monitor this took Form1 onto, where that is not m_dpi, else 0: the caller applies it with
  // changeDpi() once the move is over, never inside it.
  [[nodiscard]] UINT setFormPos(int x, int y, int width, int height, UINT flags);
  // changeDpi()
  //
  // Form1 at `dpi` with its top-left corner at `origin`: its size, then its controls, their fonts,
  // the background and the icons. Where the new size takes Form1 onto a monitor of yet another dpi,
  // Form1 follows once more and no further, so that a window on the edge between two monitors
  // cannot flip between them for ever.
  void changeDpi(UINT dpi, POINT origin);
  // Form1's size at m_dpi, its top-left corner at `origin`; returns what setFormPos() returns.
  [[nodiscard]] UINT resizeForDpi(POINT origin);
  // Grows or shrinks Form1 by the difference between its client area and 4320 x 1425 twips at
  // m_dpi, where the frame Windows draws is not the one computed for m_dpi; returns what
  // setFormPos() returns.
  [[nodiscard]] UINT fitClientArea();
  // The controls' rectangles at m_dpi, then applyDpi() and applyIcons().
  void layOutControls();
  // The fonts, the labels' clipping and the background at m_dpi.
  void applyDpi();
  void applyFonts();
  void clipLabels();
  void applyBackground();
  // MAINICON at the window's small and large icon sizes at m_dpi, after a change of dpi.
  void applyIcons();
  [[nodiscard]] HICON loadIcon(int sizeMetric, UINT dpi) const;
  LRESULT labelColors(HDC dc, HWND label);

  [[nodiscard]] SIZE outerSize(UINT dpi) const;
  [[nodiscard]] POINT originAtTopRight(int outerWidth) const;
  [[nodiscard]] POINT topLeft() const;
  [[nodiscard]] RECT pixelRect(const form::Control& control) const;
  [[nodiscard]] HWND control(form::Index index) const { return m_controls[index]; }
  [[nodiscard]] bool isLabel(HWND hwnd) const;
  [[nodiscard]] int twipsToPixels(int twips) const { return form::toPixels(twips, m_dpi); }
  [[nodiscard]] int scale(int pixelsAt96) const;

  HINSTANCE m_instance = nullptr;
  Dpi m_system;
  HWND m_owner = nullptr;  // hidden: keeps Form1 out of the taskbar with a normal caption
  HWND m_form = nullptr;
  std::array<HWND, form::kControlCount> m_controls{};
  HWND m_lastFocus = nullptr;  // the field that gets the focus back when Form1 is activated
  HHOOK m_hook = nullptr;      // guardForm() on Form1's thread
  UINT m_dpi = form::kBaseDpi;
  std::wstring m_face;  // the first installed face of form::kFaces; empty if none is
  std::array<HFONT, form::kControlCount> m_fonts{};
  HBITMAP m_artwork = nullptr;     // the background picture as stored, 96 dpi
  HBITMAP m_background = nullptr;  // the client area's part of it at m_dpi
  HBRUSH m_backgroundBrush = nullptr;
  HICON m_classIconSmall = nullptr;  // at the system's dpi
  HICON m_classIconBig = nullptr;
  HICON m_iconSmall = nullptr;  // after a change of dpi
  HICON m_iconBig = nullptr;

  // Set while setFormPos() moves Form1: 0, or the dpi of a WM_DPICHANGED sent inside the move.
  std::optional<UINT> m_dpiOfOwnMove;
};

// visibleFrameOrigin()
//
// The top-left corner for a window whose rectangle is `window` that puts the frame the user sees,
// `visible`, flush with the top-right corner of `screen`. Windows 10 and 11 count borders into
// the window rectangle that they do not draw (about 7 px left, right and bottom at 96 dpi): the
// window then moves right and up by the undrawn borders on its right and top. `visible` counts
// only when it is sane: inside `window` on every side, and its undrawn borders together narrower
// and lower than the visible frame itself. Otherwise (the system gave no answer, an empty one, or
// one in other coordinates) the window rectangle itself is placed flush, as by
// form::topRightOrigin().
//   window 0,0-310,128, visible 7,0-303,121, screen 0,0-1280,800 -> (977, 0)
//   visible 0,0-0,0 (no answer) -> (970, 0)
[[nodiscard]] POINT visibleFrameOrigin(const RECT& window, const RECT& visible, const RECT& screen);

#endif  // TOVREL_WINDOW_WIN32_FORM1_H_
