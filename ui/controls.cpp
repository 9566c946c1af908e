#include "ui/controls.h"

#include <algorithm>

#include "platform/exception.h"
#include "platform/text.h"
#include "ui/application.h"
#include "ui/backend.h"
#include "ui/form.h"

namespace ui {

void TLabel::SetWordWrap(bool wrap) {
  word_wrap_ = wrap;
  Changed();
}

void TLabel::SetAutoSize(bool auto_size) {
  auto_size_ = auto_size;
  Changed();
}

void TCheckBox::SetChecked(bool checked) {
  if (checked_ == checked) return;
  checked_ = checked;
  Changed();
}

void TCheckBox::UserToggled(bool checked) {
  checked_ = checked;
  DoClick();
}

void TButton::Click() {
  // As a disabled push button ignores BM_CLICK: the controls that start a worker are disabled
  // while it runs, and a click made by code must not start a second one.
  if (!Enabled()) return;
  TControl::Click();
  if (modal_result_ != TModalResult::mrNone) {
    if (TForm* form = Form()) form->SetModalResult(modal_result_);
  }
}

void TEdit::UserEdited(const std::string& text) {
  if (text == Caption()) return;
  SetCaption(text);
  DoChange();
}

void TMemo::SetReadOnly(bool read_only) {
  read_only_ = read_only;
  Changed();
}

void TComboBox::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  if (item_index_ >= static_cast<int>(items_.size())) item_index_ = -1;
  Changed();
}

void TComboBox::SetItemIndex(int index) {
  if (index < 0 || index >= static_cast<int>(items_.size())) index = -1;
  if (index == item_index_) return;
  item_index_ = index;
  Changed();
}

void TComboBox::UserSelected(int index) {
  SetItemIndex(index);
  DoChange();
}

void TListBox::Clear() {
  items_.clear();
  Changed();
}

void TListBox::Add(const std::string& item) {
  items_.push_back(item);
  Changed();
}

void TListBox::SetItemHeight(int height) {
  item_height_ = height;
  Changed();
}

void TPanel::SetBevel(bool bevel) {
  bevel_ = bevel;
  Changed();
}

void TPageControl::SetActivePageIndex(int index) {
  if (index == active_page_) return;
  active_page_ = index;
  Changed();
}

void TPageControl::UserSelectedPage(int index) {
  active_page_ = index;
  DoChange();
}

void TImage::LoadFromFile(const std::string& path) {
  TForm* form = Form();
  if (!form) throw platform::Exception("Cannot load picture \"" + path + "\": no form");
  auto data = form->Application().files().ReadFile(path);
  if (!data) throw platform::Exception("Cannot open file \"" + path + "\". The picture is missing or cannot be read.");
  picture_ = std::make_shared<const TBitmap>(DecodeJpeg(*data, path));
  picture_file_ = path;
  if (auto_size_) {
    SetBounds(Left(), Top(), picture_->Width, picture_->Height);
  }
  Changed();
}

void TImage::SetAutoSize(bool auto_size) {
  auto_size_ = auto_size;
  Changed();
}

bool TWebBrowser::Navigate(const std::string& url) {
  location_ = url;
  TForm* form = Form();
  return form && form->Application().backend().Navigate(*this, url);
}

void TListItem::SetCaption(const std::string& caption) {
  caption_ = caption;
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
  selected_ = selected;
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

TListItem* TListView::Add() { return Insert(Count()); }

TListItem* TListView::Insert(int index) {
  index = std::clamp(index, 0, Count());
  auto it = items_.insert(items_.begin() + index, std::make_unique<TListItem>(this));
  Notify(ListChange::kInserted, index);
  return it->get();
}

void TListView::Clear() {
  items_.clear();
  Notify(ListChange::kCleared, -1);
}

TListItem* TListView::Selected() const {
  for (const auto& item : items_)
    if (item->Selected()) return item.get();
  return nullptr;
}

TListItem* TListView::FindCaption(int start, const std::string& text) const {
  for (int i = std::max(start, 0); i < Count(); ++i)
    if (platform::SameText(items_[static_cast<size_t>(i)]->Caption(), text))
      return items_[static_cast<size_t>(i)].get();
  return nullptr;
}

int TListView::IndexOf(const TListItem* item) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].get() == item) return static_cast<int>(i);
  return -1;
}

void TListView::ItemChanged(const TListItem* item) {
  if (Form()) Notify(ListChange::kChanged, IndexOf(item));
}

void TListView::UserChecked(int index, bool checked) {
  if (index >= 0 && index < Count()) Item(index)->checked_ = checked;
}

void TListView::UserSelected(int index) {
  for (int i = 0; i < Count(); ++i) Item(i)->selected_ = (i == index);
}

void TListView::Notify(ListChange change, int index) {
  if (TForm* form = Form()) form->Application().backend().ListViewChanged(*this, change, index);
}

}  // namespace ui
