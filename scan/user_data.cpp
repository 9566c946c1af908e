#include "scan/user_data.h"

#include <algorithm>

#include "platform/text.h"
#include "scan/template_match.h"

namespace {

using Parts = std::vector<std::string>;
using Names = std::vector<std::string_view>;

// The path upper case, split at either separator, empty parts dropped; a drive-relative path
// ("C:Temp") has its drive as a part of its own.
Parts Split(std::string_view path) {
  Parts parts;
  std::string part;
  if (path.size() > 2 && path[1] == ':' && path[2] != '\\' && path[2] != '/') {
    parts.push_back(platform::UpperCase(path.substr(0, 2)));
    path.remove_prefix(2);
  }
  for (char c : platform::UpperCase(path)) {
    if (c != '\\' && c != '/') {
      part += c;
    } else if (!part.empty()) {
      parts.push_back(std::move(part));
      part.clear();
    }
  }
  if (!part.empty()) parts.push_back(std::move(part));
  return parts;
}

// How many parts name the root: "C:" one, "\\server\share" two.
size_t RootParts(std::string_view path) {
  const auto separator = [](char c) { return c == '\\' || c == '/'; };
  return path.size() >= 2 && separator(path[0]) && separator(path[1]) ? 2 : 1;
}

// Whether `parts` from `from` on is `place`, or a folder that holds it. Places may hold
// templates ("ONEDRIVE*").
bool IsOrHolds(const Parts& parts, size_t from, const Names& place) {
  if (parts.size() - from > place.size()) return false;
  size_t i = from;
  for (std::string_view name : place) {
    if (i == parts.size()) return true;
    if (!TemplateMatches(name, parts[i++])) return false;
  }
  return true;
}

bool StartsWith(const Parts& parts, const Parts& prefix) {
  return !prefix.empty() && parts.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), parts.begin());
}

// Whether parts are an entry directly in `folder` (from `from` on).
bool DirectlyIn(const Parts& parts, size_t from, const Names& folder) {
  if (parts.size() != from + folder.size() + 1) return false;
  size_t i = from;
  for (std::string_view name : folder)
    if (!TemplateMatches(name, parts[i++])) return false;
  return true;
}

bool Named(std::string_view part, const Names& names) {
  return std::any_of(names.begin(), names.end(), [part](std::string_view name) { return TemplateMatches(name, part); });
}

// Below each drive root.
const std::vector<Names> kSystemPlaces = {
    {"WINDOWS"},       {"WINDOWS", "SYSTEM32"},    {"WINDOWS", "SYSWOW64"},
    {"PROGRAM FILES"}, {"PROGRAM FILES (X86)"},    {"PROGRAMDATA"},
    {"USERS"},         {"DOCUMENTS AND SETTINGS"},
};
// Folders whose entries are each an application's (or a user's) as a whole.
const std::vector<Names> kApplicationsFolders = {
    {"PROGRAMDATA"}, {"PROGRAM FILES"}, {"PROGRAM FILES (X86)"}, {"USERS"}, {"DOCUMENTS AND SETTINGS"},
};

// What users keep their own files in, below their profile: never listed, nor anything inside.
const Names kContentFolders = {
    "DOCUMENTS",    "MY DOCUMENTS",
    "DESKTOP",      "DOWNLOADS",
    "PICTURES",     "MUSIC",
    "VIDEOS",       "FAVORITES",
    "SAVED GAMES",  "CONTACTS",
    "LINKS",        "SEARCHES",
    "3D OBJECTS",   "ONEDRIVE",
    "ONEDRIVE - *", "DROPBOX",
    "GOOGLE DRIVE", "ICLOUDDRIVE",
    "ICLOUD DRIVE", "BOX",
    "MEGA",         "CREATIVE CLOUD FILES",
    ".SSH",         ".GNUPG",
    ".AWS",         ".AZURE",
    ".KUBE",        ".DOCKER",
};
// The profile's application data folders (today's and the older releases'); what lies directly
// in them is an application's folder as a whole.
const std::vector<Names> kAppDataFolders = {
    {"APPDATA", "LOCAL"}, {"APPDATA", "LOCALLOW"}, {"APPDATA", "ROAMING"}, {"LOCAL SETTINGS", "APPLICATION DATA"},
    {"APPLICATION DATA"},
};
// The folders in local application data that hold browsers' profiles (bookmarks, passwords), so
// that no rule lists them as a whole, nor a folder that holds them.
const std::vector<Names> kUserDataFolders = {
    {"GOOGLE", "CHROME", "USER DATA"},
    {"MICROSOFT", "EDGE", "USER DATA"},
    {"BRAVESOFTWARE", "BRAVE-BROWSER", "USER DATA"},
    {"VIVALDI", "USER DATA"},
    {"PACKAGES"},
};
// Windows writes these into picture folders; they hold nothing of the user's own.
const Names kThumbnailDatabases = {"THUMBS.DB", "EHTHUMBS.DB", "EHTHUMBS_VISTA.DB"};

// Inside application data, the folders that hold only what the application makes anew: caches,
// logs and crash reports.
const Names kCacheFolders = {
    "CACHE",
    "CODE CACHE",
    "GPUCACHE",
    "DAWNCACHE",
    "DAWNGRAPHITECACHE",
    "DAWNWEBGPUCACHE",
    "GRAPHITEDAWNCACHE",
    "GRSHADERCACHE",
    "SHADERCACHE",
    "CACHESTORAGE",
    "CACHEDDATA",
    "CACHEDEXTENSIONVSIXS",
    "COMPONENT_CRX_CACHE",
    "EXTENSIONS_CRX_CACHE",
    "OPTGUIDEONDEVICEMODEL",
    "OPTIMIZATION_GUIDE_MODEL_STORE",
    "CRASHPAD",
    "CRASH REPORTS",
    "LOGS",
    "TMP",
    "TEMP",
    "TEMPSTATE",
};
// ... and the folders that hold what users keep, in which no name above counts: an extension's
// own folder named "Cache" is part of the extension.
const Names kKeeperFolders = {
    "EXTENSIONS",
    "LOCAL EXTENSION SETTINGS",
    "SYNC EXTENSION SETTINGS",
    "LOCAL STORAGE",
    "SESSION STORAGE",
    "INDEXEDDB",
    "DATABASES",
    "FILE SYSTEM",
    "STORAGE",
    "SESSIONS",
    "NETWORK",
    "USER",
    "GLOBALSTORAGE",
    "WORKSPACESTORAGE",
    "BACKGROUNDS",
    "WEB APPLICATIONS",
    "SYNC DATA",
};

}  // namespace

TUserData::TUserData(const TUserFolders& folders) : TUserData(std::vector<TUserFolders>{folders}) {}

TUserData::TUserData(const std::vector<TUserFolders>& users) {
  for (const TUserFolders& folders : users) Add(folders);
  std::erase_if(places_, [](const Parts& place) { return place.size() < 2; });
}

void TUserData::Add(const TUserFolders& folders) {
  for (const std::string* place : {&folders.local_app_data, &folders.roaming_app_data, &folders.profile,
                                   &folders.windows, &folders.common_app_data}) {
    if (!place->empty()) places_.push_back(Split(*place));
  }
  if (!folders.profile.empty()) {
    Parts profiles_folder = Split(folders.profile);
    profiles_folder.pop_back();
    // A profile at a drive root has no folder of profiles.
    if (profiles_folder.size() >= 2) profiles_folders_.push_back(std::move(profiles_folder));
  }
  if (!folders.roaming_app_data.empty()) roamings_.push_back(Split(folders.roaming_app_data));
  for (const std::string* folder : {&folders.local_app_data, &folders.roaming_app_data, &folders.common_app_data}) {
    if (!folder->empty()) app_data_folders_.push_back(Split(*folder));
  }
  if (!folders.local_app_data.empty()) {
    Parts local_low = Split(folders.local_app_data);
    local_low.back() = "LOCALLOW";
    app_data_folders_.push_back(std::move(local_low));
  }
}

bool TUserData::Protects(std::string_view path) const {
  const Parts parts = Split(path);
  const size_t root = RootParts(path);
  if (parts.size() <= root) return true;  // a drive root, or no path at all
  // What lies directly in a root is a program's or a user's as a whole.
  if (parts.size() == root + 1 && !Named(parts.back(), kThumbnailDatabases)) return true;
  for (const auto& place : kSystemPlaces)
    if (IsOrHolds(parts, root, place)) return true;
  for (const auto& folder : kApplicationsFolders)
    if (DirectlyIn(parts, root, folder)) return true;
  for (const Parts& place : places_)
    if (StartsWith(place, parts)) return true;
  for (const Parts& folder : app_data_folders_)
    if (parts.size() == folder.size() + 1 && StartsWith(parts, folder)) return true;
  // A profile by its place, and the user's own wherever the system keeps it.
  const std::string& first = parts[root];
  if (parts.size() > root + 2 && (first == "USERS" || first == "DOCUMENTS AND SETTINGS") &&
      ProtectedInProfile(parts, root + 2))
    return true;
  // The users' profiles where the system keeps them, and the profiles beside them there.
  for (const Parts& profiles_folder : profiles_folders_) {
    if (!StartsWith(parts, profiles_folder)) continue;
    const size_t end = profiles_folder.size() + 1;
    if (parts.size() <= end || ProtectedInProfile(parts, end)) return true;
  }
  return ProtectedInZones(parts);
}

// parts lie below a profile, whose own parts end at `end`.
bool TUserData::ProtectedInProfile(const Parts& parts, size_t end) const {
  const std::string& first = parts[end];
  if (Named(first, kContentFolders)) {
    return parts.size() == end + 1 || !Named(parts.back(), kThumbnailDatabases);
  }
  for (const auto& folder : kAppDataFolders) {
    // The folder itself, one that holds it, or an application's folder directly in it.
    if (IsOrHolds(parts, end, folder) || DirectlyIn(parts, end, folder)) return true;
    if (parts.size() <= end + folder.size() ||
        !IsOrHolds({parts.begin(), parts.begin() + end + folder.size()}, end, folder))
      continue;
    for (const auto& data : kUserDataFolders)
      if (IsOrHolds(parts, end + folder.size(), data)) return true;
  }
  return false;
}

bool TUserData::ProtectedInZones(const Parts& parts) const {
  // The first part from which a cache folder counts; 0 while the path is in no zone.
  size_t from = 0;
  for (const Parts& roaming : roamings_)
    if (StartsWith(parts, roaming)) from = std::max(from, roaming.size() + 1);
  for (size_t i = 1; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    if (part == "ROAMING" && parts[i - 1] == "APPDATA") from = std::max(from, i + 2);
    if (part == "USER DATA" || part == "EBWEBVIEW") from = std::max(from, i + 1);
    if (part == "PACKAGES" && i >= 2 && parts[i - 1] == "LOCAL" && parts[i - 2] == "APPDATA")
      from = std::max(from, i + 2);
  }
  if (from == 0) return false;
  for (size_t j = from - 1; j < parts.size(); ++j) {
    if (j >= from && Named(parts[j], kCacheFolders)) return false;
    if (Named(parts[j], kKeeperFolders)) return true;
  }
  return true;
}
