// Forms' windows: making one with its tooltip and children, its state, showing and hiding it, and the modal loop.
#include "ui/win32/backend_win32.h"

#include <algorithm>

#include "ui/application.h"
#include "ui/win32/classes.h"
#include "ui/win32/form_frame.h"
#include "ui/win32/peer.h"

namespace ui::win32 {

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

}  // namespace ui::win32
