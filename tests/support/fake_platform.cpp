#include "tests/support/fake_platform.h"

#include <algorithm>
#include <cstring>

#include "platform/text.h"

platform::SpecialFolder FakeShell::GetSpecialFolder(platform::WindowHandle, int csidl) {
  platform::SpecialFolder folder;
  folder.allocator_available = allocator_available;
  if (!allocator_available) return folder;
  auto it = special_folders.find(csidl);
  if (it == special_folders.end()) return folder;
  folder.resolved = true;
  folder.path = it->second;
  return folder;
}

int FakeShell::FileOperationDelete(const std::string& path, unsigned flags) {
  if (on_delete) on_delete(path);
  std::lock_guard lock(mutex_);
  delete_flags.push_back(flags);
  if (!files_.RemoveTree(path)) {
    if (claims_success) return 0;
    // A file that is no folder is deleted like the shell would, unless it is locked.
    return 2;  // ERROR_FILE_NOT_FOUND-like failure code
  }
  recycled.push_back(path);
  return 0;
}

long FakeShell::EmptyRecycleBin(const std::string& root, unsigned flags) {
  {
    std::lock_guard lock(mutex_);
    emptied.emplace_back(root, flags);
  }
  if (on_empty) on_empty();
  return 0;
}

void FakeShell::Execute(platform::WindowHandle, const std::string& verb, const std::string& file) {
  std::lock_guard lock(mutex_);
  executed.emplace_back(verb, file);
}

platform::InternetHandle FakeUrlCache::FindFirst(std::string* source_url) {
  next_ = 0;
  if (entries.empty()) return 0;
  ++open_finds;
  *source_url = entries[next_++];
  return 1;
}

bool FakeUrlCache::FindNext(platform::InternetHandle, std::string* source_url) {
  if (next_ >= entries.size()) return false;
  *source_url = entries[next_++];
  return true;
}

bool FakeUrlCache::DeleteEntry(const std::string& source_url) {
  deleted.push_back(source_url);
  return true;
}

void FakeUrlCache::FindClose(platform::InternetHandle) { ++closed_finds; }

platform::InternetHandle FakeHttp::Open(const std::string& agent) {
  agents.push_back(agent);
  if (!can_open) return 0;
  ++open_handles;
  return next_handle_++;
}

platform::InternetHandle FakeHttp::OpenUrl(platform::InternetHandle, const std::string& url, uint32_t flags,
                                           const platform::HttpLimits& request_limits) {
  requests.emplace_back(url, flags);
  limits.push_back(request_limits);
  auto it = responses.find(url);
  if (it == responses.end()) return 0;
  pending_.assign(it->second.begin(), it->second.end());
  ++open_handles;
  return next_handle_++;
}

size_t FakeHttp::Read(platform::InternetHandle, char* buffer, size_t size) {
  if (pending_.empty()) return 0;
  std::string& chunk = pending_.front();
  size_t n = std::min(size, chunk.size());
  std::memcpy(buffer, chunk.data(), n);
  chunk.erase(0, n);
  if (chunk.empty()) pending_.pop_front();
  bytes_read += n;
  return n;
}

void FakeHttp::Close(platform::InternetHandle) { --open_handles; }

std::optional<std::vector<platform::SnapshotEntry>> FakeProcesses::Snapshot() {
  if (!snapshot_available) return std::nullopt;
  std::vector<platform::SnapshotEntry> out;
  for (const Process& p : running) out.push_back({p.id, p.exe_file});
  return out;
}

std::string FakeProcesses::ModuleBaseName(uint32_t process_id) {
  for (const Process& p : running)
    if (p.id == process_id) return p.module_name;
  return "";
}

bool FakeProcesses::Terminate(uint32_t process_id, uint32_t) {
  auto it = std::find_if(running.begin(), running.end(), [&](const Process& p) { return p.id == process_id; });
  if (it == running.end() || !it->can_terminate) return false;
  terminated.push_back(process_id);
  running.erase(it);
  return true;
}

namespace {
constexpr platform::TokenHandle kThreadToken = 1;
constexpr platform::TokenHandle kProcessToken = 2;
}  // namespace

std::optional<platform::TokenHandle> FakeSecurity::OpenThreadToken(bool open_as_self, uint32_t* last_error) {
  open_as_self_args.push_back(open_as_self);
  if (!thread_groups) {
    *last_error = thread_open_error;
    return std::nullopt;
  }
  ++open_tokens;
  return kThreadToken;
}

std::optional<platform::TokenHandle> FakeSecurity::OpenProcessToken() {
  if (!process_groups) return std::nullopt;
  ++open_tokens;
  return kProcessToken;
}

std::optional<std::vector<platform::TokenGroup>> FakeSecurity::GetTokenGroups(platform::TokenHandle token,
                                                                              size_t buffer_size) {
  const auto& groups = token == kThreadToken ? thread_groups : process_groups;
  if (!groups || RecordSize(*groups) > buffer_size) return std::nullopt;
  return groups;
}

void FakeSecurity::CloseToken(platform::TokenHandle) { --open_tokens; }

platform::Sid FakeSecurity::AdministratorsSid() { return {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x20, 0x02, 0, 0}; }

platform::Sid FakeSecurity::UsersSid() { return {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x21, 0x02, 0, 0}; }

size_t FakeSecurity::RecordSize(const std::vector<platform::TokenGroup>& groups) {
  size_t size = 4;
  for (const auto& g : groups) size += 8 + g.sid.size();
  return size;
}

namespace {

class FakeKey : public platform::RegistryKey {
 public:
  FakeKey(FakeRegistry& registry, std::string path, std::map<std::string, FakeRegistry::Value>& values, bool read_only)
      : registry_(registry), path_(std::move(path)), values_(values), read_only_(read_only) {}
  ~FakeKey() override { ++registry_.flushes; }
  platform::RegistryValue ReadValue(const std::string& name) override {
    for (const auto& [n, v] : values_)
      if (platform::SameText(n, name))
        return {v.kind, v.kind == platform::ValueKind::kString ? v.text : "",
                v.kind == platform::ValueKind::kNumber ? v.number : 0};
    return {};
  }
  std::vector<std::string> ValueNames() override {
    std::vector<std::string> names;
    for (const auto& [n, v] : values_) names.push_back(n);
    return names;
  }
  bool WriteString(const std::string& name, const std::string& text) override {
    if (registry_.refuse_writes || read_only_) return false;
    DeleteValue(name);
    values_[name] = {platform::ValueKind::kString, text};
    return true;
  }
  std::vector<std::string> SubKeys() override {
    std::vector<std::string> names;
    for (const auto& [key, values] : registry_.keys)
      if (key.size() > path_.size() + 1 && key.starts_with(path_ + "\\") &&
          key.find('\\', path_.size() + 1) == std::string::npos)
        names.push_back(key.substr(path_.size() + 1));
    return names;
  }
  bool DeleteValue(const std::string& name) override {
    if (registry_.refuse_writes || read_only_) return false;
    for (auto it = values_.begin(); it != values_.end(); ++it) {
      if (platform::SameText(it->first, name)) {
        values_.erase(it);
        break;
      }
    }
    return true;
  }

 private:
  FakeRegistry& registry_;
  std::string path_;  // "HKLM\\path", as the keys are named
  std::map<std::string, FakeRegistry::Value>& values_;
  bool read_only_;
};

}  // namespace

std::unique_ptr<platform::RegistryKey> FakeRegistry::Open(platform::RegistryRoot root, const std::string& path,
                                                          bool read_only) {
  std::string name = (root == platform::RegistryRoot::kCurrentUser ? "HKCU\\" : "HKLM\\") + path;
  opened.push_back(name);
  auto it = keys.find(name);
  if (it == keys.end()) return nullptr;
  return std::make_unique<FakeKey>(*this, name, it->second, read_only);
}

std::unique_ptr<platform::RegistryKey> FakeRegistry::OpenKey(platform::RegistryRoot root, const std::string& path) {
  return Open(root, path, false);
}

std::unique_ptr<platform::RegistryKey> FakeRegistry::OpenKeyToRead(platform::RegistryRoot root,
                                                                   const std::string& path) {
  return Open(root, path, true);
}

std::string FakeSystemInfo::ExpandEnvironment(const std::string& text) {
  std::string expanded = platform::ReplaceAllIgnoreCase(text, "%SystemDrive%", "C:");
  return platform::ReplaceAllIgnoreCase(expanded, "%SystemRoot%", "C:\\Windows");
}

bool FakeSystemInfo::GetVersion(platform::VersionInfo* info) {
  if (!version) return false;
  *info = *version;
  return true;
}
