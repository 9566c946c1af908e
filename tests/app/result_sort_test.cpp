// The order of the results list: by the bytes behind a size text, by path ignoring case, and
// back again, with every row keeping its mark, selection and outcome.
#include "app/result_sort.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/list_view.h"

using ::testing::ElementsAre;

namespace {

struct Results {
  Results() {
    list.AddColumn("Garbage Items", 520);
    list.AddColumn("Size on Disk", 150);
    list.AddColumn("Cleaning Status", 75);
  }
  // Added as the scan adds them: newest on top.
  ui::TListItem* Add(const std::string& path, int64_t bytes, const std::string& size_text) {
    ui::TListItem* row = list.Insert(0);
    row->SetCaption(path);
    row->Data = bytes;
    row->AddSubItem(size_text);
    row->AddSubItem("Queued...");
    return row;
  }
  std::vector<std::string> Paths() const {
    std::vector<std::string> paths;
    for (int i = 0; i < list.Count(); ++i) paths.push_back(list.Item(i)->Caption());
    return paths;
  }
  ui::TListView list{nullptr, "lvFound"};
};

TEST(ResultSortTest, SizesByBytesLargestFirstThenReversedAndPathsIgnoringCase) {
  Results r;
  r.Add("C:\\b.tmp", 512, "512 Bytes");
  ui::TListItem* big = r.Add("C:\\A.log", 123456789, "117.74");
  r.Add("C:\\c.dat", 4097, "0.0039072");
  ui::TListItem* cleaned = r.Add("c:\\a.dat", 4097, "0.0039072");
  big->SetChecked(true);
  r.list.UserSelected(big->Index());
  cleaned->SetSubItem(1, "File Deleted");
  ASSERT_THAT(r.Paths(), ElementsAre("c:\\a.dat", "C:\\c.dat", "C:\\A.log", "C:\\b.tmp"));

  // Equal sizes keep the order they had.
  SortResultsByColumn(r.list, kSizeColumn);
  EXPECT_THAT(r.Paths(), ElementsAre("C:\\A.log", "c:\\a.dat", "C:\\c.dat", "C:\\b.tmp"));
  EXPECT_EQ(r.list.SortColumn(), kSizeColumn);
  EXPECT_FALSE(r.list.SortAscending());
  SortResultsByColumn(r.list, kSizeColumn);
  EXPECT_THAT(r.Paths(), ElementsAre("C:\\b.tmp", "c:\\a.dat", "C:\\c.dat", "C:\\A.log"));

  SortResultsByColumn(r.list, kPathColumn);
  EXPECT_THAT(r.Paths(), ElementsAre("c:\\a.dat", "C:\\A.log", "C:\\b.tmp", "C:\\c.dat"));
  EXPECT_TRUE(r.list.SortAscending());
  SortResultsByColumn(r.list, kPathColumn);
  EXPECT_THAT(r.Paths(), ElementsAre("C:\\c.dat", "C:\\b.tmp", "C:\\A.log", "c:\\a.dat"));

  // Each row is the same row at its new place: mark, selection, outcome and the lookups by index
  // and by path follow it.
  EXPECT_EQ(big->Index(), 2);
  EXPECT_EQ(r.list.Item(2), big);
  EXPECT_TRUE(big->Checked());
  EXPECT_EQ(r.list.Selected(), big);
  EXPECT_EQ(r.list.FindCaption(0, "C:\\A.DAT"), cleaned);
  EXPECT_EQ(cleaned->SubItem(1), "File Deleted");
  EXPECT_EQ(r.list.FindCaption(3, "C:\\A.LOG"), nullptr);

  SortResultsByColumn(r.list, kCleaningStatusColumn);
  EXPECT_EQ(r.list.Item(0), cleaned);
  // No such column: nothing moves.
  SortResultsByColumn(r.list, 3);
  EXPECT_EQ(r.list.SortColumn(), kCleaningStatusColumn);
}

// Rows keep being added at the top after a sort, and 200,000 of them sort as one permutation.
TEST(ResultSortTest, ManyRowsSortAndNewRowsStillArriveOnTop) {
  Results r;
  constexpr int kRows = 200000;
  for (int i = 0; i < kRows; ++i) r.Add("C:\\t\\f" + std::to_string(i), (i * 7919) % kRows, "x");
  SortResultsByColumn(r.list, kSizeColumn);
  for (int i = 0; i < kRows; ++i) ASSERT_EQ(r.list.Item(i)->Data, kRows - 1 - i) << i;
  EXPECT_EQ(r.list.Item(kRows - 1)->Index(), kRows - 1);
  ui::TListItem* late = r.Add("C:\\late", 5, "5 Bytes");
  EXPECT_EQ(r.list.Item(0), late);
  EXPECT_EQ(r.list.Item(1)->Index(), 1);
}

}  // namespace
