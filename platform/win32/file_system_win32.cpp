// The file-system service over kernel32's wide calls. Paths arrive as UTF-8 and are turned into
// UTF-16 here only, in the "\\?\" form where the plain one would not reach the object (see
// SystemPath); nothing here copies a path into a fixed buffer.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <cwchar>
#include <optional>

#include "platform/wildcard.h"
#include "platform/win32/folder_listing_win32.h"
#include "platform/win32/opened_file_win32.h"
#include "platform/win32/volume_table_win32.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace platform::win32 {
namespace {

// Both from Windows 7 on; older releases refuse them with ERROR_INVALID_PARAMETER.
constexpr auto kFindExInfoBasic = static_cast<FINDEX_INFO_LEVELS>(1);
constexpr DWORD kFindFirstExLargeFetch = 2;

std::string SystemMessage(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message = length && text ? Utf8(std::wstring_view(text, length)) : std::string();
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == '\r' || message.back() == '\n' || message.back() == ' '))
    message.pop_back();
  return message.empty() ? "System error " + std::to_string(code) + "." : message;
}

// The folder part of a path, with its separator: "C:\a\b.conf" gives "C:\a\", "C:b.conf" gives
// "C:", "b.conf" gives "".
std::string FolderPart(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  if (slash != std::string::npos) return path.substr(0, slash + 1);
  return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : std::string();
}

std::string LastPart(const std::string& path) { return path.substr(FolderPart(path).size()); }

// A name the system gives that cannot be one part of a path: a separator or wildcard in it would
// make the path built from it name other objects (Wine shows some Unix names so).
bool UsableName(std::wstring_view name) {
  if (name.empty() || name == L"." || name == L"..") return false;
  for (wchar_t c : name)
    if (c < L' ' || wcschr(L"\\/:*?\"<>|", c) != nullptr) return false;
  return true;
}

// Adds an entry of a listing under its real name, UTF-8 (lone surrogates carried exactly).
// `filter`, when not empty, is the pattern the listing itself could not apply.
void AddEntry(std::wstring_view own, uint32_t attributes, int64_t size, int64_t last_write, FileId id,
              const std::string& filter, const std::string& listing, std::vector<FindEntry>* entries) {
  if (own == L"." || own == L"..") return;
  if (!UsableName(own)) {
    DebugLine("Find: skipped a name that cannot be part of a path, in " + listing);
    return;
  }
  FindEntry entry;
  entry.name = Utf8(own);
  if (!filter.empty() && !WildcardMatches(filter, entry.name)) return;
  entry.attributes = attributes;
  entry.last_write = last_write;
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) entry.size = size;
  entry.id = id;
  entries->push_back(std::move(entry));
}

void AddEntry(const WIN32_FIND_DATAW& data, const std::string& filter, const std::string& listing,
              std::vector<FindEntry>* entries) {
  AddEntry(std::wstring_view(data.cFileName, wcsnlen(data.cFileName, MAX_PATH)), data.dwFileAttributes,
           static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow),
           static_cast<int64_t>((static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                data.ftLastWriteTime.dwLowDateTime),
           0, filter, listing, entries);
}

// A pattern listing by the kernel's listing, which gives the file ids; the pattern is matched
// here against the long names only (the search would match 8.3 aliases too, which every caller
// would have to undo). Nothing when that listing is not there.
std::optional<bool> ListWithIds(const std::wstring& wide, const std::string& pattern, const std::string& listing,
                                std::vector<FindEntry>* entries) {
  const size_t cut = wide.find_last_of(L'\\');
  if (cut == std::wstring::npos) return std::nullopt;
  std::wstring folder = wide.substr(0, cut + 1);
  // A root keeps its separator ("C:\"); any other folder is opened by its own name.
  if (folder.size() > 1 && folder[folder.size() - 2] != L':') folder.pop_back();
  std::vector<win32::ListedName> names;
  const std::optional<bool> complete = win32::ListFolderWithIds(folder, &names);
  if (!complete) return std::nullopt;
  const std::string filter = pattern == "*" ? std::string() : pattern;
  for (const win32::ListedName& n : names)
    AddEntry(n.name, n.attributes, n.size, n.last_write, n.id, filter, listing, entries);
  return complete;
}

// Lists a pattern path; false when the listing could not be made or did not end normally.
// Windows XP knows neither the basic information level nor the large fetch: it is asked again
// without them.
bool List(const std::string& pattern_path, std::vector<FindEntry>* entries) {
  std::optional<std::wstring> wide = SystemPath(pattern_path, kPathLimit, true);
  if (!wide) return false;
  const std::string pattern = LastPart(pattern_path);
  // Patterns go to the kernel's listing; one name (a lookup of one entry) to the search, which
  // reads it by the same rules as every other path.
  if (pattern.find_first_of("*?") != std::string::npos)
    if (const auto complete = ListWithIds(*wide, pattern, pattern_path, entries)) return *complete;
  // The "\\?\" form passes the pattern to the file system as it is, without the rules by which
  // the search reads "*.*" or a trailing dot: there everything is listed and matched here.
  std::string filter;
  if (IsExtendedPath(*wide) && pattern != "*" && pattern.find_first_of("*?") != std::string::npos) {
    filter = pattern;
    wide->resize(wide->size() - Wide(pattern).size());
    *wide += L'*';
  }
  WIN32_FIND_DATAW data;
  static std::atomic<bool> basic_known{true};
  HANDLE find = INVALID_HANDLE_VALUE;
  if (basic_known) {
    find = FindFirstFileExW(wide->c_str(), kFindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                            kFindFirstExLargeFetch);
    if (find == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER) basic_known = false;
  }
  if (!basic_known)
    find = FindFirstFileExW(wide->c_str(), FindExInfoStandard, &data, FindExSearchNameMatch, nullptr, 0);
  if (find == INVALID_HANDLE_VALUE) return false;
  do {
    AddEntry(data, filter, pattern_path, entries);
  } while (FindNextFileW(find, &data));
  const bool complete = GetLastError() == ERROR_NO_MORE_FILES;
  FindClose(find);
  return complete;
}

class Win32FileSystem : public FileSystem {
 public:
  bool DeleteAtRestart(const std::string& path) override {
    const auto wide = SystemPath(path, kPathLimit);
    return wide && MoveFileExW(wide->c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
  }

  std::vector<FindEntry> FindFiles(const std::string& pattern_path) override {
    std::vector<FindEntry> entries;
    List(pattern_path, &entries);
    return entries;
  }

  std::optional<uint32_t> GetAttributes(const std::string& path) override {
    const auto wide = SystemPath(path, kPathLimit);
    if (!wide) return std::nullopt;
    const DWORD attributes = GetFileAttributesW(wide->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return attributes;
  }

  bool DeleteFile(const std::string& path) override {
    const auto wide = SystemPath(path, kPathLimit);
    return wide && ::DeleteFileW(wide->c_str());
  }

  bool CreateFolder(const std::string& path) override {
    const auto wide = SystemPath(path, kFolderPathLimit);
    return wide && CreateDirectoryW(wide->c_str(), nullptr);
  }

  std::unique_ptr<OpenedFile> OpenForDeletion(const std::string& path, DeletionAccess access) override {
    return win32::OpenForDeletion(path, access);
  }

  bool RemoveFolder(const std::string& path) override {
    const auto wide = SystemPath(path, kPathLimit);
    return wide && RemoveDirectoryW(wide->c_str());
  }

  std::optional<std::vector<FindEntry>> ListFolder(const std::string& folder) override {
    // Every folder but a drive's root lists "." at least: a failure here is one to report.
    std::vector<FindEntry> entries;
    if (!List(folder + "\\*", &entries)) return std::nullopt;
    return entries;
  }

  std::string GetCurrentDirectory() override {
    const DWORD needed = ::GetCurrentDirectoryW(0, nullptr);
    if (needed == 0) return "";
    std::wstring buffer(needed, L'\0');
    const DWORD length = ::GetCurrentDirectoryW(needed, buffer.data());
    if (length == 0 || length >= needed) return "";
    buffer.resize(length);
    return Utf8(buffer);
  }

  // The current directory cannot be a long path on any release: the plain form only.
  bool SetCurrentDirectory(const std::string& path) override {
    const auto wide = WideExact(path);
    return wide && !wide->empty() && ::SetCurrentDirectoryW(wide->c_str());
  }

  bool GetDiskFreeSpace(const std::string& root, int64_t* free_to_caller, int64_t* total) override {
    const auto wide = SystemPath(root, kPathLimit);
    if (!wide) return false;
    ULARGE_INTEGER caller = {}, all = {}, all_free = {};
    if (!::GetDiskFreeSpaceExW(wide->c_str(), &caller, &all, &all_free)) return false;
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
    const auto wide = SystemPath(root, kPathLimit);
    if (!wide) return DriveType::kNoRootDir;
    switch (::GetDriveTypeW(wide->c_str())) {
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
    std::wstring buffer(MAX_PATH, L'\0');
    UINT length = ::GetWindowsDirectoryW(buffer.data(), MAX_PATH);
    if (length >= MAX_PATH) {  // too small: the answer is the size needed
      buffer.assign(length, L'\0');
      length = ::GetWindowsDirectoryW(buffer.data(), length);
      if (length >= buffer.size()) return "";
    }
    buffer.resize(length);
    return Utf8(buffer);
  }

  std::string AnsiToUtf8(std::string_view ansi) override {
    if (ansi.empty()) return "";
    const int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    if (length <= 0) return FileSystem::AnsiToUtf8(ansi);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), length);
    return Utf8(wide);
  }

  // Exact or nothing: the conversion must not "best-fit" (a fullwidth reverse solidus would come
  // back as "\", another path) nor default, and the bytes must convert back to the same text.
  std::optional<std::string> Utf8ToAnsi(std::string_view utf8) override {
    const auto wide = WideExact(utf8);
    if (!wide) return std::nullopt;
    if (wide->empty()) return "";
    // A UTF-8 code page takes no best-fit flag; the round trip below is the test that counts.
    const bool utf8_page = GetACP() == CP_UTF8;
    const DWORD flags = utf8_page ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL defaulted = FALSE;
    BOOL* defaulted_out = utf8_page ? nullptr : &defaulted;
    const int count = static_cast<int>(wide->size());
    const int bytes = WideCharToMultiByte(CP_ACP, flags, wide->data(), count, nullptr, 0, nullptr, defaulted_out);
    if (bytes <= 0 || defaulted) return std::nullopt;
    std::string ansi(static_cast<size_t>(bytes), '\0');
    if (WideCharToMultiByte(CP_ACP, flags, wide->data(), count, ansi.data(), bytes, nullptr, defaulted_out) != bytes ||
        defaulted)
      return std::nullopt;
    const int back = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), bytes, nullptr, 0);
    if (back != count) return std::nullopt;
    std::wstring round(static_cast<size_t>(back), L'\0');
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), bytes, round.data(), back);
    if (round != *wide) return std::nullopt;
    return ansi;
  }

  std::optional<ntfs::FileTable> ReadFileTable(char drive, const std::atomic<bool>& stop) override {
    return ReadVolumeFileTable(drive, stop);
  }

  std::optional<std::string> ReadFile(const std::string& path) override {
    const auto wide = SystemPath(path, kPathLimit);
    if (!wide) return std::nullopt;
    HANDLE file = CreateFileW(wide->c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
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
    const auto wide = SystemPath(path, kPathLimit);
    if (!wide) return SystemMessage(ERROR_INVALID_NAME);
    // Windows refuses to move over a read-only file, Wine does not: refuse it here for both.
    const DWORD existing = GetFileAttributesW(wide->c_str());
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY))
      return SystemMessage(ERROR_ACCESS_DENIED);

    std::wstring temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
      const auto name = SystemPath(FolderPart(path) + "~cx" + std::to_string(GetCurrentProcessId()) + "-" +
                                       std::to_string(next_temporary_++) + ".tmp",
                                   kPathLimit);
      if (!name) return SystemMessage(ERROR_INVALID_NAME);
      temporary = *name;
      file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
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
        !MoveFileExW(temporary.c_str(), wide->c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      error = GetLastError();
    if (error != ERROR_SUCCESS) {
      ::DeleteFileW(temporary.c_str());
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
