// The updater with the system's web browser control, in-process under Wine: the host's own COM
// objects count every reference the control takes, and the control gives each back when the
// updater closes. The program's headers come first: <windows.h> defines macros over their names.
#include "context/context.h"
#include "platform/win32/main_thread_win32.h"
#include "platform/win32/win32_platform.h"
#include "ui/application.h"
#include "ui/win32/backend_win32.h"
#include "update/updater.h"
// clang-format off
#include "ui/win32/system_browser.h"
#include <commctrl.h>
// clang-format on

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/wine/support/http_server.h"

namespace {

// Runs this thread's messages until done holds or the deadline passes; whether it held.
template <class Pred>
bool PumpUntil(Pred done, DWORD timeout_ms = 20000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeout_ms) return false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
  return true;
}

// Requests for the news page made by the control (the updater's own fetch names its agent).
int ControlRequests(TestHttpServer& server) {
  int n = 0;
  for (const std::string& head : server.heads()) {
    if (head.find("type=news") != std::string::npos && head.find("Torvex Updater") == std::string::npos) ++n;
  }
  return n;
}

TEST(SystemBrowserWine, TheControlGivesBackEveryHostReferenceWhenTheUpdaterCloses) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
  {
    TestHttpServer server("<html><body><p>News</p></body></html>");
    platform::win32::Win32Platform platform;
    std::unique_ptr<platform::win32::Win32MainThread> main_thread = platform::win32::CreateMainThread();
    ui::win32::Win32Backend backend(GetModuleHandleA(nullptr));
    ui::TApplication app(backend, platform.os().files);
    TForms forms;
    TContext context{app, platform.os(), *main_thread, forms};
    auto updater = std::make_unique<TfrmUpdater>(context);
    updater->FHost = server.host();
    ASSERT_EQ(ui::win32::SystemBrowserHostReferences(), 0);

    // Every show navigates afresh; this prefix renders no page, so each ends in the text.
    for (int show = 1; show <= 2; ++show) {
      SCOPED_TRACE("show " + std::to_string(show));
      updater->Show();
      EXPECT_TRUE(PumpUntil([&] { return ControlRequests(server) == show && updater->memoNews->Visible(); }));
      // The site's and the sink's own references, and those the control took on them.
      EXPECT_GT(ui::win32::SystemBrowserHostReferences(), 2);
      updater->JvXPButton1Click(nullptr);
      EXPECT_FALSE(updater->Visible());
      EXPECT_EQ(ui::win32::SystemBrowserHostReferences(), 0);
    }

    main_thread->Shutdown();
    backend.Shutdown();
  }
  OleUninitialize();
}

}  // namespace
