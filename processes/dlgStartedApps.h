#pragma once
// TfrmStartedApps: lists the running applications that may prevent cleaning and asks whether to
// close them (mrYes, 6), skip (mrIgnore, 5) or cancel (mrCancel, 2).
#include "context/context.h"
#include "ui/controls.h"
#include "ui/form.h"

class TfrmStartedApps : public ui::TForm {
 public:
  explicit TfrmStartedApps(const TContext& context);

  ui::TLabel* lb1;
  ui::TListBox* ListBox1;
  ui::TButton* btnCloseAndContinue;
  ui::TButton* btSkip;
  ui::TButton* btnCancel;

  void btnCloseAndContinueClick(ui::TControl* Sender);
  void btSkipClick(ui::TControl* Sender);
  void btnCancelClick(ui::TControl* Sender);

 private:
  TContext ctx_;
};
