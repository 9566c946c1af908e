// Files opened for deletion: the handle through which an item is checked, overwritten and deleted,
// so that what is checked is what is deleted, whatever happens to its path meanwhile.
#include "platform/win32/opened_file_win32.h"

#include <windows.h>

#include <string>

#include "platform/win32/wide_text.h"

namespace platform::win32 {
namespace {

// The path and the disposition calls exist from Vista on; XP has neither, and the kernel's own
// call stands in for the disposition there.
using GetFinalPathFn = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);
using SetFileInformationFn = BOOL(WINAPI*)(HANDLE, int, void*, DWORD);
using NtFileInformationFn = LONG(NTAPI*)(HANDLE, void*, void*, ULONG, ULONG);

struct IoStatus {
  LONG status;
  ULONG_PTR information;
};
constexpr ULONG kFileDispositionInformation = 13;
constexpr ULONG kFileAllInformation = 18;
constexpr int kFileDispositionInfo = 4;  // FILE_INFO_BY_HANDLE_CLASS
constexpr LONG kStatusBufferOverflow = static_cast<LONG>(0x80000005);

// The fixed head of FILE_ALL_INFORMATION: basic, standard and internal information, then parts
// not read here; the name that ends it does not fit and need not.
struct AllInformation {
  int64_t creation_time, last_access_time, last_write_time, change_time;
  ULONG attributes;
  ULONG padding;
  int64_t allocation_size, end_of_file;
  ULONG links;
  BOOLEAN delete_pending, directory;
  int64_t index_number;
  char rest[512];
};

template <class Fn>
Fn Lookup(const char* module, const char* name) {
  HMODULE handle = GetModuleHandleA(module);
  return handle ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(handle, name))) : nullptr;
}

std::wstring Upper(std::wstring text) {
  if (!text.empty()) CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

// The path with every short name replaced by the long one, in the plain form; empty when that
// fails.
std::wstring LongPath(const std::wstring& path) {
  // Only a name with "~" can be a generated short name. Expanding reads every folder on the way,
  // which made it the dearest step of deleting a file; a path it would have changed otherwise
  // (a short name set by hand) is then merely refused.
  if (path.find(L'~') == std::wstring::npos) return PlainPath(path);
  const DWORD needed = GetLongPathNameW(path.c_str(), nullptr, 0);
  if (needed == 0) return L"";
  std::wstring buffer(needed, L'\0');
  const DWORD length = GetLongPathNameW(path.c_str(), buffer.data(), needed);
  if (length == 0 || length >= needed) return L"";
  buffer.resize(length);
  return PlainPath(std::move(buffer));
}

// Each name of the path without the dots and spaces at its end.
std::wstring WithoutTrailingDotsAndSpaces(const std::wstring& path) {
  std::wstring out, part;
  auto flush = [&] {
    while (!part.empty() && (part.back() == L'.' || part.back() == L' ')) part.pop_back();
    out += part;
    part.clear();
  };
  for (wchar_t c : path) {
    if (c == L'\\') {
      flush();
      out += c;
    } else {
      part += c;
    }
  }
  flush();
  return out;
}

class Win32OpenedFile : public OpenedFile {
 public:
  Win32OpenedFile(HANDLE handle, std::wstring path) : handle_(handle), path_(std::move(path)) {}
  ~Win32OpenedFile() override { CloseHandle(handle_); }
  Win32OpenedFile(const Win32OpenedFile&) = delete;
  Win32OpenedFile& operator=(const Win32OpenedFile&) = delete;

  // GetFileInformationByHandle would ask the volume too (for its serial number), which Wine
  // answers in its mount manager's process: that one call cost more than the deletion.
  std::optional<OpenedFileInfo> Info() override {
    static const auto query = Lookup<NtFileInformationFn>("ntdll.dll", "NtQueryInformationFile");
    if (!query) return std::nullopt;
    AllInformation all = {};
    IoStatus io = {};
    const LONG status = query(handle_, &io, &all, sizeof all, kFileAllInformation);
    if (status < 0 && status != kStatusBufferOverflow) return std::nullopt;
    OpenedFileInfo info;
    info.attributes = all.attributes;
    info.links = all.links;
    if (!(all.attributes & FILE_ATTRIBUTE_DIRECTORY)) info.size = all.end_of_file;
    info.id = static_cast<FileId>(all.index_number);
    return info;
  }

  std::optional<bool> ReachedByPath() override {
    static const auto get_final_path = Lookup<GetFinalPathFn>("kernel32.dll", "GetFinalPathNameByHandleW");
    if (!get_final_path) return std::nullopt;
    std::wstring final_path(MAX_PATH + 8, L'\0');
    DWORD length = get_final_path(handle_, final_path.data(), static_cast<DWORD>(final_path.size()), 0);
    if (length >= final_path.size()) {
      final_path.assign(length + 1, L'\0');
      length = get_final_path(handle_, final_path.data(), static_cast<DWORD>(final_path.size()), 0);
    }
    // Wine cannot tell the path of a handle beyond MAX_PATH (it fails however large the buffer):
    // then, as on XP, the components of the path are checked instead.
    if (length == 0 || length >= final_path.size()) return std::nullopt;
    final_path.resize(length);
    final_path = Upper(PlainPath(std::move(final_path)));
    const std::wstring expected = Upper(LongPath(path_));
    if (expected.empty()) return false;
    if (final_path == expected) return true;
    // Wine also drops the trailing dots and spaces of names (Windows keeps them): an answer that
    // differs only so cannot tell "trail." from "trail", and the components decide.
    if (final_path == WithoutTrailingDotsAndSpaces(expected)) return std::nullopt;
    return false;
  }

  bool Write(int64_t offset, const char* data, size_t size) override {
    LARGE_INTEGER position;
    position.QuadPart = offset;
    if (!SetFilePointerEx(handle_, position, nullptr, FILE_BEGIN)) return false;
    while (size > 0) {
      const DWORD chunk = size > (1u << 20) ? (1u << 20) : static_cast<DWORD>(size);
      DWORD written = 0;
      if (!WriteFile(handle_, data, chunk, &written, nullptr) || written != chunk) return false;
      data += chunk;
      size -= chunk;
    }
    return true;
  }

  bool Flush() override { return FlushFileBuffers(handle_); }

  bool SetDeleteOnClose(bool delete_on_close) override {
    BOOLEAN delete_file = delete_on_close ? TRUE : FALSE;
    static const auto set_by_handle = Lookup<SetFileInformationFn>("kernel32.dll", "SetFileInformationByHandle");
    if (set_by_handle) return set_by_handle(handle_, kFileDispositionInfo, &delete_file, sizeof delete_file);
    static const auto set_information = Lookup<NtFileInformationFn>("ntdll.dll", "NtSetInformationFile");
    if (!set_information) return false;
    IoStatus io = {};
    return set_information(handle_, &io, &delete_file, sizeof delete_file, kFileDispositionInformation) >= 0;
  }

 private:
  HANDLE handle_;
  std::wstring path_;  // as the system was given it
};

}  // namespace

std::unique_ptr<OpenedFile> OpenForDeletion(const std::string& path, DeletionAccess access) {
  const bool overwrite = access == DeletionAccess::kOverwrite;
  const DWORD rights = DELETE | FILE_READ_ATTRIBUTES | (overwrite ? GENERIC_WRITE : 0);
  const DWORD sharing = overwrite ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  const auto wide = SystemPath(path, kPathLimit);
  if (!wide) return nullptr;
  // Backup semantics let the same call open folders, which have no content to overwrite.
  HANDLE handle = CreateFileW(wide->c_str(), rights, sharing, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32OpenedFile>(handle, *wide);
}

}  // namespace platform::win32
