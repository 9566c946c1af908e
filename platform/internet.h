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

// Bounds of one download, so that a server that is slow, huge or loops cannot hold the caller.
struct HttpLimits {
  unsigned deadline_ms;  // from the first connect to the last byte of the body, all hops together
  size_t max_body;       // bytes of body kept; one more is fetched so a longer body shows as such
  int max_redirects;     // hops followed before the answer counts as a failure
};

class Http {
 public:
  virtual ~Http() = default;
  // InternetOpenA(agent, preconfigured proxy, no proxy, no bypass, 0); 0 on failure.
  virtual InternetHandle Open(const std::string& agent) = 0;
  // InternetOpenUrlA(session, url, no headers, flags, 0) within the limits: follows at most
  // limits.max_redirects redirects to http or https addresses and fetches at most
  // limits.max_body + 1 bytes of the body. 0 when the address cannot be opened, the final answer
  // is not 200, or the deadline passes first. Blocks at most limits.deadline_ms.
  virtual InternetHandle OpenUrl(InternetHandle session, const std::string& url, uint32_t flags,
                                 const HttpLimits& limits) = 0;
  // InternetReadFile: bytes read into buffer; 0 at the end or on failure.
  virtual size_t Read(InternetHandle request, char* buffer, size_t size) = 0;
  virtual void Close(InternetHandle handle) = 0;
};

enum : uint32_t {
  kInternetFlagReload = 0x80000000u,       // INTERNET_FLAG_RELOAD: never answered from the cache
  kInternetFlagNoCacheWrite = 0x04000000u  // INTERNET_FLAG_NO_CACHE_WRITE: leaves no cache file
};

}  // namespace platform
