#pragma once
// Access-token queries for the administrator check.
#include <cstdint>
#include <optional>
#include <vector>

namespace platform {

using TokenHandle = uintptr_t;

// A security identifier in its binary form (revision, count, authority, sub-authorities).
using Sid = std::vector<uint8_t>;

struct TokenGroup {
  Sid sid;
  uint32_t attributes = 0;  // SE_GROUP_ flags
};

class Security {
 public:
  virtual ~Security() = default;
  // OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, open_as_self); on failure *last_error
  // holds GetLastError (ERROR_NO_TOKEN, 1008, when the thread has none).
  virtual std::optional<TokenHandle> OpenThreadToken(bool open_as_self, uint32_t* last_error) = 0;
  // OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY).
  virtual std::optional<TokenHandle> OpenProcessToken() = 0;
  // GetTokenInformation(TokenGroups) into a buffer of buffer_size bytes: the groups in the
  // token's order, or nothing when the query fails (a list larger than the buffer included).
  virtual std::optional<std::vector<TokenGroup>> GetTokenGroups(TokenHandle token, size_t buffer_size) = 0;
  virtual void CloseToken(TokenHandle token) = 0;
};

enum : uint32_t { kErrorNoToken = 1008 };

}  // namespace platform
