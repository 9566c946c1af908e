#pragma once
// WinInet: the URL cache and plain HTTP downloads.
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

using InternetHandle = uintptr_t;  // 0 is no handle

class UrlCache {
 public:
  virtual ~UrlCache() = default;
  // FindFirstUrlCacheEntryA with no search pattern: all content entries. The buffer sizing of
  // the real call stays inside the implementation. Returns 0 when there is no entry.
  virtual InternetHandle FindFirst(std::string* source_url) = 0;
  // FindNextUrlCacheEntryA; false at the end or when an entry cannot be fetched.
  virtual bool FindNext(InternetHandle find, std::string* source_url) = 0;
  virtual bool DeleteEntry(const std::string& source_url) = 0;
  virtual void FindClose(InternetHandle find) = 0;
};

class Http {
 public:
  virtual ~Http() = default;
  // InternetOpenA(agent, preconfigured proxy, no proxy, no bypass, 0); 0 on failure.
  virtual InternetHandle Open(const std::string& agent) = 0;
  // InternetOpenUrlA(session, url, no headers, flags, 0); 0 on failure.
  virtual InternetHandle OpenUrl(InternetHandle session, const std::string& url, uint32_t flags) = 0;
  // InternetReadFile: bytes read into buffer; 0 at the end or on failure.
  virtual size_t Read(InternetHandle request, char* buffer, size_t size) = 0;
  virtual void Close(InternetHandle handle) = 0;
};

enum : uint32_t { kInternetFlagReload = 0x80000000u };

}  // namespace platform
