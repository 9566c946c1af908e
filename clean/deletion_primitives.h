#pragma once
// The deletion primitives of the delete worker, usable on their own. None of them follows a
// junction or link: what they delete is the object its path names, or nothing.
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

// True for a path this program may delete: "X:\" followed by one or more names, with no empty,
// "." or ".." component, no trailing separator, no "/", wildcards, stream colons or control
// characters. Names ending in a dot or a space pass: the file system reaches them exactly.
bool IsDeletableItemPath(const std::string& Path);

// Moves Path to the Recycle Bin without confirmation or progress window; true when the shell
// reports success. Refuses paths that IsDeletableItemPath rejects, and turns any error into false.
bool ShellDelete(platform::Shell& shell, const std::string& Path);
// Every file below Folder, its own files first, then each subfolder's, in listing order. Works on
// full paths and never changes the process's current directory; does not descend into junctions
// or links, which lead outside the folder.
std::vector<std::string> ListFolderFiles(platform::FileSystem& files, const std::string& Folder);
// Deletes every content entry of the URL cache.
void ClearUrlCache(platform::UrlCache& cache);

// Whether an opened item is the object its path names: it is no reparse point; where the listing
// that found it gave its file id (listed_id, 0 when unknown), the handle reached that very object,
// so that a file replaced since, or another object reached through a junction swapped in on the
// way, is refused; and the handle says it reached it by that path, or, where the system cannot
// say, the file id matched or no component of the path is a junction or link.
bool OpenedByOwnPath(platform::FileSystem& files, const platform::OpenedFileInfo& info, platform::OpenedFile& opened,
                     const std::string& path, platform::FileId listed_id = 0);

// Deletes one file through a handle opened without following a link and checked with
// OpenedByOwnPath, so that a link's target, or a file behind a junction swapped in on the way, is
// never reached; the handle that was checked is the one that deletes. With overwrite, the content
// is first replaced by zeros through the same handle and flushed, and a file that cannot be
// opened for writing, or whose overwrite fails, is left alone; a file with other names (hard
// links) is not overwritten, as that would destroy what those names hold: only this name goes.
// True when the file was deleted.
bool DeleteFileChecked(platform::FileSystem& files, const std::string& path, bool overwrite,
                       platform::FileId listed_id = 0);

// Whether path is a folder reached by its own path (no junction or link on the way or at it), and
// the one listed where listed_id is known.
bool IsOwnFolder(platform::FileSystem& files, const std::string& path, platform::FileId listed_id = 0);

// A folder's files and subfolders, collected without following links.
struct FolderContents {
  std::vector<std::string> files;    // its own files first, then each subfolder's, as ListFolderFiles
  std::vector<std::string> folders;  // every subfolder, each before the folders below it
  // The file ids their listings gave, one for each of files and of folders (0 where unknown).
  std::vector<platform::FileId> file_ids, folder_ids;
  bool complete = true;     // false when some folder could not be listed
  bool holds_link = false;  // a link to a folder lies somewhere below: it stays, and so do its holders
};
// Nothing when Folder itself cannot be listed.
std::optional<FolderContents> CollectFolder(platform::FileSystem& files, const std::string& Folder);

// The file-by-file deletion of a folder: every file below it (DeleteFileChecked), then the
// emptied folders, deepest first, and the folder itself (checked against listed_id).
struct FolderDeletion {
  size_t deleted = 0;
  std::vector<std::string> failed;  // files that are still there
  bool gone = false;                // the folder itself no longer exists
};
FolderDeletion DeleteFolderFileByFile(platform::FileSystem& files, const std::string& Folder, bool overwrite,
                                      platform::FileId listed_id = 0);
