#include "clean/restart_removal.h"

#include <algorithm>

#include "clean/deletion_primitives.h"

std::vector<std::string> RestartRemovalPaths(platform::FileSystem& files, const std::string& item,
                                             const TScanFilters& filters) {
  // The bins are emptied by the shell, for every user, never name by name.
  if (item.find("RECYCLER") != std::string::npos || item.find("$Recycle.Bin") != std::string::npos) return {};
  if (!IsDeletableItemPath(item)) return {};
  const auto attributes = files.GetAttributes(item);
  if (!attributes || (*attributes & platform::kAttrReparsePoint)) return {};
  if (ObjectKept(files, item, filters) != TKeptReason::kNone) return {};
  if (!(*attributes & platform::kAttrDirectory)) return {item};
  if (!IsOwnFolder(files, item)) return {};
  const auto contents = CollectFolder(files, item);
  // What cannot be listed cannot be told to be garbage only.
  if (!contents || !contents->complete) return {};
  std::vector<std::string> paths = contents->files;
  // A link inside stays, and so do the folders that hold it: only the files could go.
  if (contents->holds_link) return paths;
  // Listed each before the folders below it: backwards, each comes after everything in it.
  paths.insert(paths.end(), contents->folders.rbegin(), contents->folders.rend());
  paths.push_back(item);
  return paths;
}

bool ScheduleRemovalAtRestart(platform::FileSystem& files, const std::vector<std::string>& paths) {
  return std::all_of(paths.begin(), paths.end(),
                     [&files](const std::string& path) { return files.DeleteAtRestart(path); });
}
