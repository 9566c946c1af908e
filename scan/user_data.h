#pragma once
// What users keep in their profiles, which nothing may list or clean whatever a rule says:
// everything in a roaming profile (bookmarks, mail, settings of every program), and a browser
// profile's own data (passwords, cookies, history, preferences, extensions, sessions) as opposed to
// its caches. The rules name only the caches; this guard holds also for a rule file edited by hand.
//
// It judges by the path alone, so that it costs no disk access: a path lies in a roaming profile
// when it runs through "AppData\Roaming" or the user's own roaming folder; in a browser's profiles
// when it runs through the user-data folder of a Chromium browser ("Google\Chrome\User Data", ...),
// unless it lies in a cache there. A folder holding the user's own roaming folder or a browser's
// user-data folder of the user (a profile, "AppData", the browser's folder) is protected too.
#include <string>
#include <string_view>
#include <vector>

class TUserData {
 public:
  TUserData() = default;
  // The user's local and roaming application data folders; either may be empty (not known), and
  // then only the names guard.
  TUserData(const std::string& local_app_data, const std::string& roaming_app_data);

  bool Protects(std::string_view path) const;

 private:
  // Keys: upper case, each part between two "\\" ("\\C:\\USERS\\"), so that a key that starts
  // another is a folder holding it.
  std::vector<std::string> holders_;  // the user's own zones
  std::string roaming_;               // the user's roaming folder
};
