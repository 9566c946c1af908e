#pragma once
// The files of an NTFS volume as its file table lists them: one entry per file in use, keyed by
// its file reference, with the attributes of its extension records merged in.
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/mft_record.h"
#include "platform/ntfs_volume.h"

namespace platform::ntfs {

constexpr uint32_t kAttributeDirectory = 0x10;
constexpr uint32_t kAttributeReparsePoint = 0x400;

// One name of a file in one folder: a hard link. `name` is the long (Win32 or POSIX) name,
// `short_name` the DOS one when the folder holds one for it.
struct Link {
  FileReference parent;
  std::string name;
  std::string short_name;
};

struct Entry {
  FileReference reference;
  std::vector<Link> links;
  bool is_folder = false;
  uint32_t attributes = 0;   // Win32 file attributes; a folder has the directory bit
  uint32_t reparse_tag = 0;  // 0 unless a reparse point (0 too when its tag lies outside the record)
  uint64_t data_size = 0;    // the unnamed stream's size; 0 for a folder
  uint64_t last_write = 0;   // FILETIME
};

struct FileTable {
  std::unordered_map<uint64_t, Entry> entries;  // by record number
  uint64_t damaged = 0;                         // records in use that were refused, with the files they belong to
  // How the system names a file by id: its reference whole, sequence number in the top 16 bits
  // (Windows), or the record number alone (Wine over ntfs-3g, whose inode numbers these are).
  bool ids_hold_sequence = true;

  // The entry that `reference` names, or nothing when its record is gone or reused since.
  const Entry* Find(FileReference reference) const;
  // The file id the system gives the file of `reference`.
  uint64_t IdOf(FileReference reference) const {
    return ids_hold_sequence ? reference.record | static_cast<uint64_t>(reference.sequence) << 48 : reference.record;
  }
};

// Builds the table from every record of the volume. Extension records join their base record only
// when the base names them in its attribute list; a base whose list names a record that cannot be
// merged is refused whole. Nothing when the volume cannot be read to its end.
std::optional<FileTable> ReadFileTable(const NtfsVolume& volume);

}  // namespace platform::ntfs
