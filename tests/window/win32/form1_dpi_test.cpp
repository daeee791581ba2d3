// Form1 built inside this process, under Wine on a private X server: on the dpi functions of
// Windows 10 and on the fallbacks of Windows 8.1 and 7, at 96 and 144 dpi; then moved through
// changes of dpi by synthetic WM_GETDPISCALEDSIZE and WM_DPICHANGED, as a drag onto another
// monitor sends them. Wine gives every monitor one dpi, so the tables answer the dpi.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <ostream>
#include <string>

#include "window/form.h"
#include "window/win32/dpi.h"
#include "window/win32/form1.h"
#include "window/win32/resource.h"

namespace {

UINT g_dpi = 96;  // what the tables' dpi queries answer

UINT WINAPI dpiForSystem() {
  return g_dpi;
}
UINT WINAPI dpiForWindow(HWND /*hwnd*/) {
  return g_dpi;
}
UINT screenDpi() {
  return g_dpi;
}
HRESULT WINAPI dpiForMonitor(HMONITOR /*monitor*/, int /*type*/, UINT* x, UINT* y) {
  *x = *y = g_dpi;
  return S_OK;
}
UINT screenDpi96() {
  return 96;
}

// Windows 10 1607 and later: this system's functions, the dpi queries answering g_dpi.
DpiFunctions windows10() {
  DpiFunctions functions = DpiFunctions::systemFunctions();
  functions.getDpiForSystem = dpiForSystem;
  functions.getDpiForWindow = dpiForWindow;
  return functions;
}

// Windows 7: none of them; the screen's LOGPIXELSX is g_dpi.
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

struct Table {
  const char* name;
  DpiFunctions (*functions)();
  bool frameAtSystemDpi;  // the frame predicted is the one Wine draws at every dpi
};
const Table kTables[] = {{"Windows 10 functions", windows10, false},
                         {"Windows 8.1 fallbacks", windows81, true},
                         {"Windows 7 fallbacks", windows7, true}};

// What a change of dpi must redo: the client area, each control's rectangle in it and the pixel
// height of each control's font.
struct Geometry {
  SIZE client{};
  std::array<RECT, form::kControlCount> controls{};
  std::array<LONG, form::kControlCount> fontHeights{};

  bool operator==(const Geometry& other) const {
    return client.cx == other.client.cx && client.cy == other.client.cy &&
           std::equal(controls.begin(), controls.end(), other.controls.begin(),
                      [](const RECT& a, const RECT& b) { return EqualRect(&a, &b); }) &&
           fontHeights == other.fontHeights;
  }
};

std::ostream& operator<<(std::ostream& out, const Geometry& g) {
  out << "client " << g.client.cx << "x" << g.client.cy;
  for (std::size_t i = 0; i < form::kControlCount; ++i) {
    const RECT& r = g.controls[i];
    out << "; " << form::kControls[i].name << " " << r.left << "," << r.top << " " << r.right << ","
        << r.bottom << " font " << g.fontHeights[i];
  }
  return out;
}

Geometry geometryOf(HWND form) {
  Geometry g;
  RECT client{};
  GetClientRect(form, &client);
  g.client = SIZE{client.right, client.bottom};
  for (std::size_t i = 0; i < form::kControlCount; ++i) {
    HWND control = GetDlgItem(form, static_cast<int>(TOVREL_CONTROL_ID_BASE + i));
    GetWindowRect(control, &g.controls[i]);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&g.controls[i]), 2);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(font),
               &font);
    g.fontHeights[i] = -font.lfHeight;
  }
  return g;
}

// The window at `dpi` as the twips give it: the client area, every control's rectangle and the
// font's height.
void expectTwipsAt(const Geometry& g, int dpi, const std::string& what) {
  SCOPED_TRACE(what);
  const auto px = [dpi](int twips) { return form::toPixels(twips, dpi); };
  EXPECT_EQ(g.client.cx, px(form::kClientWidthTwips)) << g;
  EXPECT_EQ(g.client.cy, px(form::kClientHeightTwips)) << g;
  for (std::size_t i = 0; i < form::kControlCount; ++i) {
    const form::TwipsRect& t = form::kControls[i].twips;
    const RECT& r = g.controls[i];
    EXPECT_TRUE(r.left == px(t.left) && r.top == px(t.top) && r.bottom == px(t.top + t.height) &&
                r.right == px(t.left + t.width))
        << form::kControls[i].name << ": " << g;
    EXPECT_EQ(g.fontHeights[i], px(form::kFontHeightTwips)) << form::kControls[i].name;
  }
}

Geometry builtAt(const Table& table, UINT dpi) {
  g_dpi = dpi;
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
  for (const UINT dpi : {96u, 144u}) {
    const Geometry onWindows10 = builtAt(kTables[0], dpi);
    expectTwipsAt(onWindows10, static_cast<int>(dpi), kTables[0].name);
    for (std::size_t i = 1; i < std::size(kTables); ++i) {
      EXPECT_EQ(builtAt(kTables[i], dpi), onWindows10) << kTables[i].name << " at " << dpi;
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

    g_dpi = 96;
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
      expectTwipsAt(now, static_cast<int>(dpi), what);
      EXPECT_EQ(now, fresh[i]) << what;
    }
    RemoveWindowSubclass(hwnd, countResizes, 1);
  }
}

// Each change replaces the fonts, the background and the labels' regions: none may be left over.
TEST(Form1Dpi, LeavesNoGdiObjectBehind) {
  g_dpi = 96;
  Form1 form(GetModuleHandleW(nullptr), Dpi(windows10()));
  changeDpi(form.hwnd(), kChanges[0]);
  const DWORD afterFirst = gdiObjects();
  for (std::size_t i = 1; i <= 100; ++i)
    changeDpi(form.hwnd(), kChanges[i % std::size(kChanges)]);
  EXPECT_EQ(gdiObjects(), afterFirst) << "GDI objects after 100 changes of dpi";
}

}  // namespace

int main(int argc, char** argv) {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
