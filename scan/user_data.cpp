#include "scan/user_data.h"

#include <algorithm>

#include "platform/text.h"

namespace {

// The path upper case with each part between two "\", empty parts dropped: a folder's key
// starts every key below it.
std::string Key(std::string_view path) {
  std::string key = "\\";
  key.reserve(path.size() + 2);
  for (char c : platform::UpperCase(path)) {
    const bool separator = c == '\\' || c == '/';
    if (!separator) {
      key += c;
    } else if (key.back() != '\\') {
      key += '\\';
    }
  }
  if (key.back() != '\\') key += '\\';
  return key;
}

size_t PartCount(std::string_view key) { return static_cast<size_t>(std::count(key.begin(), key.end(), '\\')) - 1; }

struct Zone {
  std::string_view key;  // the folders, written as the browsers and Windows name them
  bool caches_inside;    // whether the zone's profiles hold caches (the Chromium layout)
};

// The folders below which users keep their data.
constexpr Zone kZones[] = {
    {"\\APPDATA\\ROAMING\\", false},          {"\\GOOGLE\\CHROME\\USER DATA\\", true},
    {"\\MICROSOFT\\EDGE\\USER DATA\\", true}, {"\\BRAVESOFTWARE\\BRAVE-BROWSER\\USER DATA\\", true},
    {"\\VIVALDI\\USER DATA\\", true},
};

// What a Chromium browser's user-data folder holds that is cache (rest: the key's parts after
// that folder, each ending in "\"): in a profile "Cache", "Code Cache" and "GPUCache"; beside the
// profiles the shader caches.
bool IsChromiumCache(std::string_view rest) {
  const size_t first = rest.find('\\');
  if (first == std::string_view::npos) return false;
  if (rest.substr(0, first).ends_with("SHADERCACHE")) return true;
  const std::string_view after = rest.substr(first + 1);
  const std::string_view second = after.substr(0, after.find('\\'));
  return second.size() < after.size() && (second == "CACHE" || second == "CODE CACHE" || second == "GPUCACHE");
}

}  // namespace

TUserData::TUserData(const std::string& local_app_data, const std::string& roaming_app_data) {
  if (!roaming_app_data.empty()) {
    roaming_ = Key(roaming_app_data);
    holders_.push_back(roaming_);
  }
  if (local_app_data.empty()) return;
  for (const Zone& zone : kZones)
    if (zone.caches_inside) holders_.push_back(Key(local_app_data) + std::string(zone.key.substr(1)));
}

bool TUserData::Protects(std::string_view path) const {
  const std::string key = Key(path);
  if (!roaming_.empty() && key.starts_with(roaming_)) return true;
  for (const std::string& holder : holders_)
    if (holder.size() > key.size() && holder.starts_with(key) && PartCount(key) > 1) return true;
  for (const Zone& zone : kZones) {
    for (size_t at = key.find(zone.key); at != std::string::npos; at = key.find(zone.key, at + 1)) {
      if (!zone.caches_inside) return true;
      if (!IsChromiumCache(std::string_view(key).substr(at + zone.key.size()))) return true;
    }
  }
  return false;
}
