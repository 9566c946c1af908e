#include "scan/search_thread.h"

#include <algorithm>
#include <exception>
#include <new>
#include <optional>

#include "platform/table_file_system.h"
#include "platform/text.h"
#include "scan/rule_paths.h"
#include "scan/template_match.h"

using platform::FindEntry;

namespace {

std::string WithBackslash(const std::string& folder) {
  return !folder.empty() && folder.back() == '\\' ? folder : folder + "\\";
}

// A template must name entries of the searched folder itself. With a separator, a drive colon or
// nothing but dots in it, FindFirstFileA lists another folder, and the paths built from the names
// it returns would point at objects that were never matched (and would then be cleaned).
bool TemplateUsable(const std::string& Template) {
  return !Template.empty() && Template.find_first_of("\\/:") == std::string::npos &&
         Template.find_first_not_of('.') != std::string::npos;
}

bool IsDotEntry(const FindEntry& entry) { return entry.name == "." || entry.name == ".."; }

}  // namespace

TSearchInThread::TSearchInThread(platform::MainThread& main_thread, platform::FileSystem& files,
                                 platform::DebugOutput& debug)
    : platform::TThread(main_thread), system_files_(files), files_(&files), debug_(debug) {}

void TSearchInThread::SetSearchJob(const std::vector<std::string>& Paths, const std::vector<std::string>& Templates,
                                   const std::vector<std::string>& Types, const std::vector<std::string>& SearchRules,
                                   const std::vector<std::string>& Drives) {
  FPaths.clear();
  FTemplates.clear();
  FTypes.clear();
  FSearchRules.clear();
  FDrives.clear();
  const size_t rules = std::min({Paths.size(), Templates.size(), Types.size(), SearchRules.size()});
  for (size_t i = 0; i < rules; ++i) {
    FPaths.push_back(Paths[i]);
    FTemplates.push_back(Templates[i]);
    FTypes.push_back(Types[i]);
    FSearchRules.push_back(SearchRules[i]);
  }
  FDrives = Drives;
  debug_.Write(std::to_string(FDrives.size()));
}

void TSearchInThread::Execute() {
  const Clock::time_point started = Clock::now();
  try {
    SearchAllRules();
    // What was found last is delivered before the end, and so before the results are shown.
    HandOver(true);
  } catch (const std::exception& e) {
    debug_.Write(std::string("Search T (Stopped) ") + e.what());
  } catch (...) {
    debug_.Write("Search T (Stopped) unknown error");
  }
  FStopSearch = true;
  using platform::Milliseconds;
  debug_.Write("timer: walk " + std::to_string(Milliseconds(Clock::now() - started)) + " ms, " +
               std::to_string(folders_) + " folders, " + std::to_string(objects_) + " objects; " + HandOverTimes() +
               "; listings " + std::to_string(Milliseconds(listing_time_)) + " ms");
  // The main window learns of the end only from this report, so it is sent however the walk ended.
  Synchronize([this] { DoSearchFinished(); });
}

void TSearchInThread::SearchAllRules() {
  for (const std::string& drive : FDrives) {
    SearchDrive(drive);
    if (FStopSearch) break;
    for (size_t i = 0; i < FPaths.size(); ++i) {
      if (FPaths[i].find(':') == std::string::npos) continue;
      // A drive-qualified rule is searched once per scan; on later drives this inert rule finds
      // nothing unless a folder of that name exists.
      FPaths[i] = "C";
      FTemplates[i] = "TORVEX UNIQUE DIRECTORY ON DISK C";
      FTypes[i] = "1";
      FSearchRules[i] = "0";
    }
  }
  // A large volume's table is big: it goes as soon as the walk is done.
  drive_table_.reset();
  files_ = &system_files_;
}

// Reading a volume's table costs one pass over it; every listing of the drive is then answered
// from memory. Where it cannot be read, the drive is walked as the system lists it.
void TSearchInThread::UseFileTable(const std::string& Drive) {
  drive_table_.reset();
  files_ = &system_files_;
  if (!FReadFileTables || Drive.size() != 1) return;
  // A large volume's table takes seconds: meanwhile the position shows the drive.
  current_folder_ = Drive + ":\\";
  folder_pending_ = true;
  HandOver(true);
  const Clock::time_point start = Clock::now();
  std::string outcome = ": walked instead";
  try {
    std::optional<platform::ntfs::FileTable> table = system_files_.ReadFileTable(Drive[0], FStopSearch);
    if (table) {
      drive_table_ = std::make_unique<platform::TableFileSystem>(system_files_, Drive[0], std::move(*table));
      outcome = ": read";
    }
  } catch (const std::bad_alloc&) {
    // A volume of millions of files may not fit beside everything else in a 32-bit process: what
    // was built of its table is gone again, and the drive is walked.
    outcome = ": walked instead (no memory for its table)";
  }
  listing_time_ += Clock::now() - start;
  debug_.Write("Search T (File table) " + Drive + outcome);
  if (drive_table_) files_ = drive_table_.get();
}

void TSearchInThread::SearchDrive(const std::string& Drive) {
  rules_.clear();
  roots_.clear();
  UseFileTable(Drive);
  if (FStopSearch) return;
  std::map<std::string, std::vector<std::string>> expanded;  // rules of one folder expand it once
  for (size_t i = 0; i < FPaths.size(); ++i) {
    // The start writes these from integers; the fallbacks are the trace definitions' defaults.
    const bool folders_only = platform::StrToIntDef(FTypes[i], 1) != 0;
    const bool recursive = platform::StrToIntDef(FSearchRules[i], 0) != 0;
    rules_.push_back({FTemplates[i], folders_only, recursive, TemplateUsable(FTemplates[i])});
    const std::string folder = FPaths[i].find(':') != std::string::npos ? FPaths[i] : Drive + ":" + FPaths[i];
    auto known = expanded.find(folder);
    if (known == expanded.end()) {
      const Clock::time_point start = Clock::now();
      known = expanded.emplace(folder, ExpandRuleFolder(*files_, folder, FFilters.Exclusions, FStopSearch)).first;
      listing_time_ += Clock::now() - start;
    }
    for (const std::string& start : known->second) {
      Root& root = roots_[platform::UpperCase(WithBackslash(start))];
      if (root.rules.empty()) root.folder = start;
      root.rules.push_back(i);
    }
    if (FStopSearch) return;
  }
  // In path order a folder comes before those below it, so a recursive rule's walk serves the
  // rules that start inside its scope. A start it did not reach (behind a link, excluded, spelled
  // otherwise) is walked on its own afterwards.
  for (auto& [key, root] : roots_) {
    if (root.walked) continue;
    SearchInFolder(root.folder, {});
    if (FStopSearch) return;
  }
}

void TSearchInThread::SearchInFolder(const std::string& Folder, std::vector<size_t> Active) {
  const std::string F = WithBackslash(Folder);
  if (FFilters.Exclusions.Excludes(Folder)) return;
  const auto root = roots_.find(platform::UpperCase(F));
  if (root != roots_.end() && !root->second.walked) {
    root->second.walked = true;
    Active.insert(Active.end(), root->second.rules.begin(), root->second.rules.end());
  }
  current_folder_ = F;
  folder_pending_ = true;
  ++folders_;
  HandOver(false);

  bool usable = false, recursive = false;
  for (size_t r : Active) {
    usable |= rules_[r].usable;
    recursive |= rules_[r].recursive;
  }
  if (!usable && !recursive) return;
  // One listing serves the matching and the recursion. Templates are matched against the long
  // names here, never by the search, which also matches 8.3 aliases. A lone rule without
  // recursion lists only what its template may match.
  const bool lone = Active.size() == 1 && !recursive;
  const std::vector<FindEntry> entries = List(F + (lone ? rules_[Active.front()].templ : "*"));
  // A folder's own matches are all reported, even when a stop is requested meanwhile.
  if (usable) ReportMatches(F, entries, Active);

  if (!recursive || FStopSearch) return;
  std::erase_if(Active, [this](size_t r) { return !rules_[r].recursive; });
  for (const FindEntry& entry : entries) {
    if (FStopSearch) return;
    if (IsDotEntry(entry) || !entry.IsFolder() || entry.IsReparsePoint()) continue;
    const std::string sub = F + entry.name;
    // Looked up again: the subfolders walked before it may have taken long, and meanwhile the
    // entry may have gone or been replaced by a link.
    const Clock::time_point looked_up = Clock::now();
    const auto attributes = files_->GetAttributes(sub);
    listing_time_ += Clock::now() - looked_up;
    if (!attributes || !(*attributes & platform::kAttrDirectory) || (*attributes & platform::kAttrReparsePoint))
      continue;
    SearchInFolder(sub, Active);
  }
}

void TSearchInThread::ReportMatches(const std::string& F, const std::vector<FindEntry>& Entries,
                                    const std::vector<size_t>& Active) {
  for (const FindEntry& entry : Entries) {
    if (IsDotEntry(entry) || entry.IsReparsePoint()) continue;
    // What every rule shares is found out once per entry, and only for an entry some rule matches.
    std::optional<bool> kept;
    int64_t sizes[2] = {-1, -1};  // a folder's own files; with everything below it
    std::string P;
    for (size_t r : Active) {
      const Rule& rule = rules_[r];
      if (!rule.usable || entry.IsFolder() != rule.folders_only || !TemplateMatches(rule.templ, entry.name)) continue;
      if (!kept) {
        P = F + entry.name;
        kept = FFilters.Exclusions.Excludes(P) || FFilters.UserData.Protects(P) ||
               (entry.IsFolder() ? FolderKept(*files_, P, entry.last_write, FFilters) != TKeptReason::kNone
                                 : FFilters.AgeFiltered() && entry.last_write > FFilters.ChangedBefore);
      }
      if (*kept) break;
      // A recursive rule walks the folders below a found one itself, so its size counts only the
      // folder's own files. A file's length comes with the listing.
      int64_t size = entry.size;
      if (entry.IsFolder()) {
        int64_t& known = sizes[rule.recursive ? 0 : 1];
        if (known < 0) known = GetFolderSize(*files_, P, !rule.recursive);
        size = known;
      }
      found_.push_back({P, size, entry.IsFolder(), entry.id});
      ++objects_;
      HandOver(false);
    }
  }
}

void TSearchInThread::HandOver(bool force) {
  if (found_.empty() && !folder_pending_) return;
  const Clock::time_point now = Clock::now();
  if (!force && found_.size() < kBatchObjects && now - last_hand_over_ < kBatchInterval) return;
  Synchronize([this] { DoBatch(); });
  found_.clear();
  folder_pending_ = false;
  last_hand_over_ = Clock::now();
}

void TSearchInThread::DoBatch() {
  if (FOnFoundObject)
    for (const FoundObject& object : found_) FOnFoundObject(object.path, object.size, object.folder, object.id);
  if (folder_pending_ && FOnCurrentFolder) FOnCurrentFolder(current_folder_);
  if (FOnBatchEnd) FOnBatchEnd();
}

void TSearchInThread::DoSearchFinished() {
  if (FOnSearchFinished) FOnSearchFinished();
}

std::vector<FindEntry> TSearchInThread::List(const std::string& pattern_path) {
  const Clock::time_point start = Clock::now();
  std::vector<FindEntry> entries = files_->FindFiles(pattern_path);
  listing_time_ += Clock::now() - start;
  return entries;
}

int64_t GetFolderSize(platform::FileSystem& files, const std::string& Path, bool Recursive) {
  const std::string folder = WithBackslash(Path);
  int64_t total = 0;
  for (const FindEntry& entry : files.FindFiles(folder + "*.*")) {
    if (!entry.IsFolder()) {
      total += entry.size;
    } else if (Recursive && !entry.name.starts_with(".") && !entry.IsReparsePoint()) {
      total += GetFolderSize(files, folder + entry.name, true);
    }
  }
  return total;
}

int64_t GetFileSizeByName(platform::FileSystem& files, const std::string& Path) {
  // A wildcard would make the lookup answer with some other file's length.
  if (Path.empty() || Path.find_first_of("*?<>\"") != std::string::npos) return 0;
  const std::vector<FindEntry> entries = files.FindFiles(Path);
  if (entries.empty() || entries.front().IsFolder()) return 0;
  return entries.front().size;
}
