// The file table standing in for the system's listings. A generated tree is written into a real
// NTFS image (tests/support/ntfs_image) and planted in the in-memory file system alike; the scan
// worker, run with the same rules over both, must find the same objects with the same sizes, and
// the table must answer every listing itself.
#include "platform/table_file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "platform/file_table.h"
#include "tests/support/fake_file_system.h"
#include "tests/support/ntfs_image.h"
#include "tests/support/rule_by_rule_walk.h"

namespace {

namespace fs = std::filesystem;

constexpr int64_t kUnixEpochAsFileTime = 116444736000000000;
constexpr int64_t kTicksPerSecond = 10000000;
// Files are dated a year or a day before this moment; the age filter parts them in between.
constexpr int64_t kNow = 1700000000;
constexpr int64_t kCutOff = (kNow - 30 * 86400) * kTicksPerSecond + kUnixEpochAsFileTime;

bool Chance(std::mt19937& random, int percent) { return std::uniform_int_distribution(0, 99)(random) < percent; }

template <class T>
const T& Pick(std::mt19937& random, const std::vector<T>& from) {
  return from[std::uniform_int_distribution<size_t>(0, from.size() - 1)(random)];
}

void Write(const fs::path& file, size_t size, int64_t unix_time) {
  std::ofstream(file, std::ios::binary) << std::string(size, 'x');
  fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::seconds(std::time(nullptr) - unix_time));
}

int64_t FileTimeOf(const fs::path& path) {
  struct stat info {};
  lstat(path.c_str(), &info);
  return info.st_mtim.tv_sec * kTicksPerSecond + info.st_mtim.tv_nsec / 100 + kUnixEpochAsFileTime;
}

// A random tree of folders up to three deep with the names the shipped rules look for, odd names
// (spaces, dots, Unicode, a long one), sizes of 0 to a few KB, a hard link and a link to a folder.
void MakeTree(std::mt19937& random, const fs::path& tree) {
  const std::vector<std::string> folder_names = {"Temp",
                                                 "Cache",
                                                 "logs",
                                                 "a b",
                                                 "dots.in.name",
                                                 "\xC3\x9Cn\xC3\xAF c\xC3\xB8"
                                                 "d\xC3\xA9 \xE5\x90\x8D",
                                                 std::string(100, 'L') + " long",
                                                 "Code Cache"};
  const std::vector<std::string> file_names = {"x.tmp",
                                               "Y.TMP",
                                               "report.log",
                                               "Thumbs.db",
                                               "notes.txt",
                                               "two words.tmp",
                                               "a.b.c.log",
                                               "\xF0\x9F\x98\x80.tmp",
                                               "\xC3\xA9t\xC3\xA9.LOG",
                                               std::string(150, 'n') + ".tmp",
                                               "no extension"};
  std::vector<fs::path> folders = {tree};
  fs::create_directory(tree);
  for (size_t i = 0; i < folders.size() && folders.size() < 30; ++i) {
    const auto depth = std::distance(tree.begin(), tree.end());
    if (std::distance(folders[i].begin(), folders[i].end()) - depth >= 3) continue;
    for (const std::string& name : folder_names)
      if (Chance(random, i == 0 ? 50 : 25)) {
        folders.push_back(folders[i] / name);
        fs::create_directory(folders.back());
      }
  }
  std::vector<fs::path> files;
  for (const fs::path& folder : folders)
    for (const std::string& name : file_names)
      if (Chance(random, 30)) {
        files.push_back(folder / name);
        const int64_t age = Chance(random, 25) ? 86400 : 365 * 86400;
        Write(files.back(), std::uniform_int_distribution<size_t>(0, 4000)(random), kNow - age);
      }
  if (!files.empty() && folders.size() > 1) {
    const fs::path link = Pick(random, folders) / "hard link.tmp";
    if (!fs::exists(link)) fs::create_hard_link(Pick(random, files), link);
  }
  if (folders.size() > 2) fs::create_directory_symlink(Pick(random, folders), Pick(random, folders) / "Link");
}

// The same tree in the in-memory file system on drive C.
void Plant(const fs::path& tree, FakeFileSystem& files) {
  for (const auto& item : fs::recursive_directory_iterator(tree)) {
    // Lexically: a link's own path, not its target's.
    std::string windows = "C:\\" + item.path().lexically_relative(tree).string();
    std::replace(windows.begin(), windows.end(), '/', '\\');
    if (item.is_symlink()) {
      std::string target = "C:\\" + fs::read_symlink(item.path()).lexically_relative(tree).string();
      std::replace(target.begin(), target.end(), '/', '\\');
      files.AddJunction(windows, target);
    } else if (item.is_directory()) {
      files.AddFolder(windows);
    } else {
      files.AddFile(windows, static_cast<int64_t>(item.file_size()));
    }
    files.SetLastWrite(windows, FileTimeOf(item.path()));
  }
}

// Rules as the shipped ones are written: a template in every folder below one, a whole folder,
// folders by name, a folder named by a pattern.
std::vector<TReferenceRule> MakeRules(std::mt19937& random) {
  const std::vector<TReferenceRule> rules = {
      {"\\", "*.tmp", false, true},      {"\\", "Thumbs.db", false, true}, {"\\", "*.log", false, true},
      {"\\Temp", "*", false, true},      {"\\Cache", "*.*", false, false}, {"\\", "Cache", true, true},
      {"\\", "logs", true, false},       {"\\*\\Cache", "*", false, true}, {"\\a b", "*", true, false},
      {"\\*", "Code Cache", true, true}, {"\\Nope", "*", false, true},     {"\\", "*", false, true},
      {"\\Temp", "*", true, false}};
  std::vector<TReferenceRule> picked;
  for (const TReferenceRule& rule : rules)
    if (Chance(random, 50)) picked.push_back(rule);
  return picked;
}

using Found = std::tuple<std::string, int64_t, bool>;

// What the scan finds, without the file ids, which the in-memory file system does not share with
// the table.
std::vector<Found> Scan(platform::FileSystem& files, const std::vector<TReferenceRule>& rules,
                        const TScanFilters& filters) {
  std::vector<Found> found;
  for (const TReferenceFind& f : OneWalk(files, rules, {"C"}, filters)) found.emplace_back(f.path, f.size, f.folder);
  std::sort(found.begin(), found.end());
  return found;
}

class TableFileSystemTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!ntfs_image::ToolsPresent(ntfs_image::ImageTools())) GTEST_SKIP() << ntfs_image::MissingToolsMessage();
    dir_ = ntfs_image::MakeTempFolder();
    ASSERT_FALSE(dir_.empty());
  }
  void TearDown() override {
    if (!dir_.empty()) fs::remove_all(dir_);
  }

  // The file table of an image holding `tree`.
  platform::ntfs::FileTable TableOf(const fs::path& tree) {
    const fs::path image = dir_ / "volume.img";
    fs::remove(image);
    fs::remove(image.string() + ".wim");
    EXPECT_TRUE(ntfs_image::MakeImage(tree, image));
    const std::vector<uint8_t> bytes = ntfs_image::ReadImage(image);
    const auto volume = platform::ntfs::NtfsVolume::Open(ntfs_image::Reader(bytes));
    EXPECT_TRUE(volume);
    auto table = volume ? platform::ntfs::ReadFileTable(*volume) : std::nullopt;
    EXPECT_TRUE(table);
    return table ? std::move(*table) : platform::ntfs::FileTable();
  }

  fs::path dir_;
};

TEST_F(TableFileSystemTest, ScansFindWhatTheSystemsListingsFind) {
  size_t found = 0, folders = 0;
  for (unsigned seed = 1; seed <= 6; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    const fs::path tree = dir_ / ("tree" + std::to_string(seed));
    MakeTree(random, tree);
    FakeFileSystem listed;
    Plant(tree, listed);
    FakeFileSystem rest;  // everything the table does not answer, here nothing at all
    platform::TableFileSystem table(rest, 'c', TableOf(tree));
    for (int run = 0; run < 3; ++run) {
      const std::vector<TReferenceRule> rules = MakeRules(random);
      TScanFilters filters;
      if (Chance(random, 40)) filters.ChangedBefore = kCutOff;
      const std::vector<Found> expected = Scan(listed, rules, filters);
      ASSERT_EQ(Scan(table, rules, filters), expected);
      found += expected.size();
      folders += std::count_if(expected.begin(), expected.end(), [](const Found& f) { return std::get<2>(f); });
    }
    EXPECT_EQ(rest.find_calls, 0) << "every listing came from the table";
  }
  EXPECT_GT(found, 100u);
  EXPECT_GT(folders, 5u);
}

TEST_F(TableFileSystemTest, FileIdsAreFormedAsTheSystemFormsThem) {
  std::mt19937 random(7);
  const fs::path tree = dir_ / "tree";
  MakeTree(random, tree);
  platform::ntfs::FileTable whole = TableOf(tree), bare = whole;
  bare.ids_hold_sequence = false;  // Wine over ntfs-3g: the record number alone
  FakeFileSystem rest;
  const auto listed_whole = platform::TableFileSystem(rest, 'c', std::move(whole)).ListFolder("C:\\");
  const auto listed_bare = platform::TableFileSystem(rest, 'c', std::move(bare)).ListFolder("C:\\");
  ASSERT_TRUE(listed_whole && listed_bare);
  ASSERT_EQ(listed_whole->size(), listed_bare->size());
  ASSERT_FALSE(listed_whole->empty());
  for (size_t i = 0; i < listed_whole->size(); ++i) {
    const platform::FileId id = (*listed_whole)[i].id;
    EXPECT_NE(id >> 48, 0u) << "a file's sequence number starts at 1";
    EXPECT_EQ((*listed_bare)[i].id, id & 0xFFFFFFFFFFFFull);
  }
}

}  // namespace

namespace {

// A single name finds its entry by its long name, whatever the case, or else by its 8.3 alias, as
// FindFirstFileW does; a pattern matches long names only, and an alias never hides a long name.
TEST(TableFileSystemNames, OneNameFindsItsEntryByLongNameOrAliasAPatternByLongNamesOnly) {
  using platform::ntfs::Entry;
  platform::ntfs::FileTable table;
  const platform::ntfs::FileReference root{5, 5}, folder{40, 1};
  table.entries[5] = Entry{root, {{root, ".", ""}}, true, 0x10};
  table.entries[40] = Entry{folder, {{root, "dir", ""}}, true, 0x10};
  table.entries[41] = Entry{{41, 1}, {{folder, "a very long name.tmp", "AVERYL~1.TMP"}}, false, 0x20};
  table.entries[42] = Entry{{42, 1}, {{folder, "b.tmp", "B.TMP"}}, false, 0x20};
  // Its own long name is another file's alias: the long name is found.
  table.entries[43] = Entry{{43, 1}, {{folder, "averyl~1.tmp", ""}}, false, 0x20};
  FakeFileSystem rest;
  platform::TableFileSystem files(rest, 'c', std::move(table));
  const auto names = [&](const std::string& pattern) {
    std::vector<std::string> found;
    for (const platform::FindEntry& entry : files.FindFiles(pattern)) found.push_back(entry.name);
    return found;
  };
  EXPECT_EQ(names("C:\\DIR\\A VERY LONG NAME.TMP"), std::vector<std::string>{"a very long name.tmp"});
  EXPECT_EQ(names("C:\\dir\\AVERYL~1.TMP"), std::vector<std::string>{"averyl~1.tmp"});
  EXPECT_EQ(names("C:\\dir\\b.TMP"), std::vector<std::string>{"b.tmp"});
  EXPECT_EQ(names("C:\\dir\\*~1.TMP"), std::vector<std::string>{"averyl~1.tmp"});
  EXPECT_TRUE(names("C:\\dir\\nothing.tmp").empty());
  EXPECT_EQ(rest.find_calls, 0);
  // Without the clashing file, the alias reaches the long-named one.
  platform::ntfs::FileTable alone;
  alone.entries[5] = Entry{root, {{root, ".", ""}}, true, 0x10};
  alone.entries[40] = Entry{folder, {{root, "dir", ""}}, true, 0x10};
  alone.entries[41] = Entry{{41, 1}, {{folder, "a very long name.tmp", "AVERYL~1.TMP"}}, false, 0x20};
  platform::TableFileSystem only(rest, 'c', std::move(alone));
  const auto found = only.FindFiles("C:\\dir\\averyl~1.tmp");
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].name, "a very long name.tmp");
}

}  // namespace
