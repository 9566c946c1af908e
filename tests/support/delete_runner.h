#pragma once
// Runs one delete worker on the fake platform and returns its notifications as text, in order:
// "started X", "file X", "folder X", "partial X: a|b", "cannot X: Unknown", "kept X", "finished".
#include <functional>
#include <string>
#include <vector>

#include "scan/scan_filters.h"
#include "tests/support/fake_platform.h"

struct DeleteRunOptions {
  bool secure_erase = false;
  TScanFilters filters;
  std::function<void(const std::string&)> on_started;  // runs in the FOnItemStarted handler
  // Runs as the worker first looks at an item, before any check: a test changes the item there,
  // as another program might between the scan and the cleaning.
  std::function<void(const std::string&)> on_reached;
  std::function<void()> on_batch_end;
  // The items as a scan hands them over: each with its kind and the file id its folder's listing
  // gives before the run (see ListedItem).
  bool listed = false;
};

std::vector<std::string> RunDeleteWorker(FakePlatform& fake, const std::vector<std::string>& items,
                                         const DeleteRunOptions& options = {});
