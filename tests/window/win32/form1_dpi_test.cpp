// Form1 built inside this process, under Wine on a private X server: on the dpi functions of
// Windows 10 and on the fallbacks of Windows 8.1 and 7, at 96, 144 and 192 dpi; then moved through
// changes of dpi by synthetic WM_GETDPISCALEDSIZE and WM_DPICHANGED, as a drag onto another
// monitor sends them, and as a move of Form1's own that lands on another monitor would. Wine gives
// every monitor one dpi and draws every window rectangle whole, so the tables answer the dpi and
// the visible frame. Then what only real Windows does to the first show and to a minimise, the
// lookup of the system's functions, the placement by the visible frame and the editing shortcuts.

#include <windows.h>

#include <commctrl.h>
#include <dwmapi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "window/form.h"
#include "window/win32/dpi.h"
#include "window/win32/form1.h"
#include "window/win32/resource.h"

namespace {

UINT g_dpi = 96;        // what the tables' queries of a window's dpi answer
UINT g_systemDpi = 96;  // and of the system dpi, which stays what it was at the start

void startAt(UINT dpi) {
  g_dpi = g_systemDpi = dpi;
}

UINT WINAPI dpiForSystem() {
  return g_systemDpi;
}
UINT WINAPI dpiForWindow(HWND /*hwnd*/) {
  return g_dpi;
}
UINT screenDpi() {
  return g_systemDpi;
}
// Answers only the effective dpi (MDT_EFFECTIVE_DPI, 0), the one a window lays itself out at.
HRESULT WINAPI dpiForMonitor(HMONITOR monitor, int type, UINT* x, UINT* y) {
  if (monitor == nullptr || type != 0) return E_INVALIDARG;
  *x = *y = g_dpi;
  return S_OK;
}
UINT screenDpi96() {
  return 96;
}

// Windows 10 1607 and later: this system's functions, the dpi queries answering g_dpi and
// g_systemDpi.
DpiFunctions windows10() {
  DpiFunctions functions = DpiFunctions::systemFunctions();
  functions.getDpiForSystem = dpiForSystem;
  functions.getDpiForWindow = dpiForWindow;
  return functions;
}

// A desktop window manager that draws no borders of 7 pixels left, right and bottom, and records
// each cloaking asked for.
std::vector<BOOL> g_cloaks;
HRESULT WINAPI frameWithUndrawnBorders(HWND hwnd, DWORD attribute, void* value, DWORD size) {
  if (attribute != DWMWA_EXTENDED_FRAME_BOUNDS || size != sizeof(RECT)) return E_INVALIDARG;
  RECT window{};
  GetWindowRect(hwnd, &window);
  *static_cast<RECT*>(value) =
      RECT{window.left + 7, window.top, window.right - 7, window.bottom - 7};
  return S_OK;
}
HRESULT WINAPI recordCloak(HWND /*hwnd*/, DWORD attribute, const void* value, DWORD size) {
  if (attribute != DWMWA_CLOAK || size != sizeof(BOOL)) return E_INVALIDARG;
  g_cloaks.push_back(*static_cast<const BOOL*>(value));
  return S_OK;
}

// Windows 10 with the borders that its desktop window manager does not draw.
DpiFunctions windows10WithUndrawnBorders() {
  DpiFunctions functions = windows10();
  functions.dwmGetWindowAttribute = frameWithUndrawnBorders;
  functions.dwmSetWindowAttribute = recordCloak;
  return functions;
}

// Windows 7: none of them; the screen's LOGPIXELSX is the system dpi.
DpiFunctions windows7() {
  DpiFunctions functions;
  functions.screenDpi = screenDpi;
  return functions;
}

// Windows 8.1: only GetDpiForMonitor, at g_dpi; the system dpi stays 96, so Form1 starts at 96
// and moves to its monitor's dpi at once.
DpiFunctions windows81() {
  DpiFunctions functions;
  functions.getDpiForMonitor = dpiForMonitor;
  functions.screenDpi = screenDpi96;
  return functions;
}

int smallIconAtDpi(UINT dpi) {
  return DpiFunctions::systemFunctions().getSystemMetricsForDpi(SM_CXSMICON, dpi);
}
int smallIconAtSystemDpi(UINT /*dpi*/) {
  return GetSystemMetrics(SM_CXSMICON);
}

struct Table {
  const char* name;
  DpiFunctions (*functions)();
  bool frameAtSystemDpi;       // the frame predicted is the one Wine draws at every dpi
  int (*smallIcon)(UINT dpi);  // the small icon's size in pixels at a window dpi
};
const Table kTables[] = {{"Windows 10 functions", windows10, false, smallIconAtDpi},
                         {"Windows 8.1 fallbacks", windows81, true, smallIconAtSystemDpi},
                         {"Windows 7 fallbacks", windows7, true, smallIconAtSystemDpi}};

// The texts each control must show whole: a label its caption; Text1 eight of any hexadecimal
// digit, Text2 a minus and eight, Text3 32 of either bit.
std::vector<std::wstring> textsShownBy(std::size_t index) {
  const form::Control& control = form::kControls[index];
  if (control.kind == form::Kind::Label)
    return {std::wstring(control.caption.begin(), control.caption.end())};
  if (index == form::kText3) return {std::wstring(32, L'0'), std::wstring(32, L'1')};
  std::vector<std::wstring> texts;
  for (const wchar_t digit : std::wstring_view(L"0123456789ABCDEFabcdef")) {
    texts.push_back(index == form::kText2 ? L"-" + std::wstring(8, digit) : std::wstring(8, digit));
  }
  return texts;
}

// What a change of dpi must redo: the client area, each control's rectangle in it, the pixel
// height of each control's font and the fields' margins; and what follows from them, the widest
// text each control must show as its font draws it and the room it has there, and the small icon.
struct Geometry {
  SIZE client{};
  std::array<RECT, form::kControlCount> controls{};
  std::array<LONG, form::kControlCount> fontHeights{};
  std::array<DWORD, form::kControlCount> margins{};  // EM_GETMARGINS: right << 16 | left
  std::array<int, form::kControlCount> widestShown{};
  std::array<int, form::kControlCount> room{};
  int smallIcon = 0;

  bool operator==(const Geometry& other) const {
    return client.cx == other.client.cx && client.cy == other.client.cy &&
           std::equal(controls.begin(), controls.end(), other.controls.begin(),
                      [](const RECT& a, const RECT& b) { return EqualRect(&a, &b); }) &&
           fontHeights == other.fontHeights && margins == other.margins;
  }
};

std::ostream& operator<<(std::ostream& out, const Geometry& g) {
  out << "client " << g.client.cx << "x" << g.client.cy;
  for (std::size_t i = 0; i < form::kControlCount; ++i) {
    const RECT& r = g.controls[i];
    out << "; " << form::kControls[i].name << " " << r.left << "," << r.top << " " << r.right << ","
        << r.bottom << " font " << g.fontHeights[i] << " margins " << LOWORD(g.margins[i]) << ","
        << HIWORD(g.margins[i]) << " text " << g.widestShown[i] << " of " << g.room[i];
  }
  return out;
}

Geometry geometryOf(HWND form) {
  Geometry g;
  RECT client{};
  GetClientRect(form, &client);
  g.client = SIZE{client.right, client.bottom};
  HDC dc = GetDC(form);
  for (std::size_t i = 0; i < form::kControlCount; ++i) {
    HWND control = GetDlgItem(form, static_cast<int>(TOVREL_CONTROL_ID_BASE + i));
    GetWindowRect(control, &g.controls[i]);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&g.controls[i]), 2);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    LOGFONTW logFont{};
    GetObjectW(font, sizeof(logFont), &logFont);
    g.fontHeights[i] = -logFont.lfHeight;
    const HGDIOBJ previous = SelectObject(dc, font);
    for (const std::wstring& text : textsShownBy(i)) {
      SIZE size{};
      GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
      g.widestShown[i] = std::max(g.widestShown[i], static_cast<int>(size.cx));
    }
    SelectObject(dc, previous);
    GetClientRect(control, &client);
    g.room[i] = client.right;
    if (form::kControls[i].kind == form::Kind::Field) {
      g.margins[i] = static_cast<DWORD>(SendMessageW(control, EM_GETMARGINS, 0, 0));
      // Less the margins and the caret after the last character.
      g.room[i] -= LOWORD(g.margins[i]) + HIWORD(g.margins[i]) + 1;
    }
  }
  ReleaseDC(form, dc);
  auto icon = reinterpret_cast<HICON>(SendMessageW(form, WM_GETICON, ICON_SMALL, 0));
  if (icon == nullptr) icon = reinterpret_cast<HICON>(GetClassLongPtrW(form, GCLP_HICONSM));
  ICONINFO info{};
  if (GetIconInfo(icon, &info)) {
    BITMAP bitmap{};
    GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
    g.smallIcon = bitmap.bmWidth;
    for (HBITMAP b : {info.hbmColor, info.hbmMask}) {
      if (b != nullptr) DeleteObject(b);
    }
  }
  return g;
}

// The window at `dpi` as the twips give it: the client area, every control's rectangle and the
// font's height; the fields' margins of 2 pixels at 96 dpi scaled, each control's text whole, and
// the small icon at the size `table` gives for `dpi`.
void expectTwipsAt(const Geometry& g, const Table& table, int dpi, const std::string& what) {
  SCOPED_TRACE(what);
  const auto px = [dpi](int twips) { return form::toPixels(twips, dpi); };
  EXPECT_EQ(g.smallIcon, table.smallIcon(static_cast<UINT>(dpi))) << "the small icon";
  EXPECT_EQ(g.client.cx, px(form::kClientWidthTwips)) << g;
  EXPECT_EQ(g.client.cy, px(form::kClientHeightTwips)) << g;
  for (std::size_t i = 0; i < form::kControlCount; ++i) {
    const form::TwipsRect& t = form::kControls[i].twips;
    const RECT& r = g.controls[i];
    EXPECT_TRUE(r.left == px(t.left) && r.top == px(t.top) && r.bottom == px(t.top + t.height) &&
                r.right == px(t.left + t.width))
        << form::kControls[i].name << ": " << g;
    EXPECT_EQ(g.fontHeights[i], px(form::kFontHeightTwips)) << form::kControls[i].name;
    EXPECT_LE(g.widestShown[i], g.room[i]) << form::kControls[i].name << ": " << g;
    if (form::kControls[i].kind == form::Kind::Field) {
      const int margin = MulDiv(2, dpi, 96);
      EXPECT_TRUE(LOWORD(g.margins[i]) == margin && HIWORD(g.margins[i]) == margin)
          << form::kControls[i].name << ": " << g;
    }
  }
}

Geometry builtAt(const Table& table, UINT dpi) {
  startAt(dpi);
  Form1 form(GetModuleHandleW(nullptr), Dpi(table.functions()));
  return geometryOf(form.hwnd());
}

// The process's GDI objects. Wine's GetGuiResources answers 0; its handles with a zero high word
// name the object of that table slot, whatever its generation.
DWORD gdiObjects() {
  if (const DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); count != 0) {
    return count;
  }
  DWORD count = 0;
  for (UINT_PTR slot = 1; slot <= 0xFFFF; ++slot) {
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0) ++count;
  }
  return count;
}

// Counts Form1's changes of size into the int at `resizes`.
LRESULT CALLBACK countResizes(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                              UINT_PTR /*id*/, DWORD_PTR resizes) {
  if (message == WM_WINDOWPOSCHANGED &&
      (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_NOSIZE) == 0) {
    ++*reinterpret_cast<int*>(resizes);
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

// Sends `hwnd` the WM_DPICHANGED of a move onto a monitor at `dpi`, with the rectangle Windows
// would suggest: the old outer size scaled, a little left and down. Returns that rectangle.
RECT changeDpi(HWND hwnd, UINT dpi) {
  RECT outer{};
  GetWindowRect(hwnd, &outer);
  const RECT suggested{outer.left - 40, outer.top + 10,
                       outer.left - 40 + MulDiv(outer.right - outer.left, dpi, g_dpi),
                       outer.top + 10 + MulDiv(outer.bottom - outer.top, dpi, g_dpi)};
  g_dpi = dpi;
  SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  return suggested;
}

const UINT kChanges[] = {120, 144, 192, 96};

TEST(Form1Dpi, SameWindowOnTheFallbacks) {
  for (const UINT dpi : {96u, 144u, 192u}) {
    const Geometry onWindows10 = builtAt(kTables[0], dpi);
    for (const Table& table : kTables) {
      const Geometry g = &table == &kTables[0] ? onWindows10 : builtAt(table, dpi);
      const std::string what = std::string(table.name) + " at " + std::to_string(dpi);
      expectTwipsAt(g, table, static_cast<int>(dpi), what);
      EXPECT_EQ(g, onWindows10) << what;
    }
  }
}

// The size comes from Form1's own arithmetic, not from the suggested rectangle (Windows scales the
// old outer size, frame included), and the position from the suggested rectangle.
TEST(Form1Dpi, FollowsChangesOfDpi) {
  for (const Table& table : kTables) {
    SCOPED_TRACE(table.name);
    std::array<Geometry, std::size(kChanges)> fresh;
    for (std::size_t i = 0; i < std::size(kChanges); ++i)
      fresh[i] = builtAt(table, kChanges[i]);

    startAt(96);
    Form1 form(GetModuleHandleW(nullptr), Dpi(table.functions()));
    const HWND hwnd = form.hwnd();
    int resizes = 0;
    SetWindowSubclass(hwnd, countResizes, 1, reinterpret_cast<DWORD_PTR>(&resizes));
    for (std::size_t i = 0; i < std::size(kChanges); ++i) {
      const UINT dpi = kChanges[i];
      SIZE scaled{};
      ASSERT_TRUE(SendMessageW(hwnd, WM_GETDPISCALEDSIZE, dpi, reinterpret_cast<LPARAM>(&scaled)));
      resizes = 0;
      const RECT suggested = changeDpi(hwnd, dpi);
      RECT outer{};
      GetWindowRect(hwnd, &outer);
      const std::string what = "after the change to " + std::to_string(dpi);
      EXPECT_TRUE(outer.left == suggested.left && outer.top == suggested.top) << what;
      if (table.frameAtSystemDpi) {
        // Its frame, that of the system dpi, is the one Wine draws: the size announced is the
        // size taken, at once.
        EXPECT_TRUE(scaled.cx == outer.right - outer.left && scaled.cy == outer.bottom - outer.top)
            << what << ": announced " << scaled.cx << "x" << scaled.cy;
        EXPECT_EQ(resizes, 1) << what;
      }
      const Geometry now = geometryOf(hwnd);
      expectTwipsAt(now, table, static_cast<int>(dpi), what);
      EXPECT_EQ(now, fresh[i]) << what;
    }
    RemoveWindowSubclass(hwnd, countResizes, 1);
  }
}

// Each change replaces the fonts, the background and the labels' regions: none may be left over.
TEST(Form1Dpi, LeavesNoGdiObjectBehind) {
  startAt(96);
  Form1 form(GetModuleHandleW(nullptr), Dpi(windows10()));
  changeDpi(form.hwnd(), kChanges[0]);
  const DWORD afterFirst = gdiObjects();
  for (std::size_t i = 1; i <= 100; ++i)
    changeDpi(form.hwnd(), kChanges[i % std::size(kChanges)]);
  EXPECT_EQ(gdiObjects(), afterFirst) << "GDI objects after 100 changes of dpi";
}

// Answers Form1's next move or resize, inside it, with the WM_DPICHANGED of a monitor at
// `answer`, as Windows does when the move lands there; records how deeply moves nest.
struct MoveAnswer {
  UINT answer = 0;
  int depth = 0;
  int deepest = 0;
};
LRESULT CALLBACK answerMove(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/,
                            DWORD_PTR data) {
  auto& move = *reinterpret_cast<MoveAnswer*>(data);
  if (message != WM_WINDOWPOSCHANGED || (reinterpret_cast<const WINDOWPOS*>(lParam)->flags &
                                         (SWP_NOMOVE | SWP_NOSIZE)) == (SWP_NOMOVE | SWP_NOSIZE)) {
    return DefSubclassProc(hwnd, message, wParam, lParam);
  }
  move.deepest = std::max(move.deepest, ++move.depth);
  if (const UINT dpi = std::exchange(move.answer, 0); dpi != 0) {
    g_dpi = dpi;
    RECT outer{};
    GetWindowRect(hwnd, &outer);
    SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&outer));
  }
  const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
  --move.depth;
  return result;
}

// What Wine never does: a move of Form1's own that lands on a monitor of another dpi, answered
// inside the move. The change is applied once the move is over, never inside it (no move nested in
// another). The first show, cloaked, also moves Form1 by the borders Windows does not draw.
TEST(Form1Dpi, ChangesDuringItsOwnMoves) {
  struct Case {
    const char* name;
    UINT dragTo;  // 0: the move is the first show's; else a user's drag onto a monitor at this dpi
    UINT answer;  // the dpi where that move lands; 0: no change
    UINT dpi;     // Form1's dpi afterwards
  };
  const Case cases[] = {
      {"the first show, undrawn borders of 7 pixels", 0, 0, 96},
      {"the first show's move lands on a monitor at 144", 0, 144, 144},
      {"a drag to 144 whose resize lands on a monitor at 120", 144, 120, 120},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Geometry fresh = builtAt(kTables[0], c.dpi);
    startAt(96);
    g_cloaks.clear();
    Form1 form(GetModuleHandleW(nullptr), Dpi(windows10WithUndrawnBorders()));
    const HWND hwnd = form.hwnd();
    MoveAnswer move{c.dragTo == 0 ? c.answer : 0};
    SetWindowSubclass(hwnd, answerMove, 1, reinterpret_cast<DWORD_PTR>(&move));
    form.show(SW_SHOWNORMAL);
    EXPECT_TRUE(g_cloaks == std::vector<BOOL>({TRUE, FALSE})) << "cloaked, then uncloaked";
    if (c.dragTo != 0) {
      move.answer = c.answer;
      changeDpi(hwnd, c.dragTo);
    }
    RemoveWindowSubclass(hwnd, answerMove, 1);
    EXPECT_EQ(move.deepest, 1) << "a move inside a move";
    EXPECT_EQ(move.answer, 0u) << "no move to answer";
    const Geometry now = geometryOf(hwnd);
    expectTwipsAt(now, kTables[0], static_cast<int>(c.dpi), "afterwards");
    EXPECT_EQ(now, fresh);
    if (c.answer == 0) {
      RECT outer{};
      GetWindowRect(hwnd, &outer);
      EXPECT_TRUE(outer.right - 7 == GetSystemMetrics(SM_CXSCREEN) && outer.top == 0)
          << "the visible frame flush with the corner: " << outer.right << "," << outer.top;
    }
  }
}

LRESULT CALLBACK allowMinMax(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_MINMAX) return 0;  // Form1's hook, older, is not asked
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Where Windows minimises or maximises Form1 without asking its hook (for another program),
// Form1 is shown again, not left iconic, and without taking the activation; where the hook is asked
// (the first show, whose show command is the launcher's) it is never minimised or maximised.
TEST(Form1Minimise, ComesBackAtOnce) {
  struct Case {
    const char* name;
    int firstShow;   // the launcher's show command
    int later;       // 0, or a ShowWindow of another program, past Form1's hook
    bool activates;  // `later` itself activates Form1
  };
  const Case cases[] = {
      {"a shortcut set to Run: Minimized", SW_SHOWMINNOACTIVE, 0, false},
      {"a shortcut set to Maximized", SW_SHOWMAXIMIZED, 0, false},
      {"another program's minimise", SW_SHOWNORMAL, SW_MINIMIZE, false},
      {"another program's maximise", SW_SHOWNORMAL, SW_MAXIMIZE, true},
  };
  const HWND other = CreateWindowExW(0, L"STATIC", L"another program", WS_OVERLAPPEDWINDOW, 0, 300,
                                     200, 100, nullptr, nullptr, nullptr, nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    startAt(96);
    Form1 form(GetModuleHandleW(nullptr), Dpi(windows10()));
    const HWND hwnd = form.hwnd();
    RECT shown{};
    GetWindowRect(hwnd, &shown);
    form.show(c.firstShow);
    if (c.later != 0) {
      ShowWindow(other, SW_SHOW);
      SetForegroundWindow(other);
      ASSERT_EQ(GetActiveWindow(), other);
      HHOOK hook = SetWindowsHookExW(WH_CBT, allowMinMax, nullptr, GetCurrentThreadId());
      ShowWindow(hwnd, c.later);
      UnhookWindowsHookEx(hook);
      ASSERT_TRUE(IsIconic(hwnd) || IsZoomed(hwnd)) << "past Form1's hook";
      // Form1's answer is posted: the minimise is over first.
      for (MSG message{}; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
        DispatchMessageW(&message);
      }
      EXPECT_TRUE(c.activates || GetActiveWindow() == other) << "Form1 took the activation";
    }
    RECT now{};
    GetWindowRect(hwnd, &now);
    EXPECT_TRUE(IsWindowVisible(hwnd) && !IsIconic(hwnd) && !IsZoomed(hwnd) &&
                EqualRect(&now, &shown))
        << "at " << now.left << "," << now.top << " " << now.right << "," << now.bottom;
    EXPECT_NE(GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0) << "top-most";
    ShowWindow(other, SW_HIDE);
  }
  DestroyWindow(other);
}

// The system's own functions, by full path from the system folder; and where user32 lacks the
// Windows 10 functions (8.1), GetDpiForMonitor of shcore, which Windows 7 lacks.
FARPROC withoutWindows10(const wchar_t* dll, const char* name) {
  return std::wstring_view(dll) == L"user32.dll" ? nullptr : systemProc(dll, name);
}
FARPROC withoutWindows81(const wchar_t* dll, const char* name) {
  return std::wstring_view(dll) == L"shcore.dll" ? nullptr : withoutWindows10(dll, name);
}

TEST(Form1Dpi, LooksUpTheSystemsFunctions) {
  struct Case {
    const char* name;
    DpiFunctions functions;
    bool windows10;
    bool windows81;
  };
  const Case cases[] = {
      {"this system, Wine", DpiFunctions::systemFunctions(), true, false},
      {"Windows 8.1", DpiFunctions::lookUp(withoutWindows10), false, true},
      {"Windows 7", DpiFunctions::lookUp(withoutWindows81), false, false},
  };
  for (const Case& c : cases) {
    const DpiFunctions& f = c.functions;
    EXPECT_TRUE((f.getDpiForWindow != nullptr) == c.windows10 &&
                (f.getDpiForSystem != nullptr) == c.windows10 &&
                (f.adjustWindowRectExForDpi != nullptr) == c.windows10 &&
                (f.getSystemMetricsForDpi != nullptr) == c.windows10)
        << c.name << ": the Windows 10 functions";
    EXPECT_EQ(f.getDpiForMonitor != nullptr, c.windows81) << c.name << ": GetDpiForMonitor";
    EXPECT_TRUE(f.dwmGetWindowAttribute != nullptr && f.dwmSetWindowAttribute != nullptr)
        << c.name << ": the desktop window manager's";
  }
}

// With Ctrl held, the editing shortcuts edit Text1 as the field does, other control characters
// type nothing, and Ctrl+H deletes like backspace.
TEST(Form1Keys, CtrlCharacters) {
  struct Step {
    const char* name;
    wchar_t ch;
    int caret;  // where the caret is put first; -1: the selection stays
    const wchar_t* text;
  };
  const Step steps[] = {
      {"Ctrl+A selects all", 0x01, -1, L"0aB"},
      {"Ctrl+C copies it", 0x03, -1, L"0aB"},
      {"Ctrl+V at the end pastes it", 0x16, 3, L"0aB0aB"},
      {"Ctrl+Z undoes the paste", 0x1a, -1, L"0aB"},
      {"Ctrl+A selects all again", 0x01, -1, L"0aB"},
      {"Ctrl+X cuts it", 0x18, -1, L""},
      {"Ctrl+V pastes it back", 0x16, -1, L"0aB"},
      {"Ctrl+B types nothing", 0x02, -1, L"0aB"},
      {"Ctrl+H deletes the character before the caret", 0x08, -1, L"0a"},
  };
  startAt(96);
  Form1 form(GetModuleHandleW(nullptr), Dpi(windows10()));
  const HWND text1 =
      GetDlgItem(form.hwnd(), static_cast<int>(TOVREL_CONTROL_ID_BASE + form::kText1));
  SetWindowTextW(text1, L"0aB");
  BYTE keys[256]{};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  for (const Step& step : steps) {
    if (step.caret >= 0) SendMessageW(text1, EM_SETSEL, step.caret, step.caret);
    SendMessageW(text1, WM_CHAR, step.ch, 1);
    wchar_t text[32]{};
    GetWindowTextW(text1, text, 32);
    EXPECT_EQ(std::wstring(text), step.text) << step.name;
  }
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
}

// The frame the user sees flush with the screen's top-right corner. Where the system gives no
// answer, or nonsense, the window rectangle itself is placed flush with the corner of any screen.
TEST(Form1Placement, VisibleFrameOrigin) {
  struct Case {
    const char* name;
    RECT window;
    RECT visible;
    RECT screen;
    POINT origin;
  };
  constexpr RECT kScreen{0, 0, 1280, 800};
  const Case cases[] = {
      // The visible frame is the window rectangle (Wine, Windows 7 and 8): placed as it is.
      {"no undrawn borders", {986, 0, 1280, 120}, {986, 0, 1280, 120}, kScreen, {986, 0}},
      // Undrawn borders left, right and bottom: moved right by the right one, wherever it was
      // measured.
      {"7 px borders, measured at 100,50",
       {100, 50, 410, 178},
       {107, 50, 403, 171},
       kScreen,
       {977, 0}},
      {"10 px borders at 144 dpi",
       {0, 0, 463, 190},
       {10, 0, 453, 180},
       {0, 0, 1920, 1080},
       {1467, 0}},
      {"a border at the top too: moved up", {0, 0, 310, 128}, {7, 1, 303, 121}, kScreen, {977, -1}},
      {"a screen right of another",
       {0, 0, 310, 128},
       {7, 0, 303, 121},
       {1920, 0, 3200, 800},
       {2897, 0}},
      {"a screen narrower than the frame",
       {0, 0, 310, 128},
       {7, 0, 303, 121},
       {0, 0, 200, 800},
       {-103, 0}},
      // No answer or nonsense: the window rectangle is placed flush.
      {"no answer", {0, 0, 310, 128}, {0, 0, 0, 0}, kScreen, {970, 0}},
      {"no answer, a screen exactly as wide", {0, 0, 310, 128}, {}, {0, 0, 310, 800}, {0, 0}},
      {"no answer, a screen narrower", {0, 0, 310, 128}, {}, {0, 0, 200, 800}, {-110, 0}},
      {"no answer, a screen right of another",
       {0, 0, 310, 128},
       {},
       {1920, 0, 3200, 800},
       {2890, 0}},
      {"no answer, a screen below another",
       {0, 0, 310, 128},
       {},
       {0, 1080, 1280, 1880},
       {970, 1080}},
      {"logical coordinates of a scaled window",
       {1000, 0, 1310, 128},
       {667, 0, 873, 85},
       kScreen,
       {970, 0}},
      {"one pixel outside on the left", {0, 0, 310, 128}, {-1, 0, 303, 121}, kScreen, {970, 0}},
      {"one pixel outside at the bottom", {0, 0, 310, 128}, {7, 0, 303, 129}, kScreen, {970, 0}},
      {"borders wider than the visible frame",
       {0, 0, 310, 128},
       {150, 0, 160, 121},
       kScreen,
       {970, 0}},
      {"borders higher than the visible frame",
       {0, 0, 310, 128},
       {7, 60, 303, 70},
       kScreen,
       {970, 0}},
      {"right and left swapped", {0, 0, 310, 128}, {303, 0, 7, 121}, kScreen, {970, 0}},
  };
  for (const Case& c : cases) {
    const POINT origin = visibleFrameOrigin(c.window, c.visible, c.screen);
    EXPECT_TRUE(origin.x == c.origin.x && origin.y == c.origin.y)
        << c.name << ": " << origin.x << "," << origin.y;
  }
}

}  // namespace

int main(int argc, char** argv) {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
