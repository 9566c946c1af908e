#pragma once
// TDeleteThread: deletes a list of garbage items one after another on a worker thread and reports
// what became of each through notifications that run on the main thread while it waits.
//
// The worker deletes only what an item names (plus the recycle bins and the URL cache for their
// own items). An item that is not an absolute path below a drive root, or that is itself a
// junction or link, or that is reached through one, is refused with FOnCannotDelete rather than
// interpreted. Every item started gets at least one outcome. Just before an item is deleted the
// filters are checked again: an item they keep is left alone and reported through FOnKept.
//
// The reports reach the main thread in batches, in the order they were made: at most
// kBatchReports at a time, at least every kBatchInterval while items are deleted, and all that are
// pending before the end report; FOnBatchEnd follows each batch. A folder's start goes over before
// the folder is deleted, since folders are what may take long and their row says "Processing..."
// meanwhile. One blocking hand-off per report made a run of many small files wait on the main
// thread far longer than on the disk.
#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "clean/clean_item.h"
#include "clean/deletion_primitives.h"
#include "platform/platform.h"
#include "platform/thread.h"
#include "scan/scan_filters.h"

using TItemEvent = std::function<void(const std::string& Item)>;
using TPartialDeleteEvent = std::function<void(const std::string& Item, const std::vector<std::string>& FailedFiles)>;
using TCannotDeleteEvent = std::function<void(const std::string& Item, const std::string& Reason)>;
using TFinishedEvent = std::function<void()>;

class TDeleteThread : public platform::TThread {
 public:
  TDeleteThread(platform::MainThread& main_thread, platform::Platform& os);

  // Takes the items, each path to be deleted once (letter case ignored; a later copy is skipped);
  // called once on the main thread before Resume. An item's Folder, where given, says whether it
  // was listed as a folder or as a file: an object of the other kind found at its path is
  // refused, since nothing of what it holds was ever listed; where its Id is known, an object
  // that is not the one listed (replaced since, or reached through a link) is refused too.
  void SetJob(std::vector<TCleanItem> Items);
  // The same for paths of unknown kind.
  void SetJobList(const std::vector<std::string>& Items);

  // Set before Resume. When true, nothing goes to the Recycle Bin: every file is overwritten with
  // zeros and deleted for good, and folders are deleted file by file, then removed.
  bool FSecureErase = false;
  // Set before Resume: what is never deleted, as the scan that listed the items had it.
  TScanFilters FFilters;

  static constexpr size_t kBatchReports = 500;
  static constexpr std::chrono::milliseconds kBatchInterval{50};

  // The item in progress and the files its partial deletion left; each report carries a copy.
  std::string FCurrentItem;
  std::string FStartedItem;
  std::vector<std::string> FFailedFiles;
  // Written by the main thread, read by the worker before each item.
  std::atomic<bool> FStopped{false};
  // Unchanged from SetJob on: the main thread may read it while the worker runs.
  std::vector<TCleanItem> FJob;
  // Set before Resume; unset ones are skipped. If a handler throws, no further item is started,
  // but FOnFinished is still sent so that the window leaves its cleaning state.
  TItemEvent FOnFileDeleted;
  TItemEvent FOnFolderDeleted;
  TPartialDeleteEvent FOnPartialDelete;
  TCannotDeleteEvent FOnCannotDelete;
  TFinishedEvent FOnFinished;
  TItemEvent FOnItemStarted;
  std::function<void(const std::string& Item, TKeptReason Reason)> FOnKept;
  TFinishedEvent FOnBatchEnd;

 protected:
  void Execute() override;

 private:
  void DeleteItem(const TCleanItem& Job);
  void EmptyRecycleBins(const std::string& Item);
  void DeleteFileByFile(const std::string& Item, platform::FileId Id);
  void NotifyItemStarted();
  void NotifyFileDeleted();
  void NotifyFolderDeleted();
  void NotifyPartialDelete();
  void NotifyCannotDelete();
  void NotifyFinished();
  void NotifyKept(TKeptReason reason);
  struct Report {
    enum Kind { kStarted, kFileDeleted, kFolderDeleted, kPartialDelete, kCannotDelete, kKept } kind;
    std::string item;
    std::vector<std::string> failed;
    TKeptReason kept = TKeptReason::kNone;
  };
  void Send(Report report);
  // Hands the pending reports over when a batch is full or due; with force, whenever any is pending.
  void HandOver(bool force);
  void DoReports();
  platform::Platform& os_;
  // Filled by the worker, read by the main thread only inside Synchronize.
  std::vector<Report> pending_;
  std::chrono::steady_clock::time_point last_hand_over_{};
  // The files of every recycle-bin item of the run, taken before the first emptying (which empties
  // them all), so that each bin's outcome says what the run did to it.
  std::map<std::string, std::optional<std::vector<std::string>>> FBinFilesBefore;
  bool FBinsListed = false;
};
