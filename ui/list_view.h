#pragma once
// The report list view: columns, and rows of a caption and sub-items with a check mark and a
// selection. It holds hundreds of thousands of rows, added at either end in constant time: each
// row knows its place (Index is constant time too), and a search by caption uses an index made on
// the first search and kept up to date from then on.
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "ui/control.h"

namespace ui {

class TListView;

struct TListColumn {
  std::string Caption;
  int Width = 50;
  // Texts the column must show whole (its caption too): where they need more than Width, the
  // screen gives it what they need and takes it from the first column. Measured there, since only
  // the screen knows the font's widths in the language shown.
  std::vector<std::string> FitTexts;
};

// One row of a report list view: the caption is column 0, SubItems the columns after it.
class TListItem {
 public:
  explicit TListItem(TListView* owner) : owner_(owner) {}
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  const std::vector<std::string>& SubItems() const { return sub_items_; }
  void AddSubItem(const std::string& text);
  // Replaces sub-item index, adding empty ones before it when needed.
  void SetSubItem(size_t index, const std::string& text);
  std::string SubItem(size_t index) const { return index < sub_items_.size() ? sub_items_[index] : ""; }
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  bool Selected() const { return selected_; }
  void SetSelected(bool selected);
  int Index() const;
  // A number the owner keeps with the row (the results list: the object's size in bytes).
  int64_t Data = 0;
  // What the owner knows the row's object by (the results list: its file id; 0 when unknown).
  uint64_t Id = 0;

 private:
  friend class TListView;
  void Changed();
  TListView* owner_;
  std::string caption_;
  std::vector<std::string> sub_items_;
  // The row's place in its list's numbering: its index is this less the first row's.
  int64_t place_ = 0;
  bool checked_ = false;
  bool selected_ = false;
};

enum class ListChange { kInserted, kChanged, kDeleted, kCleared, kColumns, kReordered };

class TListView : public TControl {
 public:
  TListView(TControl* parent, std::string name) : TControl(parent, std::move(name), ControlKind::kListView) {}

  const std::vector<TListColumn>& Columns() const { return columns_; }
  void AddColumn(const std::string& caption, int width);
  void SetColumnWidth(size_t index, int width);
  void FitColumnTo(size_t index, std::vector<std::string> texts);

  bool Checkboxes() const { return checkboxes_; }
  void SetCheckboxes(bool on) { checkboxes_ = on; }
  bool RowSelect() const { return row_select_; }
  void SetRowSelect(bool on) { row_select_ = on; }
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool on) { read_only_ = on; }
  bool Border() const { return border_; }
  void SetBorder(bool on) { border_ = on; }

  int Count() const { return static_cast<int>(items_.size()); }
  TListItem* Item(int index) const { return items_[static_cast<size_t>(index)].get(); }
  // Constant time at either end (Insert(0) puts the row on top); in between, linear.
  TListItem* Add();
  TListItem* Insert(int index);
  void Clear();
  // The first selected row, or none.
  TListItem* Selected() const;
  // The first row from `start` on whose whole caption equals text, letter case ignored; no wrap.
  TListItem* FindCaption(int start, const std::string& text) const;

  // Puts the rows in the order `less` gives, equal rows keeping their order; each row keeps its
  // caption, sub-items, check mark, selection and Data. O(n log n), no row is copied.
  void Sort(const std::function<bool(const TListItem& a, const TListItem& b)>& less);
  // The arrow in a column's header (-1: none); only shows the order, never makes it.
  int SortColumn() const { return sort_column_; }
  bool SortAscending() const { return sort_ascending_; }
  void SetSortIndicator(int column, bool ascending);
  // A click on a column's header (0 is the caption's column).
  std::function<void(int Column)> OnColumnClick;
  void UserClickedColumn(int column) {
    if (OnColumnClick) OnColumnClick(column);
  }

  // For TListItem and the backend.
  int IndexOf(const TListItem* item) const;
  void ItemChanged(const TListItem* item);
  // The backend reports the user's check mark and selection through these, without echo.
  void UserChecked(int index, bool checked);
  void UserSelected(int index);

 private:
  friend class TListItem;
  void Notify(ListChange change, int index);
  void CaptionChanged(TListItem* item, const std::string& old_caption);
  void SelectionChanged(TListItem* item);
  static size_t CaptionKey(const std::string& caption);
  std::vector<TListColumn> columns_;
  std::deque<std::unique_ptr<TListItem>> items_;
  int64_t first_place_ = 0;  // place_ of the first row
  // The selected rows, in no order (one, mostly).
  std::vector<TListItem*> selected_;
  // Rows by a hash of their caption, letter case ignored, kept as rows come and change: made at the first
  // FindCaption instead, it held the window for a tenth of a second at 190,000 rows.
  std::unordered_multimap<size_t, TListItem*> by_caption_;
  bool checkboxes_ = false;
  bool row_select_ = false;
  bool read_only_ = false;
  bool border_ = true;
  int sort_column_ = -1;
  bool sort_ascending_ = true;
};

}  // namespace ui
