#pragma once
// The "Scan" section of "general.conf" as plain values: the ticked categories and disks, the
// scan-level preset, the noise level, the age filter and the scan after loading; and the
// "Exclusions" section, one entry per key. Other sections of the file (such as "Update") are kept
// as loaded and never rewritten here. Autostart lives in the registry.
#include <string>
#include <utility>
#include <vector>

#include "scan/categories.h"
#include "scan/scan_filters.h"

class TMemIniFile;

// The registry value name of the autostart entry.
constexpr const char* kAutostartValueName = "Clutterix";

struct TScanSettings {
  TTickedCategories Categories{};
  // Each disk of the options dialog's list (its caption) and whether it is ticked, in list order.
  std::vector<std::pair<std::string, bool>> Disks;
  // The scan-level item; one outside the items selects nothing, and then no preset applies.
  int Level = 0;
  std::string NoiseLevel = "4096";
  bool AutoStartScan = false;
  // "Only objects not changed for at least N days": 0 to kMaxAgeDays, 0 lists every age.
  int MinAgeDays = 0;
  // Folders and file-name patterns never listed or cleaned (see TExclusions), as the user wrote them.
  std::vector<std::string> Exclusions;
};

// The stored settings, with the defaults of missing keys: every category and disk ticked.
TScanSettings ReadScanSettings(const TMemIniFile& ini, const std::vector<std::string>& disks);
// Writes every key of the section into the document (not to the file).
void WriteScanSettings(TMemIniFile& ini, const TScanSettings& settings);
