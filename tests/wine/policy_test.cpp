// Group Policy in the real registry: a category the machine's policy forces on shows ticked and
// disabled, a control the policy sets is disabled in the options dialog with the organisation's
// note, the file keeps the user's own values, and an unattended scan leaves out a category the
// policy forces off. The policy keys are removed afterwards: the next test in this prefix runs
// without them.
#include <windows.h>
// windows.h first: shlobj.h needs its types.
#include <shlobj.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "settings/policy.h"
#include "tests/wine/support/file_tree.h"
#include "tests/wine/support/gui_driver.h"
#include "tests/wine/support/screenshot.h"

namespace {

// The machine's policy key, made by the test and removed with everything below it.
class MachinePolicy {
 public:
  MachinePolicy() { Remove(); }
  ~MachinePolicy() { Remove(); }
  MachinePolicy(const MachinePolicy&) = delete;
  MachinePolicy& operator=(const MachinePolicy&) = delete;

  void SetNumber(const char* key, const char* name, DWORD number) { Set(key, name, REG_DWORD, &number, sizeof number); }
  void SetText(const char* key, const char* name, const std::string& text) {
    Set(key, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
  }

 private:
  static void Set(const char* path, const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS)
        << path;
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
  }
  static void Remove() {
    for (const char* path : {kPolicyCategoriesKey, kPolicyExclusionsKey, kPolicyKey, "Software\\Policies\\Torvex"})
      RegDeleteKeyA(HKEY_LOCAL_MACHINE, path);
  }
};

bool Ticked(HWND box) { return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

constexpr const char* kNote = "Some settings are set by your organisation and cannot be changed here.";

TEST(PolicyWineTest, APolicySetControlIsTickedAndDisabledAndTheFileKeepsTheUsersOwn) {
  MachinePolicy policy;
  policy.SetNumber(kPolicyCategoriesKey, "InternetCache", 1);
  policy.SetNumber(kPolicyKey, "MinAgeDays", 30);
  std::ofstream(SettingsFilePath(), std::ios::binary | std::ios::trunc)
      << "[Scan]\r\nInternetCache=0\r\nMinAgeDays=3\r\n";
  GuiProgram program;
  ASSERT_TRUE(program.started()) << kInstalledProgram;
  HWND main = StartMainWindow(program);
  ASSERT_NE(main, nullptr);
  HWND forced = FindChild(main, "   Temp Internet Files");
  HWND free = FindChild(main, "   Temp Folders");
  ASSERT_NE(forced, nullptr);
  ASSERT_NE(free, nullptr);
  EXPECT_TRUE(Ticked(forced));
  EXPECT_FALSE(IsWindowEnabled(forced));
  EXPECT_TRUE(IsWindowEnabled(free));
  Screenshot(main, "policy-main");

  HWND options = OpenOptionsDialog(program, main);
  ASSERT_NE(options, nullptr);
  HWND note = FindChild(options, kNote);
  ASSERT_NE(note, nullptr);
  EXPECT_TRUE(IsWindowVisible(note));
  HWND age = FindChild(options, "30");
  ASSERT_NE(age, nullptr) << "the age edit shows the policy's days";
  EXPECT_FALSE(IsWindowEnabled(age));
  EXPECT_TRUE(IsWindowEnabled(FindChild(options, "Start scan after loading")));
  Screenshot(options, "policy-options");

  PostMessageA(FindChild(options, "&OK"), BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(options); })) << "OK closes the dialog";
  PostMessageA(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(program.WaitForExit());
  const std::string conf = ReadAll(SettingsFilePath());
  EXPECT_NE(conf.find("InternetCache=0\r\n"), std::string::npos) << conf;
  EXPECT_NE(conf.find("MinAgeDays=3\r\n"), std::string::npos) << conf;
  ResetSettingsFile();
}

std::string LocalTemp() {
  char path[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path);
  return std::string(path) + "\\Temp";
}

TEST(PolicyWineTest, AnUnattendedScanLeavesOutACategoryThePolicyForcesOff) {
  const std::string planted = LocalTemp() + "\\cxpolicy-a.tmp";
  const std::string report = "C:\\cxpolicy-report.csv";
  WriteBytes(planted, 6000);
  // The user ticked the temp folders only.
  std::ofstream(SettingsFilePath(), std::ios::binary | std::ios::trunc)
      << "[Scan]\r\nNoiseLevel=0\r\nRecycleBin=0\r\nTempFoldersAndFiles=1\r\nInternetCache=0\r\nImgCaches=0\r\n"
         "LogFiles=0\r\nWUBackup=0\r\n";
  {
    MachinePolicy policy;
    policy.SetNumber(kPolicyCategoriesKey, "TempFoldersAndFiles", 0);
    GuiProgram program(std::string("/scan /report ") + report);
    ASSERT_TRUE(program.WaitForExit(120000));
    EXPECT_EQ(program.ExitCode(), 1u) << "nothing ticked, nothing listed";
    EXPECT_EQ(ReadAll(report).find("cxpolicy-a.tmp"), std::string::npos) << ReadAll(report);
  }
  // Without the policy the same run lists it.
  GuiProgram program(std::string("/scan /report ") + report);
  ASSERT_TRUE(program.WaitForExit(120000));
  EXPECT_NE(ReadAll(report).find("cxpolicy-a.tmp,6000,Temp Folders,Listed"), std::string::npos) << ReadAll(report);
  DeleteFileA(planted.c_str());
  DeleteFileA(report.c_str());
  ResetSettingsFile();
}

}  // namespace
