// The registry service (strings, numbers, value names, a key opened only to read) and the
// autostart entry against the real registry, and the options dialog through the real windows: the
// scan level, the noise level and "Start scan after loading" stored by OK, the Run-key value, and
// what the next start shows and does.
#include <windows.h>
// windows.h first: shlobj.h and commctrl.h need its types.
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "settings/autostart.h"
#include "tests/wine/support/file_tree.h"
#include "tests/wine/support/gui_driver.h"
#include "tests/wine/support/screenshot.h"

namespace {

constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kValueName = "Clutterix";

// A key of the test's own under HKCU, removed with its values afterwards.
class ScratchKey {
 public:
  ScratchKey() : path_("Software\\Clutterix Tests " + std::to_string(GetCurrentProcessId())) {
    RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
  }
  ~ScratchKey() {
    RegCloseKey(key_);
    RegDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
  }
  const std::string& path() const { return path_; }
  void SetRaw(const char* name, DWORD type, const void* data, DWORD size) {
    RegSetValueExA(key_, name, 0, type, static_cast<const BYTE*>(data), size);
  }
  // The stored type and bytes of a value; type REG_NONE when it is missing.
  std::pair<DWORD, std::string> Raw(const char* name) {
    char data[1024] = {};
    DWORD type = REG_NONE, size = sizeof data;
    if (RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS)
      return {REG_NONE, ""};
    return {type, std::string(data, size)};
  }

 private:
  std::string path_;
  HKEY key_ = nullptr;
};

TEST(RegistryWin32Test, ReadsStringsByTypeAndWritesThemWithTheirNul) {
  ScratchKey scratch;
  auto registry = platform::win32::CreateRegistry();
  ASSERT_NE(registry, nullptr);
  auto key = registry->OpenKey(platform::RegistryRoot::kCurrentUser, scratch.path());
  ASSERT_NE(key, nullptr);

  ASSERT_TRUE(key->WriteString("Path", "C:\\Program Files\\Clutterix\\clutterix.exe"));
  EXPECT_EQ(scratch.Raw("Path"),
            std::make_pair(DWORD{REG_SZ}, std::string("C:\\Program Files\\Clutterix\\clutterix.exe") + '\0'));
  platform::RegistryValue value = key->ReadValue("PATH");  // names ignore case
  EXPECT_EQ(value.kind, platform::ValueKind::kString);
  EXPECT_EQ(value.text, "C:\\Program Files\\Clutterix\\clutterix.exe");

  const DWORD number = 7;
  scratch.SetRaw("Number", REG_DWORD, &number, sizeof number);
  EXPECT_EQ(key->ReadValue("Number").kind, platform::ValueKind::kNumber);
  EXPECT_EQ(key->ReadValue("Number").number, 7u);
  // Other types, and a REG_DWORD of another length than four bytes, are neither.
  scratch.SetRaw("Short", REG_DWORD, &number, 2);
  EXPECT_EQ(key->ReadValue("Short").kind, platform::ValueKind::kOther);
  scratch.SetRaw("Binary", REG_BINARY, "ab", 2);
  EXPECT_EQ(key->ReadValue("Binary").kind, platform::ValueKind::kOther);
  scratch.SetRaw("Expand", REG_EXPAND_SZ, "%TEMP%", 7);
  EXPECT_EQ(key->ReadValue("Expand").text, "%TEMP%");  // kept unexpanded
  // Data written without its NUL, or with text after one, gives the text up to it.
  scratch.SetRaw("Bare", REG_SZ, "abc", 3);
  EXPECT_EQ(key->ReadValue("Bare").text, "abc");
  scratch.SetRaw("Inner", REG_SZ, "abc\0def", 8);
  EXPECT_EQ(key->ReadValue("Inner").text, "abc");
  scratch.SetRaw("Empty", REG_SZ, "", 0);
  EXPECT_EQ(key->ReadValue("Empty").kind, platform::ValueKind::kString);
  EXPECT_EQ(key->ReadValue("Empty").text, "");
  EXPECT_EQ(key->ReadValue("Absent").kind, platform::ValueKind::kMissing);

  EXPECT_TRUE(key->DeleteValue("Number"));
  EXPECT_EQ(scratch.Raw("Number").first, DWORD{REG_NONE});
  EXPECT_TRUE(key->DeleteValue("Number"));  // already gone: still a success
  // The registry keeps no order of values that a caller could count on.
  std::vector<std::string> names = key->ValueNames();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Bare", "Binary", "Empty", "Expand", "Inner", "Path", "Short"}));

  // Opened to read, as policies are: the values are there, writes are refused.
  auto read_only = registry->OpenKeyToRead(platform::RegistryRoot::kCurrentUser, scratch.path());
  ASSERT_NE(read_only, nullptr);
  EXPECT_EQ(read_only->ReadValue("Bare").text, "abc");
  EXPECT_FALSE(read_only->WriteString("Bare", "xyz"));
  EXPECT_FALSE(read_only->DeleteValue("Bare"));
  EXPECT_EQ(key->ReadValue("Bare").text, "abc");
}

TEST(RegistryWin32Test, AMissingKeyIsNotCreated) {
  auto registry = platform::win32::CreateRegistry();
  const std::string path = "Software\\Clutterix Tests absent " + std::to_string(GetCurrentProcessId());
  EXPECT_EQ(registry->OpenKey(platform::RegistryRoot::kCurrentUser, path), nullptr);
  HKEY key;
  EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
}

// The Run key's value as stored, or nothing.
std::pair<DWORD, std::string> RunValue() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return {REG_NONE, ""};
  char data[1024] = {};
  DWORD type = REG_NONE, size = sizeof data - 1;
  if (RegQueryValueExA(key, kValueName, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS)
    type = REG_NONE;
  RegCloseKey(key);
  return {type, data};
}

void SetRunValue(DWORD type, const void* data, DWORD size) {
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
  RegSetValueExA(key, kValueName, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
}

void DeleteRunValue() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
  RegDeleteValueA(key, kValueName);
  RegCloseKey(key);
}

TEST(AutostartWin32Test, TheRunKeyValueIsWrittenCutAndRemoved) {
  auto registry = platform::win32::CreateRegistry();
  DeleteRunValue();
  EXPECT_FALSE(IsAutostartRegistered(*registry, kValueName));

  const std::string long_path = "C:\\" + std::string(293, 'p') + ".exe";
  SetAutostart(*registry, kValueName, long_path, true);
  EXPECT_EQ(RunValue(), std::make_pair(DWORD{REG_SZ}, "\"" + long_path.substr(0, 253) + "\""));
  EXPECT_TRUE(IsAutostartRegistered(*registry, kValueName));

  const DWORD number = 1;
  SetRunValue(REG_DWORD, &number, sizeof number);
  EXPECT_FALSE(IsAutostartRegistered(*registry, kValueName));
  SetAutostart(*registry, kValueName, "", false);
  EXPECT_EQ(RunValue().first, DWORD{REG_NONE});
  SetAutostart(*registry, kValueName, "", false);  // nothing to delete: silent
  EXPECT_EQ(RunValue().first, DWORD{REG_NONE});
}

// --- The real program ---------------------------------------------------------------------

bool Ticked(HWND box) { return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// A click on a tab's header (tabs are about 20 pixels high, the first starting at the left).
void ClickTab(HWND tabs, int index) {
  ASSERT_TRUE(index == 0 || index == 1);
  const LPARAM at = MAKELPARAM(index == 0 ? 16 : 56, 10);
  PostMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(tabs, WM_LBUTTONUP, 0, at);
}

bool IsShown(HWND control) { return control && IsWindowVisible(control); }

// The scan level's combo box, inside its group: the language's is another one.
HWND ScanLevelBox(HWND options) {
  HWND group = FindChild(options, " Scan Level ");
  return group ? FindChildOfClass(group, "ComboBox") : nullptr;
}

void PressOk(HWND options) {
  PostMessageA(FindChild(options, "&OK"), BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(options); })) << "OK closes the dialog";
}

TEST(OptionsWineTest, OkStoresTheChoicesAndTheNextStartShowsAndUsesThem) {
  ResetSettingsFile();
  DeleteRunValue();
  {
    GuiProgram program;
    ASSERT_TRUE(program.started()) << kInstalledProgram;
    HWND main = StartMainWindow(program);
    ASSERT_NE(main, nullptr);
    HWND options = OpenOptionsDialog(program, main);
    ASSERT_NE(options, nullptr);
    HWND tabs = FindChildOfClass(options, WC_TABCONTROLA);
    ASSERT_NE(tabs, nullptr);
    HWND autostart = FindChild(options, "Autostart with Windows");
    HWND scan_after_loading = FindChild(options, "Start scan after loading");
    ASSERT_NE(autostart, nullptr);
    ASSERT_NE(scan_after_loading, nullptr);
    // It first opens on "Other".
    EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(IsShown(autostart));
    EXPECT_TRUE(IsShown(FindChild(options, "Delete files without ability to restore")));
    Screenshot(options, "options-other-tab");

    ClickTab(tabs, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsShown(autostart); }, 10000)) << "the Other tab hides";
    HWND level = ScanLevelBox(options);
    ASSERT_NE(level, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return IsShown(level); }, 10000)) << "the Scan tab shows";
    HWND disks = FindChildOfClass(options, WC_LISTVIEWA, true);
    ASSERT_NE(disks, nullptr);
    const auto rows = ListViewRows(disks, 3);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0][0], "C");
    EXPECT_FALSE(rows[0][1].empty()) << "the size of drive C";
    EXPECT_EQ(rows[0][2].size(), 8u) << rows[0][2];  // hh:mm:ss
    Screenshot(options, "options-scan-tab");

    // "Internet Garbage", two items down, chosen with the keyboard as a person would.
    EXPECT_EQ(SendMessageA(level, CB_GETCURSEL, 0, 0), 0);
    for (int i = 0; i < 2; ++i) {
      PostMessageA(level, WM_KEYDOWN, VK_DOWN, 0);
      PostMessageA(level, WM_KEYUP, VK_DOWN, 0xC0000001);
    }
    ASSERT_TRUE(WaitUntil([&] { return SendMessageA(level, CB_GETCURSEL, 0, 0) == 2; }, 10000));
    // The preset shows on the main window at once.
    EXPECT_TRUE(WaitUntil([&] { return !Ticked(FindChild(main, "   Recycle Bins")); }, 10000));
    EXPECT_TRUE(Ticked(FindChild(main, "   Temp Internet Files")));
    EXPECT_FALSE(Ticked(FindChild(main, "   Temp Folders")));

    HWND noise = FindChild(options, "4096");
    ASSERT_NE(noise, nullptr) << "the noise-level edit";
    SendMessageA(noise, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("1"));
    SetCheckBox(scan_after_loading, true);
    SetCheckBox(autostart, true);
    PressOk(options);

    const std::string conf = ReadAll(SettingsFilePath());
    EXPECT_NE(conf.find("[Scan]\r\nC=1\r\n"), std::string::npos) << conf;
    EXPECT_NE(conf.find("\r\nLevel=2\r\nNoiseLevel=1\r\nAutoStartScan=1\r\nRecycleBin=0\r\nTempFoldersAndFiles=0\r\n"
                        "InternetCache=1\r\nImgCaches=0\r\nLogFiles=0\r\nWUBackup=0\r\n"),
              std::string::npos)
        << conf;
    EXPECT_EQ(RunValue(), std::make_pair(DWORD{REG_SZ}, "\"" + std::string(kInstalledProgram) + "\""));

    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
  }
  {
    GuiProgram program;
    HWND main = StartMainWindow(program);
    ASSERT_NE(main, nullptr);
    // "Start scan after loading": the scan runs by itself; only Temp Internet Files is scanned,
    // which is quick, so wait for the results page and its "Clean All".
    HWND clean_all = FindChild(main, "Clean All");
    ASSERT_NE(clean_all, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return IsShown(clean_all) && IsWindowEnabled(clean_all); }, 120000))
        << "the scan started after loading and finished";
    ASSERT_NE(FindChild(main, "Back to Settings"), nullptr);
    PostMessageA(FindChild(main, "Back to Settings"), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return IsShown(FindChild(main, "Advanced Options")); }, 10000));

    HWND options = OpenOptionsDialog(program, main);
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(SendMessageA(ScanLevelBox(options), CB_GETCURSEL, 0, 0), 2);
    EXPECT_NE(FindChild(options, "1"), nullptr) << "the stored noise level";
    HWND autostart = FindChild(options, "Autostart with Windows");
    HWND scan_after_loading = FindChild(options, "Start scan after loading");
    EXPECT_TRUE(Ticked(autostart));
    EXPECT_TRUE(Ticked(scan_after_loading));
    EXPECT_FALSE(Ticked(FindChild(main, "   Recycle Bins")));
    EXPECT_TRUE(Ticked(FindChild(main, "   Temp Internet Files")));

    SetCheckBox(autostart, false);
    SetCheckBox(scan_after_loading, false);
    PressOk(options);
    EXPECT_EQ(RunValue().first, DWORD{REG_NONE}) << "unticked: the value is gone";
    EXPECT_NE(ReadAll(SettingsFilePath()).find("AutoStartScan=0\r\n"), std::string::npos);
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit());
  }
  ResetSettingsFile();
}

}  // namespace
