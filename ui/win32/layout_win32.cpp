// The controls' places and sizes at the display's DPI, tab sheets inside their tabs, docking of aligned controls.
#include "ui/win32/backend_win32.h"

#include <algorithm>

#include "ui/application.h"
#include "ui/win32/classes.h"
#include "ui/win32/control_traits.h"
#include "ui/win32/peer.h"

namespace ui::win32 {

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

}  // namespace ui::win32
