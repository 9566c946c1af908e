// The URL cache service over WinInet's wide cache enumeration; URLs are UTF-8 on this side.
#include <windows.h>
// windows.h first: wininet.h needs its types.
#include <wininet.h>

#include <string>
#include <vector>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace platform::win32 {
namespace {

// An entry is fetched into a buffer sized by a query first. When it grows between the query and
// the fetch, the query is repeated a few times before the entry counts as unfetchable.
constexpr int kFetchAttempts = 3;

class EntryBuffer {
 public:
  // Sized in 8-byte units so that the record at its start is aligned.
  void Resize(DWORD bytes) {
    if (bytes < sizeof(INTERNET_CACHE_ENTRY_INFOW)) bytes = sizeof(INTERNET_CACHE_ENTRY_INFOW);
    storage_.assign((bytes + 7) / 8, 0);
    size_ = bytes;
    Entry()->dwStructSize = bytes;
  }
  INTERNET_CACHE_ENTRY_INFOW* Entry() { return reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(storage_.data()); }
  DWORD size() const { return size_; }
  std::string SourceUrl() { return Utf8(Entry()->lpszSourceUrlName); }

 private:
  std::vector<unsigned long long> storage_;
  DWORD size_ = 0;
};

class Win32UrlCache : public UrlCache {
 public:
  InternetHandle FindFirst(std::string* source_url) override {
    EntryBuffer buffer;
    for (int attempt = 0; attempt < kFetchAttempts; ++attempt) {
      DWORD size = 0;
      // The size query fails with ERROR_INSUFFICIENT_BUFFER and gives the size; an empty cache
      // fails with ERROR_NO_MORE_ITEMS.
      if (FindFirstUrlCacheEntryW(nullptr, nullptr, &size) == nullptr && GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return 0;
      buffer.Resize(size);
      size = buffer.size();
      HANDLE find = FindFirstUrlCacheEntryW(nullptr, buffer.Entry(), &size);
      if (find != nullptr) {
        *source_url = buffer.SourceUrl();
        return reinterpret_cast<InternetHandle>(find);
      }
      if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return 0;
    }
    return 0;
  }

  bool FindNext(InternetHandle find, std::string* source_url) override {
    HANDLE handle = reinterpret_cast<HANDLE>(find);
    EntryBuffer buffer;
    for (int attempt = 0; attempt < kFetchAttempts; ++attempt) {
      DWORD size = 0;
      if (!FindNextUrlCacheEntryW(handle, nullptr, &size) && GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
      buffer.Resize(size);
      size = buffer.size();
      if (FindNextUrlCacheEntryW(handle, buffer.Entry(), &size)) {
        *source_url = buffer.SourceUrl();
        return true;
      }
      if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
    }
    return false;
  }

  bool DeleteEntry(const std::string& source_url) override {
    return DeleteUrlCacheEntryW(Wide(source_url).c_str()) != FALSE;
  }

  void FindClose(InternetHandle find) override {
    if (find != 0) FindCloseUrlCache(reinterpret_cast<HANDLE>(find));
  }
};

}  // namespace

std::unique_ptr<UrlCache> CreateUrlCache() { return std::make_unique<Win32UrlCache>(); }

}  // namespace platform::win32
