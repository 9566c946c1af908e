#include "tests/wine/support/file_tree.h"

#include <utility>
#include <vector>

#include "platform/win32/wide_text.h"

namespace {

// Every path through the "\\?\" form, so that long paths and names ending in dots or spaces are
// made and removed exactly as named.
std::wstring W(const std::string& path) { return platform::win32::SystemPath(path, 0).value_or(std::wstring()); }

void Write(const std::string& path, const std::string& content) {
  HANDLE file = CreateFileW(W(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  if (!content.empty()) WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(file);
}

}  // namespace

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
  SetFileAttributesW(W(path).c_str(), FILE_ATTRIBUTE_NORMAL);  // a read-only one from an earlier call
  Write(path, content);
  if (attributes != FILE_ATTRIBUTE_NORMAL) SetFileAttributesW(W(path).c_str(), attributes);
  return path;
}

std::string FileTree::Folder(const std::string& relative, DWORD attributes) {
  const std::string path = Path(relative);
  MakeFolders(path);
  if (attributes != 0) SetFileAttributesW(W(path).c_str(), GetFileAttributesW(W(path).c_str()) | attributes);
  return path;
}

void FileTree::Age(const std::string& relative, int days) { AgePath(Path(relative), days); }

bool AgePath(const std::string& path, int days) {
  const DWORD attributes = GetFileAttributesW(W(path).c_str());
  SetFileAttributesW(W(path).c_str(), FILE_ATTRIBUTE_NORMAL);
  HANDLE handle = CreateFileW(W(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  bool aged = false;
  if (handle != INVALID_HANDLE_VALUE) {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
    t.QuadPart -= static_cast<ULONGLONG>(days) * 24 * 60 * 60 * 10000000ull;
    const FILETIME then{t.LowPart, t.HighPart};
    aged = SetFileTime(handle, nullptr, &then, &then) != FALSE;
    CloseHandle(handle);
  }
  if (attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesW(W(path).c_str(), attributes);
  return aged;
}

bool PathExists(const std::string& path) { return GetFileAttributesW(W(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

void MakeFolders(const std::string& path) {
  if (path.size() <= 3 || PathExists(path)) return;  // "C:\" or already there
  const size_t slash = path.rfind('\\');
  if (slash != std::string::npos) MakeFolders(path.substr(0, slash));
  CreateDirectoryW(W(path).c_str(), nullptr);
}

void RemoveTree(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(W(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesW(W(path).c_str(), FILE_ATTRIBUTE_NORMAL);
  const bool folder = attributes & FILE_ATTRIBUTE_DIRECTORY;
  if (folder && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    std::vector<std::string> children;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((W(path) + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") children.push_back(path + "\\" + platform::win32::Utf8(name));
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    for (const std::string& child : children) RemoveTree(child);
  }
  if (folder) {
    RemoveDirectoryW(W(path).c_str());
  } else {
    DeleteFileW(W(path).c_str());
  }
}

std::optional<std::string> ReadShared(const std::string& path) {
  HANDLE file = CreateFileW(W(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string text;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
  CloseHandle(file);
  return text;
}

std::string ReadAll(const std::string& path) { return ReadShared(path).value_or(""); }

void WriteText(const std::string& path, const std::string& text) { Write(path, text); }

void WriteBytes(const std::string& path, size_t size) { Write(path, std::string(size, 'g')); }
