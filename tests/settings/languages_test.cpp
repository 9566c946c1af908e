// Which language a start speaks: the user's choice, the display languages of Windows with their
// fallbacks, the catalogues there are; and the choice as "general.conf" keeps it.
#include <gtest/gtest.h>

#include "ini/mem_ini_file.h"
#include "settings/languages.h"
#include "settings/system_paths.h"
#include "tests/support/fake_platform.h"

namespace {

const std::vector<std::string> kShipped = {"de", "fr", "ja", "pt-BR", "ru", "zh-CN"};

// A catalogue with nothing but its header.
std::string HeaderOnlyMo(const std::string& header) {
  std::string mo;
  auto word = [&](uint32_t w) {
    for (int i = 0; i < 4; ++i) mo += static_cast<char>(w >> (8 * i));
  };
  word(0x950412de), word(0), word(1), word(28), word(36), word(0), word(0);
  word(0), word(44), word(static_cast<uint32_t>(header.size())), word(45);
  return mo + '\0' + header + '\0';
}

}  // namespace

TEST(Languages, ChoiceThenDisplayLanguagesThenEnglish) {
  struct Case {
    std::string chosen;
    std::vector<std::string> preferred;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"", {"de-DE", "en-US"}, "de"},
      {"", {"de-AT"}, "de"},  // by its language
      {"", {"pt-BR", "pt-PT"}, "pt-BR"},
      {"", {"pt-PT"}, "pt-BR"},        // the one Portuguese there is
      {"", {"zh-TW", "ja-JP"}, "ja"},  // never the Simplified script for the Traditional
      {"", {"zh-Hans-CN"}, "zh-CN"},
      {"", {"zh_cn"}, "zh-CN"},        // case and separator do not matter
      {"", {"en-GB", "de-DE"}, "en"},  // English first: no catalogue needed
      {"", {"sv-SE", "fr-CA"}, "fr"},  // a fallback of the list
      {"", {"sv-SE"}, "en"},
      {"", {}, "en"},
      {"ru", {"de-DE"}, "ru"},  // the user's choice wins
      {"en", {"de-DE"}, "en"},
      {"ko", {"de-DE"}, "de"},  // a choice whose catalogue has gone: automatic
  };
  for (const Case& c : cases)
    EXPECT_EQ(ChooseLanguage(c.chosen, c.preferred, kShipped), c.expected)
        << c.chosen << " / " << (c.preferred.empty() ? "" : c.preferred.front());
}

TEST(Languages, StartLoadsTheChosenCatalogueAndListsEachByItsOwnName) {
  FakePlatform fake;
  const std::string lang = "C:\\Program Files\\Clutterix\\lang\\";
  fake.files.AddFileWithContent(lang + "de.mo", HeaderOnlyMo("Language: de\nX-Language-Name: Deutsch\n"));
  fake.files.AddFileWithContent(lang + "ru.mo", HeaderOnlyMo("Language: ru\nX-Language-Name: Русский\n"));
  fake.files.AddFileWithContent(lang + "xx.mo", "not a catalogue");
  fake.files.AddFileWithContent(lang + "notes.txt", "");

  const std::vector<TLanguage> available = AvailableLanguages(fake.files, "C:\\Program Files\\Clutterix\\");
  ASSERT_EQ(available.size(), 2u);
  EXPECT_EQ(available[0].Tag, "de");
  EXPECT_EQ(available[1].Name, "Русский");

  fake.system.preferred_languages = {"ru-RU"};
  ASSERT_NE(StartCatalogue(fake.os), nullptr);
  EXPECT_EQ(StartCatalogue(fake.os)->Header("Language"), "ru");

  const std::string conf = SettingsFolder(fake.shell) + "general.conf";
  fake.files.AddFileWithContent(conf, "[General]\r\nLanguage=de\r\n");
  EXPECT_EQ(StartCatalogue(fake.os)->Header("Language"), "de");
  fake.files.AddFileWithContent(conf, "[General]\r\nLanguage=en\r\n");
  EXPECT_EQ(StartCatalogue(fake.os), nullptr);
  // A hand-edited tag that reaches out of the folder loads nothing.
  EXPECT_EQ(LoadCatalogue(fake.files, "C:\\Program Files\\Clutterix\\", "..\\lang\\de"), nullptr);
}

TEST(Languages, AutomaticIsNoKeyUntilALanguageWasChosen) {
  FakePlatform fake;
  TMemIniFile ini(fake.files, "C:\\general.conf");
  WriteLanguageChoice(ini, "");
  EXPECT_TRUE(ini.ReadSections().empty());
  WriteLanguageChoice(ini, "ja");
  EXPECT_EQ(ReadLanguageChoice(ini), "ja");
  WriteLanguageChoice(ini, "");
  EXPECT_EQ(ReadLanguageChoice(ini), "");
}
