#include "scan/search_thread.h"

#include <algorithm>
#include <exception>

#include "platform/text.h"

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
    : platform::TThread(main_thread), files_(files), debug_(debug) {}

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
  try {
    SearchAllRules();
  } catch (const std::exception& e) {
    debug_.Write(std::string("Search T (Stopped) ") + e.what());
  } catch (...) {
    debug_.Write("Search T (Stopped) unknown error");
  }
  FStopSearch = true;
  // The main window learns of the end only from this report, so it is sent however the walk ended.
  Synchronize([this] { DoSearchFinished(); });
}

void TSearchInThread::SearchAllRules() {
  for (const std::string& drive : FDrives) {
    for (size_t i = 0; i < FPaths.size(); ++i) {
      // The start writes these from integers; the fallbacks are the trace definitions' defaults.
      const bool FoldersOnly = platform::StrToIntDef(FTypes[i], 1) != 0;
      const bool Recursive = platform::StrToIntDef(FSearchRules[i], 0) != 0;
      if (FPaths[i].find(':') != std::string::npos) {
        SearchInFolder(FPaths[i], FTemplates[i], FoldersOnly, Recursive);
        // A drive-qualified rule is searched once per scan; on later drives this inert rule
        // finds nothing unless a folder of that name exists.
        FPaths[i] = "C";
        FTemplates[i] = "TORVEX UNIQUE DIRECTORY ON DISK C";
        FTypes[i] = "1";
        FSearchRules[i] = "0";
      } else {
        SearchInFolder(drive + ":" + FPaths[i], FTemplates[i], FoldersOnly, Recursive);
      }
      if (FStopSearch) return;
    }
  }
}

void TSearchInThread::SearchInFolder(const std::string& Folder, const std::string& Template, bool FoldersOnly,
                                     bool Recursive) {
  const std::string F = WithBackslash(Folder);
  FCurrentFolder = F;
  Synchronize([this] { DoCurrentFolder(); });

  // A folder's own matches are all reported, even when a stop is requested meanwhile.
  if (TemplateUsable(Template)) {
    for (const FindEntry& entry : files_.FindFiles(F + Template)) {
      if (IsDotEntry(entry) || entry.IsFolder() != FoldersOnly || entry.IsReparsePoint()) continue;
      const std::string P = F + entry.name;
      if (P.size() >= platform::kMaxPath) continue;
      FFoundObject = P;
      // A recursive rule walks the folders below a found one itself, so its size counts only the
      // folder's own files. A file's length comes with the listing, as GetFileSizeByName would
      // find it again.
      FFoundObjectSize = entry.IsFolder() ? GetFolderSize(files_, P, !Recursive) : entry.size;
      Synchronize([this] { DoFoundObject(); });
    }
  }

  if (!Recursive || FStopSearch) return;
  for (const FindEntry& entry : files_.FindFiles(F + "*")) {
    if (FStopSearch) return;
    if (IsDotEntry(entry) || !entry.IsFolder() || entry.IsReparsePoint()) continue;
    const std::string sub = F + entry.name;
    if (sub.size() >= platform::kMaxPath) continue;
    // Looked up again: the entry may have gone, or been replaced by a link, since the listing.
    const auto attributes = files_.GetAttributes(sub);
    if (!attributes || !(*attributes & platform::kAttrDirectory) || (*attributes & platform::kAttrReparsePoint))
      continue;
    SearchInFolder(sub, Template, FoldersOnly, true);
  }
}

void TSearchInThread::DoCurrentFolder() {
  if (FOnCurrentFolder) FOnCurrentFolder(FCurrentFolder);
}

void TSearchInThread::DoFoundObject() {
  if (FOnFoundObject) FOnFoundObject(FFoundObject, FFoundObjectSize);
}

void TSearchInThread::DoSearchFinished() {
  if (FOnSearchFinished) FOnSearchFinished();
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
