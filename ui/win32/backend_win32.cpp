// Forms, the message loops, posted messages and the general error display.
#include "ui/win32/backend_win32.h"
// clang-format off
#include <dbt.h>
// clang-format on

#include <algorithm>

#include "ui/application.h"
#include "ui/win32/classes.h"
#include "ui/win32/peer.h"

namespace ui::win32 {

namespace {

// The window styles of a form's frame.
struct Frame {
  DWORD style;
  DWORD ex_style;
};

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

// The form's outer size limits in pixels (0: none). They are designed as outer sizes on a 96-DPI
// display; elsewhere their client part scales and the frame is the one the system draws at that
// DPI, since frames do not grow in step with the DPI.
struct Limits {
  SIZE min{}, max{};
};
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

// The limits applied to a proposed outer size.
SIZE Clamp(const Limits& limits, SIZE size) {
  if (limits.min.cx > 0) size.cx = std::max(size.cx, limits.min.cx);
  if (limits.min.cy > 0) size.cy = std::max(size.cy, limits.min.cy);
  if (limits.max.cx > 0) size.cx = std::min(size.cx, limits.max.cx);
  if (limits.max.cy > 0) size.cy = std::min(size.cy, limits.max.cy);
  return size;
}

// The DPI of the display a window is on; 0 where the system cannot tell one window's.
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

#ifndef WM_DPICHANGED
constexpr UINT WM_DPICHANGED = 0x02E0;
#endif

// SetLayeredWindowAttributes is looked up, so that the program still starts where it is missing.
void SetColorKey(HWND hwnd, COLORREF key) {
  using Fn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
  static Fn fn = reinterpret_cast<Fn>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetLayeredWindowAttributes")));
  if (fn) fn(hwnd, key, 255, LWA_COLORKEY);
}

bool IsOwnPrivateMessage(UINT msg) { return msg >= kFirstPrivateMessage && msg <= kLastPrivateMessage; }

}  // namespace

Win32Backend::Win32Backend(HINSTANCE instance) : instance_(instance), scale_(SystemDpi()) {
  icon_big_ = LoadIconA(instance_, MAKEINTRESOURCEA(kAppIconId));
  if (!icon_big_) icon_big_ = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  icon_small_ = static_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(kAppIconId), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  if (!icon_small_) icon_small_ = icon_big_;
  RegisterClasses();
  taskbar_created_ = RegisterWindowMessageW(L"TaskbarCreated");
  // A hidden top-level window (not a message-only one) so that it hears the taskbar restart.
  hidden_ =
      CreateWindowExW(WS_EX_TOOLWINDOW, kHiddenClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance_, nullptr);
  SetWindowLongPtrW(hidden_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32Backend::~Win32Backend() { Shutdown(); }

void Win32Backend::RegisterClasses() {
  struct ClassInfo {
    const wchar_t* name;
    WNDPROC proc;
    HBRUSH background;
    HICON icon;
  };
  const ClassInfo classes[] = {
      {kFormClass, FormProc, nullptr, icon_big_},
      {kLabelClass, LabelProc, nullptr, nullptr},
      {kPictureClass, PictureProc, nullptr, nullptr},
      {kContainerClass, ContainerProc, nullptr, nullptr},
      {kBrowserHostClass, BrowserHostProc, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), nullptr},
      {kHiddenClass, HiddenProc, nullptr, nullptr},
  };
  for (const ClassInfo& c : classes) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = c.proc == FormProc ? CS_HREDRAW | CS_VREDRAW : 0;
    wc.lpfnWndProc = c.proc;
    wc.hInstance = instance_;
    wc.hIcon = c.icon;
    wc.hIconSm = c.icon ? icon_small_ : nullptr;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = c.background;
    wc.lpszClassName = c.name;
    // A second backend in the same process (tests) finds the classes registered already.
    RegisterClassExW(&wc);
  }
}

void Win32Backend::Shutdown() {
  if (shut_down_) return;
  shut_down_ = true;
  for (auto& cp : component_peers_) {
    RemoveTray(*cp);
    if (cp->running_interval) KillTimer(hidden_, cp->timer_id);
    if (cp->animation_interval) KillTimer(hidden_, cp->animation_timer);
    for (HICON icon : cp->frame_icons) DestroyIcon(icon);
    cp->frame_icons.clear();
  }
  for (auto& p : peers_) p->browser.reset();
  ReleaseAnnotations();
  // Destroying the forms destroys their children; owned forms go before their owner. Only the
  // peers are used from here on: the controls may be gone already.
  for (auto it = peers_.rbegin(); it != peers_.rend(); ++it) {
    if ((*it)->top_level && (*it)->hwnd) DestroyWindow((*it)->hwnd);
  }
  forms_.clear();
  modal_stack_.clear();
  for (auto& p : peers_) {
    p->hwnd = nullptr;
    if (p->picture_bitmap) DeleteObject(p->picture_bitmap);
    if (p->backdrop_brush) DeleteObject(p->backdrop_brush);
    if (p->backdrop_bitmap) DeleteObject(p->backdrop_bitmap);
    p->picture_bitmap = nullptr;
    p->backdrop_brush = nullptr;
    p->backdrop_bitmap = nullptr;
  }
  for (auto& [key, font] : fonts_) DeleteObject(font);
  fonts_.clear();
  if (hidden_) DestroyWindow(hidden_);
  hidden_ = nullptr;
  // A quit request that no loop picked up must not end the next loop of this thread.
  MSG msg;
  PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

// ---- forms ----

HWND Win32Backend::EnsureForm(TForm& form) {
  if (shut_down_) return nullptr;
  Peer& peer = PeerOf(form);
  if (peer.hwnd) return peer.hwnd;
  TForm* main = form.Application().MainForm();
  HWND owner = nullptr;
  if (main && main != &form) owner = EnsureForm(*main);
  Frame frame = FrameOf(form, main == &form);
  SIZE size = OuterSize(form, frame.style, frame.ex_style);
  CreateWindowExW(frame.ex_style, kFormClass, Wide(form.Caption()).c_str(), frame.style, scale_.Px(form.Left()),
                  scale_.Px(form.Top()), size.cx, size.cy, owner, nullptr, instance_, &peer);
  if (!peer.hwnd) return nullptr;
  // The first window tells the DPI of the display it is on, which a per-monitor one may not share
  // with the system.
  if (int dpi = WindowDpi(peer.hwnd); dpi > 0 && dpi != scale_.Dpi()) ChangeDpi(dpi);
  peer.top_level = true;
  forms_.push_back(&form);
  SendMessageA(peer.hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_big_));
  SendMessageA(peer.hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_small_));
  if (form.TransparentColor != clDefault) SetColorKey(peer.hwnd, form.TransparentColor & 0xFFFFFF);

  peer.tooltip =
      CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, peer.hwnd, nullptr, instance_, nullptr);
  if (peer.tooltip) {
    SendMessageA(peer.tooltip, TTM_SETMAXTIPWIDTH, 0, scale_.Px(320));
    // Long hints stay up long enough to be read.
    SendMessageA(peer.tooltip, TTM_SETDELAYTIME, TTDT_AUTOPOP, 15000);
  }
  peer.text = form.Caption();
  peer.has_text = true;
  AlignTree(form);
  for (TControl* child : form.Controls()) CreateWindows(*child);
  return peer.hwnd;
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

// Caption, size and enabled state of a form whose window exists.
void Win32Backend::ApplyFormState(Peer& peer) {
  TForm& form = static_cast<TForm&>(*peer.control);
  if (!peer.has_text || peer.text != form.Caption()) {
    SetWindowTextW(peer.hwnd, Wide(form.Caption()).c_str());
    peer.text = form.Caption();
    peer.has_text = true;
  }
  RECT client;
  GetClientRect(peer.hwnd, &client);
  // Compared in units: a size the user gave in pixels need not come back to the same pixels.
  if (!IsIconic(peer.hwnd) &&
      (scale_.Units(client.right) != form.ClientWidth() || scale_.Units(client.bottom) != form.ClientHeight())) {
    ApplyFrame(peer, false);
  }
  int enabled = form.Enabled() ? 1 : 0;
  if (peer.enabled != enabled) {
    peer.enabled = enabled;
    EnableWindow(peer.hwnd, enabled);
  }
  ++generation_;
  InvalidateRect(peer.hwnd, nullptr, TRUE);
}

void Win32Backend::ShowForm(TForm& form) {
  HWND hwnd = EnsureForm(form);
  if (!hwnd) return;
  Peer& peer = PeerOf(form);
  bool was_visible = IsWindowVisible(hwnd);
  // A dialog gives the focus back, when it closes, to the control that had it before.
  if (!was_visible) {
    HWND focus = GetFocus();
    peer.return_focus = focus && GetAncestor(focus, GA_ROOT) != hwnd ? focus : nullptr;
  }
  ApplyFormState(peer);
  ApplyFrame(peer, !was_visible);
  AlignChildren(form);
  ShowWindow(hwnd, SW_SHOWNORMAL);
  SetForegroundWindow(hwnd);
  UpdateWindow(hwnd);
  if (form.InModalLoop()) {
    std::vector<HWND> stops = TabStops(form);
    if (!stops.empty()) SetFocus(stops.front());
  }
}

void Win32Backend::HideForm(TForm& form) {
  if (shut_down_) return;
  Peer& peer = PeerOf(form);
  if (!peer.hwnd) return;
  // The owner is enabled again before the dialog goes, so that activation returns to it.
  const bool was_visible = IsWindowVisible(peer.hwnd);
  ShowWindow(peer.hwnd, SW_HIDE);
  HWND back = peer.return_focus;
  peer.return_focus = nullptr;
  if (was_visible && back && IsWindow(back) && IsWindowVisible(back) && IsWindowEnabled(back)) {
    SetForegroundWindow(GetAncestor(back, GA_ROOT));
    SetFocus(back);
  }
  // A closed form keeps no page loading behind it; its next show navigates afresh.
  for (auto& p : peers_) {
    if (p->browser && p->control && p->control->Form() == &form) p->browser.reset();
  }
}

TModalResult Win32Backend::RunModal(TForm& form) {
  HWND hwnd = EnsureForm(form);
  if (!hwnd) return TModalResult::mrCancel;
  std::vector<HWND> disabled;
  for (TForm* other : forms_) {
    HWND h = PeerOf(*other).hwnd;
    if (other != &form && h && IsWindowEnabled(h)) {
      EnableWindow(h, FALSE);
      disabled.push_back(h);
    }
  }
  modal_stack_.push_back(&form);
  bool quit = false;
  WPARAM quit_code = 0;
  // The result may also be set by a message sent from another thread (a worker's task), which
  // the system handles inside the wait without returning a message: so the loop peeks, checks,
  // and only then waits.
  while (form.ModalResult() == TModalResult::mrNone) {
    MSG msg;
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        quit = true;
        quit_code = msg.wParam;
        break;
      }
      DispatchOne(msg);
      continue;
    }
    if (form.ModalResult() != TModalResult::mrNone) break;
    WaitMessage();
  }
  modal_stack_.pop_back();
  for (HWND h : disabled) EnableWindow(h, TRUE);
  // The outer loop must see the quit request too.
  if (quit) PostQuitMessage(static_cast<int>(quit_code));
  TModalResult result = form.ModalResult();
  return result == TModalResult::mrNone ? TModalResult::mrCancel : result;
}

// A batch's changes reach the windows together at its end, each control's once: a control that a
// page change hides and the next page shows again is never hidden at all. The painting follows
// once, when the message that made the batch returns. WM_SETREDRAW would do the painting part too,
// but Windows implements it by taking the form's visible style away, so that other programs
// (screen readers, UI automation) saw every control of a frozen form as hidden.
void Win32Backend::FreezeForm(TForm& form, bool frozen) {
  if (shut_down_) return;
  Peer& peer = PeerOf(form);
  if (frozen) {
    peer.batching = peer.hwnd != nullptr;  // nothing on screen yet: the windows are made as they stand
    return;
  }
  peer.batching = false;
  std::vector<TControl*> changed = std::move(peer.batched);
  peer.batched.clear();
  for (TControl* control : changed) ControlChanged(*control);
}

void Win32Backend::PostMessage(TForm& form, unsigned message) {
  HWND hwnd = EnsureForm(form);
  if (hwnd) PostMessageA(hwnd, message, 0, 0);
}

platform::WindowHandle Win32Backend::Handle(const TForm& form) {
  return reinterpret_cast<platform::WindowHandle>(EnsureForm(const_cast<TForm&>(form)));
}

void Win32Backend::Run() {
  if (shut_down_) return;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchOne(msg);
}

void Win32Backend::Terminate() { PostQuitMessage(0); }

HWND Win32Backend::OwnerForMessages() {
  if (!modal_stack_.empty()) return PeerOf(*modal_stack_.back()).hwnd;
  for (TForm* form : forms_)
    if (form->Application().MainForm() == form) return PeerOf(*form).hwnd;
  return nullptr;
}

void Win32Backend::ShowErrorMessage(const std::string& title, const std::string& text) {
  MessageBoxW(shut_down_ ? nullptr : OwnerForMessages(), Wide(text).c_str(), Wide(title).c_str(), MB_OK | MB_ICONERROR);
}

// ---- the keyboard ----

void Win32Backend::DispatchOne(MSG& msg) {
  if (PreTranslate(msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

// Tab and Shift+Tab move between the controls in creation order, Enter presses a focused push
// button and Escape closes a modal form. The windows' z-order is their painting order, so the
// dialog manager's own navigation (which follows z-order) is not used.
bool Win32Backend::PreTranslate(MSG& msg) {
  if (BrowserKey(msg)) return true;
  if ((msg.message != WM_KEYDOWN && msg.message != WM_SYSCHAR) || !msg.hwnd) return false;
  if (msg.message == WM_KEYDOWN && msg.wParam != VK_TAB && msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE)
    return false;
  HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  Peer* fp = PeerFromWindow(root);
  if (!fp || fp->backend != this || fp->control->Kind() != ControlKind::kForm) return false;
  TForm& form = static_cast<TForm&>(*fp->control);
  // Alt and the underlined letter of a button or check box caption ("&OK") presses it.
  if (msg.message == WM_SYSCHAR) {
    HWND target = MnemonicTarget(form, static_cast<char>(msg.wParam));
    if (!target) return false;
    SetFocus(target);
    SendMessageA(target, BM_CLICK, 0, 0);
    return true;
  }
  if (msg.wParam == VK_TAB) {
    if (GetKeyState(VK_CONTROL) < 0) return false;
    // From the first use of the keyboard on, the focused control shows its focus rectangle.
    SendMessageA(root, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    MoveFocus(form, GetKeyState(VK_SHIFT) >= 0);
    return true;
  }
  char cls[16] = {};
  GetClassNameA(msg.hwnd, cls, sizeof cls);
  if (msg.wParam == VK_RETURN) {
    LONG_PTR type = GetWindowLongPtrW(msg.hwnd, GWL_STYLE) & BS_TYPEMASK;
    if (lstrcmpiA(cls, "Button") == 0 && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)) {
      SendMessageA(msg.hwnd, BM_CLICK, 0, 0);
      return true;
    }
    // A focused link or picture, and a memo, take Enter themselves.
    Peer* focused = PeerFromWindow(msg.hwnd);
    if (focused && focused->control->TabStop()) return false;
    if (GetWindowLongPtrW(msg.hwnd, GWL_STYLE) & ES_MULTILINE && lstrcmpiA(cls, "Edit") == 0) return false;
    if (HWND button = RoleButton(form, &TButton::Default)) {
      SendMessageA(button, BM_CLICK, 0, 0);
      return true;
    }
    return false;
  }
  // Escape: a dropped-down combo box closes its list first.
  if (lstrcmpiA(cls, "ComboBox") == 0 && SendMessageA(msg.hwnd, CB_GETDROPPEDSTATE, 0, 0)) return false;
  if (HWND button = RoleButton(form, &TButton::Cancel)) {
    SendMessageA(button, BM_CLICK, 0, 0);
    return true;
  }
  if (form.InModalLoop()) {
    form.Close();
    return true;
  }
  return false;
}

// The visible, enabled button of the form that is its default (or cancel) one.
HWND Win32Backend::RoleButton(TControl& root, bool (TButton::*role)() const) {
  for (TControl* child : root.Controls()) {
    Peer* peer = static_cast<Peer*>(child->peer);
    if (!peer || !peer->hwnd || !IsWindowVisible(peer->hwnd) || !IsWindowEnabled(peer->hwnd)) continue;
    if (child->Kind() == ControlKind::kButton && (static_cast<TButton*>(child)->*role)()) return peer->hwnd;
    if (HWND inner = RoleButton(*child, role)) return inner;
  }
  return nullptr;
}

// Keys for a page in an embedded browser go to the page first, so that Tab walks its links
// before it leaves the page for the next control.
bool Win32Backend::BrowserKey(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  for (HWND h = msg.hwnd; h; h = GetParent(h)) {
    Peer* peer = PeerFromWindow(h);
    if (!peer || peer->backend != this) continue;
    if (peer->control->Kind() != ControlKind::kWebBrowser) return false;
    return h != msg.hwnd && peer->browser && peer->browser->TranslateKey(msg);
  }
  return false;
}

HWND Win32Backend::MnemonicTarget(TControl& root, char key) {
  for (TControl* child : root.Controls()) {
    Peer* peer = static_cast<Peer*>(child->peer);
    if (!peer || !peer->hwnd || !IsWindowVisible(peer->hwnd) || !IsWindowEnabled(peer->hwnd)) continue;
    if (child->Kind() == ControlKind::kButton || child->Kind() == ControlKind::kCheckBox) {
      const std::string& caption = child->Caption();
      for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
          ++i;  // "&&" is a literal ampersand
          continue;
        }
        if (CharLowerA(reinterpret_cast<LPSTR>(static_cast<uintptr_t>(static_cast<unsigned char>(caption[i + 1])))) ==
            CharLowerA(reinterpret_cast<LPSTR>(static_cast<uintptr_t>(static_cast<unsigned char>(key)))))
          return peer->hwnd;
        break;
      }
    }
    if (HWND inner = MnemonicTarget(*child, key)) return inner;
  }
  return nullptr;
}

std::vector<HWND> Win32Backend::TabStops(TControl& root) {
  std::vector<TControl*> children = root.Controls();
  auto place = [&](TControl* c) {
    int order = c->TabOrder();
    return order >= 0 ? order
                      : static_cast<int>(std::find(root.Controls().begin(), root.Controls().end(), c) -
                                         root.Controls().begin());
  };
  std::stable_sort(children.begin(), children.end(), [&](TControl* a, TControl* b) { return place(a) < place(b); });
  std::vector<HWND> stops;
  for (TControl* child : children) {
    Peer* peer = static_cast<Peer*>(child->peer);
    if (!peer || !peer->hwnd || !IsWindowVisible(peer->hwnd) || !IsWindowEnabled(peer->hwnd)) continue;
    if (GetWindowLongPtrW(peer->hwnd, GWL_STYLE) & WS_TABSTOP) stops.push_back(peer->hwnd);
    std::vector<HWND> inner = TabStops(*child);
    stops.insert(stops.end(), inner.begin(), inner.end());
  }
  return stops;
}

void Win32Backend::MoveFocus(TForm& form, bool forward) {
  std::vector<HWND> stops = TabStops(form);
  if (stops.empty()) return;
  HWND focus = GetFocus();
  auto at = stops.end();
  for (HWND h = focus; h && at == stops.end(); h = GetParent(h)) at = std::find(stops.begin(), stops.end(), h);
  size_t next = 0;
  if (at == stops.end()) {
    next = forward ? 0 : stops.size() - 1;
  } else {
    size_t i = static_cast<size_t>(at - stops.begin());
    next = forward ? (i + 1) % stops.size() : (i + stops.size() - 1) % stops.size();
  }
  SetFocus(stops[next]);
}

// ---- the form's window ----

LRESULT CALLBACK Win32Backend::FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* peer = static_cast<Peer*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
    peer->hwnd = hwnd;
    AttachPeer(hwnd, peer);
  }
  Peer* peer = PeerFromWindow(hwnd);
  if (!peer || peer->hwnd != hwnd) return DefWindowProcW(hwnd, msg, wp, lp);
  // While the backend shuts down, the windows go without a word to their controls.
  if (peer->backend->shut_down_ && msg != WM_NCDESTROY) return DefWindowProcW(hwnd, msg, wp, lp);
  try {
    return peer->backend->FormMessage(*peer, msg, wp, lp);
  } catch (...) {
    // Nothing may unwind through the system's frames; the handlers report their own errors.
    return 0;
  }
}

LRESULT Win32Backend::FormMessage(Peer& peer, UINT msg, WPARAM wp, LPARAM lp) {
  TForm& form = static_cast<TForm&>(*peer.control);
  LRESULT result = 0;
  if (ChildNotification(msg, wp, lp, result)) return result;
  switch (msg) {
    case WM_CLOSE:
      form.Application().Guard([&] { form.Close(); });
      return 0;
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(peer.hwnd, &r);
      HBRUSH brush = CreateSolidBrush(BackgroundColor(form));
      FillRect(reinterpret_cast<HDC>(wp), &r, brush);
      DeleteObject(brush);
      return 1;
    }
    case WM_SIZE:
      if (wp != SIZE_MINIMIZED && !shut_down_) {
        form.SetClientSize(scale_.Units(LOWORD(lp)), scale_.Units(HIWORD(lp)));
        AlignChildren(form);
      }
      return 0;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lp);
      const Limits limits = LimitsOf(form, scale_, static_cast<DWORD>(GetWindowLongPtrW(peer.hwnd, GWL_STYLE)),
                                     static_cast<DWORD>(GetWindowLongPtrW(peer.hwnd, GWL_EXSTYLE)));
      if (limits.min.cx > 0) info->ptMinTrackSize.x = limits.min.cx;
      if (limits.min.cy > 0) info->ptMinTrackSize.y = limits.min.cy;
      if (limits.max.cx > 0) info->ptMaxTrackSize.x = info->ptMaxSize.x = limits.max.cx;
      if (limits.max.cy > 0) info->ptMaxTrackSize.y = info->ptMaxSize.y = limits.max.cy;
      return 0;
    }
    case WM_DPICHANGED: {
      // Moved to a display of another DPI (per-monitor awareness): the system proposes the
      // window's new place and size; the client keeps its size in units.
      ChangeDpi(LOWORD(wp));
      const RECT& proposed = *reinterpret_cast<const RECT*>(lp);
      SIZE size = OuterSize(form, static_cast<DWORD>(GetWindowLongPtrW(peer.hwnd, GWL_STYLE)),
                            static_cast<DWORD>(GetWindowLongPtrW(peer.hwnd, GWL_EXSTYLE)));
      SetWindowPos(peer.hwnd, nullptr, proposed.left, proposed.top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wp) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(peer.hwnd, focus)) peer.last_focus = focus;
      } else if (peer.last_focus && IsWindow(peer.last_focus) && IsWindowVisible(peer.last_focus) &&
                 IsWindowEnabled(peer.last_focus)) {
        SetFocus(peer.last_focus);
        return 0;
      }
      break;
    case kRefocusMessage:
      // Unless the user or a dialog has moved the focus since, or a disabled button waits for it.
      if (GetFocus() == peer.hwnd && !peer.parked_focus) {
        std::vector<HWND> stops = TabStops(form);
        if (!stops.empty()) SetFocus(stops.front());
      }
      return 0;
    case WM_DEVICECHANGE:
      if ((wp == DBT_DEVICEARRIVAL || wp == DBT_DEVICEREMOVECOMPLETE) && lp &&
          reinterpret_cast<DEV_BROADCAST_HDR*>(lp)->dbch_devicetype == DBT_DEVTYP_VOLUME) {
        form.Application().Guard([&] { form.HandleMessage(CM_VOLUMES_CHANGED); });
      }
      return TRUE;
    case WM_NCDESTROY:
      DetachPeer(peer.hwnd);
      {
        HWND hwnd = peer.hwnd;
        peer.hwnd = nullptr;
        peer.tooltip = nullptr;
        return DefWindowProcW(hwnd, msg, wp, lp);
      }
    default:
      // The form's private messages (WM_USER and WM_APP ranges), posted by PostMessage or by
      // another program, go to its HandleMessage.
      if (msg >= WM_USER && msg < 0xC000 && !IsOwnPrivateMessage(msg)) {
        form.Application().Guard([&] { form.HandleMessage(msg); });
        return 0;
      }
      break;
  }
  return DefWindowProcW(peer.hwnd, msg, wp, lp);
}

// ---- the hidden window: timers and notification-area icons ----

LRESULT CALLBACK Win32Backend::HiddenProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<Win32Backend*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  try {
    if (msg == WM_TIMER && wp == kSyncListsTimer) {
      self->SyncPendingLists();
      return 0;
    }
    if (msg == WM_TIMER) {
      self->TimerFired(wp);
      return 0;
    }
    if (msg == kTrayCallbackMessage) return 0;  // the icons do not react to the mouse
    if (msg == kSyncListsMessage) {
      self->SyncPendingLists();
      return 0;
    }
    if (msg == self->taskbar_created_ && msg != 0) {
      self->ReaddTrayIcons();
      return 0;
    }
  } catch (...) {
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace ui::win32
