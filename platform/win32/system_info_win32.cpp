// Questions about the running system and the own process, over kernel32.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace platform::win32 {
namespace {

class Win32SystemInfo : public SystemInfo {
 public:
  bool GetVersion(VersionInfo* info) override {
    // The basic record (148 bytes), the one every release from 95 on understands.
    OSVERSIONINFOA record = {};
    static_assert(sizeof(record) == 148);
    record.dwOSVersionInfoSize = sizeof(record);
    if (!GetVersionExA(&record)) return false;
    info->platform_id = record.dwPlatformId;
    info->major = record.dwMajorVersion;
    info->minor = record.dwMinorVersion;
    info->csd_version.assign(record.szCSDVersion, strnlen(record.szCSDVersion, sizeof(record.szCSDVersion)));
    return true;
  }

  void TrimWorkingSet() override {
    HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, GetCurrentProcessId());
    if (process == nullptr) return;
    SetProcessWorkingSetSize(process, static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
    CloseHandle(process);
  }

  std::string ExecutablePath() override {
    // The result is cut short (and the size returned equals the buffer's) when the buffer is too
    // small: grow it until the whole path fits.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
      DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
      if (length == 0) return "";
      if (length < buffer.size()) return Utf8(std::wstring_view(buffer.data(), length));
      if (buffer.size() >= 32768) return "";
      buffer.resize(buffer.size() * 2);
    }
  }

  char DecimalSeparator() override {
    char buffer[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, sizeof(buffer)) == 0 || buffer[0] == '\0')
      return '.';
    return buffer[0];
  }
  int64_t Now() override {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return static_cast<int64_t>((static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime);
  }
  std::string ExpandEnvironment(const std::string& text) override {
    const std::wstring wide = Wide(text);
    const DWORD size = ExpandEnvironmentStringsW(wide.c_str(), nullptr, 0);
    if (size == 0) return text;
    std::wstring expanded(size, L'\0');
    const DWORD written = ExpandEnvironmentStringsW(wide.c_str(), expanded.data(), size);
    if (written == 0 || written > size) return text;
    return Utf8(std::wstring_view(expanded.data(), written - 1));
  }
  std::string ComputerName() override {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(name, &length)) return "";
    return Utf8(std::wstring_view(name, length));
  }
  std::vector<std::string> PreferredUILanguages() override {
    // Vista and later list the display languages with their fallbacks; XP has one, by its id.
    using PreferredFn = BOOL(WINAPI*)(DWORD, PULONG, wchar_t*, PULONG);
    constexpr DWORD kLanguageName = 0x8;  // MUI_LANGUAGE_NAME
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto preferred = kernel ? reinterpret_cast<PreferredFn>(
                                  reinterpret_cast<void*>(GetProcAddress(kernel, "GetUserPreferredUILanguages")))
                            : nullptr;
    std::vector<std::string> tags;
    ULONG count = 0, size = 0;
    if (preferred && preferred(kLanguageName, &count, nullptr, &size) && size > 0) {
      std::wstring names(size, L'\0');
      if (preferred(kLanguageName, &count, names.data(), &size))
        for (const wchar_t* name = names.c_str(); *name; name += wcslen(name) + 1) tags.push_back(Utf8(name));
    }
    if (!tags.empty()) return tags;
    const LCID locale = MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT);
    wchar_t language[16] = {}, country[16] = {};
    if (!GetLocaleInfoW(locale, LOCALE_SISO639LANGNAME, language, 16)) return tags;
    std::string tag = Utf8(language);
    if (GetLocaleInfoW(locale, LOCALE_SISO3166CTRYNAME, country, 16)) tag += "-" + Utf8(country);
    tags.push_back(tag);
    return tags;
  }
  std::string AnsiToUtf8(const std::string& text) override {
    if (text.empty()) return text;
    const int wide_size = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(wide_size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), wide_size);
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_size, utf8.data(), size, nullptr, nullptr);
    return utf8;
  }
};

}  // namespace

std::unique_ptr<SystemInfo> CreateSystemInfo() { return std::make_unique<Win32SystemInfo>(); }

}  // namespace platform::win32
