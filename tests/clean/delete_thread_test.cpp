// The delete worker on the fake platform: which primitive each item meets, the outcome it reports,
// and that nothing outside the items changes.
#include "clean/delete_thread.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/support/delete_runner.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class DeleteThreadTest : public ::testing::Test {
 protected:
  // Runs one worker over items and returns its notifications in order.
  std::vector<std::string> Run(const std::vector<std::string>& items) {
    DeleteRunOptions options;
    if (throw_on_start) options.on_started = [](const std::string&) { throw std::runtime_error("handler failed"); };
    return RunDeleteWorker(fake, items, options);
  }

  FakePlatform fake;
  bool throw_on_start = false;
};

TEST_F(DeleteThreadTest, FilesGoForGoodAndFoldersToTheRecycleBin) {
  fake.files.AddFile("C:\\Temp\\a.log", 10);
  fake.files.AddFile("C:\\Temp\\Junk\\b.tmp", 10);
  fake.files.AddFile("C:\\Temp\\Junk\\Sub\\c.tmp", 10);

  auto events = Run({"C:\\Temp\\a.log", "C:\\Temp\\Junk"});

  EXPECT_THAT(events, ElementsAre("started C:\\Temp\\a.log", "file C:\\Temp\\a.log", "started C:\\Temp\\Junk",
                                  "folder C:\\Temp\\Junk", "finished"));
  EXPECT_THAT(fake.files.DeletedFiles(), ElementsAre("C:\\Temp\\a.log"));
  EXPECT_THAT(fake.shell.recycled, ElementsAre("C:\\Temp\\Junk"));
  EXPECT_THAT(fake.shell.delete_flags, ElementsAre(0x0054u));
  EXPECT_FALSE(fake.files.Exists("C:\\Temp\\Junk"));
  EXPECT_TRUE(fake.files.Exists("C:\\Temp"));
}

TEST_F(DeleteThreadTest, AnEmptyListOnlyFinishes) { EXPECT_THAT(Run({}), ElementsAre("finished")); }

TEST_F(DeleteThreadTest, RecycleBinItemsEmptyEveryBinOnlyWhenSpelledExactly) {
  fake.files.AddDrive('D');
  fake.files.AddFile("C:\\RECYCLER\\S-1-5\\Dc1.txt", 5);
  fake.files.AddFile("D:\\$Recycle.Bin\\S-1-5\\$R1.txt", 5);
  fake.files.AddFile("C:\\Old\\recycler\\x.txt", 5);
  fake.files.AddFile("C:\\Old\\$RECYCLE.BIN\\y.txt", 5);
  fake.shell.on_empty = [&] {
    fake.files.RemoveTree("C:\\RECYCLER\\S-1-5");
    fake.files.RemoveTree("D:\\$Recycle.Bin\\S-1-5");
  };

  auto events = Run({"C:\\RECYCLER\\S-1-5", "D:\\$Recycle.Bin\\S-1-5", "C:\\Old\\recycler", "C:\\Old\\$RECYCLE.BIN"});

  EXPECT_THAT(events, ElementsAre("started C:\\RECYCLER\\S-1-5", "folder C:\\RECYCLER\\S-1-5",
                                  "started D:\\$Recycle.Bin\\S-1-5", "folder D:\\$Recycle.Bin\\S-1-5",
                                  "started C:\\Old\\recycler", "folder C:\\Old\\recycler",
                                  "started C:\\Old\\$RECYCLE.BIN", "folder C:\\Old\\$RECYCLE.BIN", "finished"));
  using Emptying = std::pair<std::string, unsigned>;
  EXPECT_THAT(fake.shell.emptied, ElementsAre(Emptying{"", 3u}, Emptying{"", 3u}));
  // The bins are left to the shell's emptying; the look-alikes were deleted as ordinary folders.
  EXPECT_TRUE(fake.files.Exists("C:\\RECYCLER"));
  EXPECT_THAT(fake.shell.recycled, ElementsAre("C:\\Old\\recycler", "C:\\Old\\$RECYCLE.BIN"));
}

TEST_F(DeleteThreadTest, InternetCacheIsClearedThenTheFolderDeletedLikeAnyOther) {
  const std::string cache = "C:\\Documents and Settings\\User\\Local Settings\\Temporary Internet Files";
  fake.files.AddFile(cache + "\\Content.IE5\\index.dat", 100);
  fake.files.AddFile(cache + "\\Content.IE5\\ABC\\page.htm", 100);
  fake.files.Lock(cache + "\\Content.IE5\\index.dat");
  fake.url_cache.entries = {"http://a/", "http://b/", "http://c/"};

  auto events = Run({cache});

  EXPECT_THAT(fake.url_cache.deleted, ElementsAre("http://a/", "http://b/", "http://c/"));
  EXPECT_EQ(fake.url_cache.open_finds, 1);
  EXPECT_EQ(fake.url_cache.closed_finds, 1);
  EXPECT_THAT(events, ElementsAre("started " + cache, "folder " + cache,
                                  "partial " + cache + ": " + cache + "\\Content.IE5\\index.dat", "finished"));
}

TEST_F(DeleteThreadTest, FileByFilePassReportsExactlyTheFilesLeft) {
  // Locked files keep the shell from removing the tree; the pass deletes the rest, depth first.
  fake.files.AddFile("C:\\Temp\\T\\one.tmp", 1);
  fake.files.AddFile("C:\\Temp\\T\\two.tmp", 1, platform::kAttrHidden | platform::kAttrSystem);
  fake.files.AddFile("C:\\Temp\\T\\A\\three.tmp", 1);
  fake.files.AddFile("C:\\Temp\\T\\A\\Deep\\four.tmp", 1);
  fake.files.AddFile("C:\\Temp\\T\\B\\five.tmp", 1);
  fake.files.Lock("C:\\Temp\\T\\two.tmp");
  fake.files.Lock("C:\\Temp\\T\\A\\Deep\\four.tmp");

  auto events = Run({"C:\\Temp\\T"});

  EXPECT_THAT(events,
              ElementsAre("started C:\\Temp\\T",
                          "partial C:\\Temp\\T: C:\\Temp\\T\\two.tmp|C:\\Temp\\T\\A\\Deep\\four.tmp", "finished"));
  EXPECT_THAT(fake.files.DeletedFiles(),
              ElementsAre("C:\\Temp\\T\\one.tmp", "C:\\Temp\\T\\A\\three.tmp", "C:\\Temp\\T\\B\\five.tmp"));
  // Emptied folders are removed; those that hold a file left stay.
  EXPECT_FALSE(fake.files.Exists("C:\\Temp\\T\\B"));
  EXPECT_TRUE(fake.files.Exists("C:\\Temp\\T\\A\\Deep"));

  // Nothing deletable at all: the same pass gives "Cannot Delete".
  fake.files.AddFile("C:\\Temp\\L\\x.tmp", 1);
  fake.files.AddFile("C:\\Temp\\L\\S\\y.tmp", 1);
  fake.files.Lock("C:\\Temp\\L\\x.tmp");
  fake.files.Lock("C:\\Temp\\L\\S\\y.tmp");
  EXPECT_THAT(Run({"C:\\Temp\\L"}), ElementsAre("started C:\\Temp\\L", "cannot C:\\Temp\\L: Unknown", "finished"));
}

TEST_F(DeleteThreadTest, ShellSuccessCountsOnlyWhenTheItemIsGone) {
  fake.shell.claims_success = true;
  fake.files.AddFile("C:\\Temp\\S\\a.tmp", 1);
  fake.files.AddFile("C:\\Temp\\S\\held.tmp", 1);
  fake.files.Lock("C:\\Temp\\S\\held.tmp");

  EXPECT_THAT(Run({"C:\\Temp\\S"}),
              ElementsAre("started C:\\Temp\\S", "partial C:\\Temp\\S: C:\\Temp\\S\\held.tmp", "finished"));
}

TEST_F(DeleteThreadTest, FolderThatEmptiesFileByFileIsRemovedAndSaysSo) {
  // The shell fails (here by throwing, which counts as failure) on a tree it could have removed.
  fake.shell.on_delete = [](const std::string&) { throw std::runtime_error("shell broke"); };
  fake.files.AddFile("C:\\Temp\\E\\a.tmp", 1);
  fake.files.AddFile("C:\\Temp\\E\\S\\b.tmp", 1);
  fake.files.AddFolder("C:\\Temp\\Empty");

  auto events = Run({"C:\\Temp\\E", "C:\\Temp\\Empty"});

  EXPECT_THAT(events, ElementsAre("started C:\\Temp\\E", "folder C:\\Temp\\E", "started C:\\Temp\\Empty",
                                  "folder C:\\Temp\\Empty", "finished"));
  EXPECT_THAT(fake.files.DeletedFiles(), ElementsAre("C:\\Temp\\E\\a.tmp", "C:\\Temp\\E\\S\\b.tmp"));
  EXPECT_FALSE(fake.files.Exists("C:\\Temp\\E"));
  EXPECT_FALSE(fake.files.Exists("C:\\Temp\\Empty"));
}

TEST_F(DeleteThreadTest, FileInUseIsCannotDeleteAndTheCurrentDirectoryIsLeftAlone) {
  // The current directory holds files: a pass that listed it would report or delete them.
  fake.files.AddFile("C:\\Program Files\\Clutterix\\clutterix.exe", 1000);
  ASSERT_TRUE(fake.files.SetCurrentDirectory("C:\\Program Files\\Clutterix"));
  fake.files.AddFile("C:\\Temp\\held.log", 10);
  fake.files.Lock("C:\\Temp\\held.log");
  fake.files.AddFile("C:\\Temp\\P\\in\\f.tmp", 1);
  fake.files.AddFile("C:\\Temp\\P\\g.tmp", 1);
  fake.files.Lock("C:\\Temp\\P\\g.tmp");

  auto events = Run({"C:\\Temp\\held.log", "C:\\Temp\\P", "C:\\Temp\\gone.log"});

  EXPECT_THAT(events, ElementsAre("started C:\\Temp\\held.log", "cannot C:\\Temp\\held.log: Unknown",
                                  "started C:\\Temp\\P", "partial C:\\Temp\\P: C:\\Temp\\P\\g.tmp",
                                  "started C:\\Temp\\gone.log", "cannot C:\\Temp\\gone.log: Unknown", "finished"));
  EXPECT_TRUE(fake.files.Exists("C:\\Temp\\held.log"));
  EXPECT_TRUE(fake.files.Exists("C:\\Program Files\\Clutterix\\clutterix.exe"));
  EXPECT_EQ(fake.files.GetCurrentDirectory(), "C:\\Program Files\\Clutterix");
}

TEST_F(DeleteThreadTest, PathsThatAreNoItemBelowADriveRootAreRefusedAndNothingChanges) {
  fake.files.AddFile("C:\\Program Files\\Clutterix\\clutterix.exe", 1000);
  fake.files.AddFile("C:\\Windows\\system.ini", 10);
  fake.files.AddFile("C:\\Temp\\keep.tmp", 10);
  fake.files.AddFile("C:\\Data\\thesis.doc", 10);
  fake.files.AddJunction("C:\\Temp\\Link", "C:\\Data");
  fake.files.AddFile("C:\\RECYCLER\\S-1\\Dc1.txt", 5);
  ASSERT_TRUE(fake.files.SetCurrentDirectory("C:\\Program Files\\Clutterix"));
  const auto before = fake.files.ListTree("C:\\");

  const std::vector<std::string> refused = {
      "",
      "C:",
      "C:\\",
      "C:\\\\",
      "C:Temp",
      "Temp\\keep.tmp",
      "..",
      "\\Temp",
      "\\\\server\\share\\x",
      "C:\\Temp\\",
      "C:\\Temp\\..",
      "C:\\Temp\\..\\Windows",
      "C:\\Temp\\..\\RECYCLER",
      "C:\\Temp\\.\\keep.tmp",
      "C:\\Temp\\\\keep.tmp",
      "C:/Temp",
      "C:\\Temp\\*",
      "C:\\Temp\\?eep.tmp",
      "C:\\Temp\\keep.tmp:stream",
      "C:\\Temp\\keep.tmp.",
      "C:\\Temp\\keep.tmp ",
      "C:\\Temp\\Link",
  };
  auto events = Run(refused);

  std::vector<std::string> expected;
  for (const std::string& item : refused) {
    expected.push_back("started " + item);
    expected.push_back("cannot " + item + ": Unknown");
  }
  expected.push_back("finished");
  EXPECT_EQ(events, expected);
  EXPECT_EQ(fake.files.ListTree("C:\\"), before);
  EXPECT_THAT(fake.files.DeletedFiles(), IsEmpty());
  EXPECT_THAT(fake.shell.recycled, IsEmpty());
  EXPECT_THAT(fake.shell.emptied, IsEmpty());
  EXPECT_EQ(fake.files.GetCurrentDirectory(), "C:\\Program Files\\Clutterix");
}

TEST_F(DeleteThreadTest, JunctionInsideAFolderIsNeitherFollowedNorHandedToTheShell) {
  fake.files.AddFile("C:\\Temp\\J\\own.tmp", 1);
  fake.files.AddFile("C:\\Data\\thesis.doc", 10);
  fake.files.AddFile("C:\\Data\\Sub\\notes.txt", 10);
  fake.files.AddJunction("C:\\Temp\\J\\Link", "C:\\Data");

  auto events = Run({"C:\\Temp\\J"});

  // The link stays, and so does the folder holding it: all its files went.
  EXPECT_THAT(events, ElementsAre("started C:\\Temp\\J", "partial C:\\Temp\\J:", "finished"));
  EXPECT_THAT(fake.shell.recycled, IsEmpty());
  EXPECT_THAT(fake.files.DeletedFiles(), ElementsAre("C:\\Temp\\J\\own.tmp"));
  EXPECT_TRUE(fake.files.Exists("C:\\Data\\thesis.doc"));
  EXPECT_TRUE(fake.files.Exists("C:\\Data\\Sub\\notes.txt"));
}

// A folder's start is handed over before the folder is touched, so a failing handler there
// leaves it and everything after it alone.
TEST_F(DeleteThreadTest, FailingHandlerStopsTheRunButFinishedStillComes) {
  fake.files.AddFile("C:\\Temp\\Junk\\a.log", 1);
  fake.files.AddFile("C:\\Temp\\b.log", 1);
  throw_on_start = true;

  auto events = Run({"C:\\Temp\\Junk", "C:\\Temp\\b.log"});

  EXPECT_THAT(events, ElementsAre("started C:\\Temp\\Junk", "finished"));
  EXPECT_TRUE(fake.files.Exists("C:\\Temp\\Junk\\a.log"));
  EXPECT_TRUE(fake.files.Exists("C:\\Temp\\b.log"));
}

// Reports go over in batches, yet each item's start and outcome arrive once, in order, before
// the end.
TEST_F(DeleteThreadTest, ManyItemsReportInOrderInAFewBatches) {
  std::vector<std::string> items;
  std::vector<std::string> expected;
  for (int i = 0; i < 1200; ++i) {
    items.push_back("C:\\Temp\\f" + std::to_string(i) + ".tmp");
    fake.files.AddFile(items.back(), 1);
    expected.push_back("started " + items.back());
    expected.push_back("file " + items.back());
  }
  expected.push_back("finished");
  int batches = 0;
  auto events = RunDeleteWorker(fake, items, {.on_batch_end = [&] { ++batches; }});
  EXPECT_EQ(events, expected);
  EXPECT_GE(batches, 3) << "at most 500 reports a batch";
  EXPECT_LT(batches, 100) << "not one hand-off per report";
}

TEST(DeletionPrimitivesTest, ListFolderFilesWorksOnFullPathsAndSkipsLinks) {
  FakeFileSystem files;
  files.AddFile("C:\\Cwd\\decoy.txt", 1);
  files.AddFile("C:\\F\\z.txt", 1);
  files.AddFile("C:\\F\\a.txt", 1, platform::kAttrHidden);
  files.AddFile("C:\\F\\Sub\\s.txt", 1);
  files.AddFolder("C:\\F\\Empty");
  files.AddFile("C:\\Elsewhere\\e.txt", 1);
  files.AddJunction("C:\\F\\Link", "C:\\Elsewhere");
  ASSERT_TRUE(files.SetCurrentDirectory("C:\\Cwd"));

  EXPECT_THAT(ListFolderFiles(files, "C:\\F"), ElementsAre("C:\\F\\a.txt", "C:\\F\\z.txt", "C:\\F\\Sub\\s.txt"));
  EXPECT_THAT(ListFolderFiles(files, "C:\\F\\"), ElementsAre("C:\\F\\a.txt", "C:\\F\\z.txt", "C:\\F\\Sub\\s.txt"));
  EXPECT_THAT(ListFolderFiles(files, "C:\\F\\a.txt"), IsEmpty());
  EXPECT_THAT(ListFolderFiles(files, "C:\\Missing"), IsEmpty());
  EXPECT_EQ(files.GetCurrentDirectory(), "C:\\Cwd");
}

TEST(DeletionPrimitivesTest, ShellDeleteAndUrlCacheEdges) {
  FakeFileSystem files;
  FakeShell shell(files);
  files.AddFile("C:\\Temp\\x.tmp", 1);
  files.Lock("C:\\Temp\\x.tmp");
  EXPECT_FALSE(ShellDelete(shell, "C:\\Temp\\x.tmp"));
  EXPECT_FALSE(ShellDelete(shell, ""));  // never reaches the shell
  EXPECT_EQ(shell.delete_flags.size(), 1u);

  FakeUrlCache empty;
  ClearUrlCache(empty);
  EXPECT_THAT(empty.deleted, IsEmpty());
  EXPECT_EQ(empty.open_finds, empty.closed_finds);
}

}  // namespace
