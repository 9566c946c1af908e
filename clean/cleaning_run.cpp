#include "clean/cleaning_run.h"

#include <cmath>
#include <cstdio>
#include <utility>

#include "clean/delete_thread.h"
#include "clean/path_index.h"
#include "platform/text.h"
#include "scan/search_thread.h"

namespace {

constexpr double kMegabyte = 1048576.0;

double RoundHalfEven(double value) {
  const double floor = std::floor(value);
  const double fraction = value - floor;
  if (fraction > 0.5) return floor + 1;
  if (fraction < 0.5) return floor;
  return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

}  // namespace

// Not clamped: files that grew after the scan give a negative figure. A listed size of 0 leaves
// nothing to measure against: nothing of it can have been freed, so the share is 0, which never
// claims more than was done ("Partial Delete" already says that files remain).
std::string DeletedPercentage(double left_mb, double listed_mb) {
  if (!(listed_mb > 0) || !std::isfinite(listed_mb)) return "0";
  const double percent = 100 - RoundHalfEven(left_mb / listed_mb * 100);
  char text[64];
  std::snprintf(text, sizeof text, "%.0f", percent + 0.0);
  return text;
}

double ListedMegabytes(const std::string& size_text, char decimal_separator) {
  std::string figure = platform::ReplaceAllIgnoreCase(size_text, "bytes", "");
  std::erase(figure, ' ');
  double listed = platform::StrToFloat(figure, decimal_separator).value_or(0);
  if (platform::ContainsText(size_text, "Bytes")) listed /= kMegabyte;
  return listed;
}

TCleaningRun::TCleaningRun(platform::MainThread& main_thread, platform::Platform& os, TCleaningRunEvents events)
    : main_thread_(main_thread), os_(os), events_(std::move(events)) {}

TCleaningRun::~TCleaningRun() {
  Abandon();
  WaitForWorker();
}

void TCleaningRun::Start(std::vector<TCleanItem> Items, bool SecureErase, const TScanFilters& Filters) {
  if (worker_) return;
  worker_ = std::make_unique<TDeleteThread>(main_thread_, os_);
  worker_->FSecureErase = SecureErase;
  worker_->FFilters = Filters;
  worker_->FOnKept = [this](const std::string& item, TKeptReason reason) { Kept(item, reason); };
  worker_->FOnItemStarted = [this](const std::string& item) {
    if (!abandoned_ && events_.OnItemStarted) events_.OnItemStarted(item);
  };
  worker_->FOnFileDeleted = [this](const std::string& item) { FileDeleted(item); };
  worker_->FOnFolderDeleted = [this](const std::string& item) { FolderDeleted(item); };
  worker_->FOnPartialDelete = [this](const std::string& item, const std::vector<std::string>& left) {
    PartialDelete(item, left);
  };
  worker_->FOnCannotDelete = [this](const std::string& item, const std::string&) { CannotDelete(item); };
  worker_->FOnBatchEnd = [this] {
    if (!abandoned_ && events_.OnBatchEnd) events_.OnBatchEnd();
  };
  worker_->FOnFinished = [this] {
    if (!abandoned_ && events_.OnFinished) events_.OnFinished();
  };
  // Handed over whole, with nothing looked at: the window waits for this, and "Clean All" may hand
  // over 190,000 rows. The worker finds the paths listed twice itself.
  worker_->SetJob(std::move(Items));
  worker_->Resume();
}

void TCleaningRun::Abandon() {
  abandoned_ = true;
  // Read by the worker before each item: the one in progress finishes, no other starts.
  if (worker_) worker_->FStopped = true;
}

void TCleaningRun::WaitForWorker() {
  if (worker_) worker_->WaitFor();
}

bool TCleaningRun::WorkerRunning() const { return worker_ && !worker_->Finished(); }

void TCleaningRun::Outcome(const std::string& item, const std::string& status) {
  if ((status.starts_with("Cannot Delete") || status.starts_with("Partial Delete")) &&
      unfinished_keys_.insert(platform::UpperCase(item)).second)
    unfinished_.push_back(item);
  if (!abandoned_ && events_.OnOutcome) events_.OnOutcome(item, status);
}

void TCleaningRun::FileDeleted(const std::string& Item) { Outcome(Item, kFileDeleted); }

void TCleaningRun::FolderDeleted(const std::string& Item) { Outcome(Item, kFolderDeleted); }

void TCleaningRun::PartialDelete(const std::string& Item, const std::vector<std::string>& FilesLeft) {
  if (abandoned_) return;
  platform::FileSystem& files = os_.files;
  platform::DebugOutput& debug = os_.debug;
  const char separator = os_.system.DecimalSeparator();

  double left = 0;
  for (const std::string& path : FilesLeft) {
    if (!files.FileExists(path)) continue;
    left += static_cast<double>(GetFileSizeByName(files, path));
    debug.Write("Main T (Partial Delete):  " + platform::FormatGeneral(left, 15, separator) + " ++++ " + path);
  }
  left /= kMegabyte;

  // The worker's list does not change while it runs, so the index can refer to it. Made at the
  // first partial deletion: most runs have none.
  if (worker_ && !first_of_path_) first_of_path_ = std::make_unique<TPathIndex>(worker_->FJob);
  const size_t row = first_of_path_ ? first_of_path_->Find(Item) : TPathIndex::npos;
  if (row == TPathIndex::npos) {
    debug.Write("Node nil");
    return;
  }
  const std::string& size_text = worker_->FJob[row].SizeText;
  const double listed = ListedMegabytes(size_text, separator);
  debug.Write("Main T (Partial Delete):  " + platform::FormatGeneral(left, 15, separator) + " ---- " + size_text);
  Outcome(Item, "Partial Delete ( " + DeletedPercentage(left, listed) + "% )");
}

void TCleaningRun::CannotDelete(const std::string& Item) {
  Outcome(Item, kCannotDelete);
  os_.debug.Write("Main T (Cannot Delete) " + Item);
}

void TCleaningRun::Kept(const std::string& Item, TKeptReason Reason) {
  Outcome(Item, Reason == TKeptReason::kChangedRecently ? kChangedRecently : kExcluded);
}
