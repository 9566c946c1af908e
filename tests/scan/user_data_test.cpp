// The guard of what users keep in their profiles, which no rule may list.
#include "scan/user_data.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(UserData, RoamingProfilesAndBrowserProfileDataAreProtectedTheirCachesAreNot) {
  const TUserData guard("C:\\Users\\Anna\\AppData\\Local", "C:\\Users\\Anna\\AppData\\Roaming");
  const std::string chrome = "C:\\Users\\Anna\\AppData\\Local\\Google\\Chrome\\User Data\\";
  for (const std::string& kept : std::vector<std::string>{
           "C:\\Users\\Anna\\AppData\\Roaming\\Mozilla\\Firefox\\Profiles\\x.default\\cache2",
           "C:\\Users\\Bert\\appdata\\roaming\\Opera Software\\Opera Stable\\Cache",  // any user's
           chrome + "Default\\Bookmarks", chrome + "Default", chrome + "Local State",
           chrome + "Default\\Network\\Cookies",
           chrome + "Default\\Extensions\\abc\\Cache",  // a cache's name deeper down is no cache
           "D:\\Portable\\Microsoft\\Edge\\User Data\\Profile 1\\Login Data",
           "C:\\Users\\Anna\\AppData\\Local\\Vivaldi\\User Data",
           // Folders that hold the user's own profiles.
           "C:\\Users", "C:\\Users\\Anna", "C:\\Users\\Anna\\AppData", "C:\\Users\\Anna\\AppData\\Local",
           "C:\\Users\\Anna\\AppData\\Local\\Google", "C:\\Users\\Anna\\AppData\\Local\\Google\\Chrome"})
    EXPECT_TRUE(guard.Protects(kept)) << kept;
  for (const std::string& garbage : std::vector<std::string>{
           chrome + "Default\\Cache", chrome + "Profile 3\\Code Cache\\js\\index", chrome + "Guest Profile\\GPUCache",
           chrome + "ShaderCache", chrome + "GrShaderCache\\data_0",
           "C:\\Users\\Anna\\AppData\\Local\\Mozilla\\Firefox\\Profiles\\x.default\\cache2",
           "C:\\Users\\Anna\\AppData\\Local\\Temp\\setup.tmp", "C:\\Users\\Anna\\AppData\\Local\\D3DSCache",
           "C:\\Windows\\Temp", "C:\\Users\\Anna\\AppData\\Local\\Google\\Update\\Download"})
    EXPECT_FALSE(guard.Protects(garbage)) << garbage;
}

TEST(UserData, AnXpRoamingFolderIsKnownByTheShellsAnswer) {
  const std::string profile = "C:\\Documents and Settings\\Anna\\";
  const TUserData guard(profile + "Local Settings\\Application Data", profile + "Application Data");
  EXPECT_TRUE(guard.Protects(profile + "Application Data\\Mozilla\\Firefox\\Profiles\\x.default\\places.sqlite"));
  EXPECT_TRUE(
      guard.Protects(profile + "Local Settings\\Application Data\\Google\\Chrome\\User Data\\Default\\History"));
  EXPECT_FALSE(guard.Protects(profile + "Local Settings\\Temp\\x.tmp"));
  // Without the shell's answers the names still guard.
  EXPECT_TRUE(TUserData().Protects("C:\\Users\\Anna\\AppData\\Roaming\\x"));
  EXPECT_FALSE(TUserData().Protects(profile + "Application Data\\x"));
}

}  // namespace
