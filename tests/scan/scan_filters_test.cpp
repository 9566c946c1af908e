// The exclusion rules on paths, the age text, and the check made again just before deletion.
#include "scan/scan_filters.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/delete_runner.h"

using ::testing::ElementsAre;

namespace {

TEST(ExclusionsTest, FoldersMatchWholeComponentsInAnyCaseAndPatternsMatchOwnNames) {
  const TExclusions exclusions({"C:\\Temp\\keep\\", " d:/Data ", "*.docx", "report??.txt", "Temp\\x", "E:*"});
  // The folder itself and all below it; a longer sibling name is no part of it.
  EXPECT_TRUE(exclusions.Excludes("C:\\Temp\\keep"));
  EXPECT_TRUE(exclusions.Excludes("c:\\TEMP\\Keep\\a\\b.tmp"));
  EXPECT_FALSE(exclusions.Excludes("C:\\Temp\\keeper"));
  EXPECT_FALSE(exclusions.Excludes("C:\\Temp\\kee"));
  EXPECT_FALSE(exclusions.Excludes("C:\\Temp"));
  EXPECT_TRUE(exclusions.Excludes("D:\\data\\x"));
  // Patterns match the last name only, by the rules of the templates.
  EXPECT_TRUE(exclusions.Excludes("C:\\Users\\Me\\Letter.DOCX"));
  EXPECT_FALSE(exclusions.Excludes("C:\\Users\\Me.docx\\file.tmp"));
  EXPECT_TRUE(exclusions.Excludes("C:\\report01.txt"));
  EXPECT_FALSE(exclusions.Excludes("C:\\report1.txt"));
  // Entries of neither kind are kept as written but match nothing.
  EXPECT_EQ(exclusions.Entries().size(), 6u);
  EXPECT_FALSE(exclusions.Excludes("C:\\Temp\\x"));
  EXPECT_FALSE(exclusions.Excludes("E:\\anything"));
  // Deleting a parent would delete the excluded folder; the folder itself and siblings would not.
  EXPECT_TRUE(exclusions.HoldsExcludedFolder("C:\\Temp"));
  EXPECT_TRUE(exclusions.HoldsExcludedFolder("C:\\"));
  EXPECT_FALSE(exclusions.HoldsExcludedFolder("C:\\Temp\\keep"));
  EXPECT_FALSE(exclusions.HoldsExcludedFolder("C:\\Temp\\kee"));

  EXPECT_TRUE(TExclusions({"C:\\"}).Excludes("C:\\any\\thing"));
  EXPECT_FALSE(TExclusions().Excludes("C:\\any"));
  EXPECT_TRUE(SameExclusion("c:\\temp\\keep\\", "C:\\Temp\\Keep"));
  EXPECT_FALSE(SameExclusion("C:\\Temp\\keep", "C:\\Temp\\keeper"));
}

TEST(ExclusionsTest, AgeTextIsAWholeNumberOfDaysInRange) {
  EXPECT_EQ(ParseAgeDays(" 0 "), 0);
  EXPECT_EQ(ParseAgeDays("365"), 365);
  for (const char* bad : {"", "366", "-1", "7 days", "0x10", "1e2", "9999"})
    EXPECT_EQ(ParseAgeDays(bad), std::nullopt) << bad;
}

// Between the scan and the cleaning the user may add an exclusion and a program may write to a
// listed object: both are looked at again for each item.
TEST(ExclusionsTest, DeletionLooksAgainAndLeavesKeptItemsAlone) {
  constexpr int64_t kNow = 134412480000000000;
  FakePlatform fake;
  fake.files.AddFile("C:\\Temp\\keep\\mine.tmp", 1);
  fake.files.AddFile("C:\\Temp\\junk\\a.tmp", 1);
  fake.files.AddFile("C:\\Temp\\junk\\letter.docx", 1);
  fake.files.AddFile("C:\\Temp\\written.tmp", 1);
  fake.files.SetLastWrite("C:\\Temp\\written.tmp", kNow);
  fake.files.AddFile("C:\\Temp\\old.tmp", 1);
  DeleteRunOptions options;
  options.filters.ChangedBefore = TScanFilters::CutOff(kNow, 30);
  options.filters.Exclusions = TExclusions({"C:\\Temp\\keep", "*.docx"});
  const auto events = RunDeleteWorker(
      fake, {"C:\\Temp\\keep\\mine.tmp", "C:\\Temp", "C:\\Temp\\junk", "C:\\Temp\\written.tmp", "C:\\Temp\\old.tmp"},
      options);
  EXPECT_THAT(events, ElementsAre("started C:\\Temp\\keep\\mine.tmp", "kept C:\\Temp\\keep\\mine.tmp",
                                  "started C:\\Temp", "kept C:\\Temp", "started C:\\Temp\\junk", "kept C:\\Temp\\junk",
                                  "started C:\\Temp\\written.tmp", "kept C:\\Temp\\written.tmp",
                                  "started C:\\Temp\\old.tmp", "file C:\\Temp\\old.tmp", "finished"));
  EXPECT_TRUE(fake.files.Exists("C:\\Temp\\keep\\mine.tmp"));
  EXPECT_TRUE(fake.files.Exists("C:\\Temp\\junk\\a.tmp"));
  EXPECT_TRUE(fake.files.Exists("C:\\Temp\\written.tmp"));
}

}  // namespace
