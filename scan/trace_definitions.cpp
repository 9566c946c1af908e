#include "scan/trace_definitions.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <tuple>

#include "ini/mem_ini_file.h"
#include "platform/shell.h"
#include "platform/text.h"
#include "scan/rule_paths.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// "C:\...", or "\\server\share..." : a folder that names the same place from any current folder.
bool IsAbsolute(const std::string& path) {
  if (path.size() >= 3 && path[1] == ':' && IsSeparator(path[2])) return true;
  return path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2]);
}

// The path with "." and ".." parts resolved as Windows resolves them (by the text, not through
// links) and one "\" between parts; nothing when a ".." would climb above the path's start.
// The root part ("C:\", "C:", "\", "\\server\share\" or nothing) is kept as it is.
std::optional<std::string> PlainPath(const std::string& path) {
  size_t at = PathRootLength(path);
  std::string root = path.substr(0, at);
  std::replace(root.begin(), root.end(), '/', '\\');
  // Server and share stand for the root of a network path.
  if (root.starts_with("\\\\") && !root.ends_with('\\')) root += '\\';
  std::vector<std::string> parts;
  while (at < path.size()) {
    size_t end = at;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    const std::string part = path.substr(at, end - at);
    at = end + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (parts.empty()) return std::nullopt;
      parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string plain = root;
  for (size_t i = 0; i < parts.size(); ++i) plain += (i ? "\\" : "") + parts[i];
  if (plain.size() > 2 && plain.starts_with("\\\\") && plain.back() == '\\' && parts.empty()) plain.pop_back();
  return plain;
}

// A drive's or a share's root: "C:\", "C:", "\\server\share".
bool IsRoot(const std::string& plain) {
  if (plain.size() <= 3 && plain.size() >= 2 && plain[1] == ':') return true;
  return plain.starts_with("\\\\") && plain.find('\\', 2) != std::string::npos &&
         plain.find('\\', plain.find('\\', 2) + 1) == std::string::npos;
}

}  // namespace

TTraceDefinition ReadTraceDefinition(const TMemIniFile& document, const std::string& section) {
  TTraceDefinition definition;
  definition.Level = document.ReadString(section, "Level", "");
  definition.Path = document.ReadString(section, "Path", "");
  definition.Template = document.ReadString(section, "Template", "*");
  definition.Type = document.ReadInteger(section, "Type", 1);
  definition.SearchRule = document.ReadInteger(section, "SearchRule", 0);
  return definition;
}

std::vector<std::string> SplitAlternatives(const std::string& value) {
  if (value.find(kAlternativeSeparator) == std::string::npos) return {value};
  std::vector<std::string> entries;
  size_t at = 0;
  while (at <= value.size()) {
    const size_t end = std::min(value.find(kAlternativeSeparator, at), value.size());
    if (end > at) entries.push_back(value.substr(at, end - at));
    at = end + 1;
  }
  return entries;
}

void AddTraceRules(const TMemIniFile& document, const TTickedCategories& ticked, const TFolderLookup& lookup,
                   TScanJob& job, const TDebugLine& debug) {
  const auto drop = [&debug](const std::string& section, const std::string& why) {
    if (debug) debug("Trace rule [" + section + "] dropped: " + why);
  };
  // Each folder is asked of the system once per job: its answer does not change while the job is
  // built, and every question costs the main thread a trip through the shell. A question that
  // fails is asked again, and fails as before.
  std::map<std::pair<int, int>, std::string> answers;
  std::function<const std::string&(const TFolderSource&)> folder_of =
      [&](const TFolderSource& source) -> const std::string& {
    const std::pair<int, int> key{static_cast<int>(source.kind), source.csidl};
    auto known = answers.find(key);
    if (known != answers.end()) return known->second;
    std::string folder;
    if (source.kind == TFolderSource::kLocalAppDataLow) {
      const std::string& local = folder_of({TFolderSource::kSpecialFolder, platform::kCsidlLocalAppData});
      const size_t parent = local.find_last_of('\\');
      folder = parent == std::string::npos ? std::string() : local.substr(0, parent) + "\\LocalLow";
    } else {
      folder = lookup(source);
    }
    return answers.emplace(key, std::move(folder)).first->second;
  };
  const auto& categories = GarbageCategories();
  for (const std::string& section : document.ReadSections()) {
    const std::string level = document.ReadString(section, "Level", "");
    for (size_t c = 0; c < categories.size(); ++c) {
      if (!ticked[c] || level != categories[c].level) continue;
      const TTraceDefinition definition = ReadTraceDefinition(document, section);
      // A category's own folders are looked up for each of its rules, whether the path holds
      // their placeholder or not (a folder the system cannot give fails the job); the common ones
      // only where it does, so that rules which never name them never depend on them, and one the
      // system cannot give drops only the rules that name it.
      for (const TPlaceholder& placeholder : categories[c].placeholders) folder_of(placeholder.source);
      for (std::string path : SplitAlternatives(definition.Path)) {
        std::string unusable;  // the first placeholder of the path without a usable folder
        bool replaced = false;
        const auto replace = [&](const TPlaceholder& placeholder, const std::string& folder) {
          replaced = true;
          const auto plain_folder = PlainPath(folder);
          if (unusable.empty() && (!IsAbsolute(folder) || !plain_folder || IsRoot(*plain_folder)))
            unusable = std::string(placeholder.text) + " gives \"" + folder + "\"";
          path = platform::ReplaceAllIgnoreCase(path, placeholder.text, folder);
        };
        for (const TPlaceholder& placeholder : categories[c].placeholders)
          if (platform::ContainsText(path, placeholder.text)) replace(placeholder, folder_of(placeholder.source));
        for (const TPlaceholder& placeholder : CommonPlaceholders()) {
          if (!platform::ContainsText(path, placeholder.text)) continue;
          try {
            replace(placeholder, folder_of(placeholder.source));
          } catch (const std::exception& error) {
            if (unusable.empty()) unusable = std::string(placeholder.text) + " cannot be looked up: " + error.what();
          }
        }
        const auto plain = PlainPath(path);
        if (!unusable.empty()) {
          drop(section, unusable);
        } else if (!plain) {
          drop(section, "\"" + path + "\" climbs above its start");
        } else if (replaced && IsRoot(*plain)) {
          drop(section, "\"" + path + "\" is a drive root");
        } else {
          for (const std::string& templ : SplitAlternatives(definition.Template)) {
            job.Paths.push_back(*plain);
            job.Templates.push_back(templ);
            job.Types.push_back(std::to_string(definition.Type));
            job.SearchRules.push_back(std::to_string(definition.SearchRule));
            job.Categories.push_back(c);
          }
        }
      }
      break;  // a section has one Level, so it gives its rules for one category
    }
  }
}

void RemoveRepeatedRules(TScanJob& job) {
  std::set<std::tuple<std::string, std::string, std::string, std::string>> seen;
  TScanJob kept;
  for (size_t i = 0; i < job.Paths.size(); ++i) {
    if (!seen.insert({platform::UpperCase(job.Paths[i]), job.Templates[i], job.Types[i], job.SearchRules[i]}).second)
      continue;
    kept.Paths.push_back(job.Paths[i]);
    kept.Templates.push_back(job.Templates[i]);
    kept.Types.push_back(job.Types[i]);
    kept.SearchRules.push_back(job.SearchRules[i]);
    kept.Categories.push_back(job.Categories[i]);
  }
  job.Paths = std::move(kept.Paths);
  job.Templates = std::move(kept.Templates);
  job.Types = std::move(kept.Types);
  job.SearchRules = std::move(kept.SearchRules);
  job.Categories = std::move(kept.Categories);
}
