// The Win32 backend in-process under Wine: small test forms, real windows, the real message loop.
#include "ui/win32/backend_win32.h"
// clang-format off
#include <commctrl.h>
#include <dbt.h>
// clang-format on

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/main_thread_win32.h"
#include "platform/win32/win32_platform.h"
#include "ui/application.h"

namespace {

using ui::win32::Win32Backend;

// A form that records the private messages it is handed and can end the loop on one of them.
class TestForm : public ui::TForm {
 public:
  TestForm(ui::TApplication& app, std::string name) : ui::TForm(app, std::move(name)) {
    SetClientSize(400, 300);
    SetCaption(Name());
  }
  void HandleMessage(unsigned message) override {
    handled.push_back(message);
    if (message == kQuit) Application().Terminate();
  }
  static constexpr unsigned kQuit = WM_USER + 7;
  std::vector<unsigned> handled;
};

class BackendTest : public ::testing::Test {
 protected:
  BackendTest()
      : files_(platform::win32::CreateFileSystem()), backend_(GetModuleHandleA(nullptr)), app_(backend_, *files_) {
    app_.SetTitle("Backend test");
  }
  // The windows go before the forms do.
  ~BackendTest() override { backend_.Shutdown(); }

  TestForm& NewForm(const std::string& name) {
    forms_.push_back(std::make_unique<TestForm>(app_, name));
    return *forms_.back();
  }
  HWND Window(ui::TControl& control) { return backend_.WindowOf(control); }

  // Runs the message loop until nothing is left to do now (and at least `ms` have passed).
  static void Pump(DWORD ms = 0) {
    const DWORD start = GetTickCount();
    MSG msg;
    do {
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
      if (GetTickCount() - start < ms) Sleep(5);
    } while (GetTickCount() - start < ms);
  }

  // A list's window learns of new rows at display rate: runs the message loop until it has
  // `rows` (or 10 s have passed, so that a lost sync fails the test's checks).
  // The lists learn of rows and columns at display rate: runs the loop until the window shows it.
  template <class Pred>
  static void PumpUntil(Pred shown) {
    const DWORD start = GetTickCount();
    Pump();
    while (!shown() && GetTickCount() - start < 10000) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
      Pump();
    }
  }
  static void PumpUntilRows(HWND list, int rows) {
    PumpUntil([&] { return ListView_GetItemCount(list) == rows; });
  }

  std::unique_ptr<platform::FileSystem> files_;
  Win32Backend backend_;
  ui::TApplication app_;
  std::vector<std::unique_ptr<TestForm>> forms_;
};

struct Found {
  const char* text;
  HWND hwnd;
};

BOOL CALLBACK FindByText(HWND hwnd, LPARAM param) {
  auto* found = reinterpret_cast<Found*>(param);
  char text[256] = {};
  GetWindowTextA(hwnd, text, sizeof text);
  if (std::string(text) == found->text) {
    found->hwnd = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND ChildByText(HWND parent, const char* text) {
  Found found{text, nullptr};
  EnumChildWindows(parent, FindByText, reinterpret_cast<LPARAM>(&found));
  return found.hwnd;
}

std::string ClassOf(HWND hwnd) {
  char name[64] = {};
  GetClassNameA(hwnd, name, sizeof name);
  return name;
}

RECT PlaceInParent(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::string CellText(HWND list, int row, int column) {
  char text[256] = {};
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return text;
}

bool RowChecked(HWND list, int row) {
  auto state = SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK);
  return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

TEST_F(BackendTest, ControlsAreChildWindowsWithTheirCaptionsPlacesAndState) {
  TestForm& form = NewForm("Controls form");
  auto* label = form.Add<ui::TLabel>(&form, "lbHello");
  label->SetCaption("Hello there");
  label->SetPosition(10, 12);
  auto* button = form.Add<ui::TButton>(&form, "btnPress");
  button->SetCaption("Press");
  button->SetBounds(20, 40, 90, 25);
  auto* check = form.Add<ui::TCheckBox>(&form, "cbTick");
  check->SetCaption("Tick");
  check->SetBounds(20, 80, 120, 17);
  form.Show();

  HWND hwnd = reinterpret_cast<HWND>(form.Handle());
  ASSERT_TRUE(IsWindowVisible(hwnd));
  char caption[64] = {};
  GetWindowTextA(hwnd, caption, sizeof caption);
  EXPECT_STREQ("Controls form", caption);
  RECT client;
  GetClientRect(hwnd, &client);
  EXPECT_EQ(400, client.right);
  EXPECT_EQ(300, client.bottom);

  HWND lb = ChildByText(hwnd, "Hello there");
  HWND btn = ChildByText(hwnd, "Press");
  HWND cb = ChildByText(hwnd, "Tick");
  ASSERT_TRUE(lb && btn && cb);
  EXPECT_EQ("Button", ClassOf(btn));
  EXPECT_EQ(10, PlaceInParent(lb).left);
  EXPECT_EQ(12, PlaceInParent(lb).top);
  // An auto-sized label takes the size of its text.
  EXPECT_GT(label->Width(), 20);
  EXPECT_GT(label->Height(), 5);
  RECT b = PlaceInParent(btn);
  EXPECT_EQ((RECT{20, 40, 110, 65}.left), b.left);
  EXPECT_EQ(65, b.bottom);

  // Changes of the model reach the windows; the user's doing reaches the model.
  label->SetCaption("Changed");
  EXPECT_EQ(lb, ChildByText(hwnd, "Changed"));
  check->SetChecked(true);
  EXPECT_EQ(BST_CHECKED, SendMessageA(cb, BM_GETCHECK, 0, 0));
  int clicks = 0;
  check->OnClick = [&](ui::TControl*) { ++clicks; };
  SendMessageA(cb, BM_CLICK, 0, 0);
  EXPECT_FALSE(check->Checked());
  EXPECT_EQ(1, clicks);
  button->SetVisible(false);
  EXPECT_FALSE(IsWindowVisible(btn));
  button->SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(btn));
}

// A page change hides one page's controls and shows the next one's; a control on both must never
// look hidden to another program (a screen reader, a test driving the window), nor the form.
TEST_F(BackendTest, ABatchOfChangesReachesTheWindowsAtItsEndAndNeverHidesWhatStaysShown) {
  TestForm& form = NewForm("Batch form");
  auto* stays = form.Add<ui::TButton>(&form, "btnStays");
  stays->SetCaption("Stays");
  stays->SetBounds(20, 40, 90, 25);
  auto* goes = form.Add<ui::TButton>(&form, "btnGoes");
  goes->SetCaption("Goes");
  goes->SetBounds(20, 80, 90, 25);
  form.Show();
  HWND hwnd = reinterpret_cast<HWND>(form.Handle());
  HWND stays_window = ChildByText(hwnd, "Stays");
  HWND goes_window = ChildByText(hwnd, "Goes");
  ASSERT_TRUE(stays_window && goes_window);

  {
    ui::TFormUpdate batch(form);
    stays->SetVisible(false);
    goes->SetVisible(false);
    stays->SetVisible(true);
    stays->SetPosition(150, 40);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_TRUE(IsWindowVisible(stays_window));
    EXPECT_TRUE(IsWindowVisible(goes_window)) << "changed only when the batch ends";
    EXPECT_EQ(20, PlaceInParent(stays_window).left);
  }
  EXPECT_TRUE(IsWindowVisible(stays_window));
  EXPECT_FALSE(IsWindowVisible(goes_window));
  EXPECT_EQ(150, PlaceInParent(stays_window).left);
}

// Tab follows the tab order, by default the creation order (the windows' z-order is their
// painting order instead), skipping what is hidden or disabled; Shift+Tab goes back.
TEST_F(BackendTest, TabMovesTheFocusInTabOrderAndAltPressesTheUnderlinedButton) {
  TestForm& form = NewForm("Keyboard form");
  std::vector<ui::TButton*> buttons;
  for (const char* name : {"One", "Two", "Three", "Four"}) {
    auto* b = form.Add<ui::TButton>(&form, name);
    b->SetCaption(name);
    b->SetBounds(10, 10 + 30 * static_cast<int>(buttons.size()), 80, 25);
    buttons.push_back(b);
  }
  buttons[2]->SetEnabled(false);
  form.Show();
  SetForegroundWindow(reinterpret_cast<HWND>(form.Handle()));
  SetFocus(Window(*buttons[0]));
  auto press = [&](bool shift) {
    // The loop reads the shift state from the keyboard state of the thread.
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    PostQuitMessage(0);  // once the queue is empty
    backend_.Run();
  };
  press(false);
  EXPECT_EQ(Window(*buttons[1]), GetFocus());
  press(false);
  EXPECT_EQ(Window(*buttons[3]), GetFocus());
  press(false);
  EXPECT_EQ(Window(*buttons[0]), GetFocus());
  press(true);
  EXPECT_EQ(Window(*buttons[3]), GetFocus());

  // A tab order of its own puts a control first.
  buttons[3]->SetTabOrder(0);
  buttons[0]->SetTabOrder(1);
  press(false);
  EXPECT_EQ(Window(*buttons[0]), GetFocus());

  // Alt and the underlined letter press the button.
  buttons[1]->SetCaption("T&wo");
  int clicks = 0;
  buttons[1]->OnClick = [&](ui::TControl*) { ++clicks; };
  PostMessageA(GetFocus(), WM_SYSCHAR, 'W', 0);
  PostQuitMessage(0);
  backend_.Run();
  EXPECT_EQ(1, clicks);
}

// Enter presses the default button from an edit, Escape the cancel one; a link that takes the
// focus opens on Enter and does not steal it from a push button; a button disabled under the
// focus gets it back when enabled again.
TEST_F(BackendTest, EnterAndEscapePressTheDefaultAndCancelButtonsAndLinksActOnEnter) {
  TestForm& form = NewForm("Dialog keys form");
  auto* edit = form.Add<ui::TEdit>(&form, "edit");
  edit->SetBounds(10, 10, 120, 21);
  auto* link = form.Add<ui::TLabel>(&form, "link");
  link->SetCaption("More Info...");
  link->SetBounds(10, 40, 80, 13);
  link->SetTabStop(true);
  auto* ok = form.Add<ui::TButton>(&form, "ok");
  ok->SetCaption("OK");
  ok->SetBounds(10, 70, 75, 25);
  ok->SetDefault(true);
  auto* cancel = form.Add<ui::TButton>(&form, "cancel");
  cancel->SetCaption("Cancel");
  cancel->SetBounds(90, 70, 75, 25);
  cancel->SetCancel(true);
  std::vector<std::string> pressed;
  ok->OnClick = [&](ui::TControl*) { pressed.push_back("ok"); };
  cancel->OnClick = [&](ui::TControl*) { pressed.push_back("cancel"); };
  link->OnClick = [&](ui::TControl*) { pressed.push_back("link"); };
  form.Show();
  SetForegroundWindow(reinterpret_cast<HWND>(form.Handle()));
  EXPECT_TRUE(GetWindowLongPtrW(Window(*ok), GWL_STYLE) & BS_DEFPUSHBUTTON);
  EXPECT_TRUE(GetWindowLongPtrW(Window(*link), GWL_STYLE) & WS_TABSTOP);
  auto key = [&](HWND to, WPARAM vk) {
    PostMessageA(to, WM_KEYDOWN, vk, 0);
    PostQuitMessage(0);
    backend_.Run();
  };
  SetFocus(Window(*edit));
  key(Window(*edit), VK_RETURN);
  key(Window(*edit), VK_ESCAPE);
  SetFocus(Window(*link));
  key(Window(*link), VK_RETURN);
  SetFocus(Window(*cancel));
  key(Window(*cancel), VK_RETURN);  // a focused push button is pressed, not the default one
  EXPECT_EQ(pressed, (std::vector<std::string>{"ok", "cancel", "link", "cancel"}));

  ok->SetEnabled(false);
  SetFocus(Window(*ok));  // refused: it is disabled
  SetFocus(Window(*cancel));
  cancel->SetEnabled(false);
  EXPECT_EQ(GetFocus(), reinterpret_cast<HWND>(form.Handle()));
  cancel->SetEnabled(true);
  EXPECT_EQ(GetFocus(), Window(*cancel));
}

TEST_F(BackendTest, PageControlShowsOnlyTheActiveSheetAndReportsTheUsersTab) {
  TestForm& form = NewForm("Pages form");
  auto* pages = form.Add<ui::TPageControl>(&form, "PageControl1");
  pages->SetBounds(5, 5, 300, 200);
  auto* first = form.Add<ui::TTabSheet>(pages, "tsFirst");
  first->SetCaption("First");
  auto* second = form.Add<ui::TTabSheet>(pages, "tsSecond");
  second->SetCaption("Second");
  auto* on_first = form.Add<ui::TCheckBox>(first, "cbOnFirst");
  on_first->SetCaption("On first");
  on_first->SetBounds(8, 8, 100, 17);
  auto* on_second = form.Add<ui::TEdit>(second, "editOnSecond");
  on_second->SetText("on second");
  on_second->SetBounds(8, 8, 100, 21);
  pages->SetActivePageIndex(1);
  form.Show();

  HWND tab = Window(*pages);
  EXPECT_EQ(2, TabCtrl_GetItemCount(tab));
  EXPECT_EQ(1, TabCtrl_GetCurSel(tab));
  EXPECT_FALSE(IsWindowVisible(Window(*on_first)));
  EXPECT_TRUE(IsWindowVisible(Window(*on_second)));

  int changes = 0;
  pages->OnChange = [&](ui::TControl*) { ++changes; };
  TabCtrl_SetCurSel(tab, 0);
  NMHDR header{tab, 0, static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageA(GetParent(tab), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
  EXPECT_EQ(0, pages->ActivePageIndex());
  EXPECT_EQ(1, changes);
  EXPECT_TRUE(IsWindowVisible(Window(*on_first)));
  EXPECT_FALSE(IsWindowVisible(Window(*on_second)));

  // A drop-down list mirrors its items and reports the user's choice.
  auto* combo = form.Add<ui::TComboBox>(first, "cbScanLevel");
  combo->SetBounds(8, 40, 150, 21);
  combo->SetItems({"Deep (Full Scan)", "Internet Garbage"});
  combo->SetItemIndex(0);
  HWND cb = Window(*combo);
  EXPECT_EQ(2, SendMessageA(cb, CB_GETCOUNT, 0, 0));
  EXPECT_EQ(0, SendMessageA(cb, CB_GETCURSEL, 0, 0));
  int picks = 0;
  combo->OnChange = [&](ui::TControl*) { ++picks; };
  SendMessageA(cb, CB_SETCURSEL, 1, 0);
  SendMessageA(GetParent(cb), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), reinterpret_cast<LPARAM>(cb));
  EXPECT_EQ(1, combo->ItemIndex());
  EXPECT_EQ(1, picks);

  // Typing in an edit reaches the model once; setting its text from code is no typing.
  int edits = 0;
  on_second->OnChange = [&](ui::TControl*) { ++edits; };
  on_second->SetText("from code");
  SetWindowTextA(Window(*on_second), "typed");
  EXPECT_EQ("typed", on_second->Text());
  EXPECT_EQ(1, edits);
}

TEST_F(BackendTest, DockedControlsFollowTheFormsSize) {
  TestForm& form = NewForm("Docking form");
  auto* top = form.Add<ui::TPanel>(&form, "panelTop");
  top->SetBounds(0, 0, 400, 40);
  top->SetAlign(ui::TAlign::alTop);
  auto* client = form.Add<ui::TMemo>(&form, "memoBody");
  client->SetAlign(ui::TAlign::alClient);
  client->SetAlignMargin(5);
  auto* buttons = form.Add<ui::TPanel>(&form, "panelButtons");
  buttons->SetBounds(0, 230, 400, 35);
  buttons->SetAlign(ui::TAlign::alBottom);
  auto* status = form.Add<ui::TStatusBar>(&form, "StatusBar1");
  status->SetBounds(0, 281, 400, 19);  // lowest: it takes the very bottom
  status->SetAlign(ui::TAlign::alBottom);
  form.Show();

  EXPECT_EQ((ui::TRect{0, 0, 400, 40}), top->BoundsRect());
  EXPECT_EQ((ui::TRect{0, 281, 400, 19}), status->BoundsRect());
  EXPECT_EQ((ui::TRect{0, 246, 400, 35}), buttons->BoundsRect());
  EXPECT_EQ((ui::TRect{5, 45, 390, 196}), client->BoundsRect());

  // The user makes the window larger.
  HWND hwnd = reinterpret_cast<HWND>(form.Handle());
  RECT outer;
  GetWindowRect(hwnd, &outer);
  SetWindowPos(hwnd, nullptr, 0, 0, outer.right - outer.left + 100, outer.bottom - outer.top + 50,
               SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(500, form.ClientWidth());
  EXPECT_EQ(350, form.ClientHeight());
  EXPECT_EQ((ui::TRect{0, 331, 500, 19}), status->BoundsRect());
  EXPECT_EQ((ui::TRect{5, 45, 490, 246}), client->BoundsRect());
  EXPECT_EQ(490, PlaceInParent(Window(*client)).right - PlaceInParent(Window(*client)).left);
}

TEST_F(BackendTest, PostedMessagesReachHandleMessageFromTheLoop) {
  TestForm& form = NewForm("Posting form");
  form.Show();
  form.PostMessage(WM_USER + 1);
  form.PostMessage(TestForm::kQuit);
  EXPECT_TRUE(form.handled.empty());  // posted, not sent
  app_.Run();
  EXPECT_EQ((std::vector<unsigned>{WM_USER + 1, TestForm::kQuit}), form.handled);

  // A volume that arrives or goes is handed over; other devices are not.
  HWND hwnd = reinterpret_cast<HWND>(form.Handle());
  DEV_BROADCAST_VOLUME volume{sizeof volume, DBT_DEVTYP_VOLUME, 0, 1u << 4, 0};
  DEV_BROADCAST_HDR port{sizeof port, DBT_DEVTYP_PORT, 0};
  form.handled.clear();
  SendMessageA(hwnd, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&volume));
  SendMessageA(hwnd, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&port));
  SendMessageA(hwnd, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<LPARAM>(&volume));
  EXPECT_EQ((std::vector<unsigned>{ui::CM_VOLUMES_CHANGED, ui::CM_VOLUMES_CHANGED}), form.handled);
}

TEST_F(BackendTest, ModalFormsEndWithTheResultOfTheirButtonsOrTheirCloseBox) {
  TestForm& owner = NewForm("Owner form");
  TestForm& dialog = NewForm("Dialog form");
  dialog.SetPosition(ui::TPosition::poMainFormCenter);
  auto* yes = dialog.Add<ui::TButton>(&dialog, "btnYes");
  yes->SetCaption("Yes");
  yes->SetBounds(10, 10, 80, 25);
  yes->SetModalResult(ui::TModalResult::mrYes);
  owner.Show();
  HWND owner_hwnd = reinterpret_cast<HWND>(owner.Handle());

  // The click waits in the queue until the modal loop runs; meanwhile the owner is disabled.
  bool owner_disabled = false;
  yes->OnClick = [&](ui::TControl*) { owner_disabled = !IsWindowEnabled(owner_hwnd); };
  PostMessageA(Window(*yes), BM_CLICK, 0, 0);
  EXPECT_EQ(ui::TModalResult::mrYes, dialog.ShowModal());
  EXPECT_TRUE(owner_disabled);
  EXPECT_TRUE(IsWindowEnabled(owner_hwnd));
  EXPECT_FALSE(IsWindowVisible(reinterpret_cast<HWND>(dialog.Handle())));

  // The close box answers mrCancel.
  PostMessageA(reinterpret_cast<HWND>(dialog.Handle()), WM_CLOSE, 0, 0);
  EXPECT_EQ(ui::TModalResult::mrCancel, dialog.ShowModal());

  // A worker's task runs inside the modal loop and may end it.
  platform::win32::Win32MainThread main_thread;
  std::thread worker([&] { main_thread.RunAndWait([&] { dialog.SetModalResult(ui::TModalResult::mrOk); }); });
  EXPECT_EQ(ui::TModalResult::mrOk, dialog.ShowModal());
  worker.join();
}

TEST_F(BackendTest, ListViewMirrorsRowsSubItemsAndCheckMarks) {
  TestForm& form = NewForm("List form");
  auto* list = form.Add<ui::TListView>(&form, "lvFound");
  list->SetBounds(0, 0, 400, 300);
  list->SetCheckboxes(true);
  list->SetRowSelect(true);
  list->AddColumn("Garbage Items", 200);
  list->AddColumn("Size on Disk", 100);
  list->AddColumn("Cleaning Status", 75);
  // A row made before the window exists is written when the window is made.
  ui::TListItem* early = list->Add();
  early->SetCaption("C:\\early.tmp");
  early->AddSubItem("1");
  form.Show();
  HWND lv = Window(*list);
  Pump();
  ASSERT_EQ(1, ListView_GetItemCount(lv));
  EXPECT_EQ("C:\\early.tmp", CellText(lv, 0, 0));

  ui::TListItem* top = list->Insert(0);
  top->SetCaption("C:\\top.tmp");
  top->AddSubItem("0.5");
  top->AddSubItem("Queued...");
  top->SetChecked(true);
  PumpUntilRows(lv, 2);  // the row count reaches the window between two reports
  ASSERT_EQ(2, ListView_GetItemCount(lv));
  EXPECT_EQ("C:\\top.tmp", CellText(lv, 0, 0));
  EXPECT_EQ("0.5", CellText(lv, 0, 1));
  EXPECT_EQ("Queued...", CellText(lv, 0, 2));
  EXPECT_TRUE(RowChecked(lv, 0));
  EXPECT_FALSE(RowChecked(lv, 1));
  top->SetSubItem(1, "File Deleted");
  EXPECT_EQ("File Deleted", CellText(lv, 0, 2));

  // The user's check mark and selection reach the rows, without echo: a click on the check box
  // and the space bar on the focused row toggle it.
  RECT bounds{};
  ListView_GetItemRect(lv, 1, &bounds, LVIR_BOUNDS);
  LVHITTESTINFO hit{};
  for (hit.pt = {bounds.left, (bounds.top + bounds.bottom) / 2}; hit.pt.x < bounds.left + 40; ++hit.pt.x)
    if (ListView_HitTest(lv, &hit) == 1 && (hit.flags & LVHT_ONITEMSTATEICON)) break;
  ASSERT_TRUE(hit.flags & LVHT_ONITEMSTATEICON);
  SendMessageA(lv, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(hit.pt.x, hit.pt.y));
  SendMessageA(lv, WM_LBUTTONUP, 0, MAKELPARAM(hit.pt.x, hit.pt.y));
  EXPECT_TRUE(early->Checked());
  EXPECT_EQ(INDEXTOSTATEIMAGEMASK(2), ListView_GetItemState(lv, 1, LVIS_STATEIMAGEMASK)) << "drawn from the row";
  EXPECT_TRUE(top->Checked()) << "the other row keeps its mark";
  ListView_SetItemState(lv, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  EXPECT_EQ(early, list->Selected());
  SendMessageA(lv, WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_FALSE(early->Checked());
  // A row added on top moves the selection with its row.
  ui::TListItem* newest = list->Insert(0);
  newest->SetCaption("C:\\newest.tmp");
  PumpUntilRows(lv, 3);
  EXPECT_EQ(3, ListView_GetItemCount(lv));
  EXPECT_EQ(2, ListView_GetNextItem(lv, -1, LVNI_SELECTED));
  EXPECT_EQ(early, list->Selected());
  int double_clicks = 0;
  list->OnDblClick = [&](ui::TControl*) { ++double_clicks; };
  NMHDR header{lv, 0, static_cast<UINT>(NM_DBLCLK)};
  SendMessageA(GetParent(lv), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
  EXPECT_EQ(1, double_clicks);

  list->SetColumnWidth(2, 0);
  PumpUntil([&] { return ListView_GetColumnWidth(lv, 2) == 0; });
  EXPECT_EQ(0, ListView_GetColumnWidth(lv, 2));
  list->Clear();
  EXPECT_EQ(0, ListView_GetItemCount(lv));
}

// A scan lists hundreds of thousands of rows at the top, in batches between the message loop's
// turns. How fast is bench/scan.sh's to say; this checks the rows, their order and the painting.
TEST_F(BackendTest, ManyRowsAddedAtTheTopAreAllThereNewestFirstAndPainted) {
  TestForm& form = NewForm("Many rows form");
  auto* list = form.Add<ui::TListView>(&form, "lvFound");
  list->SetBounds(0, 0, 400, 300);
  list->SetCheckboxes(true);
  list->AddColumn("Garbage Items", 250);
  list->AddColumn("Size on Disk", 100);
  list->AddColumn("Cleaning Status", 0);
  form.Show();
  HWND lv = Window(*list);
  const int kRows = 20000;
  for (int i = 0; i < kRows; ++i) {
    ui::TListItem* row = list->Insert(0);
    row->SetCaption("C:\\Windows\\Temp\\f" + std::to_string(i) + ".tmp");
    row->AddSubItem("0.0047684");
    row->AddSubItem("Queued...");
    if (i % 1000 == 999) Pump();
  }
  list->Item(kRows - 1)->SetChecked(true);
  PumpUntilRows(lv, kRows);
  EXPECT_EQ(kRows, ListView_GetItemCount(lv));
  EXPECT_EQ("C:\\Windows\\Temp\\f19999.tmp", CellText(lv, 0, 0));
  EXPECT_EQ("C:\\Windows\\Temp\\f0.tmp", CellText(lv, kRows - 1, 0));
  EXPECT_EQ(INDEXTOSTATEIMAGEMASK(2), ListView_GetItemState(lv, kRows - 1, LVIS_STATEIMAGEMASK));
  EXPECT_EQ(INDEXTOSTATEIMAGEMASK(1), ListView_GetItemState(lv, 0, LVIS_STATEIMAGEMASK));
  EXPECT_EQ(list->Item(12345), list->FindCaption(0, "c:\\windows\\temp\\F7654.TMP"));
  EXPECT_NE(0, GetWindowLongPtrA(lv, GWL_STYLE) & WS_VISIBLE);
  // Painted: nothing of the list is left waiting for a repaint.
  EXPECT_FALSE(GetUpdateRect(lv, nullptr, FALSE));
}

// What a window shows at one of its client pixels, as RGB.
std::array<int, 3> PixelOf(HWND hwnd, int x, int y) {
  HDC dc = GetDC(hwnd);
  COLORREF seen = GetPixel(dc, x, y);
  ReleaseDC(hwnd, dc);
  return {GetRValue(seen), GetGValue(seen), GetBValue(seen)};
}

std::array<int, 3> PictureAt(const ui::TBitmap& picture, int x, int y) {
  const uint8_t* rgb = &picture.Rgb[(static_cast<size_t>(y) * picture.Width + x) * 3];
  return {rgb[0], rgb[1], rgb[2]};
}

// A link label over the header artwork and a check box over a page picture: both show the
// picture where they draw no text, also after the picture is replaced.
TEST_F(BackendTest, TransparentLabelsAndCheckBoxesShowThePictureBeneathThem) {
  TestForm& form = NewForm("Picture form");
  form.SetColor(ui::clWhite);
  auto* image = form.Add<ui::TImage>(&form, "imgBack");
  image->SetBounds(0, 0, 400, 300);
  const std::string images = std::string("\\\\?\\unix") + CX_EXE_DIR + "/images/";
  image->LoadFromFile(images + "about.jpg");
  auto* link = form.Add<ui::TLabel>(&form, "lbLink");
  link->SetCaption("About");
  link->SetPosition(40, 40);
  link->SetTransparent(true);
  auto* check = form.Add<ui::TCheckBox>(&form, "cbOnPicture");
  check->SetCaption("On picture");
  check->SetBounds(200, 150, 150, 20);
  form.Show();
  Pump(200);

  // The label's top right pixel and the check box's far right end lie past any text.
  auto expect_picture = [&](HWND hwnd, int x, int y, int px, int py) {
    std::array<int, 3> seen = PixelOf(hwnd, x, y), want = PictureAt(*image->Picture(), px, py);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(want[i], seen[i], 8) << "channel " << i << " at " << px << "," << py;
  };
  expect_picture(Window(*link), link->Width() - 1, 0, 40 + link->Width() - 1, 40);
  expect_picture(Window(*check), 148, 10, 348, 160);

  image->LoadFromFile(images + "alert.jpg");
  Pump(200);
  expect_picture(Window(*link), link->Width() - 1, 0, 40 + link->Width() - 1, 40);
  expect_picture(Window(*check), 148, 10, 348, 160);
}

TEST_F(BackendTest, TimersTickThroughTheLoopWhileEnabled) {
  TestForm& form = NewForm("Timer form");
  auto* timer = form.AddComponent<ui::TTimer>("execTimer");
  int ticks = 0;
  timer->OnTimer = [&](ui::TTimer* t) {
    if (++ticks == 3) {
      t->SetEnabled(false);
      app_.Terminate();
    }
  };
  timer->SetInterval(20);
  timer->SetEnabled(true);
  app_.Run();
  EXPECT_EQ(3, ticks);
  Pump(100);
  EXPECT_EQ(3, ticks);  // stopped
}

TEST(MainThreadWin32, RunsTasksOnTheGuiThreadRethrowsTheirErrorsAndStopsAfterShutdown) {
  platform::win32::Win32MainThread main_thread;
  const DWORD gui = GetCurrentThreadId();
  DWORD ran_on = 0;
  std::string rethrown;
  constexpr UINT kDone = WM_APP + 77;
  std::thread worker([&] {
    main_thread.RunAndWait([&] { ran_on = GetCurrentThreadId(); });
    try {
      main_thread.RunAndWait([] { throw std::runtime_error("task failed"); });
    } catch (const std::runtime_error& error) {
      rethrown = error.what();
    }
    PostThreadMessageA(gui, kDone, 0, 0);
  });
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0 && msg.message != kDone) DispatchMessageA(&msg);
  worker.join();
  EXPECT_EQ(gui, ran_on);
  EXPECT_EQ("task failed", rethrown);

  main_thread.Shutdown();
  bool ran = false;
  std::thread late([&] { main_thread.RunAndWait([&] { ran = true; }); });
  late.join();
  EXPECT_FALSE(ran);
}

}  // namespace
