#pragma once
// The folder of the running executable, where "config\" and "images\" are installed.
#include <string>

#include "platform/system_info.h"

// The folder part of the executable's full path, keeping the trailing backslash ("" when the
// path has no folder part).
inline std::string ExeFolder(platform::SystemInfo& system) {
  const std::string path = system.ExecutablePath();
  const size_t slash = path.find_last_of("\\/:");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}
