#include "settings/user_profiles.h"

#include "platform/text.h"

std::vector<TUserProfile> MachineUserProfiles(platform::Registry& registry, platform::SystemInfo& system) {
  std::vector<TUserProfile> profiles;
  const auto list = registry.OpenKey(platform::RegistryRoot::kLocalMachine, kProfileListKey);
  if (!list) return profiles;
  for (const std::string& sid : list->SubKeys()) {
    if (!sid.starts_with("S-1-5-21-") && !sid.starts_with("S-1-12-1-")) continue;
    if (platform::UpperCase(sid).ends_with(".BAK")) continue;
    const auto entry =
        registry.OpenKey(platform::RegistryRoot::kLocalMachine, std::string(kProfileListKey) + "\\" + sid);
    if (!entry) continue;
    const platform::RegistryValue path = entry->ReadValue("ProfileImagePath");
    if (path.kind != platform::ValueKind::kString) continue;
    std::string folder = system.ExpandEnvironment(path.text);
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    // A drive root, a relative path or one still holding a variable would make the rules reach
    // places no profile is.
    if (folder.size() < 4 || folder[1] != ':' || folder[2] != '\\' || folder.find('%') != std::string::npos) continue;
    profiles.push_back({sid, folder});
  }
  return profiles;
}

std::string FolderOfProfile(const std::string& folder, const std::string& own_profile, const std::string& profile) {
  if (own_profile.empty()) return folder;
  const std::string upper = platform::UpperCase(folder), own = platform::UpperCase(own_profile);
  if (upper == own) return profile;
  if (!upper.starts_with(own + "\\")) return folder;
  return profile + folder.substr(own_profile.size());
}
