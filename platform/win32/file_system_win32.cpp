// The file-system service over kernel32's ANSI calls. Every path is checked against MAX_PATH
// before it reaches a call: the ANSI calls cannot take longer ones, and nothing here copies a
// path into a fixed buffer.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <cwchar>
#include <optional>

#include "platform/win32/opened_file_win32.h"
#include "platform/win32/win32_platform.h"

namespace platform::win32 {
namespace {

// Shorter than MAX_PATH and free of NUL characters, which would cut the path short and make it
// name another object.
bool Usable(const std::string& path) {
  return !path.empty() && path.size() < MAX_PATH && path.find('\0') == std::string::npos;
}

std::string SystemMessage(DWORD code) {
  char* text = nullptr;
  const DWORD length =
      FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = length && text ? std::string(text, length) : std::string();
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == '\r' || message.back() == '\n' || message.back() == ' '))
    message.pop_back();
  return message.empty() ? "System error " + std::to_string(code) + "." : message;
}

// The ANSI form of a wide name, or nothing when it is not an exact round trip: the ANSI calls
// "best-fit" characters outside the code page, so a fullwidth reverse solidus comes back as "\"
// and names another path altogether, and one they cannot fit comes back as "?", a wildcard.
// Characters that Windows refuses in names never pass either (Wine shows some Unix names so).
std::optional<std::string> ExactAnsi(const wchar_t* wide) {
  const int length = static_cast<int>(wcsnlen(wide, MAX_PATH));
  if (length == 0) return std::nullopt;
  // A UTF-8 code page takes no best-fit flag; the round trip below is the test that counts.
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL defaulted = FALSE;
  BOOL* defaulted_out = utf8 ? nullptr : &defaulted;
  const int bytes = WideCharToMultiByte(CP_ACP, flags, wide, length, nullptr, 0, nullptr, defaulted_out);
  if (bytes <= 0 || defaulted) return std::nullopt;
  std::string ansi(static_cast<size_t>(bytes), '\0');
  if (WideCharToMultiByte(CP_ACP, flags, wide, length, ansi.data(), bytes, nullptr, defaulted_out) != bytes ||
      defaulted)
    return std::nullopt;
  const int back = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), bytes, nullptr, 0);
  if (back != length) return std::nullopt;
  std::wstring round(static_cast<size_t>(back), L'\0');
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), bytes, round.data(), back);
  if (round.compare(0, std::wstring::npos, wide, static_cast<size_t>(length)) != 0) return std::nullopt;
  for (unsigned char c : ansi)
    if (c < ' ' || std::strchr("\\/:*?\"<>|", c) != nullptr) return std::nullopt;
  return ansi;
}

// The name by which the ANSI calls reach an entry: its own when that is exact, else its short
// name (plain ASCII on every volume that makes them), else none.
std::optional<std::string> AnsiName(const WIN32_FIND_DATAW& data) {
  if (auto name = ExactAnsi(data.cFileName)) return name;
  wchar_t short_name[sizeof(data.cAlternateFileName) / sizeof(wchar_t) + 1] = {};
  std::memcpy(short_name, data.cAlternateFileName, sizeof(data.cAlternateFileName));
  return ExactAnsi(short_name);
}

std::wstring WideOf(const std::string& ansi) {
  const int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(std::max(length, 0)), L'\0');
  if (length > 0) MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), length);
  return wide;
}

// The folder part of a path, with its separator: "C:\a\b.conf" gives "C:\a\", "C:b.conf" gives
// "C:", "b.conf" gives "".
std::string FolderPart(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  if (slash != std::string::npos) return path.substr(0, slash + 1);
  return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : std::string();
}

// Adds an entry of a wide listing, under the name the ANSI calls reach it by. A name with no exact
// ANSI form and no short name is skipped with a debug line: it is never turned into a path that
// names something else. `listing` names the listing for that line.
void AddEntry(const WIN32_FIND_DATAW& data, const std::string& listing, std::vector<FindEntry>* entries) {
  const std::wstring own(data.cFileName, wcsnlen(data.cFileName, MAX_PATH));
  if (own == L"." || own == L"..") return;
  std::optional<std::string> name = AnsiName(data);
  if (!name) {
    OutputDebugStringA(("Find: skipped a name without an exact ANSI form or short name, in " + listing).c_str());
    return;
  }
  FindEntry entry;
  entry.name = std::move(*name);
  entry.attributes = data.dwFileAttributes;
  entry.last_write = static_cast<int64_t>((static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                          data.ftLastWriteTime.dwLowDateTime);
  if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    entry.size = static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
  entries->push_back(std::move(entry));
}

class Win32FileSystem : public FileSystem {
 public:
  bool DeleteAtRestart(const std::string& path) override {
    return MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
  }

  std::vector<FindEntry> FindFiles(const std::string& pattern_path) override {
    std::vector<FindEntry> entries;
    if (!Usable(pattern_path)) return entries;
    // The wide calls give the real name, so that one which has no exact ANSI form is never
    // turned into a path that names something else.
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(WideOf(pattern_path).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return entries;
    do {
      AddEntry(data, pattern_path, &entries);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return entries;
  }

  std::optional<uint32_t> GetAttributes(const std::string& path) override {
    if (!Usable(path)) return std::nullopt;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return attributes;
  }

  bool DeleteFile(const std::string& path) override { return Usable(path) && ::DeleteFileA(path.c_str()); }

  bool CreateFolder(const std::string& path) override {
    return Usable(path) && CreateDirectoryA(path.c_str(), nullptr);
  }

  std::unique_ptr<OpenedFile> OpenForDeletion(const std::string& path, DeletionAccess access) override {
    return Usable(path) ? win32::OpenForDeletion(path, access) : nullptr;
  }

  bool RemoveFolder(const std::string& path) override { return Usable(path) && RemoveDirectoryA(path.c_str()); }

  std::optional<std::vector<FindEntry>> ListFolder(const std::string& folder) override {
    const std::string pattern = folder + "\\*";
    if (!Usable(pattern)) return std::nullopt;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(WideOf(pattern).c_str(), &data);
    // Every folder but a drive's root lists "." at least: a failure here is one to report.
    if (find == INVALID_HANDLE_VALUE) return std::nullopt;
    std::vector<FindEntry> entries;
    do {
      AddEntry(data, pattern, &entries);
    } while (FindNextFileW(find, &data));
    const bool complete = GetLastError() == ERROR_NO_MORE_FILES;
    FindClose(find);
    if (!complete) return std::nullopt;
    return entries;
  }

  std::string GetCurrentDirectory() override {
    const DWORD needed = ::GetCurrentDirectoryA(0, nullptr);
    if (needed == 0) return "";
    std::string buffer(needed, '\0');
    const DWORD length = ::GetCurrentDirectoryA(needed, buffer.data());
    if (length == 0 || length >= needed) return "";
    buffer.resize(length);
    return buffer;
  }

  bool SetCurrentDirectory(const std::string& path) override {
    return Usable(path) && ::SetCurrentDirectoryA(path.c_str());
  }

  bool GetDiskFreeSpace(const std::string& root, int64_t* free_to_caller, int64_t* total) override {
    if (!Usable(root)) return false;
    ULARGE_INTEGER caller = {}, all = {}, all_free = {};
    if (!::GetDiskFreeSpaceExA(root.c_str(), &caller, &all, &all_free)) return false;
    *free_to_caller = static_cast<int64_t>(caller.QuadPart);
    *total = static_cast<int64_t>(all.QuadPart);
    return true;
  }

  std::vector<char> GetLogicalDrives() override {
    std::vector<char> letters;
    const DWORD needed = ::GetLogicalDriveStringsA(0, nullptr);
    if (needed == 0) return letters;
    std::string buffer(needed + 1, '\0');
    const DWORD length = ::GetLogicalDriveStringsA(needed, buffer.data());
    if (length == 0 || length > needed) return letters;
    // "A:\<NUL>C:\<NUL><NUL>"
    for (size_t at = 0; at < length && buffer[at] != '\0'; at += strnlen(&buffer[at], length - at) + 1)
      letters.push_back(buffer[at]);
    return letters;
  }

  DriveType GetDriveType(const std::string& root) override {
    if (!Usable(root)) return DriveType::kNoRootDir;
    switch (::GetDriveTypeA(root.c_str())) {
      case DRIVE_NO_ROOT_DIR:
        return DriveType::kNoRootDir;
      case DRIVE_REMOVABLE:
        return DriveType::kRemovable;
      case DRIVE_FIXED:
        return DriveType::kFixed;
      case DRIVE_REMOTE:
        return DriveType::kRemote;
      case DRIVE_CDROM:
        return DriveType::kCdRom;
      case DRIVE_RAMDISK:
        return DriveType::kRamDisk;
      default:
        return DriveType::kUnknown;
    }
  }

  uint32_t SetErrorMode(uint32_t mode) override { return ::SetErrorMode(mode); }

  std::string GetWindowsDirectory() override {
    std::string buffer(MAX_PATH, '\0');
    UINT length = ::GetWindowsDirectoryA(buffer.data(), MAX_PATH);
    if (length >= MAX_PATH) {  // too small: the answer is the size needed
      buffer.assign(length, '\0');
      length = ::GetWindowsDirectoryA(buffer.data(), length);
      if (length >= buffer.size()) return "";
    }
    buffer.resize(length);
    return buffer;
  }

  std::optional<std::string> ReadFile(const std::string& path) override {
    if (!Usable(path)) return std::nullopt;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<std::string> content;
    LARGE_INTEGER size = {};
    // The program reads settings, rules and pictures; anything near the address space is not one.
    if (GetFileSizeEx(file, &size) && size.QuadPart <= kMaxReadBytes) {
      std::string data(static_cast<size_t>(size.QuadPart), '\0');
      size_t filled = 0;
      bool ok = true;
      while (filled < data.size()) {
        DWORD got = 0;
        if (!::ReadFile(file, &data[filled], static_cast<DWORD>(data.size() - filled), &got, nullptr)) {
          ok = false;
          break;
        }
        if (got == 0) break;  // shrank meanwhile
        filled += got;
      }
      data.resize(filled);
      if (ok) content = std::move(data);
    }
    CloseHandle(file);
    return content;
  }

  // Writes a temporary file beside the target and moves it over the target in one step, so that
  // a failure at any point leaves the old file as it was.
  std::optional<std::string> WriteFile(const std::string& path, const std::string& data) override {
    if (path.find('\0') != std::string::npos) return SystemMessage(ERROR_INVALID_NAME);
    if (path.empty()) return SystemMessage(ERROR_PATH_NOT_FOUND);
    if (!Usable(path)) return SystemMessage(ERROR_FILENAME_EXCED_RANGE);
    // Windows refuses to move over a read-only file, Wine does not: refuse it here for both.
    const DWORD existing = GetFileAttributesA(path.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY))
      return SystemMessage(ERROR_ACCESS_DENIED);

    std::string temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
      temporary = FolderPart(path) + "~cx" + std::to_string(GetCurrentProcessId()) + "-" +
                  std::to_string(next_temporary_++) + ".tmp";
      if (!Usable(temporary)) return SystemMessage(ERROR_FILENAME_EXCED_RANGE);
      file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return SystemMessage(error);
      }
    }
    if (file == INVALID_HANDLE_VALUE) return SystemMessage(ERROR_FILE_EXISTS);

    DWORD error = ERROR_SUCCESS;
    for (size_t done = 0; done < data.size() && error == ERROR_SUCCESS;) {
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size() - done, 1 << 20));
      DWORD written = 0;
      if (!::WriteFile(file, data.data() + done, chunk, &written, nullptr))
        error = GetLastError();
      else if (written != chunk)
        error = ERROR_HANDLE_DISK_FULL;
      done += written;
    }
    if (error == ERROR_SUCCESS && !FlushFileBuffers(file)) error = GetLastError();
    CloseHandle(file);
    if (error == ERROR_SUCCESS &&
        !MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      error = GetLastError();
    if (error != ERROR_SUCCESS) {
      ::DeleteFileA(temporary.c_str());
      return SystemMessage(error);
    }
    return std::nullopt;
  }

 private:
  static constexpr LONGLONG kMaxReadBytes = 256ll << 20;
  std::atomic<unsigned> next_temporary_{0};
};

}  // namespace

std::unique_ptr<FileSystem> CreateFileSystem() { return std::make_unique<Win32FileSystem>(); }

}  // namespace platform::win32
