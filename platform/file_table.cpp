#include "platform/file_table.h"

#include <algorithm>

namespace platform::ntfs {
namespace {

constexpr uint64_t kMaxAttributeList = 1u << 20;

// What the table keeps of a base record until its extensions have joined it.
struct Pending {
  MftRecord base;
  std::vector<uint64_t> listed;  // the other records its attribute list names
  std::vector<MftRecord> extensions;
  bool damaged = false;
};

std::optional<Entry> EntryOf(Pending& pending) {
  MftRecord& base = pending.base;
  std::vector<uint64_t> merged;
  for (MftRecord& extension : pending.extensions) {
    merged.push_back(extension.number);
    base.names.insert(base.names.end(), extension.names.begin(), extension.names.end());
    if (extension.data_size) {
      if (base.data_size) return std::nullopt;  // two records claim the stream's start
      base.data_size = extension.data_size;
    }
    if (extension.reparse_tag) {
      if (base.reparse_tag) return std::nullopt;
      base.reparse_tag = extension.reparse_tag;
    }
  }
  std::sort(merged.begin(), merged.end());
  if (merged != pending.listed || !base.attributes) return std::nullopt;
  Entry entry;
  entry.reference = {base.number, base.sequence};
  entry.is_folder = base.is_folder;
  entry.attributes = *base.attributes | (base.is_folder ? kAttributeDirectory : 0);
  if (base.reparse_tag) entry.attributes |= kAttributeReparsePoint;
  entry.reparse_tag = base.reparse_tag.value_or(0);
  entry.data_size = base.is_folder ? 0 : base.data_size.value_or(0);
  entry.last_write = base.last_write.value_or(0);
  // A long name per folder it is linked into; the DOS name of the same folder beside it.
  for (const FileName& name : base.names) {
    if (name.name_space == NameSpace::kDos) continue;
    const bool known = std::any_of(entry.links.begin(), entry.links.end(), [&](const Link& link) {
      return link.parent == name.parent && link.name == name.name;
    });
    if (!known)
      entry.links.push_back({name.parent, name.name, name.name_space == NameSpace::kWin32AndDos ? name.name : ""});
  }
  for (const FileName& name : base.names) {
    if (name.name_space != NameSpace::kDos) continue;
    for (Link& link : entry.links)
      if (link.parent == name.parent && link.short_name.empty()) link.short_name = name.name;
  }
  if (entry.links.empty()) return std::nullopt;
  return entry;
}

}  // namespace

const Entry* FileTable::Find(FileReference reference) const {
  const auto found = entries.find(reference.record);
  if (found == entries.end() || found->second.reference.sequence != reference.sequence) return nullptr;
  return &found->second;
}

std::optional<FileTable> ReadFileTable(const NtfsVolume& volume) {
  std::unordered_map<uint64_t, Pending> bases;  // those that wait for their extensions
  std::vector<MftRecord> extensions;
  FileTable table;
  const auto settle = [&table](Pending& pending) {
    // The reserved records of the volume's own files are in use but have no name.
    if (pending.base.names.empty() && pending.extensions.empty() && pending.listed.empty()) return;
    std::optional<Entry> entry = pending.damaged ? std::nullopt : EntryOf(pending);
    if (entry)
      table.entries.emplace(pending.base.number, std::move(*entry));
    else
      ++table.damaged;
  };
  const bool read = volume.ForEachRecord([&](uint64_t, std::optional<MftRecord> record) {
    if (!record) return;  // an unused slot is often all zeros; it cannot be told from a damaged one
    if (!record->in_use) return;
    if (record->base.record != 0) {
      extensions.push_back(std::move(*record));
      return;
    }
    Pending pending;
    if (record->has_attribute_list) {
      std::optional<std::vector<uint64_t>> listed = record->listed_records;
      if (record->attribute_list_runs) {
        const auto bytes = volume.ReadAttribute(*record->attribute_list_runs, kMaxAttributeList);
        if (bytes) listed = ParseAttributeList(*bytes);
      }
      pending.damaged = !listed;
      if (listed) pending.listed = std::move(*listed);
    }
    pending.listed.erase(std::remove(pending.listed.begin(), pending.listed.end(), record->number),
                         pending.listed.end());
    std::sort(pending.listed.begin(), pending.listed.end());
    pending.listed.erase(std::unique(pending.listed.begin(), pending.listed.end()), pending.listed.end());
    pending.base = std::move(*record);
    // Nearly every record stands alone: it becomes its entry at once, so that a large volume's
    // records are never all held at the same time as their entries.
    if (pending.listed.empty() && !pending.damaged)
      settle(pending);
    else
      bases.emplace(pending.base.number, std::move(pending));
  });
  if (!read) return std::nullopt;
  for (MftRecord& extension : extensions) {
    const auto base = bases.find(extension.base.record);
    // An extension of a record that is gone, reused, or does not list it stays out.
    if (base == bases.end() || base->second.base.sequence != extension.base.sequence ||
        !std::binary_search(base->second.listed.begin(), base->second.listed.end(), extension.number))
      continue;
    base->second.extensions.push_back(std::move(extension));
  }
  for (auto& [number, pending] : bases) settle(pending);
  return table;
}

}  // namespace platform::ntfs
