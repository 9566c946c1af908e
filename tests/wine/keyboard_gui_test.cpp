// The real program driven by the keyboard alone: Tab walks the controls in the order they are on
// screen, the start picture starts a scan, Space ticks a row, Enter cleans, Escape and Enter leave
// the options dialog, and the focus comes back where it was. What a screen reader is told of the
// start picture and of a row is read through the system's accessibility interface.
#include <gtest/gtest.h>
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>
// clang-format on

#include <cstdio>
#include <string>
#include <vector>

#include "tests/wine/support/file_tree.h"
#include "tests/wine/support/gui_driver.h"
#include "tests/wine/support/screenshot.h"

namespace {

// The control that has the keyboard focus on the window's thread.
HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

// A key pressed and released as the keyboard does it (with Shift held when asked); the system
// gives it to the foreground window's focused control.
void Press(WORD key, bool shift = false) {
  std::vector<INPUT> inputs;
  auto add = [&](WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(in);
  };
  if (shift) add(VK_SHIFT, false);
  add(key, false);
  add(key, true);
  if (shift) add(VK_SHIFT, true);
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Presses Tab and waits until the focus has moved off `from`; the control it reached.
HWND TabFrom(HWND main, HWND from, bool shift = false) {
  Press(VK_TAB, shift);
  HWND now = nullptr;
  WaitUntil([&] { return (now = FocusOf(main)) != from && now != nullptr; }, 10000);
  return now;
}

// Tabs until `target` has the focus (at most `limit` presses); whether it got there.
bool TabTo(HWND main, HWND target, int limit = 20) {
  for (int i = 0; i < limit && FocusOf(main) != target; ++i) TabFrom(main, FocusOf(main));
  return FocusOf(main) == target;
}

struct Accessible {
  std::string name;
  long role = 0;
};

// What a screen reader learns of a window's client area, or of one of its children (a row).
Accessible AccessibleOf(HWND window, long child = CHILDID_SELF) {
  Accessible out;
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                        reinterpret_cast<void**>(&object))) ||
      !object)
    return out;
  VARIANT id;
  VariantInit(&id);
  id.vt = VT_I4;
  id.lVal = child;
  BSTR name = nullptr;
  if (SUCCEEDED(object->get_accName(id, &name)) && name) {
    char text[512] = {};
    WideCharToMultiByte(CP_UTF8, 0, name, -1, text, sizeof text - 1, nullptr, nullptr);
    out.name = text;
    SysFreeString(name);
  }
  VARIANT role;
  VariantInit(&role);
  if (SUCCEEDED(object->get_accRole(id, &role)) && role.vt == VT_I4) out.role = role.lVal;
  object->Release();
  return out;
}

int FocusedRow(HWND list) {
  return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

class KeyboardGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSettingsFile();
    CoInitialize(nullptr);
    CreateDirectoryA("C:\\windows\\Temp", nullptr);
    WriteBytes(kFile, 20000);
  }
  void TearDown() override {
    DeleteFileA(kFile.c_str());
    CoUninitialize();
  }
  const std::string kFile = "C:\\windows\\Temp\\cxkeys-only.tmp";
};

TEST_F(KeyboardGuiTest, TabFollowsTheScreenAndKeysAloneScanTickCleanAndLeaveTheOptions) {
  GuiProgram program;
  HWND main = StartMainWindow(program);
  ASSERT_NE(main, nullptr);
  SetForegroundWindow(main);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main; }, 10000));

  // The settings page, Tab by Tab from wherever the focus starts, once round.
  HWND start = StartPicture(main);
  HWND options_link = FindChild(main, "Advanced Options");
  HWND about_link = FindChild(main, "About");
  ASSERT_TRUE(start && options_link && about_link);
  ASSERT_TRUE(TabTo(main, about_link)) << "the About link takes the focus";
  std::vector<HWND> order;
  HWND at = about_link;
  for (int i = 0; i < 12; ++i) {
    at = TabFrom(main, at);
    if (at == about_link) break;
    order.push_back(at);
  }
  ASSERT_EQ(order.size(), 8u) << "six categories, the options link, the start picture";
  for (size_t i = 0; i < 6; ++i) {
    char cls[32] = {};
    GetClassNameA(order[i], cls, sizeof cls);
    EXPECT_STREQ(cls, "Button") << i;
    if (i > 0) {
      EXPECT_GT(ClientPlace(order[i]).top, ClientPlace(order[i - 1]).top) << "categories top to bottom";
    }
  }
  EXPECT_NE(WindowText(order[0]).find("Recycle Bins"), std::string::npos);
  EXPECT_EQ(order[6], options_link);
  EXPECT_EQ(order[7], start);
  EXPECT_EQ(TabFrom(main, about_link, true), start) << "Shift+Tab walks back";

  // What a screen reader says of the focused start picture.
  Screenshot(main, "keyboard-focus-on-start");
  const Accessible picture = AccessibleOf(start);
  EXPECT_EQ(picture.name, "Start Scan");
  // Windows reports the annotated role (a push button); Wine's oleacc keeps its own (a client).
  if (picture.role != ROLE_SYSTEM_CLIENT) {
    EXPECT_EQ(picture.role, ROLE_SYSTEM_PUSHBUTTON);
  }

  // Enter on the start picture scans.
  HWND clean_selected = FindChild(main, "Clean Selected");
  HWND clean_all = FindChild(main, "Clean All");
  ASSERT_TRUE(clean_selected && clean_all);
  Press(VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(clean_all) && IsWindowEnabled(clean_all); }, 180000));
  HWND list = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (list = ResultsList(main)) != nullptr; }, 10000));
  const auto rows = ListViewRows(list, 3);
  const auto* row = FindRow(rows, kFile);
  ASSERT_NE(row, nullptr) << rows.size() << " rows";
  const int index = static_cast<int>(row - rows.data());

  // The results page takes the focus from the start picture it hid: the list has it, no Tab
  // needed; then the buttons left to right.
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(main) == list; }, 10000)) << "the list has the focus";
  std::vector<HWND> buttons;
  at = list;
  for (int i = 0; i < 4; ++i) {
    at = TabFrom(main, at);
    if (at == about_link) break;
    buttons.push_back(at);
  }
  ASSERT_EQ(buttons.size(), 3u) << "Back to Settings, Clean Selected, Clean All (Stop Scanning is off)";
  EXPECT_EQ(WindowText(buttons[0]), "Back to Settings");
  EXPECT_EQ(buttons[1], clean_selected);
  EXPECT_EQ(buttons[2], clean_all);

  // Space ticks the focused row, which the arrows reach.
  ASSERT_TRUE(TabTo(main, list));
  Press(VK_HOME);
  for (int i = 0; i < index; ++i) Press(VK_DOWN);
  ASSERT_TRUE(WaitUntil([&] { return FocusedRow(list) == index; }, 10000));
  ASSERT_FALSE(ListViewChecked(list, index));
  Press(VK_SPACE);
  ASSERT_TRUE(WaitUntil([&] { return ListViewChecked(list, index); }, 10000)) << "Space ticks the row";
  const Accessible item = AccessibleOf(list, index + 1);
  // The list view is the system's own; where oleacc has no object for its rows (Wine) the name
  // is empty and the path was read from the row above.
  if (!item.name.empty()) {
    EXPECT_EQ(item.name, kFile) << "a row is named by its path";
  }
  std::printf("accessible: start picture \"%s\" role %ld; row \"%s\" role %ld\n", picture.name.c_str(), picture.role,
              item.name.c_str(), item.role);

  // Tab to "Clean Selected", Enter: only that row is cleaned, and the list keeps its focus row.
  ASSERT_TRUE(TabTo(main, clean_selected));
  Press(VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] {
    const auto now = ListViewRows(list, 3);
    const auto* r = FindRow(now, kFile);
    return r && (*r)[2] == "File Deleted" && IsWindowEnabled(clean_all);
  }));
  EXPECT_FALSE(PathExists(kFile));
  EXPECT_EQ(FocusedRow(list), index) << "the focus row survives the refresh";
  EXPECT_EQ(FocusOf(main), clean_selected) << "the button keeps the focus after the run";

  // Back to the settings, then the options dialog by Enter on its link; Escape leaves it.
  ASSERT_TRUE(TabTo(main, buttons[0]));
  Press(VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(options_link); }, 10000));
  ASSERT_TRUE(TabTo(main, options_link));
  Press(VK_RETURN);
  HWND options = program.WaitForWindow("Options");
  ASSERT_NE(options, nullptr) << "Enter opens the link";
  Press(VK_ESCAPE);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(options); }, 10000)) << "Escape leaves the dialog";
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(main) == options_link; }, 10000)) << "the focus is back on the link";

  // Enter in the dialog is its OK, which stores the settings.
  DeleteFileA(SettingsFilePath().c_str());
  Press(VK_RETURN);
  options = program.WaitForWindow("Options");
  ASSERT_NE(options, nullptr);
  Press(VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(options); }, 10000)) << "Enter is the dialog's OK";
  EXPECT_TRUE(PathExists(SettingsFilePath())) << "OK stored the settings";
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(main) == options_link; }, 10000));

  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitForExit());
}

}  // namespace
