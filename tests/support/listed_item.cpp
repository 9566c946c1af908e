#include "tests/support/listed_item.h"

#include "platform/text.h"

TCleanItem ListedItem(platform::FileSystem& files, const std::string& path) {
  TCleanItem item{path, "", std::nullopt};
  const size_t slash = path.rfind('\\');
  if (slash == std::string::npos) return item;
  const std::string name = path.substr(slash + 1);
  for (const platform::FindEntry& entry : files.FindFiles(path.substr(0, slash + 1) + "*")) {
    if (!platform::SameText(entry.name, name)) continue;
    item.Folder = entry.IsFolder();
    item.Id = entry.id;
  }
  return item;
}

std::vector<TCleanItem> ListedItems(platform::FileSystem& files, const std::vector<std::string>& paths) {
  std::vector<TCleanItem> items;
  for (const std::string& path : paths) items.push_back(ListedItem(files, path));
  return items;
}
