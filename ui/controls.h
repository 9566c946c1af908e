#pragma once
// The concrete controls the forms are built from.
#include <memory>
#include <string>
#include <vector>

#include "ui/control.h"
#include "ui/list_view.h"
#include "ui/picture.h"

namespace ui {

class TLabel : public TControl {
 public:
  TLabel(TControl* parent, std::string name) : TControl(parent, std::move(name), ControlKind::kLabel) {}
  bool WordWrap() const { return word_wrap_; }
  void SetWordWrap(bool wrap);
  bool AutoSize() const { return auto_size_; }
  void SetAutoSize(bool auto_size);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);
  // Without hit testing the pointer passes through the label to what lies beneath: a text drawn
  // over a picture that acts leaves the picture's hover, press and click as they are.
  bool HitTest() const { return hit_test_; }
  void SetHitTest(bool hit_test);

 private:
  bool word_wrap_ = false;
  bool auto_size_ = true;
  TAlignment alignment_ = TAlignment::taLeftJustify;
  bool hit_test_ = true;
};

class TCheckBox : public TControl {
 public:
  TCheckBox(TControl* parent, std::string name) : TControl(parent, std::move(name), ControlKind::kCheckBox) {}
  bool Checked() const { return checked_; }
  // Setting the state from code fires no event.
  void SetChecked(bool checked);
  // The backend reports the user's toggle through here (state first, then OnClick).
  void UserToggled(bool checked);

 private:
  bool checked_ = false;
};

class TButton : public TControl {
 public:
  TButton(TControl* parent, std::string name) : TControl(parent, std::move(name), ControlKind::kButton) {}
  // A non-zero modal result ends the owning form's modal loop when the button is clicked.
  TModalResult ModalResult() const { return modal_result_; }
  void SetModalResult(TModalResult result) { modal_result_ = result; }
  // Enter presses the form's default button wherever the focus is (unless on another push button),
  // Escape its cancel button.
  bool Default() const { return default_; }
  void SetDefault(bool is_default) { default_ = is_default; }
  bool Cancel() const { return cancel_; }
  void SetCancel(bool cancel) { cancel_ = cancel; }
  void Click() override;

 private:
  TModalResult modal_result_ = TModalResult::mrNone;
  bool default_ = false;
  bool cancel_ = false;
};

class TEdit : public TControl {
 public:
  TEdit(TControl* parent, std::string name) : TControl(parent, std::move(name), ControlKind::kEdit) {}
  const std::string& Text() const { return Caption(); }
  void SetText(const std::string& text) { SetCaption(text); }
  // The backend reports typing through here (text first, then OnChange).
  void UserEdited(const std::string& text);
};

class TMemo : public TControl {
 public:
  TMemo(TControl* parent, std::string name) : TControl(parent, std::move(name), ControlKind::kMemo) {}
  const std::string& Text() const { return Caption(); }
  void SetText(const std::string& text) { SetCaption(text); }
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool read_only);

 private:
  bool read_only_ = false;
};

class TComboBox : public TControl {
 public:
  TComboBox(TControl* parent, std::string name) : TControl(parent, std::move(name), ControlKind::kComboBox) {}
  const std::vector<std::string>& Items() const { return items_; }
  void SetItems(std::vector<std::string> items);
  int ItemIndex() const { return item_index_; }
  // Setting the index from code fires no event; an index outside the items selects nothing (-1).
  void SetItemIndex(int index);
  // The backend reports the user's choice through here (index first, then OnChange).
  void UserSelected(int index);

 private:
  std::vector<std::string> items_;
  int item_index_ = -1;
};

class TListBox : public TControl {
 public:
  TListBox(TControl* parent, std::string name) : TControl(parent, std::move(name), ControlKind::kListBox) {}
  const std::vector<std::string>& Items() const { return items_; }
  void Clear();
  void Add(const std::string& item);
  int ItemHeight() const { return item_height_; }
  void SetItemHeight(int height);

 private:
  std::vector<std::string> items_;
  int item_height_ = 13;
};

// Containers: panels, group boxes and tab sheets only hold children and paint a frame.
class TPanel : public TControl {
 public:
  TPanel(TControl* parent, std::string name) : TControl(parent, std::move(name), ControlKind::kPanel) {}
  bool Bevel() const { return bevel_; }
  void SetBevel(bool bevel);
  // Paints through an off-screen buffer, so that changing its contents does not flicker.
  bool DoubleBuffered = false;

 private:
  bool bevel_ = true;
};

class TGroupBox : public TControl {
 public:
  TGroupBox(TControl* parent, std::string name) : TControl(parent, std::move(name), ControlKind::kGroupBox) {}
};

class TTabSheet : public TControl {
 public:
  TTabSheet(TControl* parent, std::string name) : TControl(parent, std::move(name), ControlKind::kTabSheet) {}
};

class TPageControl : public TControl {
 public:
  TPageControl(TControl* parent, std::string name) : TControl(parent, std::move(name), ControlKind::kPageControl) {}
  // The tab sheets are the children, in tab order.
  int ActivePageIndex() const { return active_page_; }
  void SetActivePageIndex(int index);
  // The backend reports a tab change by the user through here.
  void UserSelectedPage(int index);

 private:
  int active_page_ = 0;
};

class TStatusBar : public TControl {
 public:
  TStatusBar(TControl* parent, std::string name) : TControl(parent, std::move(name), ControlKind::kStatusBar) {}
};

// A picture shown from a decoded JPEG file.
class TImage : public TControl {
 public:
  TImage(TControl* parent, std::string name) : TControl(parent, std::move(name), ControlKind::kImage) {}
  // Reads and decodes a JPEG file through the application's file system; throws
  // platform::Exception naming the file when it is missing or broken, and keeps the old picture.
  void LoadFromFile(const std::string& path);
  const std::shared_ptr<const TBitmap>& Picture() const { return picture_; }
  const std::string& PictureFile() const { return picture_file_; }
  // The picture as drawn for a display scale (ArtworkPercent), read from its own file beside the
  // loaded one the first time it is asked for; the loaded picture where that file is missing or
  // broken. Its pixels cover the loaded picture's size in units at that scale.
  std::shared_ptr<const TBitmap> PictureAt(int percent);
  // Sized to the picture on every load.
  bool AutoSize() const { return auto_size_; }
  void SetAutoSize(bool auto_size);

 private:
  std::shared_ptr<const TBitmap> picture_;
  std::string picture_file_;
  int scaled_percent_ = 100;  // the scale of scaled_, once read (100: none)
  std::shared_ptr<const TBitmap> scaled_;
  bool auto_size_ = false;
};

class TWebBrowser : public TControl {
 public:
  TWebBrowser(TControl* parent, std::string name) : TControl(parent, std::move(name), ControlKind::kWebBrowser) {}
  // Asks the backend's browser to show the address; false when no browser can be embedded.
  bool Navigate(const std::string& url);
  const std::string& LocationURL() const { return location_; }

  // The page asked for cannot be shown after all: the server failed, or nothing here can render
  // it. Called by the backend, on the GUI thread, some time after a Navigate that answered true.
  TNotifyEvent OnNavigateError;
  void NavigateFailed();

 private:
  std::string location_;
};

}  // namespace ui
