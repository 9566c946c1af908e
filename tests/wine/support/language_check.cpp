#include "tests/wine/support/language_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/win32/wide_text.h"
#include "tests/wine/support/file_tree.h"
#include "tests/wine/support/gui_driver.h"
#include "tests/wine/support/screenshot.h"
#include "ui/tr.h"

std::shared_ptr<const ui::TCatalogue> InstalledCatalogue(const std::string& tag) {
  std::ifstream in("C:\\Program Files\\Clutterix\\lang\\" + tag + ".mo", std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  std::optional<ui::TCatalogue> catalogue = ui::TCatalogue::Parse(bytes.str());
  return catalogue ? std::make_shared<const ui::TCatalogue>(std::move(*catalogue)) : nullptr;
}

TestLanguage::TestLanguage(const std::string& tag) {
  std::shared_ptr<const ui::TCatalogue> catalogue = InstalledCatalogue(tag);
  loaded_ = catalogue != nullptr;
  if (catalogue)
    for (std::string& text : catalogue->ChangedTexts()) english_.insert(std::move(text));
  ui::SetCatalogue(std::move(catalogue));
  WriteText(SettingsFilePath(), "[General]\r\nLanguage=" + tag + "\r\n");
}

TestLanguage::~TestLanguage() {
  ui::SetCatalogue(nullptr);
  ResetSettingsFile();
}

namespace {

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

}  // namespace

// Every caption of the window's controls is translated, fits its control, stays within its parent,
// and no label lies over another captioned control.
void ExpectTranslatedAndFitting(HWND top, const TestLanguage& language, const std::string& where) {
  const std::set<std::string>& english = language.English();
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

void ExpectEveryPageInLanguage(const std::string& tag, const std::string& name) {
  TestLanguage language(tag);
  ASSERT_TRUE(language.Loaded()) << tag;
  GuiProgram program;
  HWND main = StartMainWindow(program);
  ASSERT_NE(main, nullptr);
  ASSERT_NE(FindChild(main, ui::Tr("Advanced Options")), nullptr) << "the settings page is not in " << tag;
  ExpectTranslatedAndFitting(main, language, "settings page");
  Screenshot(main, name + "-settings");

  HWND options = OpenOptionsDialog(program, main);
  ASSERT_NE(options, nullptr);
  ExpectTranslatedAndFitting(options, language, "options dialog");
  Screenshot(options, name + "-options");
  ClickControl(FindChild(options, ui::Tr("&OK")));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(options); }));

  ASSERT_NE(ScanToResults(main), nullptr);
  ExpectTranslatedAndFitting(main, language, "results page");
  Screenshot(main, name + "-results");
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitForExit());
}
