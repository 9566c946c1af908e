// Placeholder factories, replaced service by service by their own files.
#include "platform/win32/win32_platform.h"

namespace platform::win32 {

std::unique_ptr<Http> CreateHttp() { return nullptr; }

}  // namespace platform::win32
