#include "platform/win32/win32_platform.h"

namespace platform::win32 {

struct Win32Platform {};

std::unique_ptr<Win32Platform> CreatePlatform() { return std::make_unique<Win32Platform>(); }

}  // namespace platform::win32
