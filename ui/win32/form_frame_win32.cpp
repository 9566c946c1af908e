// A form's frame at the display's DPI: styles, outer size, limits and place; every window shown anew at a new DPI.
#include "ui/win32/backend_win32.h"

#include <algorithm>

#include "ui/application.h"
#include "ui/win32/classes.h"
#include "ui/win32/form_frame.h"
#include "ui/win32/peer.h"

namespace ui::win32 {

namespace {

// The calls of later releases are looked up, so that the program still starts on XP.
template <typename Fn>
Fn User32Call(const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

// The frame's size at the window's DPI where the system knows it (a per-monitor DPI may differ
// from the system's); elsewhere at the system's.
void AdjustForDpi(RECT& r, DWORD style, DWORD ex, int dpi) {
  using Fn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  static Fn fn = User32Call<Fn>("AdjustWindowRectExForDpi");
  if (!fn || !fn(&r, style, FALSE, ex, static_cast<UINT>(dpi))) AdjustWindowRectEx(&r, style, FALSE, ex);
}

// The limits applied to a proposed outer size.
SIZE Clamp(const Limits& limits, SIZE size) {
  if (limits.min.cx > 0) size.cx = std::max(size.cx, limits.min.cx);
  if (limits.min.cy > 0) size.cy = std::max(size.cy, limits.min.cy);
  if (limits.max.cx > 0) size.cx = std::min(size.cx, limits.max.cx);
  if (limits.max.cy > 0) size.cy = std::min(size.cy, limits.max.cy);
  return size;
}

}  // namespace

Frame FrameOf(const TForm& form, bool main) {
  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN;
  DWORD ex = 0;
  const TBorderIcons& icons = form.BorderIcons();
  if (icons.SystemMenu) style |= WS_SYSMENU;
  switch (form.BorderStyle()) {
    case TBorderStyle::bsSizeable:
      style |= WS_THICKFRAME;
      if (icons.Minimize) style |= WS_MINIMIZEBOX;
      if (icons.Maximize) style |= WS_MAXIMIZEBOX;
      break;
    case TBorderStyle::bsSingle:
      if (icons.Minimize) style |= WS_MINIMIZEBOX;
      if (icons.Maximize) style |= WS_MAXIMIZEBOX;
      break;
    case TBorderStyle::bsDialog:
      ex |= WS_EX_DLGMODALFRAME;
      break;
  }
  if (main) ex |= WS_EX_APPWINDOW;
  if (form.TransparentColor != clDefault) ex |= WS_EX_LAYERED;
  return {style, ex};
}

Limits LimitsOf(const TForm& form, const DisplayScale& scale, DWORD style, DWORD ex) {
  RECT design{}, now{};
  AdjustForDpi(design, style, ex, kDesignDpi);
  AdjustForDpi(now, style, ex, scale.Dpi());
  const auto outer = [&](int units, LONG design_frame, LONG frame) {
    return units > 0 ? scale.Px(units - design_frame) + frame : 0;
  };
  const LONG dx = design.right - design.left, dy = design.bottom - design.top;
  const LONG nx = now.right - now.left, ny = now.bottom - now.top;
  return {{outer(form.MinWidth, dx, nx), outer(form.MinHeight, dy, ny)},
          {outer(form.MaxWidth, dx, nx), outer(form.MaxHeight, dy, ny)}};
}

int WindowDpi(HWND hwnd) {
  using Fn = UINT(WINAPI*)(HWND);
  static Fn fn = User32Call<Fn>("GetDpiForWindow");
  return fn ? static_cast<int>(fn(hwnd)) : 0;
}

int SystemDpi() {
  HDC screen = GetDC(nullptr);
  int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kDesignDpi;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kDesignDpi;
}

void SetColorKey(HWND hwnd, COLORREF key) {
  using Fn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
  static Fn fn = reinterpret_cast<Fn>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetLayeredWindowAttributes")));
  if (fn) fn(hwnd, key, 255, LWA_COLORKEY);
}

void Win32Backend::ApplyFrame(Peer& peer, bool place) {
  TForm& form = static_cast<TForm&>(*peer.control);
  TForm* main = form.Application().MainForm();
  Frame frame = FrameOf(form, main == &form);
  DWORD old_style = static_cast<DWORD>(GetWindowLongPtrW(peer.hwnd, GWL_STYLE));
  DWORD old_ex = static_cast<DWORD>(GetWindowLongPtrW(peer.hwnd, GWL_EXSTYLE));
  const DWORD kept = WS_VISIBLE | WS_DISABLED | WS_MINIMIZE | WS_MAXIMIZE;
  DWORD style = frame.style | (old_style & kept);
  DWORD ex = frame.ex_style | (old_ex & ~(WS_EX_DLGMODALFRAME | WS_EX_APPWINDOW | WS_EX_LAYERED));
  bool frame_changed = style != old_style || ex != old_ex;
  if (frame_changed) {
    SetWindowLongPtrW(peer.hwnd, GWL_STYLE, static_cast<LONG_PTR>(style));
    SetWindowLongPtrW(peer.hwnd, GWL_EXSTYLE, static_cast<LONG_PTR>(ex));
    if (form.TransparentColor != clDefault) SetColorKey(peer.hwnd, form.TransparentColor & 0xFFFFFF);
  }
  SIZE size = OuterSize(form, style, ex);
  RECT now;
  GetWindowRect(peer.hwnd, &now);
  int x = now.left, y = now.top;
  if (place) {
    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    TForm* main_form = form.Application().MainForm();
    HWND main_hwnd = main_form && main_form != &form ? PeerOf(*main_form).hwnd : nullptr;
    if (form.Position() == TPosition::poMainFormCenter && main_hwnd && IsWindowVisible(main_hwnd)) {
      GetWindowRect(main_hwnd, &area);
    }
    if (form.Position() == TPosition::poDesigned) {
      x = scale_.Px(form.Left());
      y = scale_.Px(form.Top());
    } else {
      x = area.left + (area.right - area.left - size.cx) / 2;
      y = area.top + (area.bottom - area.top - size.cy) / 2;
      x = std::max<int>(x, 0);
      y = std::max<int>(y, 0);
    }
  }
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (frame_changed ? SWP_FRAMECHANGED : 0);
  SetWindowPos(peer.hwnd, nullptr, x, y, size.cx, size.cy, flags);
}

SIZE Win32Backend::OuterSize(const TForm& form, DWORD style, DWORD ex_style) {
  RECT r{0, 0, scale_.Px(form.ClientWidth()), scale_.Px(form.ClientHeight())};
  AdjustForDpi(r, style, ex_style, scale_.Dpi());
  return Clamp(LimitsOf(form, scale_, style, ex_style), {r.right - r.left, r.bottom - r.top});
}

void Win32Backend::ChangeDpi(int dpi) {
  if (dpi == scale_.Dpi()) return;
  scale_ = DisplayScale(dpi);
  ++generation_;
  // What the windows show now no longer matches: every place, font and list metric is set anew.
  for (auto& p : peers_) {
    p->bounds = {-1, -1, -1, -1};
    p->font = nullptr;
    p->item_height = -1;
    p->columns_pending = !p->columns.empty();
    if (p->tooltip) SendMessageA(p->tooltip, TTM_SETMAXTIPWIDTH, 0, scale_.Px(320));
  }
  for (auto& p : peers_) {
    if (!p->hwnd || !p->control) continue;
    if (p->control->Kind() == ControlKind::kLabel) MeasureLabel(static_cast<TLabel&>(*p->control));
    if (!p->top_level) Sync(*p);
  }
  for (auto& p : peers_) {
    if (p->hwnd && p->top_level) RedrawWindow(p->hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }
}

}  // namespace ui::win32
