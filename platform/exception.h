#pragma once
// The error type of the system: a message meant for the user, shown by the application's general
// error display when no handler catches it.
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/text.h"

namespace platform {

// Marks an English message pattern for the translations below the widget layer, which cannot
// look it up itself: the error display does (see Exception's pattern).
constexpr const char* TrLater(const char* pattern) { return pattern; }

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  // A message from an English pattern with %1 ... %9 and its arguments: what() is the English
  // text, and the error display shows the pattern's translation with the same arguments.
  Exception(const char* pattern, std::vector<std::string> args)
      : std::runtime_error(FillPlaceholders(pattern, {args.begin(), args.end()})),
        pattern_(pattern),
        args_(std::move(args)) {}
  std::string Message() const { return what(); }
  const std::string& Pattern() const { return pattern_; }
  const std::vector<std::string>& Args() const { return args_; }

 private:
  std::string pattern_;
  std::vector<std::string> args_;
};

}  // namespace platform
