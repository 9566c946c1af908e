#include "scan/user_data.h"

#include <algorithm>
#include <array>

#include "platform/text.h"
#include "scan/template_match.h"

namespace {

using Parts = std::vector<std::string>;

Parts UpperParts(std::string_view path) {
  Parts parts;
  size_t at = 0;
  while (at <= path.size()) {
    size_t end = path.find_first_of("\\/", at);
    if (end == std::string_view::npos) end = path.size();
    if (end > at) parts.push_back(platform::UpperCase(path.substr(at, end - at)));
    at = end + 1;
  }
  return parts;
}

struct Zone {
  std::array<const char*, 3> parts;  // unused parts are null
  bool caches_inside;                // whether the zone's profiles hold caches (the Chromium layout)
};

// The folders, written as the browsers and Windows name them, below which users keep their data.
constexpr Zone kZones[] = {
    {{"APPDATA", "ROAMING", nullptr}, false},   {{"GOOGLE", "CHROME", "USER DATA"}, true},
    {{"MICROSOFT", "EDGE", "USER DATA"}, true}, {{"BRAVESOFTWARE", "BRAVE-BROWSER", "USER DATA"}, true},
    {{"VIVALDI", "USER DATA", nullptr}, true},
};

size_t ZoneLength(const Zone& zone) {
  return static_cast<size_t>(std::count_if(zone.parts.begin(), zone.parts.end(), [](const char* p) { return p; }));
}

// What a Chromium browser's user-data folder holds that is cache: in a profile "Cache",
// "Code Cache" and "GPUCache"; beside the profiles the shader caches.
bool IsChromiumCache(const Parts& rest) {
  if (!rest.empty() && TemplateMatches("*SHADERCACHE", rest[0])) return true;
  return rest.size() >= 2 && (rest[1] == "CACHE" || rest[1] == "CODE CACHE" || rest[1] == "GPUCACHE");
}

bool StartsWith(const Parts& path, const Parts& prefix) {
  return path.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), path.begin());
}

}  // namespace

TUserData::TUserData(const std::string& local_app_data, const std::string& roaming_app_data) {
  if (!roaming_app_data.empty()) {
    roaming_ = UpperParts(roaming_app_data);
    holders_.push_back(roaming_);
  }
  if (local_app_data.empty()) return;
  for (const Zone& zone : kZones) {
    if (!zone.caches_inside) continue;
    Parts parts = UpperParts(local_app_data);
    for (size_t i = 0; i < ZoneLength(zone); ++i) parts.push_back(zone.parts[i]);
    holders_.push_back(std::move(parts));
  }
}

bool TUserData::Protects(std::string_view path) const {
  const Parts parts = UpperParts(path);
  if (!roaming_.empty() && StartsWith(parts, roaming_)) return true;
  for (const Parts& holder : holders_)
    if (holder.size() > parts.size() && StartsWith(holder, parts) && parts.size() > 1) return true;
  for (const Zone& zone : kZones) {
    const size_t length = ZoneLength(zone);
    for (size_t at = 0; at + length <= parts.size(); ++at) {
      bool here = true;
      for (size_t i = 0; i < length && here; ++i) here = parts[at + i] == zone.parts[i];
      if (!here) continue;
      if (!zone.caches_inside) return true;
      const Parts rest(parts.begin() + static_cast<std::ptrdiff_t>(at + length), parts.end());
      if (!IsChromiumCache(rest)) return true;
    }
  }
  return false;
}
