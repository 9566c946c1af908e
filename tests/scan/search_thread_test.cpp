// The scan worker on the in-memory file system, with the test thread as its main thread.
#include "scan/search_thread.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <new>

#include "platform/exception.h"
#include "tests/support/fake_file_system.h"
#include "tests/support/fake_platform.h"
#include "tests/support/sync_queue.h"

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Pair;
using ::testing::UnorderedElementsAre;

namespace {

struct Rule {
  std::string path, templ;
  int type, search_rule;
};

// The in-memory file system whose volumes never give their file table, as under Wine: the scan
// walks. `while_reading` runs on the worker while a table is being read.
class NoTableFileSystem : public FakeFileSystem {
 public:
  std::optional<platform::ntfs::FileTable> ReadFileTable(char drive, const std::atomic<bool>&) override {
    asked += drive;
    if (while_reading) while_reading();
    return std::nullopt;
  }
  std::string asked;
  std::function<void()> while_reading;
};

class SearchThreadTest : public ::testing::Test {
 protected:
  // Runs one job to its end; `on_found` may stand in for the main window's handler.
  void Run(const std::vector<Rule>& rules, const std::vector<std::string>& drives,
           std::function<void(TSearchInThread&, const std::string&, int64_t)> on_found = {}) {
    auto* worker = new TSearchInThread(main_thread, files, debug);
    worker->FreeOnTerminate = true;
    worker->FOnCurrentFolder = [this](const std::string& folder) { folders.push_back(folder); };
    worker->FOnFoundObject = [this, worker, on_found](const std::string& path, int64_t size, bool, platform::FileId) {
      found.emplace_back(path, size);
      if (on_found) on_found(*worker, path, size);
    };
    worker->FOnBatchEnd = [this] { batch_ends.push_back(found.size()); };
    worker->FOnSearchFinished = [this, worker] {
      ++finished;
      stop_flag_at_end = worker->FStopSearch;
    };
    std::vector<std::string> paths, templates, types, search_rules;
    for (const Rule& r : rules) {
      paths.push_back(r.path);
      templates.push_back(r.templ);
      types.push_back(std::to_string(r.type));
      search_rules.push_back(std::to_string(r.search_rule));
    }
    worker->SetSearchJob(paths, templates, types, search_rules, drives);
    worker->FFilters = filters;
    worker->FReadFileTables = read_tables;
    running = worker;
    worker->Resume();
    main_thread.PumpUntilIdle();
  }

  // The folders the walk listed, in order, each with its trailing "\" (the listings of the size
  // totals, "*.*", left out).
  std::vector<std::string> Walked() const {
    std::vector<std::string> walked;
    for (const std::string& pattern : files.listed)
      if (!pattern.ends_with("\\*.*")) walked.push_back(pattern.substr(0, pattern.rfind('\\') + 1));
    return walked;
  }
  // The debug output but the walk's closing "timer: " line.
  std::vector<std::string> DebugLines() {
    std::vector<std::string> lines = debug.Lines();
    std::erase_if(lines, [](const std::string& line) { return line.starts_with("timer: "); });
    return lines;
  }

  NoTableFileSystem files;
  FakeDebugOutput debug;
  SyncQueue main_thread;
  TScanFilters filters;
  bool read_tables = false;
  TSearchInThread* running = nullptr;  // while Run runs
  std::vector<std::string> folders;
  std::vector<std::pair<std::string, int64_t>> found;
  // The number of objects found when each batch ended.
  std::vector<size_t> batch_ends;
  int finished = 0;
  bool stop_flag_at_end = false;
};

TEST_F(SearchThreadTest, WithoutDrivesNothingIsSearchedButTheEndIsReported) {
  Run({{"C:\\Windows\\Temp", "*", 0, 0}, {"\\RECYCLER", "*", 1, 0}}, {});
  EXPECT_THAT(folders, IsEmpty());
  EXPECT_THAT(found, IsEmpty());
  EXPECT_EQ(finished, 1);
  EXPECT_TRUE(stop_flag_at_end);
  EXPECT_THAT(DebugLines(), ElementsAre("0"));
}

TEST_F(SearchThreadTest, DriveQualifiedRuleIsSearchedOnceInTheFirstDrivesPass) {
  files.AddDrive('D');
  files.AddDrive('E');
  files.AddFile("C:\\Windows\\Temp\\a.tmp", 10);
  files.AddFolder("E:\\RECYCLER\\S-1-5");
  files.AddFolder("D:\\RECYCLER\\S-1-6");
  Run({{"C:\\Windows\\Temp", "*", 0, 0}, {"\\RECYCLER", "*", 1, 0}}, {"E", "D"});
  EXPECT_THAT(Walked(), ElementsAre("C:\\Windows\\Temp\\", "E:\\RECYCLER\\", "D:C\\", "D:\\RECYCLER\\"));
  EXPECT_THAT(found, ElementsAre(Pair("C:\\Windows\\Temp\\a.tmp", 10), Pair("E:\\RECYCLER\\S-1-5", 0),
                                 Pair("D:\\RECYCLER\\S-1-6", 0)));
  EXPECT_THAT(DebugLines(), ElementsAre("2"));
}

TEST_F(SearchThreadTest, AnElevatedScanAsksEachDrivesTableWalksWithoutOneAndStopsDuringTheRead) {
  files.AddDrive('D');
  files.AddFile("C:\\Temp\\a.tmp", 10);
  files.AddFile("D:\\Temp\\b.tmp", 20);
  read_tables = true;
  // What "Current Position" shows while each table is read (the worker waits for the window).
  std::vector<std::string> shown;
  files.while_reading = [&] { shown.push_back(folders.empty() ? "" : folders.back()); };
  Run({{"\\Temp", "*.tmp", 0, 0}}, {"C", "D"});
  EXPECT_EQ(files.asked, "CD");
  EXPECT_THAT(shown, ElementsAre("C:\\", "D:\\"));
  EXPECT_THAT(found, ElementsAre(Pair("C:\\Temp\\a.tmp", 10), Pair("D:\\Temp\\b.tmp", 20)));

  // Stop pressed while the first drive's table is read: nothing is walked after it.
  found.clear();
  files.asked.clear();
  files.while_reading = [this] { running->FStopSearch = true; };
  Run({{"\\Temp", "*.tmp", 0, 0}}, {"C", "D"});
  EXPECT_EQ(files.asked, "C");
  EXPECT_THAT(found, IsEmpty());
  EXPECT_EQ(finished, 2);

  // A table too large for the process's memory: that drive is walked.
  files.while_reading = [] { throw std::bad_alloc(); };
  Run({{"\\Temp", "*.tmp", 0, 0}}, {"C"});
  EXPECT_THAT(found, ElementsAre(Pair("C:\\Temp\\a.tmp", 10)));
  EXPECT_THAT(DebugLines(), Contains("Search T (File table) C: walked instead (no memory for its table)"));
}

TEST_F(SearchThreadTest, DriveRelativeAndEmptyPathsFollowTheDrive) {
  files.AddFile("C:\\Work\\Temp\\x.tmp", 3);
  files.AddFile("C:\\Thumbs.db", 4);
  ASSERT_TRUE(files.SetCurrentDirectory("C:\\Work"));
  Run({{"Temp", "*.tmp", 0, 0}, {"", "Thumbs.db", 0, 0}}, {"C"});
  EXPECT_THAT(Walked(), ElementsAre("C:Temp\\", "C:\\"));
  EXPECT_THAT(found, ElementsAre(Pair("C:Temp\\x.tmp", 3), Pair("C:\\Thumbs.db", 4)));
}

TEST_F(SearchThreadTest, FilesRuleAndFoldersRuleSplitEntriesAndSizeThem) {
  files.AddFile("C:\\T\\plain.txt", 1);
  files.AddFile("C:\\T\\hidden.txt", 2, platform::kAttrHidden);
  files.AddFile("C:\\T\\system.txt", 3, platform::kAttrSystem | platform::kAttrReadOnly);
  files.AddFile("C:\\T\\big.bin", 5ll << 30);
  files.AddFolder("C:\\T\\empty");
  files.AddFile("C:\\T\\full\\a", 100);
  files.AddFile("C:\\T\\full\\sub\\b", 20);
  files.AddFile("C:\\T\\full\\.git\\objects", 1000);  // "."-folders are not counted
  files.AddFile("C:\\T\\full\\.cache\\c", 1000);
  files.AddFile("C:\\T\\zero\\nothing", 0);
  Run({{"\\T", "*", 0, 0}, {"\\T", "*", 1, 0}}, {"C"});
  EXPECT_THAT(found, UnorderedElementsAre(Pair("C:\\T\\plain.txt", 1), Pair("C:\\T\\hidden.txt", 2),
                                          Pair("C:\\T\\system.txt", 3), Pair("C:\\T\\big.bin", 5ll << 30),
                                          Pair("C:\\T\\empty", 0), Pair("C:\\T\\full", 120), Pair("C:\\T\\zero", 0)));
}

TEST_F(SearchThreadTest, RecursiveRulesReportEveryDepthAndNestedMatches) {
  files.AddFile("C:\\L\\a.log", 1);
  files.AddFile("C:\\L\\a.txt", 1);
  files.AddFile("C:\\L\\x\\b.LOG", 2);
  files.AddFile("C:\\L\\x\\y\\c.log", 3);
  files.AddFile("C:\\L\\Cache\\own", 10);
  files.AddFile("C:\\L\\Cache\\deep\\Cache\\inner", 5);
  Run({{"\\L", "*.log", 0, 1}, {"\\L", "Cache", 1, 1}}, {"C"});
  EXPECT_THAT(found,
              ElementsAre(Pair("C:\\L\\a.log", 1), Pair("C:\\L\\Cache", 10), Pair("C:\\L\\Cache\\deep\\Cache", 5),
                          Pair("C:\\L\\x\\b.LOG", 2), Pair("C:\\L\\x\\y\\c.log", 3)));
  // Depth first, once for both rules, every folder reported with its trailing backslash, a found
  // folder entered too.
  EXPECT_THAT(Walked(), ElementsAre("C:\\L\\", "C:\\L\\Cache\\", "C:\\L\\Cache\\deep\\", "C:\\L\\Cache\\deep\\Cache\\",
                                    "C:\\L\\x\\", "C:\\L\\x\\y\\"));
  EXPECT_EQ(folders.back(), "C:\\L\\x\\y\\");
}

// A tree shaped like a Vista profile (which the guard of profiles would keep from being listed): "Application Data"
// points back at its own parent, and a link leads to another disk. Neither is entered, counted or reported.
TEST_F(SearchThreadTest, ReparsePointsAreNeitherEnteredNorReported) {
  files.AddDrive('D');
  files.AddFile("C:\\Home\\Bob\\own.log", 7);
  files.AddJunction("C:\\Home\\Bob\\Application Data", "C:\\Home\\Bob");
  files.AddJunction("C:\\Home\\Bob\\Elsewhere", "D:\\Data");
  files.AddFile("D:\\Data\\precious.log", 1000);
  Run({{"\\Home", "*.log", 0, 1}, {"\\Home\\Bob", "*", 1, 0}, {"\\Home", "*", 1, 0}}, {"C"});
  EXPECT_THAT(found, UnorderedElementsAre(Pair("C:\\Home\\Bob\\own.log", 7), Pair("C:\\Home\\Bob", 7)));
  EXPECT_THAT(Walked(), ElementsAre("C:\\Home\\", "C:\\Home\\Bob\\"));
  EXPECT_EQ(GetFolderSize(files, "C:\\Home", true), 7);
}

TEST_F(SearchThreadTest, PathsBeyondTheOldLimitAreReportedAndEntered) {
  const std::string deep = "C:\\" + std::string(240, 'd');  // 243 characters
  files.AddFile(deep + "\\short.log", 1);
  files.AddFile(deep + "\\" + std::string(16, 'n') + ".log", 2);  // 264
  files.AddFile(deep + "\\" + std::string(16, 's') + "\\in.log", 3);
  const std::string overlong = "\\" + std::string(300, 'p');
  Run({{"\\", "*.log", 0, 1}, {overlong, "*", 0, 1}}, {"C"});
  EXPECT_THAT(found,
              UnorderedElementsAre(Pair(deep + "\\short.log", 1), Pair(deep + "\\" + std::string(16, 'n') + ".log", 2),
                                   Pair(deep + "\\" + std::string(16, 's') + "\\in.log", 3)));
  EXPECT_THAT(Walked(),
              ElementsAre("C:\\", deep + "\\", deep + "\\" + std::string(16, 's') + "\\", "C:" + overlong + "\\"));
}

TEST_F(SearchThreadTest, StopLetsTheFolderFinishItsMatchesThenEndsTheScan) {
  for (int i = 0; i < 40; ++i) files.AddFile("C:\\Big\\f" + std::to_string(i) + ".tmp", i);
  files.AddFile("C:\\Big\\sub\\later.tmp", 1);
  files.AddFile("C:\\Other\\never.tmp", 1);
  auto* worker = new TSearchInThread(main_thread, files, debug);
  worker->FreeOnTerminate = true;
  // The first folder is reported at once: the stop arrives before its entries are matched.
  worker->FOnCurrentFolder = [worker](const std::string&) { worker->FStopSearch = true; };
  worker->FOnFoundObject = [this](const std::string& path, int64_t size, bool, platform::FileId) {
    found.emplace_back(path, size);
  };
  worker->FOnSearchFinished = [this] { ++finished; };
  worker->SetSearchJob({"\\Big", "\\Other"}, {"*.tmp", "*"}, {"0", "0"}, {"1", "0"}, {"C", "D"});
  worker->Resume();
  main_thread.PumpUntilIdle();
  EXPECT_EQ(found.size(), 40u);
  EXPECT_THAT(Walked(), ElementsAre("C:\\Big\\"));
  EXPECT_EQ(finished, 1);
}

// Short names: on a volume with 8.3 aliases the file search matches "*.log" against REPORT~1.LOG
// too. Only the long name counts, for files and folders, with and without recursion.
TEST_F(SearchThreadTest, ShortNamesNeverWidenAMatch) {
  files.AddFile("C:\\W\\a.log", 1);
  files.AddFile("C:\\W\\report.logging", 2);
  files.SetShortName("C:\\W\\report.logging", "REPORT~1.LOG");
  files.AddFile("C:\\W\\sub\\design.tmpl", 3);
  files.SetShortName("C:\\W\\sub\\design.tmpl", "DESIGN~1.TMP");
  files.AddFile("C:\\W\\sub\\b.TMP", 4);
  files.AddFolder("C:\\W\\cache.tmpdir");
  files.SetShortName("C:\\W\\cache.tmpdir", "CACHE~1.TMP");
  ASSERT_EQ(files.FindFiles("C:\\W\\*.log").size(), 2u) << "the search itself matches the alias";
  Run({{"\\W", "*.log", 0, 1}, {"\\W\\sub", "*.tmp", 0, 0}, {"\\W", "*.tmp", 1, 1}}, {"C"});
  EXPECT_THAT(found, ElementsAre(Pair("C:\\W\\a.log", 1), Pair("C:\\W\\sub\\b.TMP", 4)));
}

// Found objects reach the main thread in the order they were found, each once, in hand-offs of at
// most kBatchObjects; one listing of each folder serves both the matching and the recursion.
TEST_F(SearchThreadTest, FoundObjectsArriveInOrderInBatches) {
  std::vector<std::pair<std::string, int64_t>> expected;
  for (const std::string folder : {"C:\\B", "C:\\B\\x", "C:\\B\\x\\y", "C:\\B\\z"}) {
    for (int i = 0; i < 900; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "\\f%03d.dat", i);
      const std::string path = folder + name;
      files.AddFile(path, i);
      expected.emplace_back(path, i);
    }
    files.AddFile(folder + "\\keep.txt", 1);
  }
  Run({{"\\B", "*.dat", 0, 1}}, {"C"});
  // The test file system lists in name order: B's own matches, then B\x, B\x\y and B\z.
  EXPECT_EQ(found, expected);
  ASSERT_FALSE(batch_ends.empty());
  EXPECT_EQ(batch_ends.back(), expected.size());
  size_t before = 0;
  for (size_t end : batch_ends) {
    EXPECT_LE(end - before, TSearchInThread::kBatchObjects);
    before = end;
  }
  EXPECT_GE(batch_ends.size(), expected.size() / TSearchInThread::kBatchObjects);
  EXPECT_THAT(files.listed, ElementsAre("C:\\B\\*", "C:\\B\\x\\*", "C:\\B\\x\\y\\*", "C:\\B\\z\\*"));
}

// The folder label is fed at display rate: the first folder at once, then the latest at most every
// kBatchInterval, never a folder out of the walk's order.
TEST_F(SearchThreadTest, FolderReportsFollowTheWalkAtDisplayRate) {
  for (int i = 0; i < 40; ++i)
    for (int j = 0; j < 50; ++j) files.AddFolder("C:\\R\\a" + std::to_string(i) + "\\b" + std::to_string(j));
  Run({{"\\R", "*.log", 0, 1}}, {"C"});
  const std::vector<std::string> walked = Walked();
  ASSERT_EQ(walked.size(), 1u + 40 + 40 * 50);
  ASSERT_FALSE(folders.empty());
  EXPECT_EQ(folders.front(), "C:\\R\\");
  EXPECT_LT(folders.size(), walked.size() / 10);
  auto next = walked.begin();
  for (const std::string& folder : folders) {
    next = std::find(next, walked.end(), folder);
    ASSERT_NE(next, walked.end()) << folder << " reported out of the walk's order";
  }
}

TEST_F(SearchThreadTest, FailingReportStopsTheWalkButTheEndStillComes) {
  files.AddFile("C:\\T\\a.tmp", 1);
  files.AddFile("C:\\T\\b.tmp", 1);
  files.AddFile("C:\\U\\c.tmp", 1);
  Run({{"\\T", "*", 0, 0}, {"\\U", "*", 0, 0}}, {"C"},
      [](TSearchInThread&, const std::string&, int64_t) { throw platform::Exception("'x' is not a valid integer"); });
  EXPECT_EQ(found.size(), 1u);
  EXPECT_EQ(finished, 1);
  EXPECT_THAT(DebugLines(), ElementsAre("1", "Search T (Stopped) 'x' is not a valid integer"));
}

TEST_F(SearchThreadTest, TemplatesThatNameNoEntryOfTheFolderMatchNothing) {
  files.AddFile("C:\\T\\a.tmp", 1);
  files.AddFile("C:\\T\\sub\\b.tmp", 2);
  files.AddFile("C:\\b.tmp", 3);
  Run({{"\\T", "", 0, 0}, {"\\T", "sub\\*", 0, 0}, {"\\T", "..", 1, 0}, {"\\T", "C:*", 0, 0}}, {"C"});
  EXPECT_THAT(found, IsEmpty());
  EXPECT_EQ(finished, 1);
}

TEST_F(SearchThreadTest, WorkerWithoutHandlersRunsToItsEnd) {
  files.AddFile("C:\\T\\a.tmp", 1);
  auto* worker = new TSearchInThread(main_thread, files, debug);
  worker->FreeOnTerminate = true;
  worker->SetSearchJob({"\\T"}, {"*"}, {"0"}, {"1"}, {"C"});
  worker->Resume();
  main_thread.PumpUntilIdle();
  EXPECT_EQ(main_thread.live_workers(), 0);
}

TEST(SizeFunctions, CountContentBytesOfFilesOnly) {
  FakeFileSystem files;
  files.AddFile("C:\\F\\hidden.sys", (4ll << 30) + 5, platform::kAttrHidden | platform::kAttrSystem);
  files.AddFile("C:\\F\\sub\\a", 10);
  files.AddFile("C:\\F\\.dot\\b", 100);
  EXPECT_EQ(GetFileSizeByName(files, "C:\\F\\hidden.sys"), (4ll << 30) + 5);
  EXPECT_EQ(GetFileSizeByName(files, "C:\\F\\HIDDEN.SYS"), (4ll << 30) + 5);
  EXPECT_EQ(GetFileSizeByName(files, "C:\\F\\sub"), 0);
  EXPECT_EQ(GetFileSizeByName(files, "C:\\F\\missing"), 0);
  EXPECT_EQ(GetFileSizeByName(files, "C:\\F\\*"), 0);
  EXPECT_EQ(GetFolderSize(files, "C:\\F", false), (4ll << 30) + 5);
  EXPECT_EQ(GetFolderSize(files, "C:\\F\\", true), (4ll << 30) + 15);
  EXPECT_EQ(GetFolderSize(files, "C:\\F\\hidden.sys", true), 0);
  EXPECT_EQ(GetFolderSize(files, "C:\\missing", true), 0);
}

}  // namespace

// The filters: what is too fresh or excluded is never reported, and an excluded folder is never
// even listed.
constexpr int64_t kNow = 134412480000000000;
constexpr int64_t kDay = kFileTimeTicksPerDay;

TEST_F(SearchThreadTest, AgeFilterJudgesFilesByTheirOwnTimeAndFoldersByTheNewestInside) {
  files.AddFile("C:\\Temp\\old.tmp", 10);
  files.AddFile("C:\\Temp\\fresh.tmp", 20);
  files.SetLastWrite("C:\\Temp\\old.tmp", kNow - 8 * kDay);
  files.SetLastWrite("C:\\Temp\\fresh.tmp", kNow - 6 * kDay);
  // A folder is as fresh as anything deep inside it, or as itself.
  files.AddFile("C:\\Temp\\setup\\deep\\writing.dat", 5);
  files.SetLastWrite("C:\\Temp\\setup\\deep\\writing.dat", kNow - kDay);
  files.AddFile("C:\\Temp\\stale\\deep\\done.dat", 7);
  files.AddFolder("C:\\Temp\\touched");
  files.SetLastWrite("C:\\Temp\\touched", kNow);
  filters.ChangedBefore = TScanFilters::CutOff(kNow, 7);
  Run({{"C:\\Temp", "*.tmp", 0, 0}, {"C:\\Temp", "*", 1, 0}}, {"C"});
  EXPECT_THAT(found, ElementsAre(Pair("C:\\Temp\\old.tmp", 10), Pair("C:\\Temp\\stale", 7)));

  // Off (0 days), every age is listed.
  found.clear();
  filters.ChangedBefore = TScanFilters::CutOff(kNow, 0);
  Run({{"C:\\Temp", "*", 1, 0}}, {"C"});
  EXPECT_EQ(found.size(), 3u);
}

TEST_F(SearchThreadTest, ExcludedFolderIsNeitherEnteredNorListedNorLeftInsideAListedFolder) {
  files.AddFile("C:\\Temp\\keep\\mine.tmp", 1);
  files.AddFile("C:\\Temp\\keeper\\junk.tmp", 2);
  files.AddFile("C:\\Temp\\holder\\keep\\mine.tmp", 3);
  files.AddFile("C:\\Temp\\notes.docx", 4);
  files.AddFile("C:\\Temp\\papers\\letter.DOCX", 5);
  filters.Exclusions = TExclusions({"c:\\temp\\KEEP\\", "C:\\Temp\\holder\\keep", "*.docx"});
  Run({{"C:\\Temp", "*", 0, 1}, {"C:\\Temp", "*", 1, 0}}, {"C"});
  EXPECT_THAT(found, UnorderedElementsAre(Pair("C:\\Temp\\keeper\\junk.tmp", 2), Pair("C:\\Temp\\keeper", 2)));
  for (const std::string& folder : Walked()) {
    EXPECT_FALSE(folder.starts_with("C:\\Temp\\keep\\")) << folder;
    EXPECT_FALSE(folder.starts_with("C:\\Temp\\holder\\keep\\")) << folder;
  }
}
