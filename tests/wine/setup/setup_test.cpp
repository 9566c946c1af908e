// The setup program and its uninstaller, as an administrator uses them: each test starts in a
// prefix made anew with nothing installed, runs the setup silently, starts what it installed, and
// uninstalls; what must be left is the user's settings and nothing else.
#include <gtest/gtest.h>

#include <string>

#include "context/version.h"
#include "tests/wine/support/file_tree.h"
#include "tests/wine/support/gui_driver.h"
// clang-format off
#include <windows.h>
#include <shlobj.h>
// clang-format on

namespace {

const std::string kFolder = "C:\\Program Files\\Clutterix";
const char* const kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Clutterix";
const char* const kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const kEventSourceKey = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Clutterix";

// Runs a command line and waits for it to end: its exit code, or STILL_ACTIVE when it did not.
DWORD RunAndWait(std::string command) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, "C:\\", &startup, &info)) return 1;
  CloseHandle(info.hThread);
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(info.hProcess, 180000) == WAIT_OBJECT_0) GetExitCodeProcess(info.hProcess, &code);
  CloseHandle(info.hProcess);
  return code;
}

// A setup program of the build, copied into the prefix (it lies on the Unix side, where Wine
// reaches it only through its \\?\unix\ namespace): its path there.
std::string CopyIn(const std::string& unix_path, const std::string& name) {
  std::string from = "\\\\?\\unix" + unix_path;
  for (char& c : from)
    if (c == '/') c = '\\';
  const std::string to = "C:\\" + name;
  EXPECT_TRUE(CopyFileA(from.c_str(), to.c_str(), FALSE)) << from;
  return to;
}

bool KeyExists(HKEY root, const char* key) {
  HKEY opened;
  if (RegOpenKeyExA(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  RegCloseKey(opened);
  return true;
}

// A string value, or "<none>" when it is missing; a DWORD as its decimal text.
std::string RegistryValue(HKEY root, const char* key, const char* name) {
  HKEY opened;
  if (RegOpenKeyExA(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) return "<none>";
  char data[1024] = {};
  DWORD size = sizeof data - 1, type = 0;
  const LONG status = RegQueryValueExA(opened, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(opened);
  if (status != ERROR_SUCCESS) return "<none>";
  if (type == REG_DWORD) return std::to_string(*reinterpret_cast<DWORD*>(data));
  return data;
}

std::string Uninstall(const char* name) { return RegistryValue(HKEY_LOCAL_MACHINE, kUninstallKey, name); }

void SetAutostartValue(const std::string& path) {
  HKEY run;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &run, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(run, "Clutterix", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                 static_cast<DWORD>(path.size() + 1));
  RegCloseKey(run);
}

// A text of the file's version resource (US English, Unicode), or "" when it has none.
std::string VersionText(const std::string& file, const std::string& name) {
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(file.c_str(), &handle);
  if (size == 0) return "";
  std::string block(size, '\0');
  if (!GetFileVersionInfoA(file.c_str(), 0, size, block.data())) return "";
  char* text = nullptr;
  UINT length = 0;
  const std::string query = "\\StringFileInfo\\040904B0\\" + name;
  if (!VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&text), &length) || !text) return "";
  return text;
}

std::string StartMenuShortcut() {
  char folder[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, 0, folder);
  return std::string(folder) + "\\Clutterix.lnk";
}

// Starts the uninstaller silently and waits until it is done: it hands over to a copy of itself
// in TEMP at once (so that it can remove its own file), and the entry goes as its last step.
void UninstallSilently() {
  ASSERT_EQ(RunAndWait("\"" + kFolder + "\\uninstall.exe\" /S"), 0u);
  ASSERT_TRUE(WaitUntil([] { return !KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey); }, 120000));
}

TEST(SetupWine, InstallsSilentlyStartsAndUninstallsLeavingOnlyTheSettings) {
  ASSERT_FALSE(PathExists(kInstalledProgram)) << "the prefix is not new";
  ASSERT_EQ(RunAndWait(CopyIn(CX_SETUP, "clutterix-setup.exe") + " /S"), 0u);

  EXPECT_TRUE(PathExists(kFolder + "\\config\\vistagarbage.cxtraces"));
  EXPECT_TRUE(PathExists(kFolder + "\\images\\about.jpg"));
  EXPECT_TRUE(PathExists(kFolder + "\\lang\\ja.mo"));
  EXPECT_TRUE(PathExists(StartMenuShortcut()));
  EXPECT_EQ(Uninstall("DisplayName"), "Clutterix");
  EXPECT_EQ(Uninstall("DisplayVersion"), CX_VERSION_TEXT);
  EXPECT_EQ(Uninstall("Publisher"), "Torvex");
  EXPECT_EQ(Uninstall("InstallLocation"), kFolder);
  EXPECT_EQ(Uninstall("UninstallString"), "\"" + kFolder + "\\uninstall.exe\"");
  EXPECT_EQ(Uninstall("DisplayIcon"), kFolder + "\\clutterix.exe,0");
  // The event source of unattended runs, with the message table in the program.
  EXPECT_EQ(RegistryValue(HKEY_LOCAL_MACHINE, kEventSourceKey, "EventMessageFile"), kInstalledProgram);
  EXPECT_EQ(RegistryValue(HKEY_LOCAL_MACHINE, kEventSourceKey, "TypesSupported"), "7");
  // The program, its two trace files and 45 pictures: more than a megabyte.
  EXPECT_GT(std::stoi(Uninstall("EstimatedSize")), 1000);
  // The executable says which release it is, as the update check and the about box do.
  EXPECT_EQ(VersionText(kInstalledProgram, "ProductVersion"), CX_VERSION_TEXT);
  EXPECT_EQ(VersionText(kInstalledProgram, "FileVersion"), CX_VERSION_TEXT);
  EXPECT_EQ(VersionText(kInstalledProgram, "ProductName"), "Clutterix");
  EXPECT_EQ(VersionText(kInstalledProgram, "CompanyName"), "Torvex");

  {
    GuiProgram program;
    HWND main = StartMainWindow(program);
    ASSERT_NE(main, nullptr);
    // While it runs, the uninstaller (here run in place, so that its exit code is its own)
    // refuses and removes nothing.
    EXPECT_EQ(RunAndWait("\"" + kFolder + "\\uninstall.exe\" /S _?=" + kFolder), 2u);
    EXPECT_TRUE(PathExists(kInstalledProgram));
    EXPECT_NE(Uninstall("DisplayName"), "<none>");
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
  }
  ASSERT_TRUE(PathExists(SettingsFilePath())) << "the program saves its settings at its close";
  const std::string settings = ReadAll(SettingsFilePath());
  SetAutostartValue(std::string("\"") + kInstalledProgram + "\"");  // as the program writes it

  UninstallSilently();
  EXPECT_FALSE(PathExists(kFolder));
  EXPECT_FALSE(PathExists(StartMenuShortcut()));
  EXPECT_EQ(RegistryValue(HKEY_CURRENT_USER, kRunKey, "Clutterix"), "<none>");
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kEventSourceKey));
  EXPECT_EQ(ReadAll(SettingsFilePath()), settings);
}

TEST(SetupWine, InstallingOverAnOlderReleaseReplacesItsFilesAndKeepsTheSettings) {
  ASSERT_FALSE(PathExists(kInstalledProgram)) << "the prefix is not new";
  ASSERT_EQ(RunAndWait(CopyIn(CX_OLDER_SETUP, "clutterix-1.1-setup.exe") + " /S"), 0u);
  ASSERT_EQ(Uninstall("DisplayVersion"), "1.1");
  ASSERT_EQ(VersionText(kInstalledProgram, "ProductVersion"), "") << "the older release's program is a stand-in";
  // What the older release left: a trace file this one does not ship, and the user's settings.
  WriteText(kFolder + "\\config\\dropped.cxtraces", "[Old]\r\n");
  const std::string settings = "[Scan]\r\nNoiseLevel=12345\r\n";
  WriteText(SettingsFilePath(), settings);

  ASSERT_EQ(RunAndWait(CopyIn(CX_SETUP, "clutterix-setup.exe") + " /S"), 0u);
  EXPECT_EQ(Uninstall("DisplayVersion"), CX_VERSION_TEXT);
  EXPECT_EQ(VersionText(kInstalledProgram, "ProductVersion"), CX_VERSION_TEXT);
  EXPECT_FALSE(PathExists(kFolder + "\\config\\dropped.cxtraces"));
  EXPECT_TRUE(PathExists(kFolder + "\\config\\vistagarbage.cxtraces"));
  EXPECT_EQ(ReadAll(SettingsFilePath()), settings);
  {
    // The new release takes the user's settings over: its save at the close keeps their value.
    GuiProgram program;
    HWND main = StartMainWindow(program);
    ASSERT_NE(main, nullptr);
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
  }
  EXPECT_NE(ReadAll(SettingsFilePath()).find("NoiseLevel=12345"), std::string::npos);

  // An autostart value that starts another copy of the program is not this installation's.
  const std::string elsewhere = "C:\\Portable\\Clutterix\\clutterix.exe";
  SetAutostartValue(elsewhere);
  UninstallSilently();
  EXPECT_FALSE(PathExists(kFolder));
  EXPECT_EQ(RegistryValue(HKEY_CURRENT_USER, kRunKey, "Clutterix"), elsewhere);
  EXPECT_NE(ReadAll(SettingsFilePath()).find("NoiseLevel=12345"), std::string::npos);
}

// The MSI package: the Uninstall entry that Windows Installer writes for it (under its product
// code, which names a version), found by its name; "<none>" for a value of none.
std::string MsiEntry(const char* name) {
  HKEY uninstall;
  const char* root = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, root, 0, KEY_READ, &uninstall) != ERROR_SUCCESS) return "<none>";
  std::string value = "<none>";
  char sub[256];
  for (DWORD i = 0; value == "<none>"; ++i) {
    DWORD size = sizeof sub;
    if (RegEnumKeyExA(uninstall, i, sub, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    const std::string key = std::string(root) + "\\" + sub;
    if (sub[0] == '{' && RegistryValue(HKEY_LOCAL_MACHINE, key.c_str(), "DisplayName") == "Clutterix")
      value = RegistryValue(HKEY_LOCAL_MACHINE, key.c_str(), name);
  }
  RegCloseKey(uninstall);
  return value;
}

// Wine's Windows Installer lays a per-machine package's shortcut in the user's menu, where Windows
// uses the menu of all users: either counts here.
bool MsiShortcutExists() {
  char folder[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, folder);
  return PathExists(StartMenuShortcut()) || PathExists(std::string(folder) + "\\Clutterix.lnk");
}

// As a deployment tool runs it: msiexec without a window, an older package first, this one over
// it, the program started, then removal, which leaves the user's settings.
TEST(SetupWine, TheMsiInstallsOverAnOlderPackageStartsAndUninstallsLeavingOnlyTheSettings) {
  ASSERT_FALSE(PathExists(kInstalledProgram)) << "the prefix is not new";
  const std::string older = CopyIn(CX_OLDER_MSI, "clutterix-1.1.msi");
  const std::string current = CopyIn(CX_MSI, "clutterix.msi");
  ASSERT_EQ(RunAndWait("msiexec /i " + older + " /qn"), 0u);
  ASSERT_EQ(MsiEntry("DisplayVersion"), "1.1.0");
  ASSERT_EQ(VersionText(kInstalledProgram, "ProductVersion"), "") << "the older package's program is a stand-in";
  const std::string settings = "[Scan]\r\nNoiseLevel=4321\r\n";
  WriteText(SettingsFilePath(), settings);

  ASSERT_EQ(RunAndWait("msiexec /i " + current + " /qn"), 0u);
  EXPECT_EQ(MsiEntry("DisplayVersion"), std::string(CX_VERSION_TEXT) + ".0") << "one entry, the newer one";
  EXPECT_EQ(MsiEntry("Publisher"), "Torvex");
  EXPECT_EQ(VersionText(kInstalledProgram, "ProductVersion"), CX_VERSION_TEXT);
  EXPECT_TRUE(PathExists(kFolder + "\\config\\vistagarbage.cxtraces"));
  EXPECT_TRUE(PathExists(kFolder + "\\images\\about.jpg"));
  EXPECT_TRUE(PathExists(kFolder + "\\lang\\ja.mo"));
  EXPECT_TRUE(MsiShortcutExists());
  EXPECT_EQ(RegistryValue(HKEY_LOCAL_MACHINE, kEventSourceKey, "EventMessageFile"), kInstalledProgram);
  {
    GuiProgram program;
    HWND main = StartMainWindow(program);
    ASSERT_NE(main, nullptr);
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
  }

  ASSERT_EQ(RunAndWait("msiexec /x " + current + " /qn"), 0u);
  EXPECT_FALSE(PathExists(kInstalledProgram));
  EXPECT_FALSE(PathExists(kFolder + "\\config"));
  EXPECT_FALSE(PathExists(kFolder + "\\lang"));
  EXPECT_FALSE(MsiShortcutExists());
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kEventSourceKey));
  EXPECT_EQ(MsiEntry("DisplayName"), "<none>");
  EXPECT_NE(ReadAll(SettingsFilePath()).find("NoiseLevel=4321"), std::string::npos);
}

}  // namespace
