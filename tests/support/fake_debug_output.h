#pragma once
// The debugger output as a test double: every line written, from any thread, kept in order.
#include <mutex>
#include <string>
#include <vector>

#include "platform/platform.h"

class FakeDebugOutput : public platform::DebugOutput {
 public:
  void Write(const std::string& text) override;
  std::vector<std::string> Lines();

 private:
  std::mutex mutex_;
  std::vector<std::string> lines_;
};
