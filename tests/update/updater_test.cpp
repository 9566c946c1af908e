#include "update/updater.h"

#include <gtest/gtest.h>

#include "app/dlgMain.h"
#include "ini/mem_ini_file.h"
#include "platform/exception.h"
#include "tests/support/test_env.h"
#include "update/news_text.h"
#include "update/update_settings.h"

namespace {

const std::string kQuery = "http://www.torvex.com/zp/cx.php?ver=1.2";
const std::string kNews = "http://www.torvex.com/zp/cx.php?ver=1.2&type=news";

TEST(IsIntegerTest, AcceptsOnlyABareWholeNumber) {
  EXPECT_TRUE(IsInteger("4"));
  EXPECT_TRUE(IsInteger("   4"));
  EXPECT_TRUE(IsInteger("-12"));
  EXPECT_TRUE(IsInteger("+7"));
  EXPECT_TRUE(IsInteger("2147483647"));
  EXPECT_TRUE(IsInteger("-2147483648"));
  EXPECT_FALSE(IsInteger("2147483648"));
  EXPECT_FALSE(IsInteger("4\r\n"));
  EXPECT_FALSE(IsInteger("4 "));
  EXPECT_FALSE(IsInteger(""));
  EXPECT_FALSE(IsInteger("-"));
  EXPECT_FALSE(IsInteger("$10"));
  EXPECT_FALSE(IsInteger("<html>"));
}

TEST(DownloadTextTest, ReadsChunksAndStopsEachAtItsFirstZeroByte) {
  FakeHttp http;
  http.responses["http://h/a"] = {std::string("12\0junk", 7), "34"};
  EXPECT_EQ(DownloadText(http, "http://h/a"), "1234");
  ASSERT_EQ(http.agents.size(), 1u);
  EXPECT_EQ(http.agents[0], "Torvex Updater 1.5.1");
  // Past every cache, and nothing left in it for the cleaner to find.
  EXPECT_EQ(http.requests[0].second, platform::kInternetFlagReload | platform::kInternetFlagNoCacheWrite);
  EXPECT_EQ(http.open_handles, 0);

  // A body longer than the 1025-byte buffer arrives whole when the limits allow it.
  http.responses["http://h/long"] = {std::string(3000, 'x')};
  EXPECT_EQ(DownloadText(http, "http://h/long", kNewsPageLimits), std::string(3000, 'x'));
}

TEST(DownloadTextTest, AReleaseAnswerLongerThanOneKilobyteIsNoAnswerAndIsNotReadOn) {
  FakeHttp http;
  http.responses["http://h/q"] = {std::string(1024, ' ')};
  EXPECT_EQ(DownloadText(http, "http://h/q"), std::string(1024, ' '));
  ASSERT_EQ(http.limits.size(), 1u);
  EXPECT_EQ(http.limits[0].max_body, 1024u);
  EXPECT_EQ(http.limits[0].deadline_ms, 10000u);

  // 1,500 MB of "9" would fill memory; the download stops after the first chunk past the cap.
  http.bytes_read = 0;
  http.responses["http://h/huge"] = std::vector<std::string>(2000, std::string(1025, '9'));
  EXPECT_EQ(DownloadText(http, "http://h/huge"), "0");
  EXPECT_LE(http.bytes_read, 2u * 1025u);
  EXPECT_EQ(http.open_handles, 0);
}

TEST(DownloadTextTest, UnopenableAddressGivesZeroAndNoSessionIsAnError) {
  FakeHttp http;
  EXPECT_EQ(DownloadText(http, "http://nowhere/"), "0");
  EXPECT_EQ(http.open_handles, 0);
  http.can_open = false;
  try {
    DownloadText(http, "http://nowhere/");
    FAIL() << "no error";
  } catch (const platform::Exception& e) {
    EXPECT_STREQ(e.what(), "Unable to initialize Wininet");
  }
}

struct CheckCase {
  std::vector<std::string> body;
  bool shown;
};

class CheckForUpdatesTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckForUpdatesTest, ShowsTheUpdaterOnlyForANewerRelease) {
  TestEnv env;
  env.fake.http.responses[kQuery] = GetParam().body;
  env.fake.http.responses[kNews] = {"news"};
  env.forms.frmUpdater->CheckForUpdates(kQuery, 3);
  EXPECT_EQ(env.forms.frmUpdater->Visible(), GetParam().shown);
  if (GetParam().shown) {
    ASSERT_FALSE(env.backend.navigations.empty());
    EXPECT_EQ(env.backend.navigations.back(), kNews);
  }
}

INSTANTIATE_TEST_SUITE_P(Bodies, CheckForUpdatesTest,
                         ::testing::Values(CheckCase{{"4"}, true}, CheckCase{{"  4"}, true}, CheckCase{{"3"}, false},
                                           CheckCase{{"-1"}, false}, CheckCase{{"4\r\n"}, false}, CheckCase{{}, false},
                                           CheckCase{{"<html>error</html>"}, false}));

TEST(UpdaterWindowTest, WithoutABrowserTheNewsIsReadableTextWithALinkNeverMarkup) {
  TestEnv env;
  env.backend.browser_available = false;
  env.fake.http.responses[kQuery] = {"5"};
  env.fake.http.responses[kNews] = {"<html><script>alert(1)</script><p>Release 5 is out &amp; faster.</p></html>"};
  TfrmUpdater& u = *env.forms.frmUpdater;
  u.CheckForUpdates(kQuery, 3);
  EXPECT_TRUE(u.memoNews->Visible());
  EXPECT_FALSE(u.WebBrowser1->Visible());
  EXPECT_EQ(u.memoNews->Text(), "Release 5 is out & faster.");
  EXPECT_TRUE(u.lbNewsNote->Visible());
  EXPECT_EQ(u.lbNewsLink->Caption(), kNews);
  u.lbNewsLink->DoClick();
  ASSERT_EQ(env.fake.shell.executed.size(), 1u);
  EXPECT_EQ(env.fake.shell.executed[0].second, kNews);
  env.fake.shell.executed.clear();

  env.forms.frmUpdater->JvXPButton2->DoClick();
  ASSERT_EQ(env.fake.shell.executed.size(), 1u);
  EXPECT_EQ(env.fake.shell.executed[0].first, "open");
  EXPECT_EQ(env.fake.shell.executed[0].second, "http://www.torvex.com/files/clutterix_setup.exe");
  env.forms.frmUpdater->JvXPButton1->DoClick();
  EXPECT_FALSE(env.forms.frmUpdater->Visible());

  // Shown again with the news server gone: the line and the link stay, no empty text box.
  env.fake.http.responses.erase(kNews);
  u.Show();
  EXPECT_FALSE(u.memoNews->Visible());
  EXPECT_TRUE(u.lbNewsLink->Visible());
}

// A control that takes the address but then cannot show the page (the server failed, or nothing
// renders it) gives way to the same text; a report that comes after the window closed changes
// nothing, and the next show tries the control again.
TEST(UpdaterWindowTest, AControlThatCannotShowThePageGivesWayToItsText) {
  TestEnv env;
  env.fake.http.responses[kQuery] = {"5"};
  env.fake.http.responses[kNews] = {"<p>Release 5</p>"};
  TfrmUpdater& u = *env.forms.frmUpdater;
  u.CheckForUpdates(kQuery, 3);
  EXPECT_TRUE(u.WebBrowser1->Visible());
  EXPECT_FALSE(u.memoNews->Visible());
  EXPECT_FALSE(u.lbNewsLink->Visible());
  EXPECT_EQ(env.fake.http.requests.size(), 1u) << "the control fetches the page, not the updater";

  u.WebBrowser1->NavigateFailed();
  EXPECT_FALSE(u.WebBrowser1->Visible());
  EXPECT_TRUE(u.lbNewsLink->Visible());
  EXPECT_TRUE(u.memoNews->Visible());
  EXPECT_EQ(u.memoNews->Text(), "Release 5");

  u.JvXPButton1->DoClick();
  u.WebBrowser1->NavigateFailed();
  EXPECT_FALSE(u.Visible());
  EXPECT_EQ(env.fake.http.requests.size(), 2u);
  u.Show();
  EXPECT_TRUE(u.WebBrowser1->Visible());
  EXPECT_FALSE(u.memoNews->Visible());
  EXPECT_EQ(env.backend.navigations.size(), 2u);
}

TEST(NewsTextTest, KeepsWhatAReaderSeesAndDropsEverythingElse) {
  const std::string page =
      "<!DOCTYPE html><html><head><title>News</title><style>p{color:red}</style></head>\n"
      "<body><!-- a <b>comment</b> --><h1>Clutterix&nbsp;4</h1>\n<p>Faster   scans,\n fewer &lt;clicks&gt;.<br>"
      "Caf&#233; &#x41;&quot;B&quot; &bogus; a < b</p><script type=\"text/javascript\">document.write('<p>x</p>')"
      "</script><ul><li>One</li><li>Two</li></ul></body></html>";
  EXPECT_EQ(NewsText(page),
            "Clutterix 4\n\nFaster scans, fewer <clicks>.\nCaf\xC3\xA9 A\"B\" &bogus; a < b\n\nOne\nTwo");
  // A page cut off inside its script shows nothing of the script.
  EXPECT_EQ(NewsText("<p>Hello</p><script>var a = '<b>never'"), "Hello");
}

const std::string kConf =
    "C:\\Documents and Settings\\User\\Local Settings\\Application Data\\Torvex Clutterix\\general.conf";

TEST(UpdateSettingsTest, TheCheckIsOffByDefaultAndMakesNoRequest) {
  TestEnv env;
  env.ShowMainWindow();
  EXPECT_FALSE(env.forms.frmMain->FCheckUpdatesAtStart);
  EXPECT_EQ(env.forms.frmMain->FUpdateHost, kDefaultUpdateHost);
  EXPECT_TRUE(env.fake.http.requests.empty());
  EXPECT_TRUE(env.fake.http.agents.empty());
}

TEST(UpdateSettingsTest, SwitchedOnItAsksTheConfiguredHostAndAFailedStartGoesOn) {
  TestEnv env(false);
  env.fake.files.AddFileWithContent(kConf, "[Update]\r\nCheckAtStart=1\r\nHost=127.0.0.1:8080\r\n");
  env.CreateForms();
  env.fake.http.can_open = false;
  env.ShowMainWindow();
  ASSERT_EQ(env.fake.http.agents.size(), 1u);
  ASSERT_EQ(env.backend.errors.size(), 1u);
  EXPECT_EQ(env.backend.errors[0], "Unable to initialize Wininet");
  EXPECT_TRUE(env.forms.frmMain->FSettingsLoaded);  // the rest of the show still ran

  env.fake.http.can_open = true;
  env.fake.http.responses["http://127.0.0.1:8080/zp/cx.php?ver=1.2"] = {"4"};
  env.forms.frmUpdater->CheckForUpdates("http://" + env.forms.frmMain->FUpdateHost + "/zp/cx.php?ver=1.2", 3);
  EXPECT_TRUE(env.forms.frmUpdater->Visible());
  EXPECT_EQ(env.backend.navigations.back(), "http://127.0.0.1:8080/zp/cx.php?ver=1.2&type=news");
}

}  // namespace
