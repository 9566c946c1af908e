#pragma once
// The real platform layer: every service implemented over Win32, bundled for the program.
#include <memory>

#include "platform/platform.h"

namespace platform::win32 {

// Each service has its own file in platform/win32/ and a factory here.
std::unique_ptr<FileSystem> CreateFileSystem();
std::unique_ptr<Shell> CreateShell();
std::unique_ptr<UrlCache> CreateUrlCache();
std::unique_ptr<Http> CreateHttp();
std::unique_ptr<Processes> CreateProcesses();
std::unique_ptr<Security> CreateSecurity();
std::unique_ptr<Registry> CreateRegistry();
std::unique_ptr<SystemInfo> CreateSystemInfo();
std::unique_ptr<DebugOutput> CreateDebugOutput();
std::unique_ptr<EventLog> CreateEventLog();

// All services, owned, with the Platform bundle of references over them.
class Win32Platform {
 public:
  Win32Platform();
  ~Win32Platform();
  Platform& os() { return *os_; }

 private:
  std::unique_ptr<FileSystem> files_;
  std::unique_ptr<Shell> shell_;
  std::unique_ptr<UrlCache> url_cache_;
  std::unique_ptr<Http> http_;
  std::unique_ptr<Processes> processes_;
  std::unique_ptr<Security> security_;
  std::unique_ptr<Registry> registry_;
  std::unique_ptr<SystemInfo> system_;
  std::unique_ptr<DebugOutput> debug_;
  std::unique_ptr<EventLog> events_;
  std::unique_ptr<Platform> os_;
};

}  // namespace platform::win32
