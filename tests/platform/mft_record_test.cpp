// Faults a real image cannot show: torn sectors, run lists that leave the volume, records that
// lie about their bounds or names, and folders that form a cycle.
#include "platform/mft_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/file_table.h"
#include "tests/support/table_paths.h"
#include "platform/ntfs_runs.h"

namespace {

using namespace platform::ntfs;
using Buffer = std::vector<uint8_t>;

void Put(Buffer& b, size_t at, uint64_t value, size_t size) {
  if (b.size() < at + size) b.resize(at + size);
  for (size_t i = 0; i < size; ++i) b[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

Buffer Resident(uint32_t type, const Buffer& value) {
  Buffer a;
  Put(a, 0, type, 4);
  Put(a, 0x10, value.size(), 4);
  Put(a, 0x14, 0x18, 2);
  a.resize(0x18);
  a.insert(a.end(), value.begin(), value.end());
  a.resize((a.size() + 7) / 8 * 8);
  Put(a, 4, a.size(), 4);
  return a;
}

Buffer FileNameValue(uint64_t parent, uint16_t parent_sequence, std::u16string name, uint8_t space = 1) {
  Buffer v;
  Put(v, 0, parent | uint64_t{parent_sequence} << 48, 8);
  Put(v, 0x40, name.size(), 1);
  Put(v, 0x41, space, 1);
  for (char16_t c : name) Put(v, v.size(), c, 2);
  return v;
}

// A 1024-byte record of NTFS 3.1 holding `attributes`, its update sequence applied as on disk.
Buffer Record(uint64_t number, const std::vector<Buffer>& attributes) {
  Buffer r(1024, 0);
  std::memcpy(r.data(), "FILE", 4);
  Put(r, 0x04, 0x30, 2);
  Put(r, 0x06, 3, 2);
  Put(r, 0x10, 1, 2);
  Put(r, 0x14, 0x38, 2);
  Put(r, 0x16, 1, 2);
  Put(r, 0x1C, 1024, 4);
  Put(r, 0x2C, number, 4);
  size_t at = 0x38;
  for (const Buffer& a : attributes) {
    std::copy(a.begin(), a.end(), r.begin() + at);
    at += a.size();
  }
  Put(r, at, 0xFFFFFFFF, 4);
  Put(r, 0x18, at + 8, 4);
  Put(r, 0x30, 0x0707, 2);  // the sequence's number, saved over each stride's last two bytes
  for (size_t i = 1; i <= 2; ++i) {
    std::copy_n(r.begin() + i * 512 - 2, 2, r.begin() + 0x30 + 2 * i);
    Put(r, i * 512 - 2, 0x0707, 2);
  }
  return r;
}

Buffer PlainFile() {
  Buffer info(0x48, 0);
  Put(info, 0x08, 1234, 8);
  Put(info, 0x20, 0x20, 4);
  return Record(40, {Resident(0x10, info), Resident(0x30, FileNameValue(5, 5, u"a.txt")), Resident(0x80, Buffer(9))});
}

TEST(MftRecord, FixupsRestoreEachStrideAndRefuseATornOne) {
  Buffer good = PlainFile();
  good[1000] = 0x5A;  // a byte that must survive the fixups untouched
  ASSERT_TRUE(ApplyFixups(good, "FILE"));
  EXPECT_EQ(good[1000], 0x5A);
  EXPECT_EQ(good[510], 0);
  EXPECT_EQ(good[1022], 0);
  const auto record = ParseRecord(good, 40, 1000);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->names.at(0).name, "a.txt");
  EXPECT_EQ(record->names.at(0).parent, (FileReference{5, 5}));
  EXPECT_EQ(record->data_size, 9u);
  EXPECT_EQ(record->attributes, 0x20u);
  EXPECT_EQ(record->last_write, 1234u);

  Buffer torn = PlainFile();
  torn[1022] ^= 1;  // the second sector is from another write
  EXPECT_FALSE(ApplyFixups(torn, "FILE"));
  Buffer short_array = PlainFile();
  Put(short_array, 0x06, 2, 2);  // the array covers one stride of two
  EXPECT_FALSE(ApplyFixups(short_array, "FILE"));
  Buffer overlapping = PlainFile();
  Put(overlapping, 0x04, 508, 2);  // the array would overwrite the first stride's check bytes
  EXPECT_FALSE(ApplyFixups(overlapping, "FILE"));
  Buffer other = PlainFile();
  EXPECT_FALSE(ApplyFixups(other, "INDX"));
}

TEST(MftRecord, ARecordThatLiesAboutItsBoundsOrNamesIsRefused) {
  auto parsed = [](Buffer r, uint64_t number = 40) {
    return ApplyFixups(r, "FILE") ? ParseRecord(r, number, 1000) : std::nullopt;
  };
  ASSERT_TRUE(parsed(PlainFile()));
  EXPECT_FALSE(parsed(PlainFile(), 41)) << "a record found in another record's slot";
  Buffer beyond = PlainFile();
  Put(beyond, 0x38 + 4, 0x400, 4);  // the first attribute claims more than the record
  EXPECT_FALSE(parsed(beyond));
  Buffer value_beyond = PlainFile();
  Put(value_beyond, 0x38 + 0x10, 0x300, 4);  // a value that leaves its attribute
  EXPECT_FALSE(parsed(value_beyond));
  Buffer no_end = PlainFile();
  Put(no_end, 0x18, 0x40, 4);  // the used size ends before the end mark
  EXPECT_FALSE(parsed(no_end));
  // A name that would put the file under another folder, or a name longer than its attribute.
  for (const std::u16string& name : {std::u16string(u"..\\evil"), std::u16string(u"a/b"), std::u16string(u"..")}) {
    Buffer info(0x48, 0);
    EXPECT_FALSE(parsed(Record(40, {Resident(0x10, info), Resident(0x30, FileNameValue(5, 5, name))})));
  }
  Buffer long_name = FileNameValue(5, 5, u"ab");
  long_name[0x40] = 200;
  EXPECT_FALSE(parsed(Record(40, {Resident(0x30, long_name)})));
  // A lone surrogate is a valid name, carried in its WTF-8 form.
  const auto lone = parsed(Record(40, {Resident(0x30, FileNameValue(5, 5, std::u16string(1, char16_t(0xD800))))}));
  ASSERT_TRUE(lone);
  EXPECT_EQ(lone->names.at(0).name, "\xED\xA0\x80");
}

TEST(MftDataRuns, DeltasAreSignedSparseRunsHaveNoClusterAndNothingLeavesTheVolume) {
  // 16 clusters at 0x100, 5 at 0x100 - 0x10, 8 sparse, then the end mark.
  const Buffer pairs = {0x21, 0x10, 0x00, 0x01, 0x11, 0x05, 0xF0, 0x01, 0x08, 0x00};
  const auto runs = DecodeDataRuns(pairs, 0, 0x200);
  ASSERT_TRUE(runs);
  ASSERT_EQ(runs->size(), 3u);
  EXPECT_EQ((*runs)[1].lcn, 0xF0u);
  EXPECT_EQ((*runs)[1].vcn, 0x10u);
  EXPECT_FALSE((*runs)[2].lcn);
  EXPECT_EQ(ClusterOf(*runs, 0x12), 0xF2u);
  EXPECT_FALSE(ClusterOf(*runs, 0x16)) << "a sparse cluster has no place on the volume";
  EXPECT_FALSE(ClusterOf(*runs, 0x1D));
  EXPECT_FALSE(DecodeDataRuns(pairs, 0, 0x105)) << "the first run reaches past the volume";
  // A sparse run longer than the volume: a file far larger than the disk, nearly all of it unwritten.
  const auto large = DecodeDataRuns(Buffer{0x03, 0x00, 0x00, 0x0C, 0x00}, 0, 0x200);
  ASSERT_TRUE(large);
  EXPECT_EQ(large->at(0).clusters, 0xC0000u);
  EXPECT_FALSE(DecodeDataRuns(Buffer{0x11, 0x05, 0x80, 0x00}, 0, 0x200)) << "a start before cluster 0";
  EXPECT_FALSE(DecodeDataRuns(Buffer{0x21, 0x10, 0x00}, 0, 0x200)) << "a pair cut short";
  EXPECT_FALSE(DecodeDataRuns(Buffer{0x11, 0x05, 0x10}, 0, 0x200)) << "no end mark";
  EXPECT_FALSE(DecodeDataRuns(Buffer{0x11, 0x00, 0x10, 0x00}, 0, 0x200)) << "a run of no clusters";
  EXPECT_FALSE(DecodeDataRuns(Buffer{0x19, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0}, 0, 0x200)) << "a field of 9 bytes";
}

TEST(MftPaths, CyclesOrphansAndReusedParentsAreLeftOut) {
  FileTable table;
  auto add = [&](uint64_t record, uint16_t sequence, FileReference parent, const char* name, bool folder) {
    table.entries[record] = Entry{{record, sequence}, {{parent, name, ""}}, folder};
  };
  add(5, 5, {5, 5}, ".", true);
  add(30, 2, {5, 5}, "dir", true);
  add(31, 1, {30, 2}, "file", false);
  add(32, 1, {30, 1}, "stale", false);  // names the record's earlier file
  add(40, 1, {41, 1}, "loop-a", true);
  add(41, 1, {40, 1}, "loop-b", true);
  add(42, 1, {41, 1}, "in-loop", false);
  add(43, 1, {31, 1}, "under-a-file", false);
  add(44, 1, {99, 1}, "orphan", false);
  add(45, 1, {45, 1}, "own-parent", true);
  add(46, 1, {45, 1}, "below-own-parent", false);
  table.entries[33] = Entry{{33, 1}, {{{30, 2}, "one", ""}, {{5, 5}, "two", ""}}, false};  // a hard link
  std::vector<std::string> paths;
  for (const ListedPath& item : ListPaths(table)) paths.push_back(item.path);
  EXPECT_EQ(paths, (std::vector<std::string>{"\\dir", "\\dir\\file", "\\dir\\one", "\\two"}));
}

}  // namespace
