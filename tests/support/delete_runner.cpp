#include "tests/support/delete_runner.h"

#include <algorithm>
#include <set>

#include "clean/delete_thread.h"
#include "tests/support/listed_item.h"
#include "tests/support/sync_queue.h"

std::vector<std::string> RunDeleteWorker(FakePlatform& fake, const std::vector<std::string>& items,
                                         const DeleteRunOptions& options) {
  SyncQueue queue;
  std::vector<std::string> events;
  auto* worker = new TDeleteThread(queue, fake.os);
  worker->FreeOnTerminate = true;
  worker->FSecureErase = options.secure_erase;
  worker->FFilters = options.filters;
  worker->FOnKept = [&](const std::string& item, TKeptReason) { events.push_back("kept " + item); };
  worker->FOnItemStarted = [&](const std::string& item) {
    events.push_back("started " + item);
    if (options.on_started) options.on_started(item);
  };
  worker->FOnFileDeleted = [&](const std::string& item) { events.push_back("file " + item); };
  worker->FOnFolderDeleted = [&](const std::string& item) { events.push_back("folder " + item); };
  worker->FOnPartialDelete = [&](const std::string& item, const std::vector<std::string>& left) {
    std::string text = "partial " + item + ":";
    for (size_t i = 0; i < left.size(); ++i) text += (i ? "|" : " ") + left[i];
    events.push_back(text);
  };
  worker->FOnCannotDelete = [&](const std::string& item, const std::string& reason) {
    events.push_back("cannot " + item + ": " + reason);
  };
  worker->FOnFinished = [&] { events.push_back("finished"); };
  if (options.on_batch_end) worker->FOnBatchEnd = options.on_batch_end;
  std::set<std::string> reached;
  // An item is reached when the worker first asks for its attributes or opens it, whichever comes first.
  const auto reach = [&](const std::string& path) {
    if (std::find(items.begin(), items.end(), path) != items.end() && reached.insert(path).second)
      options.on_reached(path);
  };
  if (options.on_reached) fake.files.on_attributes = fake.files.on_open_for_deletion = reach;
  if (options.listed) {
    worker->SetJob(ListedItems(fake.files, items));
  } else {
    worker->SetJobList(items);
  }
  worker->Resume();
  queue.PumpUntilIdle();
  fake.files.on_attributes = fake.files.on_open_for_deletion = nullptr;
  return events;
}
