// The scan worker walks each folder once for all its rules; what it reports must be exactly what
// the rules report walked one by one (tests/support/rule_by_rule_walk), over many generated trees
// and rule sets: overlapping and nested rule folders, two rules finding the same object, folders
// sized by a recursive rule, wildcard folders, links, 8.3 aliases, exclusions, the age filter and
// the user-data guard. Only the order in which objects arrive may differ.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "tests/support/fake_file_system.h"
#include "tests/support/rule_by_rule_walk.h"

namespace {

constexpr int64_t kOld = 100, kNew = 300, kCutOff = 200;

template <class T>
const T& Pick(std::mt19937& random, const std::vector<T>& from) {
  return from[std::uniform_int_distribution<size_t>(0, from.size() - 1)(random)];
}
bool Chance(std::mt19937& random, int percent) { return std::uniform_int_distribution(0, 99)(random) < percent; }

// Folders of a few names, nested up to three deep on C: and D:, with files whose names and
// patterns collide, some fresh, some with an 8.3 alias, and links among the folders.
void PlantTree(std::mt19937& random, FakeFileSystem& files) {
  const std::vector<std::string> folder_names = {"A", "B", "Cache", "Temp", "AppData", "Roaming"};
  const std::vector<std::string> file_names = {"a.tmp", "b.log", "Thumbs.db", "c.TMP", "Cache", "design.tmpl"};
  files.AddDrive('D');
  std::vector<std::string> folders = {"C:", "D:"};
  for (size_t i = 0; i < folders.size() && folders.size() < 40; ++i) {
    const int depth = static_cast<int>(std::count(folders[i].begin(), folders[i].end(), '\\'));
    if (depth >= 3) continue;
    for (const std::string& name : folder_names)
      if (Chance(random, depth == 0 ? 60 : 30)) folders.push_back(folders[i] + "\\" + name);
  }
  int n = 0;
  for (size_t i = 2; i < folders.size(); ++i) {
    files.AddFolder(folders[i]);
    if (Chance(random, 20)) files.SetLastWrite(folders[i], kNew);
    for (const std::string& name : file_names) {
      if (!Chance(random, 35)) continue;
      const std::string path = folders[i] + "\\" + name;
      files.AddFile(path, 1 + (++n % 7) * 100);
      if (Chance(random, 25)) files.SetLastWrite(path, kNew);
      if (name == "design.tmpl") files.SetShortName(path, "DESIGN~1.TMP");
    }
  }
  for (int links = 0; links < 3 && folders.size() > 3; ++links) {
    const std::string& parent = Pick(random, folders);
    const std::string& target = Pick(random, folders);
    if (parent.size() > 2 || Chance(random, 50)) files.AddJunction(parent + "\\Link" + std::to_string(links), target);
  }
}

std::vector<TReferenceRule> MakeRules(std::mt19937& random) {
  const std::vector<std::string> paths = {"\\",         "\\A",       "\\A\\B", "\\A\\*",      "\\*\\Cache", "\\B",
                                          "\\Cache",    "\\Nope",    "\\Temp", "\\AppData",   "C:\\A",      "D:\\B",
                                          "\\A\\Link0", "\\A\\Temp", "\\B\\A", "\\*\\*\\Temp"};
  const std::vector<std::string> templates = {"*",   "*.tmp", "Cache", "a*",   "?.log", "Thumbs.db",
                                              "*.*", "..",    "",      "x\\y", "TEMP"};
  std::vector<TReferenceRule> rules(std::uniform_int_distribution(1, 8)(random));
  for (TReferenceRule& rule : rules)
    rule = {Pick(random, paths), Pick(random, templates), Chance(random, 40), Chance(random, 50)};
  return rules;
}

TScanFilters MakeFilters(std::mt19937& random) {
  TScanFilters filters;
  if (Chance(random, 30)) filters.ChangedBefore = kCutOff;
  std::vector<std::string> exclusions;
  if (Chance(random, 25)) exclusions.push_back("C:\\A\\B");
  if (Chance(random, 15)) exclusions.push_back("*.log");
  filters.Exclusions = TExclusions(exclusions);
  if (Chance(random, 50))
    filters.UserData =
        TUserData(TUserFolders{.local_app_data = "C:\\AppData\\Local", .roaming_app_data = "C:\\AppData\\Roaming"});
  return filters;
}

TEST(OneWalkProperty, ReportsExactlyWhatTheRulesFindOneByOne) {
  size_t reported = 0, duplicated = 0;
  for (unsigned seed = 1; seed <= 400; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    FakeFileSystem files;
    PlantTree(random, files);
    const std::vector<TReferenceRule> rules = MakeRules(random);
    const TScanFilters filters = MakeFilters(random);
    const std::vector<std::string> drives =
        Chance(random, 30) ? std::vector<std::string>{"C", "D"} : std::vector<std::string>{"C"};

    std::vector<TReferenceFind> expected = RuleByRuleWalk(files, rules, drives, filters);
    std::vector<TReferenceFind> actual = OneWalk(files, rules, drives, filters);
    std::sort(expected.begin(), expected.end());
    std::sort(actual.begin(), actual.end());
    ASSERT_EQ(actual, expected);
    reported += expected.size();
    duplicated += expected.end() - std::unique(expected.begin(), expected.end());
  }
  // The generated cases do reach what they are meant to: many objects, some found twice.
  EXPECT_GT(reported, 1000u);
  EXPECT_GT(duplicated, 50u) << duplicated;
}

}  // namespace
