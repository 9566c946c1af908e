#include "clean/delete_thread.h"

#include <exception>

namespace {

constexpr const char* kCannotDeleteReason = "Unknown";

// A folder tree that holds a junction or link anywhere below it. The shell's delete of such a
// tree may follow the link on older Windows releases when it cannot recycle and deletes for good,
// which would reach files outside the item; such folders go to the file-by-file pass instead.
bool TreeHasReparsePoint(platform::FileSystem& files, const std::string& folder) {
  for (const platform::FindEntry& entry : files.FindFiles(folder + "\\*")) {
    if (entry.name == "." || entry.name == "..") continue;
    if (entry.IsReparsePoint()) return true;
    if (entry.IsFolder() && TreeHasReparsePoint(files, folder + "\\" + entry.name)) return true;
  }
  return false;
}

bool IsReparsePoint(platform::FileSystem& files, const std::string& path) {
  auto attributes = files.GetAttributes(path);
  return attributes && (*attributes & platform::kAttrReparsePoint) != 0;
}

}  // namespace

bool IsDeletableItemPath(const std::string& Path) {
  if (Path.size() < 4) return false;  // "X:\" and at least one character of a name
  const char drive = Path[0];
  if (!((drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z'))) return false;
  if (Path[1] != ':' || Path[2] != '\\') return false;
  std::string name;
  for (size_t i = 3; i <= Path.size(); ++i) {
    const char c = i < Path.size() ? Path[i] : '\\';
    if (c == '\\') {
      if (name.empty() || name == "." || name == "..") return false;
      if (name.back() == '.' || name.back() == ' ') return false;
      name.clear();
      continue;
    }
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || c == '/' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|')
      return false;
    name += c;
  }
  return true;
}

bool ShellDelete(platform::Shell& shell, const std::string& Path) {
  if (!IsDeletableItemPath(Path)) return false;
  try {
    const unsigned flags = platform::kFofSilent | platform::kFofNoConfirmation | platform::kFofAllowUndo;
    return shell.FileOperationDelete(Path, flags) == 0;
  } catch (...) {
    return false;
  }
}

std::vector<std::string> ListFolderFiles(platform::FileSystem& files, const std::string& Folder) {
  std::vector<std::string> result;
  std::string dir = Folder;
  if (dir.empty() || dir.back() != '\\') dir += '\\';
  const std::vector<platform::FindEntry> entries = files.FindFiles(dir + "*");
  for (const platform::FindEntry& entry : entries) {
    if (entry.name == "." || entry.name == ".." || entry.IsFolder()) continue;
    result.push_back(dir + entry.name);
  }
  for (const platform::FindEntry& entry : entries) {
    if (entry.name == "." || entry.name == ".." || !entry.IsFolder() || entry.IsReparsePoint()) continue;
    const std::string sub = dir + entry.name;
    if (!files.FolderExists(sub)) continue;
    std::vector<std::string> below = ListFolderFiles(files, sub);
    result.insert(result.end(), below.begin(), below.end());
  }
  return result;
}

void ClearUrlCache(platform::UrlCache& cache) {
  std::string url;
  const platform::InternetHandle find = cache.FindFirst(&url);
  if (find == 0) return;
  do {
    cache.DeleteEntry(url);
  } while (cache.FindNext(find, &url));
  cache.FindClose(find);
}

TDeleteThread::TDeleteThread(platform::MainThread& main_thread, platform::Platform& os)
    : platform::TThread(main_thread), os_(os) {}

void TDeleteThread::SetJobList(const std::vector<std::string>& Items) {
  FJobItems = Items;
  FFailedFiles.clear();
}

void TDeleteThread::Execute() {
  try {
    for (const std::string& item : FJobItems) {
      if (FStopped) break;
      FStartedItem = item;
      NotifyItemStarted();
      DeleteItem(item);
    }
  } catch (...) {
    // A handler failed on the main thread: start no further item, but still end the run.
  }
  FStopped = true;
  NotifyFinished();
}

void TDeleteThread::DeleteItem(const std::string& Item) {
  FCurrentItem = Item;
  if (!IsDeletableItemPath(Item) || IsReparsePoint(os_.files, Item)) {
    NotifyCannotDelete();
    return;
  }
  // The cache folder goes on to be deleted like any other item once its entries are gone.
  if (Item.find("Temporary Internet Files") != std::string::npos) {
    ClearUrlCache(os_.url_cache);
    NotifyFolderDeleted();
  }
  if (Item.find("RECYCLER") != std::string::npos || Item.find("$Recycle.Bin") != std::string::npos) {
    // One call empties the bins of every drive; the folder itself is left to the shell.
    os_.shell.EmptyRecycleBin("", platform::kSherbNoConfirmation | platform::kSherbNoProgressUi);
    NotifyFolderDeleted();
    return;
  }
  if (os_.files.DeleteFile(Item)) {
    NotifyFileDeleted();
    return;
  }
  // A path that is not there has nothing to recycle; the shell would only show an error box.
  const auto attributes = os_.files.GetAttributes(Item);
  const bool folder = attributes && (*attributes & platform::kAttrDirectory) != 0;
  // The shell may report success for a folder it only partly removed (Wine's does when a file in
  // it is in use): only an item that is really gone counts as deleted.
  if (attributes && !(folder && TreeHasReparsePoint(os_.files, Item)) && ShellDelete(os_.shell, Item) &&
      !os_.files.GetAttributes(Item)) {
    NotifyFolderDeleted();
    return;
  }
  DeleteFileByFile(Item);
}

// The last resort: delete what can be deleted, file by file; folders stay.
void TDeleteThread::DeleteFileByFile(const std::string& Item) {
  FFailedFiles.clear();
  if (!os_.files.FolderExists(Item)) {
    // A file in use, or a path that is no longer there: nothing of it was deleted.
    NotifyCannotDelete();
    return;
  }
  const std::vector<std::string> files = ListFolderFiles(os_.files, Item);
  for (const std::string& file : files) {
    if (!os_.files.DeleteFile(file)) FFailedFiles.push_back(file);
  }
  if (FFailedFiles.empty()) return;
  if (FFailedFiles.size() < files.size()) {
    NotifyPartialDelete();
  } else {
    NotifyCannotDelete();
  }
}

void TDeleteThread::NotifyItemStarted() {
  if (FOnItemStarted) Synchronize([this] { FOnItemStarted(FStartedItem); });
}

void TDeleteThread::NotifyFileDeleted() {
  if (FOnFileDeleted) Synchronize([this] { FOnFileDeleted(FCurrentItem); });
}

void TDeleteThread::NotifyFolderDeleted() {
  if (FOnFolderDeleted) Synchronize([this] { FOnFolderDeleted(FCurrentItem); });
}

void TDeleteThread::NotifyPartialDelete() {
  if (FOnPartialDelete) Synchronize([this] { FOnPartialDelete(FCurrentItem, FFailedFiles); });
}

void TDeleteThread::NotifyCannotDelete() {
  if (FOnCannotDelete) Synchronize([this] { FOnCannotDelete(FCurrentItem, kCannotDeleteReason); });
}

void TDeleteThread::NotifyFinished() {
  if (!FOnFinished) return;
  try {
    Synchronize([this] { FOnFinished(); });
  } catch (...) {
    // Nothing is left to tell: the run is over either way.
  }
}
