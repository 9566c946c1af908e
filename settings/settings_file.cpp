#include "settings/settings_file.h"

#include <algorithm>

#include "ini/mem_ini_file.h"

namespace {

constexpr const char* kScan = "Scan";
constexpr const char* kMinAgeDays = "MinAgeDays";
constexpr const char* kExclusions = "Exclusions";

}  // namespace

TScanSettings ReadScanSettings(const TMemIniFile& ini, const std::vector<std::string>& disks) {
  TScanSettings settings;
  for (const std::string& disk : disks) settings.Disks.emplace_back(disk, ini.ReadBool(kScan, disk, true));
  settings.Level = ini.ReadInteger(kScan, "Level", 0);
  settings.NoiseLevel = ini.ReadString(kScan, "NoiseLevel", "4096");
  settings.AutoStartScan = ini.ReadBool(kScan, "AutoStartScan", false);
  // A hand-edited age beyond the range is held to it; one that is no number is no filter.
  settings.MinAgeDays = std::clamp(ini.ReadInteger(kScan, kMinAgeDays, 0), 0, kMaxAgeDays);
  for (const std::string& entry : ini.ReadSectionValues(kExclusions))
    if (!entry.empty()) settings.Exclusions.push_back(entry);
  const auto& categories = GarbageCategories();
  for (size_t c = 0; c < kCategoryCount; ++c)
    settings.Categories[c] = ini.ReadBool(kScan, categories[c].settings_key, categories[c].ticked_by_default);
  return settings;
}

void WriteScanSettings(TMemIniFile& ini, const TScanSettings& settings) {
  for (const auto& [disk, ticked] : settings.Disks) ini.WriteBool(kScan, disk, ticked);
  ini.WriteInteger(kScan, "Level", settings.Level);
  ini.WriteString(kScan, "NoiseLevel", settings.NoiseLevel);
  ini.WriteBool(kScan, "AutoStartScan", settings.AutoStartScan);
  const auto& categories = GarbageCategories();
  for (size_t c = 0; c < kCategoryCount; ++c) ini.WriteBool(kScan, categories[c].settings_key, settings.Categories[c]);
  // Off and never set, the key stays out, so that such a file reads as it always did.
  if (settings.MinAgeDays != 0 || ini.ReadString(kScan, kMinAgeDays, "\n") != "\n")
    ini.WriteInteger(kScan, kMinAgeDays, settings.MinAgeDays);
  // The section is the list: written whole, and left out when the list is empty.
  ini.EraseSection(kExclusions);
  for (size_t i = 0; i < settings.Exclusions.size(); ++i)
    ini.WriteString(kExclusions, "Item" + std::to_string(i + 1), settings.Exclusions[i]);
}
