#include "clean/is_admin.h"

#include <optional>
#include <vector>

platform::Sid BuiltinAdministratorsSid() {
  // Revision 1, two sub-authorities, SECURITY_NT_AUTHORITY, then SECURITY_BUILTIN_DOMAIN_RID (32)
  // and DOMAIN_ALIAS_RID_ADMINS (544), each little-endian.
  return {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x20, 0x02, 0, 0};
}

namespace {

// The token-groups record must fit in this many bytes for IsAdmin; a larger one is a failed query.
constexpr size_t kGroupsBufferSize = 1024;

// The groups of the current thread's token (the process's when the thread has none).
std::optional<std::vector<platform::TokenGroup>> TokenGroups(platform::Security& security, size_t buffer_size) {
  uint32_t last_error = 0;
  // Open as self: the check is made against the process, not an impersonated user's rights to
  // the token; the impersonation token's groups are still the ones examined.
  std::optional<platform::TokenHandle> token = security.OpenThreadToken(true, &last_error);
  if (!token) {
    if (last_error != platform::kErrorNoToken) return std::nullopt;
    token = security.OpenProcessToken();
    if (!token) return std::nullopt;
  }
  auto groups = security.GetTokenGroups(*token, buffer_size);
  security.CloseToken(*token);
  return groups;
}

}  // namespace

bool IsAdmin(platform::Security& security) {
  const auto groups = TokenGroups(security, kGroupsBufferSize);
  if (!groups) return false;
  const platform::Sid administrators = BuiltinAdministratorsSid();
  for (const platform::TokenGroup& group : *groups) {
    if (group.sid == administrators) return true;
  }
  return false;
}

bool IsElevatedAdmin(platform::Security& security) {
  constexpr uint32_t kEnabled = 0x4, kDenyOnly = 0x10;  // SE_GROUP_ENABLED, SE_GROUP_USE_FOR_DENY_ONLY
  // Large enough for the groups of a domain account.
  const auto groups = TokenGroups(security, 64 * 1024);
  if (!groups) return false;
  const platform::Sid administrators = BuiltinAdministratorsSid();
  for (const platform::TokenGroup& group : *groups)
    if (group.sid == administrators && (group.attributes & kEnabled) && !(group.attributes & kDenyOnly)) return true;
  return false;
}
