// Removal at restart in the real program under Wine: a file held open through a cleaning run is
// offered once, and the yes writes it where Windows keeps what to delete when it starts.
#include <windows.h>
// windows.h first: shlobj.h needs its types.
#include <shlobj.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "clean/is_admin.h"
#include "platform/win32/win32_platform.h"
#include "tests/wine/support/file_tree.h"
#include "tests/wine/support/gui_driver.h"

namespace {

constexpr const char* kSessionManager = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr const char* kPending = "PendingFileRenameOperations";

// The value's raw bytes, empty when it is missing.
std::string PendingRaw() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return "";
  DWORD size = 0;
  std::string data;
  if (RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
    data.resize(size);
    RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()),
                     &size);
  }
  RegCloseKey(key);
  return data;
}

void RestorePending(const std::string& raw) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
  if (raw.empty()) {
    RegDeleteValueA(key, kPending);
  } else {
    RegSetValueExW(key, L"PendingFileRenameOperations", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(raw.data()),
                   static_cast<DWORD>(raw.size()));
  }
  RegCloseKey(key);
}

// The strings of the REG_MULTI_SZ value, in ANSI.
std::vector<std::string> PendingStrings(const std::string& raw) {
  std::vector<std::string> strings;
  const auto* text = reinterpret_cast<const wchar_t*>(raw.data());
  const size_t count = raw.size() / sizeof(wchar_t);
  for (size_t i = 0; i < count;) {
    const size_t length = wcsnlen(text + i, count - i);
    char ansi[1024] = {};
    WideCharToMultiByte(CP_ACP, 0, text + i, static_cast<int>(length), ansi, sizeof ansi - 1, nullptr, nullptr);
    strings.emplace_back(ansi);
    i += length + 1;
  }
  return strings;
}

TEST(RestartRemovalWine, AHeldFileIsOfferedOnceAndScheduledAsWindowsDoesIt) {
  platform::win32::Win32Platform platform;
  if (!IsAdmin(platform.os().security)) GTEST_SKIP() << "only an administrator may schedule removal at restart";
  char local[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, local);
  const std::string held = std::string(local) + "\\Temp\\cxrestart-held.tmp";
  DeleteFileA(held.c_str());
  WriteBytes(held, 5000);
  const std::string pending_before = PendingRaw();
  struct Cleanup {
    std::string held, pending;
    ~Cleanup() {
      RestorePending(pending);
      DeleteFileA(held.c_str());
      ResetSettingsFile();
    }
  } cleanup{held, pending_before};
  std::ofstream(SettingsFilePath(), std::ios::binary | std::ios::trunc)
      << "[Scan]\r\nNoiseLevel=0\r\nRecycleBin=0\r\nTempFoldersAndFiles=1\r\nInternetCache=0\r\nImgCaches=0\r\n"
         "LogFiles=0\r\nWUBackup=0\r\n";
  HANDLE handle =
      CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);

  GuiProgram program;
  HWND main = StartMainWindow(program);
  ASSERT_NE(main, nullptr);
  HWND clean_all = FindChild(main, "Clean All");
  ASSERT_NE(clean_all, nullptr);
  HWND list = ScanToResults(main);
  ASSERT_NE(list, nullptr) << "the results page";
  PostMessageA(clean_all, BM_CLICK, 0, 0);

  HWND offer = program.WaitForWindow("Items in use", 120000);
  ASSERT_NE(offer, nullptr) << "the offer after the run";
  EXPECT_EQ(PendingRaw(), pending_before) << "nothing is scheduled before the yes";
  HWND yes = FindChild(offer, "&Yes");
  ASSERT_NE(yes, nullptr);
  ClickControl(yes);
  ASSERT_TRUE(WaitUntil(
      [&] {
        const auto rows = ListViewRows(list, 3);
        const auto* row = FindRow(rows, held);
        return row && (*row)[2] == "Deleted at Restart";
      },
      30000));
  CloseHandle(handle);

  // Windows keeps each removal as the NT path of the file followed by an empty target.
  const std::vector<std::string> pending = PendingStrings(PendingRaw());
  bool found = false;
  for (size_t i = 0; i + 1 < pending.size(); ++i)
    if (lstrcmpiA(pending[i].c_str(), ("\\??\\" + held).c_str()) == 0 && pending[i + 1].empty()) found = true;
  EXPECT_TRUE(found) << "no removal of " << held << " among " << pending.size() << " strings";
  EXPECT_TRUE(PathExists(held)) << "it goes only when Windows starts next";
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitForExit());
}

}  // namespace
