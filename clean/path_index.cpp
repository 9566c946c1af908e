#include "clean/path_index.h"

#include "platform/text.h"

using platform::HashIgnoringCase;

TPathIndex::TPathIndex(const std::vector<TCleanItem>& items) : items_(items) {
  size_t size = 16;
  while (size < items.size() * 2) size *= 2;
  slots_.assign(size, 0);
  mask_ = size - 1;
  for (size_t i = 0; i < items.size(); ++i) {
    uint32_t& slot = slots_[SlotOf(items[i].Path)];
    if (slot == 0) slot = static_cast<uint32_t>(i + 1);  // else a later copy: the first stays
  }
}

size_t TPathIndex::Find(std::string_view path) const {
  const uint32_t slot = slots_[SlotOf(path)];
  return slot == 0 ? npos : slot - 1;
}

// The slot that holds the path, or the empty one where it would go.
size_t TPathIndex::SlotOf(std::string_view path) const {
  size_t slot = HashIgnoringCase(path) & mask_;
  while (slots_[slot] != 0 && !platform::SameText(items_[slots_[slot] - 1].Path, path)) slot = (slot + 1) & mask_;
  return slot;
}
