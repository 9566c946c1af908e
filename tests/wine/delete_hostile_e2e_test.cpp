// The delete worker on the real file system against trees that changed since the scan or fight
// back: links to files, a folder swapped for a link above the item, another user's recycle bin,
// files held open without sharing, read-only files. Canaries stay intact byte for byte.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "tests/support/listed_item.h"
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

TEST_F(DeleteHostileWine, ObjectsChangedSinceTheirListingAreLeftAlone) {
  // Listed as the scan lists them, with their file ids; then, before the cleaning, another program
  // writes a new file over one, puts a second name of the user's file under another, holds a third
  // and swaps the folder above two more for a link. Only the file listed with two names goes, and
  // its other name keeps the content.
  platform::win32::Win32Platform win32;
  const std::string keeper = canary.TextFile("thesis.docx", "my thesis");
  const std::string canary_a = canary.TextFile("a.tmp", "canary a");
  const std::string canary_b = canary.TextFile("Inner\\b.tmp", "canary b");
  for (bool secure : {false, true}) {
    SCOPED_TRACE(secure ? "secure erase" : "plain deletion");
    const std::string dir = secure ? "Secure\\" : "Plain\\";
    const std::string replaced = tree.TextFile(dir + "replaced.tmp", "garbage");
    const std::string renamed = tree.TextFile(dir + "renamed.tmp", "garbage");
    const std::string twonames = tree.TextFile(dir + "twonames.tmp", "shared");
    const std::string other_name = tree.Path(dir + "other-name.tmp");
    if (!CreateHardLinkA(other_name.c_str(), twonames.c_str(), nullptr)) GTEST_SKIP() << "no hard links here";
    const std::string held = tree.TextFile(dir + "held.tmp", "held without sharing");
    const std::string below = tree.TextFile(dir + "Sub\\a.tmp", "garbage a");
    const std::string inner = tree.Folder(dir + "Sub\\Inner");
    tree.TextFile(dir + "Sub\\Inner\\b.tmp", "garbage b");
    std::vector<TCleanItem> listed = ListedItems(win32.os().files, {held, replaced, renamed, twonames, below, inner});

    // Written beside and renamed over, as programs save: the new file is another object.
    const std::string fresh = tree.TextFile(dir + "fresh.part", "a new file of another program");
    ASSERT_TRUE(MoveFileExA(fresh.c_str(), replaced.c_str(), MOVEFILE_REPLACE_EXISTING));
    ASSERT_TRUE(DeleteFileA(renamed.c_str()));
    ASSERT_TRUE(CreateHardLinkA(renamed.c_str(), keeper.c_str(), nullptr));
    RemoveTree(tree.Path(dir + "Sub"));
    if (!Link(tree.Path(dir + "Sub"), canary.root())) GTEST_SKIP() << "no links here";
    // Taken after the link: under Wine a hold without sharing taken before the link's Unix helper
    // started was, in the second round, no longer seen by the open for secure erase.
    HANDLE hold = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hold, INVALID_HANDLE_VALUE);

    EXPECT_THAT(RunDeleteWorker(std::move(listed), secure),
                ElementsAre("cannot " + held, "cannot " + replaced, "cannot " + renamed, "file " + twonames,
                            "cannot " + below, "cannot " + inner));
    CloseHandle(hold);
    EXPECT_EQ(ReadAll(replaced), "a new file of another program");
    EXPECT_EQ(ReadAll(other_name), "shared");
    EXPECT_EQ(ReadAll(held), "held without sharing");
    EXPECT_FALSE(PathExists(twonames));
    EXPECT_TRUE(DeleteFileA(renamed.c_str()));  // the thesis's second name, made by the test
    EXPECT_EQ(ReadAll(keeper), "my thesis");
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
