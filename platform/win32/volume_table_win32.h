#pragma once
// The file table of a local NTFS volume, read from the raw volume ("\\.\C:"): only plain reads,
// nothing is written. It needs an elevated administrator; anything else gives nothing.
#include <optional>

#include "platform/file_table.h"

namespace platform::win32 {

std::optional<ntfs::FileTable> ReadVolumeFileTable(char drive);

}  // namespace platform::win32
