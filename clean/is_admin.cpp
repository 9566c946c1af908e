#include "clean/is_admin.h"

namespace {

// The token-groups record must fit in this many bytes; a larger one is a failed query.
constexpr size_t kGroupsBufferSize = 1024;

}  // namespace

platform::Sid BuiltinAdministratorsSid() {
  // Revision 1, two sub-authorities, SECURITY_NT_AUTHORITY, then SECURITY_BUILTIN_DOMAIN_RID (32)
  // and DOMAIN_ALIAS_RID_ADMINS (544), each little-endian.
  return {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x20, 0x02, 0, 0};
}

bool IsAdmin(platform::Security& security) {
  uint32_t last_error = 0;
  // Open as self: the check is made against the process, not an impersonated user's rights to
  // the token; the impersonation token's groups are still the ones examined.
  std::optional<platform::TokenHandle> token = security.OpenThreadToken(true, &last_error);
  if (!token) {
    if (last_error != platform::kErrorNoToken) return false;
    token = security.OpenProcessToken();
    if (!token) return false;
  }
  const auto groups = security.GetTokenGroups(*token, kGroupsBufferSize);
  security.CloseToken(*token);
  if (!groups) return false;
  const platform::Sid administrators = BuiltinAdministratorsSid();
  for (const platform::TokenGroup& group : *groups) {
    if (group.sid == administrators) return true;
  }
  return false;
}
