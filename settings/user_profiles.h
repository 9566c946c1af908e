#pragma once
// The profiles of the machine's users, for runs that clean every user's files (/allusers): the
// system's profile list, "HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\ProfileList".
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/system_info.h"

inline constexpr const char* kProfileListKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

struct TUserProfile {
  std::string Sid;
  std::string Folder;  // ProfileImagePath with its variables expanded, no trailing "\"
};

// Every user's profile: the entries of local and domain accounts ("S-1-5-21-...") and of Azure AD
// accounts ("S-1-12-1-...") that name an absolute folder, in the list's order. The service
// accounts' profiles (SYSTEM, LocalService, NetworkService) and temporary entries (".bak") are
// left alone. Empty when the list cannot be read.
std::vector<TUserProfile> MachineUserProfiles(platform::Registry& registry, platform::SystemInfo& system);

// A folder of the running account moved to another profile: `folder` when it lies outside
// `own_profile`, else the same place below `profile` ("C:\Users\me\AppData\Local" for
// "C:\Users\anna" gives "C:\Users\anna\AppData\Local"). Letter case is ignored.
std::string FolderOfProfile(const std::string& folder, const std::string& own_profile, const std::string& profile);
