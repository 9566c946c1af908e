// Program entry for Windows: builds the Win32 platform layer, the main thread and the backend,
// creates the six windows in start-up order, runs the message loop and takes it all down again.
//
// The program's headers come first: <windows.h> defines macros (WM_USER, PostMessage) over names
// that they declare.
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "app/command_line.h"

#include "app/dlgAbout.h"
#include "app/dlgMain.h"
#include "clean/dlgAlert.h"
#include "context/context.h"
#include "platform/win32/main_thread_win32.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"
#include "processes/dlgStartedApps.h"
#include "settings/dlgOptions.h"
#include "settings/languages.h"
#include "ui/application.h"
#include "ui/tr.h"
#include "ui/win32/backend_win32.h"
#include "update/updater.h"
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>
// clang-format on

namespace {

// The arguments after the program's name, as the system's ANSI text.
std::vector<std::string> CommandLineArguments() {
  std::vector<std::string> args;
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return args;
  for (int i = 1; i < count; ++i) {
    const int size = WideCharToMultiByte(CP_ACP, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
    std::string arg(static_cast<size_t>(size > 0 ? size - 1 : 0), '\0');
    if (size > 1) WideCharToMultiByte(CP_ACP, 0, wide[i], -1, arg.data(), size, nullptr, nullptr);
    args.push_back(std::move(arg));
  }
  LocalFree(wide);
  return args;
}

int RunProgram(HINSTANCE instance, platform::win32::Win32Platform& platform, const TCommandLine& line,
               bool another_instance) {
  std::unique_ptr<platform::win32::Win32MainThread> main_thread = platform::win32::CreateMainThread();
  ui::win32::Win32Backend backend(instance);
  ui::TApplication app(backend, platform.os().files);
  // The first form created is the main form, and its window is the one on the taskbar.
  app.SetTitle("Clutterix");

  TForms forms;
  TContext context{app, platform.os(), *main_thread, forms};
  auto frmMain = std::make_unique<TfrmMain>(context);
  forms.frmMain = frmMain.get();
  auto frmOptions = std::make_unique<TfrmOptions>(context);
  forms.frmOptions = frmOptions.get();
  auto frmAlert = std::make_unique<TfrmAlert>(context);
  forms.frmAlert = frmAlert.get();
  auto frmAbout = std::make_unique<TfrmAbout>(context);
  forms.frmAbout = frmAbout.get();
  auto frmUpdater = std::make_unique<TfrmUpdater>(context);
  forms.frmUpdater = frmUpdater.get();
  auto frmStartedApps = std::make_unique<TfrmStartedApps>(context);
  forms.frmStartedApps = frmStartedApps.get();

  if (line.Mode == TRunMode::kWindow) {
    frmMain->Show();
  } else {
    frmMain->RunUnattended(line, another_instance);
  }
  app.Run();

  // A worker still running now finds the main thread gone and no window to reach; then the
  // windows go, then the forms, in the reverse order of their creation.
  main_thread->Shutdown();
  backend.Shutdown();
  frmStartedApps.reset();
  frmUpdater.reset();
  frmAbout.reset();
  frmAlert.reset();
  frmOptions.reset();
  frmMain.reset();
  return app.ExitCode();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  platform::win32::Win32Platform platform;
  // Every text, the usage message's too, is in the language chosen here.
  ui::SetCatalogue(StartCatalogue(platform.os()));
  const TCommandLine line = ParseCommandLine(CommandLineArguments());
  if (!line.Error.empty()) {
    MessageBoxW(nullptr, platform::win32::Wide(UsageText(line.Error)).c_str(), L"Clutterix",
                MB_OK | MB_ICONINFORMATION);
    return kExitUsage;
  }
  // Every instance holds this name while it runs; an unattended one refuses to run beside another.
  HANDLE instance_mutex = CreateMutexA(nullptr, FALSE, "Local\\Torvex Clutterix");
  const bool another_instance = instance_mutex && GetLastError() == ERROR_ALREADY_EXISTS;
  INITCOMMONCONTROLSEX controls{sizeof controls,
                                ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  // The embedded browser is an OLE control; it needs a single-threaded apartment.
  HRESULT ole = OleInitialize(nullptr);
  int code = 1;
  try {
    code = RunProgram(instance, platform, line, another_instance);
  } catch (const std::exception& error) {
    MessageBoxW(nullptr, platform::win32::Wide(error.what()).c_str(), L"Clutterix", MB_OK | MB_ICONERROR);
  }
  if (SUCCEEDED(ole)) OleUninitialize();
  if (instance_mutex) CloseHandle(instance_mutex);
  return code;
}
