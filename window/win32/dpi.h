// The functions newer than Windows 7 SP1 that Form1 calls, looked up at run time so that the same
// Tovrel.exe starts on Windows 7 SP1 to 11, and what Form1 does where they are missing: the dpi
// functions of Windows 10 1607 and later, GetDpiForMonitor of Windows 8.1, and the desktop window
// manager's two calls, which place the frame the user sees. A static import of any of them would
// stop the program from loading on an older Windows ("The procedure entry point ... could not be
// located"), even behind a version check: they are only ever called through the pointers of
// DpiFunctions.

#ifndef TOVREL_WINDOW_WIN32_DPI_H_
#define TOVREL_WINDOW_WIN32_DPI_H_

#include <windows.h>

// systemProc()
//
// The function `name` of the system DLL `dll` ("shcore.dll"); null where the DLL or the function is
// missing. The DLL is loaded from the system folder only, never from beside the program.
[[nodiscard]] FARPROC systemProc(const wchar_t* dll, const char* name);

// The functions, each null where the system lacks it. Tests build tables of their own to take the
// older systems' paths.
struct DpiFunctions {
  // user32, Windows 10 1607 and later.
  UINT(WINAPI* getDpiForWindow)(HWND) = nullptr;
  UINT(WINAPI* getDpiForSystem)() = nullptr;
  BOOL(WINAPI* adjustWindowRectExForDpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
  int(WINAPI* getSystemMetricsForDpi)(int, UINT) = nullptr;
  // shcore, Windows 8.1 and later; looked up only where getDpiForWindow is missing.
  HRESULT(WINAPI* getDpiForMonitor)(HMONITOR, int, UINT*, UINT*) = nullptr;
  // dwmapi: Windows 7 has both, but they fail there while desktop composition is off.
  HRESULT(WINAPI* dwmGetWindowAttribute)(HWND, DWORD, void*, DWORD) = nullptr;
  HRESULT(WINAPI* dwmSetWindowAttribute)(HWND, DWORD, const void*, DWORD) = nullptr;
  // The screen's dots per inch where getDpiForSystem is missing; GetDeviceCaps(LOGPIXELSX) of the
  // screen when null.
  UINT (*screenDpi)() = nullptr;

  // lookUp()
  //
  // The functions as `find` (systemProc(), or a test's stand-in for an older system) finds them.
  // On Windows 10 1607 and later all but getDpiForMonitor are there; on 8.1 getDpiForMonitor and
  // the desktop window manager's; on 7 only the latter.
  [[nodiscard]] static DpiFunctions lookUp(FARPROC (*find)(const wchar_t* dll, const char* name));

  // This system's functions, looked up with systemProc() on the first call and kept for the run.
  [[nodiscard]] static const DpiFunctions& systemFunctions();
};

// Dpi values, dpi-dependent sizes and the frame the user sees, through the functions of a
// DpiFunctions table or their fallbacks. Where the Windows 10 functions are missing, Windows draws
// every window's frame and caption at the system dpi, which is what the fallbacks answer.
class Dpi {
 public:
  Dpi() : Dpi(DpiFunctions::systemFunctions()) {}
  explicit Dpi(const DpiFunctions& functions) : m_functions(functions) {}

  // The system dpi: that of the primary monitor when the user logged on. GetDpiForSystem, else
  // the screen's LOGPIXELSX.
  [[nodiscard]] UINT systemDpi() const;

  // The dpi at which `hwnd` lays itself out: GetDpiForWindow; else the effective dpi of its
  // monitor (GetDpiForMonitor, Windows 8.1); else the system dpi.
  [[nodiscard]] UINT windowDpi(HWND hwnd) const;

  // outerSize()
  //
  // The outer size of a window of `style` and `exStyle` (no menu) whose client area is `client`
  // at `dpi`: AdjustWindowRectExForDpi, else AdjustWindowRectEx (the frame at the system dpi).
  //   ({288, 95}, WS_CAPTION | WS_SYSMENU, 0, 96) -> {294, 120} with Wine's frame
  [[nodiscard]] SIZE outerSize(SIZE client, DWORD style, DWORD exStyle, UINT dpi) const;

  // A system metric (SM_CXSMICON ...) at `dpi`: GetSystemMetricsForDpi, else GetSystemMetrics
  // (at the system dpi).
  [[nodiscard]] int systemMetric(int index, UINT dpi) const;

  // The frame of the shown window `hwnd` that the user sees, in screen pixels; an empty rectangle
  // where the desktop window manager gives no answer (none before the first show, none on
  // Windows 7 without desktop composition).
  [[nodiscard]] RECT visibleFrame(HWND hwnd) const;

  // Hides the shown window `hwnd` from view while it stays shown and active, or shows it again
  // (Windows 8 and later). False where the system cannot: it then draws the window as usual.
  bool cloak(HWND hwnd, bool cloaked) const;

 private:
  DpiFunctions m_functions;
};

#endif  // TOVREL_WINDOW_WIN32_DPI_H_
