// Child windows of every kind: making them, mirroring the controls' state onto them, aligning
// docked controls, tooltips, and turning the windows' notifications into the controls' events.
#include <algorithm>

#include "ui/application.h"
#include "ui/win32/backend_win32.h"
#include "ui/win32/classes.h"
#include "ui/win32/peer.h"

namespace ui::win32 {

namespace {

bool IsContainer(ControlKind kind) {
  return kind == ControlKind::kPanel || kind == ControlKind::kGroupBox || kind == ControlKind::kTabSheet;
}

bool PaintsItself(ControlKind kind) {
  return kind == ControlKind::kLabel || kind == ControlKind::kImage || IsContainer(kind);
}

// The drop-down part of a combo box is part of its window's height.
constexpr int kComboDropDownHeight = 200;

// A status bar without an alignment of its own sits at the bottom, as the toolkit's does.
TAlign EffectiveAlign(const TControl& c) {
  if (c.Kind() == ControlKind::kStatusBar && c.Align() == TAlign::alNone) return TAlign::alBottom;
  return c.Align();
}

bool EffectiveShowHint(const TControl& c) {
  for (const TControl* p = &c; p; p = p->Parent())
    if (p->ShowHint()) return true;
  return false;
}

std::string WindowText(HWND hwnd) {
  int n = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<size_t>(std::max(n, 0)) + 1, L'\0');
  n = GetWindowTextW(hwnd, text.data(), n + 1);
  text.resize(static_cast<size_t>(std::max(n, 0)));
  return Utf8(text);
}

// A memo shows line breaks only as CR LF.
std::string WithCrLf(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char ch = text[i];
    if (ch == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += ch;
    if (ch == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')) out += '\n';
  }
  return out;
}

TMouseButton ButtonOf(UINT msg) {
  switch (msg) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      return TMouseButton::mbRight;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      return TMouseButton::mbMiddle;
    default:
      return TMouseButton::mbLeft;
  }
}

}  // namespace

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

void Win32Backend::ControlChanged(TControl& control) {
  if (shut_down_) return;
  if (control.Kind() == ControlKind::kLabel) MeasureLabel(static_cast<TLabel&>(control));
  // Docking waits for the form's window, as the toolkit waits for a form to finish loading: it
  // then sees the designed places of all docked controls at once and keeps their order.
  if (control.Kind() == ControlKind::kForm) {
    Peer& peer = PeerOf(control);
    if (peer.hwnd) {
      ApplyFormState(peer);
      AlignChildren(control);
    }
    return;
  }
  TForm* form = control.Form();
  if (!form || !PeerOf(*form).hwnd) return;
  if (Peer& form_peer = PeerOf(*form); form_peer.batching) {
    if (std::find(form_peer.batched.begin(), form_peer.batched.end(), &control) == form_peer.batched.end()) {
      form_peer.batched.push_back(&control);
    }
    return;
  }
  if (EffectiveAlign(control) != TAlign::alNone && control.Parent()) AlignChildren(*control.Parent());
  if (IsContainer(control.Kind())) AlignChildren(control);

  Peer& peer = PeerOf(control);
  if (!peer.hwnd) {
    CreateWindows(control);
    return;
  }
  Sync(peer);
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

void Win32Backend::Sync(Peer& peer) {
  TControl& c = *peer.control;
  HWND hwnd = peer.hwnd;
  SyncBounds(peer);
  const int was_shown = peer.shown;
  SyncVisibility(peer);
  int enabled = c.Enabled() ? 1 : 0;
  const bool state_changed = peer.shown != was_shown || peer.enabled != enabled;
  if (peer.enabled != enabled) {
    peer.enabled = enabled;
    // A control disabled under the focus (a button during its run) parks it on the form and takes
    // it back when enabled again, unless the user has moved it meanwhile.
    HWND root = GetAncestor(hwnd, GA_ROOT);
    Peer* form = PeerFromWindow(root);
    if (!enabled && (GetFocus() == hwnd || IsChild(hwnd, GetFocus()))) {
      if (form) form->parked_focus = hwnd;
      SetFocus(root);
    }
    EnableWindow(hwnd, enabled);
    if (enabled && form && form->parked_focus == hwnd) {
      form->parked_focus = nullptr;
      if (GetFocus() == root && IsWindowVisible(hwnd)) SetFocus(hwnd);
    }
  }
  // A page shown or a button enabled ends a phase (a scan, a cleaning run): from then on the
  // lists show every row, without waiting for their display rate.
  if (state_changed && !pending_lists_.empty()) SyncPendingLists();
  HFONT font = FontFor(c.Font());
  if (peer.font != font) {
    peer.font = font;
    if (!PaintsItself(c.Kind())) SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }

  switch (c.Kind()) {
    case ControlKind::kEdit:
    case ControlKind::kMemo: {
      std::string want = c.Kind() == ControlKind::kMemo ? WithCrLf(c.Caption()) : c.Caption();
      if (WindowText(hwnd) != want) {
        peer.updating = true;
        SetWindowTextW(hwnd, Wide(want).c_str());
        peer.updating = false;
      }
      if (c.Kind() == ControlKind::kMemo) {
        bool read_only = static_cast<TMemo&>(c).ReadOnly();
        if (read_only != peer.read_only) {
          peer.read_only = read_only;
          SendMessageA(hwnd, EM_SETREADONLY, read_only, 0);
        }
      }
      break;
    }
    case ControlKind::kComboBox: {
      auto& combo = static_cast<TComboBox&>(c);
      if (peer.items != combo.Items()) {
        peer.updating = true;
        SendMessageA(hwnd, CB_RESETCONTENT, 0, 0);
        for (const std::string& item : combo.Items())
          SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
        peer.updating = false;
        peer.items = combo.Items();
        peer.item_index = -2;
      }
      if (peer.item_index != combo.ItemIndex()) {
        peer.item_index = combo.ItemIndex();
        SendMessageA(hwnd, CB_SETCURSEL, static_cast<WPARAM>(combo.ItemIndex()), 0);
      }
      break;
    }
    case ControlKind::kListBox: {
      auto& list = static_cast<TListBox&>(c);
      const auto& items = list.Items();
      bool grows = items.size() >= peer.items.size() && std::equal(peer.items.begin(), peer.items.end(), items.begin());
      if (!grows) {
        SendMessageA(hwnd, LB_RESETCONTENT, 0, 0);
        peer.items.clear();
      }
      for (size_t i = peer.items.size(); i < items.size(); ++i)
        SendMessageW(hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(items[i]).c_str()));
      peer.items = items;
      if (peer.item_height != list.ItemHeight()) {
        peer.item_height = list.ItemHeight();
        SendMessageA(hwnd, LB_SETITEMHEIGHT, 0, MAKELPARAM(scale_.Px(list.ItemHeight()), 0));
        InvalidateRect(hwnd, nullptr, TRUE);
      }
      break;
    }
    case ControlKind::kCheckBox: {
      WPARAM want = static_cast<TCheckBox&>(c).Checked() ? BST_CHECKED : BST_UNCHECKED;
      if (static_cast<WPARAM>(SendMessageA(hwnd, BM_GETCHECK, 0, 0)) != want) SendMessageA(hwnd, BM_SETCHECK, want, 0);
      [[fallthrough]];
    }
    case ControlKind::kButton:
    case ControlKind::kStatusBar:
      if (peer.text != c.Caption()) {
        peer.text = c.Caption();
        SetWindowTextW(hwnd, Wide(c.Caption()).c_str());
      }
      // The colours of the text and of the backdrop may have changed.
      InvalidateRect(hwnd, nullptr, TRUE);
      break;
    case ControlKind::kPageControl:
      SyncPageControl(static_cast<TPageControl&>(c));
      break;
    case ControlKind::kTabSheet:
      if (c.Parent() && c.Parent()->Kind() == ControlKind::kPageControl)
        SyncPageControl(static_cast<TPageControl&>(*c.Parent()));
      [[fallthrough]];
    case ControlKind::kLabel:
    case ControlKind::kPanel:
    case ControlKind::kGroupBox:
      if (peer.text != c.Caption()) {
        peer.text = c.Caption();
        // The window text is what other programs read; the painting uses the control's caption.
        SetWindowTextW(hwnd, Wide(c.Caption()).c_str());
        if (c.TabStop()) Annotate(peer);
      }
      InvalidateRect(hwnd, nullptr, FALSE);
      break;
    case ControlKind::kImage:
      // A picture that acts is named by its caption for other programs and screen readers.
      if (peer.text != c.Caption()) {
        peer.text = c.Caption();
        SetWindowTextW(hwnd, Wide(c.Caption()).c_str());
        if (c.TabStop()) Annotate(peer);
      }
      PictureChanged(peer);
      break;
    case ControlKind::kListView:
      SyncListView(peer);
      break;
    case ControlKind::kWebBrowser:
    case ControlKind::kForm:
      break;
  }
  SyncTooltip(peer);
}

RECT Win32Backend::DeviceRect(const TControl& control) const {
  // Where the control's window stands (PixelBounds may have widened it); where its bounds scale
  // to while it has none.
  const auto* peer = static_cast<const Peer*>(control.peer);
  const bool placed = control.Kind() != ControlKind::kForm && peer && peer->hwnd && peer->bounds.Width >= 0;
  const TRect r = placed ? peer->bounds : scale_.Px(control.BoundsRect());
  return {r.Left, r.Top, r.Left + r.Width, r.Top + r.Height};
}

// Room beside a check box's caption for the box and the gap before the text, in units.
constexpr int kCheckBoxGlyphRoom = 18;

TRect Win32Backend::PixelBounds(TControl& c) {
  TRect r = scale_.Px(c.BoundsRect());
  if (c.Kind() != ControlKind::kCheckBox || scale_.Dpi() == kDesignDpi || c.Caption().empty()) return r;
  // A font's text does not grow in step with its height (Tahoma 22 px runs wider than twice
  // Tahoma 11 px), so a caption that fits its designed width may be cut at another DPI, and a cut
  // caption hides what the box is for: the box then grows to the right, as far as its parent's
  // client area allows. At the design's DPI the designed width stands.
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, FontFor(c.Font()));
  const std::wstring text = Wide(c.Caption());
  RECT extent{0, 0, 0, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &extent, DT_CALCRECT | DT_SINGLELINE);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  const int needed = extent.right + scale_.Px(kCheckBoxGlyphRoom);
  if (needed <= r.Width) return r;
  int width = needed;
  if (HWND parent = ParentWindowOf(c)) {
    RECT client;
    GetClientRect(parent, &client);
    width = std::min<int>(width, client.right - r.Left);
  }
  r.Width = std::max(r.Width, width);
  return r;
}

void Win32Backend::SyncBounds(Peer& peer) {
  TControl& c = *peer.control;
  // peer.bounds holds pixels: a change of DPI moves the windows though the units stay.
  const TRect want = PixelBounds(c);
  if (peer.bounds == want) return;
  TRect old = peer.bounds;
  peer.bounds = want;
  ++generation_;
  int height = want.Height + (c.Kind() == ControlKind::kComboBox ? scale_.Px(kComboDropDownHeight) : 0);
  // No copied bits: a control that paints what lies behind it must paint afresh at its new place.
  SetWindowPos(peer.hwnd, nullptr, want.Left, want.Top, want.Width, height,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
  if (c.Kind() == ControlKind::kImage && old.Width >= 0) {
    RECT a{old.Left, old.Top, old.Left + old.Width, old.Top + old.Height};
    RECT b{want.Left, want.Top, want.Left + want.Width, want.Top + want.Height};
    RECT u;
    UnionRect(&u, &a, &b);
    InvalidateAbove(c, u);
  }
  if (c.Kind() == ControlKind::kLabel && old.Width >= 0) {
    // An auto-sized label that shrank uncovers what lies behind it: repaint that place, or the
    // end of its longer text stays on screen.
    RECT a{old.Left, old.Top, old.Left + old.Width, old.Top + old.Height};
    RedrawWindow(GetParent(peer.hwnd), &a, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }
  if (c.Kind() == ControlKind::kPageControl) LayoutSheets(static_cast<TPageControl&>(c));
  if (c.Kind() == ControlKind::kWebBrowser && peer.browser) peer.browser->Resize(want.Width, want.Height);
}

void Win32Backend::SyncVisibility(Peer& peer) {
  TControl& c = *peer.control;
  bool want = c.Visible();
  if (c.Kind() == ControlKind::kTabSheet && c.Parent() && c.Parent()->Kind() == ControlKind::kPageControl) {
    const auto& sheets = c.Parent()->Controls();
    auto at = std::find(sheets.begin(), sheets.end(), &c);
    want = want && (at - sheets.begin()) == static_cast<TPageControl*>(c.Parent())->ActivePageIndex();
  }
  int shown = want ? 1 : 0;
  if (peer.shown == shown) return;
  peer.shown = shown;
  ++generation_;
  if (!want) {
    // A hidden control cannot keep the focus; once the page it belonged to has given way to the
    // next one, the form hands it to that page's first stop (a keyboard user lands on the results
    // list, not on nothing).
    HWND focus = GetFocus();
    if (focus && (focus == peer.hwnd || IsChild(peer.hwnd, focus))) {
      HWND root = GetAncestor(peer.hwnd, GA_ROOT);
      SetFocus(root);
      PostMessageW(root, kRefocusMessage, 0, 0);
    }
  }
  ShowWindow(peer.hwnd, want ? SW_SHOWNA : SW_HIDE);
  if (c.Kind() == ControlKind::kImage) InvalidateAbove(c, DeviceRect(c));
}

void Win32Backend::LayoutSheets(TPageControl& pages) {
  Peer& peer = PeerOf(pages);
  RECT r{0, 0, scale_.Px(pages.Width()), scale_.Px(pages.Height())};
  if (peer.hwnd) {
    TabCtrl_AdjustRect(peer.hwnd, FALSE, &r);
  } else {
    r = {scale_.Px(4), scale_.Px(24), r.right - scale_.Px(4), r.bottom - scale_.Px(4)};
  }
  // The sheets' edges in units, inside the tabs' frame at every scale.
  const int left = scale_.UnitsToHold(r.left), top = scale_.UnitsToHold(r.top);
  const int right = scale_.Units(r.right), bottom = scale_.Units(r.bottom);
  for (TControl* sheet : pages.Controls())
    sheet->SetBounds(left, top, std::max<int>(0, right - left), std::max<int>(0, bottom - top));
}

void Win32Backend::SyncPageControl(TPageControl& pages) {
  Peer& peer = PeerOf(pages);
  if (!peer.hwnd) return;
  std::vector<std::string> captions;
  for (TControl* sheet : pages.Controls()) captions.push_back(sheet->Caption());
  if (captions != peer.items) {
    peer.updating = true;
    int count = TabCtrl_GetItemCount(peer.hwnd);
    for (size_t i = 0; i < captions.size(); ++i) {
      std::wstring caption = Wide(captions[i]);
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = caption.data();
      if (static_cast<int>(i) < count) {
        SendMessageW(peer.hwnd, TCM_SETITEMW, i, reinterpret_cast<LPARAM>(&item));
      } else {
        SendMessageW(peer.hwnd, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
      }
    }
    for (int i = count - 1; i >= static_cast<int>(captions.size()); --i) TabCtrl_DeleteItem(peer.hwnd, i);
    peer.updating = false;
    peer.items = captions;
    LayoutSheets(pages);
  }
  if (TabCtrl_GetCurSel(peer.hwnd) != pages.ActivePageIndex()) TabCtrl_SetCurSel(peer.hwnd, pages.ActivePageIndex());
  for (TControl* sheet : pages.Controls()) {
    Peer& sp = PeerOf(*sheet);
    if (sp.hwnd) SyncVisibility(sp);
  }
}

// Docks the aligned children of a parent as the toolkit does: top ones in order of their top
// edge, bottom ones from the lowest up, then the client one in the space left.
void Win32Backend::AlignTree(TControl& root) {
  AlignChildren(root);
  for (TControl* child : root.Controls()) AlignTree(*child);
}

void Win32Backend::AlignChildren(TControl& parent) {
  if (std::find(aligning_.begin(), aligning_.end(), &parent) != aligning_.end()) return;
  std::vector<TControl*> tops, bottoms, clients;
  for (TControl* c : parent.Controls()) {
    if (!c->Visible()) continue;
    switch (EffectiveAlign(*c)) {
      case TAlign::alTop:
        tops.push_back(c);
        break;
      case TAlign::alBottom:
        bottoms.push_back(c);
        break;
      case TAlign::alClient:
        clients.push_back(c);
        break;
      case TAlign::alNone:
        break;
    }
  }
  if (tops.empty() && bottoms.empty() && clients.empty()) return;
  aligning_.push_back(&parent);
  int width = parent.Width(), height = parent.Height();
  if (parent.Kind() == ControlKind::kForm) {
    width = static_cast<TForm&>(parent).ClientWidth();
    height = static_cast<TForm&>(parent).ClientHeight();
  }
  int left = 0, top = 0, right = width, bottom = height;
  std::stable_sort(tops.begin(), tops.end(), [](TControl* a, TControl* b) { return a->Top() < b->Top(); });
  std::stable_sort(bottoms.begin(), bottoms.end(),
                   [](TControl* a, TControl* b) { return a->Top() + a->Height() > b->Top() + b->Height(); });
  for (TControl* c : tops) {
    int m = c->AlignMargin();
    c->SetBounds(left + m, top + m, std::max(0, right - left - 2 * m), c->Height());
    top += c->Height() + 2 * m;
  }
  for (TControl* c : bottoms) {
    int m = c->AlignMargin();
    c->SetBounds(left + m, bottom - m - c->Height(), std::max(0, right - left - 2 * m), c->Height());
    bottom -= c->Height() + 2 * m;
  }
  for (TControl* c : clients) {
    int m = c->AlignMargin();
    c->SetBounds(left + m, top + m, std::max(0, right - left - 2 * m), std::max(0, bottom - top - 2 * m));
  }
  aligning_.pop_back();
}

void Win32Backend::SyncTooltip(Peer& peer) {
  TControl& c = *peer.control;
  TForm* form = c.Form();
  HWND tooltip = form ? PeerOf(*form).tooltip : nullptr;
  if (!tooltip) return;
  std::string want = EffectiveShowHint(c) ? c.Hint() : "";
  if (want == peer.tip) return;
  std::wstring text = Wide(want);
  TTTOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = GetParent(peer.hwnd);
  info.uId = reinterpret_cast<UINT_PTR>(peer.hwnd);
  info.lpszText = text.data();
  if (peer.tip.empty()) {
    SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  } else if (want.empty()) {
    SendMessageW(tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  } else {
    SendMessageW(tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
  }
  peer.tip = want;
}

// Notifications that standard controls send to their parent: the form or a container.
bool Win32Backend::ChildNotification(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_COMMAND: {
      Peer* peer = PeerFromWindow(reinterpret_cast<HWND>(lp));
      if (!peer || peer->backend != this || peer->updating) return false;
      TControl& c = *peer->control;
      UINT code = HIWORD(wp);
      result = 0;
      switch (c.Kind()) {
        case ControlKind::kButton:
          if (code == BN_CLICKED) c.DoClick();
          return true;
        case ControlKind::kCheckBox:
          if (code == BN_CLICKED) {
            static_cast<TCheckBox&>(c).UserToggled(SendMessageA(peer->hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED);
          }
          return true;
        case ControlKind::kEdit:
          if (code == EN_CHANGE) static_cast<TEdit&>(c).UserEdited(WindowText(peer->hwnd));
          return true;
        case ControlKind::kComboBox:
          if (code == CBN_SELCHANGE) {
            int index = static_cast<int>(SendMessageA(peer->hwnd, CB_GETCURSEL, 0, 0));
            peer->item_index = index;
            static_cast<TComboBox&>(c).UserSelected(index);
          }
          return true;
        case ControlKind::kListBox:
          if (code == LBN_SELCHANGE) c.DoClick();
          if (code == LBN_DBLCLK) c.DoDblClick();
          return true;
        default:
          return false;
      }
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lp);
      Peer* peer = PeerFromWindow(header->hwndFrom);
      if (!peer || peer->backend != this) return false;
      TControl& c = *peer->control;
      result = 0;
      if (c.Kind() == ControlKind::kListView) return ListNotification(*peer, *header, result);
      if (c.Kind() == ControlKind::kPageControl && header->code == TCN_SELCHANGE && !peer->updating) {
        auto& pages = static_cast<TPageControl&>(c);
        pages.UserSelectedPage(TabCtrl_GetCurSel(peer->hwnd));
        SyncPageControl(pages);
        return true;
      }
      return false;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      Peer* peer = PeerFromWindow(reinterpret_cast<HWND>(lp));
      if (!peer || peer->backend != this) return false;
      ControlKind kind = peer->control->Kind();
      if (kind != ControlKind::kCheckBox && kind != ControlKind::kButton) return false;
      HDC dc = reinterpret_cast<HDC>(wp);
      SetBkMode(dc, TRANSPARENT);
      TColor color = peer->control->Font().Color;
      if (color != clDefault) SetTextColor(dc, (color >> 24) == 0xFF ? GetSysColor(color & 0xFF) : color);
      SetBrushOrgEx(dc, 0, 0, nullptr);
      result = reinterpret_cast<LRESULT>(BackdropBrush(*peer));
      return true;
    }
    default:
      return false;
  }
}

// Pointer tracking for the controls that report entering and leaving; buttons held on labels
// and pictures, which click when released over them.
void Win32Backend::NotifyMouse(Peer& peer, UINT msg, LPARAM lp) {
  TControl& c = *peer.control;
  const int px = static_cast<short>(LOWORD(lp)), py = static_cast<short>(HIWORD(lp));
  const int x = scale_.Units(px), y = scale_.Units(py);
  switch (msg) {
    case WM_MOUSEMOVE:
      if (!peer.mouse_inside) {
        peer.mouse_inside = true;
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, peer.hwnd, 0};
        TrackMouseEvent(&track);
        c.DoMouseEnter();
      }
      break;
    case WM_MOUSELEAVE:
      if (peer.mouse_inside) {
        peer.mouse_inside = false;
        c.DoMouseLeave();
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      SetCapture(peer.hwnd);
      peer.pressed = true;
      c.DoMouseDown(ButtonOf(msg), x, y);
      break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      if (!peer.pressed) break;
      peer.pressed = false;
      if (GetCapture() == peer.hwnd) ReleaseCapture();
      RECT r;
      GetClientRect(peer.hwnd, &r);
      POINT pt{px, py};
      // As the toolkit does: the click first, then the release.
      if (msg == WM_LBUTTONUP && PtInRect(&r, pt)) c.DoClick();
      c.DoMouseUp(ButtonOf(msg), x, y);
      break;
    }
    case WM_CAPTURECHANGED:
      peer.pressed = false;
      break;
    default:
      break;
  }
}

bool Win32Backend::SetCursorFor(Peer& peer, LPARAM lp) {
  if (LOWORD(lp) != HTCLIENT) return false;
  switch (peer.control->Cursor()) {
    case TCursor::crHandPoint:
      SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
      return true;
    case TCursor::crHelp:
      SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HELP)));
      return true;
    case TCursor::crDefault:
      break;
  }
  return false;
}

LRESULT CALLBACK Win32Backend::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Peer* peer = PeerFromWindow(hwnd);
  if (!peer || !peer->old_proc) return DefWindowProcW(hwnd, msg, wp, lp);
  WNDPROC old = peer->old_proc;
  if (peer->backend->shut_down_ && msg != WM_NCDESTROY) return CallWindowProcW(old, hwnd, msg, wp, lp);
  try {
    switch (msg) {
      case WM_SETCURSOR:
        if (peer->backend->SetCursorFor(*peer, lp)) return TRUE;
        break;
      case WM_MOUSEMOVE:
      case WM_MOUSELEAVE:
        peer->backend->NotifyMouse(*peer, msg, lp);
        break;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
      case WM_KEYDOWN:
      case WM_CHAR:
        if (peer->control->Kind() == ControlKind::kListView && peer->backend->ListInput(*peer, msg, wp, lp)) return 0;
        break;
      case WM_SIZE:
        if (peer->control->Kind() == ControlKind::kPageControl) {
          LRESULT r = CallWindowProcW(old, hwnd, msg, wp, lp);
          peer->backend->LayoutSheets(static_cast<TPageControl&>(*peer->control));
          return r;
        }
        break;
      case WM_NOTIFY:
      case WM_COMMAND:
      case WM_CTLCOLORSTATIC:
      case WM_CTLCOLORBTN: {
        // A tab control's children are its sheets; other notifications are the control's own.
        LRESULT result = 0;
        if (peer->control->Kind() == ControlKind::kPageControl && peer->backend->ChildNotification(msg, wp, lp, result))
          return result;
        break;
      }
      case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        DetachPeer(hwnd);
        peer->hwnd = nullptr;
        peer->old_proc = nullptr;
        break;
      default:
        break;
    }
  } catch (...) {
    return 0;
  }
  return CallWindowProcW(old, hwnd, msg, wp, lp);
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

LRESULT CALLBACK Win32Backend::BrowserHostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* peer = static_cast<Peer*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
    peer->hwnd = hwnd;
    AttachPeer(hwnd, peer);
  }
  Peer* peer = PeerFromWindow(hwnd);
  if (peer) {
    if (msg == WM_SIZE && peer->browser && !peer->backend->shut_down_) peer->browser->Resize(LOWORD(lp), HIWORD(lp));
    // Tab or a click brought the focus to the host: the page takes it.
    if (msg == WM_SETFOCUS && peer->browser && !peer->backend->shut_down_) peer->browser->TakeFocus();
    // A report of a browser torn down since (the form was closed) comes too late to matter.
    if (msg == kBrowserFailedMessage && peer->browser && !peer->backend->shut_down_) {
      static_cast<TWebBrowser*>(peer->control)->NavigateFailed();
      return 0;
    }
    if (msg == WM_NCDESTROY) {
      peer->browser.reset();
      DetachPeer(hwnd);
      peer->hwnd = nullptr;
    }
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace ui::win32
