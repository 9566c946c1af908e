#pragma once
// A Windows 10 or 11 machine with today's browsers and the programs people run beside them: the
// garbage that the rules must find, with the real folder names, and what users keep beside it,
// which nothing may list or touch. Shared by the native tests (on the test doubles) and the Wine
// test of the real program.
//
// Each entry lies below one of the machine's folders. A path ending in "\" is a folder object:
// the tests plant it with a file inside (kInside) and expect the folder itself to be listed.
namespace todays_layout {

// kLocalLow is "AppData\LocalLow" beside the local application data folder; kSystemDrive the root
// of drive C (for what programs leave there, and for Program Files (x86) as a 64-bit Windows has it).
enum Base { kLocalAppData, kRoamingAppData, kLocalLow, kUserProfile, kProgramData, kWindows, kSystemDrive };

struct Entry {
  Base base;
  const char* path;
};

inline constexpr const char* kInside = "data_1";

inline constexpr Entry kGarbage[] = {
    // Browsers: a profile's caches, the caches shared by the profiles, the on-device model, the
    // crash reports.
    {kLocalAppData, "Google\\Chrome\\User Data\\Default\\Cache\\"},
    {kLocalAppData, "Google\\Chrome\\User Data\\Default\\Code Cache\\"},
    {kLocalAppData, "Google\\Chrome\\User Data\\Default\\GPUCache\\"},
    {kLocalAppData, "Google\\Chrome\\User Data\\Default\\DawnGraphiteCache\\"},
    {kLocalAppData, "Google\\Chrome\\User Data\\Profile 1\\Cache\\"},
    {kLocalAppData, "Google\\Chrome\\User Data\\ShaderCache\\"},
    {kLocalAppData, "Google\\Chrome\\User Data\\GrShaderCache\\"},
    {kLocalAppData, "Google\\Chrome\\User Data\\GraphiteDawnCache\\"},
    {kLocalAppData, "Google\\Chrome\\User Data\\OptGuideOnDeviceModel\\"},
    {kLocalAppData, "Google\\Chrome\\User Data\\Crashpad\\"},
    {kLocalAppData, "Microsoft\\Edge\\User Data\\Default\\Cache\\"},
    {kLocalAppData, "Microsoft\\Edge\\User Data\\Default\\Code Cache\\"},
    {kLocalAppData, "Microsoft\\Edge\\User Data\\component_crx_cache\\"},
    {kLocalAppData, "BraveSoftware\\Brave-Browser\\User Data\\Default\\Cache\\"},
    {kLocalAppData, "Vivaldi\\User Data\\Default\\GPUCache\\"},
    {kLocalAppData, "Opera Software\\Opera Stable\\Cache\\"},
    {kLocalAppData, "Mozilla\\Firefox\\Profiles\\x1y2z3w4.default-release\\cache2\\"},
    {kLocalAppData, "Mozilla\\Firefox\\Profiles\\x1y2z3w4.default-release\\startupCache\\"},
    // The new Teams (a Store package with a web view), classic Teams and the Electron programs.
    {kLocalAppData,
     "Packages\\MSTeams_8wekyb3d8bbwe\\LocalCache\\Microsoft\\MSTeams\\EBWebView\\WV2Profile_tfw\\Cache\\"},
    {kLocalAppData, "Packages\\MSTeams_8wekyb3d8bbwe\\LocalCache\\Microsoft\\MSTeams\\Logs\\"},
    {kRoamingAppData, "Microsoft\\Teams\\Application Cache\\Cache\\"},
    {kRoamingAppData, "Microsoft\\Teams\\tmp\\"},
    {kRoamingAppData, "discord\\Cache\\"},
    {kRoamingAppData, "Slack\\Service Worker\\CacheStorage\\"},
    {kRoamingAppData, "Slack\\logs\\"},
    {kRoamingAppData, "Code\\CachedData\\"},
    {kRoamingAppData, "Code\\CachedExtensionVSIXs\\"},
    {kRoamingAppData, "Zoom\\logs\\"},
    // Other programs' caches and logs.
    {kLocalAppData, "Spotify\\Data\\"},
    {kLocalAppData, "Steam\\htmlcache\\"},
    {kSystemDrive, "Program Files (x86)\\Steam\\appcache\\httpcache\\"},
    {kSystemDrive, "Program Files (x86)\\Steam\\steamapps\\shadercache\\730\\"},
    {kSystemDrive, "Program Files (x86)\\Steam\\logs\\"},
    {kSystemDrive, "Program Files (x86)\\Steam\\dumps\\"},
    {kSystemDrive, "SteamLibrary\\steamapps\\shadercache\\620\\"},
    {kLocalAppData, "EpicGamesLauncher\\Saved\\webcache_4430\\"},
    {kLocalAppData, "EpicGamesLauncher\\Saved\\Logs\\"},
    {kLocalAppData, "Microsoft\\OneDrive\\logs\\"},
    {kLocalLow, "Sun\\Java\\Deployment\\cache\\"},
    // Graphics drivers' shader caches.
    {kLocalAppData, "D3DSCache\\6f8a1c2e3b4d5a60\\"},
    {kLocalAppData, "NVIDIA\\DXCache\\"},
    {kLocalLow, "NVIDIA\\PerDriverVersion\\GLCache\\"},
    {kProgramData, "NVIDIA Corporation\\NV_Cache\\"},
    {kLocalAppData, "AMD\\VkCache\\"},
    {kLocalLow, "Intel\\ShaderCache\\"},
    // Developers' download caches and logs.
    {kLocalAppData, "npm-cache\\_cacache\\"},
    {kLocalAppData, "npm-cache\\_logs\\"},
    {kLocalAppData, "pip\\Cache\\"},
    {kLocalAppData, "Yarn\\Cache\\"},
    {kLocalAppData, "NuGet\\v3-cache\\"},
    {kLocalAppData, "go-build\\3f\\"},
    // Windows: error reports, dumps, logs, thumbnails, temp and update files, unpacked drivers.
    {kLocalAppData, "Microsoft\\Windows\\WER\\ReportArchive\\AppCrash_notepad.exe_5f1c2a\\"},
    {kLocalAppData, "Microsoft\\Windows\\WER\\ReportQueue\\AppHang_game.exe_7d3e4b\\"},
    {kLocalAppData, "CrashDumps\\game.exe.4812.dmp"},
    {kProgramData, "Microsoft\\Windows\\WER\\ReportArchive\\Kernel_141_8c2f9e\\"},
    {kWindows, "Minidump\\120926-7421-01.dmp"},
    {kWindows, "MEMORY.DMP"},
    {kWindows, "LiveKernelReports\\WATCHDOG\\WATCHDOG-20240611-1412.dmp"},
    {kWindows, "Logs\\CBS\\CbsPersist_20240611141200.cab"},
    {kSystemDrive, "$Windows.~BT\\Sources\\Rollback\\setupact.log"},
    {kLocalAppData, "Microsoft\\Windows\\Explorer\\thumbcache_256.db"},
    {kLocalAppData, "Microsoft\\Windows\\Explorer\\iconcache_32.db"},
    {kWindows, "SystemTemp\\setup_4e21.tmp"},
    {kWindows,
     "ServiceProfiles\\NetworkService\\AppData\\Local\\Microsoft\\Windows\\DeliveryOptimization\\Cache\\"
     "3c1d5e7f9a0b\\"},
    {kSystemDrive, "NVIDIA\\DisplayDriver\\560.94\\"},
    {kSystemDrive, "AMD\\AMD-Software-Installer\\"},
};

// A folder link inside a cache, to a folder of the user's (a keeper holds a file there): the
// scan never lists through it and cleaning the cache never reaches through it.
inline constexpr Entry kLinkInCache = {kRoamingAppData, "discord\\Cache\\Cache_Data"};
inline constexpr Entry kLinkTarget = {kUserProfile, "Documents\\Discord exports"};

inline constexpr Entry kKeepers[] = {
    {kUserProfile, "Documents\\Discord exports\\chat.html"},
    {kLocalAppData, "Google\\Chrome\\User Data\\Local State"},
    {kLocalAppData, "Google\\Chrome\\User Data\\Default\\Bookmarks"},
    {kLocalAppData, "Google\\Chrome\\User Data\\Default\\Login Data"},
    {kLocalAppData, "Google\\Chrome\\User Data\\Default\\History"},
    {kLocalAppData, "Google\\Chrome\\User Data\\Default\\Preferences"},
    {kLocalAppData, "Google\\Chrome\\User Data\\Default\\Web Data"},
    {kLocalAppData, "Google\\Chrome\\User Data\\Default\\Network\\Cookies"},
    {kLocalAppData,
     "Google\\Chrome\\User Data\\Default\\Extensions\\aapocclcgogkmnckokdopfmhonfmgoek\\1.0\\manifest.json"},
    {kLocalAppData, "Google\\Chrome\\User Data\\Default\\Sessions\\Session_13370000000000000"},
    {kLocalAppData, "Google\\Chrome\\User Data\\Default\\Local Storage\\leveldb\\000003.log"},
    // A site's offline data (the Cache API), cleared with cookies and site data, never as a cache.
    {kLocalAppData, "Google\\Chrome\\User Data\\Default\\Service Worker\\CacheStorage\\5e1f\\index"},
    {kLocalAppData, "Google\\Chrome\\User Data\\Profile 1\\Bookmarks"},
    {kLocalAppData, "Google\\Chrome\\User Data\\Profile 1\\Login Data"},
    {kLocalAppData, "Microsoft\\Edge\\User Data\\Default\\Favicons"},
    {kLocalAppData, "Microsoft\\Edge\\User Data\\Default\\Login Data"},
    // A component the browser plays protected media with, beside the packages it came in.
    {kLocalAppData, "Microsoft\\Edge\\User Data\\WidevineCdm\\4.10.2830.0\\manifest.json"},
    {kLocalAppData, "BraveSoftware\\Brave-Browser\\User Data\\Default\\Bookmarks"},
    {kLocalAppData, "Vivaldi\\User Data\\Default\\Preferences"},
    {kLocalAppData, "Mozilla\\Firefox\\Profiles\\x1y2z3w4.default-release\\times.json"},
    {kRoamingAppData, "Mozilla\\Firefox\\Profiles\\x1y2z3w4.default-release\\places.sqlite"},
    {kRoamingAppData, "Mozilla\\Firefox\\Profiles\\x1y2z3w4.default-release\\logins.json"},
    {kRoamingAppData, "Mozilla\\Firefox\\Profiles\\x1y2z3w4.default-release\\cookies.sqlite"},
    {kRoamingAppData, "Mozilla\\Firefox\\Profiles\\x1y2z3w4.default-release\\cache2\\entries\\A1B2C3"},
    {kRoamingAppData, "Opera Software\\Opera Stable\\Bookmarks"},
    {kRoamingAppData, "Opera Software\\Opera Stable\\Cache\\Cache_Data\\data_0"},
    {kRoamingAppData, "Google\\Chrome\\User Data\\Default\\Cache\\data_0"},
    // The new Teams: uploaded meeting backgrounds, the web view's login and storage, the settings.
    {kLocalAppData, "Packages\\MSTeams_8wekyb3d8bbwe\\LocalCache\\Microsoft\\MSTeams\\Backgrounds\\Uploads\\beach.png"},
    {kLocalAppData,
     "Packages\\MSTeams_8wekyb3d8bbwe\\LocalCache\\Microsoft\\MSTeams\\EBWebView\\WV2Profile_tfw\\Network\\Cookies"},
    {kLocalAppData,
     "Packages\\MSTeams_8wekyb3d8bbwe\\LocalCache\\Microsoft\\MSTeams\\EBWebView\\WV2Profile_tfw\\Local "
     "Storage\\leveldb\\000003.log"},
    {kLocalAppData, "Packages\\MSTeams_8wekyb3d8bbwe\\LocalCache\\Microsoft\\MSTeams\\app_settings.json"},
    {kRoamingAppData, "Microsoft\\Teams\\desktop-config.json"},
    {kRoamingAppData, "Microsoft\\Teams\\Backgrounds\\Uploads\\office.png"},
    {kRoamingAppData, "Microsoft\\Teams\\IndexedDB\\https_teams.microsoft.com_0.indexeddb.leveldb\\000003.log"},
    {kRoamingAppData, "discord\\Local Storage\\leveldb\\000005.ldb"},
    {kRoamingAppData, "discord\\settings.json"},
    {kRoamingAppData, "Slack\\storage\\root-state.json"},
    {kRoamingAppData, "Slack\\Service Worker\\ScriptCache\\index"},
    {kRoamingAppData, "Code\\User\\settings.json"},
    {kRoamingAppData, "Code\\User\\globalStorage\\state.vscdb"},
    {kUserProfile, ".vscode\\extensions\\ms-python.python-2024.2.1\\package.json"},
    {kRoamingAppData, "Zoom\\data\\zoomus.enc.db"},
    // Spotify's offline downloads and its settings.
    {kLocalAppData, "Spotify\\Storage\\a1\\a1b2c3d4e5f6.file"},
    {kRoamingAppData, "Spotify\\prefs"},
    // Steam: games, their manifests, a half-finished download, saves, settings, the apps' data.
    {kSystemDrive, "Program Files (x86)\\Steam\\steamapps\\common\\Portal 2\\portal2.exe"},
    {kSystemDrive, "Program Files (x86)\\Steam\\steamapps\\appmanifest_730.acf"},
    {kSystemDrive, "Program Files (x86)\\Steam\\steamapps\\downloading\\730\\pak01_000.vpk"},
    {kSystemDrive, "Program Files (x86)\\Steam\\userdata\\12345678\\config\\localconfig.vdf"},
    {kSystemDrive, "Program Files (x86)\\Steam\\config\\config.vdf"},
    {kSystemDrive, "Program Files (x86)\\Steam\\appcache\\appinfo.vdf"},
    {kSystemDrive, "SteamLibrary\\steamapps\\appmanifest_620.acf"},
    {kSystemDrive, "SteamLibrary\\steamapps\\common\\Portal 2\\portal2.exe"},
    {kLocalAppData, "EpicGamesLauncher\\Saved\\Config\\Windows\\GameUserSettings.ini"},
    {kLocalAppData, "Microsoft\\OneDrive\\settings\\Personal\\global.ini"},
    {kLocalLow, "Sun\\Java\\Deployment\\deployment.properties"},
    {kLocalLow, "Sun\\Java\\Deployment\\security\\trusted.certs"},
    // The graphics drivers' settings beside their caches.
    {kProgramData, "NVIDIA Corporation\\Drs\\nvdrsdb0.bin"},
    {kLocalAppData, "AMD\\CN\\gmdb.blb"},
    // Installed packages and settings beside the download caches.
    {kRoamingAppData, "npm\\node_modules\\typescript\\package.json"},
    {kUserProfile, ".npmrc"},
    {kRoamingAppData, "pip\\pip.ini"},
    {kLocalAppData, "Yarn\\Data\\global\\node_modules\\serve\\package.json"},
    {kUserProfile, ".nuget\\packages\\newtonsoft.json\\13.0.3\\newtonsoft.json.nuspec"},
    {kRoamingAppData, "NuGet\\NuGet.Config"},
    {kUserProfile, "go\\pkg\\mod\\golang.org\\x\\text@v0.14.0\\go.mod"},
    {kLocalAppData, "Microsoft\\Windows\\WER\\wer.ini"},
    {kProgramData, "Microsoft\\Windows\\WER\\ERC\\statecache.lock"},
    {kWindows, "Minidump\\notes.txt"},
    {kWindows,
     "ServiceProfiles\\NetworkService\\AppData\\Local\\Microsoft\\Windows\\DeliveryOptimization\\State\\dosvcState."
     "dat"},
    // Named like what the rules look for, in places no rule may reach: a user's own file named
    // like Explorer's thumbnail cache; the binary Measured Boot log BitLocker and attestation read;
    // a database log of the release an upgrade is installing; Word's temporary copy of an open
    // document in the Internet cache folder.
    {kUserProfile, "Documents\\thumbcache_2019.db"},
    {kWindows, "Logs\\MeasuredBoot\\0000000001-0000000000.log"},
    {kSystemDrive, "$Windows.~BT\\NewOS\\Windows\\System32\\catroot2\\edb.log"},
    {kLocalAppData, "Microsoft\\Windows\\INetCache\\Content.Word\\~WRL0001.tmp"},
};

// What the planting makes that a test bench must remove again afterwards: the outermost folder
// (or file) of every entry that the machine itself does not have. Where a folder may be the
// machine's own (Windows\Logs\CBS, Explorer's folder, the Internet cache), the planted file is
// named instead.
inline constexpr Entry kPlantedRoots[] = {
    {kUserProfile, "Documents\\Discord exports"},
    {kLocalAppData, "Google"},
    {kLocalAppData, "Microsoft\\Edge"},
    {kLocalAppData, "BraveSoftware"},
    {kLocalAppData, "Vivaldi"},
    {kLocalAppData, "Opera Software"},
    {kLocalAppData, "Mozilla"},
    {kLocalAppData, "Packages\\MSTeams_8wekyb3d8bbwe"},
    {kLocalAppData, "Spotify"},
    {kLocalAppData, "Steam"},
    {kLocalAppData, "EpicGamesLauncher"},
    {kLocalAppData, "Microsoft\\OneDrive"},
    {kLocalAppData, "NVIDIA"},
    {kLocalAppData, "AMD"},
    {kLocalAppData, "npm-cache"},
    {kLocalAppData, "pip"},
    {kLocalAppData, "Yarn"},
    {kLocalAppData, "NuGet"},
    {kLocalAppData, "go-build"},
    {kLocalAppData, "Microsoft\\Windows\\WER"},
    {kLocalAppData, "Microsoft\\Windows\\Explorer\\thumbcache_256.db"},
    {kLocalAppData, "Microsoft\\Windows\\Explorer\\iconcache_32.db"},
    {kLocalAppData, "Microsoft\\Windows\\INetCache\\Content.Word"},
    {kLocalAppData, "CrashDumps"},
    {kLocalAppData, "D3DSCache"},
    {kRoamingAppData, "Mozilla"},
    {kRoamingAppData, "Opera Software"},
    {kRoamingAppData, "Google"},
    {kRoamingAppData, "Microsoft\\Teams"},
    {kRoamingAppData, "discord"},
    {kRoamingAppData, "Slack"},
    {kRoamingAppData, "Code"},
    {kRoamingAppData, "Zoom"},
    {kRoamingAppData, "Spotify"},
    {kRoamingAppData, "npm"},
    {kRoamingAppData, "pip"},
    {kRoamingAppData, "NuGet"},
    {kLocalLow, "Sun"},
    {kLocalLow, "NVIDIA"},
    {kLocalLow, "Intel"},
    {kUserProfile, ".vscode"},
    {kUserProfile, ".npmrc"},
    {kUserProfile, ".nuget"},
    {kUserProfile, "go"},
    {kUserProfile, "Documents\\thumbcache_2019.db"},
    {kProgramData, "Microsoft\\Windows\\WER"},
    {kProgramData, "NVIDIA Corporation"},
    {kWindows, "Minidump"},
    {kWindows, "MEMORY.DMP"},
    {kWindows, "ServiceProfiles"},
    {kWindows, "LiveKernelReports"},
    {kWindows, "SystemTemp"},
    {kWindows, "Logs\\CBS\\CbsPersist_20240611141200.cab"},
    {kWindows, "Logs\\MeasuredBoot"},
    {kSystemDrive, "Program Files (x86)\\Steam"},
    {kSystemDrive, "SteamLibrary"},
    {kSystemDrive, "$Windows.~BT"},
    {kSystemDrive, "NVIDIA"},
    {kSystemDrive, "AMD"},
};

}  // namespace todays_layout
