// The kernel's listing of a folder (NtQueryDirectoryFile), which FindFirstFileW also rests on but
// which alone tells each entry's file id: the identity that the cleaning later compares with what
// its handle reaches. It exists from Windows XP on.
#include "platform/win32/folder_listing_win32.h"

#include <windows.h>

#include <atomic>
#include <cstring>

namespace platform::win32 {
namespace {

struct IoStatus {
  LONG status;
  ULONG_PTR information;
};
using NtQueryDirectoryFileFn = LONG(NTAPI*)(HANDLE, HANDLE, void*, void*, IoStatus*, void*, ULONG, ULONG, BOOLEAN,
                                            void*, BOOLEAN);

constexpr ULONG kFileIdFullDirectoryInformation = 38;
constexpr LONG kStatusNoMoreFiles = static_cast<LONG>(0x80000006);
constexpr LONG kStatusNoSuchFile = static_cast<LONG>(0xC000000F);
constexpr LONG kStatusInvalidInfoClass = static_cast<LONG>(0xC0000003);
constexpr LONG kStatusNotImplemented = static_cast<LONG>(0xC0000002);
// Large enough that a folder of a few hundred entries takes one read.
constexpr ULONG kBufferBytes = 64 * 1024;

// FILE_ID_FULL_DIR_INFORMATION, which the SDK headers of mingw do not all carry.
struct IdFullDirInfo {
  ULONG next_entry_offset;
  ULONG file_index;
  int64_t creation_time;
  int64_t last_access_time;
  int64_t last_write_time;
  int64_t change_time;
  int64_t end_of_file;
  int64_t allocation_size;
  ULONG file_attributes;
  ULONG file_name_length;  // bytes
  ULONG ea_size;
  int64_t file_id;
  WCHAR file_name[1];
};

NtQueryDirectoryFileFn QueryDirectory() {
  static const auto query = [] {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll ? reinterpret_cast<NtQueryDirectoryFileFn>(
                       reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQueryDirectoryFile")))
                 : nullptr;
  }();
  return query;
}

}  // namespace

std::optional<bool> ListFolderWithIds(const std::wstring& folder, std::vector<ListedName>* entries) {
  // Once refused (a file system or release without the class), every later listing goes the
  // ordinary way at once.
  static std::atomic<bool> refused{false};
  const NtQueryDirectoryFileFn query = QueryDirectory();
  if (!query || refused) return std::nullopt;
  HANDLE dir = CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY | SYNCHRONIZE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (dir == INVALID_HANDLE_VALUE) return false;
  // 8-byte alignment for the records' 64-bit fields.
  static thread_local std::vector<int64_t> buffer(kBufferBytes / sizeof(int64_t));
  bool complete = false;
  for (bool first = true;; first = false) {
    IoStatus io = {};
    const LONG status = query(dir, nullptr, nullptr, nullptr, &io, buffer.data(), kBufferBytes,
                              kFileIdFullDirectoryInformation, FALSE, nullptr, first ? TRUE : FALSE);
    if (status == kStatusNoMoreFiles || status == kStatusNoSuchFile) {
      complete = true;
      break;
    }
    if (status < 0) {
      if (first && (status == kStatusInvalidInfoClass || status == kStatusNotImplemented)) {
        refused = true;
        CloseHandle(dir);
        return std::nullopt;
      }
      break;  // also a file where a folder was expected
    }
    const auto* bytes = reinterpret_cast<const char*>(buffer.data());
    for (size_t at = 0;;) {
      IdFullDirInfo info;
      std::memcpy(&info, bytes + at, offsetof(IdFullDirInfo, file_name));
      ListedName entry;
      entry.name.assign(reinterpret_cast<const WCHAR*>(bytes + at + offsetof(IdFullDirInfo, file_name)),
                        info.file_name_length / sizeof(WCHAR));
      entry.attributes = info.file_attributes;
      entry.last_write = info.last_write_time;
      if (!(info.file_attributes & FILE_ATTRIBUTE_DIRECTORY)) entry.size = info.end_of_file;
      entry.id = static_cast<FileId>(info.file_id);
      entries->push_back(std::move(entry));
      if (info.next_entry_offset == 0) break;
      at += info.next_entry_offset;
    }
  }
  CloseHandle(dir);
  return complete;
}

}  // namespace platform::win32
