#pragma once
// TfrmAbout: the about box, the product's logo and the release's version.
#include "context/context.h"
#include "ui/controls.h"
#include "ui/form.h"

class TfrmAbout : public ui::TForm {
 public:
  explicit TfrmAbout(const TContext& context);
  ui::TImage* Image1;
  ui::TLabel* lbVersion;
  ui::TLabel* lbMadeBy;
  ui::TLabel* lbJpegNotice;

 private:
  TContext ctx_;
};
