#include "scan/trace_definitions.h"

#include "platform/shell.h"
#include "platform/text.h"
#include "settings/mem_ini_file.h"

const std::array<TGarbageCategory, kCategoryCount>& GarbageCategories() {
  using platform::kCsidlInternetCache;
  using platform::kCsidlLocalAppData;
  using platform::kCsidlRecent;
  constexpr TFolderSource kInternetCache{TFolderSource::kSpecialFolder, kCsidlInternetCache};
  static const std::array<TGarbageCategory, kCategoryCount> categories = {{
      {"Recycle", {}},
      // "%APPLOCAL%" means the Recent folder here but local application data under "Temp": the
      // shipped rule files are written to match.
      {"Internet Cache",
       {{"%IEINETCACHE%", kInternetCache}, {"%APPLOCAL%", {TFolderSource::kSpecialFolder, kCsidlRecent}}}},
      {"Temp",
       {{"%IEINETCACHE%", kInternetCache},
        {"%APPLOCAL%", {TFolderSource::kSpecialFolder, kCsidlLocalAppData}},
        {"%RECENTDIR%", {TFolderSource::kSpecialFolder, kCsidlLocalAppData}}}},
      {"Images Databases", {}},
      {"Logs", {}},
      {"Windows Installer Backups", {{"%WINDOWSDIR%", {TFolderSource::kWindowsDir, 0}}}},
  }};
  return categories;
}

TTraceDefinition ReadTraceDefinition(const TMemIniFile& document, const std::string& section) {
  TTraceDefinition definition;
  definition.Level = document.ReadString(section, "Level", "");
  definition.Path = document.ReadString(section, "Path", "");
  definition.Template = document.ReadString(section, "Template", "*");
  definition.Type = document.ReadInteger(section, "Type", 1);
  definition.SearchRule = document.ReadInteger(section, "SearchRule", 0);
  return definition;
}

void AddTraceRules(const TMemIniFile& document, const TTickedCategories& ticked, const TFolderLookup& lookup,
                   TScanJob& job) {
  const auto& categories = GarbageCategories();
  for (const std::string& section : document.ReadSections()) {
    const std::string level = document.ReadString(section, "Level", "");
    for (size_t c = 0; c < categories.size(); ++c) {
      if (!ticked[c] || level != categories[c].level) continue;
      TTraceDefinition definition = ReadTraceDefinition(document, section);
      for (const TPlaceholder& placeholder : categories[c].placeholders) {
        const std::string folder = lookup(placeholder.source);
        definition.Path = platform::ReplaceAllIgnoreCase(definition.Path, placeholder.text, folder);
      }
      job.Paths.push_back(definition.Path);
      job.Templates.push_back(definition.Template);
      job.Types.push_back(std::to_string(definition.Type));
      job.SearchRules.push_back(std::to_string(definition.SearchRule));
      break;  // a section has one Level, so it gives at most one rule
    }
  }
}
