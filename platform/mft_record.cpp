#include "platform/mft_record.h"

#include <algorithm>
#include <cstring>

#include "platform/unicode.h"

namespace platform::ntfs {
namespace {

constexpr size_t kStride = 512;  // the update sequence covers every 512 bytes, whatever the sector size
constexpr uint32_t kStandardInformation = 0x10;
constexpr uint32_t kAttributeList = 0x20;
constexpr uint32_t kFileName = 0x30;
constexpr uint32_t kData = 0x80;
constexpr uint32_t kReparsePoint = 0xC0;
constexpr uint32_t kEnd = 0xFFFFFFFF;

struct Attribute {
  uint32_t type = 0;
  bool resident = true;
  size_t name_length = 0;
  Bytes value;        // resident only
  NonResident piece;  // non-resident only
};

// A name no Win32 path can hold would let a record splice itself under another folder ("a\b").
bool IsPlainName(std::u16string_view name, uint64_t record) {
  if (name == u".") return record == kRootRecord;
  if (name.empty() || name == u"..") return false;
  for (char16_t c : name)
    if (c == 0 || c == u'\\' || c == u'/' || c == u':') return false;
  return true;
}

std::optional<NonResident> ReadNonResident(Bytes attr, uint64_t volume_clusters) {
  const auto first = Le64(attr, 0x10), last = Le64(attr, 0x18);
  const auto pairs_at = Le16(attr, 0x20);
  const auto allocated = Le64(attr, 0x28), size = Le64(attr, 0x30);
  if (!first || !last || !pairs_at || !allocated || !size || *pairs_at < 0x40 || *pairs_at > attr.size())
    return std::nullopt;
  auto runs = DecodeDataRuns(attr.subspan(*pairs_at), *first, volume_clusters);
  if (!runs) return std::nullopt;
  // The runs must cover exactly the clusters the header claims (an empty stream ends at VCN -1).
  const uint64_t end = runs->empty() ? *first : runs->back().vcn + runs->back().clusters;
  if (end != *last + 1) return std::nullopt;
  if (*first == 0 && *size > *allocated) return std::nullopt;
  return NonResident{*first, *first == 0 ? *size : 0, std::move(*runs)};
}

std::optional<Attribute> ReadAttribute(Bytes attr, uint64_t volume_clusters) {
  Attribute a;
  const auto type = Le32(attr, 0);
  const auto name_at = Le16(attr, 0x0A);
  if (!type || !name_at || attr.size() < 0x18) return std::nullopt;
  a.type = *type;
  a.resident = attr[0x08] == 0;
  a.name_length = attr[0x09];
  if (!Slice(attr, *name_at, a.name_length * 2)) return std::nullopt;
  if (a.resident) {
    const auto length = Le32(attr, 0x10);
    const auto at = Le16(attr, 0x14);
    if (!length || !at) return std::nullopt;
    const auto value = Slice(attr, *at, *length);
    if (!value) return std::nullopt;
    a.value = *value;
    return a;
  }
  if (attr[0x08] != 1) return std::nullopt;
  auto piece = ReadNonResident(attr, volume_clusters);
  if (!piece) return std::nullopt;
  a.piece = std::move(*piece);
  return a;
}

std::optional<FileName> ReadFileName(Bytes value, uint64_t record) {
  const auto parent = Le64(value, 0x00);
  if (!parent || value.size() < 0x42) return std::nullopt;
  const size_t length = value[0x40];
  const uint8_t name_space = value[0x41];
  const auto chars = Slice(value, 0x42, length * 2);
  if (!chars || name_space > 3) return std::nullopt;
  std::u16string name(length, u'\0');
  for (size_t i = 0; i < length; ++i) name[i] = static_cast<char16_t>((*chars)[2 * i] | ((*chars)[2 * i + 1] << 8));
  if (!IsPlainName(name, record)) return std::nullopt;
  return FileName{FileReference::FromRaw(*parent), static_cast<NameSpace>(name_space), Utf8FromUtf16(name)};
}

// Adds one attribute to the record; false when it is damaged or contradicts one seen before.
bool Take(const Attribute& a, MftRecord* record) {
  switch (a.type) {
    case kStandardInformation: {
      const auto attributes = Le32(a.value, 0x20);
      if (!a.resident || !attributes || record->attributes) return false;
      record->attributes = attributes;
      record->last_write = Le64(a.value, 0x08);
      return true;
    }
    case kFileName: {
      if (!a.resident) return false;
      auto name = ReadFileName(a.value, record->number);
      if (!name) return false;
      record->names.push_back(std::move(*name));
      return true;
    }
    case kData:
      if (a.name_length != 0) return true;  // a named stream does not count towards the size
      if (a.resident) {
        if (record->data_size || !record->data_pieces.empty()) return false;
        record->data_size = a.value.size();
        return true;
      }
      if (a.piece.first_vcn == 0) {
        if (record->data_size) return false;
        record->data_size = a.piece.data_size;
      }
      record->data_pieces.push_back(a.piece);
      return true;
    case kReparsePoint:
      if (record->reparse_tag) return false;
      // A long reparse buffer lives outside the record; its tag then reads as 0 ("some tag").
      record->reparse_tag = a.resident ? Le32(a.value, 0).value_or(0) : 0;
      return a.resident ? a.value.size() >= 8 : true;
    case kAttributeList:
      if (record->has_attribute_list) return false;
      record->has_attribute_list = true;
      if (!a.resident) {
        record->attribute_list_runs = a.piece;
        return a.piece.first_vcn == 0;
      }
      record->listed_records = ParseAttributeList(a.value);
      return record->listed_records.has_value();
    default:
      return true;
  }
}

}  // namespace

bool ApplyFixups(std::span<uint8_t> record, std::string_view magic) {
  const Bytes bytes(record.data(), record.size());
  const auto array_at = Le16(bytes, 4), count = Le16(bytes, 6);
  if (record.size() < kStride || record.size() % kStride != 0 || !array_at || !count) return false;
  if (std::memcmp(record.data(), magic.data(), std::min(magic.size(), record.size())) != 0) return false;
  const size_t strides = record.size() / kStride;
  // The array must lie before the first stride's own check bytes, which it would overwrite.
  if (*count != strides + 1 || *array_at < 8 || *array_at % 2 != 0 || *array_at + 2u * *count > kStride - 2)
    return false;
  const uint8_t* number = record.data() + *array_at;
  for (size_t i = 1; i <= strides; ++i)
    if (std::memcmp(record.data() + i * kStride - 2, number, 2) != 0) return false;
  for (size_t i = 1; i <= strides; ++i) std::memcpy(record.data() + i * kStride - 2, number + 2 * i, 2);
  return true;
}

std::optional<MftRecord> ParseRecord(Bytes bytes, uint64_t number, uint64_t volume_clusters) {
  const auto array_at = Le16(bytes, 0x04);
  const auto sequence = Le16(bytes, 0x10), links = Le16(bytes, 0x12), first = Le16(bytes, 0x14);
  const auto flags = Le16(bytes, 0x16);
  const auto used = Le32(bytes, 0x18), allocated = Le32(bytes, 0x1C);
  const auto base = Le64(bytes, 0x20);
  if (!array_at || !sequence || !links || !first || !flags || !used || !allocated || !base) return std::nullopt;
  if (std::memcmp(bytes.data(), "FILE", 4) != 0 || *allocated != bytes.size() || *used > *allocated || *first < 0x2A ||
      *first % 8 != 0 || *first >= *used)
    return std::nullopt;
  // Records of NTFS 3.1 carry their own number: a record found in another slot is not trusted.
  if (*array_at >= 0x30) {
    const auto own = Le32(bytes, 0x2C);
    if (!own || *own != static_cast<uint32_t>(number)) return std::nullopt;
  }
  MftRecord record;
  record.number = number;
  record.sequence = *sequence;
  record.link_count = *links;
  record.in_use = (*flags & 0x01) != 0;
  record.is_folder = (*flags & 0x02) != 0;
  record.base = FileReference::FromRaw(*base);
  const Bytes used_bytes = bytes.first(*used);
  size_t at = *first;
  while (true) {
    const auto type = Le32(used_bytes, at);
    if (!type) return std::nullopt;  // no end mark inside the used part
    if (*type == kEnd) break;
    const auto length = Le32(used_bytes, at + 4);
    if (!length || *length < 0x18 || *length % 8 != 0) return std::nullopt;
    const auto attr = Slice(used_bytes, at, *length);
    if (!attr) return std::nullopt;
    const auto attribute = ReadAttribute(*attr, volume_clusters);
    if (!attribute || !Take(*attribute, &record)) return std::nullopt;
    at += *length;
  }
  return record;
}

std::optional<std::vector<uint64_t>> ParseAttributeList(Bytes list) {
  std::vector<uint64_t> records;
  size_t at = 0;
  while (at < list.size()) {
    const auto length = Le16(list, at + 4);
    const auto reference = Le64(list, at + 0x10);
    if (!length || !reference || *length < 0x1A || !Slice(list, at, *length)) return std::nullopt;
    const size_t name_length = list[at + 6], name_at = list[at + 7];
    if (name_length > 0 && !Slice(list.subspan(at, *length), name_at, name_length * 2)) return std::nullopt;
    records.push_back(FileReference::FromRaw(*reference).record);
    at += *length;
  }
  return records;
}

}  // namespace platform::ntfs
