#include "clean/delete_thread.h"

#include <exception>
#include <string>
#include <utility>

#include "clean/path_index.h"
#include "platform/text.h"

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

bool IsRecycleBinItem(const std::string& item) {
  return item.find("RECYCLER") != std::string::npos || item.find("$Recycle.Bin") != std::string::npos;
}

// The files of a recycle-bin folder that emptying should remove: all but the folder's own
// desktop.ini, which the shell keeps. Nothing when the bin cannot be listed (another user's).
std::optional<std::vector<std::string>> BinFiles(platform::FileSystem& files, const std::string& bin) {
  const auto contents = CollectFolder(files, bin);
  if (!contents || !contents->complete) return std::nullopt;
  std::vector<std::string> left;
  for (const std::string& file : contents->files)
    if (!platform::SameText(file, bin + "\\desktop.ini")) left.push_back(file);
  return left;
}

}  // namespace

TDeleteThread::TDeleteThread(platform::MainThread& main_thread, platform::Platform& os)
    : platform::TThread(main_thread), os_(os) {}

void TDeleteThread::SetJob(std::vector<TCleanItem> Items) {
  FJob = std::move(Items);
  FFailedFiles.clear();
}

void TDeleteThread::SetJobList(const std::vector<std::string>& Items) {
  std::vector<TCleanItem> job;
  for (const std::string& item : Items) job.push_back({item, "", std::nullopt});
  SetJob(std::move(job));
}

void TDeleteThread::Execute() {
  const auto started = std::chrono::steady_clock::now();
  try {
    // Each path once, letter case ignored, in order: outcomes find their row by path, so a second
    // item of the same path could only give the first a second, misleading outcome. Found here
    // rather than as the run starts, where the window would wait for it.
    const TPathIndex first_of_path(FJob);
    for (size_t i = 0; i < FJob.size(); ++i) {
      if (FStopped) break;
      if (first_of_path.Find(FJob[i].Path) != i) continue;
      FStartedItem = FJob[i].Path;
      NotifyItemStarted();
      DeleteItem(FJob[i]);
    }
    HandOver(true);
  } catch (...) {
    // A handler failed on the main thread: start no further item, but still end the run.
  }
  FStopped = true;
  os_.debug.Write("timer: clean " + std::to_string(FJob.size()) + " items " +
                  std::to_string(platform::Milliseconds(std::chrono::steady_clock::now() - started)) + " ms; " +
                  HandOverTimes());
  NotifyFinished();
}

void TDeleteThread::DeleteItem(const TCleanItem& Job) {
  const std::string& Item = Job.Path;
  FCurrentItem = Item;
  if (!IsDeletableItemPath(Item)) {
    NotifyCannotDelete();
    return;
  }
  // Looked up once: a link is refused here, a missing item below, after the filters.
  const auto attributes = os_.files.GetAttributes(Item);
  if (attributes && (*attributes & platform::kAttrReparsePoint)) {
    NotifyCannotDelete();
    return;
  }
  // The user's exclusions and the age filter hold whatever the rules listed, and the item may
  // have changed since the scan.
  if (const TKeptReason kept = ObjectKept(os_.files, Item, FFilters); kept != TKeptReason::kNone) {
    NotifyKept(kept);
    return;
  }
  // The cache folder goes on to be deleted like any other item once its entries are gone.
  if (Item.find("Temporary Internet Files") != std::string::npos) {
    HandOver(true);
    ClearUrlCache(os_.url_cache);
    NotifyFolderDeleted();
  }
  if (IsRecycleBinItem(Item)) {
    HandOver(true);
    EmptyRecycleBins(Item);
    return;
  }
  if (!attributes) {
    NotifyCannotDelete();  // gone before the cleaning came to it
    return;
  }
  const bool folder = (*attributes & platform::kAttrDirectory) != 0;
  if (Job.Folder && *Job.Folder != folder) {
    NotifyCannotDelete();  // replaced since the scan by an object of the other kind
    return;
  }
  if (!folder) {
    // A file goes only through its own checked handle: the shell would take a link's word for it.
    if (DeleteFileChecked(os_.files, Item, FSecureErase, Job.Id)) {
      NotifyFileDeleted();
    } else {
      NotifyCannotDelete();
    }
    return;
  }
  if (!IsOwnFolder(os_.files, Item, Job.Id)) {
    NotifyCannotDelete();  // reached through a junction swapped in on the way
    return;
  }
  HandOver(true);  // a folder may take long: its row shows "Processing..." meanwhile
  // The shell may report success for a folder it only partly removed (Wine's does when a file in
  // it is in use): only an item that is really gone counts as deleted.
  if (!FSecureErase && !TreeHasReparsePoint(os_.files, Item) && ShellDelete(os_.shell, Item) &&
      !os_.files.GetAttributes(Item)) {
    NotifyFolderDeleted();
    return;
  }
  DeleteFileByFile(Item, Job.Id);
}

// One call empties the bins of every drive that the user may empty; the item's own folder is
// then looked at, since another user's bin stays as it was.
void TDeleteThread::EmptyRecycleBins(const std::string& Item) {
  if (!FBinsListed) {
    for (const TCleanItem& job : FJob)
      if (IsRecycleBinItem(job.Path) && IsDeletableItemPath(job.Path))
        FBinFilesBefore[job.Path] = BinFiles(os_.files, job.Path);
    FBinsListed = true;
  }
  const auto& before = FBinFilesBefore[Item];
  os_.shell.EmptyRecycleBin("", platform::kSherbNoConfirmation | platform::kSherbNoProgressUi);
  const auto after = os_.files.GetAttributes(Item) ? BinFiles(os_.files, Item) : std::vector<std::string>{};
  FFailedFiles.clear();
  if (after && after->empty()) {
    NotifyFolderDeleted();
  } else if (after && before && after->size() < before->size()) {
    FFailedFiles = *after;
    NotifyPartialDelete();
  } else {
    NotifyCannotDelete();
  }
}

// The last resort, and the only way with secure erase: delete what can be deleted, file by file,
// then the folders that were emptied.
void TDeleteThread::DeleteFileByFile(const std::string& Item, platform::FileId Id) {
  const FolderDeletion result = DeleteFolderFileByFile(os_.files, Item, FSecureErase, Id);
  FFailedFiles = result.failed;
  if (result.gone) {
    NotifyFolderDeleted();
  } else if (result.deleted == 0) {
    NotifyCannotDelete();
  } else {
    // Files left, or only folders that could not be listed or removed (a link inside keeps its
    // folder): some of the item stays.
    NotifyPartialDelete();
  }
}

void TDeleteThread::NotifyItemStarted() { Send({Report::kStarted, FStartedItem, {}}); }

void TDeleteThread::NotifyFileDeleted() { Send({Report::kFileDeleted, FCurrentItem, {}}); }

void TDeleteThread::NotifyFolderDeleted() { Send({Report::kFolderDeleted, FCurrentItem, {}}); }

void TDeleteThread::NotifyPartialDelete() { Send({Report::kPartialDelete, FCurrentItem, FFailedFiles}); }

void TDeleteThread::NotifyCannotDelete() { Send({Report::kCannotDelete, FCurrentItem, {}}); }

void TDeleteThread::Send(Report report) {
  pending_.push_back(std::move(report));
  HandOver(false);
}

void TDeleteThread::HandOver(bool force) {
  if (pending_.empty()) return;
  const auto now = std::chrono::steady_clock::now();
  if (!force && pending_.size() < kBatchReports && now - last_hand_over_ < kBatchInterval) return;
  // Emptied even when a handler throws: then only the end report follows.
  struct Empty {
    std::vector<Report>& reports;
    ~Empty() { reports.clear(); }
  } empty{pending_};
  Synchronize([this] { DoReports(); });
  last_hand_over_ = std::chrono::steady_clock::now();
}

void TDeleteThread::DoReports() {
  for (const Report& report : pending_) {
    switch (report.kind) {
      case Report::kStarted:
        if (FOnItemStarted) FOnItemStarted(report.item);
        break;
      case Report::kFileDeleted:
        if (FOnFileDeleted) FOnFileDeleted(report.item);
        break;
      case Report::kFolderDeleted:
        if (FOnFolderDeleted) FOnFolderDeleted(report.item);
        break;
      case Report::kPartialDelete:
        if (FOnPartialDelete) FOnPartialDelete(report.item, report.failed);
        break;
      case Report::kCannotDelete:
        if (FOnCannotDelete) FOnCannotDelete(report.item, kCannotDeleteReason);
        break;
      case Report::kKept:
        if (FOnKept) FOnKept(report.item, report.kept);
        break;
    }
  }
  if (FOnBatchEnd) FOnBatchEnd();
}

void TDeleteThread::NotifyKept(TKeptReason reason) { Send({Report::kKept, FCurrentItem, {}, reason}); }

void TDeleteThread::NotifyFinished() {
  if (!FOnFinished) return;
  try {
    Synchronize([this] { FOnFinished(); });
  } catch (...) {
    // Nothing is left to tell: the run is over either way.
  }
}
