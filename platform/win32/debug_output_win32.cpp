// Debugger output over OutputDebugStringW: the lines are UTF-8, names in them too.
#include <windows.h>

#include <string>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace platform::win32 {
namespace {

class Win32DebugOutput : public DebugOutput {
 public:
  // The workers write here too; OutputDebugStringW may be called from any thread.
  void Write(const std::string& text) override { OutputDebugStringW(Wide(text).c_str()); }
};

}  // namespace

std::unique_ptr<DebugOutput> CreateDebugOutput() { return std::make_unique<Win32DebugOutput>(); }

}  // namespace platform::win32
