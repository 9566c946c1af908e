// The registry service over advapi32's wide calls: values under an existing key, opened with full
// access. Names and texts are UTF-8 on this side.
#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace platform::win32 {
namespace {

HKEY RootHandle(RegistryRoot root) {
  return root == RegistryRoot::kCurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

class Win32RegistryKey : public RegistryKey {
 public:
  explicit Win32RegistryKey(HKEY key) : key_(key) {}
  // Writes are not left to the system's lazy flush: whoever reads the key next sees them.
  ~Win32RegistryKey() override {
    RegFlushKey(key_);
    RegCloseKey(key_);
  }
  Win32RegistryKey(const Win32RegistryKey&) = delete;
  Win32RegistryKey& operator=(const Win32RegistryKey&) = delete;

  RegistryValue ReadValue(const std::string& name) override {
    RegistryValue value;
    DWORD type = 0;
    DWORD size = 0;
    const std::wstring wide_name = Wide(name);
    if (RegQueryValueExW(key_, wide_name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return value;
    if (type == REG_DWORD) return ReadNumber(wide_name);
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
      value.kind = ValueKind::kOther;
      return value;
    }
    // The value may change between the two queries; retry while the system says the buffer is short.
    std::vector<wchar_t> buffer;
    LONG status = ERROR_MORE_DATA;
    for (int attempt = 0; attempt < 4 && status == ERROR_MORE_DATA; ++attempt) {
      buffer.assign(size / sizeof(wchar_t) + 1, L'\0');
      DWORD got = size;
      status = RegQueryValueExW(key_, wide_name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got);
      size = got;
    }
    if (status != ERROR_SUCCESS) return value;
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
      value.kind = ValueKind::kOther;
      return value;
    }
    // The stored data need not end with a NUL: take the text up to the first one within the data.
    const wchar_t* begin = buffer.data();
    value.kind = ValueKind::kString;
    value.text = Utf8(std::wstring_view(begin, wcsnlen(begin, size / sizeof(wchar_t))));
    return value;
  }

  bool WriteString(const std::string& name, const std::string& text) override {
    const std::wstring wide = Wide(text);
    return RegSetValueExW(key_, Wide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                          static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  }

  bool DeleteValue(const std::string& name) override {
    const LONG status = RegDeleteValueW(key_, Wide(name).c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
  }

  std::vector<std::string> ValueNames() override {
    std::vector<std::string> names;
    wchar_t name[16384];  // the longest value name the registry allows, and its NUL
    for (DWORD i = 0;; ++i) {
      DWORD length = 16384;
      if (RegEnumValueW(key_, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      names.push_back(Utf8(std::wstring_view(name, length)));
    }
    return names;
  }

  std::vector<std::string> SubKeys() override {
    std::vector<std::string> names;
    wchar_t name[256];  // the longest key name the registry allows, and its NUL
    for (DWORD i = 0;; ++i) {
      DWORD length = 256;
      if (RegEnumKeyExW(key_, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      names.push_back(Utf8(std::wstring_view(name, length)));
    }
    return names;
  }

 private:
  RegistryValue ReadNumber(const std::wstring& wide_name) {
    RegistryValue value;
    DWORD type = 0;
    DWORD number = 0;
    DWORD size = sizeof number;
    const LONG status =
        RegQueryValueExW(key_, wide_name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&number), &size);
    // A REG_DWORD of another length than four bytes (a hand edit can store that) is no number.
    if (status == ERROR_MORE_DATA) value.kind = ValueKind::kOther;
    if (status != ERROR_SUCCESS) return value;
    value.kind = type == REG_DWORD && size == sizeof number ? ValueKind::kNumber : ValueKind::kOther;
    value.number = value.kind == ValueKind::kNumber ? number : 0;
    return value;
  }

  HKEY key_;
};

class Win32Registry : public Registry {
 public:
  std::unique_ptr<RegistryKey> OpenKey(RegistryRoot root, const std::string& path) override {
    HKEY key = nullptr;
    if (RegOpenKeyExW(RootHandle(root), Wide(path).c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return nullptr;
    return std::make_unique<Win32RegistryKey>(key);
  }

  std::unique_ptr<RegistryKey> OpenKeyToRead(RegistryRoot root, const std::string& path) override {
    HKEY key = nullptr;
    // KEY_WOW64_64KEY: a 32-bit build on 64-bit Windows reads the view Group Policy writes (32-bit
    // Windows ignores the flag).
    if (RegOpenKeyExW(RootHandle(root), Wide(path).c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
      return nullptr;
    return std::make_unique<Win32RegistryKey>(key);
  }
};

}  // namespace

std::unique_ptr<Registry> CreateRegistry() { return std::make_unique<Win32Registry>(); }

}  // namespace platform::win32
