// The templates of the trace definitions matched against long names, as the file search matches.
#include "scan/template_match.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TemplateMatch, WildcardsCaseAndDotsAsTheFileSearchTakesThem) {
  EXPECT_TRUE(TemplateMatches("*.log", "setup.LOG"));
  EXPECT_TRUE(TemplateMatches("*.log", ".log"));
  EXPECT_FALSE(TemplateMatches("*.log", "report.logging"));
  EXPECT_FALSE(TemplateMatches("*.log", "log"));
  EXPECT_TRUE(TemplateMatches("setupapi*.log", "SetupAPI.dev.log"));
  EXPECT_FALSE(TemplateMatches("setupapi*.log", "setupap.log"));
  EXPECT_TRUE(TemplateMatches("$NtUninstall*$", "$NtUninstallKB123$"));
  EXPECT_FALSE(TemplateMatches("$NtUninstall*$", "$NtUninstallKB123"));
  EXPECT_TRUE(TemplateMatches("S-1-*", "s-1-5-21-7"));
  EXPECT_TRUE(TemplateMatches("thumbcache_*.db", "thumbcache_256.db"));
  EXPECT_TRUE(TemplateMatches("Thumbs.db", "THUMBS.DB"));
  EXPECT_FALSE(TemplateMatches("Thumbs.db", "Thumbs.db.bak"));
  // "?" is exactly one character.
  EXPECT_TRUE(TemplateMatches("a?c", "abc"));
  EXPECT_FALSE(TemplateMatches("a?c", "ac"));
  EXPECT_FALSE(TemplateMatches("a?c", "abbc"));
  // "*" and "*.*" take every name, with or without a dot; so does a trailing ".*".
  EXPECT_TRUE(TemplateMatches("*", "no dot"));
  EXPECT_TRUE(TemplateMatches("*.*", "no dot"));
  EXPECT_TRUE(TemplateMatches("data.*", "data"));
  EXPECT_TRUE(TemplateMatches("data.*", "data.old"));
  EXPECT_FALSE(TemplateMatches("data.*", "database"));
  // Going back to the last star finds the later match.
  EXPECT_TRUE(TemplateMatches("*a*b", "aaab-ab"));
  EXPECT_FALSE(TemplateMatches("*a*a*a*a*b", std::string(200, 'a')));
  EXPECT_FALSE(TemplateMatches("", "anything"));
  EXPECT_FALSE(TemplateMatches("*.log", ""));
}

}  // namespace
