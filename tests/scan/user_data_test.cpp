// The guard of what users keep, which no rule may list: protected places and the folders that
// hold them, the users' own files, and the application data beside the caches.
#include "scan/user_data.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const TUserFolders kAnna{.local_app_data = "C:\\Users\\Anna\\AppData\\Local",
                         .roaming_app_data = "C:\\Users\\Anna\\AppData\\Roaming",
                         .profile = "C:\\Users\\Anna",
                         .windows = "C:\\Windows",
                         .common_app_data = "C:\\ProgramData"};

void ExpectProtected(const TUserData& guard, const std::vector<std::string>& paths) {
  for (const std::string& path : paths) EXPECT_TRUE(guard.Protects(path)) << path;
}
void ExpectAdmitted(const TUserData& guard, const std::vector<std::string>& paths) {
  for (const std::string& path : paths) EXPECT_FALSE(guard.Protects(path)) << path;
}

// What a careless rule reaches first: Template=* on a root, on the folder above the local
// application data, on a profile, on the application data folders.
TEST(UserData, ProtectedPlacesAndEveryFolderHoldingOneAreNeverListed) {
  const TUserData guard(kAnna);
  ExpectProtected(guard,
                  {"C:\\", "D:", "C:\\Windows", "c:\\windows\\system32", "C:\\Windows\\SysWOW64", "C:\\Program Files",
                   "C:\\Program Files (x86)", "C:\\ProgramData", "C:\\Users", "C:\\Users\\Anna", "C:\\Users\\Public",
                   "D:\\Users\\Bert",
                   // The profile's own folders, the user's and any other's.
                   "C:\\Users\\Anna\\AppData", "C:\\Users\\Anna\\AppData\\Local", "C:\\Users\\Anna\\AppData\\LocalLow",
                   "C:\\Users\\Bert\\AppData\\Roaming", "C:\\Users\\Anna\\Documents", "C:\\Users\\Anna\\Saved Games",
                   "C:\\Users\\Anna\\OneDrive - Contoso", "C:\\Users\\Anna\\.ssh",
                   // An application's folder as a whole, wherever applications keep theirs.
                   "C:\\Users\\Anna\\AppData\\Local\\Spotify", "C:\\Users\\Anna\\AppData\\LocalLow\\Sun",
                   "C:\\Users\\Anna\\AppData\\Roaming\\discord", "C:\\ProgramData\\NVIDIA Corporation",
                   "C:\\Program Files (x86)\\Steam",
                   // Holders of browsers' profiles.
                   "C:\\Users\\Anna\\AppData\\Local\\Google\\Chrome",
                   "C:\\Users\\Anna\\AppData\\Local\\Google\\Chrome\\User Data"});
  // A profile kept elsewhere is known by the system's answers, and the profiles beside it.
  TUserFolders moved = kAnna;
  moved.profile = "E:\\Profiles\\anna";
  moved.local_app_data = moved.profile + "\\AppData\\Local";
  const TUserData elsewhere(moved);
  ExpectProtected(elsewhere, {"E:\\Profiles", "E:\\Profiles\\bert", "E:\\Profiles\\anna\\Desktop\\todo.txt",
                              "E:\\Profiles\\bert\\AppData\\Local\\Programs"});
  ExpectAdmitted(elsewhere, {"E:\\Profiles\\anna\\AppData\\Local\\Temp\\x.tmp"});
}

TEST(UserData, NothingInTheUsersOwnFoldersButTheThumbnailDatabasesWindowsWritesThere) {
  const TUserData guard(kAnna);
  ExpectProtected(guard, {"C:\\Users\\Anna\\Documents\\thumbcache_32.db", "C:\\Users\\Anna\\Desktop\\old.log",
                          "C:\\Users\\Anna\\Downloads\\setup.tmp", "C:\\Users\\Anna\\Documents\\Cache",
                          "C:\\Users\\Anna\\.ssh\\id_ed25519", "C:\\Users\\Anna\\OneDrive\\Pictures\\a.jpg",
                          "C:\\Documents and Settings\\Anna\\My Documents\\report.doc"});
  ExpectAdmitted(guard, {"C:\\Users\\Anna\\Pictures\\Thumbs.db", "C:\\Users\\Anna\\Pictures\\2024\\thumbs.db",
                         "D:\\Photos\\Thumbs.db"});
}

TEST(UserData, InApplicationDataOnlyCachesLogsAndCrashReportsAreListed) {
  const TUserData guard(kAnna);
  const std::string roaming = "C:\\Users\\Anna\\AppData\\Roaming\\";
  const std::string chrome = "C:\\Users\\Anna\\AppData\\Local\\Google\\Chrome\\User Data\\";
  const std::string teams =
      "C:\\Users\\Anna\\AppData\\Local\\Packages\\MSTeams_8wekyb3d8bbwe\\LocalCache\\Microsoft\\MSTeams\\";
  ExpectAdmitted(guard, {roaming + "discord\\Cache", roaming + "discordptb\\Code Cache\\js\\index",
                         roaming + "Code\\CachedData\\1a2b", roaming + "Microsoft\\Teams\\Service Worker\\CacheStorage",
                         roaming + "Slack\\logs\\browser.log", roaming + "Zoom\\logs",
                         // Any user's, by the folder's name.
                         "C:\\Users\\Bert\\appdata\\roaming\\discord\\GPUCache", chrome + "Default\\Cache",
                         chrome + "Profile 3\\Code Cache\\js\\index", chrome + "ShaderCache", chrome + "GrShaderCache",
                         chrome + "component_crx_cache", teams + "EBWebView\\Default\\Cache", teams + "Logs",
                         "C:\\Users\\Anna\\AppData\\Local\\Packages\\Some.App_1a2b\\TempState\\x.tmp"});
  ExpectProtected(guard, {roaming + "discord\\Local Storage\\leveldb\\000003.log", roaming + "discord\\settings.json",
                          roaming + "Code\\User\\settings.json", roaming + "Code\\User\\workspaceStorage\\a1\\Cache",
                          roaming + "Mozilla\\Firefox\\Profiles\\x.default\\places.sqlite", roaming + "Cache",
                          chrome + "Default", chrome + "Default\\Login Data", chrome + "Default\\Network\\Cookies",
                          chrome + "Default\\Extensions\\abc\\1.0\\Cache", chrome + "Local State",
                          "D:\\Portable\\Microsoft\\Edge\\User Data\\Profile 1\\Login Data",
                          teams + "Backgrounds\\Uploads\\beach.png", teams + "EBWebView\\Default\\Local Storage",
                          "C:\\Users\\Anna\\AppData\\Local\\Packages\\Some.App_1a2b\\LocalState\\save.dat",
                          "C:\\Users\\Anna\\AppData\\Local\\Packages\\Some.App_1a2b"});
  // Outside application data the rules' own reach is the limit.
  ExpectAdmitted(
      guard, {"C:\\Users\\Anna\\AppData\\Local\\Temp\\setup.tmp", "C:\\Users\\Anna\\AppData\\Local\\Spotify\\Data\\0a",
              "C:\\Windows\\Temp\\x", "C:\\NVIDIA\\DisplayDriver\\551.86",
              "C:\\Program Files (x86)\\Steam\\steamapps\\shadercache\\730",
              "C:\\ProgramData\\Microsoft\\Windows\\WER\\ReportArchive\\x"});
}

TEST(UserData, AnXpRoamingFolderIsKnownByTheShellsAnswer) {
  const std::string profile = "C:\\Documents and Settings\\Anna\\";
  const TUserData guard({.local_app_data = profile + "Local Settings\\Application Data",
                         .roaming_app_data = profile + "Application Data",
                         .profile = "C:\\Documents and Settings\\Anna"});
  ExpectProtected(
      guard, {profile + "Application Data\\Mozilla\\Firefox\\Profiles\\x.default\\places.sqlite",
              profile + "Local Settings\\Application Data\\Google\\Chrome\\User Data\\Default\\History",
              profile + "Local Settings\\Application Data", profile + "Local Settings\\Application Data\\Mozilla"});
  ExpectAdmitted(guard, {profile + "Local Settings\\Temp\\x.tmp"});
  // Without the shell's answers the names still guard.
  EXPECT_TRUE(TUserData().Protects("C:\\Users\\Anna\\AppData\\Roaming\\x\\y"));
  EXPECT_TRUE(TUserData().Protects("C:\\Users\\Anna\\Documents\\a.tmp"));
}

}  // namespace
