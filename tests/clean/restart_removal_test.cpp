// Removal at the next restart: what is handed to the system for what a run left behind, and the
// one offer after the run, which schedules nothing without a yes.
#include "clean/restart_removal.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/dlgMain.h"
#include "clean/dlgAlert.h"
#include "tests/support/test_env.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

TEST(RestartRemovalTest, FilesThenFoldersDeepestFirstAndNothingThatMustStay) {
  FakeFileSystem files;
  files.AddFile("C:\\Temp\\held.tmp", 1);
  files.AddFile("C:\\Temp\\setup\\a.tmp", 1);
  files.AddFile("C:\\Temp\\setup\\sub\\deep\\b.tmp", 1);
  files.AddFolder("C:\\Temp\\setup\\empty");
  files.AddFile("C:\\Temp\\keep\\mine.doc", 1);
  files.AddFolder("C:\\Outside");
  files.AddJunction("C:\\Temp\\link", "C:\\Outside");
  files.AddFile("C:\\$Recycle.Bin\\S-1\\x", 1);
  const TScanFilters none;
  EXPECT_THAT(RestartRemovalPaths(files, "C:\\Temp\\held.tmp", none), ElementsAre("C:\\Temp\\held.tmp"));
  EXPECT_THAT(RestartRemovalPaths(files, "C:\\Temp\\setup", none),
              ElementsAre("C:\\Temp\\setup\\a.tmp", "C:\\Temp\\setup\\sub\\deep\\b.tmp", "C:\\Temp\\setup\\sub\\deep",
                          "C:\\Temp\\setup\\sub", "C:\\Temp\\setup\\empty", "C:\\Temp\\setup"));
  // A link inside stays, and the folders holding it with it: only the files can go.
  files.AddFile("C:\\Temp\\cache\\f.tmp", 1);
  files.AddJunction("C:\\Temp\\cache\\sub\\out", "C:\\Outside");
  EXPECT_THAT(RestartRemovalPaths(files, "C:\\Temp\\cache", none), ElementsAre("C:\\Temp\\cache\\f.tmp"));
  for (const char* item : {"C:\\Temp\\gone.tmp", "C:\\Temp\\link", "C:\\$Recycle.Bin\\S-1", "C:\\Temp\\..\\x", "C:\\"})
    EXPECT_THAT(RestartRemovalPaths(files, item, none), IsEmpty()) << item;
  TScanFilters filters;
  filters.Exclusions = TExclusions({"C:\\Temp\\keep"});
  EXPECT_THAT(RestartRemovalPaths(files, "C:\\Temp", filters), IsEmpty()) << "it holds an excluded folder";

  EXPECT_TRUE(ScheduleRemovalAtRestart(files, {"C:\\Temp\\held.tmp"}));
  EXPECT_THAT(files.at_restart, ElementsAre("C:\\Temp\\held.tmp"));
  files.restart_refused = true;
  EXPECT_FALSE(ScheduleRemovalAtRestart(files, {"C:\\Temp\\held.tmp"}));
}

class RestartOfferTest : public ::testing::Test {
 protected:
  RestartOfferTest() {
    env.fake.security.process_groups = std::vector<platform::TokenGroup>{{FakeSecurity::AdministratorsSid(), 0}};
    env.fake.files.AddFile("C:\\Temp\\held.tmp", 9000);
    env.fake.files.Lock("C:\\Temp\\held.tmp");
    env.fake.files.AddFile("C:\\Temp\\free.tmp", 9000);
    for (const char* path : {"C:\\Temp\\held.tmp", "C:\\Temp\\free.tmp"}) {
      ui::TListItem* row = main().lvFound->Add();
      row->SetCaption(path);
      row->AddSubItem("0.0085831");
      row->AddSubItem("Queued...");
    }
  }
  TfrmMain& main() { return *env.forms.frmMain; }
  // Cleans every row, then lets the posted offer come, answered by `answer`.
  void CleanAllAnswering(bool yes) {
    env.backend.responders["frmAlert"] = [this, yes](ui::TForm& form) {
      ++asked;
      message = static_cast<TfrmAlert&>(form).lbMessage->Caption();
      return yes ? ui::TModalResult::mrYes : ui::TModalResult::mrNo;
    };
    main().btnCleanAllClick(main().btnCleanAll);
    env.main_thread.PumpUntilIdle();
    env.backend.DeliverPosted();
  }
  std::string Status(int row) { return main().lvFound->Item(row)->SubItem(1); }
  TestEnv env;
  int asked = 0;
  std::string message;
};

TEST_F(RestartOfferTest, YesSchedulesWhatWasInUseAndTheRowSaysSo) {
  CleanAllAnswering(true);
  EXPECT_EQ(asked, 1);
  EXPECT_NE(message.find("1 item is in use"), std::string::npos) << message;
  EXPECT_THAT(env.fake.files.at_restart, ElementsAre("C:\\Temp\\held.tmp"));
  EXPECT_EQ(Status(0), "Deleted at Restart");
  EXPECT_EQ(Status(1), "File Deleted");
  // Once per run: a later message asks nothing more.
  main().PostMessage(WM_OFFERRESTARTREMOVAL);
  env.backend.DeliverPosted();
  EXPECT_EQ(asked, 1);
}

TEST_F(RestartOfferTest, NoOrNoRightsScheduleNothing) {
  CleanAllAnswering(false);
  EXPECT_EQ(asked, 1);
  EXPECT_THAT(env.fake.files.at_restart, IsEmpty());
  EXPECT_EQ(Status(0), "Cannot Delete");

  env.fake.security.process_groups = std::vector<platform::TokenGroup>{};
  CleanAllAnswering(true);
  EXPECT_EQ(asked, 1) << "only an administrator is asked";
  EXPECT_THAT(env.fake.files.at_restart, IsEmpty());
}

}  // namespace
