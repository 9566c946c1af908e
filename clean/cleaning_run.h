#pragma once
// TCleaningRun: one cleaning run, from the start of the delete worker to its end report. It owns
// the worker and turns each report into the text of the row's 'Cleaning Status' column. Main
// thread only; the worker's reports reach it through Synchronize.
//
// An abandoned run (the window is closing) lets the item in progress finish, starts no other
// and passes nothing on any more.
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "clean/clean_item.h"
#include "platform/main_thread.h"
#include "platform/platform.h"
#include "scan/scan_filters.h"
#include "ui/tr.h"

class TDeleteThread;
class TPathIndex;

struct TCleaningRunEvents {
  std::function<void(const std::string& Item)> OnItemStarted;
  // The item's outcome, as its row shows it ("File Deleted", "Partial Delete ( 40% )", ...).
  std::function<void(const std::string& Item, const std::string& Status)> OnOutcome;
  // After each batch of reports: the place to show the item reached last, once.
  std::function<void()> OnBatchEnd;
  std::function<void()> OnFinished;
};

class TCleaningRun {
 public:
  // The outcomes of an item besides "Partial Delete ( N% )": English, as the reports keep them;
  // a row shows each in the user's language.
  static constexpr const char* kFileDeleted = ui::TrNoop("File Deleted");
  static constexpr const char* kFolderDeleted = ui::TrNoop("Folder Deleted");
  static constexpr const char* kCannotDelete = ui::TrNoop("Cannot Delete");
  static constexpr const char* kChangedRecently = ui::TrNoop("Changed Recently");
  static constexpr const char* kExcluded = ui::TrNoop("Excluded");
  static constexpr std::array<const char*, 5> kOutcomes = {kFileDeleted, kFolderDeleted, kCannotDelete,
                                                           kChangedRecently, kExcluded};

  TCleaningRun(platform::MainThread& main_thread, platform::Platform& os, TCleaningRunEvents events);
  // Abandons the run and waits for its worker.
  ~TCleaningRun();
  TCleaningRun(const TCleaningRun&) = delete;
  TCleaningRun& operator=(const TCleaningRun&) = delete;

  // Hands the items to a new worker and resumes it; each path is deleted once (letter case
  // ignored), in the order given; with SecureErase, for good (see TDeleteThread). What the filters
  // keep is left alone ("Excluded", "Changed Recently"). Call once.
  void Start(std::vector<TCleanItem> Items, bool SecureErase = false, const TScanFilters& Filters = {});
  void Abandon();
  // Returns once the worker has ended, running the reports it sends meanwhile.
  void WaitForWorker();
  bool WorkerRunning() const;

  // The worker's reports, also callable on their own.
  void FileDeleted(const std::string& Item);
  void FolderDeleted(const std::string& Item);
  void PartialDelete(const std::string& Item, const std::vector<std::string>& FilesLeft);
  void CannotDelete(const std::string& Item);
  void Kept(const std::string& Item, TKeptReason Reason);

  // The items whose outcome left something of them behind ("Cannot Delete", "Partial Delete"),
  // once each, in the order of their outcomes: what removal at the next restart could take.
  const std::vector<std::string>& Unfinished() const { return unfinished_; }

 private:
  void Outcome(const std::string& item, const std::string& status);

  platform::MainThread& main_thread_;
  platform::Platform& os_;
  TCleaningRunEvents events_;
  std::unique_ptr<TDeleteThread> worker_;
  bool abandoned_ = false;
  // Over the worker's items, whose first of a path is its row.
  std::unique_ptr<TPathIndex> first_of_path_;
  std::vector<std::string> unfinished_;
  std::set<std::string> unfinished_keys_;  // upper case
};

// The share of the listed size that is gone, as a whole percentage (may be negative when files
// grew after the scan); "0" when the listed size is 0 or cannot be read.
std::string DeletedPercentage(double left_mb, double listed_mb);
// The megabytes a row's size text stands for ("512 Bytes", "0.0039072"); 0 when unreadable.
double ListedMegabytes(const std::string& size_text, char decimal_separator);
