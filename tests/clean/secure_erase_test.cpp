// Deletion without ability to restore: every file is overwritten with zeros through the handle
// that then deletes it, nothing goes to the Recycle Bin, and a file that cannot be overwritten is
// not deleted either.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/dlgMain.h"
#include "clean/deletion_primitives.h"
#include "settings/dlgOptions.h"
#include "tests/support/delete_runner.h"
#include "tests/support/test_env.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

namespace {

const DeleteRunOptions kSecure{.secure_erase = true};

class SecureEraseTest : public ::testing::Test {
 protected:
  FakePlatform fake;
};

TEST_F(SecureEraseTest, FilesAreZeroedThroughTheirHandleAndFoldersAreNotRecycled) {
  fake.files.AddFileWithContent("C:\\Temp\\secret.log", "secret");
  fake.files.AddFileWithContent("C:\\Temp\\Junk\\a.tmp", "aaaa");
  fake.files.AddFileWithContent("C:\\Temp\\Junk\\Sub\\b.tmp", std::string(300000, 'b'));  // more than one piece
  fake.files.AddFolder("C:\\Temp\\Junk\\Empty");

  auto events = RunDeleteWorker(fake, {"C:\\Temp\\secret.log", "C:\\Temp\\Junk"}, kSecure);

  EXPECT_THAT(events, ElementsAre("started C:\\Temp\\secret.log", "file C:\\Temp\\secret.log", "started C:\\Temp\\Junk",
                                  "folder C:\\Temp\\Junk", "finished"));
  EXPECT_THAT(fake.shell.recycled, IsEmpty());
  EXPECT_FALSE(fake.files.Exists("C:\\Temp\\Junk"));
  EXPECT_TRUE(fake.files.Exists("C:\\Temp"));
  const auto at_deletion = fake.files.ContentAtDeletion();
  ASSERT_EQ(at_deletion.size(), 3u);
  EXPECT_EQ(at_deletion.at("C:\\Temp\\secret.log"), std::string(6, '\0'));
  EXPECT_EQ(at_deletion.at("C:\\Temp\\Junk\\a.tmp"), std::string(4, '\0'));
  EXPECT_EQ(at_deletion.at("C:\\Temp\\Junk\\Sub\\b.tmp"), std::string(300000, '\0'));
  EXPECT_EQ(fake.files.flushes, 3);
}

TEST_F(SecureEraseTest, WhatCannotBeOverwrittenIsNotDeletedEither) {
  fake.files.AddFileWithContent("C:\\Temp\\held.log", "held");
  fake.files.Lock("C:\\Temp\\held.log");
  fake.files.AddFileWithContent("C:\\Temp\\readonly.log", "read only");
  fake.files.AddFile("C:\\Temp\\readonly.log", 9, platform::kAttrReadOnly);
  fake.files.AddFileWithContent("C:\\Temp\\Part\\ok.tmp", "ok");
  fake.files.AddFileWithContent("C:\\Temp\\Part\\in-use.tmp", "in use");
  fake.files.Lock("C:\\Temp\\Part\\in-use.tmp");

  auto events = RunDeleteWorker(fake, {"C:\\Temp\\held.log", "C:\\Temp\\readonly.log", "C:\\Temp\\Part"}, kSecure);

  EXPECT_THAT(events,
              ElementsAre("started C:\\Temp\\held.log", "cannot C:\\Temp\\held.log: Unknown",
                          "started C:\\Temp\\readonly.log", "cannot C:\\Temp\\readonly.log: Unknown",
                          "started C:\\Temp\\Part", "partial C:\\Temp\\Part: C:\\Temp\\Part\\in-use.tmp", "finished"));
  EXPECT_EQ(fake.files.Content("C:\\Temp\\held.log"), "held");
  EXPECT_TRUE(fake.files.Exists("C:\\Temp\\readonly.log"));
  EXPECT_EQ(fake.files.Content("C:\\Temp\\Part\\in-use.tmp"), "in use");
  EXPECT_THAT(fake.files.DeletedFiles(), ElementsAre("C:\\Temp\\Part\\ok.tmp"));
  EXPECT_THAT(fake.shell.recycled, IsEmpty());
}

TEST_F(SecureEraseTest, AFileWithOtherNamesLosesOnlyThisName) {
  fake.files.AddFileWithContent("C:\\Temp\\linked.tmp", "shared content");
  fake.files.SetLinkCount("C:\\Temp\\linked.tmp", 2);
  fake.files.AddFileWithContent("C:\\Temp\\Dir\\also.tmp", "shared too");
  fake.files.SetLinkCount("C:\\Temp\\Dir\\also.tmp", 3);

  auto events = RunDeleteWorker(fake, {"C:\\Temp\\linked.tmp", "C:\\Temp\\Dir"}, kSecure);

  EXPECT_THAT(events, ElementsAre("started C:\\Temp\\linked.tmp", "file C:\\Temp\\linked.tmp", "started C:\\Temp\\Dir",
                                  "folder C:\\Temp\\Dir", "finished"));
  EXPECT_THAT(fake.files.Writes(), IsEmpty());
  EXPECT_EQ(fake.files.ContentAtDeletion().at("C:\\Temp\\linked.tmp"), "shared content");
}

TEST_F(SecureEraseTest, LinksAreNeverFollowedAndKeepTheirFolder) {
  fake.files.AddFileWithContent("C:\\Data\\thesis.doc", "thesis");
  fake.files.AddFileWithContent("C:\\Data\\Sub\\notes.txt", "notes");
  fake.files.AddFileWithContent("C:\\Temp\\L\\own.tmp", "own");
  fake.files.AddJunction("C:\\Temp\\L\\Link", "C:\\Data");
  fake.files.AddFileLink("C:\\Temp\\L\\file.lnk.tmp", "C:\\Data\\thesis.doc");
  fake.files.AddFileLink("C:\\Temp\\item.tmp", "C:\\Data\\thesis.doc");

  auto events = RunDeleteWorker(fake, {"C:\\Temp\\L", "C:\\Temp\\item.tmp"}, kSecure);

  EXPECT_THAT(events, ElementsAre("started C:\\Temp\\L", "partial C:\\Temp\\L: C:\\Temp\\L\\file.lnk.tmp",
                                  "started C:\\Temp\\item.tmp", "cannot C:\\Temp\\item.tmp: Unknown", "finished"));
  EXPECT_EQ(fake.files.Content("C:\\Data\\thesis.doc"), "thesis");
  EXPECT_EQ(fake.files.Content("C:\\Data\\Sub\\notes.txt"), "notes");
  EXPECT_THAT(fake.files.Writes(), ElementsAre("C:\\Temp\\L\\own.tmp@0+3"));
}

TEST_F(SecureEraseTest, AFileThatGrewIsOverwrittenWhole) {
  fake.files.AddFileWithContent("C:\\Temp\\grew.log", "short");
  auto grow = [&](const std::string& item) { fake.files.AddFileWithContent(item, std::string(70000, 'g')); };

  auto events = RunDeleteWorker(fake, {"C:\\Temp\\grew.log"}, {.secure_erase = true, .on_reached = grow});

  EXPECT_THAT(events, ElementsAre("started C:\\Temp\\grew.log", "file C:\\Temp\\grew.log", "finished"));
  EXPECT_EQ(fake.files.ContentAtDeletion().at("C:\\Temp\\grew.log"), std::string(70000, '\0'));
}

TEST_F(SecureEraseTest, RecycleBinsAndTheCacheBehaveAsWithoutIt) {
  const std::string cache = "C:\\Documents and Settings\\User\\Local Settings\\Temporary Internet Files";
  fake.files.AddFileWithContent(cache + "\\Content.IE5\\page.htm", "page");
  fake.url_cache.entries = {"http://a/"};
  fake.files.AddFile("C:\\RECYCLER\\S-1-5-21-1000\\Dc1.txt", 5);
  fake.shell.on_empty = [&] { fake.files.RemoveTree("C:\\RECYCLER\\S-1-5-21-1000"); };

  auto events = RunDeleteWorker(fake, {cache, "C:\\RECYCLER\\S-1-5-21-1000"}, kSecure);

  EXPECT_THAT(events,
              ElementsAre("started " + cache, "folder " + cache, "folder " + cache,
                          "started C:\\RECYCLER\\S-1-5-21-1000", "folder C:\\RECYCLER\\S-1-5-21-1000", "finished"));
  EXPECT_THAT(fake.url_cache.deleted, ElementsAre("http://a/"));
  EXPECT_EQ(fake.shell.emptied.size(), 1u);
  EXPECT_THAT(fake.shell.recycled, IsEmpty());
  EXPECT_EQ(fake.files.ContentAtDeletion().at(cache + "\\Content.IE5\\page.htm"), std::string(4, '\0'));
}

TEST(DeleteFileCheckedTest, AFailedOverwriteLeavesTheFile) {
  FakeFileSystem files;
  files.AddFileWithContent("C:\\Temp\\a.tmp", "abc");
  files.writes_fail = true;
  EXPECT_FALSE(DeleteFileChecked(files, "C:\\Temp\\a.tmp", true));
  EXPECT_TRUE(files.Exists("C:\\Temp\\a.tmp"));
  // Without the overwrite, nothing is written and the file goes.
  EXPECT_TRUE(DeleteFileChecked(files, "C:\\Temp\\a.tmp", false));
  EXPECT_THAT(files.DeletedFiles(), UnorderedElementsAre("C:\\Temp\\a.tmp"));
}

// The options dialog's box decides, at the moment a run starts, how that run deletes.
TEST(SecureEraseRunTest, TheBoxTickedWhenTheRunStartsDecidesForThatRun) {
  TestEnv env;
  TfrmMain& main = *env.forms.frmMain;
  auto clean_all = [&](const std::string& folder) {
    env.fake.files.AddFileWithContent(folder + "\\a.tmp", "content");
    main.lvFound->Clear();
    ui::TListItem* row = main.lvFound->Add();
    row->SetCaption(folder);
    row->AddSubItem("7 Bytes");
    row->AddSubItem("Queued...");
    main.btnCleanAllClick(main.btnCleanAll);
    env.main_thread.PumpUntilIdle();
    return row->SubItem(1);
  };

  env.forms.frmOptions->CheckBox1->SetChecked(true);
  EXPECT_EQ(clean_all("C:\\Temp\\Erased"), "Folder Deleted");
  EXPECT_THAT(env.fake.shell.recycled, IsEmpty());
  EXPECT_EQ(env.fake.files.ContentAtDeletion().at("C:\\Temp\\Erased\\a.tmp"), std::string(7, '\0'));

  env.forms.frmOptions->CheckBox1->SetChecked(false);
  EXPECT_EQ(clean_all("C:\\Temp\\Recycled"), "Folder Deleted");
  EXPECT_THAT(env.fake.shell.recycled, ElementsAre("C:\\Temp\\Recycled"));
}

}  // namespace
