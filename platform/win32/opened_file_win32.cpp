// Files opened for deletion: the handle through which an item is checked, overwritten and deleted,
// so that what is checked is what is deleted, whatever happens to its path meanwhile.
#include "platform/win32/opened_file_win32.h"

#include <windows.h>

#include <string>

namespace platform::win32 {
namespace {

// Both calls exist from Vista on; XP has neither, and the kernel's own call stands in for the
// second there.
using GetFinalPathFn = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);
using NtSetInformationFileFn = LONG(NTAPI*)(HANDLE, void*, void*, ULONG, ULONG);

struct IoStatus {
  LONG status;
  ULONG_PTR information;
};
constexpr ULONG kFileDispositionInformation = 13;

template <class Fn>
Fn Lookup(const char* module, const char* name) {
  HMODULE handle = GetModuleHandleA(module);
  return handle ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(handle, name))) : nullptr;
}

std::wstring Widen(const std::string& ansi) {
  const int length =
      MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  if (length <= 0) return L"";
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), static_cast<int>(ansi.size()), wide.data(), length);
  return wide;
}

std::wstring Upper(std::wstring text) {
  if (!text.empty()) CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

// The path with every short name replaced by the long one; empty when that fails.
std::wstring LongPath(const std::wstring& path) {
  // Only a name with "~" can be a generated short name. Expanding reads every folder on the way,
  // which made it the dearest step of deleting a file; a path it would have changed otherwise
  // (a short name set by hand) is then merely refused.
  if (path.find(L'~') == std::wstring::npos) return path;
  const DWORD needed = GetLongPathNameW(path.c_str(), nullptr, 0);
  if (needed == 0) return L"";
  std::wstring buffer(needed, L'\0');
  const DWORD length = GetLongPathNameW(path.c_str(), buffer.data(), needed);
  if (length == 0 || length >= needed) return L"";
  buffer.resize(length);
  return buffer;
}

class Win32OpenedFile : public OpenedFile {
 public:
  Win32OpenedFile(HANDLE handle, std::string path) : handle_(handle), path_(std::move(path)) {}
  ~Win32OpenedFile() override { CloseHandle(handle_); }
  Win32OpenedFile(const Win32OpenedFile&) = delete;
  Win32OpenedFile& operator=(const Win32OpenedFile&) = delete;

  std::optional<OpenedFileInfo> Info() override {
    BY_HANDLE_FILE_INFORMATION data = {};
    if (!GetFileInformationByHandle(handle_, &data)) return std::nullopt;
    OpenedFileInfo info;
    info.attributes = data.dwFileAttributes;
    info.links = data.nNumberOfLinks;
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      info.size = static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
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
    // A handle whose path cannot be told is not known to be the item's.
    if (length == 0 || length >= final_path.size()) return false;
    final_path.resize(length);
    if (final_path.starts_with(L"\\\\?\\")) final_path.erase(0, 4);
    const std::wstring expected = LongPath(Widen(path_));
    return !expected.empty() && Upper(final_path) == Upper(expected);
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
    static const auto set_information = Lookup<NtSetInformationFileFn>("ntdll.dll", "NtSetInformationFile");
    if (!set_information) return false;
    IoStatus io = {};
    BOOLEAN delete_file = delete_on_close ? TRUE : FALSE;
    return set_information(handle_, &io, &delete_file, sizeof delete_file, kFileDispositionInformation) >= 0;
  }

 private:
  HANDLE handle_;
  std::string path_;
};

}  // namespace

std::unique_ptr<OpenedFile> OpenForDeletion(const std::string& path, DeletionAccess access) {
  const bool overwrite = access == DeletionAccess::kOverwrite;
  const DWORD rights = DELETE | FILE_READ_ATTRIBUTES | (overwrite ? GENERIC_WRITE : 0);
  const DWORD sharing = overwrite ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  // Backup semantics let the same call open folders, which have no content to overwrite.
  HANDLE handle = CreateFileA(path.c_str(), rights, sharing, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32OpenedFile>(handle, path);
}

}  // namespace platform::win32
