#include "tests/support/fake_file_system.h"

#include <algorithm>
#include <atomic>

#include "platform/text.h"
#include "scan/template_match.h"

using platform::FindEntry;

namespace {

std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : path) {
    if (c == '\\' || c == '/') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

std::string ParentKey(const std::string& key) {
  size_t slash = key.rfind('\\');
  return slash == std::string::npos ? std::string() : key.substr(0, slash);
}

}  // namespace

// The search matches names as the program's own template rule does (Windows' long-name rule).
bool WildcardMatch(const std::string& pattern, const std::string& name) { return TemplateMatches(pattern, name); }

FakeFileSystem::FakeFileSystem() { AddDrive('C', platform::DriveType::kFixed, true, 1 << 30, 4ll << 30); }

std::string FakeFileSystem::Key(const std::string& absolute) { return platform::UpperCase(absolute); }

platform::FileId FakeFileSystem::NextId() {
  static std::atomic<platform::FileId> next{0};
  return ++next;
}

void FakeFileSystem::AddDrive(char letter, platform::DriveType type, bool ready, int64_t free_bytes,
                              int64_t total_bytes) {
  std::lock_guard lock(mutex_);
  letter = platform::UpperCase(std::string(1, letter))[0];
  drives_[letter] = Drive{type, ready, free_bytes, total_bytes, "\\"};
  Node root;
  root.name = std::string(1, letter) + ":";
  root.attributes = platform::kAttrDirectory;
  nodes_[root.name] = root;
}

void FakeFileSystem::EnsureParents(const std::string& path) {
  // Parents made here keep the letter case of the planted path, as listings show it.
  std::string parent = ParentKey(path);
  if (parent.empty() || nodes_.count(Key(parent))) return;
  EnsureParents(parent);
  Node n;
  n.name = parent.substr(parent.rfind('\\') + 1);
  n.attributes = platform::kAttrDirectory;
  nodes_[Key(parent)] = n;
}

namespace {
// "C:\a\b" -> parent display path and own name, with the original case kept.
std::string LastName(const std::string& path) {
  auto parts = SplitPath(path);
  return parts.empty() ? path : parts.back();
}
std::string Normalize(const std::string& path) {
  auto parts = SplitPath(path);
  std::string out;
  for (size_t i = 0; i < parts.size(); ++i) out += (i ? "\\" : "") + parts[i];
  return out;
}
}  // namespace

void FakeFileSystem::AddFolder(const std::string& path, uint32_t extra_attributes) {
  std::lock_guard lock(mutex_);
  std::string key = Key(Normalize(path));
  EnsureParents(Normalize(path));
  Node& n = nodes_[key];
  n.name = LastName(path);
  n.attributes = platform::kAttrDirectory | extra_attributes;
}

void FakeFileSystem::AddFile(const std::string& path, int64_t size, uint32_t extra_attributes) {
  std::lock_guard lock(mutex_);
  std::string key = Key(Normalize(path));
  EnsureParents(Normalize(path));
  Node& n = nodes_[key];
  n.name = LastName(path);
  n.attributes = extra_attributes & ~static_cast<uint32_t>(platform::kAttrDirectory);
  n.size = size;
}

void FakeFileSystem::AddFileWithContent(const std::string& path, const std::string& content) {
  AddFile(path, static_cast<int64_t>(content.size()));
  std::lock_guard lock(mutex_);
  nodes_[Key(Normalize(path))].content = content;
}

void FakeFileSystem::AddJunction(const std::string& path, const std::string& target) {
  std::lock_guard lock(mutex_);
  std::string key = Key(Normalize(path));
  EnsureParents(Normalize(path));
  Node& n = nodes_[key];
  n.name = LastName(path);
  n.attributes = platform::kAttrDirectory | platform::kAttrReparsePoint;
  n.junction_target = Key(Normalize(target));
}

void FakeFileSystem::AddFileLink(const std::string& path, const std::string& target, bool shows_as_link) {
  std::lock_guard lock(mutex_);
  std::string key = Key(Normalize(path));
  EnsureParents(Normalize(path));
  Node& n = nodes_[key];
  n.name = LastName(path);
  n.attributes = platform::kAttrArchive | (shows_as_link ? uint32_t{platform::kAttrReparsePoint} : 0u);
  n.file_link_target = Key(Normalize(target));
  auto t = nodes_.find(n.file_link_target);
  n.size = t == nodes_.end() ? 0 : t->second.size;
}

void FakeFileSystem::AddHardLink(const std::string& path, const std::string& existing) {
  std::lock_guard lock(mutex_);
  auto it = nodes_.find(Resolve(existing));
  if (it == nodes_.end()) return;
  it->second.links = 2;
  Node copy = it->second;
  copy.name = LastName(path);
  EnsureParents(Normalize(path));
  nodes_[Key(Normalize(path))] = copy;
}

void FakeFileSystem::SetLinkCount(const std::string& path, uint32_t links) {
  std::lock_guard lock(mutex_);
  auto it = nodes_.find(Resolve(path));
  if (it != nodes_.end()) it->second.links = links;
}

void FakeFileSystem::SetLastWrite(const std::string& path, int64_t filetime) {
  std::lock_guard lock(mutex_);
  auto it = nodes_.find(Resolve(path));
  if (it != nodes_.end()) it->second.last_write = filetime;
}

void FakeFileSystem::Deny(const std::string& path) {
  std::lock_guard lock(mutex_);
  auto it = nodes_.find(Resolve(path));
  if (it != nodes_.end()) it->second.denied = true;
}

std::vector<std::string> FakeFileSystem::Writes() const {
  std::lock_guard lock(mutex_);
  return writes_;
}

std::map<std::string, std::string> FakeFileSystem::ContentAtDeletion() const {
  std::lock_guard lock(mutex_);
  return content_at_deletion_;
}

// A handle of the fake: it keeps the key of the node it reached, so that renames or swaps of the
// path after the open do not change what it writes or deletes.
class FakeFileSystem::OpenedFile : public platform::OpenedFile {
 public:
  OpenedFile(FakeFileSystem& files, std::string path, std::string key, bool reached, bool writable)
      : files_(files), path_(std::move(path)), key_(std::move(key)), reached_(reached), writable_(writable) {}
  ~OpenedFile() override {
    if (!delete_on_close_) return;
    std::lock_guard lock(files_.mutex_);
    auto it = files_.nodes_.find(key_);
    if (it == files_.nodes_.end()) return;
    files_.deleted_.push_back(path_);
    files_.content_at_deletion_[path_] = it->second.content;
    files_.nodes_.erase(it);
  }

  std::optional<platform::OpenedFileInfo> Info() override {
    std::lock_guard lock(files_.mutex_);
    auto it = files_.nodes_.find(key_);
    if (it == files_.nodes_.end()) return std::nullopt;
    const Node& n = it->second;
    const bool folder = (n.attributes & platform::kAttrDirectory) != 0;
    return platform::OpenedFileInfo{n.attributes, n.links, folder ? 0 : n.size, n.id};
  }

  std::optional<bool> ReachedByPath() override {
    if (!files_.handles_know_their_path) return std::nullopt;
    return reached_;
  }

  bool Write(int64_t offset, const char* data, size_t size) override {
    std::lock_guard lock(files_.mutex_);
    auto it = files_.nodes_.find(key_);
    if (!writable_ || files_.writes_fail || it == files_.nodes_.end() || offset < 0) return false;
    Node& n = it->second;
    const size_t end = static_cast<size_t>(offset) + size;
    if (n.content.size() < end) n.content.resize(end, '\0');
    n.content.replace(static_cast<size_t>(offset), size, data, size);
    n.size = std::max<int64_t>(n.size, static_cast<int64_t>(end));
    files_.writes_.push_back(path_ + "@" + std::to_string(offset) + "+" + std::to_string(size));
    return true;
  }

  bool Flush() override {
    std::lock_guard lock(files_.mutex_);
    ++files_.flushes;
    return writable_;
  }

  bool SetDeleteOnClose(bool delete_on_close) override {
    std::lock_guard lock(files_.mutex_);
    auto it = files_.nodes_.find(key_);
    if (it == files_.nodes_.end()) return false;
    const Node& n = it->second;
    if (delete_on_close && (n.attributes & (platform::kAttrReadOnly | platform::kAttrDirectory))) return false;
    delete_on_close_ = delete_on_close;
    return true;
  }

 private:
  FakeFileSystem& files_;
  std::string path_, key_;
  bool reached_, writable_;
  bool delete_on_close_ = false;
};

std::unique_ptr<platform::OpenedFile> FakeFileSystem::OpenForDeletion(const std::string& path,
                                                                      platform::DeletionAccess access) {
  if (on_open_for_deletion) on_open_for_deletion(path);
  std::lock_guard lock(mutex_);
  // The parents are followed, the last component is not.
  std::string key = Resolve(path + "\\..") + "\\" + Key(LastName(path));
  auto it = nodes_.find(key);
  if (it == nodes_.end()) return nullptr;
  bool reached = key == Key(Normalize(path));
  const bool link_shows = (it->second.attributes & platform::kAttrReparsePoint) != 0;
  if (!it->second.file_link_target.empty() && !link_shows) {
    // Wine opens what the link points at.
    key = it->second.file_link_target;
    reached = false;
    it = nodes_.find(key);
    if (it == nodes_.end()) return nullptr;
  }
  const Node& n = it->second;
  const bool overwrite = access == platform::DeletionAccess::kOverwrite;
  if (n.locked) return nullptr;
  if (overwrite && (n.attributes & (platform::kAttrReadOnly | platform::kAttrDirectory))) return nullptr;
  return std::make_unique<OpenedFile>(*this, path, key, reached, overwrite);
}

bool FakeFileSystem::RemoveFolder(const std::string& path) {
  std::lock_guard lock(mutex_);
  std::string key = Resolve(path + "\\..") + "\\" + Key(LastName(path));
  auto it = nodes_.find(key);
  if (it == nodes_.end() || !(it->second.attributes & platform::kAttrDirectory) || it->second.locked) return false;
  if (ParentKey(key).empty()) return false;  // a drive root
  if (it->second.junction_target.empty()) {
    auto child = nodes_.lower_bound(key + "\\");
    if (child != nodes_.end() && child->first.starts_with(key + "\\")) return false;
  }
  nodes_.erase(it);
  return true;
}

bool FakeFileSystem::DeleteAtRestart(const std::string& path) {
  std::lock_guard lock(mutex_);
  if (restart_refused || !nodes_.count(Resolve(path))) return false;
  at_restart.push_back(path);
  return true;
}

std::optional<std::vector<FindEntry>> FakeFileSystem::ListFolder(const std::string& folder) {
  std::lock_guard lock(mutex_);
  auto it = nodes_.find(Resolve(folder));
  if (it == nodes_.end() || !(it->second.attributes & platform::kAttrDirectory) || it->second.denied)
    return std::nullopt;
  return FindFiles(folder + "\\*");
}

void FakeFileSystem::SetShortName(const std::string& path, const std::string& alias) {
  std::lock_guard lock(mutex_);
  auto it = nodes_.find(Resolve(path));
  if (it != nodes_.end()) it->second.short_name = alias;
}

void FakeFileSystem::Lock(const std::string& path) {
  std::lock_guard lock(mutex_);
  std::string key = Resolve(path);
  if (nodes_.count(key)) nodes_[key].locked = true;
}

void FakeFileSystem::MakeUnreadable(const std::string& path) {
  std::lock_guard lock(mutex_);
  std::string key = Resolve(path);
  if (nodes_.count(key)) nodes_[key].unreadable = true;
}

std::string FakeFileSystem::Follow(const std::string& key) const {
  auto it = nodes_.find(key);
  int hops = 0;
  while (it != nodes_.end() && !it->second.junction_target.empty() && hops++ < 32) {
    const std::string& target = it->second.junction_target;
    it = nodes_.find(target);
    if (it == nodes_.end()) return target;
    if (it->second.junction_target.empty()) return target;
  }
  return it == nodes_.end() ? key : it->first;
}

std::string FakeFileSystem::Resolve(const std::string& path) const {
  if (path.empty()) return "";
  std::string base;
  std::string rest = path;
  if (path.size() >= 2 && path[1] == ':') {
    char letter = platform::UpperCase(path.substr(0, 1))[0];
    auto d = drives_.find(letter);
    if (d == drives_.end()) return "";
    rest = path.substr(2);
    base = std::string(1, letter) + ":";
    if (rest.empty() || (rest[0] != '\\' && rest[0] != '/')) rest = d->second.current_dir + "\\" + rest;
  } else if (path[0] == '\\') {
    base = process_dir_.substr(0, 2);
  } else {
    base = process_dir_.substr(0, 2);
    rest = process_dir_.substr(2) + "\\" + path;
  }
  std::string key = Key(base);
  for (const std::string& part : SplitPath(rest)) {
    if (part == ".") continue;
    if (part == "..") {
      std::string parent = ParentKey(key);
      if (!parent.empty()) key = parent;
      continue;
    }
    key = Follow(key);
    key += "\\" + Key(part);
  }
  return Follow(key);
}

bool FakeFileSystem::Exists(const std::string& path) const {
  std::lock_guard lock(mutex_);
  return nodes_.count(Resolve(path)) > 0;
}

bool FakeFileSystem::RemoveTree(const std::string& path) {
  std::lock_guard lock(mutex_);
  // The last component is not followed: removing a link removes the link only.
  std::string parent = Resolve(path + "\\..");
  std::string key = parent + "\\" + Key(LastName(path));
  if (!nodes_.count(key) || ParentKey(key).empty()) return false;
  if (nodes_[key].locked || nodes_[key].denied) return false;
  bool is_link = !nodes_[key].junction_target.empty();
  if (!is_link) {
    for (auto it = nodes_.lower_bound(key + "\\"); it != nodes_.end() && it->first.starts_with(key + "\\");) {
      if (it->second.locked || it->second.denied) return false;
      ++it;
    }
    for (auto it = nodes_.lower_bound(key + "\\"); it != nodes_.end() && it->first.starts_with(key + "\\");) {
      it = nodes_.erase(it);
    }
  }
  nodes_.erase(key);
  return true;
}

std::vector<std::string> FakeFileSystem::DeletedFiles() const {
  std::lock_guard lock(mutex_);
  return deleted_;
}

std::string FakeFileSystem::Content(const std::string& path) const {
  std::lock_guard lock(mutex_);
  auto it = nodes_.find(Resolve(path));
  return it == nodes_.end() ? "" : it->second.content;
}

std::vector<std::string> FakeFileSystem::ListTree(const std::string& root) const {
  std::lock_guard lock(mutex_);
  std::string key = Resolve(root);
  std::vector<std::string> out;
  for (auto it = nodes_.lower_bound(key + "\\"); it != nodes_.end() && it->first.starts_with(key + "\\"); ++it)
    out.push_back(it->first);
  return out;
}

std::vector<FindEntry> FakeFileSystem::FindFiles(const std::string& pattern_path) {
  if (on_find) on_find(pattern_path);
  std::lock_guard lock(mutex_);
  ++find_calls;
  listed.push_back(pattern_path);
  std::vector<FindEntry> out;
  size_t slash = pattern_path.find_last_of("\\/");
  std::string folder = slash == std::string::npos ? "" : pattern_path.substr(0, slash + 1);
  std::string pattern = slash == std::string::npos ? pattern_path : pattern_path.substr(slash + 1);
  if (folder.empty() && pattern_path.size() >= 2 && pattern_path[1] == ':') {
    folder = pattern_path.substr(0, 2);
    pattern = pattern_path.substr(2);
  }
  std::string key = Resolve(folder.empty() ? std::string(".") : folder);
  auto dir = nodes_.find(key);
  if (dir == nodes_.end() || !(dir->second.attributes & platform::kAttrDirectory) || dir->second.denied) return out;
  // A pattern without wildcards names one entry, which may be the folder's own (FindFirstFile on
  // a full path finds that path).
  const std::string prefix = key + "\\";
  for (auto it = nodes_.lower_bound(prefix); it != nodes_.end() && it->first.starts_with(prefix); ++it) {
    if (it->first.find('\\', prefix.size()) != std::string::npos) continue;
    const Node& n = it->second;
    if (!WildcardMatch(pattern, n.name) && !(!n.short_name.empty() && WildcardMatch(pattern, n.short_name))) continue;
    // Wine lists a link to a file with what it finds at its target.
    platform::FileId id = n.id;
    if (!n.file_link_target.empty() && !(n.attributes & platform::kAttrReparsePoint))
      if (auto target = nodes_.find(n.file_link_target); target != nodes_.end()) id = target->second.id;
    out.push_back(
        FindEntry{n.name, n.attributes, (n.attributes & platform::kAttrDirectory) ? 0 : n.size, n.last_write, id});
  }
  return out;
}

std::optional<uint32_t> FakeFileSystem::GetAttributes(const std::string& path) {
  if (on_attributes) on_attributes(path);
  std::lock_guard lock(mutex_);
  std::string stripped = path;
  while (stripped.size() > 3 && (stripped.back() == '\\' || stripped.back() == '/')) stripped.pop_back();
  std::string parent = Resolve(stripped + "\\..");
  std::string key = parent + "\\" + Key(LastName(stripped));
  auto it = nodes_.find(key);
  if (it == nodes_.end()) it = nodes_.find(Resolve(stripped));
  if (it == nodes_.end()) return std::nullopt;
  return it->second.attributes;
}

bool FakeFileSystem::DeleteFile(const std::string& path) {
  std::lock_guard lock(mutex_);
  auto it = nodes_.find(Resolve(path));
  if (it == nodes_.end()) return false;
  if (!it->second.file_link_target.empty() && !(it->second.attributes & platform::kAttrReparsePoint)) {
    // Wine deletes the file a link points at and leaves the link.
    it = nodes_.find(it->second.file_link_target);
    if (it == nodes_.end()) return false;
  }
  const Node& n = it->second;
  if ((n.attributes & platform::kAttrDirectory) || n.locked || (n.attributes & platform::kAttrReadOnly)) return false;
  deleted_.push_back(path);
  nodes_.erase(it);
  return true;
}

bool FakeFileSystem::CreateFolder(const std::string& path) {
  std::lock_guard lock(mutex_);
  std::string stripped = path;
  while (stripped.size() > 3 && stripped.back() == '\\') stripped.pop_back();
  std::string parent = Resolve(stripped + "\\..");
  auto p = nodes_.find(parent);
  if (p == nodes_.end() || !(p->second.attributes & platform::kAttrDirectory)) return false;
  std::string key = parent + "\\" + Key(LastName(stripped));
  if (nodes_.count(key)) return false;
  Node n;
  n.name = LastName(stripped);
  n.attributes = platform::kAttrDirectory;
  nodes_[key] = n;
  return true;
}

std::string FakeFileSystem::GetCurrentDirectory() {
  std::lock_guard lock(mutex_);
  return process_dir_;
}

bool FakeFileSystem::SetCurrentDirectory(const std::string& path) {
  std::lock_guard lock(mutex_);
  if (path.size() >= 2 && path[1] == ':') {
    auto d = drives_.find(platform::UpperCase(path.substr(0, 1))[0]);
    if (d == drives_.end() || !d->second.ready) return false;
  }
  std::string key = Resolve(path);
  auto it = nodes_.find(key);
  if (it == nodes_.end() || !(it->second.attributes & platform::kAttrDirectory)) return false;
  // Rebuild the display path from the planted names.
  std::string display;
  std::string walk;
  for (const std::string& part : SplitPath(key)) {
    walk += (walk.empty() ? "" : "\\") + part;
    auto n = nodes_.find(walk);
    display += (display.empty() ? "" : "\\") + (n != nodes_.end() ? n->second.name : part);
  }
  if (display.size() == 2) display += "\\";
  process_dir_ = display;
  drives_[display[0]].current_dir = display.size() > 3 ? display.substr(2) : "\\";
  return true;
}

bool FakeFileSystem::GetDiskFreeSpace(const std::string& root, int64_t* free_to_caller, int64_t* total) {
  std::lock_guard lock(mutex_);
  if (root.empty()) return false;
  auto d = drives_.find(platform::UpperCase(root.substr(0, 1))[0]);
  if (d == drives_.end() || !d->second.ready) return false;
  *free_to_caller = d->second.free_bytes;
  *total = d->second.total_bytes;
  return true;
}

std::vector<char> FakeFileSystem::GetLogicalDrives() {
  std::lock_guard lock(mutex_);
  std::vector<char> out;
  for (const auto& [letter, drive] : drives_) out.push_back(letter);
  return out;
}

platform::DriveType FakeFileSystem::GetDriveType(const std::string& root) {
  std::lock_guard lock(mutex_);
  if (root.empty()) return platform::DriveType::kNoRootDir;
  auto d = drives_.find(platform::UpperCase(root.substr(0, 1))[0]);
  return d == drives_.end() ? platform::DriveType::kNoRootDir : d->second.type;
}

uint32_t FakeFileSystem::SetErrorMode(uint32_t mode) {
  std::lock_guard lock(mutex_);
  uint32_t old = error_mode;
  error_mode = mode;
  return old;
}

std::optional<std::string> FakeFileSystem::ReadFile(const std::string& path) {
  std::lock_guard lock(mutex_);
  auto it = nodes_.find(Resolve(path));
  if (it == nodes_.end() || (it->second.attributes & platform::kAttrDirectory) || it->second.unreadable)
    return std::nullopt;
  return it->second.content;
}

std::optional<std::string> FakeFileSystem::WriteFile(const std::string& path, const std::string& data) {
  std::lock_guard lock(mutex_);
  if (!write_failure_.empty()) return write_failure_;
  std::string parent = Resolve(path + "\\..");
  auto p = nodes_.find(parent);
  if (p == nodes_.end() || !(p->second.attributes & platform::kAttrDirectory))
    return std::string("The system cannot find the path specified.");
  std::string key = parent + "\\" + Key(LastName(path));
  auto existing = nodes_.find(key);
  if (existing != nodes_.end() && (existing->second.attributes & platform::kAttrDirectory))
    return std::string("Access is denied.");
  Node& n = nodes_[key];
  n.name = LastName(path);
  n.attributes = platform::kAttrArchive;
  n.content = data;
  n.size = static_cast<int64_t>(data.size());
  return std::nullopt;
}
