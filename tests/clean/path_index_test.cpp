// The index from path to its first item, over enough paths that the table's probes wrap and
// collide: every path found at its first place whatever its letter case, later copies never.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clean/path_index.h"
#include "platform/text.h"

namespace {

TEST(PathIndexTest, FindsTheFirstItemOfEachPathLetterCaseIgnored) {
  std::vector<TCleanItem> items;
  for (int i = 0; i < 5000; ++i)
    items.push_back({"C:\\Temp\\d" + std::to_string(i % 97) + "\\f" + std::to_string(i), "1", {}});
  // Later copies of earlier paths, in other letter case: the first stays the one found.
  for (int i = 0; i < 5000; i += 7) items.push_back({platform::UpperCase(items[static_cast<size_t>(i)].Path), "2", {}});
  items.push_back({"", "3", {}});
  const TPathIndex index(items);

  for (size_t i = 0; i < 5000; ++i) ASSERT_EQ(index.Find(items[i].Path), i) << items[i].Path;
  EXPECT_EQ(index.Find("c:\\temp\\d5\\f5"), 5u);
  EXPECT_EQ(index.Find(""), items.size() - 1);
  EXPECT_EQ(index.Find("C:\\Temp\\d5\\f5000"), TPathIndex::npos);
  EXPECT_EQ(index.Find("C:\\Temp\\d5\\f5 "), TPathIndex::npos) << "no trimming: names differ";
  EXPECT_EQ(TPathIndex({}).Find("C:\\x"), TPathIndex::npos);
}

}  // namespace
