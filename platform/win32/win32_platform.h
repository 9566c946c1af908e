#pragma once
// The real platform layer: every service implemented over Win32, bundled for the program.
#include <memory>

#include "platform/main_thread.h"
#include "platform/platform.h"

namespace platform::win32 {

struct Win32Platform;

// Creates the Win32 services; the returned bundle lives as long as the program.
std::unique_ptr<Win32Platform> CreatePlatform();

}  // namespace platform::win32
