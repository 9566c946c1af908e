#pragma once
// A form's frame at the display's DPI and the DPI queries. Internal to ui/win32.
#include "ui/win32/backend_win32.h"

namespace ui::win32 {

// The window styles of a form's frame.
struct Frame {
  DWORD style;
  DWORD ex_style;
};

Frame FrameOf(const TForm& form, bool main);

// The form's outer size limits in pixels (0: none). They are designed as outer sizes on a 96-DPI
// display; elsewhere their client part scales and the frame is the one the system draws at that
// DPI, since frames do not grow in step with the DPI.
struct Limits {
  SIZE min{}, max{};
};
Limits LimitsOf(const TForm& form, const DisplayScale& scale, DWORD style, DWORD ex);

// The DPI of the display a window is on; 0 where the system cannot tell one window's.
int WindowDpi(HWND hwnd);

int SystemDpi();

#ifndef WM_DPICHANGED
inline constexpr UINT WM_DPICHANGED = 0x02E0;
#endif

// SetLayeredWindowAttributes is looked up, so that the program still starts where it is missing.
void SetColorKey(HWND hwnd, COLORREF key);

}  // namespace ui::win32
