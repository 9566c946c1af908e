#pragma once
// TDeleteThread: deletes a list of garbage items one after another on a worker thread and reports
// what became of each through notifications that run on the main thread while it waits.
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/thread.h"

using TItemEvent = std::function<void(const std::string& Item)>;
using TPartialDeleteEvent = std::function<void(const std::string& Item, const std::vector<std::string>& FailedFiles)>;
using TCannotDeleteEvent = std::function<void(const std::string& Item, const std::string& Reason)>;
using TFinishedEvent = std::function<void()>;

class TDeleteThread : public platform::TThread {
 public:
  TDeleteThread(platform::MainThread& main_thread, platform::Platform& os);

  void SetJobList(const std::vector<std::string>& Items);

  std::string FCurrentItem;
  std::string FStartedItem;
  std::vector<std::string> FFailedFiles;
  bool FStopped = false;
  std::vector<std::string> FJobItems;
  TItemEvent FOnFileDeleted;
  TItemEvent FOnFolderDeleted;
  TPartialDeleteEvent FOnPartialDelete;
  TCannotDeleteEvent FOnCannotDelete;
  TFinishedEvent FOnFinished;
  TItemEvent FOnItemStarted;

 protected:
  void Execute() override;

 private:
  void DeleteItem(const std::string& Item);
  platform::Platform& os_;
};

// The deletion primitives, usable on their own.
bool ShellDelete(platform::Shell& shell, const std::string& Path);
// Every file below Folder, its own files first, then each subfolder's, in listing order.
std::vector<std::string> ListFolderFiles(platform::FileSystem& files, const std::string& Folder);
void ClearUrlCache(platform::UrlCache& cache);
