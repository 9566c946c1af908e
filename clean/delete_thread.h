#pragma once
// TDeleteThread: deletes a list of garbage items one after another on a worker thread and reports
// what became of each through notifications that run on the main thread while it waits.
//
// The worker deletes only what an item names (plus the recycle bins and the URL cache for their
// own items). An item that is not an absolute path below a drive root, or that is itself a
// junction or link, is refused with FOnCannotDelete rather than interpreted.
#include <atomic>
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

  // Copies the items; called once on the main thread before Resume.
  void SetJobList(const std::vector<std::string>& Items);

  // Read by the notification handlers while the worker waits in Synchronize.
  std::string FCurrentItem;
  std::string FStartedItem;
  std::vector<std::string> FFailedFiles;
  // Written by the main thread, read by the worker before each item.
  std::atomic<bool> FStopped{false};
  std::vector<std::string> FJobItems;
  // Set before Resume; unset ones are skipped. If a handler throws, no further item is started,
  // but FOnFinished is still sent so that the window leaves its cleaning state.
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
  void DeleteFileByFile(const std::string& Item);
  void NotifyItemStarted();
  void NotifyFileDeleted();
  void NotifyFolderDeleted();
  void NotifyPartialDelete();
  void NotifyCannotDelete();
  void NotifyFinished();
  platform::Platform& os_;
};

// True for a path this program may delete: "X:\" followed by one or more names, with no empty,
// "." or ".." component, no trailing separator, no "/", wildcards, stream colons or control
// characters, and no name ending in a dot or a space (Windows would silently strip those and
// address a different object).
bool IsDeletableItemPath(const std::string& Path);

// The deletion primitives, usable on their own.
// Moves Path to the Recycle Bin without confirmation or progress window; true when the shell
// reports success. Refuses paths that IsDeletableItemPath rejects, and turns any error into false.
bool ShellDelete(platform::Shell& shell, const std::string& Path);
// Every file below Folder, its own files first, then each subfolder's, in listing order. Works on
// full paths and never changes the process's current directory; does not descend into junctions
// or links, which lead outside the folder.
std::vector<std::string> ListFolderFiles(platform::FileSystem& files, const std::string& Folder);
// Deletes every content entry of the URL cache.
void ClearUrlCache(platform::UrlCache& cache);
