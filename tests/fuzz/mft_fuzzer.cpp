// libFuzzer target over the file-table reader. Every input is tried twice: as one record (with and
// without its update sequence applied, and as an attribute list and a run list), and as a whole
// tiny volume, whose listed paths must each lead through folders of the table to the root.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/file_table.h"
#include "tests/support/table_paths.h"
#include "platform/mft_record.h"
#include "platform/ntfs_runs.h"
#include "platform/ntfs_volume.h"

namespace {

using namespace platform::ntfs;

[[noreturn]] void Fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "mft_fuzzer: %s: [%s]\n", what, detail.c_str());
  std::abort();
}

void AsRecord(const uint8_t* data, size_t size) {
  const Bytes bytes(data, size);
  (void)ParseRecord(bytes, 0, 1u << 20);
  (void)ParseAttributeList(bytes);
  (void)DecodeDataRuns(bytes, 0, uint64_t{1} << 40);
  std::vector<uint8_t> copy(data, data + std::min<size_t>(size, 4096) / 512 * 512);
  if (ApplyFixups(copy, "FILE")) {
    const auto record = ParseRecord(copy, 0, 1u << 20);
    if (record)
      for (const FileName& name : record->names)
        if (name.name.empty() || name.name.find('\\') != std::string::npos) Fail("name", name.name);
  }
}

void AsVolume(const uint8_t* data, size_t size) {
  const auto volume = NtfsVolume::Open([&](uint64_t offset, size_t length) {
    if (offset >= size) return std::vector<uint8_t>();
    return std::vector<uint8_t>(data + offset, data + std::min<uint64_t>(size, offset + length));
  });
  if (!volume) return;
  const auto table = ReadFileTable(*volume);
  if (!table) return;
  for (const ListedPath& item : ListPaths(*table)) {
    if (item.path.size() < 2 || item.path[0] != '\\' || item.path.find("\\\\") != std::string::npos)
      Fail("path", item.path);
    // The folder a path names as its parent is the one the entry's link names.
    const size_t cut = item.path.rfind('\\');
    bool parent_found = false;
    for (const Link& link : item.entry->links) {
      const Entry* parent = table->Find(link.parent);
      if (!parent || !parent->is_folder) continue;
      if (item.path.substr(cut + 1) == link.name) parent_found = true;
    }
    if (!parent_found) Fail("parent", item.path);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  AsRecord(data, size);
  AsVolume(data, size);
  return 0;
}
