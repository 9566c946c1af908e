#pragma once
// Reading an NTFS volume's file table through plain reads of the raw volume: the boot sector, the
// table's own record 0 and its extents, then every record in order. Nothing is ever written.
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/mft_record.h"
#include "platform/ntfs_bytes.h"

namespace platform::ntfs {

// Reads `size` bytes of the raw volume at `offset`. Fewer bytes mean the read failed.
using ReadVolume = std::function<std::vector<uint8_t>(uint64_t offset, size_t size)>;

struct BootSector {
  uint32_t bytes_per_sector = 0;
  uint32_t bytes_per_cluster = 0;
  uint64_t total_clusters = 0;
  uint64_t mft_cluster = 0;
  uint32_t record_size = 0;  // a file record
  uint32_t index_size = 0;   // an index record
};

// Nothing unless it is an NTFS boot sector with sizes that are powers of two in range. Cluster and
// record sizes may be stored as a negative power: -n means 2^n bytes.
std::optional<BootSector> ParseBootSector(Bytes sector);

class NtfsVolume {
 public:
  // Reads the boot sector and record 0. Nothing when either is damaged or the table's extents
  // cannot be found (a sparse or out-of-volume run, a size its runs do not cover).
  static std::optional<NtfsVolume> Open(ReadVolume read);

  const BootSector& boot() const { return boot_; }
  uint64_t record_count() const { return record_count_; }
  // The table's own runs, for reading a single record again.
  const std::vector<DataRun>& extents() const { return extents_; }

  // Calls `each` with every record in order, or nothing for one that is damaged; false when a read
  // of the volume fails (the records so far have been seen).
  bool ForEachRecord(const std::function<void(uint64_t number, std::optional<MftRecord> record)>& each) const;

  // The bytes of a non-resident attribute (at most `limit` of them); nothing when they cannot be read.
  std::optional<std::vector<uint8_t>> ReadAttribute(const NonResident& attribute, uint64_t limit) const;

 private:
  NtfsVolume(ReadVolume read, BootSector boot) : read_(std::move(read)), boot_(boot) {}

  ReadVolume read_;
  BootSector boot_;
  std::vector<DataRun> extents_;  // the table's own runs
  uint64_t record_count_ = 0;
};

}  // namespace platform::ntfs
