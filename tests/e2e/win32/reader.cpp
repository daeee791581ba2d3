// tovrel_reader: reads Tovrel.exe's window from outside, for the end-to-end test under Wine. It
// runs in the same Wine prefix, finds Form1 by its window class and answers one command a line on
// standard input with one line on standard output:
//
//   sync                  returns once Form1's thread has handled the input sent to it before
//   fields PREFIX         writes Text1, Text2, Text3 as UTF-8 to PREFIX.text1, .text2, .text3
//   focus                 the control with the keyboard focus: Text1, Text2, Text3 or "other"
//   active                "yes" when Form1 is the active window, else "no"
//   minimize              ShowWindow(SW_MINIMIZE) from this process, as another program would;
//                         returns once Form1 is no longer iconic ("error" for one that stays so)
//   center NAME           the screen point at the middle of a control (Text1...), "close", the
//                         caption's close button, or "caption", the title bar: "X Y"
//   window                "outer L T R B client W H topmost T sizable S minmax M owner-visible V"
//   client DPI            Form1's client area at DPI as the shared description gives it: "W H"
//   quit
//
// The window line goes on with " iconic I visible L T R B", visible being the frame that the
// desktop window manager draws (the outer rectangle where it gives none), and " dpi W monitor M
// system S": Form1's dpi (GetDpiForWindow), its monitor's (GetDpiForMonitor, effective) and the
// system dpi (GetDpiForSystem, in this process).
//
// Run as `tovrel_reader recompute IN SIGNED BITS` it instead writes what Recompute makes of the
// UTF-8 file IN, as the fields would show it, and ends. Run as `tovrel_reader launch-minimized
// PROGRAM` it starts PROGRAM as a shortcut set to "Run: Minimized" does (show command
// SW_SHOWMINNOACTIVE), waits for it to end and ends with its exit status.
//
// GDI objects belong to their process under Wine, so the font is not read here; the screenshots
// show it.

#include <windows.h>

#include <dwmapi.h>
#include <shellscalingapi.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "conversion/recompute.h"
#include "window/form.h"
#include "window/win32/resource.h"

namespace {

std::string toUtf8(const std::u16string& text) {
  if (text.empty()) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int size = static_cast<int>(text.size());
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, size, out.data(), bytes, nullptr, nullptr);
  return out;
}

std::u16string fromUtf8(const std::string& text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), units);
  return std::u16string(wide.begin(), wide.end());
}

bool writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  return static_cast<bool>(out);
}

// The text of a window of another process: WM_GETTEXT copies it across.
std::u16string textOf(HWND hwnd) {
  DWORD_PTR length = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_BLOCK, 120000, &length);
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                      SMTO_BLOCK, 120000, &copied);
  return std::u16string(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(copied));
}

struct Target {
  HWND form = nullptr;
  HANDLE process = nullptr;
  DWORD thread = 0;

  [[nodiscard]] HWND control(std::size_t index) const {
    return GetDlgItem(form, TOVREL_CONTROL_ID_BASE + static_cast<int>(index));
  }
};

bool roundTrip(const Target& target) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(target.form, WM_NULL, 0, 0, SMTO_BLOCK, 120000, &ignored) != 0;
}

struct Snapshot {
  std::u16string texts[3];
  HWND focus = nullptr;
  bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(const Target& target) {
  Snapshot s;
  s.texts[0] = textOf(target.control(form::kText1));
  s.texts[1] = textOf(target.control(form::kText2));
  s.texts[2] = textOf(target.control(form::kText3));
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (GetGUIThreadInfo(target.thread, &info)) s.focus = info.hwndFocus;
  return s;
}

// Form1's thread is done with earlier input when it waits for input with none pending and two
// round trips through its queue later nothing has changed. Bounded: a hung window fails the test.
bool sync(const Target& target) {
  Snapshot last;
  for (int pass = 0; pass < 10000; ++pass) {
    WaitForInputIdle(target.process, 120000);
    if (!roundTrip(target) || !roundTrip(target)) return false;
    Snapshot now = snapshot(target);
    if (pass > 0 && now == last) return true;
    last = std::move(now);
  }
  return false;
}

std::string focusName(const Target& target) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(target.thread, &info)) return "other";
  for (const std::size_t i : {form::kText1, form::kText2, form::kText3}) {
    if (info.hwndFocus == target.control(i)) return std::string(form::kControls[i].name);
  }
  return "other";
}

std::string center(const Target& target, const std::string& name) {
  RECT r{};
  if (name == "close" || name == "caption") {
    // The points of the top-right corner that hit-test as the close button or the title bar.
    const LRESULT wanted = name == "close" ? HTCLOSE : HTCAPTION;
    RECT outer{};
    GetWindowRect(target.form, &outer);
    long sumX = 0;
    long sumY = 0;
    long count = 0;
    for (int y = outer.top; y < outer.top + 80 && y < outer.bottom; ++y) {
      for (int x = outer.right - 1; x > outer.right - 80 && x >= outer.left; --x) {
        DWORD_PTR hit = 0;
        SendMessageTimeoutW(target.form, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_BLOCK, 120000,
                            &hit);
        if (hit == static_cast<DWORD_PTR>(wanted)) {
          sumX += x;
          sumY += y;
          ++count;
        }
      }
    }
    if (count == 0) return "0 0";
    return std::to_string(sumX / count) + " " + std::to_string(sumY / count);
  } else {
    for (std::size_t i = 0; i < form::kControlCount; ++i) {
      if (form::kControls[i].name == name) GetWindowRect(target.control(i), &r);
    }
  }
  return std::to_string((r.left + r.right) / 2) + " " + std::to_string((r.top + r.bottom) / 2);
}

std::string window(const Target& target) {
  RECT outer{};
  GetWindowRect(target.form, &outer);
  RECT client{};
  GetClientRect(target.form, &client);
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(target.form, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(target.form, GWL_EXSTYLE));
  HWND owner = GetWindow(target.form, GW_OWNER);
  RECT visible = outer;
  if (FAILED(DwmGetWindowAttribute(target.form, DWMWA_EXTENDED_FRAME_BOUNDS, &visible,
                                   sizeof(visible)))) {
    visible = outer;
  }
  UINT monitorDpi = 0;
  UINT ignored = 0;
  if (FAILED(GetDpiForMonitor(MonitorFromWindow(target.form, MONITOR_DEFAULTTONEAREST),
                              MDT_EFFECTIVE_DPI, &monitorDpi, &ignored))) {
    monitorDpi = 0;
  }
  std::ostringstream out;
  out << "outer " << outer.left << ' ' << outer.top << ' ' << outer.right << ' ' << outer.bottom
      << " client " << client.right << ' ' << client.bottom << " topmost "
      << ((exStyle & WS_EX_TOPMOST) != 0) << " sizable " << ((style & WS_THICKFRAME) != 0)
      << " minmax " << ((style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) != 0) << " owner-visible "
      << (owner == nullptr || IsWindowVisible(owner) != 0) << " iconic "
      << (IsIconic(target.form) != 0) << " visible " << visible.left << ' ' << visible.top << ' '
      << visible.right << ' ' << visible.bottom << " dpi " << GetDpiForWindow(target.form)
      << " monitor " << monitorDpi << " system " << GetDpiForSystem();
  return out.str();
}

// Minimises Form1 as another program can, and waits until it is no longer iconic. The bound is
// for a window that stays iconic.
bool minimizeAndWait(const Target& target) {
  ShowWindow(target.form, SW_MINIMIZE);
  for (int tries = 0; tries < 600; ++tries) {
    if (!IsIconic(target.form)) return roundTrip(target);
    Sleep(50);
  }
  return false;
}

// Starts `program` with the show command of a shortcut set to "Run: Minimized" and returns its
// exit status once it has ended.
int launchMinimized(const char* program) {
  const std::u16string path = fromUtf8(program);
  std::wstring commandLine = L"\"" + std::wstring(path.begin(), path.end()) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWMINNOACTIVE;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return 127;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 1;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char* argv[]) {
  // Rectangles in the screen's pixels, as Tovrel.exe (per-monitor aware) and X see them.
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  if (argc == 5 && std::string(argv[1]) == "recompute") {
    const conversion::Readings readings = conversion::Recompute(fromUtf8(readFile(argv[2])));
    const bool written = writeFile(argv[3], toUtf8(readings.signedText)) &&
                         writeFile(argv[4], toUtf8(readings.bitText));
    return written ? 0 : 1;
  }
  if (argc == 3 && std::string(argv[1]) == "launch-minimized") return launchMinimized(argv[2]);
  Target target;
  // Form1 appears within seconds; the bound is for a program that never shows it.
  for (int tries = 0; tries < 1200 && target.form == nullptr; ++tries) {
    target.form = FindWindowW(TOVREL_FORM1_CLASS, L"Tovrel");
    if (target.form == nullptr) Sleep(100);
  }
  if (target.form == nullptr) {
    std::puts("error no window");
    return 1;
  }
  DWORD processId = 0;
  target.thread = GetWindowThreadProcessId(target.form, &processId);
  target.process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId);
  std::puts("ready");
  std::fflush(stdout);

  std::string line;
  char buffer[4096];
  while (std::fgets(buffer, sizeof(buffer), stdin) != nullptr) {
    line = buffer;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
      line.pop_back();
    std::istringstream words(line);
    std::string command;
    words >> command;
    std::string reply = "ok";
    if (command == "sync") {
      if (!sync(target)) reply = "error no answer";
    } else if (command == "fields") {
      std::string prefix;
      std::getline(words >> std::ws, prefix);
      const char* suffixes[] = {".text1", ".text2", ".text3"};
      const std::size_t fields[] = {form::kText1, form::kText2, form::kText3};
      for (int i = 0; i < 3; ++i) {
        if (!writeFile(prefix + suffixes[i], toUtf8(textOf(target.control(fields[i]))))) {
          reply = "error cannot write " + prefix + suffixes[i];
        }
      }
    } else if (command == "focus") {
      reply = focusName(target);
    } else if (command == "center") {
      std::string name;
      words >> name;
      reply = center(target, name);
    } else if (command == "active") {
      reply = GetForegroundWindow() == target.form ? "yes" : "no";
    } else if (command == "minimize") {
      if (!minimizeAndWait(target)) reply = "error still iconic: " + window(target);
    } else if (command == "window") {
      reply = window(target);
    } else if (command == "client") {
      int dpi = 0;
      words >> dpi;
      reply = std::to_string(form::toPixels(form::kClientWidthTwips, dpi)) + " " +
              std::to_string(form::toPixels(form::kClientHeightTwips, dpi));
    } else if (command == "quit") {
      break;
    } else {
      reply = "error unknown command " + command;
    }
    std::puts(reply.c_str());
    std::fflush(stdout);
  }
  return 0;
}
