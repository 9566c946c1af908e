// The update check over the real WinInet under Wine, against a server of the test's own.
// The program's headers come first: <windows.h> defines macros that clash with their names.
#include "update/updater.h"

#include <shlobj.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <wininet.h>

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

// What a misbehaving server gets from the real WinInet: "0" (no update), within the deadline,
// and no copy of its answer in the Internet cache.
TEST(UpdateWine, SlowHugeLoopingOrFailingServersGiveNoAnswerInTime) {
  auto http = platform::win32::CreateHttp();
  struct Case {
    const char* what;
    HttpAnswer answer;
  };
  const Case cases[] = {
      {"trickle", {200, std::string(60, ' ') + "4", "", 1000}},  // 61 s without the deadline
      {"silent", {200, "4", "", 0, false, true}},
      {"huge", {200, std::string(64 * 1024, '9'), "", 0, true}},
      {"404 with a number", {404, "4"}},
  };
  for (const Case& c : cases) {
    TestHttpServer server(c.answer);
    const std::string url = "http://" + server.host() + "/zp/cx.php?ver=1.2";
    const DWORD start = GetTickCount();
    EXPECT_EQ(DownloadText(*http, url), "0") << c.what;
    EXPECT_LT(GetTickCount() - start, 20000u) << c.what;
    DWORD size = 0;
    EXPECT_FALSE(GetUrlCacheEntryInfoA(url.c_str(), nullptr, &size)) << c.what << ": left in the cache";
  }
  // A redirect to itself is followed a few times, not forever.
  TestHttpServer loop(HttpAnswer{302, "", "/zp/cx.php?ver=1.2"});
  EXPECT_EQ(DownloadText(*http, "http://" + loop.host() + "/zp/cx.php?ver=1.2"), "0");
  EXPECT_LE(loop.requests().size(), 4u);
  EXPECT_GE(loop.requests().size(), 2u);
  // A plain answer leaves nothing in the cache either.
  TestHttpServer plain("4");
  const std::string url = "http://" + plain.host() + "/zp/cx.php?ver=1.2";
  EXPECT_EQ(DownloadText(*http, url), "4");
  DWORD size = 0;
  EXPECT_FALSE(GetUrlCacheEntryInfoA(url.c_str(), nullptr, &size));
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
