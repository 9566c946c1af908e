#pragma once
// Questions put to the operating system: special folders, the Windows and application-data
// folders, the Windows release, disk sizes, and the working-set trim. No state, nothing cached.
#include <cstdint>
#include <string>

#include "platform/platform.h"

// Throws platform::Exception("SHGetPathFromIDList failed : invalid pidl") when the folder cannot
// be resolved; empty when the shell allocator is unavailable.
std::string GetSpecialFolderPath(platform::Shell& shell, platform::WindowHandle owner, int csidl);
std::string GetWindowsDir(platform::FileSystem& files);
std::string GetAppDataFolder(platform::Shell& shell);
// Where "general.conf" and "custom.cxtraces" live, with its trailing backslash.
std::string SettingsFolder(platform::Shell& shell);
// 0 unknown or refused, 1 Windows 95, 2 98, 3 98 SE, 4 NT 4 and older, 5 Me, 6 2000, 7 XP,
// 8 Vista and every release that reports 6.x.
unsigned GetWindowsVersionCode(platform::SystemInfo& system);
void TrimWorkingSet(platform::SystemInfo& system);
// False with both sizes -1 when the drive's root cannot be entered; the current directory is
// restored either way.
bool GetDiskSizes(platform::FileSystem& files, char letter, int64_t* free_bytes, int64_t* total_bytes);
