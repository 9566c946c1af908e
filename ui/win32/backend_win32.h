#pragma once
// The Win32 screen of the widget layer. Every control is mirrored by a real child window (labels
// and pictures too, by small window classes that paint themselves), and window messages become
// the controls' Do... and User... events. A form's windows are made the first time the form is
// shown or its handle is asked for. Runs on the GUI thread only: the thread that created it.
//
// The implementation is split by concern:
//   backend_win32.cpp          window classes, the hidden window, the main loop, posted messages,
//                              errors, shutdown
//   forms_win32.cpp            forms' windows: making, showing, hiding, the modal loop
//   form_frame_win32.cpp       a form's frame, size and place at the display's DPI; a change of DPI
//   form_proc_win32.cpp        a form's window procedure
//   keyboard_win32.cpp         Tab order, Enter, Escape, mnemonics
//   control_windows_win32.cpp  each kind of control's child window; the embedded browser
//   sync_win32.cpp             mirroring the controls onto their windows; a form's batch of changes
//   layout_win32.cpp           the controls' places at the display's DPI; docking
//   control_events_win32.cpp   subclassed controls' procedures and their notifications
//   paint_win32.cpp            labels, pictures and containers that paint themselves; fonts
//   accessibility_win32.cpp    what screen readers learn of the windows that paint themselves
//   list_view_win32.cpp        the report list view
//   tray_win32.cpp             timers and notification-area icons
//
// The portable headers come before <windows.h>: they declare names (WM_USER, PostMessage,
// DEFAULT_CHARSET) that windows.h defines as macros. Include this header first.
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "ui/backend.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/scale.h"
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#undef PostMessage
#include "ui/win32/browser_host.h"

namespace ui::win32 {

struct Peer;
struct ComponentPeer;

class Win32Backend : public Backend {
 public:
  // The icon resource shown on every form and as the idle tray icon.
  static constexpr int kAppIconId = 1;

  explicit Win32Backend(HINSTANCE instance);
  ~Win32Backend() override;
  Win32Backend(const Win32Backend&) = delete;
  Win32Backend& operator=(const Win32Backend&) = delete;

  // Backend
  void ShowForm(TForm& form) override;
  void HideForm(TForm& form) override;
  TModalResult RunModal(TForm& form) override;
  void ControlChanged(TControl& control) override;
  void ListViewChanged(TListView& list, ListChange change, int index) override;
  void ComponentChanged(TComponent& component) override;
  void ShowBalloon(TTrayIcon& icon) override;
  bool Navigate(TWebBrowser& browser, const std::string& url) override;
  void FreezeForm(TForm& form, bool frozen) override;
  void PostMessage(TForm& form, unsigned message) override;
  platform::WindowHandle Handle(const TForm& form) override;
  void Run() override;
  void Terminate() override;
  void ShowErrorMessage(const std::string& title, const std::string& text) override;

  // Replaces the embedded browser (the system's control by default); with nullptr, or a factory
  // that gives none, Navigate answers false.
  void SetBrowserFactory(BrowserFactory factory) { browser_factory_ = factory; }
  // Destroys every window, timer, notification-area icon and GDI object. Afterwards every call
  // is ignored (RunModal answers mrCancel). Call it once the loop has ended and before the forms
  // are destroyed; the destructor calls it too.
  void Shutdown();
  bool IsShutDown() const { return shut_down_; }
  // The window that shows a control (its form's windows are made when needed); nullptr after
  // Shutdown.
  HWND WindowOf(TControl& control);
  // The display's scale that the windows show the controls' units at.
  const DisplayScale& Scale() const { return scale_; }

 private:
  // Window procedures; each finds its Peer in GWLP_USERDATA.
  static LRESULT CALLBACK FormProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK LabelProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK PictureProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK ContainerProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK BrowserHostProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK HiddenProc(HWND, UINT, WPARAM, LPARAM);

  // backend_win32.cpp
  void RegisterClasses();
  HWND OwnerForMessages();

  // forms_win32.cpp
  HWND EnsureForm(TForm& form);
  void ApplyFormState(Peer& peer);

  // form_frame_win32.cpp
  void ApplyFrame(Peer& peer, bool place);
  // Every window shown again at another DPI: places, sizes, fonts and pictures (a window moved
  // to a display of another DPI, or made on one other than the system's).
  void ChangeDpi(int dpi);
  // A form's outer size for its client size in units, within its limits.
  SIZE OuterSize(const TForm& form, DWORD style, DWORD ex_style);

  // form_proc_win32.cpp
  LRESULT FormMessage(Peer& peer, UINT msg, WPARAM wp, LPARAM lp);

  // keyboard_win32.cpp
  bool PreTranslate(MSG& msg);
  bool BrowserKey(MSG& msg);
  void DispatchOne(MSG& msg);
  void MoveFocus(TForm& form, bool forward);
  std::vector<HWND> TabStops(TControl& root);
  HWND MnemonicTarget(TControl& root, char key);
  HWND RoleButton(TControl& root, bool (TButton::*role)() const);

  // accessibility_win32.cpp
  // Tells screen readers what a label or picture is (a link, a button, text, or a decoration
  // they pass over) and its name, through the system's annotation service where it has one.
  void Annotate(Peer& peer);
  void ReleaseAnnotations();

  // control_windows_win32.cpp
  Peer& PeerOf(TControl& control);
  void CreateWindows(TControl& control);
  HWND ParentWindowOf(TControl& control);

  // sync_win32.cpp
  void Sync(Peer& peer);
  void SyncVisibility(Peer& peer);
  void SyncPageControl(TPageControl& pages);
  void SyncTooltip(Peer& peer);

  // layout_win32.cpp
  // A control's place in its parent's window, in pixels: where its window stands once it has one.
  RECT DeviceRect(const TControl& control) const;
  // The place of a control's own window in pixels: its bounds scaled, and a check box widened
  // where its caption would be cut at the display's DPI.
  TRect PixelBounds(TControl& control);
  void SyncBounds(Peer& peer);
  void LayoutSheets(TPageControl& pages);
  void AlignChildren(TControl& parent);
  void AlignTree(TControl& root);

  // control_events_win32.cpp
  bool ChildNotification(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  void NotifyMouse(Peer& peer, UINT msg, LPARAM lp);
  bool SetCursorFor(Peer& peer, LPARAM lp);

  // paint_win32.cpp
  LRESULT LabelMessage(Peer& peer, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT PictureMessage(Peer& peer, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT ContainerMessage(Peer& peer, UINT msg, WPARAM wp, LPARAM lp);
  void PaintBuffered(Peer& peer, void (Win32Backend::*paint)(Peer&, HDC));
  void PaintLabel(Peer& peer, HDC dc);
  void PaintPicture(Peer& peer, HDC dc);
  void PaintContainer(Peer& peer, HDC dc);
  void PaintBackdrop(const TControl& control, HDC dc, const RECT& area);
  void DrawPictureOf(const TControl& image, HDC dc);
  HBITMAP PictureBitmap(const TControl& image);
  void PictureChanged(Peer& peer);
  void InvalidateAbove(const TControl& control, const RECT& area);
  HBRUSH BackdropBrush(Peer& peer);
  COLORREF BackgroundColor(const TControl& control) const;
  HFONT FontFor(const TFont& font);
  bool FaceInstalled(const std::string& face);
  void MeasureLabel(TLabel& label);

  // list_view_win32.cpp
  void CreateListRows(Peer& peer);
  void SyncListView(Peer& peer);
  void SyncColumns(Peer& peer);
  std::vector<int> ColumnPixels(HWND list, const std::vector<TListColumn>& columns) const;
  void SyncSortArrow(Peer& peer);
  void SyncListRows(Peer& peer);
  void ListRowsChanged(Peer& peer);
  void QueueListSync(Peer& peer);
  void SyncPendingLists();
  void ToggleCheck(Peer& peer, int index);
  // Mouse and keyboard input of a list view that the backend answers itself (check marks).
  bool ListInput(Peer& peer, UINT msg, WPARAM wp, LPARAM lp);
  bool ListNotification(Peer& peer, NMHDR& header, LRESULT& result);

  // tray_win32.cpp
  ComponentPeer& ComponentPeerOf(TComponent& component);
  void SyncTimer(ComponentPeer& peer);
  void SyncTray(ComponentPeer& peer);
  void RemoveTray(ComponentPeer& peer);
  HICON TrayIconNow(ComponentPeer& peer);
  void TimerFired(UINT_PTR id);
  void ReaddTrayIcons();

  HINSTANCE instance_;
  DisplayScale scale_;
  HWND hidden_ = nullptr;  // owns the timers and receives the tray icons' messages
  HICON icon_big_ = nullptr;
  HICON icon_small_ = nullptr;
  UINT taskbar_created_ = 0;
  bool shut_down_ = false;
  BrowserFactory browser_factory_ = CreateSystemBrowser;

  std::vector<std::unique_ptr<Peer>> peers_;
  std::vector<std::unique_ptr<ComponentPeer>> component_peers_;
  std::vector<TForm*> forms_;         // forms with a window, in the order the windows were made
  std::vector<TForm*> modal_stack_;   // innermost last
  std::vector<Peer*> pending_lists_;  // lists whose row count changed since the last sync
  bool sync_posted_ = false;          // a sync of the lists is posted or its timer runs
  DWORD last_list_sync_ = 0;          // GetTickCount of the last sync
  std::vector<TControl*> aligning_;   // parents whose children are being aligned now
  UINT_PTR next_timer_id_ = 100;
  UINT next_tray_id_ = 1;

  // Raised whenever what lies behind a control may have changed (pictures, places, colours);
  // the backdrop brushes of check boxes and buttons are rebuilt when they are older.
  unsigned generation_ = 1;
  // The system's IAccPropServices, made on first use; null where there is none.
  void* annotations_ = nullptr;
  bool annotations_tried_ = false;

  using FontKey = std::tuple<std::string, int, bool, bool, bool, int>;
  std::map<FontKey, HFONT> fonts_;
  std::map<std::string, bool> face_installed_;
};

}  // namespace ui::win32
