#include "app/dlgMain.h"

void TfrmMain::LoadSettings() {}
void TfrmMain::SaveSettings() {}
