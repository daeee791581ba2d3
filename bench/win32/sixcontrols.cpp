// sixcontrols: the start-up benchmark's yardstick for Tovrel.exe. A plain Win32 window of Form1's
// style and client size (288 x 95 at 96 dpi) with the same six standard controls, three STATIC
// and three EDIT, and nothing else: no font, no picture, no key handling, no placement.

#include <windows.h>

namespace {

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

struct Control {
  const wchar_t* className;
  const wchar_t* text;
  DWORD style;
  int x, y, width, height;
};

constexpr DWORD kEdit = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr Control kControls[] = {
    {L"STATIC", L"signedHEX", SS_LEFT, 8, 0, 73, 17},
    {L"EDIT", L"", kEdit, 8, 16, 129, 22},
    {L"STATIC", L"unsignedHEX", SS_LEFT, 152, 0, 105, 17},
    {L"EDIT", L"", kEdit | ES_READONLY, 152, 16, 129, 22},
    {L"STATIC", L"bitdata", SS_LEFT, 8, 48, 105, 17},
    {L"EDIT", L"", kEdit | ES_READONLY, 8, 64, 273, 22},
};

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
  RECT outer{0, 0, 288, 95};
  AdjustWindowRectEx(&outer, style, FALSE, 0);
  HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"sixcontrols", style, CW_USEDEFAULT,
                                CW_USEDEFAULT, outer.right - outer.left, outer.bottom - outer.top,
                                nullptr, nullptr, instance, nullptr);
  for (const Control& c : kControls) {
    CreateWindowExW(0, c.className, c.text, WS_CHILD | WS_VISIBLE | c.style, c.x, c.y, c.width,
                    c.height, window, nullptr, instance, nullptr);
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
