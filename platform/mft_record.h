#pragma once
// One record of an NTFS file table ($MFT): its header and the attributes a listing needs. Parsing
// is portable and trusts nothing in the bytes: a record that is damaged anywhere yields nothing.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/ntfs_bytes.h"
#include "platform/ntfs_runs.h"

namespace platform::ntfs {

// A record number (48 bits) and the sequence number the record had when the reference was made;
// a reference whose sequence differs from the record's names a file that is gone.
struct FileReference {
  uint64_t record = 0;
  uint16_t sequence = 0;
  static FileReference FromRaw(uint64_t raw) { return {raw & 0xFFFFFFFFFFFFull, static_cast<uint16_t>(raw >> 48)}; }
  bool operator==(const FileReference&) const = default;
};

// The root folder's record, the one whose name is "." and whose parent is itself.
constexpr uint64_t kRootRecord = 5;

enum class NameSpace : uint8_t { kPosix = 0, kWin32 = 1, kDos = 2, kWin32AndDos = 3 };

struct FileName {
  FileReference parent;
  NameSpace name_space = NameSpace::kPosix;
  std::string name;  // UTF-8, lone surrogates in their WTF-8 form
};

// A non-resident attribute's piece in one record: a long attribute is split over several records,
// each holding the runs from its `first_vcn` on.
struct NonResident {
  uint64_t first_vcn = 0;
  uint64_t data_size = 0;  // meaningful in the piece whose first_vcn is 0
  std::vector<DataRun> runs;
};

struct MftRecord {
  uint64_t number = 0;
  uint16_t sequence = 0;
  uint16_t link_count = 0;
  bool in_use = false;
  bool is_folder = false;
  FileReference base;                  // record 0 for a base record; else the record whose extension this is
  std::optional<uint32_t> attributes;  // from $STANDARD_INFORMATION
  std::optional<uint64_t> last_write;  // FILETIME, from $STANDARD_INFORMATION
  std::vector<FileName> names;
  std::optional<uint64_t> data_size;     // the unnamed stream's real size, when this record says it
  std::vector<NonResident> data_pieces;  // the unnamed stream's runs, when it is non-resident
  std::optional<uint32_t> reparse_tag;
  bool has_attribute_list = false;
  std::optional<std::vector<uint64_t>> listed_records;  // from a resident $ATTRIBUTE_LIST
  std::optional<NonResident> attribute_list_runs;       // a non-resident one, read by the caller
};

// Undoes the update sequence of a multi-sector structure in place: the last two bytes of each
// 512-byte stride must hold the sequence's number and get back the bytes saved in its array.
// False (a torn write, or a damaged header) when any stride does not match.
bool ApplyFixups(std::span<uint8_t> record, std::string_view magic);

// Parses a record whose fixups are applied. `volume_clusters` bounds the data runs. Nothing when
// the record is not a file record or anything in it is out of bounds or inconsistent.
std::optional<MftRecord> ParseRecord(Bytes record, uint64_t number, uint64_t volume_clusters);

// The record numbers named by the entries of an attribute list; nothing when an entry is damaged.
std::optional<std::vector<uint64_t>> ParseAttributeList(Bytes list);

}  // namespace platform::ntfs
