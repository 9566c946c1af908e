// The keyboard on a form before dispatch: Tab order, Enter, Escape, mnemonics, and keys for an embedded page.
#include "ui/win32/backend_win32.h"

#include <algorithm>

#include "ui/application.h"
#include "ui/win32/classes.h"
#include "ui/win32/peer.h"

namespace ui::win32 {

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

}  // namespace ui::win32
