// The real program under Wine, driven from outside through its windows.
#include <gtest/gtest.h>

#include "tests/wine/support/gui_driver.h"

namespace {

TEST(StartupGuiTest, TheSettingsPageAboutBoxAndCloseWorkThroughTheRealWindows) {
  ResetSettingsFile();
  GuiProgram program;
  ASSERT_TRUE(program.started()) << kInstalledProgram;
  HWND main = StartMainWindow(program);
  ASSERT_NE(main, nullptr);
  const SIZE client = ClientSize(main);
  EXPECT_EQ(client.cx, 741);
  // The client area is designed as 566 high, and the outer height is held at 598 or more: where
  // the frame is thinner than XP's and Vista's (Wine's, without a window manager), the client
  // area grows to keep that outer height.
  RECT outer;
  GetWindowRect(main, &outer);
  EXPECT_GE(client.cy, 566);
  EXPECT_EQ(outer.right - outer.left, 747);
  EXPECT_GE(outer.bottom - outer.top, 598);

  // The six categories stand at left 244, top to bottom in this order.
  const char* order[] = {"   Recycle Bins",  "   Temp Internet Files",  "   Temp Folders",
                         "   Old Log Files", "   Old Image Thumbnails", "   Backup Files for Windows Update"};
  const int tops[] = {203, 226, 249, 272, 295, 318};
  for (int i = 0; i < 6; ++i) {
    HWND box = FindChild(main, order[i]);
    ASSERT_NE(box, nullptr) << order[i];
    const RECT place = ClientPlace(box);
    EXPECT_EQ(place.left, 244) << order[i];
    EXPECT_EQ(place.top, tops[i]) << order[i];
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED) << order[i] << " is ticked by default";
  }

  HWND about_link = FindChild(main, "About");
  ASSERT_NE(about_link, nullptr);
  ClickControl(about_link);
  HWND about = program.WaitForWindow("About");
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(ClientSize(about).cx, 421);
  PostMessageA(about, WM_CLOSE, 0, 0);

  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitForExit());
}

}  // namespace
