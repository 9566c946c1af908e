#pragma once
// A file system whose listings of one NTFS drive come from that volume's file table, read once,
// instead of from the system folder by folder; everything else is passed to the file system it
// wraps. A scan of a whole drive asks for tens of thousands of listings, which the table answers
// from memory.
//
// What it answers for paths on its drive ("X:\..." with no "." or ".." parts): FindFiles,
// ListFolder and GetAttributes, as the system would over the volume as the table saw it. A folder
// that is a reparse point (junction, symbolic link, mount point) lists as itself, but what lies
// behind it is asked of the wrapped file system, as the table cannot know it. The volume's own
// files in its root ($MFT, $LogFile, ..., $Extend) are not listed, as the system's listing does not
// show them; paths through them go to the wrapped file system too. Names compare as the system
// compares them (UpperCaseChar); a single name without wildcards also finds an entry by its 8.3
// alias, as FindFirstFileW does, while a pattern is matched against the long names only.
//
// The table is a snapshot: once anything on the drive is deleted, created, written or opened for
// deletion through this file system, every later call goes to the wrapped one. Safe to call from
// several threads; the table is only read after construction.
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/file_table.h"

namespace platform {

class TableFileSystem : public FileSystem {
 public:
  // `drive` is the letter the volume is mounted at; `wrapped` must outlive this.
  TableFileSystem(FileSystem& wrapped, char drive, ntfs::FileTable table);
  ~TableFileSystem() override;

  // Whether the table still answers (it is not used once the volume was changed through here).
  bool answers_from_table() const { return !stale_; }

  std::vector<FindEntry> FindFiles(const std::string& pattern_path) override;
  std::optional<uint32_t> GetAttributes(const std::string& path) override;
  std::optional<std::vector<FindEntry>> ListFolder(const std::string& folder) override;

  bool DeleteFile(const std::string& path) override;
  bool CreateFolder(const std::string& path) override;
  std::unique_ptr<OpenedFile> OpenForDeletion(const std::string& path, DeletionAccess access) override;
  bool DeleteAtRestart(const std::string& path) override { return wrapped_.DeleteAtRestart(path); }
  bool RemoveFolder(const std::string& path) override;
  std::string GetCurrentDirectory() override { return wrapped_.GetCurrentDirectory(); }
  bool SetCurrentDirectory(const std::string& path) override { return wrapped_.SetCurrentDirectory(path); }
  bool GetDiskFreeSpace(const std::string& root, int64_t* free_to_caller, int64_t* total) override {
    return wrapped_.GetDiskFreeSpace(root, free_to_caller, total);
  }
  std::vector<char> GetLogicalDrives() override { return wrapped_.GetLogicalDrives(); }
  DriveType GetDriveType(const std::string& root) override { return wrapped_.GetDriveType(root); }
  uint32_t SetErrorMode(uint32_t mode) override { return wrapped_.SetErrorMode(mode); }
  std::string GetWindowsDirectory() override { return wrapped_.GetWindowsDirectory(); }
  std::string AnsiToUtf8(std::string_view ansi) override { return wrapped_.AnsiToUtf8(ansi); }
  std::optional<std::string> Utf8ToAnsi(std::string_view utf8) override { return wrapped_.Utf8ToAnsi(utf8); }
  std::optional<std::string> ReadFile(const std::string& path) override { return wrapped_.ReadFile(path); }
  std::optional<std::string> WriteFile(const std::string& path, const std::string& data) override;

 private:
  class Index;
  // Marks the table out of date when `path` lies on its drive.
  void Changing(const std::string& path);

  FileSystem& wrapped_;
  std::unique_ptr<const Index> index_;  // nothing when the table has no root folder
  std::atomic<bool> stale_{false};
};

}  // namespace platform
