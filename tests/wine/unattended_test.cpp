// The unattended modes of the real program under Wine: /scan /report and /auto /report end to end
// with their exit codes and reports, and a malformed command line refused with the usage.
#include <windows.h>
// windows.h first: shlobj.h needs its types.
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "tests/wine/support/fake_browser.h"
#include "tests/wine/support/file_tree.h"
#include "tests/wine/support/gui_driver.h"

namespace {

std::string LocalTemp() {
  char path[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path);
  return std::string(path) + "\\Temp";
}

constexpr const char* kReport = "C:\\cxauto-report.csv";
constexpr const char* kSummary = "C:\\cxauto-summary.json";
constexpr const char* kAccented = "cxauto-caf\xC3\xA9.tmp";  // UTF-8, as the program holds names

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class UnattendedWine : public ::testing::Test {
 protected:
  void SetUp() override {
    temp_ = LocalTemp();
    TearDown();
    // Only the temp folders, every object listed.
    std::ofstream(SettingsFilePath(), std::ios::binary | std::ios::trunc)
        << "[Scan]\r\nNoiseLevel=0\r\nRecycleBin=0\r\nTempFoldersAndFiles=1\r\nInternetCache=0\r\nImgCaches=0\r\n"
           "LogFiles=0\r\nWUBackup=0\r\n";
    WriteBytes(temp_ + "\\cxauto-a.tmp", 6000);
    WriteBytes(temp_ + "\\cxauto-held.tmp", 7000);
    WriteBytes(temp_ + "\\" + kAccented, 5000);
  }
  void TearDown() override {
    for (const char* name : {"cxauto-a.tmp", "cxauto-held.tmp"}) DeleteFileA((temp_ + "\\" + name).c_str());
    RemoveTree(temp_ + "\\" + kAccented);
    DeleteFileA(kReport);
    DeleteFileA(kSummary);
    ResetSettingsFile();
  }
  std::string temp_;
};

TEST_F(UnattendedWine, ScanWithReportIsADryRun) {
  const std::string settings_before = ReadAll(SettingsFilePath());
  GuiProgram program(std::string("/scan /report ") + kReport + " /json " + kSummary);
  ASSERT_TRUE(program.started());
  ASSERT_TRUE(program.WaitForExit(120000));
  EXPECT_EQ(program.ExitCode(), 0u);
  const auto lines = Lines(ReadAll(kReport));
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "path,bytes,category,outcome");
  EXPECT_TRUE(HasLine(lines, temp_ + "\\" + kAccented + ",5000,Temp Folders,Listed")) << "UTF-8 names as they are";
  // The summary's documented fields (the temp folder may hold more than this test's files).
  const std::string json = ReadAll(kSummary);
  for (const char* field : {"\"schemaVersion\": 1,", "\"program\": \"Clutterix\",", "\"programVersion\": \"",
                            "\"machine\": \"", "\"mode\": \"scan\",", "\"started\": \"20", "\"ended\": \"20",
                            "\"profiles\": [\"C:\\\\users\\\\", "\"Temp Folders\": {\n      \"found\": {\"items\": ",
                            "\"totals\": {", "\"runningApplications\": [],", "\"exitCode\": 0\n}"})
    EXPECT_NE(json.find(field), std::string::npos) << field << "\n" << json;
  EXPECT_TRUE(HasLine(lines, temp_ + "\\cxauto-a.tmp,6000,Temp Folders,Listed")) << ReadAll(kReport);
  EXPECT_TRUE(HasLine(lines, temp_ + "\\cxauto-held.tmp,7000,Temp Folders,Listed")) << ReadAll(kReport);
  for (size_t i = 1; i < lines.size(); ++i) EXPECT_NE(lines[i].find(",Listed"), std::string::npos) << lines[i];
  EXPECT_TRUE(PathExists(temp_ + "\\cxauto-a.tmp"));
  EXPECT_EQ(ReadAll(SettingsFilePath()), settings_before) << "an unattended run writes no settings";
}

// A running browser is never closed unattended: the run goes on as "Skip" does and says so.
TEST_F(UnattendedWine, AutoCleansLeavesTheBrowserRunningAndSaysWhatFailed) {
  // Held open without delete sharing, as a program writing it would.
  HANDLE held = CreateFileA((temp_ + "\\cxauto-held.tmp").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  HANDLE firefox = StartFakeBrowser("firefox.exe");
  ASSERT_NE(firefox, nullptr);
  GuiProgram program(std::string("/AUTO /report ") + kReport);
  ASSERT_TRUE(program.started());
  const bool ended = program.WaitForExit(120000);
  CloseHandle(held);
  const DWORD browser = WaitForSingleObject(firefox, 0);
  EndFakeBrowser(firefox);
  ASSERT_TRUE(ended);
  EXPECT_EQ(browser, static_cast<DWORD>(WAIT_TIMEOUT)) << "firefox.exe was ended";
  EXPECT_EQ(program.ExitCode(), 2u) << "one listed file could not be deleted";
  const auto lines = Lines(ReadAll(kReport));
  EXPECT_TRUE(HasLine(lines, temp_ + "\\cxauto-a.tmp,6000,Temp Folders,File Deleted")) << ReadAll(kReport);
  EXPECT_TRUE(HasLine(lines, temp_ + "\\cxauto-held.tmp,7000,Temp Folders,Cannot Delete")) << ReadAll(kReport);
  EXPECT_TRUE(HasLine(lines, "Mozilla Firefox,,Running browser,Left running")) << ReadAll(kReport);
  EXPECT_FALSE(PathExists(temp_ + "\\cxauto-a.tmp"));
  EXPECT_TRUE(PathExists(temp_ + "\\cxauto-held.tmp"));

  // Released, the file that stayed is what the next run lists.
  GuiProgram again(std::string("/scan /report ") + kReport);
  ASSERT_TRUE(again.WaitForExit(120000));
  EXPECT_TRUE(HasLine(Lines(ReadAll(kReport)), temp_ + "\\cxauto-held.tmp,7000,Temp Folders,Listed"));
}

// Another user's profile, added to the system's profile list: an /allusers run cleans its temp
// files as its own user's and leaves its documents.
TEST_F(UnattendedWine, AllUsersCleansAnotherProfileOfTheListAndKeepsItsDocuments) {
  const char* entry = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-21-9-9-9-1500";
  const std::string profile = "C:\\users\\cxanna";
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, entry, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const char image[] = "%SystemDrive%\\users\\cxanna";
  RegSetValueExA(key, "ProfileImagePath", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(image), sizeof image);
  RegCloseKey(key);
  MakeFolders(profile + "\\AppData\\Local\\Temp");
  MakeFolders(profile + "\\Documents");
  WriteBytes(profile + "\\AppData\\Local\\Temp\\cxall.tmp", 6500);
  WriteText(profile + "\\Documents\\cxall-thesis.docx", "her thesis");

  GuiProgram program(std::string("/auto /allusers /report ") + kReport + " /json " + kSummary);
  ASSERT_TRUE(program.started());
  const bool ended = program.WaitForExit(120000);
  const std::string report = ReadAll(kReport), summary = ReadAll(kSummary);
  const std::string thesis = ReadAll(profile + "\\Documents\\cxall-thesis.docx");
  const bool cleaned = !PathExists(profile + "\\AppData\\Local\\Temp\\cxall.tmp");
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, entry);
  RemoveTree(profile);
  ASSERT_TRUE(ended);
  EXPECT_EQ(program.ExitCode(), 0u) << report;
  EXPECT_TRUE(HasLine(Lines(report), profile + "\\AppData\\Local\\Temp\\cxall.tmp,6500,Temp Folders,File Deleted"))
      << report;
  EXPECT_TRUE(HasLine(Lines(report), temp_ + "\\cxauto-a.tmp,6000,Temp Folders,File Deleted")) << "the own profile too";
  EXPECT_TRUE(cleaned);
  EXPECT_EQ(thesis, "her thesis");
  EXPECT_NE(summary.find("\"C:\\\\users\\\\cxanna\""), std::string::npos) << summary;
}

TEST_F(UnattendedWine, AMalformedCommandLineShowsTheUsageAndScansNothing) {
  GuiProgram program(std::string("/auto /report ") + kReport + " /bogus");
  ASSERT_TRUE(program.started());
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = ProgramDialog(program.id())) != nullptr; }, 30000));
  HWND text = FindWindowExA(box, nullptr, "Static", nullptr);
  while (text && WindowText(text).find("Usage") == std::string::npos)
    text = FindWindowExA(box, text, "Static", nullptr);
  ASSERT_NE(text, nullptr) << "the message names the usage";
  EXPECT_NE(WindowText(text).find("/bogus"), std::string::npos) << WindowText(text);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 64u);
  EXPECT_FALSE(PathExists(kReport));
  EXPECT_TRUE(PathExists(temp_ + "\\cxauto-a.tmp"));
}

}  // namespace
