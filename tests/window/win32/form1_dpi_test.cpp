// Form1 built inside this process, under Wine on a private X server, on the dpi functions of
// Windows 10 and on the fallbacks of 8.1 and 7, and moved through changes of dpi. Wine gives every
// monitor one dpi and draws every window rectangle whole, so the tables answer the dpi and the
// visible frame. Then its shows, the lookup of the system's functions, keys and placement.

#include <windows.h>

#include <commctrl.h>
#include <dwmapi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "window/form.h"
#include "window/win32/dpi.h"
#include "window/win32/form1.h"
#include "window/win32/resource.h"

namespace {

UINT g_dpi = 96;             // what the tables' queries of a window's dpi answer
UINT g_systemDpi = 96;       // and of the system dpi, which stays what it was at the start
std::vector<BOOL> g_cloaks;  // each cloaking asked for

// Windows 10 1607 and later: this system's functions, the dpi queries answering the two above, and
// a desktop window manager that leaves borders of 7 pixels left, right and bottom undrawn.
DpiFunctions windows10() {
  DpiFunctions functions = DpiFunctions::systemFunctions();
  functions.getDpiForSystem = [] { return g_systemDpi; };
  functions.getDpiForWindow = [](HWND) { return g_dpi; };
  functions.dwmGetWindowAttribute = [](HWND hwnd, DWORD attribute, void* value,
                                       DWORD size) -> HRESULT {
    if (attribute != DWMWA_EXTENDED_FRAME_BOUNDS || size != sizeof(RECT)) return E_INVALIDARG;
    RECT& frame = *static_cast<RECT*>(value);
    GetWindowRect(hwnd, &frame);
    frame = RECT{frame.left + 7, frame.top, frame.right - 7, frame.bottom - 7};
    return S_OK;
  };
  functions.dwmSetWindowAttribute = [](HWND, DWORD attribute, const void* value,
                                       DWORD size) -> HRESULT {
    if (attribute != DWMWA_CLOAK || size != sizeof(BOOL)) return E_INVALIDARG;
    g_cloaks.push_back(*static_cast<const BOOL*>(value));
    return S_OK;
  };
  return functions;
}

struct Table {
  const char* name;
  DpiFunctions (*functions)();
  bool fallbacks;  // the frame and the small icon at the system dpi; Wine draws that frame always
};
const Table kTables[] = {
    {"Windows 10 functions", windows10, false},
    // Windows 8.1: only GetDpiForMonitor, answering the effective dpi (type 0) only; the system dpi
    // stays 96, so Form1 starts at 96 and moves to its monitor's dpi at once.
    {"Windows 8.1 fallbacks",
     [] {
       return DpiFunctions{
           .getDpiForMonitor = [](HMONITOR monitor, int type, UINT* x, UINT* y) -> HRESULT {
             if (monitor == nullptr || type != 0) return E_INVALIDARG;
             *x = *y = g_dpi;
             return S_OK;
           },
           .screenDpi = []() -> UINT { return 96; }};
     },
     true},
    // Windows 7: none of them; the screen's LOGPIXELSX is the system dpi.
    {"Windows 7 fallbacks", [] { return DpiFunctions{.screenDpi = [] { return g_systemDpi; }}; },
     true}};

Form1 formAt(UINT dpi, const DpiFunctions& functions = windows10()) {
  g_dpi = g_systemDpi = dpi;
  return Form1(GetModuleHandleW(nullptr), Dpi(functions));
}

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

// What a change of dpi must redo: the client area, the controls' rectangles in it, fonts and
// margins; and what follows, the widest text each control shows, the room it has, the small icon.
struct Geometry {
  SIZE client{};
  std::array<RECT, form::kControlCount> controls{};
  std::array<LONG, form::kControlCount> fontHeights{};
  std::array<DWORD, form::kControlCount> margins{};  // EM_GETMARGINS: right << 16 | left
  std::array<int, form::kControlCount> widestShown{};
  std::array<int, form::kControlCount> room{};
  int smallIcon = 0;  // not in describe(): at the system dpi on the fallbacks
};

std::string describe(const Geometry& g) {
  std::ostringstream out;
  out << "client " << g.client.cx << "x" << g.client.cy;
  for (std::size_t i = 0; i < form::kControlCount; ++i) {
    const RECT& r = g.controls[i];
    out << "; " << form::kControls[i].name << " " << r.left << "," << r.top << " " << r.right << ","
        << r.bottom << " font " << g.fontHeights[i] << " margins " << LOWORD(g.margins[i]) << ","
        << HIWORD(g.margins[i]) << " text " << g.widestShown[i] << " of " << g.room[i];
  }
  return out.str();
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
  GetIconInfo(icon, &info);
  BITMAP bitmap{};
  GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
  g.smallIcon = bitmap.bmWidth;
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return g;
}

// The window at `dpi` as the twips give it, the fields' margins of 2 pixels at 96 dpi scaled, each
// control's text whole, and the small icon at the size `table` loads it at for `dpi`.
void expectTwipsAt(const Geometry& g, const Table& table, UINT dpi, const std::string& what) {
  SCOPED_TRACE(what);
  const auto px = [dpi](int twips) { return form::toPixels(twips, static_cast<int>(dpi)); };
  EXPECT_EQ(g.smallIcon, table.fallbacks ? GetSystemMetrics(SM_CXSMICON)
                                         : DpiFunctions::systemFunctions().getSystemMetricsForDpi(
                                               SM_CXSMICON, dpi))
      << "the small icon";
  EXPECT_TRUE(g.client.cx == px(form::kClientWidthTwips) &&
              g.client.cy == px(form::kClientHeightTwips))
      << describe(g);
  for (std::size_t i = 0; i < form::kControlCount; ++i) {
    const form::TwipsRect& t = form::kControls[i].twips;
    const RECT& r = g.controls[i];
    const int margin = form::kControls[i].kind == form::Kind::Field ? MulDiv(2, dpi, 96) : 0;
    EXPECT_TRUE(r.left == px(t.left) && r.top == px(t.top) && r.bottom == px(t.top + t.height) &&
                r.right == px(t.left + t.width) && g.fontHeights[i] == px(form::kFontHeightTwips) &&
                g.widestShown[i] <= g.room[i] && LOWORD(g.margins[i]) == margin &&
                HIWORD(g.margins[i]) == margin)
        << form::kControls[i].name << ": " << describe(g);
  }
}

Geometry builtAt(const Table& table, UINT dpi) {
  return geometryOf(formAt(dpi, table.functions()).hwnd());
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

// Form1's moves and resizes, watched by subclassing: each resize is counted, and the next move or
// resize answered inside it with changeDpi() to `answer`, as Windows does when it lands there.
struct Moves {
  UINT answer = 0;
  int resizes = 0;
  int depth = 0;  // of moves nested in one another
  int deepest = 0;
};
LRESULT CALLBACK watchMoves(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/,
                            DWORD_PTR data) {
  const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
  if (message != WM_WINDOWPOSCHANGED || (pos->flags & SWP_NOMOVE && pos->flags & SWP_NOSIZE)) {
    return DefSubclassProc(hwnd, message, wParam, lParam);
  }
  auto& moves = *reinterpret_cast<Moves*>(data);
  if ((pos->flags & SWP_NOSIZE) == 0) ++moves.resizes;
  moves.deepest = std::max(moves.deepest, ++moves.depth);
  if (const UINT dpi = std::exchange(moves.answer, 0); dpi != 0) changeDpi(hwnd, dpi);
  const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
  --moves.depth;
  return result;
}

// The system's own functions, by full path from the system folder; and where user32 lacks the
// Windows 10 functions (8.1), GetDpiForMonitor of shcore, which Windows 7 lacks.
FARPROC withoutUser32(const wchar_t* dll, const char* name) {
  return std::wstring_view(dll) == L"user32.dll" ? nullptr : systemProc(dll, name);
}
FARPROC withoutShcore(const wchar_t* dll, const char* name) {
  return std::wstring_view(dll) == L"shcore.dll" ? nullptr : withoutUser32(dll, name);
}

TEST(Form1Dpi, LooksUpTheSystemsFunctions) {
  struct Case {
    const char* name;
    DpiFunctions f;
    bool windows10;
    bool windows81;
  };
  const Case cases[] = {{"this system, Wine", DpiFunctions::systemFunctions(), true, false},
                        {"Windows 8.1", DpiFunctions::lookUp(withoutUser32), false, true},
                        {"Windows 7", DpiFunctions::lookUp(withoutShcore), false, false}};
  for (const auto& [name, f, windows10, windows81] : cases) {
    EXPECT_TRUE((f.getDpiForWindow != nullptr) == windows10 &&
                (f.getDpiForSystem != nullptr) == windows10 &&
                (f.adjustWindowRectExForDpi != nullptr) == windows10 &&
                (f.getSystemMetricsForDpi != nullptr) == windows10 &&
                (f.getDpiForMonitor != nullptr) == windows81 &&
                f.dwmGetWindowAttribute != nullptr && f.dwmSetWindowAttribute != nullptr)
        << name;
  }
}

// Built at each dpi, Form1 is on every table the window of the Windows 10 functions; moved there
// from 96, it is the window built there, its size from its own arithmetic (Windows scales the old
// outer size, frame included) and its place from the suggested rectangle.
TEST(Form1Dpi, FollowsChangesOfDpi) {
  const UINT kChanges[] = {120, 144, 192, 96};
  std::array<Geometry, std::size(kChanges)> onWindows10;
  for (const Table& table : kTables) {
    SCOPED_TRACE(table.name);
    std::array<Geometry, std::size(kChanges)> fresh;
    for (std::size_t i = 0; i < std::size(kChanges); ++i) {
      fresh[i] = builtAt(table, kChanges[i]);
      expectTwipsAt(fresh[i], table, kChanges[i], "built at " + std::to_string(kChanges[i]));
      if (&table == &kTables[0]) onWindows10[i] = fresh[i];
      EXPECT_EQ(describe(fresh[i]), describe(onWindows10[i])) << "built at " << kChanges[i];
    }
    Moves moves;
    Form1 form = formAt(96, table.functions());
    const HWND hwnd = form.hwnd();
    SetWindowSubclass(hwnd, watchMoves, 1, reinterpret_cast<DWORD_PTR>(&moves));
    for (std::size_t i = 0; i < std::size(kChanges); ++i) {
      const UINT dpi = kChanges[i];
      SIZE scaled{};
      ASSERT_TRUE(SendMessageW(hwnd, WM_GETDPISCALEDSIZE, dpi, reinterpret_cast<LPARAM>(&scaled)));
      moves.resizes = 0;
      const RECT suggested = changeDpi(hwnd, dpi);
      RECT outer{};
      GetWindowRect(hwnd, &outer);
      const std::string what = "after the change to " + std::to_string(dpi);
      EXPECT_TRUE(outer.left == suggested.left && outer.top == suggested.top) << what;
      // With the fallbacks the frame predicted is the one Wine draws: taken at once, as announced.
      EXPECT_TRUE(!table.fallbacks || (scaled.cx == outer.right - outer.left &&
                                       scaled.cy == outer.bottom - outer.top && moves.resizes == 1))
          << what << ": announced " << scaled.cx << "x" << scaled.cy << ", " << moves.resizes
          << " resizes";
      const Geometry now = geometryOf(hwnd);
      expectTwipsAt(now, table, dpi, what);
      EXPECT_EQ(describe(now), describe(fresh[i])) << what;
    }
    // Each change replaces the fonts, the background and the labels' regions: none is left over.
    const DWORD before = gdiObjects();
    for (std::size_t i = 0; i < 100; ++i)
      changeDpi(hwnd, kChanges[i % std::size(kChanges)]);
    EXPECT_EQ(gdiObjects(), before) << "GDI objects after 100 more changes of dpi";
  }
}

LRESULT CALLBACK allowMinMax(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_MINMAX) return 0;  // Form1's hook, older, is not asked
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The first show, cloaked, moves Form1 by the borders Windows does not draw; asked by the hook, it
// never minimises or maximises. Minimised or maximised past the hook (for another program), Form1
// comes back at its place without taking the activation. A move of Form1's own that lands on a
// monitor of another dpi (never under Wine) is answered inside the move, and the change applied
// once the move is over.
TEST(Form1Show, FirstShowAndAfter) {
  struct Case {
    const char* name;
    int firstShow;  // the launcher's show command
    int otherShow;  // 0, or a ShowWindow of another program, past Form1's hook
    UINT dragTo;    // 0, or a user's drag after the first show onto a monitor at this dpi
    UINT answer;    // 0, or the dpi where the first show's move, or the drag's resize, lands
    UINT dpi;       // Form1's dpi afterwards
  };
  const Case cases[] = {
      {"a shortcut set to Run: Minimized", SW_SHOWMINNOACTIVE, 0, 0, 0, 96},
      {"a shortcut set to Maximized", SW_SHOWMAXIMIZED, 0, 0, 0, 96},
      {"another program's minimise", SW_SHOWNORMAL, SW_MINIMIZE, 0, 0, 96},
      {"another program's maximise", SW_SHOWNORMAL, SW_MAXIMIZE, 0, 0, 96},
      {"the first show's move lands on a monitor at 144", SW_SHOWNORMAL, 0, 0, 144, 144},
      {"a drag to 144 whose resize lands on a monitor at 120", SW_SHOWNORMAL, 0, 144, 120, 120},
  };
  const HWND other = CreateWindowExW(0, L"STATIC", L"another program", WS_OVERLAPPEDWINDOW, 0, 300,
                                     200, 100, nullptr, nullptr, nullptr, nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Geometry fresh = builtAt(kTables[0], c.dpi);
    g_cloaks.clear();
    Moves moves{c.dragTo == 0 ? c.answer : 0};
    Form1 form = formAt(96);
    const HWND hwnd = form.hwnd();
    SetWindowSubclass(hwnd, watchMoves, 1, reinterpret_cast<DWORD_PTR>(&moves));
    form.show(c.firstShow);
    EXPECT_TRUE(g_cloaks == std::vector<BOOL>({TRUE, FALSE})) << "cloaked, then uncloaked";
    if (c.otherShow != 0) {
      ShowWindow(other, SW_SHOW);
      SetForegroundWindow(other);
      ASSERT_EQ(GetActiveWindow(), other);
      HHOOK hook = SetWindowsHookExW(WH_CBT, allowMinMax, nullptr, GetCurrentThreadId());
      ShowWindow(hwnd, c.otherShow);
      UnhookWindowsHookEx(hook);
      ASSERT_TRUE(IsIconic(hwnd) || IsZoomed(hwnd)) << "past Form1's hook";
      // Form1's answer is posted: the minimise is over first.
      for (MSG message{}; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
        DispatchMessageW(&message);
      }
      EXPECT_TRUE(c.otherShow == SW_MAXIMIZE || GetActiveWindow() == other)
          << "took the activation that only a maximise gives";
      ShowWindow(other, SW_HIDE);
    }
    if (c.dragTo != 0) {
      moves.answer = c.answer;
      changeDpi(hwnd, c.dragTo);
    }
    EXPECT_TRUE(moves.deepest == 1 && moves.answer == 0)
        << moves.deepest << " moves nested; a move left to answer at " << moves.answer;
    const Geometry now = geometryOf(hwnd);
    expectTwipsAt(now, kTables[0], c.dpi, "afterwards");
    EXPECT_EQ(describe(now), describe(fresh));
    RECT outer{};
    GetWindowRect(hwnd, &outer);
    EXPECT_TRUE(
        IsWindowVisible(hwnd) && !IsIconic(hwnd) && !IsZoomed(hwnd) &&
        (c.answer != 0 || (outer.right - 7 == GetSystemMetrics(SM_CXSCREEN) && outer.top == 0)))
        << "the visible frame flush with the corner: " << outer.right << "," << outer.top;
    EXPECT_NE(GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0) << "top-most";
  }
  DestroyWindow(other);
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
  Form1 form = formAt(96);
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
  constexpr RECT kW{0, 0, 310, 128};  // a window at 96 dpi
  constexpr RECT kV{7, 0, 303, 121};  // its visible frame on Windows 10
  constexpr RECT kS{0, 0, 1280, 800};
  const Case cases[] = {
      {"no undrawn borders (Wine, 7, 8)", {986, 0, 1280, 120}, {986, 0, 1280, 120}, kS, {986, 0}},
      {"7 px borders, at 100,50", {100, 50, 410, 178}, {107, 50, 403, 171}, kS, {977, 0}},
      {"a border at the top too: moved up", kW, {7, 1, 303, 121}, kS, {977, -1}},
      {"a screen right of another", kW, kV, {1920, 0, 3200, 800}, {2897, 0}},
      {"a screen narrower than the frame", kW, kV, {0, 0, 200, 800}, {-103, 0}},
      {"no answer", kW, {}, kS, {970, 0}},
      {"no answer, a screen narrower", kW, {}, {0, 0, 200, 800}, {-110, 0}},
      {"no answer, a screen below another", kW, {}, {0, 1080, 1280, 1880}, {970, 1080}},
      {"logical coordinates, scaled", {1000, 0, 1310, 128}, {667, 0, 873, 85}, kS, {970, 0}},
      {"one pixel outside on the left", kW, {-1, 0, 303, 121}, kS, {970, 0}},
      {"one pixel outside at the bottom", kW, {7, 0, 303, 129}, kS, {970, 0}},
      {"borders wider than the frame", kW, {150, 0, 160, 121}, kS, {970, 0}},
      {"borders higher than the frame", kW, {7, 60, 303, 70}, kS, {970, 0}},
      {"right and left swapped", kW, {303, 0, 7, 121}, kS, {970, 0}},
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
