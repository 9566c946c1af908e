// The system queries and the shell service against the real Win32 calls.
#include <windows.h>
// windows.h first: shellapi.h needs its types.
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/exception.h"
#include "platform/win32/win32_platform.h"
#include "settings/system_paths.h"
#include "tests/wine/support/file_tree.h"

namespace {

bool IsExistingAbsoluteFolder(const std::string& path) {
  if (path.size() < 3 || path[1] != ':' || path[2] != '\\') return false;
  DWORD attrs = GetFileAttributesA(path.c_str());
  return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string CurrentDirectory() {
  char buffer[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, buffer);
  return buffer;
}

// A fresh folder under the user's temporary folder, removed with everything in it afterwards.
class ScratchFolder {
 public:
  ScratchFolder() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    path_ = std::string(temp) + "cx-paths-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~ScratchFolder() {
    std::string from = path_ + std::string(2, '\0');
    SHFILEOPSTRUCTA op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    SHFileOperationA(&op);
  }
  const std::string& path() const { return path_; }
  std::string File(const std::string& name, const std::string& content = "x") const {
    std::string file = path_ + "\\" + name;
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(h);
    return file;
  }

 private:
  std::string path_;
};

TEST(SystemPathsWine, SpecialFoldersAreExistingAbsolutePaths) {
  auto shell = platform::win32::CreateShell();
  ASSERT_TRUE(shell);
  for (int csidl : {platform::kCsidlInternetCache, platform::kCsidlRecent, platform::kCsidlLocalAppData}) {
    const std::string path = GetSpecialFolderPath(*shell, 0, csidl);
    EXPECT_TRUE(IsExistingAbsoluteFolder(path)) << csidl << ": " << path;
    EXPECT_NE(path.back(), '\\') << path;
  }
  const std::string app_data = GetAppDataFolder(*shell);
  EXPECT_TRUE(IsExistingAbsoluteFolder(app_data)) << app_data;
  EXPECT_EQ(app_data, GetSpecialFolderPath(*shell, 0, platform::kCsidlLocalAppData));
}

TEST(SystemPathsWine, VirtualFolderRaisesTheShellError) {
  auto shell = platform::win32::CreateShell();
  ASSERT_TRUE(shell);
  // CSIDL_DRIVES ("My Computer") has an identifier list but no file-system path.
  try {
    GetSpecialFolderPath(*shell, 0, 0x0011);
    FAIL() << "no error";
  } catch (const platform::Exception& e) {
    EXPECT_EQ(e.Message(), "SHGetPathFromIDList failed : invalid pidl");
  }
}

TEST(SystemPathsWine, VersionAndProcess) {
  auto system = platform::win32::CreateSystemInfo();
  ASSERT_TRUE(system);
  platform::VersionInfo v;
  ASSERT_TRUE(system->GetVersion(&v));
  EXPECT_EQ(v.platform_id, 2u);
  EXPECT_EQ(GetWindowsVersionCode(*system), 8u) << v.major << "." << v.minor;
  TrimWorkingSet(*system);
  const std::string exe = system->ExecutablePath();
  // Started from a Unix path with no drive for it, Wine names the module "unix\..." here, so only
  // the name is checked.
  EXPECT_EQ(exe.substr(exe.rfind('\\') + 1), "cx_wine_tests.exe");
  EXPECT_NE(system->DecimalSeparator(), '\0');
}

TEST(SystemPathsWine, WindowsDirectoryAndDiskSizes) {
  auto files = platform::win32::CreateFileSystem();
  ASSERT_TRUE(files);
  EXPECT_TRUE(IsExistingAbsoluteFolder(GetWindowsDir(*files))) << GetWindowsDir(*files);

  ScratchFolder scratch;
  ASSERT_TRUE(SetCurrentDirectoryA(scratch.path().c_str()));
  const std::string before = CurrentDirectory();
  int64_t free_bytes = 0, total_bytes = 0;
  EXPECT_TRUE(GetDiskSizes(*files, 'C', &free_bytes, &total_bytes));
  EXPECT_GT(free_bytes, 0);
  EXPECT_GT(total_bytes, free_bytes);
  EXPECT_EQ(CurrentDirectory(), before);

  char missing = 0;
  const DWORD drives = GetLogicalDrives();
  for (char letter = 'Q'; letter <= 'Y' && !missing; ++letter)
    if (!(drives & (1u << (letter - 'A')))) missing = letter;
  ASSERT_NE(missing, 0);
  EXPECT_FALSE(GetDiskSizes(*files, missing, &free_bytes, &total_bytes));
  EXPECT_EQ(free_bytes, -1);
  EXPECT_EQ(total_bytes, -1);
  EXPECT_EQ(CurrentDirectory(), before);
  SetCurrentDirectoryA("C:\\");
}

TEST(ShellWine, DeleteTakesExactlyOnePlainPath) {
  auto shell = platform::win32::CreateShell();
  ASSERT_TRUE(shell);
  ScratchFolder scratch;
  const std::string a = scratch.File("a.tmp");
  const std::string b = scratch.File("b.tmp");
  const unsigned outright = platform::kFofSilent | platform::kFofNoConfirmation;

  // Wildcards and a too-long path are refused before the shell sees them.
  EXPECT_NE(shell->FileOperationDelete(scratch.path() + "\\*", outright), 0);
  EXPECT_NE(shell->FileOperationDelete(scratch.path() + "\\?.tmp", outright), 0);
  EXPECT_NE(shell->FileOperationDelete(scratch.path() + "\\" + std::string(300, 'n'), outright), 0);
  EXPECT_NE(shell->FileOperationDelete("", outright), 0);
  EXPECT_NE(shell->FileOperationDelete(a + std::string(1, '\0') + b, outright), 0);
  EXPECT_TRUE(PathExists(a));
  EXPECT_TRUE(PathExists(b));

  EXPECT_EQ(shell->FileOperationDelete(a, outright), 0);
  EXPECT_FALSE(PathExists(a));
  EXPECT_TRUE(PathExists(b));
  EXPECT_NE(shell->FileOperationDelete(a, outright), 0);
}

}  // namespace
