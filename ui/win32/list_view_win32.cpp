// The report list view: columns and rows mirrored one row at a time, the user's check marks and
// selection reported back. A scan adds tens of thousands of rows, one per message, at the top;
// painting is switched off while rows arrive and the rows are painted at most every 100 ms, so
// that the control neither scrolls nor repaints per row. While rows still arrive the repaint is a
// posted message (a timer would starve behind the stream of the worker's reports); a timer makes
// the last one when they stop.
#include "ui/application.h"
#include "ui/win32/backend_win32.h"
#include "ui/win32/classes.h"
#include "ui/win32/peer.h"

namespace ui::win32 {

namespace {

const std::string& CellText(const TListView& list, int row, int column) {
  static const std::string kNone;
  if (row < 0 || row >= list.Count()) return kNone;
  const TListItem& item = *list.Item(row);
  if (column == 0) return item.Caption();
  size_t sub = static_cast<size_t>(column - 1);
  return sub < item.SubItems().size() ? item.SubItems()[sub] : kNone;
}

}  // namespace

void Win32Backend::CreateListRows(Peer& peer) {
  auto& list = static_cast<TListView&>(*peer.control);
  SyncListView(peer);
  if (list.Count() == 0) return;
  SuspendListRedraw(peer);
  for (int i = 0; i < list.Count(); ++i) WriteRow(peer, i, true);
}

void Win32Backend::SyncListView(Peer& peer) {
  auto& list = static_cast<TListView&>(*peer.control);
  DWORD ex = LVS_EX_INFOTIP;
  if (list.Checkboxes()) ex |= LVS_EX_CHECKBOXES;
  if (list.RowSelect()) ex |= LVS_EX_FULLROWSELECT;
  if (ex != peer.ex_style) {
    peer.updating = true;
    SendMessageA(peer.hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, peer.ex_style | ex, ex);
    peer.updating = false;
    peer.ex_style = ex;
  }
  LONG_PTR window_ex = GetWindowLongPtrA(peer.hwnd, GWL_EXSTYLE);
  bool has_border = (window_ex & WS_EX_CLIENTEDGE) != 0;
  if (has_border != list.Border()) {
    window_ex ^= WS_EX_CLIENTEDGE;
    SetWindowLongPtrA(peer.hwnd, GWL_EXSTYLE, window_ex);
    SetWindowPos(peer.hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
  SyncColumns(peer);
}

void Win32Backend::SyncColumns(Peer& peer) {
  auto& list = static_cast<TListView&>(*peer.control);
  const auto& columns = list.Columns();
  for (size_t i = 0; i < columns.size(); ++i) {
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    col.pszText = const_cast<char*>(columns[i].Caption.c_str());
    col.cx = columns[i].Width;
    col.iSubItem = static_cast<int>(i);
    if (i >= peer.columns.size()) {
      SendMessageA(peer.hwnd, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&col));
    } else if (peer.columns[i].Caption != columns[i].Caption) {
      SendMessageA(peer.hwnd, LVM_SETCOLUMNA, i, reinterpret_cast<LPARAM>(&col));
    } else if (peer.columns[i].Width != columns[i].Width) {
      SendMessageA(peer.hwnd, LVM_SETCOLUMNWIDTH, i, MAKELPARAM(columns[i].Width, 0));
    }
  }
  for (size_t i = peer.columns.size(); i > columns.size(); --i) SendMessageA(peer.hwnd, LVM_DELETECOLUMN, i - 1, 0);
  peer.columns = columns;
}

// The window keeps no text of its own: every cell is a callback answered from the rows
// (LVN_GETDISPINFO), so a changed row costs a repaint of that row and nothing else. Only the
// check mark and the selection live in the window too.
void Win32Backend::WriteRow(Peer& peer, int index, bool inserted) {
  auto& list = static_cast<TListView&>(*peer.control);
  if (index < 0 || index >= list.Count()) return;
  const TListItem& row = *list.Item(index);
  peer.updating = true;
  if (inserted) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = LPSTR_TEXTCALLBACKA;
    SendMessageA(peer.hwnd, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    for (size_t column = 1; column < list.Columns().size(); ++column) {
      item.iSubItem = static_cast<int>(column);
      SendMessageA(peer.hwnd, LVM_SETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    }
  } else if (!peer.redraw_suspended) {
    SendMessageA(peer.hwnd, LVM_REDRAWITEMS, static_cast<WPARAM>(index), index);
  }
  if (!inserted || row.Checked() || row.Selected()) {
    UINT mask = LVIS_SELECTED | (list.Checkboxes() ? LVIS_STATEIMAGEMASK : 0);
    UINT want = ((row.Selected() ? LVIS_SELECTED : 0) | INDEXTOSTATEIMAGEMASK(row.Checked() ? 2 : 1)) & mask;
    UINT now = static_cast<UINT>(SendMessageA(peer.hwnd, LVM_GETITEMSTATE, static_cast<WPARAM>(index), mask));
    if (now != want) {
      LVITEMA state{};
      state.stateMask = mask;
      state.state = want;
      SendMessageA(peer.hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&state));
    }
  }
  peer.updating = false;
}

void Win32Backend::ListViewChanged(TListView& list, ListChange change, int index) {
  if (shut_down_ || !list.peer) return;
  Peer& peer = *static_cast<Peer*>(list.peer);
  // Rows of a list whose window does not exist yet are written when it is made.
  if (!peer.hwnd) return;
  switch (change) {
    case ListChange::kInserted:
      SuspendListRedraw(peer);
      WriteRow(peer, index, true);
      break;
    case ListChange::kChanged:
      WriteRow(peer, index, false);
      break;
    case ListChange::kDeleted:
      peer.updating = true;
      SendMessageA(peer.hwnd, LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
      peer.updating = false;
      break;
    case ListChange::kCleared:
      peer.updating = true;
      SendMessageA(peer.hwnd, LVM_DELETEALLITEMS, 0, 0);
      peer.updating = false;
      break;
    case ListChange::kColumns:
      SyncColumns(peer);
      break;
  }
  // The repaint is posted: it then runs between two of the worker's reports, when every row is
  // whole (a row is added and filled by several changes within one report).
  if (peer.redraw_suspended && !resume_posted_ && GetTickCount() - peer.suspended_at >= kListRedrawDelayMs) {
    resume_posted_ = PostMessageA(hidden_, kResumeListsMessage, 0, 0) != FALSE;
  }
}

// Only a visible list is suspended: switching painting back on shows a window on some systems.
void Win32Backend::SuspendListRedraw(Peer& peer) {
  if (peer.redraw_suspended || !IsWindowVisible(peer.hwnd)) return;
  SendMessageA(peer.hwnd, WM_SETREDRAW, FALSE, 0);
  peer.redraw_suspended = true;
  peer.suspended_at = GetTickCount();
  if (suspended_lists_.empty()) SetTimer(hidden_, kListRedrawTimer, kListRedrawDelayMs, nullptr);
  suspended_lists_.push_back(&peer);
}

void Win32Backend::ResumeListRedraw() {
  resume_posted_ = false;
  if (hidden_) KillTimer(hidden_, kListRedrawTimer);
  std::vector<Peer*> lists;
  lists.swap(suspended_lists_);
  for (Peer* peer : lists) {
    peer->redraw_suspended = false;
    if (!peer->hwnd) continue;
    SendMessageA(peer->hwnd, WM_SETREDRAW, TRUE, 0);
    if (peer->shown == 0) ShowWindow(peer->hwnd, SW_HIDE);
    RedrawWindow(peer->hwnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
}

bool Win32Backend::ListNotification(Peer& peer, NMHDR& header, LRESULT& result) {
  auto& list = static_cast<TListView&>(*peer.control);
  switch (header.code) {
    case LVN_GETDISPINFOA: {
      LVITEMA& item = reinterpret_cast<NMLVDISPINFOA&>(header).item;
      if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0)
        lstrcpynA(item.pszText, CellText(list, item.iItem, item.iSubItem).c_str(), item.cchTextMax);
      return true;
    }
    case LVN_GETDISPINFOW: {
      LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
      if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        const std::string& text = CellText(list, item.iItem, item.iSubItem);
        int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, item.pszText, item.cchTextMax);
        if (n == 0) item.pszText[item.cchTextMax - 1] = L'\0';
      }
      return true;
    }
    case LVN_ITEMCHANGED: {
      if (peer.updating) return true;
      auto& change = reinterpret_cast<NMLISTVIEW&>(header);
      if (!(change.uChanged & LVIF_STATE)) return true;
      UINT changed = change.uNewState ^ change.uOldState;
      if (change.iItem >= 0 && list.Checkboxes() && (changed & LVIS_STATEIMAGEMASK)) {
        UINT image = (change.uNewState & LVIS_STATEIMAGEMASK) >> 12;
        // Image 0 is a row that has no check box yet (it is being inserted).
        if (image != 0) list.UserChecked(change.iItem, image == 2);
      }
      if (changed & LVIS_SELECTED) {
        if (change.iItem >= 0 && (change.uNewState & LVIS_SELECTED)) {
          list.UserSelected(change.iItem);
        } else {
          list.UserSelected(
              static_cast<int>(SendMessageA(peer.hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)));
        }
      }
      return true;
    }
    case NM_CLICK:
      list.DoClick();
      return true;
    case NM_DBLCLK:
      list.DoDblClick();
      return true;
    case LVN_BEGINLABELEDITA:
    case LVN_BEGINLABELEDITW:
      result = TRUE;  // rows are never edited in place
      return true;
    default:
      return false;
  }
}

}  // namespace ui::win32
