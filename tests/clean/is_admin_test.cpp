// The administrator check against token doubles: which token is read, how its groups are
// compared, and that every failure gives false with the token closed.
#include "clean/is_admin.h"

#include <gtest/gtest.h>

#include "tests/support/fake_platform.h"

namespace {

using platform::TokenGroup;

constexpr uint32_t kEnabled = 0x4;          // SE_GROUP_ENABLED
constexpr uint32_t kUseForDenyOnly = 0x10;  // SE_GROUP_USE_FOR_DENY_ONLY

TokenGroup Admins(uint32_t attributes = kEnabled) { return {FakeSecurity::AdministratorsSid(), attributes}; }
TokenGroup Users() { return {FakeSecurity::UsersSid(), kEnabled}; }
// S-1-1-0 (Everyone), a SID of another length before the one looked for.
TokenGroup Everyone() { return {{1, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0}, kEnabled}; }

TEST(IsAdminTest, BuiltinAdministratorsIsS_1_5_32_544) {
  EXPECT_EQ(BuiltinAdministratorsSid(), FakeSecurity::AdministratorsSid());
}

TEST(IsAdminTest, ProcessTokenIsReadWhenTheThreadHasNone) {
  FakeSecurity security;
  security.process_groups = std::vector<TokenGroup>{Everyone(), Users(), Admins()};
  EXPECT_TRUE(IsAdmin(security));
  EXPECT_EQ(security.open_as_self_args, std::vector<bool>{true});
  EXPECT_EQ(security.open_tokens, 0);

  security.process_groups = std::vector<TokenGroup>{Everyone(), Users()};
  EXPECT_FALSE(IsAdmin(security));
  EXPECT_EQ(security.open_tokens, 0);
}

TEST(IsAdminTest, AttributesAreNotExamined) {
  FakeSecurity security;
  // A filtered token keeps the group for deny checks only; it still counts.
  security.process_groups = std::vector<TokenGroup>{Users(), Admins(kUseForDenyOnly)};
  EXPECT_TRUE(IsAdmin(security));
  security.process_groups = std::vector<TokenGroup>{Admins(0)};
  EXPECT_TRUE(IsAdmin(security));
}

TEST(IsAdminTest, ImpersonationTokenWinsOverTheProcessToken) {
  FakeSecurity security;
  security.thread_groups = std::vector<TokenGroup>{Users()};
  security.process_groups = std::vector<TokenGroup>{Admins()};
  EXPECT_FALSE(IsAdmin(security));

  security.thread_groups = std::vector<TokenGroup>{Admins()};
  security.process_groups = std::vector<TokenGroup>{Users()};
  EXPECT_TRUE(IsAdmin(security));
  EXPECT_EQ(security.open_tokens, 0);
}

TEST(IsAdminTest, NoTokenGivesFalse) {
  FakeSecurity security;
  security.process_groups.reset();
  EXPECT_FALSE(IsAdmin(security));

  // A thread token that cannot be opened for another reason is not replaced by the process's.
  FakeSecurity denied;
  denied.thread_open_error = 5;  // ERROR_ACCESS_DENIED
  denied.process_groups = std::vector<TokenGroup>{Admins()};
  EXPECT_FALSE(IsAdmin(denied));
  EXPECT_EQ(denied.open_tokens, 0);
}

TEST(IsAdminTest, GroupListLargerThan1024BytesGivesFalseAndClosesTheToken) {
  // Each group takes 8 + 16 bytes after the 4-byte count: 42 groups fit (1012), 43 do not (1036).
  std::vector<TokenGroup> groups(41, Users());
  groups.push_back(Admins());
  ASSERT_EQ(FakeSecurity::RecordSize(groups), 1012u);
  FakeSecurity security;
  security.process_groups = groups;
  EXPECT_TRUE(IsAdmin(security));

  groups.insert(groups.begin(), Users());
  ASSERT_GT(FakeSecurity::RecordSize(groups), 1024u);
  security.process_groups = groups;
  EXPECT_FALSE(IsAdmin(security));
  EXPECT_EQ(security.open_tokens, 0);
}

}  // namespace
