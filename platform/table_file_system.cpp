#include "platform/table_file_system.h"

#include <algorithm>
#include <unordered_map>

#include "platform/mft_record.h"
#include "platform/unicode.h"
#include "platform/wildcard.h"

namespace platform {
namespace {

// A name as the volume compares it: its code points in capitals.
using NameKey = std::u32string;

std::optional<NameKey> KeyOf(std::string_view name) {
  std::optional<std::u32string> points = CodePointsOf(name);
  if (points)
    for (char32_t& c : *points) c = UpperCaseChar(c);
  return points;
}

bool HasWildcard(std::string_view text) { return text.find_first_of("*?") != std::string_view::npos; }

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The Win32 attributes of an entry as the system reports them: without the bits NTFS keeps for its
// own indexes, and "normal" when no other is set.
uint32_t Win32Attributes(const ntfs::Entry& entry) {
  constexpr uint32_t kIndexBits = 0x30000000, kNormal = 0x80;
  const uint32_t attributes = entry.attributes & ~kIndexBits;
  return attributes ? attributes : kNormal;
}

// The first record the volume's own files leave to the user's; the ones below it named "$..." in
// the root are the volume's own.
constexpr uint64_t kFirstUserRecord = 24;

}  // namespace

class TableFileSystem::Index {
 public:
  struct Child {
    const ntfs::Entry* entry;
    const ntfs::Link* link;
    bool hidden;  // one of the volume's own files
  };
  struct Folder {
    std::vector<Child> children;  // in the order of their capitals, as NTFS keeps them
    // The 8.3 aliases that differ from their long names, in order, to children. Long names are
    // found in the children themselves: a map of every name would double what a large volume costs.
    std::vector<std::pair<NameKey, size_t>> aliases;
  };
  // A path on the drive, split after "X:\"; nothing when it is on another drive or in a form the
  // system reads by rules of its own (relative, ".", "..", "/", doubled separators).
  struct Parsed {
    std::vector<std::string_view> parts;
    bool trailing_separator = false;
  };
  enum class Outcome { kFound, kMissing, kNotKnown };
  struct Resolved {
    Outcome outcome;
    const ntfs::Entry* entry = nullptr;
  };

  Index(char drive, ntfs::FileTable table) : drive_(UpperAscii(drive)), table_(std::move(table)) {
    const auto root = table_.entries.find(ntfs::kRootRecord);
    if (root == table_.entries.end() || !root->second.is_folder) return;
    root_ = &root->second;
    for (const auto& [record, entry] : table_.entries) {
      // A folder has exactly one name (NTFS has no hard links to folders); the root names itself.
      if (record == ntfs::kRootRecord || (entry.is_folder && entry.links.size() != 1)) continue;
      for (const ntfs::Link& link : entry.links) {
        const ntfs::Entry* parent = table_.Find(link.parent);
        if (!parent || !parent->is_folder) continue;  // below a folder that is gone or was reused
        const bool hidden = parent == root_ && record < kFirstUserRecord && link.name.starts_with("$");
        folders_[parent->reference.record].children.push_back({&entry, &link, hidden});
      }
    }
    for (auto& [record, folder] : folders_) {
      std::vector<std::pair<NameKey, Child>> keyed;
      for (const Child& child : folder.children) keyed.emplace_back(KeyOf(child.link->name).value_or(NameKey()), child);
      std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second.link->name < b.second.link->name;
      });
      for (size_t i = 0; i < keyed.size(); ++i) {
        folder.children[i] = keyed[i].second;
        if (const std::string& alias = keyed[i].second.link->short_name; !alias.empty())
          if (auto key = KeyOf(alias); key && *key != keyed[i].first) folder.aliases.emplace_back(std::move(*key), i);
      }
      std::sort(folder.aliases.begin(), folder.aliases.end());
    }
  }

  bool usable() const { return root_ != nullptr; }

  std::optional<Parsed> Parse(std::string_view path) const {
    if (path.size() < 3 || UpperAscii(path[0]) != drive_ || path[1] != ':' || path[2] != '\\') return std::nullopt;
    std::string_view rest = path.substr(3);
    Parsed parsed;
    if (!rest.empty() && rest.back() == '\\') {
      rest.remove_suffix(1);
      parsed.trailing_separator = true;
      if (rest.empty()) return std::nullopt;  // "X:\\"
    }
    while (!rest.empty()) {
      const size_t cut = rest.find('\\');
      const std::string_view part = rest.substr(0, cut);
      if (part.empty() || part == "." || part == ".." || part.find('/') != std::string_view::npos) return std::nullopt;
      parsed.parts.push_back(part);
      rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
    }
    return parsed;
  }

  // Walks down from the root by names; a reparse point on the way is not entered.
  Resolved Resolve(const Parsed& parsed) const {
    const ntfs::Entry* at = root_;
    for (std::string_view part : parsed.parts) {
      if (IsLink(*at)) return {Outcome::kNotKnown};
      if (!at->is_folder) return {Outcome::kMissing};
      const auto key = KeyOf(part);
      if (!key) return {Outcome::kNotKnown};
      const Child* child = Find(*at, *key);
      if (!child) return {Outcome::kMissing};
      if (child->hidden) return {Outcome::kNotKnown};
      at = child->entry;
    }
    if (parsed.trailing_separator && !at->is_folder) return {Outcome::kMissing};
    return {Outcome::kFound, at};
  }

  bool IsLink(const ntfs::Entry& entry) const {
    return &entry != root_ && (entry.attributes & ntfs::kAttributeReparsePoint) != 0;
  }

  // The child a name or an alias names; an alias never hides a long name.
  const Child* Find(const ntfs::Entry& folder, const NameKey& key) const {
    const Folder* listed = FolderOf(folder);
    const auto key_of = [](const Child& child) { return KeyOf(child.link->name).value_or(NameKey()); };
    const auto named = std::partition_point(listed->children.begin(), listed->children.end(),
                                            [&](const Child& child) { return key_of(child) < key; });
    if (named != listed->children.end() && key_of(*named) == key) return &*named;
    const auto alias = std::lower_bound(listed->aliases.begin(), listed->aliases.end(), key,
                                        [](const auto& entry, const NameKey& wanted) { return entry.first < wanted; });
    if (alias != listed->aliases.end() && alias->first == key) return &listed->children[alias->second];
    return nullptr;
  }

  const Folder* FolderOf(const ntfs::Entry& folder) const {
    static const Folder kEmpty;
    const auto found = folders_.find(folder.reference.record);
    return found == folders_.end() ? &kEmpty : &found->second;
  }

  FindEntry Listed(const Child& child) const {
    const ntfs::Entry& entry = *child.entry;
    FindEntry listed;
    listed.name = child.link->name;
    listed.attributes = Win32Attributes(entry);
    listed.size = entry.is_folder ? 0 : static_cast<int64_t>(entry.data_size);
    listed.last_write = static_cast<int64_t>(entry.last_write);
    listed.id = table_.IdOf(entry.reference);
    return listed;
  }

  char drive() const { return drive_; }

 private:
  char drive_;
  ntfs::FileTable table_;
  const ntfs::Entry* root_ = nullptr;
  std::unordered_map<uint64_t, Folder> folders_;  // by record number; an empty folder has none
};

TableFileSystem::TableFileSystem(FileSystem& wrapped, char drive, ntfs::FileTable table)
    : wrapped_(wrapped), index_(std::make_unique<const Index>(drive, std::move(table))) {
  if (!index_->usable()) index_.reset();
}

TableFileSystem::~TableFileSystem() = default;

std::vector<FindEntry> TableFileSystem::FindFiles(const std::string& pattern_path) {
  const size_t slash = pattern_path.rfind('\\');
  if (!index_ || stale_ || slash == std::string::npos) return wrapped_.FindFiles(pattern_path);
  const auto parsed = index_->Parse(std::string_view(pattern_path).substr(0, slash + 1));
  if (!parsed) return wrapped_.FindFiles(pattern_path);
  const Index::Resolved folder = index_->Resolve(*parsed);
  if (folder.outcome == Index::Outcome::kNotKnown || (folder.entry && index_->IsLink(*folder.entry)))
    return wrapped_.FindFiles(pattern_path);
  const std::string_view pattern = std::string_view(pattern_path).substr(slash + 1);
  std::vector<FindEntry> entries;
  if (folder.outcome == Index::Outcome::kMissing || !folder.entry->is_folder || pattern.empty()) return entries;
  if (HasWildcard(pattern)) {
    for (const Index::Child& child : index_->FolderOf(*folder.entry)->children)
      if (!child.hidden && WildcardMatches(pattern, child.link->name)) entries.push_back(index_->Listed(child));
    return entries;
  }
  // One name: the entry it names, by its long name or its alias.
  const auto key = KeyOf(pattern);
  const Index::Child* child = key ? index_->Find(*folder.entry, *key) : nullptr;
  if (child && child->hidden) return wrapped_.FindFiles(pattern_path);
  if (child) entries.push_back(index_->Listed(*child));
  return entries;
}

std::optional<uint32_t> TableFileSystem::GetAttributes(const std::string& path) {
  const auto parsed = index_ && !stale_ ? index_->Parse(path) : std::nullopt;
  if (!parsed) return wrapped_.GetAttributes(path);
  const Index::Resolved found = index_->Resolve(*parsed);
  if (found.outcome == Index::Outcome::kNotKnown) return wrapped_.GetAttributes(path);
  if (found.outcome == Index::Outcome::kMissing) return std::nullopt;
  return Win32Attributes(*found.entry);
}

std::optional<std::vector<FindEntry>> TableFileSystem::ListFolder(const std::string& folder) {
  const auto parsed = index_ && !stale_ ? index_->Parse(folder) : std::nullopt;
  if (!parsed) return wrapped_.ListFolder(folder);
  const Index::Resolved found = index_->Resolve(*parsed);
  if (found.outcome == Index::Outcome::kNotKnown || (found.entry && index_->IsLink(*found.entry)))
    return wrapped_.ListFolder(folder);
  if (found.outcome == Index::Outcome::kMissing || !found.entry->is_folder) return std::nullopt;
  std::vector<FindEntry> entries;
  for (const Index::Child& child : index_->FolderOf(*found.entry)->children)
    if (!child.hidden) entries.push_back(index_->Listed(child));
  return entries;
}

void TableFileSystem::Changing(const std::string& path) {
  // A path that names no drive (relative, or "\\?\...") may lie on this one.
  if (!index_ || (path.size() >= 2 && path[1] == ':' && UpperAscii(path[0]) != index_->drive())) return;
  stale_ = true;
}

bool TableFileSystem::DeleteFile(const std::string& path) {
  Changing(path);
  return wrapped_.DeleteFile(path);
}

bool TableFileSystem::CreateFolder(const std::string& path) {
  Changing(path);
  return wrapped_.CreateFolder(path);
}

std::unique_ptr<OpenedFile> TableFileSystem::OpenForDeletion(const std::string& path, DeletionAccess access) {
  Changing(path);
  return wrapped_.OpenForDeletion(path, access);
}

bool TableFileSystem::RemoveFolder(const std::string& path) {
  Changing(path);
  return wrapped_.RemoveFolder(path);
}

std::optional<std::string> TableFileSystem::WriteFile(const std::string& path, const std::string& data) {
  Changing(path);
  return wrapped_.WriteFile(path, data);
}

}  // namespace platform
