// The backend's life: window classes, the hidden window, the main loop, posted messages, errors and shutdown.
#include "ui/win32/backend_win32.h"

#include "ui/application.h"
#include "ui/win32/classes.h"
#include "ui/win32/form_frame.h"
#include "ui/win32/peer.h"

namespace ui::win32 {

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
