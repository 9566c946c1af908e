#include "clean/path_index.h"

#include "platform/text.h"

using platform::HashIgnoringCase;

TPathIndex::TPathIndex(const std::vector<TCleanItem>& items) : items_(items) {
  size_t size = 16;
  while (size < items.size() * 2) size *= 2;
  slots_.assign(size, 0);
  mask_ = size - 1;
  for (size_t i = 0; i < items.size(); ++i) {
    for (size_t slot = HashIgnoringCase(items[i].Path) & mask_;; slot = (slot + 1) & mask_) {
      if (slots_[slot] == 0) {
        slots_[slot] = static_cast<uint32_t>(i + 1);
        break;
      }
      if (platform::SameText(items_[slots_[slot] - 1].Path, items[i].Path)) break;  // a later copy: the first stays
    }
  }
}

size_t TPathIndex::Find(std::string_view path) const {
  for (size_t slot = HashIgnoringCase(path) & mask_;; slot = (slot + 1) & mask_) {
    if (slots_[slot] == 0) return npos;
    if (platform::SameText(items_[slots_[slot] - 1].Path, path)) return slots_[slot] - 1;
  }
}
