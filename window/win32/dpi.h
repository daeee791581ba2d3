// The dpi functions of Windows 10 1607 and later, looked up at run time so that the same Tovrel.exe
// starts on Windows 7 SP1 to 11, and what Form1 does where they are missing. A static import of any
// of them would stop the program from loading on an older Windows ("The procedure entry point ...
// could not be located"), even behind a version check: they are only ever called through the
// pointers of DpiFunctions.

#ifndef TOVREL_WINDOW_WIN32_DPI_H_
#define TOVREL_WINDOW_WIN32_DPI_H_

#include <windows.h>

// systemFunction()
//
// The function `name` of the system DLL `dll` ("shcore.dll"), as a pointer of type `Function`;
// null where the DLL or the function is missing. The DLL is loaded from the system folder only,
// never from beside the program. Every function newer than Windows 7 SP1 is reached this way.
[[nodiscard]] FARPROC systemProc(const wchar_t* dll, const char* name);
template <class Function>
[[nodiscard]] Function systemFunction(const wchar_t* dll, const char* name) {
  // Through void (*)(): the one function type that converts to any other without a warning.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(systemProc(dll, name)));
}

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
  // The screen's dots per inch where getDpiForSystem is missing; GetDeviceCaps(LOGPIXELSX) of the
  // screen when null.
  UINT (*screenDpi)() = nullptr;

  // systemFunctions()
  //
  // This system's functions, looked up with GetProcAddress on the first call and kept for the
  // run. On Windows 10 1607 and later all are there; on 8.1 only getDpiForMonitor; on 7 none.
  [[nodiscard]] static const DpiFunctions& systemFunctions();
};

// Dpi values and dpi-dependent sizes, through the functions of a DpiFunctions table or their
// fallbacks. Where the Windows 10 functions are missing, Windows draws every window's frame and
// caption at the system dpi, which is what the fallbacks answer.
class Dpi {
 public:
  Dpi() : Dpi(DpiFunctions::systemFunctions()) {}
  explicit Dpi(const DpiFunctions& functions) : m_functions(functions) {}

  // The system dpi: that of the primary monitor when the user logged on. GetDpiForSystem, else
  // the screen's LOGPIXELSX.
  [[nodiscard]] UINT system() const;

  // The dpi at which `hwnd` lays itself out: GetDpiForWindow; else that of its monitor
  // (GetDpiForMonitor, Windows 8.1); else the system dpi.
  [[nodiscard]] UINT window(HWND hwnd) const;

  // outerSize()
  //
  // The outer size of a window of `style` and `exStyle` (no menu) whose client area is `client`
  // at `dpi`: AdjustWindowRectExForDpi, else AdjustWindowRectEx (the frame at the system dpi).
  //   ({288, 95}, WS_CAPTION | WS_SYSMENU, 0, 96) -> {294, 120} with Wine's frame
  [[nodiscard]] SIZE outerSize(SIZE client, DWORD style, DWORD exStyle, UINT dpi) const;

  // A system metric (SM_CXSMICON ...) at `dpi`: GetSystemMetricsForDpi, else GetSystemMetrics
  // (at the system dpi).
  [[nodiscard]] int systemMetric(int index, UINT dpi) const;

 private:
  DpiFunctions m_functions;
};

#endif  // TOVREL_WINDOW_WIN32_DPI_H_
