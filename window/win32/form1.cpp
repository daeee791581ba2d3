#include "window/win32/form1.h"

#include <commctrl.h>

#include <algorithm>
#include <string_view>

#include "conversion/recompute.h"
#include "window/win32/resource.h"

namespace {

constexpr DWORD kFormStyle = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = 0;

// Sizes at 96 dpi, scaled in Form1::scale().
constexpr int kArtworkClientWidth96 = 288;  // the part of the picture the client area shows
constexpr int kArtworkClientHeight96 = 95;

constexpr UINT_PTR kSubclassId = 1;

// Posted when Form1 has become iconic: it is shown again once the minimise is over.
constexpr UINT kShowAgain = WM_APP + 1;

// Form1, and whether Form1::showAgain() runs, for guardForm(), which has no other way to know.
HWND g_hookedForm = nullptr;
bool g_showingAgain = false;

// A hook on Form1's thread that the system asks before it minimises, maximises or activates a
// window of the thread. Form1 is never minimised or maximised, whoever asks: the hook sees the
// first ShowWindow, which takes the launcher's show command whatever it is given (a shortcut set
// to "Run: Minimized" or "Maximized"; Form1 is then shown as it is), and under Wine also
// ShowWindow from another program, which Wine runs on the window's own thread. Windows minimises
// for another program without asking here: WM_SIZE then brings Form1 back (showAgain()), and
// since Wine activates a window it restores from iconic whatever the show command says, the
// activation is refused meanwhile.
LRESULT CALLBACK guardForm(int code, WPARAM wParam, LPARAM lParam) {
  if (reinterpret_cast<HWND>(wParam) != g_hookedForm) {
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  if (code == HCBT_ACTIVATE && g_showingAgain) return 1;
  if (code == HCBT_MINMAX) {
    switch (LOWORD(lParam)) {
      case SW_MINIMIZE:
      case SW_SHOWMINIMIZED:
      case SW_SHOWMINNOACTIVE:
      case SW_FORCEMINIMIZE:
      case SW_MAXIMIZE:
        return 1;
      default:
        break;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Whether the control character `ch`, arriving while Ctrl is held, is one of the editing shortcuts
// that the field turns into characters: Ctrl+A (0x01), Ctrl+C (0x03), Ctrl+V (0x16), Ctrl+X (0x18)
// and Ctrl+Z (0x1a). They select, copy, paste, cut and undo instead of reaching Text1_KeyPress.
// Ctrl+H (0x08) is not among them: it is typed backspace.
bool isEditingShortcut(char16_t ch) {
  switch (ch) {
    case 0x01:  // Ctrl+A, select all
    case 0x03:  // Ctrl+C, copy
    case 0x16:  // Ctrl+V, paste
    case 0x18:  // Ctrl+X, cut
    case 0x1a:  // Ctrl+Z, undo
      return true;
    default:
      return false;
  }
}

std::wstring toWide(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}

std::u16string windowText(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(hwnd, text.data(), length + 1);
  return std::u16string(text.begin(), text.begin() + std::max(copied, 0));
}

int CALLBACK faceFound(const LOGFONTW* /*font*/, const TEXTMETRICW* /*metrics*/, DWORD /*type*/,
                       LPARAM /*unused*/) {
  return 0;  // the first match is enough
}

// The first face of form::kFaces that the system has, looked up by name (enumerating every family
// would cost milliseconds at each start). Empty when none is installed: the font mapper then picks
// a Shift-JIS face of its own.
std::wstring firstInstalledFace() {
  HDC screen = GetDC(nullptr);
  std::wstring found;
  for (const std::u16string_view face : form::kFaces) {
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    const std::wstring name = toWide(face);
    name.copy(query.lfFaceName, LF_FACESIZE - 1);
    if (EnumFontFamiliesExW(screen, &query, faceFound, 0, 0) == 0) {
      found = name;
      break;
    }
  }
  ReleaseDC(nullptr, screen);
  return found;
}

HFONT createFont(const std::wstring& face, int height, int width) {
  LOGFONTW font{};
  font.lfHeight = -height;
  font.lfWidth = width;
  font.lfWeight = form::kFontWeight;
  font.lfCharSet = SHIFTJIS_CHARSET;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
  face.copy(font.lfFaceName, LF_FACESIZE - 1);
  return CreateFontIndirectW(&font);
}

// Deletes each font once (controls share them) and empties `fonts`.
void deleteFonts(std::array<HFONT, form::kControlCount>& fonts) {
  std::ranges::sort(fonts);
  const auto repeated = std::ranges::unique(fonts);
  for (auto it = fonts.begin(); it != repeated.begin(); ++it) {
    if (*it != nullptr) DeleteObject(*it);
  }
  fonts.fill(nullptr);
}

void setFont(HWND hwnd, HFONT font) {
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

// The primary screen's rectangle, where Form1 opens.
RECT primaryScreen() {
  MONITORINFO primary{};
  primary.cbSize = sizeof(primary);
  GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &primary);
  return primary.rcMonitor;
}

POINT toPoint(form::Point p) {
  return POINT{p.x, p.y};
}

}  // namespace

POINT visibleFrameOrigin(const RECT& window, const RECT& visible, const RECT& screen) {
  const int left = visible.left - window.left;
  const int top = visible.top - window.top;
  const int right = window.right - visible.right;
  const int bottom = window.bottom - visible.bottom;
  const int visibleWidth = visible.right - visible.left;
  const int visibleHeight = visible.bottom - visible.top;
  const bool sane = left >= 0 && top >= 0 && right >= 0 && bottom >= 0 &&
                    left + right < visibleWidth && top + bottom < visibleHeight;
  const form::Point origin = form::topRightOrigin(
      screen.left, screen.top, screen.right - screen.left, window.right - window.left);
  if (!sane) return toPoint(origin);
  return POINT{origin.x + right, origin.y - top};
}

Form1::Form1(HINSTANCE instance, Dpi system)
    : m_instance(instance), m_system(system), m_face(firstInstalledFace()) {
  WNDCLASSEXW formClass{};
  formClass.cbSize = sizeof(formClass);
  formClass.lpfnWndProc = formProc;
  formClass.hInstance = instance;
  formClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  formClass.hbrBackground = GetSysColorBrush(COLOR_MENU);
  formClass.lpszClassName = TOVREL_FORM1_CLASS;
  // The class's icons, not WM_SETICON: under Wine each WM_SETICON rebuilds the X window's icon.
  m_dpi = m_system.systemDpi();
  m_classIconSmall = loadIcon(SM_CXSMICON, m_dpi);
  m_classIconBig = loadIcon(SM_CXICON, m_dpi);
  formClass.hIconSm = m_classIconSmall;
  formClass.hIcon = m_classIconBig;
  RegisterClassExW(&formClass);

  m_artwork = static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(IDB_BACKGROUND),
                                              IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));

  // An owned window gets no taskbar button; the owner is never shown.
  m_owner =
      CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  // Form1 and its controls are created at their final sizes, and Form1 at its final place, so that
  // nothing moves before the first show: Form_Load's move then costs nothing.
  const SIZE outer = outerSize(m_dpi);
  const POINT origin = originAtTopRight(outer.cx);
  CreateWindowExW(kFormExStyle, TOVREL_FORM1_CLASS, L"Tovrel", kFormStyle, origin.x, origin.y,
                  outer.cx, outer.cy, m_owner, nullptr, instance, this);
  createControls();
  // Where Windows put Form1 on a monitor at another dpi than the system's (Windows 8.1 and later),
  // Form1 follows it; else it fits its client area into the frame Windows draws.
  const UINT windowDpi = m_system.windowDpi(m_form);
  const UINT dpi = windowDpi != m_dpi ? windowDpi : fitClientArea();
  if (dpi != 0) {
    changeDpi(dpi, topLeft());
  } else {
    applyDpi();
  }
  Form_Load();
  g_hookedForm = m_form;
  m_hook = SetWindowsHookExW(WH_CBT, guardForm, nullptr, GetCurrentThreadId());
}

Form1::~Form1() {
  if (m_hook != nullptr) UnhookWindowsHookEx(m_hook);
  g_hookedForm = nullptr;
  if (m_owner != nullptr) DestroyWindow(m_owner);  // and Form1 with it, if it is still there
  // The class's icons are destroyed below; a later Form1 registers the class anew.
  UnregisterClassW(TOVREL_FORM1_CLASS, m_instance);
  deleteFonts(m_fonts);
  for (HGDIOBJ object : {static_cast<HGDIOBJ>(m_backgroundBrush),
                         static_cast<HGDIOBJ>(m_background), static_cast<HGDIOBJ>(m_artwork)}) {
    if (object != nullptr) DeleteObject(object);
  }
  for (HICON icon : {m_iconSmall, m_iconBig, m_classIconSmall, m_classIconBig}) {
    if (icon != nullptr) DestroyIcon(icon);
  }
}

int Form1::run() {
  MSG message{};
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return 1;
    // The dialog manager moves the focus with Tab and Shift+Tab along the fields' WS_TABSTOP.
    if (!IsDialogMessageW(m_form, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

// Runs once, after the window and its controls exist and before the window is first shown.
void Form1::Form_Load() {
  SetWindowPos(m_form, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  RECT outer{};
  GetWindowRect(m_form, &outer);
  const POINT origin = originAtTopRight(outer.right - outer.left);
  if (const UINT dpi =
          setFormPos(origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      dpi != 0) {
    changeDpi(dpi, origin);
  }
}

// The first show. Windows 10 and 11 count borders into the window rectangle that they do not draw,
// so Form_Load's place leaves a strip of desktop between the visible frame and the screen's edge.
// Their width is known only once the window has been shown: Form1 is shown cloaked (drawn by no
// one; Windows 8 and later), moved by the undrawn borders, and uncloaked, so that no one sees it
// move. Where cloaking fails (Windows 7, Wine) the system draws the whole window rectangle and
// there is nothing to move.
void Form1::show(int showCommand) {
  const bool cloaked = m_system.cloak(m_form, true);
  ShowWindow(m_form, showCommand);  // guardForm() keeps it from minimising or maximising
  RECT window{};
  GetWindowRect(m_form, &window);
  const POINT origin = visibleFrameOrigin(window, m_system.visibleFrame(m_form), primaryScreen());
  if (origin.x != window.left || origin.y != window.top) {
    if (const UINT dpi =
            setFormPos(origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        dpi != 0) {
      changeDpi(dpi, origin);
    }
  }
  if (cloaked) m_system.cloak(m_form, false);
  // Window managers need not focus a window without a taskbar entry when it appears.
  SetForegroundWindow(m_form);
  SetFocus(control(form::kText1));
}

// Form1 became iconic (ShowWindow(SW_MINIMIZE) or the window menu's command from another program,
// a tool) or maximised: it comes back at its place, above the other windows, without taking the
// activation from the window that has it. With no taskbar button and no Alt+Tab entry, an iconic
// Form1 could not be reached again.
void Form1::showAgain() {
  if (!IsIconic(m_form) && !IsZoomed(m_form)) return;
  g_showingAgain = true;
  ShowWindow(m_form, SW_SHOWNOACTIVATE);
  SetWindowPos(m_form, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  g_showingAgain = false;
}

void Form1::Text1_Change() {
  const conversion::Readings readings = conversion::Recompute(windowText(control(form::kText1)));
  SetWindowTextW(control(form::kText2), toWide(readings.signedText).c_str());
  SetWindowTextW(control(form::kText3), toWide(readings.bitText).c_str());
}

// Sets `code` to 0 when the typed character must not reach Text1.
void Form1::Text1_KeyPress(char16_t& code) {
  const int length = GetWindowTextLengthW(control(form::kText1));
  if (!form::acceptsTypedChar(code, static_cast<std::size_t>(std::max(length, 0)))) code = 0;
}

void Form1::Text2_Click() {
  SetFocus(control(form::kText1));
}

void Form1::Text3_Click() {
  SetFocus(control(form::kText1));
}

void Form1::createControls() {
  // Each control is stacked below those created before it: the dialog manager's Tab follows that
  // order, and a screen reader names each field by the label right before it.
  static_assert(form::kControls[form::kText1].tabIndex < form::kControls[form::kText2].tabIndex &&
                form::kControls[form::kText2].tabIndex < form::kControls[form::kText3].tabIndex);
  for (std::size_t i = 0; i < form::kControlCount; ++i) {
    const form::Control& c = form::kControls[i];
    const bool field = c.kind == form::Kind::Field;
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    if (field) {
      style |= WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL | (c.readOnly ? ES_READONLY : 0);
    } else {
      style |= SS_LEFTNOWORDWRAP | SS_NOPREFIX;
    }
    const RECT r = pixelRect(c);
    m_controls[i] = CreateWindowExW(
        field ? WS_EX_CLIENTEDGE : 0, field ? L"EDIT" : L"STATIC", toWide(c.caption).c_str(), style,
        r.left, r.top, r.right - r.left, r.bottom - r.top, m_form,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(TOVREL_CONTROL_ID_BASE + i)), m_instance,
        nullptr);
  }
  // Typing stops at eight characters in Text1_KeyPress; a paste of any length fits.
  SendMessageW(control(form::kText1), EM_SETLIMITTEXT, 0, 0);
  SetWindowSubclass(control(form::kText1), text1Proc, kSubclassId,
                    reinterpret_cast<DWORD_PTR>(this));
  SetWindowSubclass(control(form::kText2), outputProc, kSubclassId,
                    reinterpret_cast<DWORD_PTR>(this));
  SetWindowSubclass(control(form::kText3), outputProc, kSubclassId,
                    reinterpret_cast<DWORD_PTR>(this));
  m_lastFocus = control(form::kText1);
}

UINT Form1::setFormPos(int x, int y, int width, int height, UINT flags) {
  m_dpiOfOwnMove = 0;
  SetWindowPos(m_form, nullptr, x, y, width, height, flags);
  const UINT dpi = *m_dpiOfOwnMove;
  m_dpiOfOwnMove.reset();
  return dpi != m_dpi ? dpi : 0;
}

// The size comes from the client area in twips, not from a rectangle Windows suggests: Windows
// scales the old outer size, frame included, and rounds.
void Form1::changeDpi(UINT dpi, POINT origin) {
  m_dpi = dpi;
  if (const UINT next = resizeForDpi(origin); next != 0) {
    m_dpi = next;
    static_cast<void>(resizeForDpi(topLeft()));  // followed once, no further
  }
  layOutControls();
}

UINT Form1::resizeForDpi(POINT origin) {
  const SIZE outer = outerSize(m_dpi);
  if (const UINT dpi =
          setFormPos(origin.x, origin.y, outer.cx, outer.cy, SWP_NOZORDER | SWP_NOACTIVATE);
      dpi != 0) {
    return dpi;
  }
  return fitClientArea();
}

// AdjustWindowRectEx(ForDpi) only predicts the frame. Windows 10 1607, aware per monitor in the
// first manner only, draws the frame at the system dpi whatever the window's; so does Wine.
UINT Form1::fitClientArea() {
  if (IsIconic(m_form)) return 0;
  RECT client{};
  GetClientRect(m_form, &client);
  const int dx = twipsToPixels(form::kClientWidthTwips) - client.right;
  const int dy = twipsToPixels(form::kClientHeightTwips) - client.bottom;
  if (dx == 0 && dy == 0) return 0;
  RECT outer{};
  GetWindowRect(m_form, &outer);
  return setFormPos(0, 0, outer.right - outer.left + dx, outer.bottom - outer.top + dy,
                    SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form1::layOutControls() {
  for (std::size_t i = 0; i < form::kControlCount; ++i) {
    const RECT r = pixelRect(form::kControls[i]);
    SetWindowPos(m_controls[i], nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  applyDpi();
  applyIcons();
}

void Form1::applyDpi() {
  applyFonts();
  clipLabels();
  applyBackground();
  InvalidateRect(m_form, nullptr, TRUE);
}

// Form1's outer size at `dpi` for its client area of 4320 x 1425 twips.
SIZE Form1::outerSize(UINT dpi) const {
  const int dots = static_cast<int>(dpi);
  const SIZE client{form::toPixels(form::kClientWidthTwips, dots),
                    form::toPixels(form::kClientHeightTwips, dots)};
  return m_system.outerSize(client, kFormStyle, kFormExStyle, dpi);
}

// The top-left corner that puts an outer frame `outerWidth` wide flush with the primary screen's
// top-right corner.
POINT Form1::originAtTopRight(int outerWidth) const {
  const RECT screen = primaryScreen();
  return toPoint(
      form::topRightOrigin(screen.left, screen.top, screen.right - screen.left, outerWidth));
}

POINT Form1::topLeft() const {
  RECT outer{};
  GetWindowRect(m_form, &outer);
  return POINT{outer.left, outer.top};
}

// A control's rectangle in the client area at m_dpi.
RECT Form1::pixelRect(const form::Control& control) const {
  const form::TwipsRect& r = control.twips;
  return RECT{twipsToPixels(r.left), twipsToPixels(r.top), twipsToPixels(r.left + r.width),
              twipsToPixels(r.top + r.height)};
}

// A label stacked above a field would paint over the pixel row it reaches into; its region leaves
// out every field it overlaps, so the field covers that row.
void Form1::clipLabels() {
  for (std::size_t i = 0; i < form::kControlCount; ++i) {
    if (form::kControls[i].kind != form::Kind::Label) continue;
    RECT label{};
    GetWindowRect(m_controls[i], &label);
    HRGN region = CreateRectRgn(0, 0, label.right - label.left, label.bottom - label.top);
    for (std::size_t j = 0; j < form::kControlCount; ++j) {
      if (form::kControls[j].kind != form::Kind::Field) continue;
      RECT field{};
      GetWindowRect(m_controls[j], &field);
      HRGN covered = CreateRectRgn(field.left - label.left, field.top - label.top,
                                   field.right - label.left, field.bottom - label.top);
      CombineRgn(region, region, covered, RGN_DIFF);
      DeleteObject(covered);
    }
    SetWindowRgn(m_controls[i], region, TRUE);  // the label owns the region from here on
  }
}

// Each control gets the controls' face, condensed where what it must show would not fit (see
// form::fittingWidthFor()): a reading or a caption is never cut, whichever face the system found.
// Controls at the natural width share one font.
void Form1::applyFonts() {
  const int height = twipsToPixels(form::kFontHeightTwips);
  const int margin = scale(form::kFieldMargin);
  HFONT font = createFont(m_face, height, 0);
  std::array<HFONT, form::kControlCount> fonts{};
  HDC dc = GetDC(m_form);
  const HGDIOBJ previous = SelectObject(dc, font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  const auto measure = [&](std::u16string_view text, int width) {
    HFONT measured = width > 0 ? createFont(m_face, height, width) : font;
    SelectObject(dc, measured);
    SIZE size{};
    const std::wstring wide = toWide(text);
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    SelectObject(dc, font);
    if (measured != font) DeleteObject(measured);
    return static_cast<int>(size.cx);
  };
  for (std::size_t i = 0; i < form::kControlCount; ++i) {
    HWND hwnd = m_controls[i];
    RECT client{};
    GetClientRect(hwnd, &client);
    const int width = form::fittingWidthFor(i, client.right - client.left, margin,
                                            metrics.tmAveCharWidth, measure);
    fonts[i] = width > 0 ? createFont(m_face, height, width) : font;
    setFont(hwnd, fonts[i]);
    if (form::kControls[i].kind == form::Kind::Field) {
      // A new font resets the margins to the face's own; they are set after it.
      SendMessageW(hwnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(margin, margin));
    }
    InvalidateRect(hwnd, nullptr, TRUE);
  }
  SelectObject(dc, previous);
  ReleaseDC(m_form, dc);
  if (std::ranges::find(fonts, font) == fonts.end()) DeleteObject(font);  // every control condensed
  deleteFonts(m_fonts);
  m_fonts = fonts;
}

// The client area's part of the picture at the window's dpi: unscaled at 96 dpi, each pixel
// repeated (nearest neighbour, so edges stay crisp) above. The labels paint their background with
// the same brush.
void Form1::applyBackground() {
  RECT client{};
  GetClientRect(m_form, &client);
  HDC screen = GetDC(m_form);
  HDC source = CreateCompatibleDC(screen);
  HDC target = CreateCompatibleDC(screen);
  HBITMAP background = CreateCompatibleBitmap(screen, client.right, client.bottom);
  const HGDIOBJ oldSource = SelectObject(source, m_artwork);
  const HGDIOBJ oldTarget = SelectObject(target, background);
  SetStretchBltMode(target, COLORONCOLOR);
  StretchBlt(target, 0, 0, client.right, client.bottom, source, 0, 0, kArtworkClientWidth96,
             kArtworkClientHeight96, SRCCOPY);
  SelectObject(source, oldSource);
  SelectObject(target, oldTarget);
  DeleteDC(source);
  DeleteDC(target);
  ReleaseDC(m_form, screen);
  if (m_backgroundBrush != nullptr) DeleteObject(m_backgroundBrush);
  if (m_background != nullptr) DeleteObject(m_background);
  m_background = background;
  m_backgroundBrush = CreatePatternBrush(m_background);
}

void Form1::applyIcons() {
  HICON small = loadIcon(SM_CXSMICON, m_dpi);
  HICON big = loadIcon(SM_CXICON, m_dpi);
  SendMessageW(m_form, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  SendMessageW(m_form, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  if (m_iconSmall != nullptr) DestroyIcon(m_iconSmall);
  if (m_iconBig != nullptr) DestroyIcon(m_iconBig);
  m_iconSmall = small;
  m_iconBig = big;
}

// MAINICON's image for the icon size `sizeMetric` (SM_CXSMICON or SM_CXICON) at `dpi`.
HICON Form1::loadIcon(int sizeMetric, UINT dpi) const {
  const int size = m_system.systemMetric(sizeMetric, dpi);
  return static_cast<HICON>(LoadImageW(m_instance, L"MAINICON", IMAGE_ICON, size, size, 0));
}

int Form1::scale(int pixelsAt96) const {
  return MulDiv(pixelsAt96, static_cast<int>(m_dpi), form::kBaseDpi);
}

bool Form1::isLabel(HWND hwnd) const {
  return hwnd == control(form::kLabel1) || hwnd == control(form::kLabel2) ||
         hwnd == control(form::kLabel3);
}

// Labels: black text on the picture behind them, through the background brush aligned with the
// client area.
LRESULT Form1::labelColors(HDC dc, HWND label) {
  POINT origin{0, 0};
  MapWindowPoints(label, m_form, &origin, 1);
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkMode(dc, TRANSPARENT);
  SetBrushOrgEx(dc, -origin.x, -origin.y, nullptr);
  return reinterpret_cast<LRESULT>(m_backgroundBrush);
}

LRESULT CALLBACK Form1::formProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->m_form = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Form1*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  return self->handleMessage(message, wParam, lParam);
}

LRESULT Form1::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == EN_CHANGE && reinterpret_cast<HWND>(lParam) == control(form::kText1)) {
        Text1_Change();
      }
      // Return and Esc arrive as IDOK and IDCANCEL from the dialog manager: they do nothing.
      return 0;
    case WM_CTLCOLORSTATIC:
      // Read-only fields ask here too; they keep the default colours.
      if (isLabel(reinterpret_cast<HWND>(lParam))) {
        return labelColors(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
      }
      break;
    case WM_ERASEBKGND: {
      RECT client{};
      GetClientRect(m_form, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, m_backgroundBrush);
      return 1;
    }
    case WM_SIZE:
      // Iconic or maximised all the same, past guardForm(): shown again once that is done, not
      // inside it.
      if (wParam == SIZE_MINIMIZED || wParam == SIZE_MAXIMIZED) {
        PostMessageW(m_form, kShowAgain, 0, 0);
      }
      break;
    case kShowAgain:
      showAgain();
      return 0;
    case WM_ACTIVATE:
      // The default would put the focus on Form1 itself; it goes back to the field that had it.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(m_form, focus)) m_lastFocus = focus;
      } else {
        SetFocus(m_lastFocus);
      }
      return 0;
    case WM_SETFOCUS:
      SetFocus(m_lastFocus);
      return 0;
    case WM_GETDPISCALEDSIZE:
      // While the user drags Form1 onto a monitor of another dpi (Windows 10 1703 and later): the
      // exact size there, so that the rectangle WM_DPICHANGED suggests has it.
      *reinterpret_cast<SIZE*>(lParam) = outerSize(static_cast<UINT>(wParam));
      return TRUE;
    case WM_DPICHANGED:
      if (m_dpiOfOwnMove.has_value()) {
        m_dpiOfOwnMove = LOWORD(wParam);  // for setFormPos() to return
      } else {
        // The user moved Form1 onto a monitor of another dpi: the place Windows suggests.
        const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
        changeDpi(LOWORD(wParam), POINT{suggested.left, suggested.top});
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(m_form, message, wParam, lParam);
}

LRESULT CALLBACK Form1::text1Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR id, DWORD_PTR self) {
  switch (message) {
    case WM_CHAR:
      return reinterpret_cast<Form1*>(self)->handleText1Char(wParam, lParam);
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, text1Proc, id);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

// A character typed into Text1: the editing shortcuts edit, everything else goes through
// Text1_KeyPress, which may drop it.
LRESULT Form1::handleText1Char(WPARAM wParam, LPARAM lParam) {
  HWND text1 = control(form::kText1);
  char16_t code = static_cast<char16_t>(wParam);
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  if (ctrl && isEditingShortcut(code)) {
    if (code == 0x01) {
      SendMessageW(text1, EM_SETSEL, 0, -1);
      return 0;
    }
    // The field copies, pastes, cuts and undoes on these characters itself.
    return DefSubclassProc(text1, WM_CHAR, wParam, lParam);
  }
  Text1_KeyPress(code);
  if (code == 0) return 0;
  if (code == u'\b' && ctrl) {
    // Ctrl+H: the field ignores backspace while Ctrl is held, so it is deleted here.
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(text1, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    if (start == end && start > 0) SendMessageW(text1, EM_SETSEL, start - 1, end);
    SendMessageW(text1, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L""));
    return 0;
  }
  return DefSubclassProc(text1, WM_CHAR, code, lParam);
}

LRESULT CALLBACK Form1::outputProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR id, DWORD_PTR self) {
  switch (message) {
    case WM_LBUTTONUP: {
      // The field ends its own click first, so that a mouse selection is complete before the
      // focus leaves it.
      const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
      auto* form1 = reinterpret_cast<Form1*>(self);
      if (hwnd == form1->control(form::kText2)) {
        form1->Text2_Click();
      } else {
        form1->Text3_Click();
      }
      return result;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, outputProc, id);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}
