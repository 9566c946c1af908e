#pragma once
// TfrmAlert: the one message box of the system. A caller sets the window caption, the headline
// lbCaption and the message lbMessage, then shows it modally; texts stay until the next use.
#include "app/context.h"
#include "ui/controls.h"
#include "ui/form.h"

class TfrmAlert : public ui::TForm {
 public:
  explicit TfrmAlert(const TContext& context);

  ui::TImage* Image1;
  ui::TLabel* lbMessage;
  ui::TLabel* lbCaption;
  ui::TLabel* lbClose;

  void lbCloseClick(ui::TControl* Sender);
  void lbCloseMouseEnter(ui::TControl* Sender);
  void lbCloseMouseLeave(ui::TControl* Sender);

 private:
  TContext ctx_;
};
