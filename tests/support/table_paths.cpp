#include "tests/support/table_paths.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace {

using platform::ntfs::Entry;
using platform::ntfs::FileTable;
using platform::ntfs::Link;

// A folder entry's parent folder, when the table holds it as the link says.
const Entry* ParentFolder(const FileTable& table, const Link& link) {
  const Entry* parent = table.Find(link.parent);
  return parent && parent->is_folder ? parent : nullptr;
}

// Folder paths, each worked out once. Walks up without recursion, so a deep or hostile chain of
// folders costs no stack.
class FolderPaths {
 public:
  explicit FolderPaths(const FileTable& table) : table_(table) {}

  std::optional<std::string> Of(const Entry& folder) {
    std::vector<const Entry*> chain;
    std::unordered_set<uint64_t> seen;
    std::optional<std::string> path;
    for (const Entry* at = &folder;;) {
      const uint64_t record = at->reference.record;
      if (const auto known = known_.find(record); known != known_.end()) {
        path = known->second;
        break;
      }
      if (record == platform::ntfs::kRootRecord) {
        path = std::string();
        known_[record] = path;
        break;
      }
      // A folder has one name; a cycle never reaches the root.
      const Entry* parent = at->links.size() == 1 ? ParentFolder(table_, at->links[0]) : nullptr;
      chain.push_back(at);
      if (!parent || !seen.insert(record).second) break;
      at = parent;
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
      if (path) *path += "\\" + (*it)->links[0].name;
      known_[(*it)->reference.record] = path;
    }
    return path;
  }

 private:
  const FileTable& table_;
  std::unordered_map<uint64_t, std::optional<std::string>> known_;
};

}  // namespace

std::vector<ListedPath> ListPaths(const FileTable& table) {
  FolderPaths folders(table);
  std::vector<ListedPath> paths;
  for (const auto& [record, entry] : table.entries) {
    if (record == platform::ntfs::kRootRecord || (entry.is_folder && entry.links.size() != 1)) continue;
    for (const Link& link : entry.links) {
      const Entry* parent = ParentFolder(table, link);
      if (!parent) continue;
      const auto folder = folders.Of(*parent);
      if (folder) paths.push_back({*folder + "\\" + link.name, &entry});
    }
  }
  std::sort(paths.begin(), paths.end(), [](const ListedPath& a, const ListedPath& b) { return a.path < b.path; });
  return paths;
}
