// Form1 as a native Win32 window: the six controls of form::kControls as STATIC and EDIT controls
// on a fixed client area of 4320 x 1425 twips that carries the background picture, at the window's
// dpi. Top-most, at the primary screen's top-right corner, with no taskbar button.

#ifndef TOVREL_WINDOW_WIN32_FORM1_H_
#define TOVREL_WINDOW_WIN32_FORM1_H_

#include <windows.h>

#include <array>
#include <string>

#include "window/form.h"
#include "window/win32/dpi.h"

class Form1 {
 public:
  // Creates the hidden owner, Form1 and its controls at the system dpi (then at the window's own,
  // where that differs) and runs Form_Load. The window is not shown yet. `dpi` answers every dpi
  // question: this system's functions, or a test's table.
  explicit Form1(HINSTANCE instance, Dpi dpi = Dpi());
  ~Form1();
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Shows Form1 active with the focus in Text1 and runs the message loop until it is closed.
  // `showCommand` is the launcher's (wWinMain's); Form1 is never shown minimised or maximised.
  // Returns the program's exit status.
  int run(int showCommand);

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

  // The first show, and the way back from iconic.
  void showFlush(int showCommand);
  void showAgain();

  void createControls();
  // Sizes the window for `dpi` (keeping its top-left corner, or taking `suggested`'s) and lays out
  // the controls, their fonts, the background and the icons anew.
  void handleDpiChange(UINT dpi, const RECT* suggested);
  // Moves and sizes Form1 itself; a change of dpi that this causes waits until it has returned.
  void setFormPos(int x, int y, int width, int height, UINT flags);
  // Grows or shrinks Form1 by the difference between its client area and 4320 x 1425 twips at
  // m_dpi, where the frame Windows draws is not the one computed for m_dpi.
  void fitClientArea();
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
  [[nodiscard]] form::Point topRightCorner(int outerWidth) const;
  [[nodiscard]] RECT pixelRect(const form::Control& control) const;
  [[nodiscard]] HWND control(form::Index index) const { return m_controls[index]; }
  [[nodiscard]] bool isLabel(HWND hwnd) const;
  [[nodiscard]] int twipsToPixels(int twips) const { return form::toPixels(twips, m_dpi); }
  [[nodiscard]] int scale(int pixelsAt96) const;

  HINSTANCE m_instance = nullptr;
  Dpi m_dpiHelper;
  HWND m_owner = nullptr;  // hidden: keeps Form1 out of the taskbar with a normal caption
  HWND m_form = nullptr;
  std::array<HWND, form::kControlCount> m_controls{};
  HWND m_lastFocus = nullptr;    // the field that gets the focus back when Form1 is activated
  HHOOK m_minMaxHook = nullptr;  // refuses to minimise or maximise Form1
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

  bool m_settingFormPos = false;  // inside setFormPos()
  UINT m_pendingDpi = 0;          // a change of dpi that arrived there
};

#endif  // TOVREL_WINDOW_WIN32_FORM1_H_
