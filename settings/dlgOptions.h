#pragma once
// TfrmOptions: the options dialog. Its controls are the live store of the disks, scan level,
// noise level, autostart and auto-scan settings for the whole run.
#include <cstdint>
#include <string>
#include <vector>

#include "app/context.h"
#include "ui/controls.h"
#include "ui/form.h"

class TfrmOptions : public ui::TForm {
 public:
  explicit TfrmOptions(const TContext& context);

  ui::TImage* Image1;
  ui::TPageControl* PageControl1;
  ui::TTabSheet* tsScan;
  ui::TTabSheet* tsOther;
  ui::TGroupBox* GroupBox1;
  ui::TListView* lvDisks;
  ui::TLabel* Label1;
  ui::TLabel* lbMoreInfoTimeEst;
  ui::TGroupBox* GroupBox2;
  ui::TComboBox* cbScanLevel;
  ui::TGroupBox* gbScanDisks;
  ui::TLabel* Label2;
  ui::TEdit* editNoiseLevel;
  ui::TGroupBox* gbAutostart;
  ui::TCheckBox* cbAutostart;
  ui::TCheckBox* cbStartScanAuto;
  ui::TGroupBox* GroupBox3;
  ui::TCheckBox* CheckBox1;
  ui::TLabel* Label3;
  ui::TButton* btnOK;

  void btnOKClick(ui::TControl* Sender);
  void cbScanLevelChange(ui::TControl* Sender);
  void ApplyScanLevel(int Index);
  void FillDiskList();
  void lbMoreInfoTimeEstClick(ui::TControl* Sender);
  void lbMoreInfoTimeEstMouseEnter(ui::TControl* Sender);
  void lbMoreInfoTimeEstMouseLeave(ui::TControl* Sender);
  // The drive list (the hidden drvList): fixed and removable drives, rebuilt on volume changes.
  const std::vector<char>& DriveList() const { return FDrives; }
  void RebuildDriveList();
  void HandleMessage(unsigned message) override;

 private:
  void CreateControls();

  std::vector<char> FDrives;
  TContext ctx_;
};

// Whole seconds as hours:minutes:seconds, each at least two digits ("100:00:00").
std::string SecondsToTimeText(int64_t seconds);
