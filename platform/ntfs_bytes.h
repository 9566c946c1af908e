#pragma once
// Little-endian reads from on-disk NTFS structures. Every read is checked against the span, so a
// field that runs past its structure reads as nothing instead of beyond it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace platform::ntfs {

using Bytes = std::span<const uint8_t>;

// The unsigned value of `size` bytes (at most 8) at `at`; nothing when they are not all inside.
inline std::optional<uint64_t> ReadLe(Bytes bytes, size_t at, size_t size) {
  if (size > 8 || at > bytes.size() || size > bytes.size() - at) return std::nullopt;
  uint64_t value = 0;
  for (size_t i = size; i-- > 0;) value = (value << 8) | bytes[at + i];
  return value;
}

inline std::optional<uint16_t> Le16(Bytes bytes, size_t at) {
  const auto v = ReadLe(bytes, at, 2);
  return v ? std::optional<uint16_t>(static_cast<uint16_t>(*v)) : std::nullopt;
}
inline std::optional<uint32_t> Le32(Bytes bytes, size_t at) {
  const auto v = ReadLe(bytes, at, 4);
  return v ? std::optional<uint32_t>(static_cast<uint32_t>(*v)) : std::nullopt;
}
inline std::optional<uint64_t> Le64(Bytes bytes, size_t at) { return ReadLe(bytes, at, 8); }

// The part of `bytes` from `at`, `size` long; nothing when it is not wholly inside.
inline std::optional<Bytes> Slice(Bytes bytes, size_t at, size_t size) {
  if (at > bytes.size() || size > bytes.size() - at) return std::nullopt;
  return bytes.subspan(at, size);
}

}  // namespace platform::ntfs
