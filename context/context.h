#pragma once
// What every form of the program is built with: the application, the platform layer, the way to
// the main thread, and the other forms (filled in as they are created, in start-up order).
#include "platform/main_thread.h"
#include "platform/platform.h"
#include "ui/application.h"

class TfrmMain;
class TfrmOptions;
class TfrmAlert;
class TfrmAbout;
class TfrmUpdater;
class TfrmStartedApps;

struct TForms {
  TfrmMain* frmMain = nullptr;
  TfrmOptions* frmOptions = nullptr;
  TfrmAlert* frmAlert = nullptr;
  TfrmAbout* frmAbout = nullptr;
  TfrmUpdater* frmUpdater = nullptr;
  TfrmStartedApps* frmStartedApps = nullptr;
};

struct TContext {
  ui::TApplication& app;
  platform::Platform& os;
  platform::MainThread& main_thread;
  TForms& forms;
};
