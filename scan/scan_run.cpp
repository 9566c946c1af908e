#include "scan/scan_run.h"

#include <algorithm>
#include <utility>

#include "platform/text.h"
#include "scan/search_thread.h"
#include "scan/size_text.h"
#include "ui/tr.h"

int64_t ParseNoiseLevel(const std::string& text) {
  return platform::StrToInt64(platform::Trim(text)).value_or(kDefaultNoiseLevel);
}

TScanRun::TScanRun(platform::MainThread& main_thread, platform::FileSystem& files, platform::DebugOutput& debug,
                   int64_t noise_level, TScanRunEvents events)
    : main_thread_(main_thread), files_(files), debug_(debug), noise_level_(noise_level), events_(std::move(events)) {}

TScanRun::~TScanRun() {
  Abandon();
  WaitForWorker();
}

void TScanRun::Start(const TScanJob& job) {
  if (worker_) return;
  worker_ = std::make_unique<TSearchInThread>(main_thread_, files_, debug_);
  worker_->FOnFoundObject = [this](const std::string& path, int64_t size, bool folder, platform::FileId id) {
    FoundObject(path, size, folder, id);
  };
  worker_->FOnCurrentFolder = [this](const std::string& folder) {
    if (!abandoned_ && events_.OnCurrentFolder) events_.OnCurrentFolder(folder);
  };
  worker_->FOnSearchFinished = [this] {
    if (!abandoned_ && events_.OnFinished) events_.OnFinished();
  };
  worker_->SetSearchJob(job.Paths, job.Templates, job.Types, job.SearchRules, job.Drives);
  worker_->FFilters = job.Filters;
  worker_->FReadFileTables = job.ReadFileTables;
  worker_->Resume();
}

void TScanRun::Stop() {
  if (worker_) worker_->FStopSearch = true;
}

void TScanRun::Abandon() {
  abandoned_ = true;
  unshown_rows_.clear();
  next_row_ = 0;
  Stop();
}

void TScanRun::WaitForWorker() {
  if (worker_) worker_->WaitFor();
}

bool TScanRun::WorkerRunning() const { return worker_ && !worker_->Finished(); }

void TScanRun::FoundObject(const std::string& path, int64_t size, bool folder, platform::FileId id) {
  if (abandoned_) return;
  if (folder) found_folders_.insert(platform::UpperCase(path));
  found_paths_.push_back(path);
  found_sizes_.push_back(size);
  found_ids_.push_back(id);
  total_size_mb_ += static_cast<double>(size) / kBytesPerMegabyte;
  if (Listed(size)) {
    ++listed_;
    shown_recorded_ = found_paths_.size();
    shown_size_mb_ = total_size_mb_;
    shown_changed_ = true;
    if (events_.OnRowsPending) {
      unshown_rows_.push_back({found_paths_.size() - 1, size});
      if (unshown_rows_.size() - next_row_ == 1) events_.OnRowsPending();
    }
  }
  if (events_.OnFoundObject) events_.OnFoundObject(path, size);
}

void TScanRun::TakeRows(size_t most, const TShowRow& show) {
  const size_t end = next_row_ + std::min(most, unshown_rows_.size() - next_row_);
  while (next_row_ < end) {
    const UnshownRow row = unshown_rows_[next_row_++];
    show(found_paths_[row.found], row.size, found_ids_[row.found]);
  }
  if (next_row_ == unshown_rows_.size()) {
    unshown_rows_.clear();
    next_row_ = 0;
  }
}

bool TScanRun::FoundAsFolder(const std::string& Path) const {
  return !found_folders_.empty() && found_folders_.count(platform::UpperCase(Path)) != 0;
}

std::string TScanRun::TracesFoundText() const {
  return std::to_string(listed_) + " ( " + std::to_string(shown_recorded_) + " )";
}

std::string TScanRun::SummarySizeText(char decimal_separator) const {
  return MegabytesText(shown_size_mb_, decimal_separator) + " MB";
}

bool TScanRun::TakeShownTotalsChanged() { return std::exchange(shown_changed_, false); }

std::string ScanFinishedBalloon(int listed) {
  // English says "objects" for every count; other languages have their own forms.
  return ui::Tr("Scan finished.") + " \n\r" +
         ui::Format(ui::TrN("%1 garbage objects found.", "%1 garbage objects found.", static_cast<uint64_t>(listed)),
                    {std::to_string(listed)});
}
