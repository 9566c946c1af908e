#pragma once
// Settings an organisation sets by Group Policy (installer/policies/ holds the templates), read
// from the machine's policy key and the user's, and laid over the user's own settings. As with
// Windows' own policies, a setting the policy sets is that value whatever the user chose, and one
// it leaves alone is the user's; the machine's value wins over the user's. Policy values are never
// stored in general.conf: when the policy goes, the user's own settings come back.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/system_info.h"
#include "scan/categories.h"
#include "settings/settings_file.h"

// The key under HKLM and HKCU, and its two subkeys: one DWORD per category, named by the
// category's key in general.conf (1 ticked, 0 not), and the exclusions, one REG_SZ per entry
// under any name.
constexpr const char* kPolicyKey = "Software\\Policies\\Torvex\\Clutterix";
constexpr const char* kPolicyCategoriesKey = "Software\\Policies\\Torvex\\Clutterix\\Categories";
constexpr const char* kPolicyExclusionsKey = "Software\\Policies\\Torvex\\Clutterix\\Exclusions";
// Values of the key itself.
constexpr const char* kPolicyDisks = "Disks";                      // REG_SZ, drive letters ("C;D")
constexpr const char* kPolicyMinAgeDays = "MinAgeDays";            // REG_DWORD, 0 to kMaxAgeDays
constexpr const char* kPolicyCheckForUpdates = "CheckForUpdates";  // REG_DWORD, 1 on, 0 off
constexpr const char* kPolicyLanguage = "Language";                // REG_SZ, a language tag ("de", "pt-BR")

// What the policy sets; nothing (or empty) where it leaves the choice to the user.
struct TPolicy {
  std::array<std::optional<bool>, kCategoryCount> Categories{};
  std::optional<std::string> Disks;  // the upper-case letters of the disks to scan, each once ("CD")
  std::optional<int> MinAgeDays;
  // Added to the user's own, which cannot remove them: from both keys, each once.
  std::vector<std::string> Exclusions;
  std::optional<bool> CheckForUpdates;
  std::optional<std::string> Language;

  // Whether it sets anything the main window or the options dialog shows.
  bool SetsShownSettings() const;
  bool operator==(const TPolicy&) const = default;
};

// Reads both keys. Data of the wrong type or out of range (a string where a number belongs, an
// age beyond the range, an unknown category) is passed over with a debug line, as if not set.
TPolicy ReadPolicy(platform::Registry& registry, platform::DebugOutput& debug);

// The categories as the policy leaves them.
TTickedCategories ApplyCategoryPolicy(TTickedCategories ticked, const TPolicy& policy);
// The user's own settings with the policy laid over them: what the controls show and the runs use.
// The exclusions stay the user's: the policy's are shown and used beside them (TfrmOptions).
TScanSettings WithPolicy(TScanSettings own, const TPolicy& policy);
// The user's own settings out of what the controls show: the shown value where the policy sets
// none, the stored one where it does. The shown exclusions must be the user's alone.
TScanSettings OwnSettings(const TScanSettings& shown, const TScanSettings& stored, const TPolicy& policy);
