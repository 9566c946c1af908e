// The delete worker on the real file system against trees that changed since the scan or fight
// back: links to files, a folder swapped for a link above the item, another user's recycle bin,
// files held open without sharing, read-only files. Canaries stay intact byte for byte.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/wine/support/delete_worker_run.h"
#include "tests/wine/support/file_tree.h"
#include "tests/wine/support/unix_side.h"

using ::testing::ElementsAre;

namespace {

class DeleteHostileWine : public ::testing::Test {
 protected:
  void TearDown() override {
    // Links first: the trees' removal would take a link to a file for its target.
    for (const std::string& link : links) RemoveUnixLink(link);
  }
  bool Link(const std::string& link, const std::string& target) {
    links.push_back(link);
    return MakeUnixLink(link, target);
  }

  FileTree tree{"C:\\cxtest-hostile"};
  FileTree canary{"C:\\cxtest-hostile-canary"};
  std::vector<std::string> links;
};

TEST_F(DeleteHostileWine, ALinkToAFileLeavesItsTargetAlone) {
  const std::string keeper = canary.TextFile("thesis.docx", "my thesis");
  const std::string link = tree.Path("filelink.tmp");
  if (!Link(link, keeper)) GTEST_SKIP() << "no links here";

  EXPECT_THAT(RunDeleteWorker({link}), ElementsAre("cannot " + link));
  EXPECT_THAT(RunDeleteWorker({link}, /*secure_erase=*/true), ElementsAre("cannot " + link));

  EXPECT_EQ(ReadAll(keeper), "my thesis");
  EXPECT_TRUE(PathExists(link));
}

TEST_F(DeleteHostileWine, AFolderSwappedForALinkAboveTheItemIsNotFollowed) {
  tree.TextFile("Sub\\a.tmp", "garbage a");
  tree.TextFile("Sub\\Inner\\b.tmp", "garbage b");
  const std::string canary_a = canary.TextFile("a.tmp", "canary a");
  const std::string canary_b = canary.TextFile("Inner\\b.tmp", "canary b");
  // Between the scan and the cleaning, Sub becomes a link to the canaries' folder.
  RemoveTree(tree.Path("Sub"));
  if (!Link(tree.Path("Sub"), canary.root())) GTEST_SKIP() << "no links here";
  const std::string file = tree.Path("Sub\\a.tmp"), folder = tree.Path("Sub\\Inner");

  for (bool secure : {false, true}) {
    EXPECT_THAT(RunDeleteWorker({file, folder}, secure), ElementsAre("cannot " + file, "cannot " + folder));
    EXPECT_EQ(ReadAll(canary_a), "canary a");
    EXPECT_EQ(ReadAll(canary_b), "canary b");
  }
}

TEST_F(DeleteHostileWine, AnotherUsersBinThatStaysFullIsNotReportedEmptied) {
  FileTree bins("C:\\$Recycle.Bin");
  const std::string bin = bins.Folder("S-1-5-21-1111-2222-3333-1001");
  const std::string kept = bins.TextFile("S-1-5-21-1111-2222-3333-1001\\$RAB12CD.txt", "someone else's");

  EXPECT_THAT(RunDeleteWorker({bin}), ElementsAre("cannot " + bin));
  EXPECT_EQ(ReadAll(kept), "someone else's");
}

TEST_F(DeleteHostileWine, HeldAndReadOnlyFilesAreLeftWhole) {
  const std::string held = tree.TextFile("held.tmp", "held without sharing");
  const std::string read_only = tree.TextFile("readonly.tmp", "read only", FILE_ATTRIBUTE_READONLY);
  HANDLE hold = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(hold, INVALID_HANDLE_VALUE);

  for (bool secure : {false, true})
    EXPECT_THAT(RunDeleteWorker({held, read_only}, secure), ElementsAre("cannot " + held, "cannot " + read_only));

  CloseHandle(hold);
  EXPECT_EQ(ReadAll(held), "held without sharing");
  EXPECT_EQ(ReadAll(read_only), "read only");
}

TEST_F(DeleteHostileWine, FilesPastTheOldPathLimitAreErasedWithTheirFolder) {
  // The file-by-file pass (the way of secure erase) reaches what lies past 260 characters too.
  tree.TextFile("Long\\shallow.tmp", "shallow");
  std::string deep = UnixPath(tree.Path("Long"));
  if (deep.empty()) GTEST_SKIP() << "no Unix side here";
  for (int i = 0; i < 6; ++i) deep += "/" + std::string(45, 'd');
  const std::string made = tree.Path("made");
  ASSERT_TRUE(RunUnix(
      tree.root(), "\\bin\\sh",
      "-c \"/bin/mkdir -p '" + deep + "' && echo deep >'" + deep + "/deep.tmp' && : >'" + UnixPath(made) + "'\"",
      [&] { return PathExists(made); }));
  const std::string folder = tree.Path("Long");

  EXPECT_THAT(RunDeleteWorker({folder}, /*secure_erase=*/true), ElementsAre("folder " + folder));
  EXPECT_FALSE(PathExists(folder));
  RunUnix(tree.root(), "\\bin\\rm", "-rf \"" + UnixPath(folder) + "\"", [&] { return !PathExists(folder); });
}

}  // namespace
