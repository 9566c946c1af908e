#pragma once
// An in-memory file system with Windows path rules: drive letters, "\" separators, letter case
// ignored, a current directory per drive and one for the process. Tests plant folders and files
// (with lengths, attributes and content), mark files that cannot be deleted, reparse points, and
// drives of every type.
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"

class FakeFileSystem : public platform::FileSystem {
 public:
  FakeFileSystem();

  // Planting. Parents are created as plain folders when missing. Paths are absolute ("C:\a\b").
  void AddDrive(char letter, platform::DriveType type = platform::DriveType::kFixed, bool ready = true,
                int64_t free_bytes = 0, int64_t total_bytes = 0);
  void AddFolder(const std::string& path, uint32_t extra_attributes = 0);
  void AddFile(const std::string& path, int64_t size, uint32_t extra_attributes = platform::kAttrArchive);
  void AddFileWithContent(const std::string& path, const std::string& content);
  // A folder entry that is a junction or symbolic link: it lists as a folder with the reparse
  // attribute, and entering it shows the target's entries.
  void AddJunction(const std::string& path, const std::string& target);
  // A link to a file as Wine shows one: it lists as a plain file, and opening it reaches the
  // target. With shows_as_link it lists with the reparse attribute and opens as the link itself,
  // as on Windows.
  void AddFileLink(const std::string& path, const std::string& target, bool shows_as_link = false);
  // A second name of an existing file: the same object (its id), both names then counting two
  // links; content and size are copied, as the fake keeps one node per name.
  void AddHardLink(const std::string& path, const std::string& existing);
  // Gives a file more names: its handle reports this many hard links.
  void SetLinkCount(const std::string& path, uint32_t links);
  // The 8.3 alias of an entry, as volumes with short names give one to every long name: the
  // search matches its pattern against the alias too, as FindFirstFileA does.
  void SetShortName(const std::string& path, const std::string& alias);
  // The last-write time an entry lists with (a FILETIME); planted entries have 0, long past.
  void SetLastWrite(const std::string& path, int64_t filetime);
  // Files that DeleteFile refuses (in use).
  void Lock(const std::string& path);
  // Files that exist but that ReadFile cannot read (held open without sharing, an I/O error).
  void MakeUnreadable(const std::string& path);
  // Folders that cannot be listed (access denied): ListFolder fails, FindFiles finds nothing.
  void Deny(const std::string& path);
  // Called whenever a file is opened for deletion, with its path, before the checks: a test can
  // change the tree there, as another program might between the scan and the cleaning.
  std::function<void(const std::string&)> on_open_for_deletion;
  // The same, whenever the attributes of a path are asked.
  std::function<void(const std::string&)> on_attributes;
  // Called whenever a folder is listed, with the pattern path, before the listing: a test can make
  // entries vanish or appear while a walk is under way.
  std::function<void(const std::string&)> on_find;
  // Whether opened handles can tell their own path (false: Windows XP).
  bool handles_know_their_path = true;
  // Writes through handles fail, as on a disk that is full or failing.
  bool writes_fail = false;
  void SetWindowsDirectory(const std::string& path) { windows_dir_ = path; }
  void SetWriteFailure(const std::string& reason) { write_failure_ = reason; }

  bool Exists(const std::string& path) const;
  // Removes a folder and everything below it (as the shell's delete would).
  bool RemoveTree(const std::string& path);
  std::vector<std::string> DeletedFiles() const;
  // What was written through handles opened for deletion: "path@offset+size" per write, and the
  // content each deleted file held at the moment it went.
  std::vector<std::string> Writes() const;
  std::map<std::string, std::string> ContentAtDeletion() const;
  int flushes = 0;
  std::string Content(const std::string& path) const;
  // Every path below a folder (files and folders), sorted; for checking what is left.
  std::vector<std::string> ListTree(const std::string& root) const;

  // platform::FileSystem
  std::vector<platform::FindEntry> FindFiles(const std::string& pattern_path) override;
  std::optional<uint32_t> GetAttributes(const std::string& path) override;
  bool DeleteFile(const std::string& path) override;
  bool CreateFolder(const std::string& path) override;
  std::unique_ptr<platform::OpenedFile> OpenForDeletion(const std::string& path,
                                                        platform::DeletionAccess access) override;
  bool RemoveFolder(const std::string& path) override;
  bool DeleteAtRestart(const std::string& path) override;
  std::optional<std::vector<platform::FindEntry>> ListFolder(const std::string& folder) override;
  std::string GetCurrentDirectory() override;
  bool SetCurrentDirectory(const std::string& path) override;
  bool GetDiskFreeSpace(const std::string& root, int64_t* free_to_caller, int64_t* total) override;
  std::vector<char> GetLogicalDrives() override;
  platform::DriveType GetDriveType(const std::string& root) override;
  uint32_t SetErrorMode(uint32_t mode) override;
  std::string GetWindowsDirectory() override { return windows_dir_; }
  std::optional<std::string> ReadFile(const std::string& path) override;
  std::optional<std::string> WriteFile(const std::string& path, const std::string& data) override;

  // What DeleteAtRestart was given, in order; it refuses when restart_refused.
  std::vector<std::string> at_restart;
  bool restart_refused = false;
  uint32_t error_mode = 0;
  int find_calls = 0;
  // Every pattern path FindFiles was asked for, in order.
  std::vector<std::string> listed;

 private:
  struct Node {
    std::string name;  // as planted (original case)
    uint32_t attributes = 0;
    int64_t size = 0;
    int64_t last_write = 0;
    std::string content;
    bool locked = false;
    bool unreadable = false;
    std::string junction_target;   // key of the target folder, for reparse points
    std::string file_link_target;  // key of the target file, for links to files
    uint32_t links = 1;
    bool denied = false;
    std::string short_name;  // the 8.3 alias, empty when there is none
    // Every object planted or made is a new one; one that replaces another at its path has
    // another id.
    platform::FileId id = NextId();
  };
  static platform::FileId NextId();
  class OpenedFile;
  struct Drive {
    platform::DriveType type;
    bool ready;
    int64_t free_bytes, total_bytes;
    std::string current_dir;  // "\" relative to the drive, e.g. "\" or "\Windows"
  };

  // Resolves a Windows path against the current directories into a key "C:\A\B" (upper case,
  // no trailing "\"), following junctions on the way. Empty on failure.
  std::string Resolve(const std::string& path) const;
  std::string Follow(const std::string& key) const;
  static std::string Key(const std::string& absolute);
  // Creates the missing parent folders of a normalized path ("C:\a\b").
  void EnsureParents(const std::string& path);

  mutable std::recursive_mutex mutex_;  // the scan worker and the test thread both call in
  std::map<std::string, Node> nodes_;   // by key
  std::map<char, Drive> drives_;
  std::string process_dir_ = "C:\\";
  std::string windows_dir_ = "C:\\WINDOWS";
  std::string write_failure_;
  std::vector<std::string> deleted_;
  std::vector<std::string> writes_;
  std::map<std::string, std::string> content_at_deletion_;
};

// Wildcard match as FindFirstFileA does it on one name: "*" any run, "?" one character, letter
// case ignored, "*.*" everything; an empty pattern matches nothing.
bool WildcardMatch(const std::string& pattern, const std::string& name);
