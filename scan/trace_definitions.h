#pragma once
// The building of a scan job from the trace-definition document.
// Pure logic: the folders behind the placeholders come from a lookup the caller supplies, so the
// rules can be built and checked without a window or a shell.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "scan/categories.h"
#include "scan/scan_filters.h"

class TMemIniFile;

// Five lists handed to the scan worker. Paths, Templates, Types and SearchRules are parallel
// (entry i of each is rule i); Drives holds drive letters without colon. Filters apply to every
// rule.
struct TScanJob {
  std::vector<std::string> Paths;
  std::vector<std::string> Templates;
  std::vector<std::string> Types;
  std::vector<std::string> SearchRules;
  std::vector<std::string> Drives;
  TScanFilters Filters;
  // Each drive's listings may come from its file table, read once (see platform::FileSystem::
  // ReadFileTable): for an elevated run, where reading the raw volume is allowed.
  bool ReadFileTables = false;
  // The category (TGarbageCategoryIndex) each rule was built for, parallel to the rules; it goes
  // into reports and never into the worker.
  std::vector<size_t> Categories;
};

// One section of the document with the defaults of missing keys applied.
struct TTraceDefinition {
  std::string Level;
  std::string Path;
  std::string Template = "*";
  int32_t Type = 1;        // 0: the objects are files; anything else: folders
  int32_t SearchRule = 0;  // 0: that folder only; anything else: recursive
};

// Returns the folder for a placeholder; may throw (an unresolvable special folder).
using TFolderLookup = std::function<std::string(const TFolderSource& source)>;
// Receives the debugging lines of the building (rules dropped and why).
using TDebugLine = std::function<void(const std::string& line)>;

TTraceDefinition ReadTraceDefinition(const TMemIniFile& document, const std::string& section);

// Leaves the first of rules that are the same (path in any letter case, template, type and
// search rule), with its category: rules built for several profiles from folders of the machine.
void RemoveRepeatedRules(TScanJob& job);

// The user's own trace definitions, in the settings folder beside general.conf: read after the
// shipped file, in its format.
inline constexpr const char* kCustomTraceFile = "custom.cxtraces";

// Path and Template may each list several entries, separated by "|" (a character Windows forbids
// in names, so no written name changes meaning); a section gives one rule for each path and
// template pair, paths outer. Empty entries between separators are left out; a value without a
// separator is one entry as it stands, even when empty.
inline constexpr char kAlternativeSeparator = '|';
std::vector<std::string> SplitAlternatives(const std::string& value);

// Appends the rules of each section (in file order) whose Level names a ticked category. The
// folder of every placeholder of the category is looked up for each such section, whether or not
// its paths hold the placeholder, and replaces every occurrence in any letter case; then the
// common placeholders that a path holds. A lookup of the category's own folders that throws ends
// the building there (the job then holds the rules built before it); a common folder that cannot
// be looked up drops the rules whose paths name it, with a debug line.
// Each path is then made plain: "." and ".." parts resolved, "/" and doubled separators made one
// "\". A rule is dropped, with a debug line, when a placeholder in its path gives no absolute
// folder or a drive root, when its path then names a drive root, or when a ".." climbs above
// the start of the path: any of these would search far more than the rule means.
void AddTraceRules(const TMemIniFile& document, const TTickedCategories& ticked, const TFolderLookup& lookup,
                   TScanJob& job, const TDebugLine& debug = {});
