#include <windows.h>

#include <commctrl.h>
#include <imm.h>

#include "window/win32/form1.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int show) {
  // Text1 takes no input method: every key then arrives as a plain WM_CHAR that Text1_KeyPress
  // sees.
  ImmDisableIME(static_cast<DWORD>(-1));
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  Form1 form(instance);
  form.show(show);
  return form.run();
}
