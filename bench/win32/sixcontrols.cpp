// sixcontrols: the start-up benchmark's yardstick for Tovrel.exe. A plain Win32 window of Form1's
// style and client size at 96 dpi with the same six standard controls at the same places (from the
// shared description), three STATIC and three EDIT, and nothing else: no font, no picture, no key
// handling, no placement.

#include <windows.h>

#include <string>

#include "window/form.h"

namespace {

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

constexpr DWORD kEdit = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;

int px(int twips) {
  return form::toPixels(twips, form::kBaseDpi);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = L"SixControls";
  RegisterClassW(&windowClass);

  constexpr DWORD style = WS_CAPTION | WS_SYSMENU;
  RECT outer{0, 0, px(form::kClientWidthTwips), px(form::kClientHeightTwips)};
  AdjustWindowRectEx(&outer, style, FALSE, 0);
  HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"sixcontrols", style, CW_USEDEFAULT,
                                CW_USEDEFAULT, outer.right - outer.left, outer.bottom - outer.top,
                                nullptr, nullptr, instance, nullptr);
  for (const form::Control& c : form::kControls) {
    const bool field = c.kind == form::Kind::Field;
    const std::wstring caption(c.caption.begin(), c.caption.end());
    const DWORD style = field ? kEdit | (c.readOnly ? ES_READONLY : 0) : SS_LEFT;
    CreateWindowExW(0, field ? L"EDIT" : L"STATIC", caption.c_str(), WS_CHILD | WS_VISIBLE | style,
                    px(c.twips.left), px(c.twips.top), px(c.twips.width), px(c.twips.height),
                    window, nullptr, instance, nullptr);
  }
  ShowWindow(window, show);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageW(window, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return 0;
}
