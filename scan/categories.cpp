#include "scan/categories.h"

#include "platform/shell.h"
#include "ui/tr.h"

const std::array<TGarbageCategory, kCategoryCount>& GarbageCategories() {
  using platform::kCsidlInternetCache;
  using platform::kCsidlLocalAppData;
  using platform::kCsidlRecent;
  constexpr TFolderSource kInternetCache{TFolderSource::kSpecialFolder, kCsidlInternetCache};
  // Presets, in item order: Deep, Accumulated Garbage, Internet Garbage, Only Temporary Files.
  static const std::array<TGarbageCategory, kCategoryCount> categories = {{
      {"cbRecycleBin",
       ui::TrNoop("Recycle Bins"),
       "RecycleBin",
       "Recycle",
       ui::TrNoop("Windows Recycle Bins on all HDD. Usually it takes around 10% maximum on HDD size."),
       true,
       {true, true, false, false},
       {}},
      {"cbTempFoldersAndFiles",
       ui::TrNoop("Temp Folders"),
       "TempFoldersAndFiles",
       "Temp",
       ui::TrNoop("Temporary files of installers and other software, the shader caches of DirectX, graphics drivers "
                  "and games, "
                  "and developer tools' download caches. Usually this data is not deleted and becomes garbage. May "
                  "take around "
                  "5% - 20% on HDD."),
       true,
       {true, true, false, true},
       {{"%IEINETCACHE%", kInternetCache},
        {"%APPLOCAL%", {TFolderSource::kSpecialFolder, kCsidlLocalAppData}},
        {"%RECENTDIR%", {TFolderSource::kSpecialFolder, kCsidlLocalAppData}}}},
      // "%APPLOCAL%" means the Recent folder here but local application data under "Temp": the
      // shipped rule files are written to match.
      {"cbInternetCache",
       ui::TrNoop("Temp Internet Files"),
       "InternetCache",
       "Internet Cache",
       ui::TrNoop("Caches of Chrome, Edge, Brave, Opera, Vivaldi, Firefox, Internet Explorer and of apps such as "
                  "Teams, Discord, "
                  "Slack, Spotify and Steam: pages, images and scripts kept to load faster. Logins, bookmarks, "
                  "passwords, cookies "
                  "and history are kept. It can take more than 4 GB of HDD."),
       true,
       {true, false, true, false},
       {{"%IEINETCACHE%", kInternetCache}, {"%APPLOCAL%", {TFolderSource::kSpecialFolder, kCsidlRecent}}}},
      {"cbImgCaches",
       ui::TrNoop("Old Image Thumbnails"),
       "ImgCaches",
       "Images Databases",
       ui::TrNoop("Explorer and image viewers keep thumbnail databases of every picture shown, whether it is still "
                  "there or was "
                  "deleted. Windows makes the thumbnails again when they are needed."),
       true,
       {true, false, false, false},
       {}},
      {"cbLogFiles",
       ui::TrNoop("Old Log Files"),
       "LogFiles",
       "Logs",
       ui::TrNoop("Log files with past information about installation and execution of applications and Windows, and "
                  "the error "
                  "reports and crash dumps that programs and Windows leave behind."),
       true,
       {true, true, false, false},
       {}},
      {"cbWUBackup",
       ui::TrNoop("Backup Files for Windows Update"),
       "WUBackup",
       "Windows Installer Backups",
       ui::TrNoop("Update files downloaded by Windows Update, the Delivery Optimization cache it shares them from, "
                  "backup files "
                  "of installed updates in the Windows folder and unpacked graphics driver installers. This cleaning "
                  "option is "
                  "recommended only for experts."),
       true,
       {false, true, false, false},
       {{"%WINDOWSDIR%", {TFolderSource::kWindowsDir, 0}}}},
  }};
  return categories;
}

const std::vector<TPlaceholder>& CommonPlaceholders() {
  static const std::vector<TPlaceholder> placeholders = {
      {"%LOCALAPPDATA%", {TFolderSource::kSpecialFolder, platform::kCsidlLocalAppData}},
      {"%PROGRAMDATA%", {TFolderSource::kSpecialFolder, platform::kCsidlCommonAppData}},
      {"%APPDATA%", {TFolderSource::kSpecialFolder, platform::kCsidlAppData}},
      {"%LOCALAPPDATALOW%", {TFolderSource::kLocalAppDataLow, 0}},
      {"%USERPROFILE%", {TFolderSource::kSpecialFolder, platform::kCsidlProfile}},
      {"%PROGRAMFILES(X86)%", {TFolderSource::kSpecialFolder, platform::kCsidlProgramFilesX86}}};
  return placeholders;
}

TTickedCategories PresetCategories(TScanLevelPreset preset) {
  TTickedCategories ticked{};
  for (size_t c = 0; c < kCategoryCount; ++c) ticked[c] = GarbageCategories()[c].in_preset[preset];
  return ticked;
}

const std::array<const char*, kPresetCount>& ScanLevelCaptions() {
  static const std::array<const char*, kPresetCount> captions = {
      ui::TrNoop("Deep (Full Scan)"), ui::TrNoop("Accumulated Garbage (After Installers)"),
      ui::TrNoop("Internet Garbage"), ui::TrNoop("Only Temporary Files")};
  return captions;
}
