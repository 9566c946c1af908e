#pragma once
// What a scan leaves alone whatever its rules say: objects changed too recently, and the user's
// exclusions. The same checks are made again before anything is deleted.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "scan/user_data.h"

// The user's exclusions. An entry that is a full path ("C:\Temp\keep") names a folder that is
// never entered, listed or cleaned, nor anything below it; any other entry without a separator is
// a file-name pattern ("*.docx", "keep?.txt") for names never listed or cleaned, in whatever
// folder. Letter case is ignored. Entries of neither kind are kept as written but match nothing.
class TExclusions {
 public:
  TExclusions() = default;
  explicit TExclusions(std::vector<std::string> entries);

  const std::vector<std::string>& Entries() const { return entries_; }
  bool Empty() const { return folders_.empty() && names_.empty(); }
  bool HasNamePatterns() const { return !names_.empty(); }

  // Path is an excluded folder or lies below one (never by a mere common prefix: "C:\Temp\keep"
  // does not exclude "C:\Temp\keeper"), or its own name matches a pattern.
  bool Excludes(std::string_view path) const;
  // An excluded folder lies strictly below Folder: deleting Folder would delete it.
  bool HoldsExcludedFolder(std::string_view folder) const;
  bool ExcludesName(std::string_view name) const;

 private:
  std::vector<std::string> entries_;
  std::vector<std::string> folders_;  // upper case, no trailing separator
  std::vector<std::string> names_;
};

// Whether an entry is a folder path that TExclusions takes ("X:\..." or a drive root).
bool IsExclusionFolder(std::string_view entry);
// Whether two entries exclude the same: folders ignoring case and trailing separators, patterns
// ignoring case.
bool SameExclusion(std::string_view a, std::string_view b);

// FILETIME ticks (100 ns since 1601-01-01 UTC) for a count of days.
constexpr int64_t kFileTimeTicksPerDay = 864000000000;
// The largest age a filter may ask for, in days.
constexpr int kMaxAgeDays = 365;

struct TScanFilters {
  // Objects last written after this FILETIME are too fresh to list; 0 lists every age.
  int64_t ChangedBefore = 0;
  TExclusions Exclusions;
  // Never listed or cleaned, whatever a rule says.
  TUserData UserData;

  bool AgeFiltered() const { return ChangedBefore != 0; }
  // The filter for "not changed for at least days" at now (a FILETIME); 0 days is no filter.
  static int64_t CutOff(int64_t now, int days) { return days > 0 ? now - days * kFileTimeTicksPerDay : 0; }
};

// Why an object must be left alone, if it must (user data counts as excluded).
enum class TKeptReason { kNone, kExcluded, kChangedRecently };

// Whether a found folder must be left alone as a whole: it holds an excluded folder, or something
// in it (the folder itself included, by its own last write as its listing gave it) is too fresh
// or excluded by name. A folder that cannot be listed fully is left alone too (as excluded), as
// what it holds cannot be told. Walks the tree only when an age filter or a name pattern asks for
// it; never enters junctions or links.
TKeptReason FolderKept(platform::FileSystem& files, const std::string& folder, int64_t own_last_write,
                       const TScanFilters& filters);
// The same for any object named by its full path, looked up afresh: the check made again just
// before the object is deleted. An object that cannot be found is not kept (its deletion reports
// what became of it).
TKeptReason ObjectKept(platform::FileSystem& files, const std::string& path, const TScanFilters& filters);

// The number of days an age text gives: a whole number from 0 to kMaxAgeDays, surrounding blanks
// ignored; nothing for anything else.
std::optional<int> ParseAgeDays(const std::string& text);
