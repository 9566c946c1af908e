#pragma once
// TCleanItem: one row to clean, as the cleaning run and its worker take it.
#include <optional>
#include <string>

struct TCleanItem {
  std::string Path;
  // The size text its row shows ("512 Bytes" or megabytes).
  std::string SizeText;
  // Whether the scan found it as a folder or as a file; none for an item of unknown kind.
  std::optional<bool> Folder;
};
