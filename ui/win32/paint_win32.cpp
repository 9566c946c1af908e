// The windows that paint themselves (labels, pictures, panels, group boxes, tab sheets), the
// backdrop that see-through controls show, and the font cache. Every custom paint goes through
// an off-screen bitmap first, so that swapping a large picture or a caption does not flicker.
#include <algorithm>

#include "ui/application.h"
#include "ui/tr.h"
#include "ui/win32/backend_win32.h"
#include "ui/win32/classes.h"
#include "ui/win32/peer.h"

namespace ui::win32 {

namespace {

COLORREF ToColorRef(TColor color) {
  if ((color >> 24) == 0xFF) return GetSysColor(static_cast<int>(color & 0xFF));
  return color & 0xFFFFFF;
}

void Fill(HDC dc, const RECT& r, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

bool SeeThrough(const TControl& c) {
  return (c.Kind() == ControlKind::kPanel || c.Kind() == ControlKind::kGroupBox) && c.Color() == clDefault &&
         c.Parent();
}

UINT LabelFormat(const TLabel& label) {
  UINT align = DT_LEFT;
  if (label.Alignment() == TAlignment::taCenter) align = DT_CENTER;
  if (label.Alignment() == TAlignment::taRightJustify) align = DT_RIGHT;
  return DT_NOPREFIX | DT_EXPANDTABS | align | (label.WordWrap() ? DT_WORDBREAK : 0);
}

int CALLBACK FaceFound(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

using Handler = LRESULT (Win32Backend::*)(Peer&, UINT, WPARAM, LPARAM);

}  // namespace

// ---- window procedures of the self-painting classes ----

namespace {

LRESULT Route(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, Handler handler) {
  Peer* peer = PeerOfMessage(hwnd, msg, lp);
  if (!peer || peer->hwnd != hwnd) return DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    DetachPeer(hwnd);
    peer->hwnd = nullptr;
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  if (peer->backend->IsShutDown()) return DefWindowProcW(hwnd, msg, wp, lp);
  try {
    return (peer->backend->*handler)(*peer, msg, wp, lp);
  } catch (...) {
    // Nothing may unwind through the system's frames; the handlers report their own errors.
    return 0;
  }
}

}  // namespace

LRESULT CALLBACK Win32Backend::LabelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return Route(hwnd, msg, wp, lp, &Win32Backend::LabelMessage);
}
LRESULT CALLBACK Win32Backend::PictureProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return Route(hwnd, msg, wp, lp, &Win32Backend::PictureMessage);
}
LRESULT CALLBACK Win32Backend::ContainerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return Route(hwnd, msg, wp, lp, &Win32Backend::ContainerMessage);
}

LRESULT Win32Backend::LabelMessage(Peer& peer, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      PaintBuffered(peer, &Win32Backend::PaintLabel);
      return 0;
    case WM_NCHITTEST:
      // The system then asks the window beneath, which takes the pointer as if no label were there.
      if (peer.control->Kind() == ControlKind::kLabel && !static_cast<TLabel&>(*peer.control).HitTest())
        return HTTRANSPARENT;
      break;
    case WM_SETCURSOR:
      if (SetCursorFor(peer, lp)) return TRUE;
      break;
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_CAPTURECHANGED:
      NotifyMouse(peer, msg, lp);
      return 0;
    case WM_KEYDOWN:
      // A focused link acts on Enter, the start picture on Space as well, as a button does.
      if (peer.control->TabStop() &&
          (wp == VK_RETURN || (wp == VK_SPACE && peer.control->Kind() == ControlKind::kImage))) {
        peer.control->DoKeyClick();
        return 0;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(peer.hwnd, nullptr, FALSE);
      break;
    default:
      break;
  }
  return DefWindowProcW(peer.hwnd, msg, wp, lp);
}

LRESULT Win32Backend::PictureMessage(Peer& peer, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT:
      PaintBuffered(peer, &Win32Backend::PaintPicture);
      return 0;
    default:
      // Pictures take the mouse as labels do.
      return LabelMessage(peer, msg, wp, lp);
  }
}

LRESULT Win32Backend::ContainerMessage(Peer& peer, UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  if (ChildNotification(msg, wp, lp, result)) return result;
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      PaintBuffered(peer, &Win32Backend::PaintContainer);
      return 0;
    case WM_SETCURSOR:
      if (SetCursorFor(peer, lp)) return TRUE;
      break;
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
      NotifyMouse(peer, msg, lp);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(peer.hwnd, msg, wp, lp);
}

// ---- painting ----

void Win32Backend::PaintBuffered(Peer& peer, void (Win32Backend::*paint)(Peer&, HDC)) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(peer.hwnd, &ps);
  RECT client;
  GetClientRect(peer.hwnd, &client);
  if (client.right > 0 && client.bottom > 0) {
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
    HGDIOBJ old = SelectObject(mem, bitmap);
    (this->*paint)(peer, mem);
    BitBlt(dc, 0, 0, client.right, client.bottom, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteObject(bitmap);
    DeleteDC(mem);
  }
  EndPaint(peer.hwnd, &ps);
}

void Win32Backend::PaintLabel(Peer& peer, HDC dc) {
  auto& label = static_cast<TLabel&>(*peer.control);
  RECT r;
  GetClientRect(peer.hwnd, &r);
  if (label.Transparent()) {
    PaintBackdrop(label, dc, r);
  } else {
    Fill(dc, r, BackgroundColor(label));
  }
  HGDIOBJ old = SelectObject(dc, FontFor(label.Font()));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, label.Enabled() ? ToColorRef(label.Font().Color) : GetSysColor(COLOR_GRAYTEXT));
  DrawTextW(dc, Wide(label.Caption()).c_str(), -1, &r, LabelFormat(label));
  SelectObject(dc, old);
  if (GetFocus() == peer.hwnd) DrawFocusRect(dc, &r);
}

void Win32Backend::PaintPicture(Peer& peer, HDC dc) {
  const TControl& image = *peer.control;
  RECT r;
  GetClientRect(peer.hwnd, &r);
  PaintBackdrop(image, dc, r);
  POINT old;
  const RECT place = DeviceRect(image);
  OffsetViewportOrgEx(dc, -place.left, -place.top, &old);
  DrawPictureOf(image, dc);
  SetViewportOrgEx(dc, old.x, old.y, nullptr);
  if (GetFocus() == peer.hwnd) {
    // Two dotted rings, so that the mark shows on light and dark artwork alike.
    for (int inset : {2, 3}) {
      RECT ring{r.left + inset, r.top + inset, r.right - inset, r.bottom - inset};
      DrawFocusRect(dc, &ring);
    }
  }
}

void Win32Backend::PaintContainer(Peer& peer, HDC dc) {
  TControl& c = *peer.control;
  RECT r;
  GetClientRect(peer.hwnd, &r);
  if (SeeThrough(c)) {
    PaintBackdrop(c, dc, r);
  } else {
    Fill(dc, r, BackgroundColor(c));
  }
  HGDIOBJ old = SelectObject(dc, FontFor(c.Font()));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, c.Enabled() ? ToColorRef(c.Font().Color) : GetSysColor(COLOR_GRAYTEXT));
  if (c.Kind() == ControlKind::kGroupBox) {
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    const int inset = scale_.Px(8);
    RECT text{inset, 0, r.right - inset, tm.tmHeight};
    if (!c.Caption().empty()) {
      DrawTextW(dc, Wide(c.Caption()).c_str(), -1, &text, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
      text.right = std::min(text.right, r.right - inset);
    }
    int saved = SaveDC(dc);
    if (!c.Caption().empty()) ExcludeClipRect(dc, text.left, text.top, text.right, text.bottom);
    RECT frame{0, tm.tmHeight / 2, r.right, r.bottom};
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    RestoreDC(dc, saved);
    if (!c.Caption().empty()) DrawTextW(dc, Wide(c.Caption()).c_str(), -1, &text, DT_SINGLELINE | DT_NOPREFIX);
  } else if (c.Kind() == ControlKind::kPanel) {
    if (static_cast<TPanel&>(c).Bevel()) DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    if (!c.Caption().empty())
      DrawTextW(dc, Wide(c.Caption()).c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  SelectObject(dc, old);
}

// What lies behind a control, painted into dc whose origin is the control's top-left, over
// `area` in the control's coordinates: its parent's colour (or, for a see-through container, what
// lies behind that), then every visible picture that comes before it among its siblings.
void Win32Backend::PaintBackdrop(const TControl& control, HDC dc, const RECT& area) {
  const TControl* parent = control.Parent();
  if (!parent) {
    Fill(dc, area, BackgroundColor(control));
    return;
  }
  POINT old;
  const RECT place = DeviceRect(control);
  OffsetViewportOrgEx(dc, -place.left, -place.top, &old);
  RECT in_parent = area;
  OffsetRect(&in_parent, place.left, place.top);
  if (SeeThrough(*parent)) {
    PaintBackdrop(*parent, dc, in_parent);
  } else {
    Fill(dc, in_parent, BackgroundColor(*parent));
  }
  for (const TControl* sibling : parent->Controls()) {
    if (sibling == &control) break;
    if (sibling->Kind() != ControlKind::kImage || !sibling->Visible()) continue;
    RECT bounds = DeviceRect(*sibling), overlap;
    if (IntersectRect(&overlap, &bounds, &in_parent)) DrawPictureOf(*sibling, dc);
  }
  SetViewportOrgEx(dc, old.x, old.y, nullptr);
}

// Draws a picture at its place in its parent (dc's origin is the parent's top-left), at its
// natural size in units and cut to the control's bounds. The drawing made for the display's
// scale covers that size pixel for pixel; only a scale between the drawn ones, or a missing
// drawing, fits the nearest one to it.
void Win32Backend::DrawPictureOf(const TControl& image, HDC dc) {
  HBITMAP bitmap = PictureBitmap(image);
  if (!bitmap) return;
  const TBitmap& units = *static_cast<const TImage&>(image).Picture();
  const TBitmap& drawn = *PeerOf(const_cast<TControl&>(image)).picture;
  const RECT place = DeviceRect(image);
  // The whole picture's size on the screen, and the part of it the control shows.
  const int full_w = scale_.Px(image.Left() + units.Width) - place.left;
  const int full_h = scale_.Px(image.Top() + units.Height) - place.top;
  const int width = std::min<int>(full_w, place.right - place.left);
  const int height = std::min<int>(full_h, place.bottom - place.top);
  if (width <= 0 || height <= 0) return;
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, bitmap);
  if (drawn.Width == full_w && drawn.Height == full_h) {
    BitBlt(dc, place.left, place.top, width, height, mem, 0, 0, SRCCOPY);
  } else {
    const int src_w = MulDiv(width, drawn.Width, full_w), src_h = MulDiv(height, drawn.Height, full_h);
    int mode = SetStretchBltMode(dc, HALFTONE);
    POINT origin;
    SetBrushOrgEx(dc, 0, 0, &origin);
    StretchBlt(dc, place.left, place.top, width, height, mem, 0, 0, src_w, src_h, SRCCOPY);
    SetBrushOrgEx(dc, origin.x, origin.y, nullptr);
    SetStretchBltMode(dc, mode);
  }
  SelectObject(mem, old);
  DeleteDC(mem);
}

// The picture as a device-independent bitmap: BGR rows, bottom up, made once per picture.
HBITMAP Win32Backend::PictureBitmap(const TControl& image) {
  Peer& peer = PeerOf(const_cast<TControl&>(image));
  const auto picture = static_cast<TImage&>(const_cast<TControl&>(image)).PictureAt(ArtworkPercent(scale_.Dpi()));
  if (peer.picture == picture) return peer.picture_bitmap;
  if (peer.picture_bitmap) DeleteObject(peer.picture_bitmap);
  peer.picture_bitmap = nullptr;
  peer.picture = picture;
  if (!picture || picture->Width <= 0 || picture->Height <= 0) return nullptr;
  const int w = picture->Width, h = picture->Height;
  if (picture->Rgb.size() < static_cast<size_t>(w) * static_cast<size_t>(h) * 3) return nullptr;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) return nullptr;
  const size_t stride = (static_cast<size_t>(w) * 3 + 3) & ~static_cast<size_t>(3);
  auto* out = static_cast<uint8_t*>(bits);
  for (int y = 0; y < h; ++y) {
    const uint8_t* src = picture->Rgb.data() + static_cast<size_t>(y) * static_cast<size_t>(w) * 3;
    uint8_t* dst = out + static_cast<size_t>(h - 1 - y) * stride;
    for (int x = 0; x < w; ++x, src += 3, dst += 3) {
      dst[0] = src[2];
      dst[1] = src[1];
      dst[2] = src[0];
    }
  }
  GdiFlush();
  peer.picture_bitmap = bitmap;
  return bitmap;
}

void Win32Backend::PictureChanged(Peer& peer) {
  ++generation_;
  InvalidateRect(peer.hwnd, nullptr, FALSE);
  InvalidateAbove(*peer.control, DeviceRect(*peer.control));
}

// Repaints the later siblings over `area` (parent coordinates) that show what lies behind them.
void Win32Backend::InvalidateAbove(const TControl& control, const RECT& area) {
  const TControl* parent = control.Parent();
  if (!parent) return;
  bool after = false;
  for (TControl* sibling : parent->Controls()) {
    if (sibling == &control) {
      after = true;
      continue;
    }
    if (!after || !sibling->peer) continue;
    Peer& sp = *static_cast<Peer*>(sibling->peer);
    if (!sp.hwnd) continue;
    ControlKind kind = sibling->Kind();
    bool shows_behind = kind == ControlKind::kImage || kind == ControlKind::kCheckBox || kind == ControlKind::kButton ||
                        (kind == ControlKind::kLabel && sibling->Transparent()) || SeeThrough(*sibling);
    RECT bounds = DeviceRect(*sibling), overlap;
    if (shows_behind && IntersectRect(&overlap, &bounds, &area))
      RedrawWindow(sp.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }
}

// A pattern brush of what lies behind a check box or button, for their WM_CTLCOLOR answers.
HBRUSH Win32Backend::BackdropBrush(Peer& peer) {
  TControl& c = *peer.control;
  if (peer.backdrop_brush && peer.backdrop_generation == generation_) return peer.backdrop_brush;
  if (peer.backdrop_brush) DeleteObject(peer.backdrop_brush);
  if (peer.backdrop_bitmap) DeleteObject(peer.backdrop_bitmap);
  peer.backdrop_brush = nullptr;
  peer.backdrop_bitmap = nullptr;
  const RECT place = DeviceRect(c);
  int w = std::max<int>(1, place.right - place.left), h = std::max<int>(1, place.bottom - place.top);
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  peer.backdrop_bitmap = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(mem, peer.backdrop_bitmap);
  RECT r{0, 0, w, h};
  PaintBackdrop(c, mem, r);
  SelectObject(mem, old);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  peer.backdrop_brush = CreatePatternBrush(peer.backdrop_bitmap);
  peer.backdrop_generation = generation_;
  return peer.backdrop_brush;
}

COLORREF Win32Backend::BackgroundColor(const TControl& control) const {
  if (control.Color() != clDefault) return ToColorRef(control.Color());
  if (control.Kind() == ControlKind::kForm || control.Kind() == ControlKind::kTabSheet || !control.Parent())
    return GetSysColor(COLOR_BTNFACE);
  return BackgroundColor(*control.Parent());
}

// ---- fonts ----

bool Win32Backend::FaceInstalled(const std::string& face) {
  auto known = face_installed_.find(face);
  if (known != face_installed_.end()) return known->second;
  bool found = false;
  LOGFONTA probe{};
  probe.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(probe.lfFaceName, face.c_str(), LF_FACESIZE);
  HDC dc = GetDC(nullptr);
  EnumFontFamiliesExA(dc, &probe, FaceFound, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, dc);
  face_installed_.emplace(face, found);
  return found;
}

// A face that is not installed (Calibri is missing from most XP systems) is replaced by a known
// one rather than by whatever the font mapper picks: a metric twin when there is one, else
// Tahoma, scaled where Tahoma runs larger, so that designed label sizes still hold the text.
HFONT Win32Backend::FontFor(const TFont& font) {
  // Heights are in units; the cache holds the fonts of every scale shown so far (one, mostly).
  // Rounded towards zero: a font a fraction larger than the scale would overrun the designed
  // widths of the captions (Tahoma 11 px at 150 % is 16, not 17).
  const int scaled = font.Height * scale_.Dpi() / kDesignDpi;
  FontKey key{font.Name, scaled, font.Bold, font.Italic, font.Underline, font.Charset};
  auto it = fonts_.find(key);
  if (it != fonts_.end()) return it->second;
  struct Substitute {
    const char* face;
    const char* replacement;
    int percent;
  };
  static const Substitute kSubstitutes[] = {
      {"Calibri", "Carlito", 100},
      {"Calibri", "Tahoma", 85},
  };
  std::string face = font.Name;
  for (const std::string& named : FacesFor(font.Name))
    if (FaceInstalled(named)) {
      face = named;
      break;
    }
  int height = scaled;
  if (!FaceInstalled(face)) {
    face = "Tahoma";
    for (const Substitute& s : kSubstitutes) {
      if (lstrcmpiA(s.face, font.Name.c_str()) == 0 && FaceInstalled(s.replacement)) {
        face = s.replacement;
        height = height * s.percent / 100;
        break;
      }
    }
  }
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfWeight = font.Bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = font.Italic;
  lf.lfUnderline = font.Underline;
  lf.lfCharSet = static_cast<BYTE>(font.Charset);
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lstrcpynA(lf.lfFaceName, face.c_str(), LF_FACESIZE);
  HFONT handle = CreateFontIndirectA(&lf);
  fonts_.emplace(key, handle);
  return handle;
}

// An auto-sized label takes the size of its text: one line per line break, or, word-wrapped,
// its own width and the height the text needs.
void Win32Backend::MeasureLabel(TLabel& label) {
  if (!label.AutoSize()) return;
  std::string text = label.Caption().empty() ? " " : label.Caption();
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, FontFor(label.Font()));
  const RECT place = DeviceRect(label);
  RECT r{0, 0, label.WordWrap() ? place.right - place.left : 0, 0};
  DrawTextW(dc, Wide(text).c_str(), -1, &r, DT_CALCRECT | LabelFormat(label));
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  // The size in units whose pixels hold the text: rounding down would cut its last pixels off.
  if (label.WordWrap()) {
    label.SetSize(label.Width(), scale_.UnitsToHold(r.bottom));
  } else {
    label.SetSize(scale_.UnitsToHold(r.right), scale_.UnitsToHold(r.bottom));
  }
}

}  // namespace ui::win32
