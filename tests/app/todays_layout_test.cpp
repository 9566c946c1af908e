// A Windows 10 machine of today on the test doubles: the shipped rules, every category ticked,
// list every kind of today's garbage, "Clean All" removes it, and what users keep beside it (the
// browsers' and other programs' own data, a linked profile, a folder behind a link inside a
// cache) stays byte for byte.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include "app/dlgMain.h"
#include "ini/mem_ini_file.h"
#include "platform/shell.h"
#include "settings/dlgOptions.h"
#include "tests/support/test_env.h"
#include "tests/support/todays_layout.h"

using ::testing::UnorderedElementsAreArray;

namespace {

constexpr const char* kLocal = "C:\\Users\\Anna\\AppData\\Local";

std::string BaseFolder(todays_layout::Base base) {
  switch (base) {
    case todays_layout::kLocalAppData:
      return kLocal;
    case todays_layout::kRoamingAppData:
      return "C:\\Users\\Anna\\AppData\\Roaming";
    case todays_layout::kLocalLow:
      return "C:\\Users\\Anna\\AppData\\LocalLow";
    case todays_layout::kUserProfile:
      return "C:\\Users\\Anna";
    case todays_layout::kSystemDrive:
      return "C:";
    case todays_layout::kProgramData:
      return "C:\\ProgramData";
    case todays_layout::kWindows:
      return "C:\\Windows";
  }
  return "";
}

std::string PathOf(const todays_layout::Entry& entry) { return BaseFolder(entry.base) + "\\" + entry.path; }

TEST(TodaysLayout, EveryKindOfGarbageIsListedAndCleanedAndWhatUsersKeepStays) {
  TestEnv env;
  auto& files = env.fake.files;
  files.SetWindowsDirectory("C:\\Windows");
  env.fake.shell.special_folders = {
      {platform::kCsidlLocalAppData, kLocal},
      {platform::kCsidlCommonAppData, "C:\\ProgramData"},
      {platform::kCsidlAppData, "C:\\Users\\Anna\\AppData\\Roaming"},
      {platform::kCsidlProfile, "C:\\Users\\Anna"},
      {platform::kCsidlInternetCache, std::string(kLocal) + "\\Microsoft\\Windows\\INetCache"},
      {platform::kCsidlRecent, "C:\\Users\\Anna\\AppData\\Roaming\\Microsoft\\Windows\\Recent"}};
  TfrmMain& main = *env.forms.frmMain;
  main.FTraceDefinitions =
      std::make_unique<TMemIniFile>(files, std::string(TestEnv::kExeFolder) + "config\\vistagarbage.cxtraces");

  std::vector<std::string> garbage;
  for (const todays_layout::Entry& entry : todays_layout::kGarbage) {
    std::string path = PathOf(entry);
    if (path.ends_with("\\")) {
      path.pop_back();
      files.AddFileWithContent(path + "\\" + todays_layout::kInside, "cached " + path);
    } else {
      files.AddFileWithContent(path, "dump " + path);
    }
    garbage.push_back(path);
  }
  std::map<std::string, std::string> keepers;
  for (const todays_layout::Entry& entry : todays_layout::kKeepers) keepers[PathOf(entry)] = "kept " + PathOf(entry);
  // A profile that is a link to the user's documents, which hold a folder named like a cache.
  keepers["C:\\Users\\Anna\\Documents\\Cache\\thesis.docx"] = "my thesis";
  for (const auto& [path, content] : keepers) files.AddFileWithContent(path, content);
  files.AddJunction(std::string(kLocal) + "\\Google\\Chrome\\User Data\\Profile 2", "C:\\Users\\Anna\\Documents");
  files.AddJunction(PathOf(todays_layout::kLinkInCache), PathOf(todays_layout::kLinkTarget));

  for (ui::TCheckBox* box : {main.cbRecycleBin, main.cbTempFoldersAndFiles, main.cbInternetCache, main.cbImgCaches,
                             main.cbLogFiles, main.cbWUBackup})
    box->SetChecked(true);
  env.forms.frmOptions->editNoiseLevel->SetText("0");
  env.forms.frmOptions->lvDisks->Clear();
  ui::TListItem* disk = env.forms.frmOptions->lvDisks->Add();
  disk->SetCaption("C");
  disk->SetChecked(true);
  main.btnStartClick(main.btnStart);
  env.main_thread.PumpUntilIdle();

  std::vector<std::string> listed;
  for (int i = 0; i < main.lvFound->Count(); ++i) listed.push_back(main.lvFound->Item(i)->Caption());
  EXPECT_THAT(listed, UnorderedElementsAreArray(garbage));

  main.btnCleanAllClick(main.btnCleanAll);
  env.main_thread.PumpUntilIdle();
  const std::string link = PathOf(todays_layout::kLinkInCache);
  for (int i = 0; i < main.lvFound->Count(); ++i) {
    const ui::TListItem* row = main.lvFound->Item(i);
    if (link.starts_with(row->Caption() + "\\")) {
      // Its own files go; the link stays, and so does the folder that holds it.
      EXPECT_EQ(row->SubItem(1), "Partial Delete ( 100% )");
      EXPECT_FALSE(files.Exists(row->Caption() + "\\" + todays_layout::kInside));
      EXPECT_TRUE(files.Exists(link));
      continue;
    }
    EXPECT_THAT(row->SubItem(1), ::testing::AnyOf("File Deleted", "Folder Deleted")) << row->Caption();
    EXPECT_FALSE(files.Exists(row->Caption())) << row->Caption();
  }
  for (const auto& [path, content] : keepers) EXPECT_EQ(files.Content(path), content) << path;
  EXPECT_TRUE(env.fake.events.written.empty()) << "the window-driven program writes no event";
}

}  // namespace
