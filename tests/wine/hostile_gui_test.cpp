// The real program, driven through its window, scanning and cleaning trees that fight back: link
// loops, links to canaries, names Windows finds awkward, folders and files held open without
// sharing, read-only files, and objects that change between the scan and the cleaning. Then the
// same on the Windows XP layout. The scan ends; every row ends with an outcome that matches what
// is on disk; nothing that was not listed is touched, and the canaries stay byte for byte.
#include <shlobj.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tests/wine/support/file_tree.h"
#include "tests/wine/support/gui_driver.h"
#include "tests/wine/support/screenshot.h"
#include "tests/wine/support/unix_side.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

// The settings of the runs below: only the given categories, and every object listed however small.
void WriteSettings(bool logs) {
  std::string conf = "[Scan]\r\nNoiseLevel=0\r\nRecycleBin=0\r\nTempFoldersAndFiles=1\r\nInternetCache=0\r\n";
  conf += "ImgCaches=0\r\nLogFiles=" + std::string(logs ? "1" : "0") + "\r\nWUBackup=0\r\n";
  WriteText(SettingsFilePath(), conf);
}

// Presses the start picture and waits for the results page; the rows then.
Rows ScanToRows(HWND main) {
  HWND list = ScanToResults(main);
  return list ? ListViewRows(list, 3) : Rows{};
}

bool Final(const std::string& status) {
  return status == "File Deleted" || status == "Folder Deleted" || status == "Cannot Delete" ||
         status.rfind("Partial Delete ( ", 0) == 0;
}

// Presses "Clean All" and waits until every row has its outcome and the run has ended.
Rows CleanAll(HWND main) {
  HWND clean_all = FindChild(main, "Clean All");
  HWND list = ResultsList(main);
  PostMessageA(clean_all, BM_CLICK, 0, 0);
  Rows rows;
  WaitUntil(
      [&] {
        rows = ListViewRows(list, 3);
        for (const auto& row : rows)
          if (!Final(row[2])) return false;
        return IsWindowEnabled(clean_all) != FALSE;
      },
      180000);
  return rows;
}

// Every outcome agrees with the disk: what is said to be deleted is gone, what is said to be
// partly deleted is still there. A row left "Queued..." or "Processing..." fails here.
void ExpectOutcomesMatchTheDisk(const Rows& rows) {
  for (const auto& row : rows) {
    SCOPED_TRACE(row[0]);
    EXPECT_TRUE(Final(row[2])) << row[2];
    if (row[2] == "File Deleted" || row[2] == "Folder Deleted") {
      EXPECT_FALSE(PathExists(row[0]));
    } else if (row[2].rfind("Partial Delete", 0) == 0) {
      EXPECT_TRUE(PathExists(row[0]));
    }
  }
}

std::string Status(const Rows& rows, const std::string& path) {
  const auto* row = FindRow(rows, path);
  return row ? (*row)[2] : "<not listed>";
}

// Every file below a folder with its content, links not followed.
std::map<std::string, std::string> Contents(const std::string& folder) {
  std::map<std::string, std::string> contents;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return contents;
  do {
    const std::string name = found.cFileName, path = folder + "\\" + name;
    if (name == "." || name == "..") continue;
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      contents[path] = ReadAll(path);
    } else if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      contents.merge(Contents(path));
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return contents;
}

class HostileGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSettingsFile();
    MakeFolders(kTemp);
    MakeFolders(kLogs);
    RemovePlanted();
  }
  void TearDown() override {
    Release();
    RemovePlanted();
    ResetSettingsFile();
  }
  // Links first: removing a tree would take a link to a file for its target.
  void RemovePlanted() {
    for (const char* link : {"cxh-loop", "cxh-canaries", "cxh-filelink.tmp", "cxh-holder\\up"})
      RemoveUnixLink(kTemp + link);
    RemoveUnixLink(kLogs + "cxh\\loop");
    RemoveUnixLink(kLogs + "cxh\\keep");
    RunUnix(kTemp, "\\bin\\rm", "-f \"" + UnixPath(kTemp) + "/cxh-dotted.\"", [&] { return !Listed("cxh-dotted."); });
    for (const std::string& name : Planted()) RemoveTree(kTemp + name);
    RemoveTree(kLogs + "cxh");
  }
  static std::vector<std::string> Planted() {
    return {"cxh with space.tmp",  "cxh [1] 100% & more!~.tmp",
            "cxh-caf\xC3\xA9.tmp", "cxh-holder",
            "cxh-closed",          "cxh-readonly.tmp",
            "cxh-held.tmp",        "cxh-grew.tmp",
            "cxh-wasfolder",       "cxh-wasfile.tmp"};
  }
  bool Listed(const std::string& name) const {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((kTemp + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    bool seen = false;
    do seen = seen || name == found.cFileName;
    while (FindNextFileA(search, &found));
    FindClose(search);
    return seen;
  }
  // Held open with no sharing by this process, as another program might.
  void Hold(const std::string& path, DWORD flags) {
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, flags, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE) << path;
    holds.push_back(held);
  }
  void Write(const std::string& path, const std::string& content) {
    MakeFolders(path.substr(0, path.rfind('\\')));
    WriteText(path, content);
    ASSERT_EQ(ReadAll(path), content) << path;
  }
  void Release() {
    for (HANDLE held : holds) CloseHandle(held);
    holds.clear();
  }

  const std::string kTemp = "C:\\windows\\Temp\\";
  const std::string kLogs = "C:\\windows\\Debug\\";  // searched at every depth for logs
  FileTree canary{"C:\\cxh-canary"};
  std::vector<HANDLE> holds;
};

TEST_F(HostileGuiTest, LinksNamesLocksAndChangesSinceTheScan) {
  canary.TextFile("thesis.docx", "my thesis");
  canary.TextFile("old.log", "a log to keep");
  canary.TextFile("Inner\\photo.jpg", std::string(3000, '\x7f'));
  canary.TextFile("junk.tmp", "same name as the garbage beside the link");
  for (const char* name : {"cxh with space.tmp", "cxh [1] 100% & more!~.tmp", "cxh-caf\xC3\xA9.tmp"})
    Write(kTemp + name, "junk");
  Write(kTemp + "cxh-holder\\junk.tmp", "junk");
  Write(kTemp + "cxh-closed\\x.tmp", "junk");
  Write(kTemp + "cxh-held.tmp", "held by another program");
  Write(kTemp + "cxh-readonly.tmp", "read only");
  SetFileAttributesA((kTemp + "cxh-readonly.tmp").c_str(), FILE_ATTRIBUTE_READONLY);
  Write(kTemp + "cxh-grew.tmp", "short");
  Write(kTemp + "cxh-wasfolder\\in.tmp", "junk");
  Write(kTemp + "cxh-wasfile.tmp", "junk");
  Write(kLogs + "cxh\\a.log", "log");
  if (!MakeFolderLink(kTemp + "cxh-loop", kTemp)) GTEST_SKIP() << "no links here";
  ASSERT_TRUE(MakeFolderLink(kTemp + "cxh-canaries", canary.root()));
  ASSERT_TRUE(MakeUnixLink(kTemp + "cxh-filelink.tmp", canary.Path("thesis.docx")));
  ASSERT_TRUE(MakeFolderLink(kTemp + "cxh-holder\\up", canary.root()));
  ASSERT_TRUE(MakeFolderLink(kLogs + "cxh\\loop", kLogs));
  ASSERT_TRUE(MakeFolderLink(kLogs + "cxh\\keep", canary.root()));
  // A name the plain Win32 form cannot make: it would strip the dot and reach another object.
  ASSERT_TRUE(RunUnix(kTemp, "\\bin\\sh", "-c \"echo junk >'" + UnixPath(kTemp) + "/cxh-dotted.'\"",
                      [&] { return Listed("cxh-dotted."); }));
  Hold(kTemp + "cxh-closed", FILE_FLAG_BACKUP_SEMANTICS);  // cannot be listed while held
  Hold(kTemp + "cxh-held.tmp", 0);
  const auto canaries = Contents(canary.root());
  WriteSettings(/*logs=*/true);

  GuiProgram program;
  HWND main = StartMainWindow(program);
  ASSERT_NE(main, nullptr);
  const Rows listed = ScanToRows(main);
  ASSERT_FALSE(listed.empty()) << "the scan ends with rows";
  std::vector<std::string> expected = {"cxh-dotted.", "cxh-filelink.tmp"};
  for (const std::string& name : Planted()) expected.push_back(name);
  for (const std::string& name : expected) EXPECT_NE(FindRow(listed, kTemp + name), nullptr) << name;
  EXPECT_NE(FindRow(listed, kLogs + "cxh\\a.log"), nullptr);
  for (const auto& row : listed) {
    EXPECT_EQ(row[0].find("cxh-loop"), std::string::npos) << row[0];
    EXPECT_EQ(row[0].find("cxh-canar"), std::string::npos) << row[0];
    EXPECT_EQ(row[0].find("\\cxh\\loop"), std::string::npos) << row[0];
    EXPECT_EQ(row[0].find("\\keep"), std::string::npos) << row[0];
  }

  // Between the scan and the cleaning.
  Write(kTemp + "cxh-grew.tmp", std::string(100000, 'g'));
  RemoveTree(kTemp + "cxh-wasfolder");
  Write(kTemp + "cxh-wasfolder", "a file now, never listed");
  DeleteFileA((kTemp + "cxh-wasfile.tmp").c_str());
  Write(kTemp + "cxh-wasfile.tmp\\moved.docx", "a folder now, never listed");
  const Rows cleaned = CleanAll(main);
  ScreenshotWhenPainted(main, ResultsList(main), "hostile-cleaned");

  ExpectOutcomesMatchTheDisk(cleaned);
  for (const char* name :
       {"cxh with space.tmp", "cxh [1] 100% & more!~.tmp", "cxh-caf\xC3\xA9.tmp", "cxh-grew.tmp", "cxh-dotted."})
    EXPECT_EQ(Status(cleaned, kTemp + name), "File Deleted") << name;
  EXPECT_EQ(Status(cleaned, kLogs + "cxh\\a.log"), "File Deleted");
  EXPECT_EQ(Status(cleaned, kTemp + "cxh-holder").rfind("Partial Delete", 0), 0u) << "the link inside keeps its folder";
  EXPECT_FALSE(PathExists(kTemp + "cxh-holder\\junk.tmp"));
  for (const char* name :
       {"cxh-filelink.tmp", "cxh-closed", "cxh-readonly.tmp", "cxh-held.tmp", "cxh-wasfolder", "cxh-wasfile.tmp"})
    EXPECT_EQ(Status(cleaned, kTemp + name), "Cannot Delete") << name;
  Release();
  EXPECT_FALSE(Listed("cxh-dotted."));
  EXPECT_EQ(ReadAll(kTemp + "cxh-readonly.tmp"), "read only");
  EXPECT_EQ(ReadShared(kTemp + "cxh-held.tmp").value_or(""), "held by another program");
  EXPECT_TRUE(PathExists(kTemp + "cxh-closed\\x.tmp"));
  EXPECT_EQ(ReadAll(kTemp + "cxh-wasfolder"), "a file now, never listed");
  EXPECT_EQ(ReadAll(kTemp + "cxh-wasfile.tmp\\moved.docx"), "a folder now, never listed");
  EXPECT_EQ(Contents(canary.root()), canaries);

  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitForExit());
}

// A value under HKEY_CURRENT_USER set for the length of a test and then put back as it was (or
// removed, when it was not there).
class UserRegistryValue {
 public:
  UserRegistryValue(std::string key, std::string name, DWORD type, const std::string& data)
      : key_(std::move(key)), name_(std::move(name)) {
    HKEY handle;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &handle,
                        nullptr) != ERROR_SUCCESS)
      return;
    char old[1024];
    DWORD size = sizeof old;
    had_ = RegQueryValueExA(handle, name_.c_str(), nullptr, &old_type_, reinterpret_cast<BYTE*>(old), &size) ==
           ERROR_SUCCESS;
    if (had_) old_.assign(old, size);
    set_ = RegSetValueExA(handle, name_.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
    RegCloseKey(handle);
  }
  ~UserRegistryValue() {
    HKEY handle;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_WRITE, &handle) != ERROR_SUCCESS) return;
    if (had_) {
      RegSetValueExA(handle, name_.c_str(), 0, old_type_, reinterpret_cast<const BYTE*>(old_.data()),
                     static_cast<DWORD>(old_.size()));
    } else {
      RegDeleteValueA(handle, name_.c_str());
    }
    RegCloseKey(handle);
  }
  UserRegistryValue(const UserRegistryValue&) = delete;
  UserRegistryValue& operator=(const UserRegistryValue&) = delete;
  bool set() const { return set_; }

 private:
  std::string key_, name_, old_;
  DWORD old_type_ = REG_SZ;
  bool had_ = false, set_ = false;
};

// Windows XP as far as Wine can show it: the program is told it runs on XP (5.1, Service Pack 3),
// and the user's local application data and Internet cache are where XP keeps them, below
// "Local Settings" of the profile, with XP's user temp folder beside them. Wine keeps its profiles
// in C:\users, so the profile itself stays where it is.
class XpLayoutGuiTest : public ::testing::Test {
 protected:
  static constexpr const char* kShellFolders =
      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

  void SetUp() override {
    ASSERT_FALSE(EnvironmentVariable("USERPROFILE").empty());
    ASSERT_TRUE(version.set() && local_app_data.set() && cache.set());
    MakeFolders(local_settings.Path("Application Data"));
    MakeFolders(local_settings.Path("Temporary Internet Files"));
    char folder[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
    ASSERT_EQ(std::string(folder), local_settings.Path("Application Data")) << "the shell follows the XP layout";
  }
  void TearDown() override { ResetSettingsFile(); }

  UserRegistryValue version{"Software\\Wine\\AppDefaults\\clutterix.exe", "Version", REG_SZ, "winxp"};
  UserRegistryValue local_app_data{kShellFolders, "Local AppData", REG_EXPAND_SZ,
                                   "%USERPROFILE%\\Local Settings\\Application Data"};
  UserRegistryValue cache{kShellFolders, "Cache", REG_EXPAND_SZ,
                          "%USERPROFILE%\\Local Settings\\Temporary Internet Files"};
  FileTree local_settings{EnvironmentVariable("USERPROFILE") + "\\Local Settings"};
};

TEST_F(XpLayoutGuiTest, TheUserTempOfTheXpRulesIsScannedAndCleanedByPlainPaths) {
  const std::string old_file = local_settings.File("Temp\\cxxp-old.tmp", 6000);
  const std::string folder = local_settings.Folder("Temp\\cxxp-folder");
  local_settings.File("Temp\\cxxp-folder\\inner.tmp", 5000);
  // Where the rules of later releases look for the user's temp folder: not a place of XP's.
  const std::string vista_place = local_settings.File("Application Data\\Temp\\cxxp-vista.tmp", 100);
  WriteSettings(/*logs=*/false);

  GuiProgram program;
  HWND main = StartMainWindow(program);
  ASSERT_NE(main, nullptr);
  const Rows listed = ScanToRows(main);
  ASSERT_NE(FindRow(listed, old_file), nullptr) << listed.size() << " rows: the XP rules reach Local Settings\\Temp";
  ASSERT_NE(FindRow(listed, folder), nullptr);
  EXPECT_EQ(FindRow(listed, vista_place), nullptr);
  for (const auto& row : listed) EXPECT_EQ(row[0].find("\\..\\"), std::string::npos) << row[0];

  const Rows cleaned = CleanAll(main);
  ScreenshotWhenPainted(main, ResultsList(main), "xp-layout-cleaned");
  ExpectOutcomesMatchTheDisk(cleaned);
  EXPECT_EQ(Status(cleaned, old_file), "File Deleted");
  EXPECT_EQ(Status(cleaned, folder), "Folder Deleted");
  EXPECT_FALSE(PathExists(old_file));
  EXPECT_FALSE(PathExists(folder));
  EXPECT_TRUE(PathExists(vista_place));

  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitForExit());
}

}  // namespace
