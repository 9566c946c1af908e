// The update check over the real WinInet under Wine, against a server of the test's own.
// The program's headers come first: <windows.h> defines macros that clash with their names.
#include "update/updater.h"

#include <shlobj.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <wininet.h>

#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "tests/wine/support/gui_driver.h"
#include "tests/wine/support/http_server.h"
#include "tests/wine/support/screenshot.h"

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
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
  auto* c = reinterpret_cast<WindowCount*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == c->id && IsWindowVisible(window) && WindowText(window) == *c->caption) c->found.push_back(window);
  return TRUE;
}

std::vector<HWND> VisibleWindows(DWORD process_id, const std::string& caption) {
  WindowCount count{process_id, &caption, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&count));
  return count.found;
}

int CountWindows(DWORD process_id, const std::string& caption) {
  return static_cast<int>(VisibleWindows(process_id, caption).size());
}

void WriteSettings(const std::string& host, bool check = true) {
  std::ofstream(SettingsFilePath(), std::ios::binary)
      << "[Update]\r\n"
      << (check ? "CheckAtStart=1\r\n" : "") << "Host=" << host << "\r\n";
}

// Starts the program with the given settings file and closes it once its window is up; returns
// how many windows captioned "Clutterix" it showed (the main window, and the updater).
int StartWith(const std::string& conf) {
  std::ofstream(SettingsFilePath(), std::ios::binary) << conf;
  GuiProgram program;
  HWND shown = StartMainWindow(program);
  if (!shown) return 0;
  // The check runs on the window's thread as the main window first shows, before that thread
  // takes another message: once a message sent to it is answered, an updater due is up.
  SendMessageTimeoutA(shown, WM_NULL, 0, 0, SMTO_NORMAL, 30000, nullptr);
  const std::vector<HWND> windows = VisibleWindows(program.id(), "Clutterix");
  // Either may have been found first; the updater has the "Skip" button, and closing the main
  // window ends the program.
  for (HWND window : windows)
    if (!FindChild(window, "Skip")) PostMessageA(window, WM_CLOSE, 0, 0);
  program.WaitForExit();
  return static_cast<int>(windows.size());
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

// The promise of the check: whatever the server does, the main window is up within about 10 s.
// Without the deadline the trickle takes a minute and the endless answer never ends.
TEST(UpdateWine, ASlowOrEndlessServerLeavesTheStartUpWithinTheDeadline) {
  constexpr DWORD kBound = 30000;
  struct Case {
    const char* what;
    HttpAnswer answer;
  };
  const Case cases[] = {
      {"a byte a second", {200, std::string(60, ' ') + "4", "", 1000}},
      {"megabytes of nines", {200, std::string(64 * 1024, '9'), "", 0, true}},
  };
  for (const Case& c : cases) {
    TestHttpServer server(c.answer);
    WriteSettings(server.host());
    const DWORD start = GetTickCount();
    GuiProgram program;
    const DWORD spent = GetTickCount() - start;
    HWND main = spent < kBound ? program.WaitForWindow("Clutterix", kBound - spent) : nullptr;
    EXPECT_NE(main, nullptr) << c.what << ": no main window within " << kBound / 1000 << " s";
    EXPECT_TRUE(WaitUntil([&] { return server.hang_ups() == 1; }, 10000)) << c.what << ": the connection stays open";
    EXPECT_EQ(server.requests().size(), 1u) << c.what;
    EXPECT_EQ(CountWindows(program.id(), "Clutterix"), main ? 1 : 0) << c.what << ": no updater for no answer";
    if (main) PostMessageA(main, WM_CLOSE, 0, 0);
    program.WaitForExit();
  }
  ResetSettingsFile();
}

// A started program's main window and its updater, both captioned "Clutterix": the updater is the
// one with the "Skip" button. Either is nullptr when it does not show.
struct ProgramWindows {
  HWND main = nullptr;
  HWND updater = nullptr;
};

ProgramWindows WaitForMainAndUpdater(const GuiProgram& program) {
  ProgramWindows found;
  if (!StartMainWindow(program)) return found;
  WaitUntil(
      [&] {
        for (HWND w : VisibleWindows(program.id(), "Clutterix"))
          (FindChild(w, "Skip") ? found.updater : found.main) = w;
        return found.main && found.updater;
      },
      30000);
  return found;
}

// The heads of the requests for the news page, in order of arrival.
std::vector<std::string> NewsRequests(TestHttpServer& server) {
  std::vector<std::string> news;
  for (const std::string& head : server.heads()) {
    if (head.rfind("GET /zp/cx.php?ver=1.2&type=news HTTP/1.1\r\n", 0) == 0) news.push_back(head);
  }
  return news;
}

bool SentByTheUpdater(const std::string& head) {
  return (head + "\r\n").find("\r\nUser-Agent: Torvex Updater 1.5.1\r\n") != std::string::npos;
}

// A news page that never comes keeps the control waiting, so it stays in its place: the host
// fills the client area above the button panel and the status bar with a margin of 5, and the
// control's own window fills the host, at the first show and after the window is resized.
TEST(UpdateWine, TheBrowserControlFillsTheUpdaterAboveTheButtonsAndFollowsItsSize) {
  TestHttpServer server(HttpAnswer{200, "4"}, {{"type=news", HttpAnswer{200, "", "", 0, false, true}}});
  WriteSettings(server.host());
  GuiProgram program;
  const auto [main, updater] = WaitForMainAndUpdater(program);
  ASSERT_NE(main, nullptr);
  ASSERT_NE(updater, nullptr);
  HWND host = FindChildOfClass(updater, "CxBrowserHost");
  ASSERT_NE(host, nullptr);
  EXPECT_TRUE(IsWindowVisible(host));
  HWND control = GetWindow(host, GW_CHILD);
  ASSERT_NE(control, nullptr) << "the control made no window in its host";
  EXPECT_TRUE(WaitUntil([&] { return NewsRequests(server).size() == 1; }, 10000));

  auto fits = [&] {
    const SIZE client = ClientSize(updater);
    const RECT place = ClientPlace(host);
    const RECT want{5, 5, client.cx - 5, client.cy - 19 - 35 - 5};
    const RECT inner = ClientPlace(control);
    return EqualRect(&place, &want) && EqualRect(&inner, &want);
  };
  EXPECT_TRUE(WaitUntil(fits, 5000));

  RECT outer;
  GetWindowRect(updater, &outer);
  SetWindowPos(updater, nullptr, 0, 0, outer.right - outer.left + 151, outer.bottom - outer.top + 96,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(WaitUntil([&] { return ClientSize(updater).cx == 700 && fits(); }, 5000));
  PostMessageA(main, WM_CLOSE, 0, 0);
  program.WaitForExit();
  ResetSettingsFile();
}

// One DLL switched off for the program alone while this lives, as Wine's per-program settings do
// it (a process reads them when it starts; WINEDLLOVERRIDES reaches no program started from here).
class ProgramDllOff {
 public:
  explicit ProgramDllOff(const char* dll) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) ==
        ERROR_SUCCESS) {
      RegSetValueExA(key, dll, 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
      RegCloseKey(key);
    }
  }
  ~ProgramDllOff() {
    RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\clutterix.exe");
  }
  ProgramDllOff(const ProgramDllOff&) = delete;
  ProgramDllOff& operator=(const ProgramDllOff&) = delete;

 private:
  static constexpr const char* kKey = "Software\\Wine\\AppDefaults\\clutterix.exe\\DllOverrides";
};

// Where the control cannot render the page (this prefix has no HTML engine), or cannot be made at
// all (its DLL switched off for the program), the updater shows the page's text, with the address as
// a link; the control asks for the page itself, with its own agent, before it gives up.
TEST(UpdateWine, WhereTheControlCannotShowTheNewsTheUpdaterShowsItsText) {
  const std::string page =
      "<html><head><style>h1 { color: red }</style><script>document.write('x')</script></head>"
      "<body><h1>Clutterix 1.3</h1><p>Faster &amp; safer.</p></body></html>";
  for (const bool control_off : {false, true}) {
    SCOPED_TRACE(control_off ? "without the control's DLL" : "without an HTML engine");
    TestHttpServer server(HttpAnswer{200, "4"}, {{"type=news", HttpAnswer{200, page}}});
    WriteSettings(server.host());
    std::optional<ProgramDllOff> off;
    if (control_off) off.emplace("ieframe");
    GuiProgram program;
    const auto [main, updater] = WaitForMainAndUpdater(program);
    ASSERT_NE(main, nullptr);
    ASSERT_NE(updater, nullptr);

    const std::string address = "http://" + server.host() + "/zp/cx.php?ver=1.2&type=news";
    HWND link = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (link = FindChild(updater, address)) && IsWindowVisible(link); }, 20000));
    HWND memo = FindChildOfClass(updater, "Edit");
    ASSERT_NE(memo, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(memo); }, 10000));
    const std::string text = WindowText(memo);
    EXPECT_NE(text.find("Clutterix 1.3"), std::string::npos) << text;
    EXPECT_NE(text.find("Faster & safer."), std::string::npos) << text;
    EXPECT_EQ(text.find('<'), std::string::npos) << text;
    EXPECT_EQ(text.find("color"), std::string::npos) << text;
    HWND host = FindChildOfClass(updater, "CxBrowserHost");
    EXPECT_TRUE(host && !IsWindowVisible(host));
    Screenshot(updater, control_off ? "updater-no-control" : "updater");

    const std::vector<std::string> news = NewsRequests(server);
    ASSERT_EQ(news.size(), control_off ? 1u : 2u) << news[0];
    if (!control_off) {
      EXPECT_FALSE(SentByTheUpdater(news[0])) << news[0];
      EXPECT_NE(news[0].find("\r\nUser-Agent: Mozilla/"), std::string::npos) << news[0];
    }
    EXPECT_TRUE(SentByTheUpdater(news.back())) << news.back();
    PostMessageA(main, WM_CLOSE, 0, 0);
    program.WaitForExit();
  }
  ResetSettingsFile();
}

}  // namespace
