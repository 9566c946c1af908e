#pragma once
// Listing a folder with the file id of every entry, for the Win32 file system.
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace platform::win32 {

struct ListedName {
  std::wstring name;
  uint32_t attributes = 0;
  int64_t size = 0;
  int64_t last_write = 0;
  FileId id = 0;
};

// Every entry of a folder (given as the system takes it, any form), "." and ".." included as the
// system gives them, by the kernel's own listing, which names each entry's file id; one read fetches
// many entries. True when the listing ended normally; false when the folder could not be opened or
// the listing broke off. Nothing when the system has no such listing (then nothing was read).
std::optional<bool> ListFolderWithIds(const std::wstring& folder, std::vector<ListedName>* entries);

}  // namespace platform::win32
