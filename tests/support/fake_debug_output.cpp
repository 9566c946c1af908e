#include "tests/support/fake_debug_output.h"

void FakeDebugOutput::Write(const std::string& text) {
  std::lock_guard lock(mutex_);
  lines_.push_back(text);
}

std::vector<std::string> FakeDebugOutput::Lines() {
  std::lock_guard lock(mutex_);
  return lines_;
}
