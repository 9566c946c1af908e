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
    // Quoted: a path with spaces, unquoted, lets Windows try "C:\Program.exe" first.
    key->WriteString(name, "\"" + path.substr(0, kAutostartMaxPath - 2) + "\"");
  } else {
    key->DeleteValue(name);
  }
}
