// Mirroring controls onto windows: changes, a form's batch of them, each kind's state, visibility, tabs, tooltips.
#include "ui/win32/backend_win32.h"

#include <algorithm>

#include "ui/application.h"
#include "ui/win32/classes.h"
#include "ui/win32/control_traits.h"
#include "ui/win32/peer.h"

namespace ui::win32 {

namespace {

bool EffectiveShowHint(const TControl& c) {
  for (const TControl* p = &c; p; p = p->Parent())
    if (p->ShowHint()) return true;
  return false;
}

}  // namespace

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

}  // namespace ui::win32
