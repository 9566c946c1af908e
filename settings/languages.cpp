#include "settings/languages.h"

#include <algorithm>
#include <exception>

#include "context/exe_folder.h"
#include "ini/mem_ini_file.h"
#include "platform/text.h"
#include "settings/policy.h"
#include "settings/system_paths.h"

namespace {

constexpr const char* kSection = "General";
constexpr const char* kKey = "Language";
constexpr const char* kCatalogueFolder = "lang\\";
constexpr const char* kCatalogueExtension = ".mo";
// A header field of each catalogue: the language's name in itself, for the options dialog.
constexpr const char* kNameField = "X-Language-Name";

// "pt-BR" of "pt_BR" or "PT-br": tags compare without regard to case or separator.
std::string Normal(std::string tag) {
  std::replace(tag.begin(), tag.end(), '_', '-');
  return platform::UpperCase(tag);
}

std::string Primary(const std::string& tag) { return tag.substr(0, tag.find('-')); }

// Chinese in the traditional script: Taiwan, Hong Kong, Macao, or the script named.
bool Traditional(const std::string& tag) {
  return tag == "ZH-TW" || tag == "ZH-HK" || tag == "ZH-MO" || tag.starts_with("ZH-HANT");
}

}  // namespace

std::vector<std::string> CatalogueTags(platform::FileSystem& files, const std::string& exe_folder) {
  std::vector<std::string> tags;
  for (const platform::FindEntry& entry : files.FindFiles(exe_folder + kCatalogueFolder + "*" + kCatalogueExtension)) {
    const std::string& name = entry.name;
    const size_t stem = name.size() - std::string_view(kCatalogueExtension).size();
    if (!entry.IsFolder() && name.size() > 3 && platform::SameText(name.substr(stem), kCatalogueExtension))
      tags.push_back(name.substr(0, stem));
  }
  std::sort(tags.begin(), tags.end());
  return tags;
}

std::vector<TLanguage> AvailableLanguages(platform::FileSystem& files, const std::string& exe_folder) {
  std::vector<TLanguage> languages;
  for (const std::string& tag : CatalogueTags(files, exe_folder)) {
    if (std::shared_ptr<const ui::TCatalogue> catalogue = LoadCatalogue(files, exe_folder, tag)) {
      const std::string own_name = catalogue->Header(kNameField);
      languages.push_back({tag, own_name.empty() ? tag : own_name});
    }
  }
  return languages;
}

std::string ChooseLanguage(const std::string& chosen, const std::vector<std::string>& preferred,
                           const std::vector<std::string>& available) {
  auto find = [&](auto&& matches) -> const std::string* {
    for (const std::string& tag : available)
      if (matches(Normal(tag))) return &tag;
    return nullptr;
  };
  if (!chosen.empty()) {
    if (Normal(chosen) == "EN") return "en";
    if (const std::string* tag = find([&](const std::string& t) { return t == Normal(chosen); })) return *tag;
  }
  for (const std::string& wanted_tag : preferred) {
    const std::string wanted = Normal(wanted_tag);
    if (Primary(wanted) == "EN") return "en";
    if (const std::string* tag = find([&](const std::string& t) { return t == wanted; })) return *tag;
    if (const std::string* tag = find([&](const std::string& t) { return t == Primary(wanted); })) return *tag;
    const std::string* same_language = find(
        [&](const std::string& t) { return Primary(t) == Primary(wanted) && Traditional(t) == Traditional(wanted); });
    if (same_language) return *same_language;
  }
  return "en";
}

std::string ReadLanguageChoice(const TMemIniFile& ini) { return platform::Trim(ini.ReadString(kSection, kKey, "")); }

void WriteLanguageChoice(TMemIniFile& ini, const std::string& tag) {
  // Automatic needs no key: a file that never had one is left without.
  if (tag.empty() && ReadLanguageChoice(ini).empty()) return;
  ini.WriteString(kSection, kKey, tag);
}

std::shared_ptr<const ui::TCatalogue> LoadCatalogue(platform::FileSystem& files, const std::string& exe_folder,
                                                    const std::string& tag) {
  // A tag is a file name: nothing that could reach outside the folder.
  if (tag.empty() || tag.find_first_of("\\/:.") != std::string::npos) return nullptr;
  const std::optional<std::string> bytes = files.ReadFile(exe_folder + kCatalogueFolder + tag + kCatalogueExtension);
  if (!bytes) return nullptr;
  std::optional<ui::TCatalogue> catalogue = ui::TCatalogue::Parse(*bytes);
  if (!catalogue) return nullptr;
  return std::make_shared<const ui::TCatalogue>(std::move(*catalogue));
}

std::shared_ptr<const ui::TCatalogue> StartCatalogue(platform::Platform& os) {
  std::string chosen;
  try {
    const TMemIniFile settings(os.files, SettingsFolder(os.shell) + "general.conf");
    chosen = ReadLanguageChoice(settings);
  } catch (const std::exception& error) {
    os.debug.Write(std::string("language: the settings could not be read: ") + error.what());
  }
  // The organisation's language, where it set one, comes before the user's.
  if (std::optional<std::string> ordered = ReadPolicy(os.registry, os.debug).Language) chosen = *ordered;
  const std::string exe_folder = ExeFolder(os.system);
  const std::string tag = ChooseLanguage(chosen, os.system.PreferredUILanguages(), CatalogueTags(os.files, exe_folder));
  os.debug.Write("language: " + tag);
  return tag == "en" ? nullptr : LoadCatalogue(os.files, exe_folder, tag);
}
