// The update check over the real WinInet under Wine, against a server of the test's own.
// The program's headers come first: <windows.h> defines macros that clash with their names.
#include "update/updater.h"

#include <shlobj.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>

#include "platform/win32/win32_platform.h"
#include "tests/wine/support/gui_driver.h"
#include "tests/wine/support/http_server.h"

namespace {

TEST(UpdateWine, DownloadTextReadsTheBodyAndAnUnreachableServerGivesZero) {
  auto http = platform::win32::CreateHttp();
  int port = 0;
  {
    TestHttpServer server("4");
    port = server.port();
    EXPECT_EQ(DownloadText(*http, "http://" + server.host() + "/zp/cx.php?ver=1.2"), "4");
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0], "GET /zp/cx.php?ver=1.2 HTTP/1.1");
  }
  // The server is gone: nothing listens on its port any more.
  EXPECT_EQ(DownloadText(*http, "http://127.0.0.1:" + std::to_string(port) + "/zp/cx.php?ver=1.2"), "0");
}

struct WindowCount {
  DWORD id;
  const std::string* caption;
  int n;
};

BOOL CALLBACK CountWindow(HWND window, LPARAM param) {
  auto* c = reinterpret_cast<WindowCount*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == c->id && IsWindowVisible(window) && WindowText(window) == *c->caption) ++c->n;
  return TRUE;
}

int CountWindows(DWORD process_id, const std::string& caption) {
  WindowCount count{process_id, &caption, 0};
  EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&count));
  return count.n;
}

// Starts the program with the given settings file and closes it once its window is up; returns
// how many windows captioned "Clutterix" it showed (the main window, and the updater).
int StartWith(const std::string& conf) {
  std::ofstream(SettingsFilePath(), std::ios::binary) << conf;
  GuiProgram program;
  HWND main = program.WaitForWindow("Clutterix");
  if (!main) return 0;
  if (HWND warning = program.WaitForWindow("Not enought rights.", 1000)) ClickControl(FindChild(warning, "Close"));
  WaitUntil([&] { return CountWindows(program.id(), "Clutterix") > 1; }, 3000);
  const int windows = CountWindows(program.id(), "Clutterix");
  PostMessageA(main, WM_CLOSE, 0, 0);
  program.WaitForExit();
  return windows;
}

TEST(UpdateWine, TheUpdaterAppearsOnlyForANewerReleaseWhenTheCheckIsOn) {
  TestHttpServer newer("4");
  EXPECT_EQ(StartWith("[Update]\r\nCheckAtStart=1\r\nHost=" + newer.host() + "\r\n"), 2);
  ASSERT_GE(newer.requests().size(), 1u);
  EXPECT_EQ(newer.requests()[0], "GET /zp/cx.php?ver=1.2 HTTP/1.1");

  TestHttpServer same("3");
  EXPECT_EQ(StartWith("[Update]\r\nCheckAtStart=1\r\nHost=" + same.host() + "\r\n"), 1);
  EXPECT_EQ(same.requests().size(), 1u);

  TestHttpServer unasked("4");
  EXPECT_EQ(StartWith("[Update]\r\nHost=" + unasked.host() + "\r\n"), 1);
  EXPECT_TRUE(unasked.requests().empty()) << "the check is off unless switched on";

  std::ofstream(SettingsFilePath(), std::ios::binary) << "";
}

}  // namespace
