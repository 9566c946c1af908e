#pragma once
// Questions about the running system and the own process.
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct VersionInfo {
  uint32_t platform_id = 0;  // VER_PLATFORM_WIN32_WINDOWS 1, VER_PLATFORM_WIN32_NT 2
  uint32_t major = 0;
  uint32_t minor = 0;
  std::string csd_version;  // szCSDVersion, the service-pack text
};

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  // GetVersionExA with the basic OSVERSIONINFOA record; false when the call fails.
  virtual bool GetVersion(VersionInfo* info) = 0;
  // OpenProcess(PROCESS_ALL_ACCESS, own id) + SetProcessWorkingSetSize(-1, -1); failures ignored.
  virtual void TrimWorkingSet() = 0;
  // GetModuleFileNameA of the running executable.
  virtual std::string ExecutablePath() = 0;
  // The user's locale decimal separator (LOCALE_SDECIMAL), for numbers shown and read back.
  virtual char DecimalSeparator() = 0;
  // GetSystemTimeAsFileTime: now, in 100 ns ticks since 1601-01-01 UTC.
  virtual int64_t Now() = 0;
  // The text with its %VARIABLE% parts replaced as ExpandEnvironmentStringsW does (unknown ones
  // stay as written); UTF-8.
  virtual std::string ExpandEnvironment(const std::string& text) = 0;
  // The computer's name (GetComputerNameW), UTF-8; "" when it cannot be told.
  virtual std::string ComputerName() = 0;
  // The user's display languages, most wanted first, as tags ("pt-BR", "de-DE"): the ones Windows
  // shows its own texts in, never the regional format. Empty when the system cannot tell.
  virtual std::vector<std::string> PreferredUILanguages() { return {}; }
  // Text of the system's ANSI code page as UTF-8 (for files read by other programs).
  virtual std::string AnsiToUtf8(const std::string& text) = 0;
};

class DebugOutput {
 public:
  virtual ~DebugOutput() = default;
  // OutputDebugStringA: one line for the debugger.
  virtual void Write(const std::string& text) = 0;
};

}  // namespace platform
