#include "tests/wine/support/unix_side.h"

#include <winioctl.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "tests/wine/support/file_tree.h"
#include "tests/wine/support/gui_driver.h"

namespace {

std::wstring Wide(const std::string& ansi) { return std::wstring(ansi.begin(), ansi.end()); }

std::string Folder(const std::string& path) { return path.substr(0, path.rfind('\\')); }

}  // namespace

std::string UnixPath(const std::string& path) {
  using ToUnix = char*(CDECL*)(const wchar_t*);
  auto to_unix = reinterpret_cast<ToUnix>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!to_unix) return "";
  char* unix_path = to_unix(Wide(path).c_str());
  std::string out = unix_path ? unix_path : "";
  if (unix_path) HeapFree(GetProcessHeap(), 0, unix_path);
  return out;
}

bool RunUnix(const std::string& folder, const std::string& program, const std::string& arguments,
             const std::function<bool()>& done) {
  HANDLE change =
      FindFirstChangeNotificationA(folder.c_str(), FALSE, FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_FILE_NAME);
  if (change == INVALID_HANDLE_VALUE) return false;
  std::string command = "\"\\\\?\\unix" + program + "\" " + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  const bool started =
      CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
  if (started) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  while (started && !done()) {
    if (WaitForSingleObject(change, 60000) != WAIT_OBJECT_0) break;  // guard against a broken run
    FindNextChangeNotification(change);
  }
  FindCloseChangeNotification(change);
  return done();
}

bool MakeUnixLink(const std::string& link, const std::string& target) {
  const std::string unix_link = UnixPath(link), unix_target = UnixPath(target);
  if (unix_link.empty() || unix_target.empty()) return false;
  return RunUnix(Folder(link), "\\bin\\ln", "-s \"" + unix_target + "\" \"" + unix_link + "\"",
                 [&] { return PathExists(link); });
}

std::string WineTrashFiles() {
  const std::string data_home = EnvironmentVariable("XDG_DATA_HOME");
  if (data_home.empty()) return "";
  std::string folder = "\\\\?\\unix" + data_home + "/Trash/files";
  std::replace(folder.begin(), folder.end(), '/', '\\');
  return folder;
}

bool DefineWineDrive(char letter, const std::string& mount_point, const std::string& device) {
  // Wine's extension of the mount manager (its include/ddk/mountmgr.h), not in the SDK's headers.
  constexpr DWORD kDefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
  struct UnixDrive {
    ULONG size, type, fs_type;
    DWORD serial;
    ULONGLONG unix_dev;
    WCHAR letter;
    USHORT mount_point_offset, device_offset, label_offset;
  };
  const bool remove = mount_point.empty();
  std::string buffer(sizeof(UnixDrive), '\0');
  UnixDrive drive = {};
  drive.type = remove ? DRIVE_NO_ROOT_DIR : DRIVE_FIXED;
  drive.letter = static_cast<WCHAR>(letter);
  if (!remove) {
    drive.mount_point_offset = static_cast<USHORT>(buffer.size());
    buffer.append(mount_point).push_back('\0');
    drive.device_offset = static_cast<USHORT>(buffer.size());
    buffer.append(device).push_back('\0');
  }
  drive.size = static_cast<ULONG>(buffer.size());
  memcpy(buffer.data(), &drive, sizeof drive);
  HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (manager == INVALID_HANDLE_VALUE) return false;
  DWORD returned = 0;
  const bool done = DeviceIoControl(manager, kDefineUnixDrive, buffer.data(), static_cast<DWORD>(buffer.size()),
                                    nullptr, 0, &returned, nullptr);
  CloseHandle(manager);
  return done;
}

bool IsReparsePoint(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool MakeFolderLink(const std::string& link, const std::string& target) {
  if (CreateDirectoryA(link.c_str(), nullptr)) {
    HANDLE folder = CreateFileA(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    struct {
      DWORD tag;
      WORD length, reserved, substitute_offset, substitute_length, print_offset, print_length;
      wchar_t names[600];
    } data = {};
    const std::wstring substitute = L"\\??\\" + Wide(target), print = Wide(target);
    data.tag = IO_REPARSE_TAG_MOUNT_POINT;
    data.substitute_length = static_cast<WORD>(substitute.size() * 2);
    data.print_offset = static_cast<WORD>(data.substitute_length + 2);
    data.print_length = static_cast<WORD>(print.size() * 2);
    memcpy(data.names, substitute.c_str(), data.substitute_length + 2);
    memcpy(data.names + substitute.size() + 1, print.c_str(), data.print_length + 2);
    data.length = static_cast<WORD>(8 + data.print_offset + data.print_length + 2);
    DWORD returned = 0;
    const bool made =
        folder != INVALID_HANDLE_VALUE &&
        DeviceIoControl(folder, FSCTL_SET_REPARSE_POINT, &data, data.length + 8, nullptr, 0, &returned, nullptr);
    if (folder != INVALID_HANDLE_VALUE) CloseHandle(folder);
    if (made) return IsReparsePoint(link);
    RemoveDirectoryA(link.c_str());
  }
  const std::string unix_link = UnixPath(link), unix_target = UnixPath(target);
  if (unix_link.empty() || unix_target.empty()) return false;
  return RunUnix(Folder(link), "\\bin\\ln", "-s \"" + unix_target + "\" \"" + unix_link + "\"",
                 [&] { return IsReparsePoint(link); });
}

bool RemoveUnixLink(const std::string& link) {
  const std::string unix_link = UnixPath(link);
  if (unix_link.empty()) return false;
  return RunUnix(Folder(link), "\\bin\\rm", "-f \"" + unix_link + "\"", [&] { return !PathExists(link); });
}

// The process makes a fifo, opens the file as fd 3, says so by creating `ready`, waits for a line
// on the fifo, removes it (Wine can neither see nor delete one), then copies what fd 3 reads into
// `out`, written aside and renamed so that its name appears only once it is whole.
LinuxHolder::LinuxHolder(const std::string& file, const std::string& scratch)
    : scratch_(scratch), fifo_(scratch + "\\release"), out_(scratch + "\\content") {
  const std::string ready = scratch + "\\ready";
  if (UnixPath(file).empty()) return;
  const std::string fifo = "'" + UnixPath(fifo_) + "'", out = "'" + UnixPath(out_) + "'";
  const std::string script = "/usr/bin/mkfifo " + fifo + " && exec 3<'" + UnixPath(file) + "' && : >'" +
                             UnixPath(ready) + "' && read go <" + fifo + "; /bin/rm -f " + fifo + "; /bin/cat <&3 >" +
                             out + ".part && /bin/mv " + out + ".part " + out;
  holding_ = RunUnix(scratch_, "\\bin\\sh", "-c \"" + script + "\"", [&] { return PathExists(ready); });
}

LinuxHolder::~LinuxHolder() {
  if (holding_ && !released_) ReadThroughHandle();
}

std::string LinuxHolder::ReadThroughHandle() {
  if (!holding_ || released_) return "<failed>";
  released_ = true;
  if (!RunUnix(scratch_, "\\bin\\sh", "-c \"echo go >'" + UnixPath(fifo_) + "'\"", [&] { return PathExists(out_); }))
    return "<failed>";
  return ReadShared(out_).value_or("<failed>");
}
