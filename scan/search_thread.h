#pragma once
// TSearchInThread: runs one scan job on a worker thread. It walks each rule on each drive, reports
// every folder entered, every garbage object found (path and byte size) and the end, each through
// Synchronize while it waits, and stops when FStopSearch is set.
//
// The walk never enters reparse points (junctions, symbolic links, mount points) and never reports
// one: Vista's profile junctions point back at their parents, and a link to another disk would
// carry the scan, and later the cleaning, outside the rule's folder. Paths of the platform's limit
// or longer are neither reported nor entered.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/system_info.h"
#include "platform/thread.h"

using TFoundObjectEvent = std::function<void(const std::string& Path, int64_t Size)>;
using TSearchFinishedEvent = std::function<void()>;
using TCurrentFolderEvent = std::function<void(const std::string& Folder)>;

class TSearchInThread : public platform::TThread {
 public:
  TSearchInThread(platform::MainThread& main_thread, platform::FileSystem& files, platform::DebugOutput& debug);

  // Copies the job; called once on the main thread before Resume. Rule lists of unequal length
  // give as many rules as the shortest has entries.
  void SetSearchJob(const std::vector<std::string>& Paths, const std::vector<std::string>& Templates,
                    const std::vector<std::string>& Types, const std::vector<std::string>& SearchRules,
                    const std::vector<std::string>& Drives);

  std::string FFoundObject;
  int64_t FFoundObjectSize = 0;
  // Written by the main thread, polled by the worker; the worker sets it too when it ends.
  std::atomic<bool> FStopSearch{false};
  TFoundObjectEvent FOnFoundObject;
  TSearchFinishedEvent FOnSearchFinished;
  TCurrentFolderEvent FOnCurrentFolder;
  std::string FCurrentFolder;
  std::vector<std::string> FPaths;
  std::vector<std::string> FTemplates;
  std::vector<std::string> FTypes;
  std::vector<std::string> FSearchRules;
  std::vector<std::string> FDrives;

 protected:
  // If a report fails (its handler throws), the walk stops there; the finished report still comes.
  void Execute() override;

 private:
  void SearchAllRules();
  void SearchInFolder(const std::string& Folder, const std::string& Template, bool FoldersOnly, bool Recursive);
  void DoCurrentFolder();
  void DoFoundObject();
  void DoSearchFinished();
  platform::FileSystem& files_;
  platform::DebugOutput& debug_;
};

// Total content length of the files in Path (and below it when Recursive); 0 when it cannot be
// listed. Never descends into folders whose names begin with "." or into reparse points.
int64_t GetFolderSize(platform::FileSystem& files, const std::string& Path, bool Recursive);
// Length of the file named by Path, hidden and system files included; 0 for folders and misses.
int64_t GetFileSizeByName(platform::FileSystem& files, const std::string& Path);
