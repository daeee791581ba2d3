// Resource and control numbers of the Win32 window, shared by its resource script, its code and the
// end-to-end test's reader. Plain preprocessor numbers: windres reads this file too.

#ifndef TOVREL_WINDOW_WIN32_RESOURCE_H_
#define TOVREL_WINDOW_WIN32_RESOURCE_H_

// The background picture, 294 x 128 at 24 bits per pixel.
#define IDB_BACKGROUND 101

// The control at position i of form::kControls has the number TOVREL_CONTROL_ID_BASE + i. The base
// keeps clear of IDOK (1) and IDCANCEL (2), which the dialog manager sends for Return and Esc.
#define TOVREL_CONTROL_ID_BASE 1000

// The window class of Form1, by which the end-to-end test's reader finds it.
#define TOVREL_FORM1_CLASS L"TovrelForm1"

#endif  // TOVREL_WINDOW_WIN32_RESOURCE_H_
