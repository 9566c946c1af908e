#include "tests/wine/support/file_tree.h"

#include <fstream>
#include <iterator>

#include <utility>
#include <vector>

FileTree::FileTree(std::string root) : root_(std::move(root)) {
  RemoveTree(root_);
  MakeFolders(root_);
}

FileTree::~FileTree() { RemoveTree(root_); }

std::string FileTree::Path(const std::string& relative) const { return root_ + "\\" + relative; }

std::string FileTree::File(const std::string& relative, size_t bytes, DWORD attributes) {
  return TextFile(relative, std::string(bytes, 'x'), attributes);
}

std::string FileTree::TextFile(const std::string& relative, const std::string& content, DWORD attributes) {
  const std::string path = Path(relative);
  MakeFolders(path.substr(0, path.rfind('\\')));
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // a read-only one from an earlier call
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    if (!content.empty()) WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
  }
  if (attributes != FILE_ATTRIBUTE_NORMAL) SetFileAttributesA(path.c_str(), attributes);
  return path;
}

std::string FileTree::Folder(const std::string& relative, DWORD attributes) {
  const std::string path = Path(relative);
  MakeFolders(path);
  if (attributes != 0) SetFileAttributesA(path.c_str(), GetFileAttributesA(path.c_str()) | attributes);
  return path;
}

void FileTree::Age(const std::string& relative, int days) {
  const std::string path = Path(relative);
  const DWORD attributes = GetFileAttributesA(path.c_str());
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  HANDLE handle = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle != INVALID_HANDLE_VALUE) {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
    t.QuadPart -= static_cast<ULONGLONG>(days) * 24 * 60 * 60 * 10000000ull;
    const FILETIME then{t.LowPart, t.HighPart};
    SetFileTime(handle, nullptr, &then, &then);
    CloseHandle(handle);
  }
  if (attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesA(path.c_str(), attributes);
}

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void MakeFolders(const std::string& path) {
  if (path.size() <= 3 || PathExists(path)) return;  // "C:\" or already there
  const size_t slash = path.rfind('\\');
  if (slash != std::string::npos) MakeFolders(path.substr(0, slash));
  CreateDirectoryA(path.c_str(), nullptr);
}

void RemoveTree(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  const bool folder = attributes & FILE_ATTRIBUTE_DIRECTORY;
  if (folder && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    std::vector<std::string> children;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") children.push_back(path + "\\" + name);
      } while (FindNextFileA(search, &found));
      FindClose(search);
    }
    for (const std::string& child : children) RemoveTree(child);
  }
  if (folder) {
    RemoveDirectoryA(path.c_str());
  } else {
    DeleteFileA(path.c_str());
  }
}

std::optional<std::string> ReadShared(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string text;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
  CloseHandle(file);
  return text;
}

std::string ReadAll(const std::string& path) { return ReadShared(path).value_or(""); }

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

void WriteBytes(const std::string& path, size_t size) {
  std::ofstream(path, std::ios::binary) << std::string(size, 'g');
}
