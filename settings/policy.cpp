#include "settings/policy.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "platform/text.h"
#include "scan/scan_filters.h"

namespace {

using platform::RegistryRoot;

// One of the two keys (and its subkeys) as read; the machine's is asked first.
struct TPolicyKeys {
  RegistryRoot root;
  std::unique_ptr<platform::RegistryKey> main, categories, exclusions;
};

std::string Where(RegistryRoot root, const std::string& value) {
  return std::string(root == RegistryRoot::kLocalMachine ? "HKLM\\" : "HKCU\\") + kPolicyKey + "\\" + value;
}

class TPolicyReader {
 public:
  TPolicyReader(platform::Registry& registry, platform::DebugOutput& debug) : debug_(debug) {
    for (RegistryRoot root : {RegistryRoot::kLocalMachine, RegistryRoot::kCurrentUser})
      keys_.push_back({root, registry.OpenKeyToRead(root, kPolicyKey),
                       registry.OpenKeyToRead(root, kPolicyCategoriesKey),
                       registry.OpenKeyToRead(root, kPolicyExclusionsKey)});
  }

  // A DWORD in [low, high] from the first key that holds a good one.
  std::optional<int> Number(std::unique_ptr<platform::RegistryKey> TPolicyKeys::*key, const std::string& name,
                            const std::string& where, int low, int high) {
    for (const TPolicyKeys& keys : keys_) {
      if (!(keys.*key)) continue;
      const platform::RegistryValue value = (keys.*key)->ReadValue(name);
      if (value.kind == platform::ValueKind::kMissing) continue;
      if (value.kind != platform::ValueKind::kNumber) {
        Ignore(keys.root, where, "is no REG_DWORD");
      } else if (value.number < static_cast<uint32_t>(low) || value.number > static_cast<uint32_t>(high)) {
        Ignore(keys.root, where,
               "is " + std::to_string(value.number) + ", not " + std::to_string(low) + " to " + std::to_string(high));
      } else {
        return static_cast<int>(value.number);
      }
    }
    return std::nullopt;
  }

  // A non-empty REG_SZ of the key itself that `check` turns into its value, from the first key
  // that holds a good one.
  template <class Check>
  auto Text(const std::string& name, Check check) -> decltype(check(std::string())) {
    for (const TPolicyKeys& keys : keys_) {
      if (!keys.main) continue;
      const platform::RegistryValue value = keys.main->ReadValue(name);
      if (value.kind == platform::ValueKind::kMissing) continue;
      if (value.kind != platform::ValueKind::kString) {
        Ignore(keys.root, name, "is no REG_SZ");
        continue;
      }
      const std::string text = platform::Trim(value.text);
      if (text.empty()) continue;  // an empty text leaves the choice to the user
      if (auto checked = check(text)) return checked;
      Ignore(keys.root, name, "is \"" + text + "\", which is no such value");
    }
    return std::nullopt;
  }

  // The categories subkey: a value named by no category is a mistake worth a line.
  void CheckCategoryNames() {
    for (const TPolicyKeys& keys : keys_) {
      if (!keys.categories) continue;
      for (const std::string& name : keys.categories->ValueNames()) {
        const auto& known = GarbageCategories();
        if (std::none_of(known.begin(), known.end(),
                         [&](const TGarbageCategory& c) { return platform::SameText(c.settings_key, name); }))
          Ignore(keys.root, std::string("Categories\\") + name, "names no category");
      }
    }
  }

  std::vector<std::string> Exclusions() {
    std::vector<std::string> entries;
    for (const TPolicyKeys& keys : keys_) {
      if (!keys.exclusions) continue;
      for (const std::string& name : keys.exclusions->ValueNames()) {
        const std::string where = std::string("Exclusions\\") + name;
        const platform::RegistryValue value = keys.exclusions->ReadValue(name);
        if (value.kind != platform::ValueKind::kString) {
          Ignore(keys.root, where, "is no REG_SZ");
          continue;
        }
        std::string entry = platform::Trim(value.text);
        if (entry.empty()) continue;
        const bool folder = IsExclusionFolder(entry);
        if (!folder && entry.find_first_of("\\/:") != std::string::npos) {
          Ignore(keys.root, where, "is \"" + entry + "\", neither a full folder path nor a file name");
          continue;
        }
        while (folder && entry.size() > 3 && (entry.back() == '\\' || entry.back() == '/')) entry.pop_back();
        if (std::none_of(entries.begin(), entries.end(), [&](const std::string& e) { return SameExclusion(e, entry); }))
          entries.push_back(entry);
      }
    }
    return entries;
  }

 private:
  void Ignore(RegistryRoot root, const std::string& value, const std::string& why) {
    debug_.Write("policy: " + Where(root, value) + " " + why + "; ignored");
  }

  platform::DebugOutput& debug_;
  std::vector<TPolicyKeys> keys_;
};

// "C", "C:", "C:\" each naming a disk, separated by semicolons, commas or blanks; the letters
// upper case, sorted, each once. Nothing when any part names no disk.
std::optional<std::string> ParseDisks(const std::string& text) {
  std::string letters;
  std::string part;
  const auto take = [&]() {
    if (part.empty()) return true;
    const bool disk = std::isalpha(static_cast<unsigned char>(part[0])) &&
                      (part.size() == 1 || part.substr(1) == ":" || part.substr(1) == ":\\");
    if (disk) letters += static_cast<char>(std::toupper(static_cast<unsigned char>(part[0])));
    part.clear();
    return disk;
  };
  for (char c : text + ";") {
    if (c == ';' || c == ',' || c == ' ' || c == '\t') {
      if (!take()) return std::nullopt;
    } else {
      part += c;
    }
  }
  std::sort(letters.begin(), letters.end());
  letters.erase(std::unique(letters.begin(), letters.end()), letters.end());
  if (letters.empty()) return std::nullopt;
  return letters;
}

// A language tag as the catalogues name them: two or three letters, then parts of one to eight
// letters or digits after hyphens ("de", "pt-BR", "zh-Hant-TW").
std::optional<std::string> ParseLanguage(const std::string& text) {
  const auto all = [](const std::string& part, int (*is)(int)) {
    return std::all_of(part.begin(), part.end(), [is](char c) { return is(static_cast<unsigned char>(c)) != 0; });
  };
  size_t start = 0;
  for (bool first = true;; first = false) {
    const size_t end = std::min(text.find('-', start), text.size());
    const std::string part = text.substr(start, end - start);
    const bool good = first ? part.size() >= 2 && part.size() <= 3 && all(part, std::isalpha)
                            : !part.empty() && part.size() <= 8 && all(part, std::isalnum);
    if (!good) return std::nullopt;
    if (end == text.size()) return text;
    start = end + 1;
  }
}

}  // namespace

bool TPolicy::SetsShownSettings() const {
  return Disks || MinAgeDays || Language || !Exclusions.empty() ||
         std::any_of(Categories.begin(), Categories.end(), [](const std::optional<bool>& c) { return c.has_value(); });
}

TPolicy ReadPolicy(platform::Registry& registry, platform::DebugOutput& debug) {
  TPolicyReader reader(registry, debug);
  TPolicy policy;
  const auto& categories = GarbageCategories();
  for (size_t c = 0; c < kCategoryCount; ++c) {
    const std::string name = categories[c].settings_key;
    if (auto on = reader.Number(&TPolicyKeys::categories, name, "Categories\\" + name, 0, 1))
      policy.Categories[c] = *on == 1;
  }
  reader.CheckCategoryNames();
  policy.Disks = reader.Text(kPolicyDisks, ParseDisks);
  policy.MinAgeDays = reader.Number(&TPolicyKeys::main, kPolicyMinAgeDays, kPolicyMinAgeDays, 0, kMaxAgeDays);
  policy.Exclusions = reader.Exclusions();
  if (auto on = reader.Number(&TPolicyKeys::main, kPolicyCheckForUpdates, kPolicyCheckForUpdates, 0, 1))
    policy.CheckForUpdates = *on == 1;
  policy.Language = reader.Text(kPolicyLanguage, ParseLanguage);
  return policy;
}

TTickedCategories ApplyCategoryPolicy(TTickedCategories ticked, const TPolicy& policy) {
  for (size_t c = 0; c < kCategoryCount; ++c) ticked[c] = policy.Categories[c].value_or(ticked[c]);
  return ticked;
}

TScanSettings WithPolicy(TScanSettings own, const TPolicy& policy) {
  own.Categories = ApplyCategoryPolicy(own.Categories, policy);
  if (policy.Disks) {
    for (auto& [disk, ticked] : own.Disks)
      ticked = disk.size() == 1 && policy.Disks->find(platform::UpperCase(disk)) != std::string::npos;
  }
  own.MinAgeDays = policy.MinAgeDays.value_or(own.MinAgeDays);
  return own;
}

TScanSettings OwnSettings(const TScanSettings& shown, const TScanSettings& stored, const TPolicy& policy) {
  TScanSettings own = shown;
  for (size_t c = 0; c < kCategoryCount; ++c)
    if (policy.Categories[c]) own.Categories[c] = stored.Categories[c];
  if (policy.Disks) {
    for (auto& [disk, ticked] : own.Disks) {
      ticked = true;  // a disk the file does not name yet is ticked, as when it is read
      for (const auto& [stored_disk, stored_ticked] : stored.Disks)
        if (stored_disk == disk) ticked = stored_ticked;
    }
  }
  if (policy.MinAgeDays) own.MinAgeDays = stored.MinAgeDays;
  return own;
}
