// The report list view, as a virtual list (LVS_OWNERDATA): the window holds only the number of
// rows, the selection and the focus; every cell and every check mark is asked of the rows
// (LVN_GETDISPINFO), so a row costs the window nothing until it is painted, and only the rows in
// view are. A scan adds up to hundreds of thousands of rows at the top: each change of the row
// count is noted, and the count, the selection (which moves with its row) and one repaint reach
// the window together, at display rate: at once after a quiet spell, else at most every
// kListSyncMs. A repaint costs the same however many rows came since the last one (on Wine
// some 30 to 100 ms, most of it round trips to the server), so the rows that arrive between two
// repaints cost the window nothing.
//
// The window does not store check marks, so it does not toggle them either: a click on a row's
// check box and the space bar are answered here, from the rows.
#include <algorithm>

#include "ui/application.h"
#include "ui/win32/backend_win32.h"
#include "ui/win32/classes.h"
#include "ui/win32/peer.h"

namespace ui::win32 {

namespace {

// Room around a cell's text: the list view's margins on both sides.
constexpr int kCellPadding = 14;

const std::string& CellText(const TListView& list, int row, int column) {
  static const std::string kNone;
  if (row < 0 || row >= list.Count() || column < 0) return kNone;
  const TListItem& item = *list.Item(row);
  if (column == 0) return item.Caption();
  size_t sub = static_cast<size_t>(column - 1);
  return sub < item.SubItems().size() ? item.SubItems()[sub] : kNone;
}

UINT CheckImage(bool checked) { return INDEXTOSTATEIMAGEMASK(checked ? 2 : 1); }

constexpr DWORD kListSyncMs = 100;

// Whether a row lies on the page the window shows (or the one partly shown below it).
bool RowInView(HWND list, int index) {
  const int top = static_cast<int>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
  const int page = static_cast<int>(SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0));
  return index >= top && index <= top + page;
}

}  // namespace

void Win32Backend::CreateListRows(Peer& peer) {
  SyncListView(peer);
  SyncListRows(peer);
}

void Win32Backend::SyncListView(Peer& peer) {
  auto& list = static_cast<TListView&>(*peer.control);
  DWORD ex = LVS_EX_INFOTIP;
  if (list.Checkboxes()) ex |= LVS_EX_CHECKBOXES;
  if (list.RowSelect()) ex |= LVS_EX_FULLROWSELECT;
  if (ex != peer.ex_style) {
    peer.updating = true;
    SendMessageA(peer.hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, peer.ex_style | ex, ex);
    // The check marks live in the rows: the window asks for each row's state image.
    SendMessageA(peer.hwnd, LVM_SETCALLBACKMASK, list.Checkboxes() ? LVIS_STATEIMAGEMASK : 0, 0);
    peer.updating = false;
    peer.ex_style = ex;
  }
  LONG_PTR window_ex = GetWindowLongPtrW(peer.hwnd, GWL_EXSTYLE);
  bool has_border = (window_ex & WS_EX_CLIENTEDGE) != 0;
  if (has_border != list.Border()) {
    window_ex ^= WS_EX_CLIENTEDGE;
    SetWindowLongPtrW(peer.hwnd, GWL_EXSTYLE, window_ex);
    SetWindowPos(peer.hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
  SyncColumns(peer);
}

void Win32Backend::SyncColumns(Peer& peer) {
  auto& list = static_cast<TListView&>(*peer.control);
  const auto& columns = list.Columns();
  const std::vector<int> widths = ColumnPixels(peer.hwnd, columns);
  for (size_t i = 0; i < columns.size(); ++i) {
    std::wstring caption = Wide(columns[i].Caption);
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    col.pszText = caption.data();
    col.cx = widths[i];
    col.iSubItem = static_cast<int>(i);
    if (i >= peer.columns.size()) {
      SendMessageW(peer.hwnd, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&col));
    } else if (peer.columns[i].Caption != columns[i].Caption) {
      SendMessageW(peer.hwnd, LVM_SETCOLUMNW, i, reinterpret_cast<LPARAM>(&col));
    } else if (i >= peer.column_pixels.size() || peer.column_pixels[i] != widths[i] || peer.columns_pending) {
      SendMessageA(peer.hwnd, LVM_SETCOLUMNWIDTH, i, MAKELPARAM(widths[i], 0));
    }
  }
  for (size_t i = peer.columns.size(); i > columns.size(); --i) SendMessageA(peer.hwnd, LVM_DELETECOLUMN, i - 1, 0);
  peer.columns = columns;
  peer.column_pixels = widths;
  peer.columns_pending = false;
  SyncSortArrow(peer);
}

// Each column's width on the screen: its width at the display's DPI, or what the widest of its fit
// texts needs in the list's font, taken from the first column (which keeps at least a third).
std::vector<int> Win32Backend::ColumnPixels(HWND list, const std::vector<TListColumn>& columns) const {
  std::vector<int> widths;
  for (const TListColumn& column : columns) widths.push_back(scale_.Px(column.Width));
  for (size_t i = 1; i < columns.size(); ++i) {
    if (columns[i].FitTexts.empty() || widths[i] == 0) continue;
    int need = 0;
    for (const std::string& text : columns[i].FitTexts) {
      const std::wstring wide = Wide(text);
      need = std::max(
          need, static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(wide.c_str()))));
    }
    need += scale_.Px(kCellPadding);
    const int extra = std::min(need - widths[i], widths[0] - widths[0] / 3);
    if (extra <= 0) continue;
    widths[i] += extra;
    widths[0] -= extra;
  }
  return widths;
}

// The header's arrow (version 6 of the common controls draws it; older ones ignore the flags).
void Win32Backend::SyncSortArrow(Peer& peer) {
  auto& list = static_cast<TListView&>(*peer.control);
  const int arrow = list.SortColumn() < 0 ? 0 : (list.SortAscending() ? HDF_SORTUP : HDF_SORTDOWN);
  if (peer.sort_column == list.SortColumn() && peer.sort_arrow == arrow) return;
  HWND header = reinterpret_cast<HWND>(SendMessageA(peer.hwnd, LVM_GETHEADER, 0, 0));
  if (!header) return;
  const int count = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    if (!SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item))) continue;
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (i == list.SortColumn()) item.fmt |= arrow;
    SendMessageA(header, HDM_SETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  peer.sort_column = list.SortColumn();
  peer.sort_arrow = arrow;
}

// The row count and the selection of the rows, then one repaint of what is in view.
void Win32Backend::SyncListRows(Peer& peer) {
  peer.rows_pending = false;
  if (!peer.hwnd) return;
  auto& list = static_cast<TListView&>(*peer.control);
  peer.updating = true;
  // The top row in view stays where it was, as with rows inserted into an ordinary list.
  SendMessageA(peer.hwnd, LVM_SETITEMCOUNT, static_cast<WPARAM>(list.Count()), LVSICF_NOSCROLL);
  // The window's selection is tracked rather than asked for: asking is a walk over every row.
  const TListItem* selected = list.Selected();
  const int want = selected ? selected->Index() : -1;
  const int now = peer.window_selected < list.Count() ? peer.window_selected : -1;
  if (want != now) {
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    if (now >= 0) SendMessageA(peer.hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(now), reinterpret_cast<LPARAM>(&state));
    if (want >= 0) {
      state.state = LVIS_SELECTED | LVIS_FOCUSED;
      SendMessageA(peer.hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(want), reinterpret_cast<LPARAM>(&state));
    }
  }
  peer.window_selected = want;
  peer.updating = false;
  InvalidateRect(peer.hwnd, nullptr, FALSE);
}

void Win32Backend::ListViewChanged(TListView& list, ListChange change, int index) {
  if (shut_down_ || !list.peer) return;
  Peer& peer = *static_cast<Peer*>(list.peer);
  // Rows of a list whose window does not exist yet are counted when it is made.
  if (!peer.hwnd) return;
  switch (change) {
    case ListChange::kInserted:
    case ListChange::kDeleted:
      ListRowsChanged(peer);
      break;
    case ListChange::kChanged:
      // A pending count change repaints every row in view anyway.
      if (!peer.rows_pending) {
        const TListItem* row = list.Item(index);
        if (row->Selected() != (peer.window_selected == index)) {
          SyncListRows(peer);
        } else if (RowInView(peer.hwnd, index)) {
          // A row out of view is asked for when it comes into view; invalidating its place would
          // cost a round trip to the server on Wine for every outcome of a cleaning run.
          SendMessageA(peer.hwnd, LVM_REDRAWITEMS, static_cast<WPARAM>(index), index);
        }
      }
      break;
    case ListChange::kCleared:
    case ListChange::kReordered:
      // The rows in view are asked for again; the selection follows its row to its new place.
      SyncListRows(peer);
      break;
    case ListChange::kColumns:
      // At display rate too: Wine takes about 20 ms to lay out a changed column, which the start
      // of a cleaning run (two widths change) would otherwise hold the window for.
      peer.columns_pending = true;
      QueueListSync(peer);
      break;
  }
}

void Win32Backend::ListRowsChanged(Peer& peer) {
  peer.rows_pending = true;
  QueueListSync(peer);
}

void Win32Backend::QueueListSync(Peer& peer) {
  if (peer.sync_queued) return;
  peer.sync_queued = true;
  pending_lists_.push_back(&peer);
  if (sync_posted_) return;
  const DWORD since = GetTickCount() - last_list_sync_;
  if (since >= kListSyncMs) {
    sync_posted_ = PostMessageA(hidden_, kSyncListsMessage, 0, 0) != FALSE;
  } else {
    sync_posted_ = SetTimer(hidden_, kSyncListsTimer, kListSyncMs - since, nullptr) != 0;
  }
  // Without the hidden window nothing would come back for the lists: bring them up to date now.
  if (!sync_posted_) SyncPendingLists();
}

void Win32Backend::SyncPendingLists() {
  KillTimer(hidden_, kSyncListsTimer);
  sync_posted_ = false;
  last_list_sync_ = GetTickCount();
  std::vector<Peer*> lists;
  lists.swap(pending_lists_);
  for (Peer* peer : lists) {
    peer->sync_queued = false;
    if (peer->columns_pending) SyncColumns(*peer);
    if (peer->rows_pending) SyncListRows(*peer);
  }
}

void Win32Backend::ToggleCheck(Peer& peer, int index) {
  auto& list = static_cast<TListView&>(*peer.control);
  if (!list.Checkboxes() || index < 0 || index >= list.Count()) return;
  list.UserChecked(index, !list.Item(index)->Checked());
  SendMessageA(peer.hwnd, LVM_REDRAWITEMS, static_cast<WPARAM>(index), index);
}

bool Win32Backend::ListInput(Peer& peer, UINT msg, WPARAM wp, LPARAM lp) {
  auto& list = static_cast<TListView&>(*peer.control);
  if (!list.Checkboxes() || !list.Enabled()) return false;
  // A click or a key acts on the rows as they are, not as the window last showed them.
  if (peer.rows_pending) SyncListRows(peer);
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      LVHITTESTINFO hit{};
      hit.pt.x = static_cast<short>(LOWORD(lp));
      hit.pt.y = static_cast<short>(HIWORD(lp));
      const int index = static_cast<int>(SendMessageA(peer.hwnd, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
      if (index < 0 || !(hit.flags & LVHT_ONITEMSTATEICON)) return false;
      SetFocus(peer.hwnd);
      ToggleCheck(peer, index);
      return true;
    }
    case WM_KEYDOWN:
      if (wp != VK_SPACE) return false;
      ToggleCheck(peer,
                  static_cast<int>(SendMessageA(peer.hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)));
      return true;
    case WM_CHAR:
      return wp == ' ';
    default:
      return false;
  }
}

bool Win32Backend::ListNotification(Peer& peer, NMHDR& header, LRESULT& result) {
  auto& list = static_cast<TListView&>(*peer.control);
  switch (header.code) {
    case LVN_GETDISPINFOA: {
      LVITEMA& item = reinterpret_cast<NMLVDISPINFOA&>(header).item;
      if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0)
        lstrcpynA(item.pszText, CellText(list, item.iItem, item.iSubItem).c_str(), item.cchTextMax);
      if ((item.mask & LVIF_STATE) && list.Checkboxes() && item.iItem >= 0 && item.iItem < list.Count()) {
        item.state = (item.state & ~LVIS_STATEIMAGEMASK) | CheckImage(list.Item(item.iItem)->Checked());
        item.stateMask |= LVIS_STATEIMAGEMASK;
      }
      return true;
    }
    case LVN_GETDISPINFOW: {
      LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
      if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        const std::wstring text = Wide(CellText(list, item.iItem, item.iSubItem));
        lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
      }
      if ((item.mask & LVIF_STATE) && list.Checkboxes() && item.iItem >= 0 && item.iItem < list.Count()) {
        item.state = (item.state & ~LVIS_STATEIMAGEMASK) | CheckImage(list.Item(item.iItem)->Checked());
        item.stateMask |= LVIS_STATEIMAGEMASK;
      }
      return true;
    }
    case LVN_ODFINDITEMA:
    case LVN_ODFINDITEMW:
      // Typing a row's first letters finds nothing: the captions are paths that all begin alike.
      result = -1;
      return true;
    case LVN_ODCACHEHINT:
      return true;
    case LVN_ITEMCHANGED: {
      if (peer.updating) return true;
      auto& change = reinterpret_cast<NMLISTVIEW&>(header);
      if (!(change.uChanged & LVIF_STATE)) return true;
      UINT changed = change.uNewState ^ change.uOldState;
      // A check mark set from outside (LVM_SETITEMSTATE): the row takes the state it was given.
      if (change.iItem >= 0 && list.Checkboxes() && (changed & LVIS_STATEIMAGEMASK)) {
        UINT image = (change.uNewState & LVIS_STATEIMAGEMASK) >> 12;
        if (image == 1 || image == 2) list.UserChecked(change.iItem, image == 2);
      }
      if (changed & LVIS_SELECTED) {
        if (change.iItem >= 0 && (change.uNewState & LVIS_SELECTED)) {
          peer.window_selected = change.iItem;
        } else {
          peer.window_selected =
              static_cast<int>(SendMessageA(peer.hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        }
        list.UserSelected(peer.window_selected);
      }
      return true;
    }
    case LVN_COLUMNCLICK:
      list.UserClickedColumn(reinterpret_cast<NMLISTVIEW&>(header).iSubItem);
      return true;
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
