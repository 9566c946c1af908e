#pragma once
// The backend's object behind each control (TControl::peer) and component (TComponent::peer).
// It holds the window and what that window shows now, so that a change of the model only costs
// a window call when something visible changed. Internal to ui/win32.
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "ui/win32/backend_win32.h"

namespace ui::win32 {

class Win32Backend;

struct Peer {
  Win32Backend* backend = nullptr;
  TControl* control = nullptr;
  HWND hwnd = nullptr;
  // The class procedure of a subclassed standard control.
  WNDPROC old_proc = nullptr;

  // What the window shows now.
  TRect bounds{-1, -1, -1, -1};
  int shown = -1;
  int enabled = -1;
  bool has_text = false;
  std::string text;
  HFONT font = nullptr;
  std::string tip;  // text registered with the form's tooltip window, empty for none

  // Set while the backend itself changes the window, so that its notifications are no echo of
  // the user's doing.
  bool updating = false;

  // Labels and pictures: pointer tracking and a button held down on the control.
  bool mouse_inside = false;
  bool pressed = false;

  // Pictures: the decoded picture and the device-independent bitmap made from it once.
  std::shared_ptr<const TBitmap> picture;
  HBITMAP picture_bitmap = nullptr;

  // Check boxes and buttons: a brush with what lies behind them, rebuilt when that changes.
  HBRUSH backdrop_brush = nullptr;
  HBITMAP backdrop_bitmap = nullptr;
  unsigned backdrop_generation = 0;

  // List boxes and combo boxes: the items the window holds.
  std::vector<std::string> items;
  int item_height = -1;
  int item_index = -2;
  bool read_only = false;

  // List views.
  std::vector<TListColumn> columns;
  std::vector<int> column_pixels;  // as last set on the screen
  int sort_column = -1;            // the header arrow shown: its column and HDF_SORTUP/HDF_SORTDOWN
  int sort_arrow = 0;
  bool rows_pending = false;     // the row count changed and the window does not know yet
  bool columns_pending = false;  // so did a column
  bool sync_queued = false;      // in the backend's list of lists to bring up to date
  int window_selected = -1;      // the row the window has selected (it has one at most)
  DWORD ex_style = 0;

  // Forms.
  bool top_level = false;
  HWND tooltip = nullptr;
  HWND last_focus = nullptr;
  HWND return_focus = nullptr;  // a dialog's: the focus of the window it was shown over
  HWND parked_focus = nullptr;  // the control whose disabling left the focus on the form
  // A batch of changes (TForm::BeginUpdate): the controls changed meanwhile, in the order of their
  // first change, whose windows learn of it when the batch ends.
  bool batching = false;
  std::vector<TControl*> batched;

  // Web browsers.
  std::unique_ptr<EmbeddedBrowser> browser;
};

struct ComponentPeer {
  TComponent* component = nullptr;
  // Timers.
  UINT_PTR timer_id = 0;
  unsigned running_interval = 0;  // 0 while stopped
  // Notification-area icons.
  UINT tray_id = 0;
  bool tray_added = false;
  int frame = 0;
  UINT_PTR animation_timer = 0;
  unsigned animation_interval = 0;  // 0 while not animating
  // Image lists: one icon per frame, made when first needed.
  std::vector<HICON> frame_icons;
  int frame_percent = 100;  // the artwork scale they were made from
};

// Every window of the backend is registered with its Peer here, so that a window that is not the
// backend's (a combo box's inner list, a header, a tooltip) is told apart safely. A table of the
// process rather than a window property: every message looks its window up, and on Wine a
// property is a round trip to the server (a list view's repaint sends hundreds of notifications).
// All the backend's windows live on the one thread that runs it, so the table needs no lock.
inline std::unordered_map<HWND, Peer*>& PeerTable() {
  static std::unordered_map<HWND, Peer*> table;
  return table;
}
inline void AttachPeer(HWND hwnd, Peer* peer) { PeerTable()[hwnd] = peer; }
inline void DetachPeer(HWND hwnd) { PeerTable().erase(hwnd); }
inline Peer* PeerFromWindow(HWND hwnd) {
  if (!hwnd) return nullptr;
  auto found = PeerTable().find(hwnd);
  return found == PeerTable().end() ? nullptr : found->second;
}
// The peer of a window procedure's window: the backend's windows are made with their peer as the
// creation parameter, which is attached to the window at its first message of note.
inline Peer* PeerOfMessage(HWND hwnd, UINT msg, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* peer = static_cast<Peer*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
    peer->hwnd = hwnd;
    AttachPeer(hwnd, peer);
  }
  return PeerFromWindow(hwnd);
}

}  // namespace ui::win32
