#pragma once
// A Windows 10 or 11 machine with today's browsers: the garbage that the rules must find, with
// the real folder names, and what users keep beside it, which nothing may list or touch. Shared by
// the native tests (on the test doubles) and the Wine test of the real program.
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
    {kLocalAppData, "Google\\Chrome\\User Data\\Default\\Cache\\"},
    {kLocalAppData, "Google\\Chrome\\User Data\\Default\\Code Cache\\"},
    {kLocalAppData, "Google\\Chrome\\User Data\\Default\\GPUCache\\"},
    {kLocalAppData, "Google\\Chrome\\User Data\\Profile 1\\Cache\\"},
    {kLocalAppData, "Google\\Chrome\\User Data\\ShaderCache\\"},
    {kLocalAppData, "Google\\Chrome\\User Data\\GrShaderCache\\"},
    {kLocalAppData, "Microsoft\\Edge\\User Data\\Default\\Cache\\"},
    {kLocalAppData, "Microsoft\\Edge\\User Data\\Default\\Code Cache\\"},
    {kLocalAppData, "BraveSoftware\\Brave-Browser\\User Data\\Default\\Cache\\"},
    {kLocalAppData, "Vivaldi\\User Data\\Default\\GPUCache\\"},
    {kLocalAppData, "Opera Software\\Opera Stable\\Cache\\"},
    {kLocalAppData, "Mozilla\\Firefox\\Profiles\\x1y2z3w4.default-release\\cache2\\"},
    {kLocalAppData, "Microsoft\\Windows\\WER\\ReportArchive\\AppCrash_notepad.exe_5f1c2a\\"},
    {kLocalAppData, "Microsoft\\Windows\\WER\\ReportQueue\\AppHang_game.exe_7d3e4b\\"},
    {kLocalAppData, "CrashDumps\\game.exe.4812.dmp"},
    {kLocalAppData, "D3DSCache\\6f8a1c2e3b4d5a60\\"},
    {kProgramData, "Microsoft\\Windows\\WER\\ReportArchive\\Kernel_141_8c2f9e\\"},
    {kWindows, "Minidump\\120926-7421-01.dmp"},
    {kWindows, "MEMORY.DMP"},
    {kWindows,
     "ServiceProfiles\\NetworkService\\AppData\\Local\\Microsoft\\Windows\\DeliveryOptimization\\Cache\\"
     "3c1d5e7f9a0b\\"},
};

inline constexpr Entry kKeepers[] = {
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
    {kLocalAppData, "Google\\Chrome\\User Data\\Profile 1\\Bookmarks"},
    {kLocalAppData, "Google\\Chrome\\User Data\\Profile 1\\Login Data"},
    {kLocalAppData, "Microsoft\\Edge\\User Data\\Default\\Favicons"},
    {kLocalAppData, "Microsoft\\Edge\\User Data\\Default\\Login Data"},
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
    {kLocalAppData, "Microsoft\\Windows\\WER\\wer.ini"},
    {kProgramData, "Microsoft\\Windows\\WER\\ERC\\statecache.lock"},
    {kWindows, "Minidump\\notes.txt"},
    {kWindows,
     "ServiceProfiles\\NetworkService\\AppData\\Local\\Microsoft\\Windows\\DeliveryOptimization\\State\\dosvcState."
     "dat"},
};

// What the planting makes that a test bench must remove again afterwards: the outermost folder
// (or file) of every entry that the machine itself does not have.
inline constexpr Entry kPlantedRoots[] = {
    {kLocalAppData, "Google"},
    {kLocalAppData, "Microsoft\\Edge"},
    {kLocalAppData, "BraveSoftware"},
    {kLocalAppData, "Vivaldi"},
    {kLocalAppData, "Opera Software"},
    {kLocalAppData, "Mozilla"},
    {kLocalAppData, "Microsoft\\Windows\\WER"},
    {kLocalAppData, "CrashDumps"},
    {kLocalAppData, "D3DSCache"},
    {kRoamingAppData, "Mozilla"},
    {kRoamingAppData, "Opera Software"},
    {kRoamingAppData, "Google"},
    {kProgramData, "Microsoft\\Windows\\WER"},
    {kWindows, "Minidump"},
    {kWindows, "MEMORY.DMP"},
    {kWindows, "ServiceProfiles"},
};

}  // namespace todays_layout
