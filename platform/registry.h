#pragma once
// Registry values under an existing key.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

enum class RegistryRoot { kCurrentUser, kLocalMachine };

enum class ValueKind { kMissing, kString, kNumber, kOther };

struct RegistryValue {
  ValueKind kind = ValueKind::kMissing;
  std::string text;     // REG_SZ or REG_EXPAND_SZ data, when kind is kString
  uint32_t number = 0;  // REG_DWORD data, when kind is kNumber
};

class RegistryKey {
 public:
  // Closing flushes the key (RegFlushKey) before RegCloseKey.
  virtual ~RegistryKey() = default;
  virtual RegistryValue ReadValue(const std::string& name) = 0;
  virtual bool WriteString(const std::string& name, const std::string& text) = 0;  // REG_SZ
  // Deleting a value that does not exist counts as success.
  virtual bool DeleteValue(const std::string& name) = 0;
  // The names of the keys directly below this one, in the registry's order.
  virtual std::vector<std::string> SubKeys() = 0;
  // The names of this key's values, in the registry's order (a list policy's entries).
  virtual std::vector<std::string> ValueNames() = 0;
};

class Registry {
 public:
  virtual ~Registry() = default;
  // RegOpenKeyExA with KEY_ALL_ACCESS; the key is never created. Nothing when it cannot be opened.
  virtual std::unique_ptr<RegistryKey> OpenKey(RegistryRoot root, const std::string& path) = 0;
  // RegOpenKeyExA with read access only, in the machine's own view on 64-bit Windows (where Group
  // Policy writes): policy keys are closed to an ordinary user's writes. Writes through it fail.
  virtual std::unique_ptr<RegistryKey> OpenKeyToRead(RegistryRoot root, const std::string& path) = 0;
};

}  // namespace platform
