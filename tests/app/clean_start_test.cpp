// "Clean All" of a list longer than one slice: the rows are taken a slice per turn of the message
// loop and the run starts on a turn of its own. No row is lost or taken twice, a second click
// meanwhile adds nothing, and a window that closes meanwhile starts no run at all. The page's
// changes at the press are painted at once.
#include <gtest/gtest.h>

#include <string>

#include "app/dlgMain.h"
#include "tests/support/test_env.h"

namespace {

class CleanStartTest : public ::testing::Test {
 protected:
  TfrmMain& main() { return *env.forms.frmMain; }

  // Rows for planted files, newest first as the scan lists them.
  void List(size_t rows) {
    for (size_t i = 0; i < rows; ++i) {
      const std::string path = "C:\\Temp\\f" + std::to_string(i) + ".tmp";
      env.fake.files.AddFileWithContent(path, "x");
      ui::TListItem* row = main().lvFound->Insert(0);
      row->SetCaption(path);
      row->AddSubItem("1 Bytes");
      row->AddSubItem("Queued...");
    }
  }
  size_t RowsWith(const std::string& status) {
    size_t n = 0;
    for (int i = 0; i < main().lvFound->Count(); ++i) n += main().lvFound->Item(i)->SubItem(1) == status;
    return n;
  }

  TestEnv env;
};

TEST_F(CleanStartTest, ALongListIsTakenInSlicesAndEveryRowCleanedOnce) {
  const size_t rows = 2 * TfrmMain::kCleanItemsPerTurn + 3;
  List(rows);
  const int unfrozen = env.backend.unfrozen_changes[main().Name()];
  main().btnCleanAllClick(main().btnCleanAll);
  EXPECT_FALSE(main().btnCleanAll->Enabled()) << "no second run while the rows are taken";
  EXPECT_FALSE(main().btnBacktoSettings->Enabled());
  EXPECT_EQ(RowsWith("Queued..."), rows) << "nothing started yet";
  main().btnCleanAllClick(main().btnCleanAll);  // a click that arrives all the same
  env.backend.DeliverPosted();
  // The page changed for the run (buttons, labels, columns) while the window was frozen: it is
  // painted once, not once per change.
  EXPECT_EQ(env.backend.unfrozen_changes[main().Name()], unfrozen);
  EXPECT_TRUE(env.backend.frozen.empty());
  EXPECT_GE(env.backend.thaws, 1);
  env.main_thread.PumpUntilIdle();

  EXPECT_EQ(RowsWith("File Deleted"), rows);
  EXPECT_FALSE(env.fake.files.Exists("C:\\Temp\\f0.tmp"));
  EXPECT_FALSE(env.fake.files.Exists("C:\\Temp\\f" + std::to_string(rows - 1) + ".tmp"));
  EXPECT_TRUE(main().btnCleanAll->Enabled());
}

TEST_F(CleanStartTest, AWindowClosedWhileTheRowsAreTakenStartsNoRun) {
  List(TfrmMain::kCleanItemsPerTurn + 1);
  main().btnCleanAllClick(main().btnCleanAll);
  main().Close();
  env.backend.DeliverPosted();
  env.main_thread.PumpUntilIdle();
  EXPECT_EQ(RowsWith("Queued..."), TfrmMain::kCleanItemsPerTurn + 1);
  EXPECT_TRUE(env.fake.files.Exists("C:\\Temp\\f0.tmp"));
}

}  // namespace
