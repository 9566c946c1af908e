// A scan and a "Clean All" of hostile trees through the main window on the test doubles: link
// loops, links to canaries, awkward names, folders that cannot be opened, entries that vanish or
// appear during the walk, and objects that change between the scan and the cleaning. The scan
// must end, the cleaning must delete nothing that was not listed, every row must end with an
// outcome that matches what is left, and the canaries must stay byte for byte.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

#include "app/dlgMain.h"
#include "ini/mem_ini_file.h"
#include "settings/dlgOptions.h"
#include "tests/support/test_env.h"

using ::testing::UnorderedElementsAreArray;

namespace {

bool Below(const std::string& path, const std::string& folder) {
  return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == '\\';
}

// Run with secure erase off and on: overwriting must reach no more than deleting would.
class HostileScanCleanTest : public ::testing::TestWithParam<bool> {
 protected:
  TfrmMain& main() { return *env.forms.frmMain; }

  void Canary(const std::string& path, const std::string& content) {
    env.fake.files.AddFileWithContent(path, content);
    canaries[path] = content;
  }

  // Scans with the given rules (all of the "Logs" category, which looks up no folder) on C and
  // lists every object, however small.
  void Scan(const std::string& rules) {
    env.fake.files.AddFileWithContent("C:\\rules.cxtraces", rules);
    main().FTraceDefinitions = std::make_unique<TMemIniFile>(env.fake.files, "C:\\rules.cxtraces");
    for (ui::TCheckBox* box : {main().cbRecycleBin, main().cbTempFoldersAndFiles, main().cbWUBackup, main().cbImgCaches,
                               main().cbInternetCache})
      box->SetChecked(false);
    main().cbLogFiles->SetChecked(true);
    env.forms.frmOptions->editNoiseLevel->SetText("0");
    env.forms.frmOptions->CheckBox1->SetChecked(GetParam());
    env.forms.frmOptions->lvDisks->Clear();
    ui::TListItem* disk = env.forms.frmOptions->lvDisks->Add();
    disk->SetCaption("C");
    disk->SetChecked(true);
    main().btnStartClick(main().btnStart);
    env.main_thread.PumpUntilIdle();
  }

  std::map<std::string, std::string> Rows() {
    std::map<std::string, std::string> rows;
    for (int i = 0; i < main().lvFound->Count(); ++i)
      rows[main().lvFound->Item(i)->Caption()] = main().lvFound->Item(i)->SubItem(1);
    return rows;
  }

  // Every row's outcome is final and true to what is left, and whatever went was listed.
  void ExpectTrueOutcomes(const std::map<std::string, std::string>& rows) {
    std::vector<std::string> gone = env.fake.files.DeletedFiles();
    gone.insert(gone.end(), env.fake.shell.recycled.begin(), env.fake.shell.recycled.end());
    for (const auto& [path, status] : rows) {
      SCOPED_TRACE(path);
      if (status == "File Deleted" || status == "Folder Deleted") {
        EXPECT_FALSE(env.fake.files.Exists(path));
      } else if (status.starts_with("Partial Delete ( ")) {
        EXPECT_TRUE(env.fake.files.Exists(path));
      } else {
        EXPECT_EQ(status, "Cannot Delete");
        for (const std::string& g : gone) EXPECT_FALSE(g == path || Below(g, path)) << g << " went";
      }
    }
    for (const std::string& g : gone) {
      bool listed = false;
      for (const auto& [path, status] : rows) listed = listed || g == path || Below(g, path);
      EXPECT_TRUE(listed) << g << " went without being listed";
    }
    for (const auto& [path, content] : canaries) EXPECT_EQ(env.fake.files.Content(path), content) << path;
  }

  TestEnv env;
  std::map<std::string, std::string> canaries;
};

TEST_P(HostileScanCleanTest, LoopsLinksNamesAndChangesSinceTheScan) {
  auto& files = env.fake.files;
  Canary("C:\\Keep\\thesis.doc", "my thesis");
  Canary("C:\\Keep\\old.log", "a log to keep");
  Canary("C:\\Keep\\Inner\\c.doc", "canary c");
  const std::vector<std::string> names = {"C:\\Temp\\with space.tmp", "C:\\Temp\\[x] 100% & more!.tmp",
                                          "C:\\Temp\\~$draft.tmp", "C:\\Temp\\\xE9t\xE9.tmp"};
  for (const std::string& name : names) files.AddFileWithContent(name, "junk");
  files.AddFileWithContent("C:\\Temp\\dotted.", "a name the plain Win32 form cannot reach");
  files.AddJunction("C:\\Temp\\loop", "C:\\Temp");  // a link to its own parent
  files.AddJunction("C:\\Temp\\ToKeep", "C:\\Keep");
  files.AddFileLink("C:\\Temp\\filelink.tmp", "C:\\Keep\\thesis.doc");
  files.AddFileWithContent("C:\\Temp\\Holder\\a.tmp", "junk");
  files.AddJunction("C:\\Temp\\Holder\\up", "C:\\Keep");
  files.AddFileWithContent("C:\\Temp\\Closed\\x.tmp", "junk");
  files.Deny("C:\\Temp\\Closed");
  files.AddFile("C:\\Temp\\readonly.tmp", 5, platform::kAttrReadOnly);
  Canary("C:\\Temp\\held.tmp", "held by another program");
  files.Lock("C:\\Temp\\held.tmp");
  files.AddFileWithContent("C:\\Temp\\grew.tmp", "short");
  files.AddFileWithContent("C:\\Temp\\WasFolder\\in.tmp", "junk");
  files.AddFileWithContent("C:\\Temp\\WasFile.tmp", "junk");
  files.AddFileWithContent("C:\\Temp\\Vanishing\\v.tmp", "junk");
  files.AddFileWithContent("C:\\Logs\\a.log", "log a");
  files.AddJunction("C:\\Logs\\loop", "C:\\Logs");
  files.AddFileWithContent("C:\\Logs\\b\\c.log", "log c");
  files.AddJunction("C:\\Logs\\b\\up", "C:\\Logs\\b");
  files.AddJunction("C:\\Logs\\keep", "C:\\Keep");
  // During the walk: a listed folder goes while it is being sized, a file appears in a folder
  // already walked, and a log appears in one not walked yet.
  files.on_find = [&](const std::string& pattern) {
    if (pattern == "C:\\Temp\\Vanishing\\*.*") {
      files.RemoveTree("C:\\Temp\\Vanishing");
      Canary("C:\\Temp\\late.tmp", "came after the scan of Temp");
    }
    if (pattern == "C:\\Logs\\*") files.AddFileWithContent("C:\\Logs\\b\\new.log", "new log");
  };
  // The shell refuses a folder it cannot open, as Windows does.
  env.fake.shell.on_delete = [](const std::string& path) {
    if (path == "C:\\Temp\\Closed") throw std::runtime_error("access denied");
  };

  Scan(
      "[files]\nLevel=Logs\nPath=C:\\Temp\nTemplate=*\nType=0\nSearchRule=0\n"
      "[folders]\nLevel=Logs\nPath=C:\\Temp\nTemplate=*\nType=1\nSearchRule=0\n"
      "[logs]\nLevel=Logs\nPath=\\Logs\nTemplate=*.log\nType=0\nSearchRule=1\n");
  files.on_find = nullptr;
  ASSERT_TRUE(main().btnStart->Enabled()) << "the scan has ended";
  std::vector<std::string> listed = names;
  for (const char* path :
       {"C:\\Temp\\dotted.", "C:\\Temp\\filelink.tmp", "C:\\Temp\\readonly.tmp", "C:\\Temp\\held.tmp",
        "C:\\Temp\\grew.tmp", "C:\\Temp\\WasFile.tmp", "C:\\Temp\\Holder", "C:\\Temp\\Closed", "C:\\Temp\\WasFolder",
        "C:\\Temp\\Vanishing", "C:\\Logs\\a.log", "C:\\Logs\\b\\c.log", "C:\\Logs\\b\\new.log"})
    listed.push_back(path);
  std::map<std::string, std::string> rows = Rows();
  std::vector<std::string> captions;
  for (const auto& [path, status] : rows) captions.push_back(path);
  EXPECT_THAT(captions, UnorderedElementsAreArray(listed)) << "links are neither listed nor entered";

  // Between the scan and the cleaning.
  files.AddFileWithContent("C:\\Temp\\grew.tmp", std::string(50000, 'g'));
  files.RemoveTree("C:\\Temp\\WasFolder");
  Canary("C:\\Temp\\WasFolder", "a file now, never listed");
  files.RemoveTree("C:\\Temp\\WasFile.tmp");
  Canary("C:\\Temp\\WasFile.tmp\\moved.doc", "a folder now, never listed");
  main().btnCleanAllClick(main().btnCleanAll);
  env.main_thread.PumpUntilIdle();

  rows = Rows();
  ExpectTrueOutcomes(rows);
  for (const std::string& name : names) EXPECT_EQ(rows[name], "File Deleted") << name;
  EXPECT_EQ(rows["C:\\Temp\\grew.tmp"], "File Deleted");
  EXPECT_EQ(rows["C:\\Temp\\dotted."], "File Deleted") << "reached as it is named";
  EXPECT_EQ(rows["C:\\Logs\\b\\new.log"], "File Deleted");
  EXPECT_EQ(rows["C:\\Temp\\Holder"].rfind("Partial Delete", 0), 0u) << "the link inside stays, and so does its folder";
  EXPECT_FALSE(files.Exists("C:\\Temp\\Holder\\a.tmp"));
  // A file where a folder was listed, or a folder where a file was, is not what the user chose.
  for (const char* kept : {"C:\\Temp\\filelink.tmp", "C:\\Temp\\readonly.tmp", "C:\\Temp\\held.tmp", "C:\\Temp\\Closed",
                           "C:\\Temp\\WasFile.tmp", "C:\\Temp\\WasFolder"}) {
    EXPECT_EQ(rows[kept], "Cannot Delete") << kept;
    EXPECT_TRUE(files.Exists(kept)) << kept;
  }
  EXPECT_TRUE(files.Exists("C:\\Temp\\Closed\\x.tmp"));
}

INSTANTIATE_TEST_SUITE_P(SecureErase, HostileScanCleanTest, ::testing::Bool());

}  // namespace
