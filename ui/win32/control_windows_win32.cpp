// Each kind of control's child window: its peer, class and styles, made with its children; the embedded browser.
#include "ui/win32/backend_win32.h"

#include "ui/application.h"
#include "ui/win32/classes.h"
#include "ui/win32/control_traits.h"
#include "ui/win32/peer.h"

namespace ui::win32 {

Peer& Win32Backend::PeerOf(TControl& control) {
  if (!control.peer) {
    auto peer = std::make_unique<Peer>();
    peer->backend = this;
    peer->control = &control;
    control.peer = peer.get();
    peers_.push_back(std::move(peer));
  }
  return *static_cast<Peer*>(control.peer);
}

HWND Win32Backend::WindowOf(TControl& control) {
  if (shut_down_) return nullptr;
  TForm* form = control.Form();
  if (!form || !EnsureForm(*form)) return nullptr;
  Peer& peer = PeerOf(control);
  if (!peer.hwnd) CreateWindows(control);
  return peer.hwnd;
}

HWND Win32Backend::ParentWindowOf(TControl& control) {
  TControl* parent = control.Parent();
  if (!parent) return nullptr;
  Peer& pp = PeerOf(*parent);
  return pp.hwnd;
}

void Win32Backend::CreateWindows(TControl& control) {
  Peer& peer = PeerOf(control);
  if (!peer.hwnd) {
    HWND parent = ParentWindowOf(control);
    if (!parent) {
      // The parent's window comes first; it makes this one with its children.
      if (control.Parent() && control.Parent()->Kind() != ControlKind::kForm) CreateWindows(*control.Parent());
      return;
    }
    const wchar_t* cls = nullptr;
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    DWORD ex = 0;
    std::string text = control.Caption();
    switch (control.Kind()) {
      case ControlKind::kLabel:
        cls = kLabelClass;
        if (control.TabStop()) style |= WS_TABSTOP;
        break;
      case ControlKind::kImage:
        cls = kPictureClass;
        if (control.TabStop()) style |= WS_TABSTOP;
        break;
      case ControlKind::kPanel:
      case ControlKind::kGroupBox:
      case ControlKind::kTabSheet:
        cls = kContainerClass;
        style |= WS_CLIPCHILDREN;
        ex |= WS_EX_CONTROLPARENT;
        break;
      case ControlKind::kWebBrowser:
        cls = kBrowserHostClass;
        style |= WS_CLIPCHILDREN | WS_TABSTOP;
        text.clear();
        break;
      case ControlKind::kButton:
        cls = L"BUTTON";
        style |= (static_cast<TButton&>(control).Default() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP;
        break;
      case ControlKind::kCheckBox:
        cls = L"BUTTON";
        style |= BS_AUTOCHECKBOX | WS_TABSTOP;
        break;
      case ControlKind::kEdit:
        cls = L"EDIT";
        style |= ES_AUTOHSCROLL | WS_TABSTOP;
        ex |= WS_EX_CLIENTEDGE;
        break;
      case ControlKind::kMemo:
        cls = L"EDIT";
        style |= ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP;
        if (static_cast<TMemo&>(control).ReadOnly()) style |= ES_READONLY;
        ex |= WS_EX_CLIENTEDGE;
        text = WithCrLf(text);
        break;
      case ControlKind::kComboBox:
        cls = L"COMBOBOX";
        style |= CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
        text.clear();
        break;
      case ControlKind::kListBox:
        cls = L"LISTBOX";
        style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP;
        ex |= WS_EX_CLIENTEDGE;
        text.clear();
        break;
      case ControlKind::kPageControl:
        cls = WC_TABCONTROLW;
        style |= WS_CLIPCHILDREN | WS_TABSTOP;
        ex |= WS_EX_CONTROLPARENT;
        text.clear();
        break;
      case ControlKind::kStatusBar:
        cls = STATUSCLASSNAMEW;
        style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
        if (control.Form()->BorderStyle() == TBorderStyle::bsSizeable) style |= SBARS_SIZEGRIP;
        break;
      case ControlKind::kListView: {
        auto& list = static_cast<TListView&>(control);
        cls = WC_LISTVIEWW;
        style |= LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | LVS_SINGLESEL | WS_TABSTOP;
        if (list.Border()) ex |= WS_EX_CLIENTEDGE;
        text.clear();
        break;
      }
      case ControlKind::kForm:
        return;
    }
    const TRect bounds = PixelBounds(control);
    RECT r{bounds.Left, bounds.Top, bounds.Left + bounds.Width, bounds.Top + bounds.Height};
    if (control.Kind() == ControlKind::kComboBox) r.bottom += scale_.Px(kComboDropDownHeight);
    HWND hwnd = CreateWindowExW(ex, cls, Wide(text).c_str(), style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                parent, nullptr, instance_, &peer);
    if (!hwnd) return;
    if (!PaintsItself(control.Kind()) && control.Kind() != ControlKind::kWebBrowser) {
      peer.hwnd = hwnd;
      AttachPeer(hwnd, &peer);
      peer.old_proc = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32Backend::SubclassProc)));
    }
    // Later controls paint above earlier ones: the newest window goes on top of its siblings.
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    peer.bounds = bounds;
    peer.shown = 0;
    peer.enabled = 1;
    peer.has_text = true;
    peer.text = control.Caption();
    if (control.Kind() == ControlKind::kListView) CreateListRows(peer);
    ++generation_;
    Sync(peer);
    Annotate(peer);
  }
  for (TControl* child : control.Controls()) CreateWindows(*child);
  if (control.Kind() == ControlKind::kPageControl) SyncPageControl(static_cast<TPageControl&>(control));
}
bool Win32Backend::Navigate(TWebBrowser& browser, const std::string& url) {
  if (shut_down_ || !browser_factory_) return false;
  HWND host = WindowOf(browser);
  if (!host) return false;
  Peer& peer = PeerOf(browser);
  if (!peer.browser) {
    peer.browser = browser_factory_(host);
    if (!peer.browser) return false;
    RECT r = DeviceRect(browser);
    peer.browser->Resize(r.right - r.left, r.bottom - r.top);
    // Posted: the browser reports from inside its own calls, where the form must not act yet.
    peer.browser->OnNavigateError = [host] { PostMessageA(host, kBrowserFailedMessage, 0, 0); };
  }
  return peer.browser->Navigate(url);
}

}  // namespace ui::win32
