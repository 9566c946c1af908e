// Access-token queries over advapi32, for the administrator check.
#include <windows.h>

#include <vector>

#include "platform/win32/win32_platform.h"

namespace platform::win32 {
namespace {

TokenHandle ToToken(HANDLE handle) { return reinterpret_cast<TokenHandle>(handle); }
HANDLE ToHandle(TokenHandle token) { return reinterpret_cast<HANDLE>(token); }

class Win32Security : public Security {
 public:
  std::optional<TokenHandle> OpenThreadToken(bool open_as_self, uint32_t* last_error) override {
    HANDLE token = nullptr;
    if (!::OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, open_as_self ? TRUE : FALSE, &token)) {
      if (last_error) *last_error = GetLastError();
      return std::nullopt;
    }
    return ToToken(token);
  }

  std::optional<TokenHandle> OpenProcessToken() override {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return std::nullopt;
    return ToToken(token);
  }

  // The record is read into a buffer of exactly buffer_size bytes, so a token whose groups do
  // not fit fails here as the caller expects; the SIDs are then copied out of it.
  std::optional<std::vector<TokenGroup>> GetTokenGroups(TokenHandle token, size_t buffer_size) override {
    if (buffer_size < sizeof(TOKEN_GROUPS)) return std::nullopt;
    // DWORD elements keep the record aligned for its pointers.
    std::vector<DWORD> buffer((buffer_size + sizeof(DWORD) - 1) / sizeof(DWORD));
    DWORD returned = 0;
    if (!GetTokenInformation(ToHandle(token), TokenGroups, buffer.data(), static_cast<DWORD>(buffer_size), &returned)) {
      return std::nullopt;
    }
    const auto* record = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
    std::vector<TokenGroup> groups;
    groups.reserve(record->GroupCount);
    for (DWORD i = 0; i < record->GroupCount; ++i) {
      PSID sid = record->Groups[i].Sid;
      if (!sid || !IsValidSid(sid)) continue;
      const auto* bytes = static_cast<const uint8_t*>(sid);
      TokenGroup group;
      group.sid.assign(bytes, bytes + GetLengthSid(sid));
      group.attributes = record->Groups[i].Attributes;
      groups.push_back(std::move(group));
    }
    return groups;
  }

  void CloseToken(TokenHandle token) override { CloseHandle(ToHandle(token)); }
};

}  // namespace

std::unique_ptr<Security> CreateSecurity() { return std::make_unique<Win32Security>(); }

}  // namespace platform::win32
