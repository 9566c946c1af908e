#pragma once
// TCleanItem: one row to clean, as the cleaning run and its worker take it.
#include <optional>
#include <string>

#include "platform/file_system.h"

struct TCleanItem {
  std::string Path;
  // The size text its row shows ("512 Bytes" or megabytes).
  std::string SizeText;
  // Whether the scan found it as a folder or as a file; none for an item of unknown kind.
  std::optional<bool> Folder;
  // The file id the scan's listing gave it; 0 where unknown. The object the cleaning reaches must
  // be that one.
  platform::FileId Id = 0;
};
