// The real program in each shipped language (see language_check.h for what is checked on each
// page), and once started by the display language alone.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/wine/support/gui_driver.h"
#include "tests/wine/support/language_check.h"
#include "ui/tr.h"

namespace {

const char* const kTags[] = {"de", "fr", "es", "it", "pt-BR", "pl", "ru", "tr", "ja", "zh-CN", "ko", "nl"};

class LanguageTest : public ::testing::TestWithParam<const char*> {};

TEST_P(LanguageTest, EveryPageAndTheOptionsShowTheCatalogueAndHoldIt) {
  ExpectEveryPageInLanguage(GetParam(), std::string("lang-") + GetParam());
}

INSTANTIATE_TEST_SUITE_P(Shipped, LanguageTest, ::testing::ValuesIn(kTags),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           std::string name = info.param;
                           std::erase(name, '-');
                           return name;
                         });

// With no language chosen, the display language decides. Wine takes it from the locale its
// process starts in, which a test cannot change for the programs it starts: ctest runs this one
// again under a Russian locale (wine.languages.display_language), and elsewhere it is skipped.
TEST(LanguageChoiceTest, TheDisplayLanguageChoosesWhenTheUserHasNot) {
  if (PRIMARYLANGID(GetUserDefaultUILanguage()) != LANG_RUSSIAN) GTEST_SKIP() << "needs a Russian locale";
  ResetSettingsFile();
  ui::SetCatalogue(InstalledCatalogue("ru"));
  GuiProgram program;
  HWND main = StartMainWindow(program);
  ASSERT_NE(main, nullptr);
  EXPECT_NE(FindChild(main, ui::Tr("Advanced Options")), nullptr);
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitForExit());
  ui::SetCatalogue(nullptr);
}

}  // namespace
