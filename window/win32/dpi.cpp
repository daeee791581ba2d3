#include "window/win32/dpi.h"

#include <dwmapi.h>

#include <string_view>
#include <type_traits>

namespace {

UINT deviceCapsDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

}  // namespace

FARPROC systemProc(const wchar_t* dll, const char* name) {
  // By its full path: LOAD_LIBRARY_SEARCH_SYSTEM32 needs an update that not every Windows 7 has.
  wchar_t path[MAX_PATH];
  const UINT length = GetSystemDirectoryW(path, MAX_PATH);
  const std::wstring_view file = dll;
  if (length == 0 || length + 1 + file.size() >= MAX_PATH) return nullptr;
  path[length] = L'\\';
  file.copy(path + length + 1, file.size());
  path[length + 1 + file.size()] = L'\0';
  HMODULE module = LoadLibraryW(path);  // kept for the run, as the looked-up functions are
  return module != nullptr ? GetProcAddress(module, name) : nullptr;
}

DpiFunctions DpiFunctions::lookUp(FARPROC (*find)(const wchar_t* dll, const char* name)) {
  const auto set = [find](auto& function, const wchar_t* dll, const char* name) {
    // Through void (*)(): the one function type that converts to any other without a warning.
    function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(
        reinterpret_cast<void (*)()>(find(dll, name)));
  };
  DpiFunctions functions;
  set(functions.getDpiForWindow, L"user32.dll", "GetDpiForWindow");
  set(functions.getDpiForSystem, L"user32.dll", "GetDpiForSystem");
  set(functions.adjustWindowRectExForDpi, L"user32.dll", "AdjustWindowRectExForDpi");
  set(functions.getSystemMetricsForDpi, L"user32.dll", "GetSystemMetricsForDpi");
  // Windows 8.1 has per-monitor dpi in shcore, Windows 7 has no shcore.
  if (functions.getDpiForWindow == nullptr)
    set(functions.getDpiForMonitor, L"shcore.dll", "GetDpiForMonitor");
  set(functions.dwmGetWindowAttribute, L"dwmapi.dll", "DwmGetWindowAttribute");
  set(functions.dwmSetWindowAttribute, L"dwmapi.dll", "DwmSetWindowAttribute");
  return functions;
}

const DpiFunctions& DpiFunctions::systemFunctions() {
  static const DpiFunctions functions = lookUp(systemProc);
  return functions;
}

UINT Dpi::systemDpi() const {
  if (m_functions.getDpiForSystem != nullptr) return m_functions.getDpiForSystem();
  return m_functions.screenDpi != nullptr ? m_functions.screenDpi() : deviceCapsDpi();
}

UINT Dpi::windowDpi(HWND hwnd) const {
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
  return systemDpi();
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

RECT Dpi::visibleFrame(HWND hwnd) const {
  RECT frame{};
  if (m_functions.dwmGetWindowAttribute == nullptr ||
      FAILED(m_functions.dwmGetWindowAttribute(hwnd, DWMWA_EXTENDED_FRAME_BOUNDS, &frame,
                                               sizeof(frame)))) {
    return RECT{};
  }
  return frame;
}

bool Dpi::cloak(HWND hwnd, bool cloaked) const {
  const BOOL value = cloaked ? TRUE : FALSE;
  return m_functions.dwmSetWindowAttribute != nullptr &&
         SUCCEEDED(m_functions.dwmSetWindowAttribute(hwnd, DWMWA_CLOAK, &value, sizeof(value)));
}
