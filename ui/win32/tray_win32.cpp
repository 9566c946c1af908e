// Timers and notification-area icons. Both live on the backend's hidden window: a timer is a
// window timer per enabled TTimer; a tray icon is added while visible, shows the frames of its
// image list in turn while animating, and is removed at shutdown.
#include "ui/win32/backend_win32.h"
// clang-format off
#include <shellapi.h>
// clang-format on

#include <cstring>

#include "ui/application.h"
#include "ui/win32/classes.h"
#include "ui/win32/peer.h"

namespace ui::win32 {

namespace {

// The structure size that XP's shell accepts, balloons included.
NOTIFYICONDATAW TrayData(HWND hwnd, UINT id) {
  NOTIFYICONDATAW data;
  std::memset(&data, 0, sizeof data);
  data.cbSize = NOTIFYICONDATAW_V2_SIZE;
  data.hWnd = hwnd;
  data.uID = id;
  return data;
}

// An icon of one frame, as large as its picture: the picture itself, all opaque.
HICON IconFromFrame(const TBitmap& frame) {
  const int width = frame.Width, height = frame.Height;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP color = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!color || !bits) return nullptr;
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
  auto* out = static_cast<uint8_t*>(bits);
  for (int y = 0; y < height && y < frame.Height; ++y) {
    for (int x = 0; x < width && x < frame.Width; ++x) {
      const uint8_t* src = frame.Rgb.data() + (static_cast<size_t>(y) * frame.Width + x) * 3;
      uint8_t* dst = out + static_cast<size_t>(height - 1 - y) * stride + static_cast<size_t>(x) * 3;
      dst[0] = src[2];
      dst[1] = src[1];
      dst[2] = src[0];
    }
  }
  std::vector<uint8_t> zeros(static_cast<size_t>((width + 15) / 16 * 2) * static_cast<size_t>(height), 0);
  HBITMAP mask = CreateBitmap(width, height, 1, 1, zeros.data());
  ICONINFO icon{TRUE, 0, 0, mask, color};
  HICON result = CreateIconIndirect(&icon);
  DeleteObject(mask);
  DeleteObject(color);
  return result;
}

}  // namespace

ComponentPeer& Win32Backend::ComponentPeerOf(TComponent& component) {
  if (!component.peer) {
    auto peer = std::make_unique<ComponentPeer>();
    peer->component = &component;
    peer->timer_id = next_timer_id_++;
    peer->animation_timer = next_timer_id_++;
    peer->tray_id = next_tray_id_++;
    component.peer = peer.get();
    component_peers_.push_back(std::move(peer));
  }
  return *static_cast<ComponentPeer*>(component.peer);
}

void Win32Backend::ComponentChanged(TComponent& component) {
  if (shut_down_) return;
  ComponentPeer& peer = ComponentPeerOf(component);
  if (dynamic_cast<TTimer*>(&component)) {
    SyncTimer(peer);
  } else if (dynamic_cast<TImageList*>(&component)) {
    for (HICON icon : peer.frame_icons) DestroyIcon(icon);
    peer.frame_icons.clear();
  } else if (dynamic_cast<TTrayIcon*>(&component)) {
    SyncTray(peer);
  }
}

void Win32Backend::SyncTimer(ComponentPeer& peer) {
  auto& timer = static_cast<TTimer&>(*peer.component);
  unsigned want = timer.Enabled() ? timer.Interval() : 0;
  if (want == peer.running_interval) return;
  if (want) {
    SetTimer(hidden_, peer.timer_id, want, nullptr);
  } else {
    KillTimer(hidden_, peer.timer_id);
  }
  peer.running_interval = want;
}

HICON Win32Backend::TrayIconNow(ComponentPeer& peer) {
  auto& tray = static_cast<TTrayIcon&>(*peer.component);
  TImageList* list = tray.Icons();
  if (!list || list->Count() == 0) return icon_small_;
  ComponentPeer& lp = ComponentPeerOf(*list);
  // The notification area shows small icons at the system's DPI: the frames drawn nearest to it,
  // never the 16-pixel ones stretched.
  const int percent = ArtworkPercent(MulDiv(GetSystemMetrics(SM_CXSMICON), kDesignDpi, list->Width()));
  if (static_cast<int>(lp.frame_icons.size()) != list->Count() || lp.frame_percent != percent) {
    for (HICON icon : lp.frame_icons) DestroyIcon(icon);
    lp.frame_icons.clear();
    lp.frame_percent = percent;
    for (const TBitmap& frame : list->FramesAt(percent)) lp.frame_icons.push_back(IconFromFrame(frame));
  }
  peer.frame %= list->Count();
  HICON icon = lp.frame_icons[static_cast<size_t>(peer.frame)];
  return icon ? icon : icon_small_;
}

void Win32Backend::SyncTray(ComponentPeer& peer) {
  auto& tray = static_cast<TTrayIcon&>(*peer.component);
  bool animate = tray.Visible() && tray.Animate() && tray.Icons() && tray.Icons()->Count() > 0;
  unsigned interval = animate ? std::max(tray.AnimateInterval(), 10u) : 0;
  if (interval != peer.animation_interval) {
    if (interval) {
      SetTimer(hidden_, peer.animation_timer, interval, nullptr);
    } else {
      KillTimer(hidden_, peer.animation_timer);
    }
    peer.animation_interval = interval;
  }
  if (!tray.Visible()) {
    RemoveTray(peer);
    return;
  }
  NOTIFYICONDATAW data = TrayData(hidden_, peer.tray_id);
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kTrayCallbackMessage;
  data.hIcon = TrayIconNow(peer);
  lstrcpynW(data.szTip, Wide(tray.Hint()).c_str(), sizeof data.szTip / sizeof *data.szTip);
  if (peer.tray_added) {
    Shell_NotifyIconW(NIM_MODIFY, &data);
  } else {
    peer.tray_added = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
  }
}

void Win32Backend::RemoveTray(ComponentPeer& peer) {
  if (!peer.tray_added) return;
  NOTIFYICONDATAW data = TrayData(hidden_, peer.tray_id);
  Shell_NotifyIconW(NIM_DELETE, &data);
  peer.tray_added = false;
}

void Win32Backend::ShowBalloon(TTrayIcon& icon) {
  if (shut_down_) return;
  ComponentPeer& peer = ComponentPeerOf(icon);
  if (!peer.tray_added) return;
  NOTIFYICONDATAW data = TrayData(hidden_, peer.tray_id);
  data.uFlags = NIF_INFO;
  lstrcpynW(data.szInfo, Wide(icon.BalloonHint()).c_str(), sizeof data.szInfo / sizeof *data.szInfo);
  lstrcpynW(data.szInfoTitle, Wide(icon.BalloonTitle()).c_str(), sizeof data.szInfoTitle / sizeof *data.szInfoTitle);
  data.uTimeout = 10000;
  switch (icon.BalloonFlags()) {
    case TBalloonFlags::bfInfo:
      data.dwInfoFlags = NIIF_INFO;
      break;
    case TBalloonFlags::bfWarning:
      data.dwInfoFlags = NIIF_WARNING;
      break;
    case TBalloonFlags::bfError:
      data.dwInfoFlags = NIIF_ERROR;
      break;
    case TBalloonFlags::bfNone:
      data.dwInfoFlags = NIIF_NONE;
      break;
  }
  Shell_NotifyIconW(NIM_MODIFY, &data);
}

void Win32Backend::TimerFired(UINT_PTR id) {
  if (shut_down_) return;
  for (auto& cp : component_peers_) {
    if (cp->running_interval && cp->timer_id == id) {
      // The handler may add components; nothing of the loop is used after it.
      static_cast<TTimer*>(cp->component)->DoTimer();
      return;
    }
    if (cp->animation_interval && cp->animation_timer == id) {
      ++cp->frame;
      if (cp->tray_added) {
        NOTIFYICONDATAW data = TrayData(hidden_, cp->tray_id);
        data.uFlags = NIF_ICON;
        data.hIcon = TrayIconNow(*cp);
        Shell_NotifyIconW(NIM_MODIFY, &data);
      }
      return;
    }
  }
}

// After the taskbar restarts, the icons that were shown are added again.
void Win32Backend::ReaddTrayIcons() {
  for (auto& cp : component_peers_) {
    if (!dynamic_cast<TTrayIcon*>(cp->component)) continue;
    cp->tray_added = false;
    SyncTray(*cp);
  }
}

}  // namespace ui::win32
