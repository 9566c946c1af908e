#pragma once
// TForm: a top-level window and the owner of every control and component on it.
#include <memory>
#include <string>
#include <vector>

#include "platform/shell.h"
#include "ui/components.h"
#include "ui/control.h"

namespace ui {

class TApplication;

enum class TBorderStyle { bsSizeable, bsSingle, bsDialog };
enum class TPosition { poDesigned, poScreenCenter, poMainFormCenter };
enum class TCloseAction { caNone, caHide, caFree };

struct TBorderIcons {
  bool SystemMenu = true;
  bool Minimize = true;
  bool Maximize = true;
};

// Private messages start here, as WM_USER does.
constexpr unsigned WM_USER = 0x0400;
// Sent to a form by the backend when a volume arrives or is removed.
constexpr unsigned CM_VOLUMES_CHANGED = 0xB100;

class TForm : public TControl {
 public:
  TForm(TApplication& app, std::string name);
  ~TForm() override;

  TApplication& Application() const { return app_; }

  // Creates a control owned by this form; parent is this form or a container on it.
  template <class T>
  T* Add(TControl* parent, std::string name) {
    auto control = std::make_unique<T>(parent, std::move(name));
    T* raw = control.get();
    owned_controls_.push_back(std::move(control));
    return raw;
  }
  template <class T, class... Args>
  T* AddComponent(std::string name, Args&&... args) {
    auto component = std::make_unique<T>(this, std::move(name), std::forward<Args>(args)...);
    T* raw = component.get();
    components_.push_back(std::move(component));
    return raw;
  }
  const std::vector<std::unique_ptr<TComponent>>& Components() const { return components_; }

  int ClientWidth() const { return client_width_; }
  int ClientHeight() const { return client_height_; }
  void SetClientSize(int width, int height);
  TBorderStyle BorderStyle() const { return border_style_; }
  void SetBorderStyle(TBorderStyle style) { border_style_ = style; }
  const TBorderIcons& BorderIcons() const { return border_icons_; }
  void SetBorderIcons(TBorderIcons icons) { border_icons_ = icons; }
  TPosition Position() const { return position_; }
  void SetPosition(TPosition position) { position_ = position; }
  // Outer-size limits kept by the backend; 0 means none.
  int MinWidth = 0, MinHeight = 0, MaxWidth = 0, MaxHeight = 0;
  bool DoubleBuffered = false;
  // A layered window shows pixels of this colour as see-through; clDefault for none.
  TColor TransparentColor = clDefault;

  // Shows the form without a modal loop; runs OnShow when it becomes visible.
  void Show();
  void Hide();
  void SetVisible(bool visible) override;
  // Asks OnClose; unless it answers caNone the form hides, ends its modal loop with mrCancel,
  // and, for the main form, ends the application.
  void Close();
  // Shows the form and runs its modal loop until ModalResult is set; hides it and returns it.
  TModalResult ShowModal();
  TModalResult ModalResult() const { return modal_result_; }
  void SetModalResult(TModalResult result) { modal_result_ = result; }
  bool InModalLoop() const { return in_modal_; }

  // Changes made between BeginUpdate and the matching EndUpdate (they nest) reach the screen
  // together at the end, each control's once, and are painted once: a control hidden and shown
  // again within the batch never leaves the screen. Never around a modal loop: the form would not
  // change on screen.
  void BeginUpdate();
  void EndUpdate();

  // PostMessage to this form's own window; HandleMessage runs later from the message loop.
  void PostMessage(unsigned message);
  virtual void HandleMessage(unsigned message);

  // The window handle for calls that take an owner; 0 before the window exists.
  platform::WindowHandle Handle() const;

  std::function<void(TControl* Sender)> OnShow;
  std::function<void(TControl* Sender, TCloseAction& Action)> OnClose;

 private:
  TApplication& app_;
  std::vector<std::unique_ptr<TControl>> owned_controls_;
  std::vector<std::unique_ptr<TComponent>> components_;
  int client_width_ = 0;
  int client_height_ = 0;
  TBorderStyle border_style_ = TBorderStyle::bsSizeable;
  TBorderIcons border_icons_;
  TPosition position_ = TPosition::poDesigned;
  TModalResult modal_result_ = TModalResult::mrNone;
  bool in_modal_ = false;
  int updating_ = 0;
};

// BeginUpdate for as long as it lives.
class TFormUpdate {
 public:
  explicit TFormUpdate(TForm& form) : form_(form) { form_.BeginUpdate(); }
  ~TFormUpdate() { form_.EndUpdate(); }
  TFormUpdate(const TFormUpdate&) = delete;
  TFormUpdate& operator=(const TFormUpdate&) = delete;

 private:
  TForm& form_;
};

}  // namespace ui
