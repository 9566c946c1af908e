#include "ui/form.h"

#include "ui/application.h"
#include "ui/backend.h"

namespace ui {

TForm::TForm(TApplication& app, std::string name) : TControl(nullptr, std::move(name), ControlKind::kForm), app_(app) {
  TControl::SetVisible(false);
  app_.RegisterForm(this);
}

TForm::~TForm() { app_.UnregisterForm(this); }

void TForm::SetClientSize(int width, int height) {
  client_width_ = width;
  client_height_ = height;
  SetSize(width, height);
}

void TForm::SetVisible(bool visible) {
  if (visible) {
    Show();
  } else {
    Hide();
  }
}

void TForm::Show() {
  if (Visible()) return;
  TControl::SetVisible(true);
  if (OnShow) OnShow(this);
  // OnShow may already have closed the form again.
  if (Visible()) app_.backend().ShowForm(*this);
}

void TForm::Hide() {
  if (!Visible()) return;
  TControl::SetVisible(false);
  app_.backend().HideForm(*this);
}

void TForm::Close() {
  TCloseAction action = TCloseAction::caHide;
  if (OnClose) OnClose(this, action);
  if (action == TCloseAction::caNone) return;
  if (in_modal_) {
    if (modal_result_ == TModalResult::mrNone) modal_result_ = TModalResult::mrCancel;
    return;  // the modal loop hides the form
  }
  Hide();
  if (app_.MainForm() == this) app_.Terminate();
}

TModalResult TForm::ShowModal() {
  modal_result_ = TModalResult::mrNone;
  in_modal_ = true;
  Show();
  TModalResult result = modal_result_;
  if (Visible() && result == TModalResult::mrNone) result = app_.backend().RunModal(*this);
  in_modal_ = false;
  Hide();
  modal_result_ = result;
  return result;
}

void TForm::BeginUpdate() {
  if (updating_++ == 0) app_.backend().FreezeForm(*this, true);
}

void TForm::EndUpdate() {
  if (updating_ > 0 && --updating_ == 0) app_.backend().FreezeForm(*this, false);
}

void TForm::PostMessage(unsigned message) { app_.backend().PostMessage(*this, message); }

void TForm::HandleMessage(unsigned /*message*/) {}

platform::WindowHandle TForm::Handle() const { return app_.backend().Handle(*this); }

}  // namespace ui
