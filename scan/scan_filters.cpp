#include "scan/scan_filters.h"

#include <algorithm>
#include <optional>

#include "platform/text.h"
#include "scan/template_match.h"

namespace {

std::string FolderKey(std::string_view entry) {
  std::string key = platform::UpperCase(platform::Trim(entry));
  std::replace(key.begin(), key.end(), '/', '\\');
  while (!key.empty() && key.back() == '\\') key.pop_back();
  return key;
}

// Whether path is key or lies below it; both in the form FolderKey gives.
bool AtOrBelow(std::string_view path, std::string_view key) {
  return path.starts_with(key) && (path.size() == key.size() || path[key.size()] == '\\');
}

std::string_view OwnName(std::string_view path) {
  const size_t slash = path.find_last_of('\\');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

TKeptReason TreeKept(platform::FileSystem& files, const std::string& folder, const TScanFilters& filters) {
  const auto entries = files.ListFolder(folder);
  if (!entries) return TKeptReason::kExcluded;
  for (const platform::FindEntry& entry : *entries) {
    if (filters.Exclusions.ExcludesName(entry.name)) return TKeptReason::kExcluded;
    if (filters.AgeFiltered() && entry.last_write > filters.ChangedBefore) return TKeptReason::kChangedRecently;
    // A link's target is no part of the folder: deleting the folder never reaches it.
    if (!entry.IsFolder() || entry.IsReparsePoint()) continue;
    const TKeptReason below = TreeKept(files, folder + "\\" + entry.name, filters);
    if (below != TKeptReason::kNone) return below;
  }
  return TKeptReason::kNone;
}

}  // namespace

bool IsExclusionFolder(std::string_view entry) {
  const std::string key = FolderKey(entry);
  return key.size() >= 2 && key[0] >= 'A' && key[0] <= 'Z' && key[1] == ':' && (key.size() == 2 || key[2] == '\\') &&
         key.find_first_of("*?") == std::string::npos;
}

bool SameExclusion(std::string_view a, std::string_view b) {
  if (IsExclusionFolder(a) != IsExclusionFolder(b)) return false;
  return IsExclusionFolder(a) ? FolderKey(a) == FolderKey(b) : platform::SameText(platform::Trim(a), platform::Trim(b));
}

TExclusions::TExclusions(std::vector<std::string> entries) : entries_(std::move(entries)) {
  for (const std::string& entry : entries_) {
    const std::string trimmed = platform::Trim(entry);
    if (IsExclusionFolder(trimmed)) {
      folders_.push_back(FolderKey(trimmed));
    } else if (!trimmed.empty() && trimmed.find_first_of("\\/:") == std::string::npos) {
      names_.push_back(trimmed);
    }
  }
}

bool TExclusions::Excludes(std::string_view path) const {
  if (Empty()) return false;
  const std::string key = FolderKey(path);
  for (const std::string& folder : folders_)
    if (AtOrBelow(key, folder)) return true;
  return ExcludesName(OwnName(key));
}

bool TExclusions::HoldsExcludedFolder(std::string_view folder) const {
  const std::string key = FolderKey(folder);
  for (const std::string& excluded : folders_)
    if (excluded.size() > key.size() && AtOrBelow(excluded, key)) return true;
  return false;
}

bool TExclusions::ExcludesName(std::string_view name) const {
  for (const std::string& pattern : names_)
    if (TemplateMatches(pattern, name)) return true;
  return false;
}

TKeptReason FolderKept(platform::FileSystem& files, const std::string& folder, int64_t own_last_write,
                       const TScanFilters& filters) {
  if (filters.Exclusions.HoldsExcludedFolder(folder)) return TKeptReason::kExcluded;
  if (filters.AgeFiltered() && own_last_write > filters.ChangedBefore) return TKeptReason::kChangedRecently;
  if (!filters.AgeFiltered() && !filters.Exclusions.HasNamePatterns()) return TKeptReason::kNone;
  return TreeKept(files, folder, filters);
}

TKeptReason ObjectKept(platform::FileSystem& files, const std::string& path, const TScanFilters& filters) {
  if (filters.UserData.Protects(path)) return TKeptReason::kExcluded;
  if (filters.Exclusions.Excludes(path)) return TKeptReason::kExcluded;
  if (filters.Exclusions.HoldsExcludedFolder(path)) return TKeptReason::kExcluded;
  if (!filters.AgeFiltered() && !filters.Exclusions.HasNamePatterns()) return TKeptReason::kNone;
  // The listing of the path itself gives its own entry, with its last write.
  if (path.find_first_of("*?") != std::string::npos) return TKeptReason::kExcluded;
  const std::vector<platform::FindEntry> found = files.FindFiles(path);
  if (found.empty()) return TKeptReason::kNone;
  const platform::FindEntry& entry = found.front();
  if (entry.IsFolder()) return FolderKept(files, path, entry.last_write, filters);
  if (filters.AgeFiltered() && entry.last_write > filters.ChangedBefore) return TKeptReason::kChangedRecently;
  return TKeptReason::kNone;
}

std::optional<int> ParseAgeDays(const std::string& text) {
  const std::string digits = platform::Trim(text);
  if (digits.empty() || digits.size() > 3 || digits.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  const int days = std::stoi(digits);
  if (days > kMaxAgeDays) return std::nullopt;
  return days;
}
