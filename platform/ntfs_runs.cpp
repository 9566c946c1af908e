#include "platform/ntfs_runs.h"

namespace platform::ntfs {

std::optional<std::vector<DataRun>> DecodeDataRuns(Bytes pairs, uint64_t first_vcn, uint64_t volume_clusters) {
  std::vector<DataRun> runs;
  uint64_t vcn = first_vcn;
  int64_t lcn = 0;
  size_t at = 0;
  while (true) {
    if (at >= pairs.size()) return std::nullopt;  // no end mark inside the attribute
    const uint8_t header = pairs[at++];
    if (header == 0) break;
    const size_t length_size = header & 0x0F;
    const size_t delta_size = header >> 4;
    if (length_size == 0 || length_size > 8 || delta_size > 8) return std::nullopt;
    const auto length = ReadLe(pairs, at, length_size);
    // A sparse run may be longer than the volume (a large file with little written); a run with a
    // place must lie within it.
    if (!length || *length == 0 || (delta_size > 0 && *length > volume_clusters)) return std::nullopt;
    at += length_size;
    DataRun run{vcn, *length, std::nullopt};
    if (delta_size > 0) {
      const auto raw = ReadLe(pairs, at, delta_size);
      if (!raw) return std::nullopt;
      at += delta_size;
      // Sign-extend the delta from its stored width.
      uint64_t delta = *raw;
      if (delta_size < 8 && (delta >> (delta_size * 8 - 1)) & 1) delta |= ~uint64_t{0} << (delta_size * 8);
      const int64_t signed_delta = static_cast<int64_t>(delta);
      if ((signed_delta > 0 && lcn > INT64_MAX - signed_delta) || (signed_delta < 0 && signed_delta < -lcn))
        return std::nullopt;  // before cluster 0, or an overflow
      lcn += signed_delta;
      const uint64_t start = static_cast<uint64_t>(lcn);
      if (start >= volume_clusters || *length > volume_clusters - start) return std::nullopt;
      run.lcn = start;
    }
    if (*length > UINT64_MAX - vcn) return std::nullopt;
    vcn += *length;
    runs.push_back(run);
  }
  return runs;
}

std::optional<uint64_t> ClusterOf(const std::vector<DataRun>& runs, uint64_t vcn) {
  for (const DataRun& run : runs) {
    if (vcn >= run.vcn && vcn - run.vcn < run.clusters) {
      if (!run.lcn) return std::nullopt;
      return *run.lcn + (vcn - run.vcn);
    }
  }
  return std::nullopt;
}

}  // namespace platform::ntfs
