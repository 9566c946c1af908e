#pragma once
// Files and folders that a test plants under C:\ for the real program to find, removed again when
// the tree goes out of scope (and at its start, should a crashed run have left one behind).
// Paths are UTF-8, of any length, and names ending in dots or spaces are made as named.
//
//   FileTree tree("C:\\cx-test");
//   tree.File("logs\\old.log", 4096);                         // parent folders are made as needed
//   tree.File("seen.tmp", 10, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
//   tree.Folder("empty");
//   EXPECT_FALSE(PathExists(tree.Path("logs\\old.log")));
#include <windows.h>

#include <optional>
#include <string>

class FileTree {
 public:
  explicit FileTree(std::string root);
  ~FileTree();
  FileTree(const FileTree&) = delete;
  FileTree& operator=(const FileTree&) = delete;

  const std::string& root() const { return root_; }
  // root + "\" + relative.
  std::string Path(const std::string& relative) const;
  // A file of `bytes` bytes (or of `content`), with the given attributes; returns its path.
  std::string File(const std::string& relative, size_t bytes, DWORD attributes = FILE_ATTRIBUTE_NORMAL);
  std::string TextFile(const std::string& relative, const std::string& content,
                       DWORD attributes = FILE_ATTRIBUTE_NORMAL);
  // A folder (and its parents), with the given attributes added; returns its path.
  std::string Folder(const std::string& relative, DWORD attributes = 0);
  // Moves the last-write time of a file or folder `days` into the past.
  void Age(const std::string& relative, int days);

 private:
  std::string root_;
};

// Moves the last-write time of a file or folder `days` into the past; whether it could.
bool AgePath(const std::string& path, int days);
bool PathExists(const std::string& path);
// The whole content of a file, opened with every kind of sharing so that a file another program
// holds (even for deletion) can still be read; none when it cannot be opened.
std::optional<std::string> ReadShared(const std::string& path);
// The same, "" when the file cannot be read.
std::string ReadAll(const std::string& path);
// A file of `size` bytes of filler, replacing what was there.
void WriteBytes(const std::string& path, size_t size);
// A file holding exactly `text`, replacing what was there.
void WriteText(const std::string& path, const std::string& text);
// Makes a folder and every missing parent.
void MakeFolders(const std::string& path);
// Removes a file, or a folder with everything in it, read-only, hidden and system entries too.
// A link or junction inside is never followed: it is removed as a link where Wine allows that,
// else left in place, and what it points at is never touched.
void RemoveTree(const std::string& path);
