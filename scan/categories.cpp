#include "scan/categories.h"

#include "platform/shell.h"

const std::array<TGarbageCategory, kCategoryCount>& GarbageCategories() {
  using platform::kCsidlInternetCache;
  using platform::kCsidlLocalAppData;
  using platform::kCsidlRecent;
  constexpr TFolderSource kInternetCache{TFolderSource::kSpecialFolder, kCsidlInternetCache};
  // Presets, in item order: Deep, Accumulated Garbage, Internet Garbage, Only Temporary Files.
  static const std::array<TGarbageCategory, kCategoryCount> categories = {{
      {"cbRecycleBin",
       "   Recycle Bins",
       "RecycleBin",
       "Recycle",
       "Windows Recycle Bins on all HDD. Usually it takes around 10% maximum on HDD size.",
       true,
       {true, true, false, false},
       {}},
      {"cbTempFoldersAndFiles",
       "   Temp Folders",
       "TempFoldersAndFiles",
       "Temp",
       "Temporary Files folders used by installers and other software for storing runtime information, but usually "
       "this data not deleted and became garbage. May takes around 5% - 20% on HDD.",
       true,
       {true, true, false, true},
       {{"%IEINETCACHE%", kInternetCache},
        {"%APPLOCAL%", {TFolderSource::kSpecialFolder, kCsidlLocalAppData}},
        {"%RECENTDIR%", {TFolderSource::kSpecialFolder, kCsidlLocalAppData}}}},
      // "%APPLOCAL%" means the Recent folder here but local application data under "Temp": the
      // shipped rule files are written to match.
      {"cbInternetCache",
       "   Temp Internet Files",
       "InternetCache",
       "Internet Cache",
       "All Internet browsers download images and web pages to your HDD during surfing in Internet, to increase "
       "speed of page load in future. Depending on internet connection and surfing style it can takes more than 4 GB "
       "of HDD.",
       true,
       {true, false, true, false},
       {{"%IEINETCACHE%", kInternetCache}, {"%APPLOCAL%", {TFolderSource::kSpecialFolder, kCsidlRecent}}}},
      {"cbImgCaches",
       "   Old Image Thumbnails",
       "ImgCaches",
       "Images Databases",
       "Image viewer appliactions creates a thumbnails databases for pictures, this files contained thumbnails for "
       "all windows in folder, no matter is it present now or was deleted.",
       true,
       {true, false, false, false},
       {}},
      {"cbLogFiles",
       "   Old Log Files",
       "LogFiles",
       "Logs",
       "Logs files usually contained past information about installation and execution processes of applications or "
       "Windows.",
       true,
       {true, true, false, false},
       {}},
      {"cbWUBackup",
       "   Backup Files for Windows Update",
       "WUBackup",
       "Windows Installer Backups",
       "Each update installed from Windows Update system created buckup files in Windows root. This cleaning option "
       "recommended only for experts.",
       true,
       {false, true, false, false},
       {{"%WINDOWSDIR%", {TFolderSource::kWindowsDir, 0}}}},
  }};
  return categories;
}

TTickedCategories PresetCategories(TScanLevelPreset preset) {
  TTickedCategories ticked{};
  for (size_t c = 0; c < kCategoryCount; ++c) ticked[c] = GarbageCategories()[c].in_preset[preset];
  return ticked;
}

const std::array<const char*, kPresetCount>& ScanLevelCaptions() {
  static const std::array<const char*, kPresetCount> captions = {
      "Deep (Full Scan)", "Accumulated Garbage (After Installers)", "Internet Garbage", "Only Temporary Files"};
  return captions;
}
