// Window procedures of subclassed standard controls and the browser host; their notifications as the controls' events.
#include "ui/win32/backend_win32.h"

#include "ui/application.h"
#include "ui/win32/classes.h"
#include "ui/win32/control_traits.h"
#include "ui/win32/peer.h"

namespace ui::win32 {

namespace {

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
LRESULT CALLBACK Win32Backend::BrowserHostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Peer* peer = PeerOfMessage(hwnd, msg, lp);
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
