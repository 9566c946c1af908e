#pragma once
// The error type of the system: a message meant for the user, shown by the application's general
// error display when no handler catches it.
#include <stdexcept>
#include <string>

namespace platform {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

}  // namespace platform
