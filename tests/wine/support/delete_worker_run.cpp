#include "tests/wine/support/delete_worker_run.h"

#include <type_traits>
#include <utility>

#include "clean/delete_thread.h"
#include "platform/win32/win32_platform.h"
#include "tests/support/sync_queue.h"

namespace {

template <class Items>
std::vector<std::string> Run(Items items, bool secure_erase) {
  platform::win32::Win32Platform win32;
  SyncQueue queue;
  std::vector<std::string> events;
  auto* worker = new TDeleteThread(queue, win32.os());
  worker->FreeOnTerminate = true;
  worker->FSecureErase = secure_erase;
  worker->FOnFileDeleted = [&](const std::string& item) { events.push_back("file " + item); };
  worker->FOnFolderDeleted = [&](const std::string& item) { events.push_back("folder " + item); };
  worker->FOnPartialDelete = [&](const std::string& item, const std::vector<std::string>& left) {
    std::string text = "partial " + item + ":";
    for (const std::string& file : left) text += " " + file;
    events.push_back(text);
  };
  worker->FOnCannotDelete = [&](const std::string& item, const std::string&) { events.push_back("cannot " + item); };
  if constexpr (std::is_same_v<Items, std::vector<TCleanItem>>) {
    worker->SetJob(std::move(items));
  } else {
    worker->SetJobList(items);
  }
  worker->Resume();
  queue.PumpUntilIdle();
  return events;
}

}  // namespace

std::vector<std::string> RunDeleteWorker(const std::vector<std::string>& items, bool secure_erase) {
  return Run(items, secure_erase);
}

std::vector<std::string> RunDeleteWorker(std::vector<TCleanItem> items, bool secure_erase) {
  return Run(std::move(items), secure_erase);
}
