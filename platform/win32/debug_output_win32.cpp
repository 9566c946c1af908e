// Debugger output: the lines are UTF-8 inside, names in them too, and reach the debugger in ANSI.
#include <windows.h>

#include <string>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace platform::win32 {
namespace {

class Win32DebugOutput : public DebugOutput {
 public:
  // The workers write here too; OutputDebugStringA may be called from any thread.
  void Write(const std::string& text) override { DebugLine(text); }
};

}  // namespace

std::unique_ptr<DebugOutput> CreateDebugOutput() { return std::make_unique<Win32DebugOutput>(); }

}  // namespace platform::win32
