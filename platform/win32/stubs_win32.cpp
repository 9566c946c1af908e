// Placeholder factories, replaced service by service by their own files.
#include "platform/win32/win32_platform.h"

namespace platform::win32 {

std::unique_ptr<UrlCache> CreateUrlCache() { return nullptr; }
std::unique_ptr<Http> CreateHttp() { return nullptr; }
std::unique_ptr<Processes> CreateProcesses() { return nullptr; }
std::unique_ptr<Registry> CreateRegistry() { return nullptr; }

}  // namespace platform::win32
