#pragma once
// The scan as it was made before one walk served every rule: each rule walks its own folders,
// one after another, on each drive. Tests compare the worker's findings with it.
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "platform/file_system.h"
#include "scan/scan_filters.h"

struct TReferenceRule {
  std::string path, templ;
  bool folders_only = false, recursive = false;
};

struct TReferenceFind {
  std::string path;
  int64_t size = 0;
  bool folder = false;
  platform::FileId id = 0;
  auto operator<=>(const TReferenceFind&) const = default;
};

// Every object the scan worker reports for the rules in its one walk, in the order found.
std::vector<TReferenceFind> OneWalk(platform::FileSystem& files, const std::vector<TReferenceRule>& rules,
                                    const std::vector<std::string>& drives, const TScanFilters& filters);

// Every object the rules report, as often as they report it, in the order found.
std::vector<TReferenceFind> RuleByRuleWalk(platform::FileSystem& files, std::vector<TReferenceRule> rules,
                                           const std::vector<std::string>& drives, const TScanFilters& filters);
