// Rule folders with wildcard components, expanded against the file system.
#include "scan/rule_paths.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "scan/scan_filters.h"
#include "tests/support/fake_file_system.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class RuleFolders : public ::testing::Test {
 protected:
  std::vector<std::string> Expand(const std::string& folder, const TExclusions& exclusions = {}) {
    return ExpandRuleFolder(files, folder, exclusions, stop);
  }
  FakeFileSystem files;
  std::atomic<bool> stop{false};
};

TEST_F(RuleFolders, WrittenFoldersStandAsTheyAreAndOnlyComponentsAfterTheRootArePatterns) {
  EXPECT_THAT(Expand("C:\\Missing\\Folder"), ElementsAre("C:\\Missing\\Folder"));
  EXPECT_FALSE(HasWildcardComponent("C:\\Users\\Anna"));
  EXPECT_TRUE(HasWildcardComponent("\\Users\\*\\AppData"));
  EXPECT_TRUE(HasWildcardComponent("C:\\Data\\Profile ?"));
  files.AddFolder("C:\\Data");
  EXPECT_THAT(Expand("*:\\Data"), IsEmpty());
  EXPECT_THAT(Expand("\\\\server\\*\\Data"), IsEmpty());
}

TEST_F(RuleFolders, EachPatternMatchesTheLongNamesOfRealFoldersAtEveryLevel) {
  const std::string data = "C:\\Users\\Anna\\AppData\\Local\\Google\\Chrome\\User Data\\";
  files.AddFolder(data + "Default\\Cache");
  files.AddFolder(data + "Profile 1\\Cache");
  files.AddFolder(data + "Profile 12");   // no Cache in it
  files.AddFile(data + "Profile 2", 10);  // a file is no profile
  files.AddFolder(data + "ProfileX");
  files.SetShortName(data + "ProfileX", "PROFIL~1");
  files.AddFolder("C:\\Users\\Bert\\AppData\\Local\\Google\\Chrome\\User Data\\Default");

  EXPECT_THAT(Expand(data + "*\\Cache"), ElementsAre(data + "Default\\Cache", data + "Profile 1\\Cache"))
      << "a written part below a pattern counts where it is a folder";
  EXPECT_THAT(Expand(data + "Profile ?"), ElementsAre(data + "Profile 1")) << "never through the 8.3 alias";
  EXPECT_THAT(Expand("C:\\Users\\*\\AppData\\Local\\Google\\Chrome\\User Data\\Def*"),
              ElementsAre(data + "Default", "C:\\Users\\Bert\\AppData\\Local\\Google\\Chrome\\User Data\\Default"));
  EXPECT_THAT(Expand("C:\\Users\\*\\AppData\\*\\Google\\*\\User Data\\*\\Cache"),
              ElementsAre(data + "Default\\Cache", data + "Profile 1\\Cache"))
      << "several levels";
  EXPECT_THAT(Expand(data + "Guest*"), IsEmpty());
  EXPECT_THAT(Expand("C:\\Nowhere\\*\\Cache"), IsEmpty());
}

TEST_F(RuleFolders, NoLinkIsFollowedFromThePatternOnAndNoExcludedFolderIsEntered) {
  const std::string data = "C:\\Local\\Chrome\\User Data\\";
  files.AddFile("C:\\Users\\Anna\\Documents\\Cache\\thesis.docx", 100);
  files.AddFolder(data + "Default\\Cache");
  files.AddJunction(data + "Profile 1", "C:\\Users\\Anna\\Documents");  // where a profile should be
  files.AddFolder(data + "Profile 2");
  files.AddJunction(data + "Profile 2\\Cache", "C:\\Users\\Anna\\Documents\\Cache");
  files.AddJunction("C:\\Local\\Linked", "C:\\Local\\Chrome");  // above the pattern: a written path

  EXPECT_THAT(Expand(data + "*\\Cache"), ElementsAre(data + "Default\\Cache"));
  EXPECT_THAT(Expand("C:\\Local\\Linked\\User Data\\*"),
              ElementsAre("C:\\Local\\Linked\\User Data\\Default", "C:\\Local\\Linked\\User Data\\Profile 2"));
  EXPECT_THAT(Expand(data + "*", TExclusions({data + "Default"})), ElementsAre(data + "Profile 2"));
  EXPECT_THAT(Expand(data + "*\\Cache", TExclusions({"C:\\Local\\Chrome"})), IsEmpty());
  stop = true;
  EXPECT_THAT(Expand(data + "*"), IsEmpty());
}

}  // namespace
