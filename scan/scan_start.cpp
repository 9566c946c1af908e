#include "app/dlgMain.h"

void TfrmMain::btnStartClick(ui::TControl*) {}
