#pragma once
// Runs one delete worker on the fake platform and returns its notifications as text, in order:
// "started X", "file X", "folder X", "partial X: a|b", "cannot X: Unknown", "finished".
#include <functional>
#include <string>
#include <vector>

#include "tests/support/fake_platform.h"

struct DeleteRunOptions {
  bool secure_erase = false;
  std::function<void(const std::string&)> on_started;  // runs in the FOnItemStarted handler
};

std::vector<std::string> RunDeleteWorker(FakePlatform& fake, const std::vector<std::string>& items,
                                         const DeleteRunOptions& options = {});
