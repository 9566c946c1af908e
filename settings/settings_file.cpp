#include "settings/settings_file.h"

#include "settings/mem_ini_file.h"

namespace {

constexpr const char* kScan = "Scan";

}  // namespace

TScanSettings ReadScanSettings(const TMemIniFile& ini, const std::vector<std::string>& disks) {
  TScanSettings settings;
  for (const std::string& disk : disks) settings.Disks.emplace_back(disk, ini.ReadBool(kScan, disk, true));
  settings.Level = ini.ReadInteger(kScan, "Level", 0);
  settings.NoiseLevel = ini.ReadString(kScan, "NoiseLevel", "4096");
  settings.AutoStartScan = ini.ReadBool(kScan, "AutoStartScan", false);
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
}
