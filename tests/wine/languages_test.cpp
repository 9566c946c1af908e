// The real program in each shipped language: started with the language chosen in its settings,
// the settings page, a scan's results page and both tabs of the options dialog show every caption
// from the catalogue (none left in English where the catalogue has another text), each within its
// control and its parent, and no text over another. Once more started by the display language
// alone, as Wine reports it for the locale a Linux user runs it in.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win32/wide_text.h"
#include "tests/wine/support/file_tree.h"
#include "tests/wine/support/gui_driver.h"
#include "tests/wine/support/screenshot.h"
#include "ui/tr.h"

namespace {

const char* const kTags[] = {"de", "fr", "es", "it", "pt-BR", "pl", "ru", "tr", "ja", "zh-CN", "ko", "nl"};

std::shared_ptr<const ui::TCatalogue> InstalledCatalogue(const std::string& tag) {
  std::ifstream in("C:\\Program Files\\Clutterix\\lang\\" + tag + ".mo", std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  std::optional<ui::TCatalogue> catalogue = ui::TCatalogue::Parse(bytes.str());
  return catalogue ? std::make_shared<const ui::TCatalogue>(std::move(*catalogue)) : nullptr;
}

// The test looks captions up as the program does, in the language under test; English after.
class Language {
 public:
  explicit Language(const std::string& tag) {
    ui::SetCatalogue(InstalledCatalogue(tag));
    WriteText(SettingsFilePath(), "[General]\r\nLanguage=" + tag + "\r\n");
  }
  ~Language() {
    ui::SetCatalogue(nullptr);
    ResetSettingsFile();
  }
};

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string Trimmed(std::string text) {
  text.erase(0, text.find_first_not_of(' '));
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

// The width of a caption in the program's face for the window text at this DPI (Tahoma 8 pt, or
// the face the language names), the access key's mark left out.
int TextWidth(std::string text, int dpi) {
  std::erase(text, '&');
  std::string face = "Tahoma";
  for (const std::string& named : ui::FacesFor("Tahoma")) {
    face = named;
    break;
  }
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT font = CreateFontA(-(11 * dpi / 96), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face.c_str());
  HGDIOBJ old = SelectObject(dc, font);
  const std::wstring wide = platform::win32::Wide(text);
  SIZE extent{};
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &extent);
  SelectObject(dc, old);
  DeleteObject(font);
  DeleteDC(dc);
  return extent.cx;
}

struct Shown {
  HWND window;
  std::string cls, text;
  RECT place;  // on the screen
};

BOOL CALLBACK AddShown(HWND window, LPARAM param) {
  if (!IsWindowVisible(window) || !IsWindowVisible(GetParent(window))) return TRUE;
  RECT place;
  GetWindowRect(window, &place);
  reinterpret_cast<std::vector<Shown>*>(param)->push_back({window, ClassOf(window), WindowText(window), place});
  return TRUE;
}

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

bool Overlap(const RECT& a, const RECT& b) {
  RECT both;
  return IntersectRect(&both, &a, &b) != FALSE;
}

// Every caption of the window's controls is translated, fits its control, stays within its parent,
// and no label lies over another captioned control.
void ExpectTranslatedAndFitting(HWND top, const std::set<std::string>& english, const std::string& where) {
  SCOPED_TRACE(where);
  const int dpi = DisplayDpi();
  std::vector<Shown> shown;
  EnumChildWindows(top, AddShown, reinterpret_cast<LPARAM>(&shown));
  for (const Shown& c : shown) {
    const std::string text = Trimmed(c.text);
    if (text.empty()) continue;
    EXPECT_FALSE(english.count(text)) << c.cls << " \"" << c.text << "\" is still English";
    RECT parent;
    GetClientRect(GetParent(c.window), &parent);
    MapWindowPoints(GetParent(c.window), nullptr, reinterpret_cast<POINT*>(&parent), 2);
    EXPECT_TRUE(Inside(c.place, parent)) << c.cls << " \"" << c.text << "\" leaves its parent";
    const LONG style = GetWindowLongA(c.window, GWL_STYLE);
    const int width = c.place.right - c.place.left;
    if (c.cls == "Button") {
      // A push button's margins, a check box's box and gap, a group box's insets.
      const int type = style & BS_TYPEMASK;
      const int room = type == BS_GROUPBOX ? 16 : type == BS_AUTOCHECKBOX ? 18 : 8;
      EXPECT_LE(TextWidth(c.text, dpi) + MulDiv(room, dpi, 96), width) << "\"" << c.text << "\" is cut";
    }
    if (c.cls != "CxLabel") continue;
    for (const Shown& other : shown) {
      const bool sibling = other.window != c.window && GetParent(other.window) == GetParent(c.window);
      if (!sibling || Trimmed(other.text).empty() || other.cls == "CxPicture") continue;
      EXPECT_FALSE(Overlap(c.place, other.place)) << "\"" << c.text << "\" lies over \"" << other.text << "\"";
    }
  }
}

class LanguageTest : public ::testing::TestWithParam<const char*> {};

TEST_P(LanguageTest, EveryPageAndTheOptionsShowTheCatalogueAndHoldIt) {
  const std::string tag = GetParam();
  const std::shared_ptr<const ui::TCatalogue> catalogue = InstalledCatalogue(tag);
  ASSERT_NE(catalogue, nullptr) << tag;
  const std::vector<std::string> changed = catalogue->ChangedTexts();
  const std::set<std::string> english(changed.begin(), changed.end());
  Language language(tag);

  GuiProgram program;
  HWND main = StartMainWindow(program);
  ASSERT_NE(main, nullptr);
  ASSERT_NE(FindChild(main, ui::Tr("Advanced Options")), nullptr) << "the settings page is not in " << tag;
  ExpectTranslatedAndFitting(main, english, "settings page");
  Screenshot(main, "lang-" + tag + "-settings");

  HWND options = OpenOptionsDialog(program, main);
  ASSERT_NE(options, nullptr);
  ExpectTranslatedAndFitting(options, english, "options, tab Other");
  Screenshot(options, "lang-" + tag + "-options");
  ClickControl(FindChild(options, ui::Tr("&OK")));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(options); }));

  ASSERT_NE(ScanToResults(main), nullptr);
  ExpectTranslatedAndFitting(main, english, "results page");
  Screenshot(main, "lang-" + tag + "-results");
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitForExit());
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
