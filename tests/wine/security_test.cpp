// The access-token service and the administrator check against the real advapi32.
#include <windows.h>

#include <gtest/gtest.h>

#include "clean/is_admin.h"
#include "platform/win32/win32_platform.h"

namespace {

TEST(SecurityWin32Test, ProcessTokenGroupsAreCopiedOutAsValidSids) {
  auto security = platform::win32::CreateSecurity();
  ASSERT_TRUE(security);
  uint32_t error = 0;
  // The test thread does not impersonate anyone.
  EXPECT_FALSE(security->OpenThreadToken(true, &error));
  EXPECT_EQ(error, platform::kErrorNoToken);

  auto token = security->OpenProcessToken();
  ASSERT_TRUE(token);
  auto groups = security->GetTokenGroups(*token, 64 * 1024);
  ASSERT_TRUE(groups);
  ASSERT_FALSE(groups->empty());
  for (const platform::TokenGroup& group : *groups) {
    ASSERT_GE(group.sid.size(), 8u);
    EXPECT_EQ(group.sid[0], 1) << "revision";
    EXPECT_EQ(group.sid.size(), 8u + 4u * group.sid[1]) << "length follows the sub-authority count";
    EXPECT_TRUE(IsValidSid(const_cast<uint8_t*>(group.sid.data())));
  }
  // A buffer too small for the record is a failed query, not a cut list.
  EXPECT_FALSE(security->GetTokenGroups(*token, sizeof(DWORD) + 4));
  security->CloseToken(*token);
}

TEST(SecurityWin32Test, WinesUserIsAnAdministrator) {
  auto security = platform::win32::CreateSecurity();
  ASSERT_TRUE(security);
  auto token = security->OpenProcessToken();
  ASSERT_TRUE(token);
  auto groups = security->GetTokenGroups(*token, 64 * 1024);
  security->CloseToken(*token);
  ASSERT_TRUE(groups);
  bool listed = false;
  for (const auto& group : *groups) listed = listed || group.sid == BuiltinAdministratorsSid();
  // The check itself agrees with the full list as long as the record fits in its buffer.
  EXPECT_EQ(IsAdmin(*security), listed);
  EXPECT_TRUE(listed) << "Wine's default user belongs to the Administrators group";
}

}  // namespace
