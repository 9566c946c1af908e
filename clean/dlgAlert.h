#pragma once
// TfrmAlert: the one message box of the system. A caller sets the window caption, the headline
// lbCaption and the message lbMessage, then shows it modally; texts stay until the next use. Ask
// shows it as a question, with "Yes" and "No" in place of the "Close" link.
#include "context/context.h"
#include "ui/controls.h"
#include "ui/form.h"

class TfrmAlert : public ui::TForm {
 public:
  explicit TfrmAlert(const TContext& context);

  ui::TImage* Image1;
  ui::TLabel* lbMessage;
  ui::TLabel* lbCaption;
  ui::TLabel* lbClose;
  ui::TButton* btnYes;
  ui::TButton* btnNo;

  // Shows the dialog as a question; true only for "Yes" (closing it any other way is a no).
  bool Ask();

  void lbCloseClick(ui::TControl* Sender);
  void lbCloseMouseEnter(ui::TControl* Sender);
  void lbCloseMouseLeave(ui::TControl* Sender);

 private:
  TContext ctx_;
};
