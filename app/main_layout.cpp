#include "app/dlgMain.h"

void TfrmMain::CreateControls() {}
