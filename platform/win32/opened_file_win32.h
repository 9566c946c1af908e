#pragma once
// Opening a file or folder for deletion, for the Win32 file system.
#include <memory>
#include <string>

#include "platform/file_system.h"

namespace platform::win32 {

// CreateFileW without following a reparse point at the last component; nullptr when it fails.
std::unique_ptr<OpenedFile> OpenForDeletion(const std::string& path, DeletionAccess access);

}  // namespace platform::win32
