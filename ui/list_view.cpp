#include "ui/list_view.h"

#include <algorithm>
#include <climits>
#include <functional>

#include "platform/text.h"
#include "ui/application.h"
#include "ui/backend.h"
#include "ui/form.h"

namespace ui {

void TListItem::SetCaption(const std::string& caption) {
  std::string old = std::move(caption_);
  caption_ = caption;
  owner_->CaptionChanged(this, old);
  Changed();
}

void TListItem::AddSubItem(const std::string& text) {
  sub_items_.push_back(text);
  Changed();
}

void TListItem::SetSubItem(size_t index, const std::string& text) {
  if (sub_items_.size() <= index) sub_items_.resize(index + 1);
  sub_items_[index] = text;
  Changed();
}

void TListItem::SetChecked(bool checked) {
  checked_ = checked;
  Changed();
}

void TListItem::SetSelected(bool selected) {
  if (selected_ != selected) {
    selected_ = selected;
    owner_->SelectionChanged(this);
  }
  Changed();
}

int TListItem::Index() const { return owner_->IndexOf(this); }

void TListItem::Changed() { owner_->ItemChanged(this); }

void TListView::AddColumn(const std::string& caption, int width) {
  columns_.push_back({caption, width});
  Notify(ListChange::kColumns, -1);
}

void TListView::SetColumnWidth(size_t index, int width) {
  if (index >= columns_.size() || columns_[index].Width == width) return;
  columns_[index].Width = width;
  Notify(ListChange::kColumns, -1);
}

void TListView::FitColumnTo(size_t index, std::vector<std::string> texts) {
  if (index >= columns_.size() || columns_[index].FitTexts == texts) return;
  columns_[index].FitTexts = std::move(texts);
  Notify(ListChange::kColumns, -1);
}

TListItem* TListView::Add() { return Insert(Count()); }

TListItem* TListView::Insert(int index) {
  index = std::clamp(index, 0, Count());
  auto item = std::make_unique<TListItem>(this);
  TListItem* row = item.get();
  // One allocation for the sub-items a row of this list has, not one per column added.
  if (columns_.size() > 1) row->sub_items_.reserve(columns_.size() - 1);
  if (items_.empty()) {
    first_place_ = 0;
    items_.push_back(std::move(item));
  } else if (index == 0) {
    row->place_ = --first_place_;
    items_.push_front(std::move(item));
  } else if (index == Count()) {
    row->place_ = first_place_ + Count();
    items_.push_back(std::move(item));
  } else {
    items_.insert(items_.begin() + index, std::move(item));
    for (size_t i = static_cast<size_t>(index); i < items_.size(); ++i)
      items_[i]->place_ = first_place_ + static_cast<int64_t>(i);
  }
  Notify(ListChange::kInserted, index);
  return row;
}

void TListView::Clear() {
  items_.clear();
  selected_.clear();
  by_caption_.clear();
  first_place_ = 0;
  Notify(ListChange::kCleared, -1);
}

void TListView::Sort(const std::function<bool(const TListItem& a, const TListItem& b)>& less) {
  std::stable_sort(
      items_.begin(), items_.end(),
      [&less](const std::unique_ptr<TListItem>& a, const std::unique_ptr<TListItem>& b) { return less(*a, *b); });
  for (size_t i = 0; i < items_.size(); ++i) items_[i]->place_ = first_place_ + static_cast<int64_t>(i);
  Notify(ListChange::kReordered, -1);
}

void TListView::SetSortIndicator(int column, bool ascending) {
  if (sort_column_ == column && sort_ascending_ == ascending) return;
  sort_column_ = column;
  sort_ascending_ = ascending;
  Notify(ListChange::kColumns, -1);
}

TListItem* TListView::Selected() const {
  TListItem* first = nullptr;
  for (TListItem* item : selected_)
    if (!first || IndexOf(item) < IndexOf(first)) first = item;
  return first;
}

TListItem* TListView::FindCaption(int start, const std::string& text) const {
  TListItem* found = nullptr;
  int found_index = INT_MAX;
  auto [begin, end] = by_caption_.equal_range(CaptionKey(text));
  for (auto it = begin; it != end; ++it) {
    const int index = IndexOf(it->second);
    if (index >= start && index < found_index && platform::SameText(it->second->caption_, text)) {
      found = it->second;
      found_index = index;
    }
  }
  return found;
}

int TListView::IndexOf(const TListItem* item) const {
  if (!item || item->owner_ != this) return -1;
  const int64_t index = item->place_ - first_place_;
  if (index < 0 || index >= Count() || items_[static_cast<size_t>(index)].get() != item) return -1;
  return static_cast<int>(index);
}

void TListView::ItemChanged(const TListItem* item) {
  if (Form()) Notify(ListChange::kChanged, IndexOf(item));
}

void TListView::UserChecked(int index, bool checked) {
  if (index >= 0 && index < Count()) Item(index)->checked_ = checked;
}

void TListView::UserSelected(int index) {
  for (TListItem* item : selected_) item->selected_ = false;
  selected_.clear();
  if (index >= 0 && index < Count()) {
    Item(index)->selected_ = true;
    selected_.push_back(Item(index));
  }
}

void TListView::Notify(ListChange change, int index) {
  if (TForm* form = Form()) form->Application().backend().ListViewChanged(*this, change, index);
}

// Rows without a caption are not indexed: every row starts without one and is named next.
void TListView::CaptionChanged(TListItem* item, const std::string& old_caption) {
  if (!old_caption.empty()) {
    auto [begin, end] = by_caption_.equal_range(CaptionKey(old_caption));
    for (auto it = begin; it != end; ++it) {
      if (it->second == item) {
        by_caption_.erase(it);
        break;
      }
    }
  }
  if (!item->caption_.empty()) by_caption_.emplace(CaptionKey(item->caption_), item);
}

void TListView::SelectionChanged(TListItem* item) {
  if (item->selected_) {
    selected_.push_back(item);
  } else {
    selected_.erase(std::remove(selected_.begin(), selected_.end(), item), selected_.end());
  }
}

size_t TListView::CaptionKey(const std::string& caption) { return platform::HashIgnoringCase(caption); }

}  // namespace ui
