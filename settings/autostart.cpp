#include "settings/autostart.h"

bool IsAutostartRegistered(platform::Registry& registry, const std::string& name) {
  auto key = registry.OpenKey(platform::RegistryRoot::kCurrentUser, kRunKeyPath);
  if (!key) return false;
  const platform::RegistryValue value = key->ReadValue(name);
  return value.kind == platform::ValueKind::kString && !value.text.empty();
}

void SetAutostart(platform::Registry& registry, const std::string& name, const std::string& path, bool enable) {
  auto key = registry.OpenKey(platform::RegistryRoot::kCurrentUser, kRunKeyPath);
  if (!key) return;
  // The results are not looked at: a refused write is seen at the next load as an unticked box.
  if (enable) {
    key->WriteString(name, path.substr(0, kAutostartMaxPath));
  } else {
    key->DeleteValue(name);
  }
}
