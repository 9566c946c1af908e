#include "settings/system_paths.h"

#include "platform/exception.h"

namespace {

constexpr uint32_t kPlatformWindows = 1;  // VER_PLATFORM_WIN32_WINDOWS
constexpr uint32_t kPlatformNt = 2;       // VER_PLATFORM_WIN32_NT

// SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX: an empty removable drive answers with a
// failure instead of a "no disk" box in the middle of listing the disks.
constexpr uint32_t kQuietErrorMode = 0x0001 | 0x8000;

}  // namespace

std::string GetSpecialFolderPath(platform::Shell& shell, platform::WindowHandle owner, int csidl) {
  const platform::SpecialFolder folder = shell.GetSpecialFolder(owner, csidl);
  if (!folder.allocator_available) return "";
  if (!folder.resolved) throw platform::Exception("SHGetPathFromIDList failed : invalid pidl");
  return folder.path;
}

std::string GetWindowsDir(platform::FileSystem& files) { return files.GetWindowsDirectory(); }

std::string GetAppDataFolder(platform::Shell& shell) {
  std::string folder = shell.GetLocalAppDataFolder();
  if (!folder.empty()) return folder;
  // SHGetFolderPathA failed: ask the shell's other route for the same folder before giving up.
  // Empty only when neither route knows it.
  const platform::SpecialFolder special = shell.GetSpecialFolder(0, platform::kCsidlLocalAppData);
  return special.allocator_available && special.resolved ? special.path : std::string();
}

std::string SettingsFolder(platform::Shell& shell) { return GetAppDataFolder(shell) + "\\Torvex Clutterix\\"; }

unsigned GetWindowsVersionCode(platform::SystemInfo& system) {
  platform::VersionInfo v;
  if (!system.GetVersion(&v)) return 0;
  if (v.platform_id == kPlatformWindows) {
    if (v.major != 4) return 0;
    switch (v.minor) {
      case 0:
        return 1;
      case 10:
        return v.csd_version.size() >= 2 && v.csd_version[1] == 'A' ? 3 : 2;
      case 90:
        return 5;
      default:
        return 0;
    }
  }
  if (v.platform_id == kPlatformNt) {
    if (v.major <= 4) return 4;
    if (v.major == 5 && v.minor == 0) return 6;
    if (v.major == 5 && v.minor == 1) return 7;
    if (v.major == 6) return 8;
  }
  return 0;
}

void TrimWorkingSet(platform::SystemInfo& system) {
  platform::VersionInfo v;
  if (!system.GetVersion(&v) || v.platform_id != kPlatformNt) return;
  system.TrimWorkingSet();
}

bool GetDiskSizes(platform::FileSystem& files, char letter, int64_t* free_bytes, int64_t* total_bytes) {
  const std::string root = std::string(1, letter) + ":\\";
  const uint32_t old_mode = files.SetErrorMode(kQuietErrorMode);
  const std::string remembered = files.GetCurrentDirectory();
  if (!files.SetCurrentDirectory(root)) {
    files.SetErrorMode(old_mode);
    *free_bytes = -1;
    *total_bytes = -1;
    return false;
  }
  // A failed size query leaves the caller's values as they were.
  int64_t free_to_caller = 0, total = 0;
  if (files.GetDiskFreeSpace(root, &free_to_caller, &total)) {
    *free_bytes = free_to_caller;
    *total_bytes = total;
  }
  files.SetCurrentDirectory(remembered);
  files.SetErrorMode(old_mode);
  return true;
}
