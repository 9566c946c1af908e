// A form's window procedure: its size, limits and DPI, focus, closing, volume changes and private messages.
#include "ui/win32/backend_win32.h"
// clang-format off
#include <dbt.h>
// clang-format on

#include "ui/application.h"
#include "ui/win32/classes.h"
#include "ui/win32/form_frame.h"
#include "ui/win32/peer.h"

namespace ui::win32 {

namespace {

bool IsOwnPrivateMessage(UINT msg) { return msg >= kFirstPrivateMessage && msg <= kLastPrivateMessage; }

}  // namespace

LRESULT CALLBACK Win32Backend::FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Peer* peer = PeerOfMessage(hwnd, msg, lp);
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

}  // namespace ui::win32
