#include "platform/ntfs_volume.h"

#include <algorithm>
#include <cstring>

namespace platform::ntfs {
namespace {

constexpr size_t kChunkRecords = 256;             // records read at once while iterating the table
constexpr uint64_t kMaxClusterSize = 2u << 20;    // NTFS allows clusters up to 2 MiB
constexpr uint64_t kMaxAttributeList = 1u << 20;  // far beyond any real attribute list

bool IsPowerOfTwo(uint64_t v) { return v != 0 && (v & (v - 1)) == 0; }

// A record or index size: positive is a count of clusters, negative the power of two of the bytes.
std::optional<uint32_t> BlockSize(uint8_t raw, uint64_t cluster) {
  const int8_t value = static_cast<int8_t>(raw);
  uint64_t size = 0;
  if (value > 0)
    size = value * cluster;
  else if (value < 0 && value > -31)
    size = uint64_t{1} << -value;
  if (!IsPowerOfTwo(size) || size < 512 || size > 65536) return std::nullopt;
  return static_cast<uint32_t>(size);
}

// Reads `size` bytes from `offset` of a stream laid out by `runs`; sparse clusters read as zeros.
std::optional<std::vector<uint8_t>> ReadStream(const ReadVolume& read, const std::vector<DataRun>& runs,
                                               uint64_t cluster, uint64_t offset, size_t size) {
  std::vector<uint8_t> out;
  out.reserve(size);
  while (out.size() < size) {
    const uint64_t vcn = offset / cluster, within = offset % cluster;
    const auto run = std::find_if(runs.begin(), runs.end(),
                                  [&](const DataRun& r) { return vcn >= r.vcn && vcn - r.vcn < r.clusters; });
    if (run == runs.end()) return std::nullopt;
    const uint64_t left_in_run = (run->clusters - (vcn - run->vcn)) * cluster - within;
    const size_t amount = static_cast<size_t>(std::min<uint64_t>(size - out.size(), left_in_run));
    if (run->lcn) {
      const std::vector<uint8_t> part = read((*run->lcn + (vcn - run->vcn)) * cluster + within, amount);
      if (part.size() < amount) return std::nullopt;
      out.insert(out.end(), part.begin(), part.begin() + static_cast<ptrdiff_t>(amount));
    } else {
      out.insert(out.end(), amount, 0);
    }
    offset += amount;
  }
  return out;
}

std::optional<MftRecord> DecodeRecord(std::span<uint8_t> bytes, uint64_t number, uint64_t clusters) {
  if (!ApplyFixups(bytes, "FILE")) return std::nullopt;
  return ParseRecord(Bytes(bytes.data(), bytes.size()), number, clusters);
}

// Joins the pieces of one attribute into its runs: they must follow each other without a gap.
std::optional<std::vector<DataRun>> JoinPieces(std::vector<NonResident> pieces) {
  std::sort(pieces.begin(), pieces.end(), [](const auto& a, const auto& b) { return a.first_vcn < b.first_vcn; });
  std::vector<DataRun> runs;
  uint64_t next = 0;
  for (const NonResident& piece : pieces) {
    if (piece.first_vcn != next) return std::nullopt;
    for (const DataRun& run : piece.runs) {
      runs.push_back(run);
      next = run.vcn + run.clusters;
    }
  }
  return runs;
}

}  // namespace

std::optional<BootSector> ParseBootSector(Bytes sector) {
  if (sector.size() < 512 || std::memcmp(sector.data() + 3, "NTFS    ", 8) != 0 || sector[0x1FE] != 0x55 ||
      sector[0x1FF] != 0xAA)
    return std::nullopt;
  BootSector boot;
  boot.bytes_per_sector = *Le16(sector, 0x0B);
  if (!IsPowerOfTwo(boot.bytes_per_sector) || boot.bytes_per_sector < 256 || boot.bytes_per_sector > 4096)
    return std::nullopt;
  const uint8_t raw = sector[0x0D];
  const uint64_t per_cluster = raw <= 0x80 ? raw : (raw > 0xE0 ? uint64_t{1} << (256 - raw) : 0);
  if (!IsPowerOfTwo(per_cluster) || per_cluster * boot.bytes_per_sector > kMaxClusterSize) return std::nullopt;
  boot.bytes_per_cluster = static_cast<uint32_t>(per_cluster * boot.bytes_per_sector);
  const uint64_t sectors = *Le64(sector, 0x28);
  if (sectors > UINT64_MAX / boot.bytes_per_sector) return std::nullopt;  // offsets must fit 64 bits
  boot.total_clusters = sectors / per_cluster;
  boot.mft_cluster = *Le64(sector, 0x30);
  if (boot.mft_cluster >= boot.total_clusters) return std::nullopt;
  const auto record = BlockSize(sector[0x40], boot.bytes_per_cluster);
  const auto index = BlockSize(sector[0x44], boot.bytes_per_cluster);
  if (!record || !index) return std::nullopt;
  boot.record_size = *record;
  boot.index_size = *index;
  return boot;
}

std::optional<NtfsVolume> NtfsVolume::Open(ReadVolume read) {
  const std::vector<uint8_t> sector = read(0, 512);
  const auto boot = ParseBootSector(sector);
  if (!boot) return std::nullopt;
  NtfsVolume volume(std::move(read), *boot);
  const uint64_t cluster = boot->bytes_per_cluster;
  // Record 0 describes the table, itself included; it lies at the table's first cluster.
  const std::vector<DataRun> first{{0, (boot->record_size + cluster - 1) / cluster, boot->mft_cluster}};
  auto bytes = ReadStream(volume.read_, first, cluster, 0, boot->record_size);
  if (!bytes) return std::nullopt;
  const auto own = DecodeRecord(*bytes, 0, boot->total_clusters);
  if (!own || !own->in_use || own->base.record != 0 || !own->data_size || own->data_pieces.empty()) return std::nullopt;
  std::vector<NonResident> pieces = own->data_pieces;
  // A fragmented table continues its runs in extension records, which the first runs must reach.
  if (own->has_attribute_list) {
    const auto start = JoinPieces(pieces);
    std::optional<std::vector<uint64_t>> listed = own->listed_records;
    if (own->attribute_list_runs) {
      const auto list = volume.ReadAttribute(*own->attribute_list_runs, kMaxAttributeList);
      if (list) listed = ParseAttributeList(*list);
    }
    if (!listed || !start) return std::nullopt;
    std::sort(listed->begin(), listed->end());
    listed->erase(std::unique(listed->begin(), listed->end()), listed->end());
    for (uint64_t number : *listed) {
      if (number == 0) continue;
      if (number > UINT64_MAX / boot->record_size) return std::nullopt;
      auto extension = ReadStream(volume.read_, *start, cluster, number * boot->record_size, boot->record_size);
      if (!extension) return std::nullopt;
      const auto record = DecodeRecord(*extension, number, boot->total_clusters);
      if (!record || !record->in_use || record->base != FileReference{0, own->sequence}) return std::nullopt;
      pieces.insert(pieces.end(), record->data_pieces.begin(), record->data_pieces.end());
    }
  }
  auto extents = JoinPieces(std::move(pieces));
  if (!extents) return std::nullopt;
  const uint64_t covered = extents->empty() ? 0 : extents->back().vcn + extents->back().clusters;
  const bool sparse = std::any_of(extents->begin(), extents->end(), [](const DataRun& r) { return !r.lcn; });
  if (sparse || *own->data_size / cluster + (*own->data_size % cluster != 0) > covered) return std::nullopt;
  volume.extents_ = std::move(*extents);
  volume.record_count_ = *own->data_size / boot->record_size;
  return volume;
}

bool NtfsVolume::ForEachRecord(const std::function<void(uint64_t, std::optional<MftRecord>)>& each) const {
  const size_t size = boot_.record_size;
  for (uint64_t first = 0; first < record_count_; first += kChunkRecords) {
    const uint64_t count = std::min<uint64_t>(kChunkRecords, record_count_ - first);
    auto chunk = ReadStream(read_, extents_, boot_.bytes_per_cluster, first * size, count * size);
    if (!chunk) return false;
    for (uint64_t i = 0; i < count; ++i)
      each(first + i, DecodeRecord(std::span(*chunk).subspan(i * size, size), first + i, boot_.total_clusters));
  }
  return true;
}

std::optional<std::vector<uint8_t>> NtfsVolume::ReadAttribute(const NonResident& attribute, uint64_t limit) const {
  if (attribute.first_vcn != 0 || attribute.data_size > limit) return std::nullopt;
  return ReadStream(read_, attribute.runs, boot_.bytes_per_cluster, 0, attribute.data_size);
}

}  // namespace platform::ntfs
