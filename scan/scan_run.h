#pragma once
// TScanRun: one scan, from its start to the worker's end report. It owns the scan worker,
// records every object found and passes the reports on to the main window. Main thread only;
// the worker's reports reach it through Synchronize.
//
// At most one scan worker exists at a time: the owner waits for a run's worker (WaitForWorker)
// before it starts another. An abandoned run passes nothing on any more, so that a window that is
// closing never sees a report again.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/file_system.h"
#include "platform/main_thread.h"
#include "platform/system_info.h"
#include "scan/trace_definitions.h"

class TSearchInThread;

// Objects smaller than this many bytes are recorded but not listed, unless the user chose otherwise.
constexpr int64_t kDefaultNoiseLevel = 4096;

// The noise level as the options dialog holds it: a text that is not a whole number counts as the
// default, so that every report still reaches the list and the scan its end.
int64_t ParseNoiseLevel(const std::string& text);

struct TScanRunEvents {
  std::function<void(const std::string& Folder)> OnCurrentFolder;
  // After the object has been recorded (FoundPaths().back() is Path).
  std::function<void(const std::string& Path, int64_t Size)> OnFoundObject;
  // Set, the run keeps the listed objects that have no row yet (TakeRows) and calls this when
  // the first of them arrives after none: the window shows rows in turns of its own, while the
  // worker walks on, instead of making them while the worker waits in its report.
  std::function<void()> OnRowsPending;
  std::function<void()> OnFinished;
};

class TScanRun {
 public:
  TScanRun(platform::MainThread& main_thread, platform::FileSystem& files, platform::DebugOutput& debug,
           int64_t noise_level, TScanRunEvents events);
  // Abandons the run and waits for its worker.
  ~TScanRun();
  TScanRun(const TScanRun&) = delete;
  TScanRun& operator=(const TScanRun&) = delete;

  // Hands the job to a new worker and resumes it. Call once.
  void Start(const TScanJob& job);
  // "Stop Scanning": the worker stops within one folder; the reports it still sends arrive.
  void Stop();
  // Stops the worker and drops every report it sends from now on.
  void Abandon();
  // Returns once the worker has ended, running the reports it sends meanwhile.
  void WaitForWorker();
  // Started and not yet ended.
  bool WorkerRunning() const;

  int64_t NoiseLevel() const { return noise_level_; }
  bool Listed(int64_t size) const { return size >= noise_level_; }
  // Every object recorded, in the order found, with its size and its file id (0 where unknown).
  const std::vector<std::string>& FoundPaths() const { return found_paths_; }
  const std::vector<int64_t>& FoundSizes() const { return found_sizes_; }
  const std::vector<platform::FileId>& FoundIds() const { return found_ids_; }
  // Whether Path was found as a folder (letter case ignored); false for files and unknown paths.
  bool FoundAsFolder(const std::string& Path) const;
  double TotalSizeMB() const { return total_size_mb_; }

  // The summary labels as of the latest listed object (objects below the noise level move them
  // only once a later object is listed). ShownTotalsChanged tells whether they moved since the
  // last call that reset it.
  // "Traces Found": "listed ( recorded )".
  std::string TracesFoundText() const;
  // "Summary Size": the megabytes of every recorded object, listed or not.
  std::string SummarySizeText(char decimal_separator) const;
  bool TakeShownTotalsChanged();

  // Listed objects still without a row (only with OnRowsPending set; none once abandoned).
  bool RowsPending() const { return next_row_ < unshown_rows_.size(); }
  // Hands at most `most` of them to show, in the order found, each once.
  using TShowRow = std::function<void(const std::string& Path, int64_t Size, platform::FileId Id)>;
  void TakeRows(size_t most, const TShowRow& show);

 private:
  void FoundObject(const std::string& path, int64_t size, bool folder, platform::FileId id);

  platform::MainThread& main_thread_;
  platform::FileSystem& files_;
  platform::DebugOutput& debug_;
  const int64_t noise_level_;
  TScanRunEvents events_;
  std::unique_ptr<TSearchInThread> worker_;
  bool abandoned_ = false;
  std::vector<std::string> found_paths_;
  std::vector<int64_t> found_sizes_;
  std::vector<platform::FileId> found_ids_;
  std::unordered_set<std::string> found_folders_;  // upper case
  double total_size_mb_ = 0;
  // At the latest listed object.
  size_t listed_ = 0;
  size_t shown_recorded_ = 0;
  double shown_size_mb_ = 0;
  bool shown_changed_ = false;
  struct UnshownRow {
    size_t found;  // index into found_paths_
    int64_t size;
  };
  std::vector<UnshownRow> unshown_rows_;
  size_t next_row_ = 0;
};

// The text of the tray balloon at the end of a scan.
std::string ScanFinishedBalloon(int listed);
