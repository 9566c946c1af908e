#pragma once
// What users keep, which nothing may list or clean whatever a rule says (a shipped rule, or one
// written by hand in custom.cxtraces). One table of places, shared by the scan and by the check
// made again before each deletion:
//
// - protected places, never listed themselves nor any folder that holds one: the drive roots and
//   what lies directly in them (a program's or a user's folder as a whole), the
//   Windows, system, Program Files and ProgramData folders, the profiles folder, each profile and
//   its own folders (AppData and its three parts, Documents, Desktop, Downloads, Pictures, the
//   cloud folders, ".ssh", ...); and the folder of each application directly in the application
//   data folders (local, local-low, roaming, common), which is the application's as a whole;
// - the user's own files: nothing inside a profile's content folders (Documents, Desktop,
//   Downloads, Pictures, Music, Videos, Favorites, Saved Games, the cloud and credential folders)
//   is listed, except the thumbnail databases that Windows itself writes there;
// - application data: inside the roaming folder, a Chromium-style user-data folder ("User Data",
//   a web view's "EBWebView") or a Store package's folder, only what lies in a folder named as a
//   cache, log or crash-report folder is listed; logins, settings, local storage, databases,
//   sessions, extensions and histories beside it never are.
//
// It judges by the path alone, so that it costs no disk access: profiles are recognised by their
// place ("X:\Users\<name>", "X:\Documents and Settings\<name>") and by the folders the system
// names for the user.
#include <string>
#include <string_view>
#include <vector>

// The folders the system names for a user (the running one, or each of the machine's); any may be empty (not known),
// and then the names above guard alone.
struct TUserFolders {
  std::string local_app_data;
  std::string roaming_app_data;
  std::string profile;
  std::string windows;
  std::string common_app_data;
};

class TUserData {
 public:
  TUserData() = default;
  explicit TUserData(const TUserFolders& folders);
  // Every user's at once: a run that cleans each profile of the machine.
  explicit TUserData(const std::vector<TUserFolders>& users);

  bool Protects(std::string_view path) const;

 private:
  using Parts = std::vector<std::string>;  // upper case, the root first ("C:")
  bool ProtectedInProfile(const Parts& parts, size_t profile_end) const;
  bool ProtectedInZones(const Parts& parts) const;
  void Add(const TUserFolders& folders);

  std::vector<Parts> places_;            // the user's own protected places, from the system's answers
  std::vector<Parts> profiles_folders_;  // the folders that hold the users' profiles, as the system names them
  std::vector<Parts> roamings_;          // the users' roaming folders
  std::vector<Parts> app_data_folders_;  // the user's and the common application data folders
};
