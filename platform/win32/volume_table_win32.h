#pragma once
// The file table of a local NTFS volume, read from the raw volume ("\\.\C:"): only plain reads,
// nothing is written. It needs an elevated administrator; anything else gives nothing.
#include <atomic>
#include <optional>

#include "platform/file_table.h"

namespace platform::win32 {

// Setting `stop` ends the reading at the next read, with nothing.
std::optional<ntfs::FileTable> ReadVolumeFileTable(char drive, const std::atomic<bool>& stop);

}  // namespace platform::win32
