// The delete worker against trees that changed since the scan or fight back: links to files,
// junctions swapped in above an item, folders that cannot be listed or lie past the path limit,
// recycle bins that stay full. Nothing outside the items may change, and every item gets one
// true outcome.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

#include "clean/delete_thread.h"
#include "tests/support/delete_runner.h"
#include "tests/support/listed_item.h"
#include "tests/support/sync_queue.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// The outcomes each item received, by item.
std::map<std::string, std::vector<std::string>> Outcomes(const std::vector<std::string>& events) {
  std::map<std::string, std::vector<std::string>> outcomes;
  std::string current;
  for (const std::string& event : events) {
    if (event.starts_with("started ")) {
      current = event.substr(8);
      outcomes[current];
    } else if (event != "finished") {
      outcomes[current].push_back(event);
    }
  }
  return outcomes;
}

class DeleteHostileTest : public ::testing::Test {
 protected:
  void Canary(const std::string& path, const std::string& content) {
    fake.files.AddFileWithContent(path, content);
    canaries[path] = content;
  }
  void ExpectCanariesIntact() {
    for (const auto& [path, content] : canaries) EXPECT_EQ(fake.files.Content(path), content) << path;
  }
  // Replaces a folder by a junction to target, as another program might between scan and clean.
  void SwapForJunction(const std::string& folder, const std::string& target) {
    ASSERT_TRUE(fake.files.RemoveTree(folder));
    fake.files.AddJunction(folder, target);
  }

  // Runs the worker over items as given, with their kinds and ids.
  std::vector<std::string> RunDeleteJob(std::vector<TCleanItem> items) {
    SyncQueue queue;
    std::vector<std::string> events;
    auto* worker = new TDeleteThread(queue, fake.os);
    worker->FreeOnTerminate = true;
    worker->FOnItemStarted = [&](const std::string& item) { events.push_back("started " + item); };
    worker->FOnFileDeleted = [&](const std::string& item) { events.push_back("file " + item); };
    worker->FOnFolderDeleted = [&](const std::string& item) { events.push_back("folder " + item); };
    worker->FOnCannotDelete = [&](const std::string& item, const std::string& reason) {
      events.push_back("cannot " + item + ": " + reason);
    };
    worker->FOnFinished = [&] { events.push_back("finished"); };
    worker->SetJob(std::move(items));
    worker->Resume();
    queue.PumpUntilIdle();
    return events;
  }

  FakePlatform fake;
  std::map<std::string, std::string> canaries;
};

TEST_F(DeleteHostileTest, ALinkToAFileIsNeverDeletedThroughAndItsTargetKept) {
  Canary("C:\\Keep\\thesis.doc", "thesis");
  Canary("C:\\Keep\\notes.txt", "notes");
  fake.files.AddFileLink("C:\\Temp\\filelink.tmp", "C:\\Keep\\thesis.doc");                       // as Wine lists it
  fake.files.AddFileLink("C:\\Temp\\shown.tmp", "C:\\Keep\\thesis.doc", /*shows_as_link=*/true);  // as Windows does
  // Items of unknown kind, and files handed over with the kind and id the scan listed them with.
  for (bool listed : {false, true}) {
    SCOPED_TRACE(listed ? "listed files" : "items of unknown kind");
    // A listed file replaced by a link once the cleaning has reached it.
    const std::string swapped = listed ? "C:\\Temp\\swapped-listed.tmp" : "C:\\Temp\\swapped.tmp";
    fake.files.AddFileWithContent(swapped, "garbage");
    auto swap = [&](const std::string& item) {
      if (item != swapped) return;
      fake.files.DeleteFile(item);
      fake.files.AddFileLink(item, "C:\\Keep\\notes.txt");
    };

    auto events = RunDeleteWorker(fake, {"C:\\Temp\\filelink.tmp", "C:\\Temp\\shown.tmp", swapped},
                                  {.on_reached = swap, .listed = listed});

    EXPECT_THAT(events, ElementsAre("started C:\\Temp\\filelink.tmp", "cannot C:\\Temp\\filelink.tmp: Unknown",
                                    "started C:\\Temp\\shown.tmp", "cannot C:\\Temp\\shown.tmp: Unknown",
                                    "started " + swapped, "cannot " + swapped + ": Unknown", "finished"));
    ExpectCanariesIntact();
    EXPECT_TRUE(fake.files.Exists("C:\\Temp\\filelink.tmp"));
    EXPECT_THAT(fake.shell.recycled, IsEmpty());
  }
}

TEST_F(DeleteHostileTest, AJunctionSwappedInAboveTheItemIsNotFollowed) {
  // The scan listed a file and a folder in C:\Temp\Sub; before the cleaning, Sub became a
  // junction to a folder of canaries with the same names.
  fake.files.AddFile("C:\\Temp\\Sub\\a.tmp", 5);
  fake.files.AddFile("C:\\Temp\\Sub\\Inner\\b.tmp", 5);
  Canary("C:\\Canary\\a.tmp", "canary a");
  Canary("C:\\Canary\\Inner\\b.tmp", "canary b");
  Canary("C:\\Canary\\Inner\\c.doc", "canary c");
  SwapForJunction("C:\\Temp\\Sub", "C:\\Canary");
  const std::vector<std::string> items = {"C:\\Temp\\Sub\\a.tmp", "C:\\Temp\\Sub\\Inner"};

  for (bool xp : {false, true}) {
    SCOPED_TRACE(xp ? "handles that cannot tell their path" : "handles that tell their path");
    fake.files.handles_know_their_path = !xp;
    auto events = RunDeleteWorker(fake, items);
    EXPECT_THAT(events,
                ElementsAre("started C:\\Temp\\Sub\\a.tmp", "cannot C:\\Temp\\Sub\\a.tmp: Unknown",
                            "started C:\\Temp\\Sub\\Inner", "cannot C:\\Temp\\Sub\\Inner: Unknown", "finished"));
    ExpectCanariesIntact();
    EXPECT_THAT(fake.shell.recycled, IsEmpty());
    EXPECT_THAT(fake.files.DeletedFiles(), IsEmpty());
  }
}

TEST_F(DeleteHostileTest, AListedObjectIsDeletedOnlyAsTheObjectTheScanListed) {
  // What the scan listed, by file id; then, between the scan and the cleaning, Sub becomes a
  // junction to canaries of the same names. The ids alone refuse them, also where no handle can
  // tell its path and the path's components are not looked at.
  fake.files.AddFile("C:\\Temp\\Sub\\a.tmp", 5);
  fake.files.AddFile("C:\\Temp\\Sub\\Inner\\b.tmp", 5);
  Canary("C:\\Canary\\a.tmp", "canary a");
  Canary("C:\\Canary\\Inner\\b.tmp", "canary b");
  const std::vector<TCleanItem> listed = ListedItems(fake.files, {"C:\\Temp\\Sub\\a.tmp", "C:\\Temp\\Sub\\Inner"});
  SwapForJunction("C:\\Temp\\Sub", "C:\\Canary");
  fake.files.handles_know_their_path = false;
  int components_looked_at = 0;
  fake.files.on_attributes = [&](const std::string& path) { components_looked_at += path == "C:\\Temp" ? 1 : 0; };

  auto events = RunDeleteJob(listed);

  EXPECT_THAT(events, ElementsAre("started C:\\Temp\\Sub\\a.tmp", "cannot C:\\Temp\\Sub\\a.tmp: Unknown",
                                  "started C:\\Temp\\Sub\\Inner", "cannot C:\\Temp\\Sub\\Inner: Unknown", "finished"));
  EXPECT_EQ(components_looked_at, 0);
  ExpectCanariesIntact();
  EXPECT_THAT(fake.shell.recycled, IsEmpty());
}

TEST_F(DeleteHostileTest, ListedFilesReplacedSinceTheScanAreLeftAlone) {
  Canary("C:\\Keep\\thesis.doc", "thesis");
  for (bool secure : {false, true}) {
    SCOPED_TRACE(secure ? "secure erase" : "plain deletion");
    const std::string dir = secure ? "C:\\Secure\\" : "C:\\Plain\\";
    fake.files.AddFileWithContent(dir + "replaced.tmp", "garbage");
    fake.files.AddFileWithContent(dir + "hardlink.tmp", "garbage");
    fake.files.AddFileWithContent(dir + "grew.log", "short");
    fake.files.AddFileWithContent(dir + "twonames.tmp", "shared");
    fake.files.AddHardLink(dir + "Other\\twonames.tmp", dir + "twonames.tmp");
    Canary(dir + "held.tmp", "held by another program");
    fake.files.Lock(dir + "held.tmp");
    fake.files.AddFileWithContent(dir + "nowfolder.tmp", "garbage");
    fake.files.AddFileWithContent(dir + "gone.tmp", "garbage");
    const std::vector<std::string> items = {dir + "replaced.tmp", dir + "hardlink.tmp", dir + "grew.log",
                                            dir + "twonames.tmp", dir + "held.tmp",     dir + "nowfolder.tmp",
                                            dir + "gone.tmp"};
    // Another file under the same name; a second name of the user's thesis under the listed one;
    // the same log, grown.
    auto change = [&](const std::string& item) {
      if (item == dir + "replaced.tmp") {
        fake.files.DeleteFile(item);
        Canary(item, "a new file of another program");
      }
      if (item == dir + "hardlink.tmp") {
        fake.files.DeleteFile(item);
        fake.files.AddHardLink(item, "C:\\Keep\\thesis.doc");
      }
      if (item == dir + "grew.log") fake.files.AddFileWithContent(item, std::string(5000, 'g'));
      if (item == dir + "nowfolder.tmp") {
        fake.files.DeleteFile(item);
        Canary(item + "\\inside.doc", "a folder's file");
      }
      if (item == dir + "gone.tmp") fake.files.DeleteFile(item);
    };

    auto outcomes =
        Outcomes(RunDeleteWorker(fake, items, {.secure_erase = secure, .on_reached = change, .listed = true}));

    using Events = std::vector<std::string>;
    EXPECT_EQ(outcomes[dir + "replaced.tmp"], Events{"cannot " + dir + "replaced.tmp: Unknown"});
    EXPECT_EQ(outcomes[dir + "hardlink.tmp"], Events{"cannot " + dir + "hardlink.tmp: Unknown"});
    EXPECT_EQ(outcomes[dir + "held.tmp"], Events{"cannot " + dir + "held.tmp: Unknown"});
    EXPECT_EQ(outcomes[dir + "nowfolder.tmp"], Events{"cannot " + dir + "nowfolder.tmp: Unknown"});
    EXPECT_EQ(outcomes[dir + "gone.tmp"], Events{"cannot " + dir + "gone.tmp: Unknown"});
    EXPECT_EQ(outcomes[dir + "grew.log"], Events{"file " + dir + "grew.log"});
    // Listed with two names: this one goes, the other keeps the content, which is not overwritten.
    EXPECT_EQ(outcomes[dir + "twonames.tmp"], Events{"file " + dir + "twonames.tmp"});
    EXPECT_EQ(fake.files.Content(dir + "Other\\twonames.tmp"), "shared");
  }
  ExpectCanariesIntact();
  // Only the grown log was overwritten, whole.
  EXPECT_THAT(fake.files.Writes(), ElementsAre("C:\\Secure\\grew.log@0+5000"));
}

TEST_F(DeleteHostileTest, EveryItemGetsOneTrueOutcome) {
  // The shell fails on every folder, so that each goes file by file.
  fake.shell.on_delete = [](const std::string&) { throw std::runtime_error("shell broke"); };
  fake.files.AddFile("C:\\Temp\\Denied\\hidden.tmp", 5);
  fake.files.Deny("C:\\Temp\\Denied");
  // Files beyond the old path limit of 260 characters: the pass reaches them too.
  fake.files.AddFile("C:\\Temp\\Long\\shallow.tmp", 5);
  std::string deep = "C:\\Temp\\Long";
  while (deep.size() < 300) deep += "\\" + std::string(40, 'd');
  fake.files.AddFile(deep + "\\deep.tmp", 5);
  fake.files.AddFile("C:\\Temp\\Emptied\\a.tmp", 5);
  fake.files.AddFile("C:\\Temp\\Emptied\\Sub\\b.tmp", 5);
  fake.files.AddFolder("C:\\Temp\\Empty");
  fake.files.AddFile("C:\\Temp\\Held\\h.tmp", 5);
  fake.files.Lock("C:\\Temp\\Held\\h.tmp");
  fake.files.AddFile("C:\\Temp\\Mixed\\ok.tmp", 5);
  fake.files.AddFile("C:\\Temp\\Mixed\\ro.tmp", 5, platform::kAttrReadOnly);
  fake.files.AddFile("C:\\Temp\\Mixed\\Closed\\x.tmp", 5);
  fake.files.Deny("C:\\Temp\\Mixed\\Closed");

  auto outcomes =
      Outcomes(RunDeleteWorker(fake, {"C:\\Temp\\Denied", "C:\\Temp\\Long", "C:\\Temp\\Emptied", "C:\\Temp\\Empty",
                                      "C:\\Temp\\Held", "C:\\Temp\\Mixed", "C:\\Temp\\Vanished"}));

  using Events = std::vector<std::string>;
  EXPECT_EQ(outcomes["C:\\Temp\\Denied"], Events{"cannot C:\\Temp\\Denied: Unknown"});
  EXPECT_EQ(outcomes["C:\\Temp\\Long"], Events{"folder C:\\Temp\\Long"});
  EXPECT_EQ(outcomes["C:\\Temp\\Emptied"], Events{"folder C:\\Temp\\Emptied"});
  EXPECT_EQ(outcomes["C:\\Temp\\Empty"], Events{"folder C:\\Temp\\Empty"});
  EXPECT_EQ(outcomes["C:\\Temp\\Held"], Events{"cannot C:\\Temp\\Held: Unknown"});
  EXPECT_EQ(outcomes["C:\\Temp\\Mixed"], Events{"partial C:\\Temp\\Mixed: C:\\Temp\\Mixed\\ro.tmp"});
  EXPECT_EQ(outcomes["C:\\Temp\\Vanished"], Events{"cannot C:\\Temp\\Vanished: Unknown"});
  EXPECT_FALSE(fake.files.Exists("C:\\Temp\\Emptied"));
  EXPECT_FALSE(fake.files.Exists("C:\\Temp\\Empty"));
  EXPECT_TRUE(fake.files.Exists("C:\\Temp\\Held\\h.tmp"));
  EXPECT_TRUE(fake.files.Exists("C:\\Temp\\Mixed\\Closed\\x.tmp"));
  EXPECT_FALSE(fake.files.Exists("C:\\Temp\\Long"));
}

TEST_F(DeleteHostileTest, RecycleBinRowsSayWhatBecameOfTheirBin) {
  fake.files.AddDrive('D');
  const std::string mine = "C:\\$Recycle.Bin\\S-1-5-21-1000";
  const std::string other = "C:\\$Recycle.Bin\\S-1-5-21-1001";
  const std::string closed = "C:\\$Recycle.Bin\\S-1-5-21-1002";
  const std::string held = "D:\\$Recycle.Bin\\S-1-5-21-1000";
  const std::string old = "C:\\RECYCLER\\S-1-5-21-1000";
  fake.files.AddFile(mine + "\\$R1.txt", 5);
  fake.files.AddFile(mine + "\\desktop.ini", 129, platform::kAttrHidden | platform::kAttrSystem);
  fake.files.AddFile(other + "\\$R2.txt", 5);
  fake.files.AddFile(closed + "\\$R3.txt", 5);
  fake.files.Deny(closed);
  fake.files.AddFile(held + "\\$Ra.txt", 5);
  fake.files.AddFile(held + "\\$Rb.txt", 5);
  fake.files.Lock(held + "\\$Rb.txt");
  fake.files.AddFile(old + "\\Dc1.txt", 5);
  // The shell empties this user's bins only, and cannot take a file in use.
  fake.shell.on_empty = [&] {
    fake.files.DeleteFile(mine + "\\$R1.txt");
    fake.files.DeleteFile(held + "\\$Ra.txt");
    fake.files.DeleteFile(held + "\\$Rb.txt");
    fake.files.RemoveTree(old);
  };

  auto outcomes = Outcomes(RunDeleteWorker(fake, {mine, other, closed, held, old}));

  using Events = std::vector<std::string>;
  EXPECT_EQ(outcomes[mine], Events{"folder " + mine});
  EXPECT_EQ(outcomes[other], Events{"cannot " + other + ": Unknown"});
  EXPECT_EQ(outcomes[closed], Events{"cannot " + closed + ": Unknown"});
  EXPECT_EQ(outcomes[held], Events{"partial " + held + ": " + held + "\\$Rb.txt"});
  EXPECT_EQ(outcomes[old], Events{"folder " + old});
  EXPECT_TRUE(fake.files.Exists(other + "\\$R2.txt"));
  EXPECT_EQ(fake.shell.emptied.size(), 5u);
  EXPECT_THAT(fake.shell.recycled, IsEmpty());
}

TEST_F(DeleteHostileTest, HostileNamesAndFilesThatChangedSinceTheScan) {
  const std::vector<std::string> names = {"C:\\Temp\\with space.tmp", "C:\\Temp\\[x] 100% & more!.tmp",
                                          "C:\\Temp\\~tilde.tmp", "C:\\Temp\\\xE9t\xE9.tmp"};
  for (const std::string& name : names) fake.files.AddFileWithContent(name, "junk");
  fake.files.AddFileWithContent("C:\\Temp\\grew.log", "short");
  fake.files.AddFile("C:\\Temp\\readonly.tmp", 5, platform::kAttrReadOnly);
  Canary("C:\\Temp\\held.tmp", "held by another program");
  fake.files.Lock("C:\\Temp\\held.tmp");
  fake.files.AddFile("C:\\Temp\\WasFolder\\in.tmp", 5);
  auto change = [&](const std::string& item) {
    if (item == "C:\\Temp\\grew.log") fake.files.AddFileWithContent(item, std::string(5000, 'g'));
    if (item == "C:\\Temp\\WasFolder") {
      fake.files.RemoveTree(item);
      fake.files.AddFileWithContent(item, "a file now");
    }
  };
  std::vector<std::string> items = names;
  for (const char* item : {"C:\\Temp\\grew.log", "C:\\Temp\\readonly.tmp", "C:\\Temp\\held.tmp", "C:\\Temp\\WasFolder"})
    items.push_back(item);

  auto outcomes = Outcomes(RunDeleteWorker(fake, items, {.on_reached = change}));

  using Events = std::vector<std::string>;
  for (const std::string& name : names) EXPECT_EQ(outcomes[name], Events{"file " + name});
  EXPECT_EQ(outcomes["C:\\Temp\\grew.log"], Events{"file C:\\Temp\\grew.log"});
  EXPECT_EQ(outcomes["C:\\Temp\\readonly.tmp"], Events{"cannot C:\\Temp\\readonly.tmp: Unknown"});
  EXPECT_EQ(outcomes["C:\\Temp\\held.tmp"], Events{"cannot C:\\Temp\\held.tmp: Unknown"});
  // Of an item whose kind is not known, what stands at the path now is what goes, and the row
  // says what it was.
  EXPECT_EQ(outcomes["C:\\Temp\\WasFolder"], Events{"file C:\\Temp\\WasFolder"});
  EXPECT_TRUE(fake.files.Exists("C:\\Temp\\readonly.tmp"));
  ExpectCanariesIntact();
}

}  // namespace
