#include "platform/win32/win32_platform.h"

namespace platform::win32 {

Win32Platform::Win32Platform()
    : files_(CreateFileSystem()),
      shell_(CreateShell()),
      url_cache_(CreateUrlCache()),
      http_(CreateHttp()),
      processes_(CreateProcesses()),
      security_(CreateSecurity()),
      registry_(CreateRegistry()),
      system_(CreateSystemInfo()),
      debug_(CreateDebugOutput()),
      events_(CreateEventLog()),
      os_(std::make_unique<Platform>(Platform{*files_, *shell_, *url_cache_, *http_, *processes_, *security_,
                                              *registry_, *system_, *debug_, *events_})) {}

Win32Platform::~Win32Platform() = default;

}  // namespace platform::win32
