// The real program on a display of 144 and 192 DPI (the prefix's LogPixels, which each program
// reads as it starts) against the same program at 96 DPI: the window's client area and every
// control's place scale by the DPI, on the settings page and on the results page, and no control
// leaves its parent. These tests have a prefix of their own with a screen large enough for the
// window at 200 %, so that the DPI they set never reaches the other tests.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/wine/support/file_tree.h"
#include "tests/wine/support/gui_driver.h"
#include "tests/wine/support/language_check.h"
#include "tests/wine/support/screenshot.h"

namespace {

void SetDisplayDpi(int dpi) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  const DWORD value = static_cast<DWORD>(dpi);
  EXPECT_EQ(RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

struct Placed {
  std::string what;  // class and caption, for the messages
  RECT place;        // in the main window's client area
  bool inside;       // within its parent's client area
  bool check_box;
  bool caption_fits;  // a check box's: its caption in the form's font beside the box
};

struct Page {
  int dpi = 96;
  SIZE client{};
  std::vector<Placed> controls;  // the visible ones, in the order the system lists them
};

// Whether a check box holds its caption in the font of the program's forms (Tahoma 8 pt, 11 px
// at 96 DPI, scaled towards zero) with room for the box and the gap before the text.
bool CaptionFits(HWND box, int dpi) {
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT font = CreateFontA(-(11 * dpi / 96), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Tahoma");
  HGDIOBJ old = SelectObject(dc, font);
  std::string text = WindowText(box);
  std::erase(text, '&');  // a mnemonic's mark is not drawn
  SIZE extent{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  SelectObject(dc, old);
  DeleteObject(font);
  DeleteDC(dc);
  RECT r;
  GetClientRect(box, &r);
  return extent.cx + MulDiv(16, dpi, 96) <= r.right;
}

BOOL CALLBACK AddVisible(HWND window, LPARAM param) {
  if (!IsWindowVisible(window)) return TRUE;
  char cls[64] = {};
  GetClassNameA(window, cls, sizeof cls);
  // The category hint's panel shows only while the pointer rests on a box, as it may where the
  // window opens under it, and the placeholder text takes turns with it: not the page's layout.
  char parent_cls[64] = {};
  GetClassNameA(GetParent(window), parent_cls, sizeof parent_cls);
  if (std::string(cls) == "CxPanel" || std::string(parent_cls) == "CxPanel" ||
      WindowText(window) == "Point at a category to see what it cleans.")
    return TRUE;
  RECT own, parent;
  GetWindowRect(window, &own);
  HWND up = GetParent(window);
  GetClientRect(up, &parent);
  MapWindowPoints(up, nullptr, reinterpret_cast<POINT*>(&parent), 2);
  const bool inside =
      own.left >= parent.left && own.top >= parent.top && own.right <= parent.right && own.bottom <= parent.bottom;
  Page& page = *reinterpret_cast<Page*>(param);
  const bool check_box =
      (GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX && std::string(cls) == "Button";
  page.controls.push_back({std::string(cls) + " \"" + WindowText(window) + "\"", ClientPlace(window), inside, check_box,
                           check_box && CaptionFits(window, page.dpi)});
  return TRUE;
}

Page PageOf(HWND main, int dpi) {
  Page page;
  page.dpi = dpi;
  page.client = ClientSize(main);
  EnumChildWindows(main, AddVisible, reinterpret_cast<LPARAM>(&page));
  return page;
}

struct Pages {
  Page settings, results;
};

// Starts the program at the display's DPI, reads the settings page, scans and reads the results
// page; with pictures of both for a person to look at.
Pages RunAt(int dpi) {
  SetDisplayDpi(dpi);
  Pages pages;
  GuiProgram program;
  HWND main = StartMainWindow(program);
  EXPECT_NE(main, nullptr) << dpi << " DPI";
  if (!main) return pages;
  pages.settings = PageOf(main, dpi);
  const std::string name = "dpi-" + std::to_string(dpi);
  Screenshot(main, name + "-settings");
  HWND list = ScanToResults(main);
  EXPECT_NE(list, nullptr) << dpi << " DPI";
  if (list) {
    pages.results = PageOf(main, dpi);
    Screenshot(main, name + "-results");
  }
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitForExit());
  return pages;
}

// Each edge of a place at 96 DPI scaled to the nearest pixel, as the widget layer scales them.
LONG Scaled(LONG px, int dpi) { return MulDiv(px, dpi, 96); }

void ExpectScaled(const Page& base, const Page& page, int dpi, const char* which) {
  SCOPED_TRACE(std::string(which) + " page at " + std::to_string(dpi) + " DPI");
  EXPECT_NEAR(page.client.cx, Scaled(base.client.cx, dpi), 1);
  EXPECT_NEAR(page.client.cy, Scaled(base.client.cy, dpi), 1);
  auto names = [](const Page& p) {
    std::string all;
    for (const Placed& c : p.controls) all += "\n  " + c.what;
    return all;
  };
  ASSERT_EQ(page.controls.size(), base.controls.size()) << names(base) << "\nbecame" << names(page);
  for (size_t i = 0; i < page.controls.size(); ++i) {
    const Placed& at = page.controls[i];
    const Placed& was = base.controls[i];
    ASSERT_EQ(at.what, was.what) << i;
    EXPECT_TRUE(at.inside) << at.what << " leaves its parent";
    // A place may differ by a pixel or two beyond the rounding; a label and the list's header
    // take the height or width of their text, which a font of another height measures in other
    // proportions.
    EXPECT_NEAR(at.place.left, Scaled(was.place.left, dpi), 2) << at.what;
    EXPECT_NEAR(at.place.top, Scaled(was.place.top, dpi), 2) << at.what;
    if (at.what.starts_with("CxLabel") || at.what.starts_with("SysHeader32")) continue;
    EXPECT_NEAR(at.place.bottom, Scaled(was.place.bottom, dpi), 2) << at.what;
    // A check box grows where a font of this height needs more room than the design's. At 96 DPI
    // the designed widths stand, though Wine's gap before the text cuts the last pixel or two of
    // some captions there.
    if (at.check_box) {
      EXPECT_TRUE(at.caption_fits) << at.what << " cuts its caption";
      EXPECT_GE(at.place.right, Scaled(was.place.right, dpi) - 2) << at.what;
      continue;
    }
    EXPECT_NEAR(at.place.right, Scaled(was.place.right, dpi), 2) << at.what;
  }
}

class DisplayDpiTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    ResetSettingsFile();
    CreateDirectoryA("C:\\windows\\Temp", nullptr);
    WriteBytes(kFile, 20000);  // a row on the results page, above the noise level
  }
  void TearDown() override {
    DeleteFileA(kFile.c_str());
    SetDisplayDpi(96);
  }
  const std::string kFile = "C:\\windows\\Temp\\cxdpi.tmp";
};

TEST_P(DisplayDpiTest, PlacesScaleByTheDpiAndStayInsideTheirParents) {
  const Pages base = RunAt(96);
  ASSERT_FALSE(base.settings.controls.empty());
  ASSERT_FALSE(base.results.controls.empty());
  for (const Placed& control : base.settings.controls) EXPECT_TRUE(control.inside) << control.what << " at 96 DPI";
  const Pages scaled = RunAt(GetParam());
  ExpectScaled(base.settings, scaled.settings, GetParam(), "settings");
  ExpectScaled(base.results, scaled.results, GetParam(), "results");
}

INSTANTIATE_TEST_SUITE_P(Displays, DisplayDpiTest, ::testing::Values(144, 192));

// The languages whose captions run longest (German, Russian) and the one drawn with another face
// (Japanese) hold their captions at a high DPI too.
struct LanguageAtDpi {
  const char* tag;
  int dpi;
};

class LanguageDpiTest : public ::testing::TestWithParam<LanguageAtDpi> {
 protected:
  void TearDown() override { SetDisplayDpi(96); }
};

TEST_P(LanguageDpiTest, CaptionsFitAtThisDpi) {
  SetDisplayDpi(GetParam().dpi);
  ExpectEveryPageInLanguage(GetParam().tag,
                            std::string("dpi-") + std::to_string(GetParam().dpi) + "-" + GetParam().tag);
}

INSTANTIATE_TEST_SUITE_P(Languages, LanguageDpiTest,
                         ::testing::Values(LanguageAtDpi{"de", 144}, LanguageAtDpi{"ru", 192},
                                           LanguageAtDpi{"ja", 192}),
                         [](const ::testing::TestParamInfo<LanguageAtDpi>& info) {
                           return std::string(info.param.tag) + std::to_string(info.param.dpi);
                         });

}  // namespace
