// "Delete files without ability to restore" on the real system: each file is overwritten with
// zeros through its own handle before it goes, nothing reaches the Recycle Bin (Wine's is the XDG
// trash inside the bench's own folder), and what cannot be overwritten stays whole. A Linux
// process that holds a file open from outside the prefix reads what became of its content.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tests/wine/support/delete_worker_run.h"
#include "tests/wine/support/file_tree.h"
#include "tests/wine/support/gui_driver.h"
#include "tests/wine/support/screenshot.h"
#include "tests/wine/support/unix_side.h"

using ::testing::ElementsAre;

namespace {

// The names in Wine's recycle bin (the XDG trash under the bench's XDG_DATA_HOME).
std::set<std::string> TrashNames() {
  const std::string folder = WineTrashFiles();
  if (folder.empty()) return {};
  std::set<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = data.cFileName;
    if (name != "." && name != "..") names.insert(name);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return names;
}

TEST(SecureEraseWine, ZeroesEachFileThroughItsHandleAndRecyclesNothing) {
  FileTree tree("C:\\cxtest-erase");
  FileTree keep("C:\\cxtest-erase-keep");
  tree.TextFile("Junk\\a.tmp", std::string(300000, 'a'));
  tree.TextFile("Junk\\Sub\\b.tmp", "b");
  const std::string held = tree.TextFile("Junk\\held.tmp", "held by a program");
  const std::string single = tree.TextFile("single.log", "secret log");
  const std::string keeper = keep.TextFile("keeper.doc", "precious");
  const std::string hard = tree.Path("hard.tmp");
  ASSERT_TRUE(CreateHardLinkA(hard.c_str(), keeper.c_str(), nullptr));
  HANDLE hold = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(hold, INVALID_HANDLE_VALUE);
  LinuxHolder linux_holder(single, keep.root());
  ASSERT_TRUE(linux_holder.holding());
  const std::set<std::string> trash_before = TrashNames();
  const std::string junk = tree.Path("Junk");

  auto events = RunDeleteWorker({junk, single, hard}, /*secure_erase=*/true);
  CloseHandle(hold);

  EXPECT_THAT(events, ElementsAre("partial " + junk + ": " + held, "file " + single, "file " + hard));
  EXPECT_EQ(linux_holder.ReadThroughHandle(), std::string(10, '\0')) << "overwritten in place, then deleted";
  EXPECT_FALSE(PathExists(single));
  EXPECT_FALSE(PathExists(junk + "\\a.tmp"));
  EXPECT_FALSE(PathExists(junk + "\\Sub"));
  EXPECT_EQ(ReadAll(held), "held by a program");
  // Only the hard link's own name went; the other name keeps the content.
  EXPECT_FALSE(PathExists(hard));
  EXPECT_EQ(ReadAll(keeper), "precious");
  EXPECT_EQ(TrashNames(), trash_before);
}

// The box ticked in the real dialog, then a scan and "Clean All" through the real window.
TEST(SecureEraseGuiWine, TheTickedBoxErasesWhatTheRunCleans) {
  ResetSettingsFile();
  MakeFolders("C:\\windows\\Temp");
  FileTree folder("C:\\windows\\Temp\\cxerase-folder");
  FileTree keep("C:\\cxerase-keep");
  folder.File("a.tmp", 6000);
  folder.File("Sub\\b.tmp", 3000);
  const std::string file = "C:\\windows\\Temp\\cxerase-file.tmp";
  const std::string secret(7000, 's');
  const std::string keeper = keep.TextFile("keep.txt", "not garbage");
  struct RemoveFile {
    std::string path;
    ~RemoveFile() { RemoveTree(path); }
  } remove_file{file};
  HANDLE created = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(created, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(created, secret.data(), static_cast<DWORD>(secret.size()), &written, nullptr);
  CloseHandle(created);
  LinuxHolder linux_holder(file, keep.root());
  ASSERT_TRUE(linux_holder.holding());
  const std::set<std::string> trash_before = TrashNames();

  {
    GuiProgram program;
    HWND main = StartMainWindow(program);
    ASSERT_NE(main, nullptr);
    HWND options = OpenOptionsDialog(program, main);
    ASSERT_NE(options, nullptr);
    HWND box = FindChild(options, "Delete files without ability to restore");
    ASSERT_NE(box, nullptr) << "the dialog opens on its Other tab";
    SetCheckBox(box, true);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    Screenshot(options, "options-secure-erase");
    PostMessageA(FindChild(options, "&OK"), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(options); }));

    HWND clean_all = FindChild(main, "Clean All");
    ASSERT_NE(clean_all, nullptr);
    HWND list = ScanToResults(main);
    ASSERT_NE(list, nullptr) << "the results page";
    auto rows = ListViewRows(list, 3);
    ASSERT_TRUE(FindRow(rows, file) && FindRow(rows, folder.root())) << rows.size() << " rows";

    PostMessageA(clean_all, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] {
      auto now = ListViewRows(list, 3);
      const auto* row = FindRow(now, file);
      return row && (*row)[2] == "File Deleted" && IsWindowEnabled(clean_all);
    }));
    rows = ListViewRows(list, 3);
    EXPECT_EQ((*FindRow(rows, folder.root()))[2], "Folder Deleted");
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit());
  }

  EXPECT_FALSE(PathExists(file));
  EXPECT_FALSE(PathExists(folder.root()));
  EXPECT_EQ(linux_holder.ReadThroughHandle(), std::string(secret.size(), '\0'));
  EXPECT_EQ(ReadAll(keeper), "not garbage");
  // The run empties the bins too (their rows are cleaned as ever), so the trash may shrink.
  for (const std::string& name : TrashNames()) EXPECT_TRUE(trash_before.count(name)) << name << " was recycled";
}

}  // namespace
