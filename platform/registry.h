#pragma once
// Registry values under an existing key.
#include <memory>
#include <string>
#include <vector>

namespace platform {

enum class RegistryRoot { kCurrentUser, kLocalMachine };

enum class ValueKind { kMissing, kString, kOther };

struct RegistryValue {
  ValueKind kind = ValueKind::kMissing;
  std::string text;  // REG_SZ or REG_EXPAND_SZ data, when kind is kString
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
};

class Registry {
 public:
  virtual ~Registry() = default;
  // RegOpenKeyExA with KEY_ALL_ACCESS; the key is never created. Nothing when it cannot be opened.
  virtual std::unique_ptr<RegistryKey> OpenKey(RegistryRoot root, const std::string& path) = 0;
};

}  // namespace platform
