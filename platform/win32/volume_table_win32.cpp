#include "platform/win32/volume_table_win32.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace platform::win32 {

namespace {

// A raw volume is read in whole sectors at sector offsets; 4 KiB serves 512-byte and 4K disks.
constexpr uint64_t kAlignment = 4096;

class VolumeHandle {
 public:
  explicit VolumeHandle(char drive) {
    const std::wstring device = std::wstring(L"\\\\.\\") + static_cast<wchar_t>(drive) + L":";
    // Others keep using the volume: share everything, ask only to read.
    handle_ = CreateFileW(device.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, 0, nullptr);
  }
  ~VolumeHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  VolumeHandle(const VolumeHandle&) = delete;
  VolumeHandle& operator=(const VolumeHandle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }

  // The bytes at [offset, offset + size), read in aligned pieces; fewer where a read fails.
  std::vector<uint8_t> Read(uint64_t offset, size_t size) const {
    const uint64_t first = offset / kAlignment * kAlignment;
    const uint64_t end = (offset + size + kAlignment - 1) / kAlignment * kAlignment;
    std::vector<uint8_t> buffer(static_cast<size_t>(end - first));
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(first);
    DWORD got = 0;
    if (!SetFilePointerEx(handle_, at, nullptr, FILE_BEGIN) ||
        !ReadFile(handle_, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) || got < offset - first)
      return {};
    const size_t available = static_cast<size_t>(got - (offset - first));
    const auto begin = buffer.begin() + static_cast<std::ptrdiff_t>(offset - first);
    return std::vector<uint8_t>(begin, begin + static_cast<std::ptrdiff_t>(std::min(size, available)));
  }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// The file id the system gives the drive's root folder.
std::optional<uint64_t> RootFolderId(const wchar_t* root) {
  HANDLE folder = CreateFileW(root, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (folder == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info = {};
  const bool known = GetFileInformationByHandle(folder, &info);
  CloseHandle(folder);
  if (!known) return std::nullopt;
  return static_cast<uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
}

// Whether the table is the volume mounted at `root`, and how that volume's ids are formed: its root
// folder's id must be the table's root reference, whole or as its record number alone.
bool MatchesMountedVolume(ntfs::FileTable& table, const wchar_t* root) {
  const ntfs::Entry* table_root = nullptr;
  if (const auto found = table.entries.find(ntfs::kRootRecord); found != table.entries.end())
    table_root = &found->second;
  const std::optional<uint64_t> id = RootFolderId(root);
  if (!table_root || !id) return false;
  for (const bool whole : {true, false}) {
    table.ids_hold_sequence = whole;
    if (table.IdOf(table_root->reference) == *id) return true;
  }
  return false;
}

}  // namespace

std::optional<ntfs::FileTable> ReadVolumeFileTable(char drive, const std::atomic<bool>& stop) {
  const wchar_t root[] = {static_cast<wchar_t>(drive), L':', L'\\', L'\0'};
  wchar_t file_system[MAX_PATH + 1] = {};
  if (GetDriveTypeW(root) != DRIVE_FIXED ||
      !GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, nullptr, file_system, MAX_PATH + 1) ||
      lstrcmpiW(file_system, L"NTFS") != 0)
    return std::nullopt;
  auto volume_handle = std::make_shared<VolumeHandle>(drive);
  if (!volume_handle->valid()) return std::nullopt;
  std::optional<ntfs::NtfsVolume> volume = ntfs::NtfsVolume::Open([volume_handle, &stop](uint64_t offset, size_t size) {
    // A failed read ends the table: Stop is answered within one chunk of records.
    return stop ? std::vector<uint8_t>() : volume_handle->Read(offset, size);
  });
  if (!volume) return std::nullopt;
  std::optional<ntfs::FileTable> table = ntfs::ReadFileTable(*volume);
  if (!table || !MatchesMountedVolume(*table, root)) return std::nullopt;
  return table;
}

}  // namespace platform::win32
