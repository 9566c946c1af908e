#pragma once
// The file-system services the logic needs. Paths are UTF-8 text with "\" separators, of any
// length, and names are the real ones, whatever characters they hold (a lone UTF-16 surrogate in
// its WTF-8 form, see platform/unicode.h); the Win32 implementation calls kernel32's wide
// functions directly and takes long paths and names ending in dots or spaces as they are.
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_table.h"

namespace platform {

// File attribute bits, with the values Windows uses.
enum FileAttribute : uint32_t {
  kAttrReadOnly = 0x1,
  kAttrHidden = 0x2,
  kAttrSystem = 0x4,
  kAttrDirectory = 0x10,
  kAttrArchive = 0x20,
  kAttrReparsePoint = 0x400,
};

// The number by which a volume knows a file or folder for as long as it exists (NTFS: its file
// record and sequence number), whatever its path; 0 where it is not known. A listing gives it, an
// open handle gives it again: the same number is the same object.
using FileId = uint64_t;

// What an open handle tells of the object it reached.
struct OpenedFileInfo {
  uint32_t attributes = 0;
  uint32_t links = 1;  // names (hard links) the file has
  int64_t size = 0;    // content length now, which may differ from what a listing showed earlier
  FileId id = 0;
};

// A file or folder opened for deletion. The handle closes when this is destroyed; a file marked
// for deletion is gone then (or once the last other handle to it closes).
class OpenedFile {
 public:
  virtual ~OpenedFile() = default;
  // One query of the handle, answered in this process: nothing here asks the volume (which Wine
  // answers in another process).
  virtual std::optional<OpenedFileInfo> Info() = 0;
  // Whether the handle reached the object its path names, and not one behind a junction or link
  // on the way: the system's own path of the handle equals the path with short names expanded,
  // letter case ignored. Nothing when the system cannot say (Windows XP has no way to ask).
  virtual std::optional<bool> ReachedByPath() = 0;
  // Writes all of data at offset, or fails.
  virtual bool Write(int64_t offset, const char* data, size_t size) = 0;
  virtual bool Flush() = 0;
  // Whether the file goes when the handle closes; false when the system refuses (a read-only file).
  // Content written through the handle after the mark still lands in the file until then.
  virtual bool SetDeleteOnClose(bool delete_on_close) = 0;
};

enum class DeletionAccess {
  kDelete,     // delete access only, sharing everything, as DeleteFileW opens a file
  kOverwrite,  // write and delete access, sharing nothing: fails while any other program has it open
};

struct FindEntry {
  std::string name;  // the entry's own name, no folder
  uint32_t attributes = 0;
  int64_t size = 0;  // 64-bit content length; 0 for folders
  // Last write, as a FILETIME: 100 ns ticks since 1601-01-01 UTC.
  int64_t last_write = 0;
  FileId id = 0;  // 0 where the listing cannot tell (Windows XP's own listing)

  bool IsFolder() const { return (attributes & kAttrDirectory) != 0; }
  bool IsReparsePoint() const { return (attributes & kAttrReparsePoint) != 0; }
};

enum class DriveType { kUnknown, kNoRootDir, kRemovable, kFixed, kRemote, kCdRom, kRamDisk };

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Entries matching a pattern path such as "C:\Windows\Temp\*.log", as FindFirstFileW and
  // FindNextFileW list them: wildcards "*" and "?", letter case ignored, hidden and system entries
  // included, "." and ".." left out. A folder that cannot be opened gives no entries. The system
  // may match a pattern against 8.3 aliases too: callers that must not widen a match check the
  // names with platform::WildcardMatches.
  virtual std::vector<FindEntry> FindFiles(const std::string& pattern_path) = 0;

  // GetFileAttributesW: the attributes of an existing path, nothing when it does not exist.
  virtual std::optional<uint32_t> GetAttributes(const std::string& path) = 0;

  bool FolderExists(const std::string& path) {
    auto attrs = GetAttributes(path);
    return attrs && (*attrs & kAttrDirectory) != 0;
  }
  bool FileExists(const std::string& path) {
    auto attrs = GetAttributes(path);
    return attrs && (*attrs & kAttrDirectory) == 0;
  }

  // DeleteFileW: removes a file for good; false on folders, missing paths and files in use.
  virtual bool DeleteFile(const std::string& path) = 0;
  // CreateDirectoryW: one level; false when it exists already or the parent is missing.
  virtual bool CreateFolder(const std::string& path) = 0;

  // Opens an existing file or folder for deletion without following a junction or link at its
  // last component (the link itself is opened). Nothing when it cannot be opened: missing, in use
  // against the access asked for, or refused.
  virtual std::unique_ptr<OpenedFile> OpenForDeletion(const std::string& path, DeletionAccess access) {
    (void)path;
    (void)access;
    return nullptr;
  }
  // MoveFileExW(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT): the system deletes the file, or the
  // then empty folder, when it next starts. False when the system refuses (only administrators
  // may ask).
  virtual bool DeleteAtRestart(const std::string& path) = 0;
  // RemoveDirectoryW: removes an empty folder; false otherwise.
  virtual bool RemoveFolder(const std::string& path) {
    (void)path;
    return false;
  }
  // The entries of a folder ("." and ".." left out), or nothing when it cannot be listed (denied,
  // missing, or a path that is not UTF-8), which FindFiles cannot tell from an empty folder.
  virtual std::optional<std::vector<FindEntry>> ListFolder(const std::string& folder) {
    if (!FolderExists(folder)) return std::nullopt;
    return FindFiles(folder + "\\*");
  }

  virtual std::string GetCurrentDirectory() = 0;
  virtual bool SetCurrentDirectory(const std::string& path) = 0;

  // GetDiskFreeSpaceExW on a root such as "C:\".
  virtual bool GetDiskFreeSpace(const std::string& root, int64_t* free_to_caller, int64_t* total) = 0;
  // GetLogicalDriveStringsA: the drive letters present, in the order reported (alphabetical).
  virtual std::vector<char> GetLogicalDrives() = 0;
  // GetDriveTypeW on a root such as "C:\".
  virtual DriveType GetDriveType(const std::string& root) = 0;
  // SetErrorMode: returns the previous mode.
  virtual uint32_t SetErrorMode(uint32_t mode) = 0;
  // GetWindowsDirectoryW: empty when the call fails.
  virtual std::string GetWindowsDirectory() = 0;

  // The system's 8-bit text (its ANSI code page), in which the settings and the trace definitions
  // are stored, as UTF-8: every byte has a reading (one the code page does not define becomes
  // U+FFFD). The default reads the bytes as Latin-1.
  virtual std::string AnsiToUtf8(std::string_view ansi);
  // UTF-8 as the code page's bytes; nothing when the code page cannot hold every character of it
  // exactly (no "best fit" stand-ins) or the text is not UTF-8.
  virtual std::optional<std::string> Utf8ToAnsi(std::string_view utf8);

  // The file table of the local NTFS volume at `drive`, read whole from the raw volume, where the
  // process may read it (an elevated administrator); nothing elsewhere (another file system, a
  // network or removable drive, no rights, a read that fails or looks inconsistent). Setting
  // `stop` ends the reading early, with nothing.
  virtual std::optional<ntfs::FileTable> ReadFileTable(char /*drive*/, const std::atomic<bool>& /*stop*/) {
    return std::nullopt;
  }

  // Whole-file reading and writing for the INI documents and the pictures.
  // ReadFile gives nothing when the file does not exist or cannot be read.
  virtual std::optional<std::string> ReadFile(const std::string& path) = 0;
  // WriteFile replaces the file whole, or leaves it as it was: on failure it returns the
  // system's reason as text and the old content is untouched.
  virtual std::optional<std::string> WriteFile(const std::string& path, const std::string& data) = 0;
};

}  // namespace platform
