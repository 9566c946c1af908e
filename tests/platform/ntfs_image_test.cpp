// The file-table reader against a real NTFS image: mkntfs makes it and wimapply writes a tree into
// it without mounting it; what the reader lists must be the tree as Linux sees it. Faults are then
// put into the image's own records, where a reader must refuse them without listing a wrong path.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/file_table.h"
#include "tests/support/table_paths.h"
#include "platform/ntfs_volume.h"
#include "tests/support/ntfs_image.h"

namespace {

namespace fs = std::filesystem;
using namespace platform::ntfs;

struct Listed {
  uint64_t size;
  bool folder;
  bool operator==(const Listed&) const = default;
};

using ntfs_image::Shell;

void Write(const fs::path& file, size_t size) {
  std::ofstream out(file, std::ios::binary);
  out << std::string(size, 'x');
}

// The tree and its image, made once for the whole suite.
class MftImage : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!ntfs_image::ToolsPresent(ntfs_image::ImageTools()) || !ntfs_image::ToolsPresent({"ntfscp"})) return;
    dir_ = ntfs_image::MakeTempFolder();
    if (dir_.empty()) return;
    const fs::path tree = dir_ / "tree";
    fs::create_directories(tree / "a" / "b" / "c");
    Write(tree / "a" / "b" / "c" / "deep.txt", 3);
    Write(tree / "a" / "tiny.txt", 10);    // resident data
    Write(tree / "a" / "long.bin", 5000);  // non-resident data
    Write(tree / "a" / "An rather long name that DOS would shorten.txt", 1);
    Write(tree / "a" /
              "\xC3\x9Cn\xC3\xAF c\xC3\xB8"
              "d\xC3\xA9 \xE5\x90\x8D\xE5\x89\x8D.txt",
          7);
    Write(tree / "a" / "\xF0\x9F\x98\x80.tmp", 2);
    Write(tree / "a" / "orig.txt", 4);
    fs::create_hard_link(tree / "a" / "orig.txt", tree / "a" / "b" / "hardlink.txt");
    std::ofstream(tree / "sparse.bin").close();
    fs::resize_file(tree / "sparse.bin", 3 << 20);
    fs::create_directory(tree / "many");
    for (int i = 0; i < 600; ++i) Write(tree / "many" / ("file with a long name, number " + std::to_string(i)), i);
    // So many names that they spill out of the file's record into extension records.
    fs::create_directory(tree / "links");
    Write(tree / "links" / "first", 11);
    for (int i = 0; i < 40; ++i)
      fs::create_hard_link(tree / "links" / "first",
                           tree / "links" / ("another name for the same file " + std::to_string(i)));
    Write(dir_ / "stream", 3000);
    image_ = dir_ / "volume.img";
    const std::string img = image_.string();
    if (!ntfs_image::MakeImage(tree, image_) ||
        !Shell("ntfscp -N extra " + img + " " + (dir_ / "stream").string() + " /a/tiny.txt"))
      image_.clear();
  }
  static void TearDownTestSuite() {
    if (!dir_.empty()) fs::remove_all(dir_);
  }

  void SetUp() override {
    if (image_.empty()) GTEST_SKIP() << ntfs_image::MissingToolsMessage() << ", and ntfscp";
    bytes_ = ntfs_image::ReadImage(image_);
  }

  ReadVolume Reader() const { return ntfs_image::Reader(bytes_); }

  // What the reader lists, as Linux paths below the tree; the volume's own files left out.
  std::map<std::string, Listed> List(FileTable* table_out = nullptr) const {
    const auto volume = NtfsVolume::Open(Reader());
    EXPECT_TRUE(volume);
    if (!volume) return {};
    auto table = ReadFileTable(*volume);
    EXPECT_TRUE(table);
    std::map<std::string, Listed> listed;
    for (const ListedPath& item : ListPaths(*table)) {
      if (item.path.starts_with("\\$") || item.path.starts_with("\\System Volume Information")) continue;
      std::string path = item.path.substr(1);
      std::replace(path.begin(), path.end(), '\\', '/');
      listed[path] = {item.entry->data_size, item.entry->is_folder};
    }
    if (table_out) *table_out = std::move(*table);
    return listed;
  }

  // Where record `number` lies in the image.
  size_t RecordOffset(const NtfsVolume& volume, uint64_t number) const {
    const uint64_t at = number * volume.boot().record_size, cluster = volume.boot().bytes_per_cluster;
    return *ClusterOf(volume.extents(), at / cluster) * cluster + at % cluster;
  }

  uint64_t RecordOf(const std::string& linux_path) const {
    FileTable table;
    List(&table);
    std::string path = "\\" + linux_path;
    std::replace(path.begin(), path.end(), '/', '\\');
    for (const ListedPath& item : ListPaths(table))
      if (item.path == path) return item.entry->reference.record;
    ADD_FAILURE() << linux_path << " is not listed";
    return 0;
  }

  static inline fs::path dir_, image_;
  std::vector<uint8_t> bytes_;
};

TEST_F(MftImage, ListsTheTreeAsLinuxSeesIt) {
  std::map<std::string, Listed> expected;
  for (const auto& item : fs::recursive_directory_iterator(dir_ / "tree")) {
    const bool folder = item.is_directory();
    expected[fs::relative(item.path(), dir_ / "tree").string()] = {folder ? 0 : item.file_size(), folder};
  }
  FileTable table;
  EXPECT_EQ(List(&table), expected);
  EXPECT_EQ(table.damaged, 0u);
  // The file of many names spilled them into extension records and still has every one.
  const auto volume = NtfsVolume::Open(Reader());
  const Entry* links = table.Find(table.entries.at(RecordOf("links/first")).reference);
  ASSERT_TRUE(links);
  EXPECT_EQ(links->links.size(), 41u);
  EXPECT_GE(volume->boot().record_size, 1024u);
  // The sparse file is stored as one: its size is not its clusters.
  EXPECT_TRUE(table.entries.at(RecordOf("sparse.bin")).attributes & 0x200);
}

TEST_F(MftImage, ATornRecordDropsItsFileAndWhatLiesBelowIt) {
  const uint64_t folder = RecordOf("a/b"), file = RecordOf("a/long.bin");
  const auto volume = NtfsVolume::Open(Reader());
  for (uint64_t record : {folder, file}) bytes_[RecordOffset(*volume, record) + 1022] ^= 0xFF;  // a torn second sector
  FileTable table;
  const auto listed = List(&table);
  EXPECT_EQ(table.damaged, 0u) << "a torn record cannot even be told to be in use";
  for (const char* gone : {"a/b", "a/b/c", "a/b/c/deep.txt", "a/long.bin", "a/b/hardlink.txt"})
    EXPECT_FALSE(listed.contains(gone)) << gone;
  // The hard link's other name, in a folder that is whole, stays.
  EXPECT_TRUE(listed.contains("a/orig.txt"));
  EXPECT_TRUE(listed.contains("a/tiny.txt"));
}

TEST_F(MftImage, AFolderWhoseRecordWasReusedTakesNoChildren) {
  // A new sequence number means the folder the children name is gone.
  const uint64_t folder = RecordOf("a/b/c");
  const auto volume = NtfsVolume::Open(Reader());
  bytes_[RecordOffset(*volume, folder) + 0x10] += 1;
  const auto listed = List();
  EXPECT_TRUE(listed.contains("a/b/c"));
  EXPECT_FALSE(listed.contains("a/b/c/deep.txt"));
}

TEST_F(MftImage, AnExtensionRecordThatIsLostRefusesItsBaseWhole) {
  const uint64_t base = RecordOf("links/first");
  FileTable table;
  List(&table);
  const auto volume = NtfsVolume::Open(Reader());
  // Find an extension of the file and take it out of use.
  bool found = false;
  volume->ForEachRecord([&](uint64_t number, std::optional<MftRecord> record) {
    if (found || !record || record->base.record != base) return;
    found = true;
    bytes_[RecordOffset(*volume, number) + 0x16] &= ~1;
  });
  ASSERT_TRUE(found);
  List(&table);
  EXPECT_EQ(table.damaged, 1u);
  EXPECT_FALSE(table.entries.contains(base));
}

}  // namespace
