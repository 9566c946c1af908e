#pragma once
// The six garbage categories: the one table that every list of them is built from (the main
// window's check boxes and hints, the settings keys, the trace-definition levels and their
// placeholders, and the scan-level presets of the options dialog).
#include <array>
#include <cstddef>
#include <vector>

// Where a placeholder's folder comes from. The shell names no folder for "AppData\LocalLow":
// kLocalAppDataLow is "LocalLow" beside the local application data folder.
struct TFolderSource {
  enum Kind { kSpecialFolder, kWindowsDir, kLocalAppDataLow } kind;
  int csidl = 0;  // for kSpecialFolder
};

struct TPlaceholder {
  const char* text;
  TFolderSource source;
};

// Index of each category in GarbageCategories(), in the order of their keys in general.conf.
enum TGarbageCategoryIndex : size_t {
  kCategoryRecycle,
  kCategoryTemp,
  kCategoryInternetCache,
  kCategoryImagesDatabases,
  kCategoryLogs,
  kCategoryWindowsUpdateBackups,
  kCategoryCount
};

// The items of the options dialog's scan-level list, in item order.
enum TScanLevelPreset : size_t { kPresetDeep, kPresetAccumulated, kPresetInternet, kPresetTempOnly, kPresetCount };

struct TGarbageCategory {
  const char* check_box;     // control name on the main window
  const char* caption;       // its caption (the check box shows it indented), the key of its translation
  const char* settings_key;  // key in the "Scan" section of general.conf
  const char* level;         // the Level value of its trace-definition sections
  const char* hint;          // shown while the pointer is over its check box
  bool ticked_by_default;
  std::array<bool, kPresetCount> in_preset;  // ticked by each scan-level preset
  std::vector<TPlaceholder> placeholders;    // replaced in Path, in this order
};

const std::array<TGarbageCategory, kCategoryCount>& GarbageCategories();
// The placeholders that every category replaces, after its own: the local, roaming, local-low
// and common application data folders, the user's profile and the 32-bit Program Files folder.
const std::vector<TPlaceholder>& CommonPlaceholders();

// One flag per category, indexed by TGarbageCategoryIndex.
using TTickedCategories = std::array<bool, kCategoryCount>;

// The categories a scan-level preset ticks.
TTickedCategories PresetCategories(TScanLevelPreset preset);
// The captions of the scan-level list, in item order.
const std::array<const char*, kPresetCount>& ScanLevelCaptions();
