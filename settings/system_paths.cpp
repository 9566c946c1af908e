#include "settings/system_paths.h"

std::string GetSpecialFolderPath(platform::Shell&, platform::WindowHandle, int) { return ""; }
std::string GetWindowsDir(platform::FileSystem&) { return ""; }
std::string GetAppDataFolder(platform::Shell&) { return ""; }
unsigned GetWindowsVersionCode(platform::SystemInfo&) { return 0; }
void TrimWorkingSet(platform::SystemInfo&) {}
bool GetDiskSizes(platform::FileSystem&, char, int64_t*, int64_t*) { return false; }
