#include "ui/controls.h"

#include <algorithm>

#include "platform/exception.h"
#include "platform/text.h"
#include "ui/application.h"
#include "ui/backend.h"
#include "ui/form.h"
#include "ui/scale.h"

namespace ui {

void TLabel::SetWordWrap(bool wrap) {
  word_wrap_ = wrap;
  Changed();
}

void TLabel::SetAutoSize(bool auto_size) {
  auto_size_ = auto_size;
  Changed();
}

void TLabel::SetAlignment(TAlignment alignment) {
  alignment_ = alignment;
  Changed();
}

void TLabel::SetHitTest(bool hit_test) {
  hit_test_ = hit_test;
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
  scaled_percent_ = 100;
  scaled_.reset();
  if (auto_size_) {
    SetBounds(Left(), Top(), picture_->Width, picture_->Height);
  }
  Changed();
}

std::shared_ptr<const TBitmap> TImage::PictureAt(int percent) {
  if (percent == 100 || !picture_) return picture_;
  if (scaled_percent_ != percent) {
    scaled_percent_ = percent;
    scaled_ = picture_;
    // A missing or broken drawing is shown as its loaded picture, fitted.
    if (TForm* form = Form())
      if (auto drawn = ReadDrawing(form->Application().files(), picture_file_, percent))
        scaled_ = std::make_shared<const TBitmap>(std::move(*drawn));
  }
  return scaled_;
}

void TImage::SetAutoSize(bool auto_size) {
  auto_size_ = auto_size;
  Changed();
}

void TWebBrowser::NavigateFailed() {
  if (OnNavigateError) OnNavigateError(this);
}

bool TWebBrowser::Navigate(const std::string& url) {
  location_ = url;
  TForm* form = Form();
  return form && form->Application().backend().Navigate(*this, url);
}

}  // namespace ui
