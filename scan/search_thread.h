#pragma once
// TSearchInThread: runs one scan job on a worker thread. On each drive it walks the folders of
// all the rules at once: each folder is listed once, and every rule whose scope covers it (its own
// folder; every folder below that for a recursive rule) takes its matches from that listing. It
// reports the folders it enters, every garbage object found (path and byte size) and the end,
// through Synchronize while it waits. Two rules that match the same object report it twice.
//
// Reports are handed over in batches: found objects in the order they were found, at most
// kBatchObjects at a time and at least every kBatchInterval while objects arrive, each batch
// followed by the folder entered last (a label shows it; nobody reads a folder a millisecond).
// One hand-off per folder and per object made the walk run at the pace of the main window.
//
// The walk never enters reparse points (junctions, symbolic links, mount points) and never reports
// one: Vista's profile junctions point back at their parents, and a link to another disk would
// carry the scan, and later the cleaning, outside the rule's folder. Paths of the platform's limit
// or longer are neither reported nor entered. An excluded folder is never entered, and no object
// that the filters keep (excluded, or changed too recently) is reported.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/system_info.h"
#include "platform/thread.h"
#include "scan/scan_filters.h"

// Folder: the object was found as a folder (by a folders rule), not as a file. Id: its file id as
// the listing gave it (0 where unknown), by which the cleaning knows it is still the same object.
using TFoundObjectEvent = std::function<void(const std::string& Path, int64_t Size, bool Folder, platform::FileId Id)>;
using TSearchFinishedEvent = std::function<void()>;
using TCurrentFolderEvent = std::function<void(const std::string& Folder)>;
using TBatchEndEvent = std::function<void()>;

class TSearchInThread : public platform::TThread {
 public:
  static constexpr size_t kBatchObjects = 1000;
  static constexpr std::chrono::milliseconds kBatchInterval{50};

  TSearchInThread(platform::MainThread& main_thread, platform::FileSystem& files, platform::DebugOutput& debug);

  // Copies the job; called once on the main thread before Resume. Rule lists of unequal length
  // give as many rules as the shortest has entries.
  void SetSearchJob(const std::vector<std::string>& Paths, const std::vector<std::string>& Templates,
                    const std::vector<std::string>& Types, const std::vector<std::string>& SearchRules,
                    const std::vector<std::string>& Drives);

  // Written by the main thread, polled by the worker; the worker sets it too when it ends.
  std::atomic<bool> FStopSearch{false};
  // Each batch calls FOnFoundObject for its objects in order, then FOnCurrentFolder with the
  // folder entered last when that changed, then FOnBatchEnd (where summary labels are best
  // refreshed once). Unset callbacks are skipped.
  TFoundObjectEvent FOnFoundObject;
  TSearchFinishedEvent FOnSearchFinished;
  TCurrentFolderEvent FOnCurrentFolder;
  TBatchEndEvent FOnBatchEnd;
  std::vector<std::string> FPaths;
  std::vector<std::string> FTemplates;
  std::vector<std::string> FTypes;
  std::vector<std::string> FSearchRules;
  std::vector<std::string> FDrives;
  // Set before Resume.
  TScanFilters FFilters;
  // Whether each drive's listings may come from its file table (see TScanJob).
  bool FReadFileTables = false;

 protected:
  // If a report fails (its handler throws), the walk stops there; the finished report still comes.
  void Execute() override;

 private:
  using Clock = std::chrono::steady_clock;
  struct FoundObject {
    std::string path;
    int64_t size;
    bool folder;
    platform::FileId id;
  };
  struct Rule {
    std::string templ;
    bool folders_only, recursive, usable;
  };
  // The rules that start at one folder.
  struct Root {
    std::string folder;
    std::vector<size_t> rules;
    bool walked = false;
  };
  void SearchAllRules();
  // Every rule's folder on one drive, wildcard components expanded, walked once.
  void SearchDrive(const std::string& Drive);
  void UseFileTable(const std::string& Drive);
  // Walks Folder for the rules inherited from above (recursive ones) and those that start there.
  void SearchInFolder(const std::string& Folder, std::vector<size_t> Active);
  void ReportMatches(const std::string& F, const std::vector<platform::FindEntry>& Entries,
                     const std::vector<size_t>& Active);
  // Hands the pending reports over when a batch is full or due; with force, whenever any is pending.
  void HandOver(bool force);
  void DoBatch();
  void DoSearchFinished();
  std::vector<platform::FindEntry> List(const std::string& pattern_path);

  // The system's file system, and what the walk lists with: it, or for the drive being walked a
  // file system answering from that drive's file table.
  platform::FileSystem& system_files_;
  platform::FileSystem* files_;
  std::unique_ptr<platform::FileSystem> drive_table_;
  platform::DebugOutput& debug_;
  // The drive being walked: its rules, and the folders they start at by upper-case path.
  std::vector<Rule> rules_;
  std::map<std::string, Root> roots_;
  // The pending batch: filled by the worker, read by the main thread only inside Synchronize.
  std::vector<FoundObject> found_;
  std::string current_folder_;
  bool folder_pending_ = false;
  Clock::time_point last_hand_over_{};

  // What the debug output is told at the end: how long the walk took and what held it.
  Clock::duration listing_time_{};
  int64_t folders_ = 0;
  int64_t objects_ = 0;
};

// Total content length of the files in Path (and below it when Recursive); 0 when it cannot be
// listed. Never descends into folders whose names begin with "." or into reparse points.
int64_t GetFolderSize(platform::FileSystem& files, const std::string& Path, bool Recursive);
// Length of the file named by Path, hidden and system files included; 0 for folders and misses.
int64_t GetFileSizeByName(platform::FileSystem& files, const std::string& Path);
