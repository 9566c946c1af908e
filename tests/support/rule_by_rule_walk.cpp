#include "tests/support/rule_by_rule_walk.h"

#include <atomic>

#include "scan/rule_paths.h"
#include "scan/search_thread.h"
#include "scan/template_match.h"
#include "tests/support/fake_platform.h"
#include "tests/support/sync_queue.h"

namespace {

using platform::FindEntry;

struct Walk {
  platform::FileSystem& files;
  const TScanFilters& filters;
  std::vector<TReferenceFind> found;

  void InFolder(const std::string& folder, const TReferenceRule& rule) {
    const std::string f = !folder.empty() && folder.back() == '\\' ? folder : folder + "\\";
    if (filters.Exclusions.Excludes(folder)) return;
    const std::string& t = rule.templ;
    const bool usable =
        !t.empty() && t.find_first_of("\\/:") == std::string::npos && t.find_first_not_of('.') != std::string::npos;
    if (!usable && !rule.recursive) return;
    const std::vector<FindEntry> entries = files.FindFiles(f + (rule.recursive ? "*" : t));
    auto dots = [](const FindEntry& e) { return e.name == "." || e.name == ".."; };
    if (usable) {
      for (const FindEntry& entry : entries) {
        if (dots(entry) || entry.IsFolder() != rule.folders_only || entry.IsReparsePoint()) continue;
        if (!TemplateMatches(t, entry.name)) continue;
        const std::string p = f + entry.name;
        if (filters.Exclusions.Excludes(p) || filters.UserData.Protects(p)) continue;
        if (entry.IsFolder() ? FolderKept(files, p, entry.last_write, filters) != TKeptReason::kNone
                             : filters.AgeFiltered() && entry.last_write > filters.ChangedBefore)
          continue;
        const int64_t size = entry.IsFolder() ? GetFolderSize(files, p, !rule.recursive) : entry.size;
        found.push_back({p, size, entry.IsFolder(), entry.id});
      }
    }
    if (!rule.recursive) return;
    for (const FindEntry& entry : entries) {
      if (dots(entry) || !entry.IsFolder() || entry.IsReparsePoint()) continue;
      const auto attributes = files.GetAttributes(f + entry.name);
      if (!attributes || !(*attributes & platform::kAttrDirectory) || (*attributes & platform::kAttrReparsePoint))
        continue;
      InFolder(f + entry.name, rule);
    }
  }
};

}  // namespace

std::vector<TReferenceFind> RuleByRuleWalk(platform::FileSystem& files, std::vector<TReferenceRule> rules,
                                           const std::vector<std::string>& drives, const TScanFilters& filters) {
  Walk walk{files, filters, {}};
  const std::atomic<bool> stop{false};
  for (const std::string& drive : drives) {
    for (TReferenceRule& rule : rules) {
      const bool qualified = rule.path.find(':') != std::string::npos;
      const std::string folder = qualified ? rule.path : drive + ":" + rule.path;
      for (const std::string& expanded : ExpandRuleFolder(files, folder, filters.Exclusions, stop))
        walk.InFolder(expanded, rule);
      // Searched once per scan; on later drives the rule names a folder that does not exist.
      if (qualified) rule = {"C", "TORVEX UNIQUE DIRECTORY ON DISK C", true, false};
    }
  }
  return walk.found;
}

std::vector<TReferenceFind> OneWalk(platform::FileSystem& files, const std::vector<TReferenceRule>& rules,
                                    const std::vector<std::string>& drives, const TScanFilters& filters) {
  FakeDebugOutput debug;
  SyncQueue main_thread;
  std::vector<TReferenceFind> found;
  auto* worker = new TSearchInThread(main_thread, files, debug);
  worker->FreeOnTerminate = true;
  worker->FOnFoundObject = [&](const std::string& path, int64_t size, bool folder, platform::FileId id) {
    found.push_back({path, size, folder, id});
  };
  std::vector<std::string> paths, templates, types, search_rules;
  for (const TReferenceRule& rule : rules) {
    paths.push_back(rule.path);
    templates.push_back(rule.templ);
    types.push_back(rule.folders_only ? "1" : "0");
    search_rules.push_back(rule.recursive ? "1" : "0");
  }
  worker->SetSearchJob(paths, templates, types, search_rules, drives);
  worker->FFilters = filters;
  worker->Resume();
  main_thread.PumpUntilIdle();
  return found;
}
