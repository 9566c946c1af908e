#include "app/dlgMain.h"

bool TfrmMain::PrepareCleaningView(bool) { return true; }
