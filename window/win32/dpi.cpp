#include "window/win32/dpi.h"

namespace {

// A function of `module` by name as a pointer of type `Function`, null where `module` is null or
// lacks it. Through void (*)(): the one function type that converts to any other without a warning.
template <class Function>
void lookUp(HMODULE module, const char* name, Function& function) {
  const FARPROC found = module != nullptr ? GetProcAddress(module, name) : nullptr;
  function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

DpiFunctions lookUpSystemFunctions() {
  DpiFunctions functions;
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  lookUp(user32, "GetDpiForWindow", functions.getDpiForWindow);
  lookUp(user32, "GetDpiForSystem", functions.getDpiForSystem);
  lookUp(user32, "AdjustWindowRectExForDpi", functions.adjustWindowRectExForDpi);
  lookUp(user32, "GetSystemMetricsForDpi", functions.getSystemMetricsForDpi);
  if (functions.getDpiForWindow == nullptr) {
    // Windows 8.1 has per-monitor dpi in shcore, Windows 7 has no shcore. From System32 only: a
    // DLL of that name beside the program must not be loaded instead.
    lookUp(LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32), "GetDpiForMonitor",
           functions.getDpiForMonitor);
  }
  return functions;
}

UINT deviceCapsDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

}  // namespace

const DpiFunctions& DpiFunctions::systemFunctions() {
  static const DpiFunctions functions = lookUpSystemFunctions();
  return functions;
}

UINT Dpi::system() const {
  if (m_functions.getDpiForSystem != nullptr) return m_functions.getDpiForSystem();
  return m_functions.screenDpi != nullptr ? m_functions.screenDpi() : deviceCapsDpi();
}

UINT Dpi::window(HWND hwnd) const {
  if (m_functions.getDpiForWindow != nullptr) {
    if (const UINT dpi = m_functions.getDpiForWindow(hwnd); dpi != 0) return dpi;
  }
  if (m_functions.getDpiForMonitor != nullptr) {
    UINT x = 0;
    UINT y = 0;
    constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
    if (SUCCEEDED(m_functions.getDpiForMonitor(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST),
                                               kEffectiveDpi, &x, &y)) &&
        x != 0) {
      return x;
    }
  }
  return system();
}

SIZE Dpi::outerSize(SIZE client, DWORD style, DWORD exStyle, UINT dpi) const {
  RECT outer{0, 0, client.cx, client.cy};
  if (m_functions.adjustWindowRectExForDpi != nullptr) {
    m_functions.adjustWindowRectExForDpi(&outer, style, FALSE, exStyle, dpi);
  } else {
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);
  }
  return SIZE{outer.right - outer.left, outer.bottom - outer.top};
}

int Dpi::systemMetric(int index, UINT dpi) const {
  if (m_functions.getSystemMetricsForDpi != nullptr) {
    return m_functions.getSystemMetricsForDpi(index, dpi);
  }
  return GetSystemMetrics(index);
}
