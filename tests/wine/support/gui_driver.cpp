#include "tests/wine/support/gui_driver.h"

#include <cstdio>
#include <functional>
#include <string>

#include "clean/is_admin.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"
#include "ui/tr.h"

namespace {

using WindowTest = std::function<bool(HWND)>;

struct Search {
  const WindowTest* test;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  if (!(*search->test)(window)) return TRUE;
  search->found = window;
  return FALSE;
}

// The first descendant of parent that test accepts, or nullptr.
HWND FirstChild(HWND parent, const WindowTest& test) {
  Search search{&test, nullptr};
  EnumChildWindows(parent, MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The first top-level window of the process that test accepts, or nullptr.
HWND FirstWindowOf(DWORD process, const WindowTest& test) {
  const WindowTest own = [&](HWND window) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return owner == process && test(window);
  };
  Search search{&own, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string ClassOf(HWND window) {
  char name[128] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

}  // namespace

GuiProgram::GuiProgram(const std::string& arguments) {
  std::string command = std::string("\"") + kInstalledProgram + "\"";
  if (!arguments.empty()) command += " " + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, "C:\\", &startup, &info)) {
    process_ = info.hProcess;
    id_ = info.dwProcessId;
    CloseHandle(info.hThread);
    WaitForInputIdle(process_, 30000);
  }
}

GuiProgram::~GuiProgram() {
  if (!process_) return;
  if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
  WaitForSingleObject(process_, 30000);
  CloseHandle(process_);
}

HWND GuiProgram::WaitForWindow(const std::string& caption, DWORD timeout_ms) const {
  const DWORD start = GetTickCount();
  for (;;) {
    HWND found = FirstWindowOf(id_, [&](HWND w) { return IsWindowVisible(w) && WindowText(w) == caption; });
    if (found) return found;
    if (GetTickCount() - start > timeout_ms) return nullptr;
    if (WaitForSingleObject(process_, 50) == WAIT_OBJECT_0) return nullptr;  // it ended meanwhile
  }
}

bool GuiProgram::WaitForExit(DWORD timeout_ms) const {
  return process_ && WaitForSingleObject(process_, timeout_ms) == WAIT_OBJECT_0;
}

DWORD GuiProgram::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (process_) GetExitCodeProcess(process_, &code);
  return code;
}

HWND FindChild(HWND parent, const std::string& caption) {
  return FirstChild(parent, [&](HWND w) { return WindowText(w) == caption; });
}

std::string WindowText(HWND window) {
  // WM_GETTEXT reaches the control itself: GetWindowText of another process's edit box gives
  // only the text it was made with.
  wchar_t text[1024] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, sizeof text / sizeof *text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                      5000, &copied);
  return platform::win32::Utf8(text);
}

RECT ClientPlace(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  HWND top = GetAncestor(control, GA_ROOT);
  POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
  ScreenToClient(top, &corners[0]);
  ScreenToClient(top, &corners[1]);
  return RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

SIZE ClientSize(HWND window) {
  RECT r;
  GetClientRect(window, &r);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

void ClickControl(HWND control) {
  RECT r;
  GetClientRect(control, &r);
  LPARAM at = MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2);
  PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(control, WM_LBUTTONUP, 0, at);
}

#include <commctrl.h>

namespace {

// Memory in the list view's own process, for the messages that carry pointers.
class RemoteBuffer {
 public:
  RemoteBuffer(HWND window, size_t size) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, id);
    if (process_) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
  }
  ~RemoteBuffer() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  char* address() const { return static_cast<char*>(address_); }
  bool Write(size_t offset, const void* data, size_t size) const {
    return WriteProcessMemory(process_, address() + offset, data, size, nullptr);
  }
  bool Read(size_t offset, void* data, size_t size) const {
    return ReadProcessMemory(process_, address() + offset, data, size, nullptr);
  }

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
};

}  // namespace

HWND FindChildAt(HWND parent, const std::string& window_class, int x, int y) {
  return FirstChild(parent, [&](HWND w) {
    if (ClassOf(w) != window_class || !IsWindowVisible(w)) return false;
    const RECT place = ClientPlace(w);
    return place.left == x && place.top == y;
  });
}

std::vector<std::vector<std::string>> ListViewRows(HWND list, int columns) {
  std::vector<std::vector<std::string>> rows;
  // Wide, so that names outside the code page arrive as they are; long enough for any path.
  constexpr size_t kText = 4096;
  RemoteBuffer remote(list, sizeof(LVITEMW) + kText * sizeof(wchar_t));
  if (!remote.address()) return rows;
  const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    std::vector<std::string> cells;
    for (int column = 0; column < columns; ++column) {
      LVITEMW item = {};
      item.mask = LVIF_TEXT;
      item.iSubItem = column;
      item.pszText = reinterpret_cast<wchar_t*>(remote.address() + sizeof(LVITEMW));
      item.cchTextMax = kText;
      remote.Write(0, &item, sizeof item);
      SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote.address()));
      std::wstring text(kText, L'\0');
      remote.Read(sizeof(LVITEMW), text.data(), (kText - 1) * sizeof(wchar_t));
      cells.push_back(platform::win32::Utf8(text.c_str()));
    }
    rows.push_back(cells);
  }
  return rows;
}

bool ListViewChecked(HWND list, int row) {
  return (SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) ==
         INDEXTOSTATEIMAGEMASK(2);
}

// As a person does it: the row is scrolled into view and its check box clicked.
bool SetListViewChecked(HWND list, int row, bool checked) {
  if (ListViewChecked(list, row) == checked) return true;
  SendMessageA(list, LVM_ENSUREVISIBLE, row, FALSE);
  RemoteBuffer remote(list, sizeof(LVHITTESTINFO) + sizeof(RECT));
  if (!remote.address()) return false;
  RECT bounds = {LVIR_BOUNDS, 0, 0, 0};
  remote.Write(sizeof(LVHITTESTINFO), &bounds, sizeof bounds);
  SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(remote.address() + sizeof(LVHITTESTINFO)));
  remote.Read(sizeof(LVHITTESTINFO), &bounds, sizeof bounds);
  const int y = (bounds.top + bounds.bottom) / 2;
  for (int x = bounds.left; x < bounds.left + 40; ++x) {
    LVHITTESTINFO hit = {};
    hit.pt = {x, y};
    remote.Write(0, &hit, sizeof hit);
    const int at = static_cast<int>(SendMessageA(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(remote.address())));
    remote.Read(0, &hit, sizeof hit);
    if (at != row || !(hit.flags & LVHT_ONITEMSTATEICON)) continue;
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    return WaitUntil([&] { return ListViewChecked(list, row) == checked; }, 10000);
  }
  return false;
}

std::vector<std::string> ListBoxItems(HWND list) {
  std::vector<std::string> items;
  const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t text[512] = {};
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    char narrow[512] = {};
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
    items.push_back(narrow);
  }
  return items;
}

#include <shlobj.h>

std::string SettingsFilePath() {
  char folder[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
  const std::string settings_folder = std::string(folder) + "\\Torvex Clutterix";
  CreateDirectoryA(settings_folder.c_str(), nullptr);
  return settings_folder + "\\general.conf";
}

std::string EnvironmentVariable(const char* name) {
  std::string value(GetEnvironmentVariableA(name, nullptr, 0), '\0');
  if (value.empty()) return value;
  value.resize(GetEnvironmentVariableA(name, value.data(), static_cast<DWORD>(value.size())));
  return value;
}

void ResetSettingsFile() { DeleteFileA(SettingsFilePath().c_str()); }

HWND StartMainWindow(const GuiProgram& program) {
  HWND main = program.WaitForWindow("Clutterix");
  if (!main) {
    // What the program did instead, for the test's output.
    std::string windows;
    FirstWindowOf(program.id(), [&](HWND w) {
      windows += " \"" + WindowText(w) + (IsWindowVisible(w) ? "\"" : "\" (hidden)");
      return false;  // every one of them
    });
    const DWORD code = program.ExitCode();
    std::fprintf(stderr, "StartMainWindow: no main window; the program %s; its windows:%s\n",
                 !program.started()     ? "did not start"
                 : code == STILL_ACTIVE ? "still runs"
                                        : ("ended with code " + std::to_string(code)).c_str(),
                 windows.empty() ? " none" : windows.c_str());
    return nullptr;
  }
  platform::win32::Win32Platform platform;
  if (IsAdmin(platform.os().security)) return main;
  HWND warning = program.WaitForWindow(ui::Tr("Not enought rights."));
  if (!warning) return nullptr;
  ClickControl(FindChild(warning, ui::Tr("Close")));
  WaitUntil([&] { return !IsWindow(warning) || !IsWindowVisible(warning); }, 30000);
  return main;
}

int DisplayDpi() {
  DWORD dpi = 0, size = sizeof dpi;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
    if (RegQueryValueExA(key, "LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&dpi), &size) != ERROR_SUCCESS)
      dpi = 0;
    RegCloseKey(key);
  }
  return dpi >= 48 && dpi <= 960 ? static_cast<int>(dpi) : 96;
}

// The child at a place of the design (a 96-DPI display), wherever the window's DPI puts it.
static HWND FindChildAtDesigned(HWND main, const std::string& window_class, int x, int y) {
  const int dpi = DisplayDpi();
  return FindChildAt(main, window_class, MulDiv(x, dpi, 96), MulDiv(y, dpi, 96));
}

HWND StartPicture(HWND main) { return FindChildAtDesigned(main, "CxPicture", 459, 185); }

HWND ResultsList(HWND main) { return FindChildAtDesigned(main, "SysListView32", 24, 182); }

HWND ScanToResults(HWND main, DWORD timeout_ms) {
  HWND start = StartPicture(main);
  HWND clean_all = FindChild(main, ui::Tr("Clean All"));
  if (!start || !clean_all) return nullptr;
  ClickControl(start);
  if (!WaitUntil([&] { return IsWindowVisible(clean_all) && IsWindowEnabled(clean_all); }, timeout_ms)) return nullptr;
  // The results page enables its buttons before it places the list: from outside, that step may
  // still be under way.
  HWND list = nullptr;
  WaitUntil([&] { return (list = ResultsList(main)) != nullptr; }, 10000);
  return list;
}

HWND ProgramDialog(DWORD program, HWND besides) {
  return FirstWindowOf(program, [&](HWND w) { return w != besides && IsWindowVisible(w) && ClassOf(w) == "#32770"; });
}

HWND FindChildOfClass(HWND parent, const char* window_class, bool visible_only) {
  return FirstChild(parent, [&](HWND w) {
    return lstrcmpiA(ClassOf(w).c_str(), window_class) == 0 && (!visible_only || IsWindowVisible(w));
  });
}

HWND OpenOptionsDialog(const GuiProgram& program, HWND main) {
  ClickControl(FindChild(main, ui::Tr("Advanced Options")));
  HWND options = program.WaitForWindow(ui::Tr("Options"));
  // The dialog's controls are made as it first shows: wait for the last of them.
  if (options) WaitUntil([&] { return FindChild(options, ui::Tr("&OK")) != nullptr; }, 30000);
  return options;
}

void SetCheckBox(HWND box, bool checked) {
  if ((SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED) != checked) SendMessageA(box, BM_CLICK, 0, 0);
}

const std::vector<std::string>* FindRow(const std::vector<std::vector<std::string>>& rows, const std::string& path) {
  for (const auto& row : rows)
    if (_stricmp(row[0].c_str(), path.c_str()) == 0) return &row;
  return nullptr;
}
