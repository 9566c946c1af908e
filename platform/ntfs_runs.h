#pragma once
// The data runs (mapping pairs) of a non-resident attribute: where its clusters lie on the volume.
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/ntfs_bytes.h"

namespace platform::ntfs {

struct DataRun {
  uint64_t vcn = 0;             // the first cluster of the attribute that the run holds
  uint64_t clusters = 0;        // its length, never 0
  std::optional<uint64_t> lcn;  // where it starts on the volume; nothing for a sparse run
};

// Decodes mapping pairs up to their end mark, starting at `first_vcn`. Each pair is a header byte
// (low nibble: size of the length, high nibble: size of the signed delta to the previous start),
// the length and the delta; a pair without a delta is sparse. Nothing when a pair runs past the
// bytes, a length is 0, a start falls before the volume or a run with a place reaches past `volume_clusters`.
std::optional<std::vector<DataRun>> DecodeDataRuns(Bytes pairs, uint64_t first_vcn, uint64_t volume_clusters);

// The volume cluster that holds `vcn`: nothing when no run covers it or its run is sparse.
std::optional<uint64_t> ClusterOf(const std::vector<DataRun>& runs, uint64_t vcn);

}  // namespace platform::ntfs
