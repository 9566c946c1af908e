#include "scan/rule_paths.h"

#include "scan/scan_filters.h"
#include "scan/template_match.h"

namespace {

bool IsTemplate(std::string_view component) { return component.find_first_of("*?") != std::string_view::npos; }

std::vector<std::string_view> Components(std::string_view rest) {
  std::vector<std::string_view> parts;
  while (!rest.empty()) {
    const size_t end = rest.find('\\');
    parts.push_back(rest.substr(0, end));
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return parts;
}

bool IsRealFolder(uint32_t attributes) {
  return (attributes & platform::kAttrDirectory) && !(attributes & platform::kAttrReparsePoint);
}

std::string Join(const std::string& folder, std::string_view name) {
  return folder.empty() || folder.back() == '\\' ? folder + std::string(name) : folder + "\\" + std::string(name);
}

struct Expansion {
  platform::FileSystem& files;
  const TExclusions& exclusions;
  const std::atomic<bool>& stop;
  std::vector<std::string> found;

  // folder exists as a real folder (or is still above the first template); parts follow it.
  void Expand(const std::string& folder, const std::vector<std::string_view>& parts, size_t next, bool below) {
    if (stop) return;
    if (next == parts.size()) {
      found.push_back(folder);
      return;
    }
    const std::string_view part = parts[next];
    if (!IsTemplate(part)) {
      const std::string written = Join(folder, part);
      if (below) {
        const auto attributes = files.GetAttributes(written);
        if (!attributes || !IsRealFolder(*attributes) || exclusions.Excludes(written)) return;
      }
      Expand(written, parts, next + 1, below);
      return;
    }
    if (exclusions.Excludes(folder)) return;
    for (const platform::FindEntry& entry : files.FindFiles(Join(folder, "*"))) {
      if (entry.name == "." || entry.name == ".." || !IsRealFolder(entry.attributes)) continue;
      if (!TemplateMatches(part, entry.name)) continue;
      const std::string matched = Join(folder, entry.name);
      if (exclusions.Excludes(matched)) continue;
      Expand(matched, parts, next + 1, true);
    }
  }
};

}  // namespace

size_t PathRootLength(std::string_view path) {
  auto separator = [](char c) { return c == '\\' || c == '/'; };
  auto next_separator = [&](size_t from) {
    while (from < path.size() && !separator(path[from])) ++from;
    return from;
  };
  if (path.size() >= 2 && path[1] == ':') return path.size() >= 3 && separator(path[2]) ? 3 : 2;
  if (path.size() >= 2 && separator(path[0]) && separator(path[1])) {
    const size_t share_end = next_separator(next_separator(2) + 1);
    return share_end >= path.size() ? path.size() : share_end + 1;
  }
  return !path.empty() && separator(path[0]) ? 1 : 0;
}

bool HasWildcardComponent(std::string_view folder) { return IsTemplate(folder.substr(PathRootLength(folder))); }

std::vector<std::string> ExpandRuleFolder(platform::FileSystem& files, const std::string& folder,
                                          const TExclusions& exclusions, const std::atomic<bool>& stop) {
  const size_t root = PathRootLength(folder);
  if (IsTemplate(std::string_view(folder).substr(0, root))) return {};
  if (!HasWildcardComponent(folder)) return {folder};
  std::vector<std::string_view> parts = Components(std::string_view(folder).substr(root));
  // A trailing "\" gives an empty last part; "." and ".." were resolved when the job was built.
  std::erase_if(parts, [](std::string_view part) { return part.empty(); });
  Expansion expansion{files, exclusions, stop, {}};
  expansion.Expand(folder.substr(0, root), parts, 0, false);
  return std::move(expansion.found);
}
