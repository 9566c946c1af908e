#include "clean/deletion_primitives.h"

#include <algorithm>

namespace {

// Overwrites are written in pieces of this size: large enough to be quick, small enough that a
// worker on a 32-bit system never holds much memory for it.
constexpr size_t kZeroChunk = 256 * 1024;

bool IsReparsePoint(uint32_t attributes) { return (attributes & platform::kAttrReparsePoint) != 0; }

// Whether a junction or link lies anywhere on the path below its drive root, the item included.
bool PathRunsThroughLink(platform::FileSystem& files, const std::string& path) {
  for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1)) {
    const auto attributes = files.GetAttributes(path.substr(0, at));
    if (!attributes || IsReparsePoint(*attributes)) return true;
  }
  const auto attributes = files.GetAttributes(path);
  return !attributes || IsReparsePoint(*attributes);
}

bool OverwriteWithZeros(platform::OpenedFile& opened, int64_t size) {
  static const std::string zeros(kZeroChunk, '\0');
  for (int64_t done = 0; done < size;) {
    const size_t chunk = static_cast<size_t>(std::min<int64_t>(size - done, kZeroChunk));
    if (!opened.Write(done, zeros.data(), chunk)) return false;
    done += static_cast<int64_t>(chunk);
  }
  return opened.Flush();
}

void Collect(platform::FileSystem& files, const std::string& folder, const std::vector<platform::FindEntry>& entries,
             FolderContents* contents) {
  const std::string dir = folder + "\\";
  for (const platform::FindEntry& entry : entries) {
    if (entry.IsFolder()) continue;
    contents->files.push_back(dir + entry.name);
    contents->file_ids.push_back(entry.id);
  }
  for (const platform::FindEntry& entry : entries) {
    // A link to a folder stays where it is, and so does the folder holding it.
    if (entry.IsFolder() && entry.IsReparsePoint()) contents->holds_link = true;
    if (!entry.IsFolder() || entry.IsReparsePoint()) continue;
    const std::string sub = dir + entry.name;
    contents->folders.push_back(sub);
    contents->folder_ids.push_back(entry.id);
    const auto below = files.ListFolder(sub);
    if (!below) {
      contents->complete = false;
      continue;
    }
    Collect(files, sub, *below, contents);
  }
}

}  // namespace

bool IsDeletableItemPath(const std::string& Path) {
  if (Path.size() < 4) return false;  // "X:\" and at least one character of a name
  const char drive = Path[0];
  if (!((drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z'))) return false;
  if (Path[1] != ':' || Path[2] != '\\') return false;
  std::string name;
  for (size_t i = 3; i <= Path.size(); ++i) {
    const char c = i < Path.size() ? Path[i] : '\\';
    if (c == '\\') {
      if (name.empty() || name == "." || name == "..") return false;
      name.clear();
      continue;
    }
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || c == '/' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|')
      return false;
    name += c;
  }
  return true;
}

bool ShellDelete(platform::Shell& shell, const std::string& Path) {
  if (!IsDeletableItemPath(Path)) return false;
  try {
    const unsigned flags = platform::kFofSilent | platform::kFofNoConfirmation | platform::kFofAllowUndo;
    return shell.FileOperationDelete(Path, flags) == 0;
  } catch (...) {
    return false;
  }
}

std::vector<std::string> ListFolderFiles(platform::FileSystem& files, const std::string& Folder) {
  std::vector<std::string> result;
  std::string dir = Folder;
  if (dir.empty() || dir.back() != '\\') dir += '\\';
  const std::vector<platform::FindEntry> entries = files.FindFiles(dir + "*");
  for (const platform::FindEntry& entry : entries) {
    if (entry.name == "." || entry.name == ".." || entry.IsFolder()) continue;
    result.push_back(dir + entry.name);
  }
  for (const platform::FindEntry& entry : entries) {
    if (entry.name == "." || entry.name == ".." || !entry.IsFolder() || entry.IsReparsePoint()) continue;
    const std::string sub = dir + entry.name;
    if (!files.FolderExists(sub)) continue;
    std::vector<std::string> below = ListFolderFiles(files, sub);
    result.insert(result.end(), below.begin(), below.end());
  }
  return result;
}

void ClearUrlCache(platform::UrlCache& cache) {
  std::string url;
  const platform::InternetHandle find = cache.FindFirst(&url);
  if (find == 0) return;
  do {
    cache.DeleteEntry(url);
  } while (cache.FindNext(find, &url));
  cache.FindClose(find);
}

bool OpenedByOwnPath(platform::FileSystem& files, const platform::OpenedFileInfo& info, platform::OpenedFile& opened,
                     const std::string& path, platform::FileId listed_id) {
  if (IsReparsePoint(info.attributes)) return false;
  // Another object than the one listed: replaced since, or reached through a link swapped in.
  if (listed_id != 0 && info.id != listed_id) return false;
  const std::optional<bool> reached = opened.ReachedByPath();
  if (reached) return *reached;
  // The object the listing named, wherever a link could have led: a link swapped in on the way
  // would have led to another one.
  if (listed_id != 0) return true;
  return !PathRunsThroughLink(files, path);
}

bool DeleteFileChecked(platform::FileSystem& files, const std::string& path, bool overwrite,
                       platform::FileId listed_id) {
  if (!IsDeletableItemPath(path)) return false;
  auto opened =
      files.OpenForDeletion(path, overwrite ? platform::DeletionAccess::kOverwrite : platform::DeletionAccess::kDelete);
  if (!opened) return false;
  const auto info = opened->Info();
  if (!info || !OpenedByOwnPath(files, *info, *opened, path, listed_id)) return false;
  // A read-only file is refused before any byte changes: Windows would not open it for writing,
  // but Wine run by root does, and would then refuse only the deletion.
  if (info->attributes & (platform::kAttrDirectory | platform::kAttrReadOnly)) return false;
  // Marked first, so that a file that cannot be deleted is never overwritten.
  if (!opened->SetDeleteOnClose(true)) return false;
  // The size is the handle's, taken now: a file that grew since the scan is overwritten whole.
  if (overwrite && info->links <= 1 && !OverwriteWithZeros(*opened, info->size)) {
    opened->SetDeleteOnClose(false);  // kept rather than deleted with content left in it
    return false;
  }
  opened.reset();  // the file goes as its handle closes
  return true;
}

bool IsOwnFolder(platform::FileSystem& files, const std::string& path, platform::FileId listed_id) {
  auto opened = files.OpenForDeletion(path, platform::DeletionAccess::kDelete);
  if (!opened) return false;
  const auto info = opened->Info();
  return info && OpenedByOwnPath(files, *info, *opened, path, listed_id) &&
         (info->attributes & platform::kAttrDirectory) != 0;
}

std::optional<FolderContents> CollectFolder(platform::FileSystem& files, const std::string& Folder) {
  const auto entries = files.ListFolder(Folder);
  if (!entries) return std::nullopt;
  FolderContents contents;
  Collect(files, Folder, *entries, &contents);
  return contents;
}

FolderDeletion DeleteFolderFileByFile(platform::FileSystem& files, const std::string& Folder, bool overwrite,
                                      platform::FileId listed_id) {
  FolderDeletion result;
  const std::optional<FolderContents> contents = CollectFolder(files, Folder);
  if (contents) {
    for (size_t i = 0; i < contents->files.size(); ++i) {
      const std::string& file = contents->files[i];
      if (DeleteFileChecked(files, file, overwrite, contents->file_ids[i])) {
        ++result.deleted;
      } else if (files.GetAttributes(file)) {
        result.failed.push_back(file);
      }
    }
    // Deepest first; a folder that still holds something stays, and so do the ones above it.
    for (size_t i = contents->folders.size(); i-- > 0;)
      if (IsOwnFolder(files, contents->folders[i], contents->folder_ids[i])) files.RemoveFolder(contents->folders[i]);
    if (IsOwnFolder(files, Folder, listed_id)) files.RemoveFolder(Folder);
  }
  result.gone = !files.GetAttributes(Folder);
  return result;
}
