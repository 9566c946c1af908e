#pragma once
// Drives the installed clutterix.exe from outside, as a person would: start it, find its windows
// and controls by caption, click them, read them back, close it. Captions are the English texts
// looked up in the catalogue the test has set (ui::SetCatalogue), as the program looks them up.
//
//   GuiProgram program;                       // starts "C:\Program Files\Clutterix\clutterix.exe"
//   HWND main = program.WaitForWindow("Clutterix");
//   HWND about = FindChild(main, "About");
//   ClickControl(about);                      // posted, so a modal dialog may open behind it
//
// Waiting for another process's window has nothing to signal it: the waits poll with a generous
// deadline and fail the test when it passes.
#include <windows.h>

#include <string>
#include <vector>

inline constexpr const char* kInstalledProgram = "C:\\Program Files\\Clutterix\\clutterix.exe";

class GuiProgram {
 public:
  // Started with the given command-line arguments after its name ("/scan /report C:\\r.csv").
  explicit GuiProgram(const std::string& arguments = "");
  ~GuiProgram();  // closes the program if a test left it running
  GuiProgram(const GuiProgram&) = delete;
  GuiProgram& operator=(const GuiProgram&) = delete;

  bool started() const { return process_ != nullptr; }
  DWORD id() const { return id_; }
  // A visible top-level window of the program with this caption, or nullptr after the deadline.
  HWND WaitForWindow(const std::string& caption, DWORD timeout_ms = 30000) const;
  // Whether the program has ended within the deadline.
  bool WaitForExit(DWORD timeout_ms = 30000) const;
  // The exit code of a program that has ended (STILL_ACTIVE while it runs).
  DWORD ExitCode() const;

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

// Waits for the program's main window ("Clutterix"), then, for a user without administrator
// rights, for the warning that the start-up checks show, and closes it. The test process runs as
// the same user, so it knows whether the warning comes and never waits for one that does not.
HWND StartMainWindow(const GuiProgram& program);
// The DPI that programs of this prefix start at: the display's LogPixels (96 when unset). Wine
// tells a process of another DPI nothing of a window's own.
int DisplayDpi();
// The start picture of the settings page.
HWND StartPicture(HWND main);
// The results list, once the results page has placed it; else nullptr.
HWND ResultsList(HWND main);
// Presses the start picture and waits for the results page ("Clean All" enabled, the list
// placed): the list, or nullptr when the page did not come within the deadline.
HWND ScanToResults(HWND main, DWORD timeout_ms = 180000);

// The first descendant of parent whose window text is caption, or nullptr.
HWND FindChild(HWND parent, const std::string& caption);
// A visible dialog box of the program (class #32770: message boxes, the folder picker) other
// than `besides`, or nullptr.
HWND ProgramDialog(DWORD program, HWND besides = nullptr);
// The first descendant of parent of the window class (letter case ignored); with visible_only,
// the first one shown. Or nullptr.
HWND FindChildOfClass(HWND parent, const char* window_class, bool visible_only = false);
std::string WindowText(HWND window);
// A control's place in its top-level window's client area.
RECT ClientPlace(HWND control);
SIZE ClientSize(HWND window);
// A press and release of the left button at the control's centre, posted to it.
void ClickControl(HWND control);

// The child of parent of the given window class whose top-left corner lies at (x, y) of the
// top-level window's client area, or nullptr.
HWND FindChildAt(HWND parent, const std::string& window_class, int x, int y);
// Every row of a report list view in another process: the caption, then each sub-item, for
// `columns` columns; and whether each row's check box is ticked.
std::vector<std::vector<std::string>> ListViewRows(HWND list, int columns);
bool ListViewChecked(HWND list, int row);
// Ticks or clears a row's check box with a click on it; whether the row then shows that state.
bool SetListViewChecked(HWND list, int row, bool checked);
// The row of `rows` (as ListViewRows gives them) whose caption is path, letter case ignored; or none.
const std::vector<std::string>* FindRow(const std::vector<std::vector<std::string>>& rows, const std::string& path);
// Polls pred every 50 ms until it holds or the deadline passes; whether it held.
template <class Pred>
bool WaitUntil(Pred pred, DWORD timeout_ms = 60000) {
  const DWORD start = GetTickCount();
  while (!pred()) {
    if (GetTickCount() - start > timeout_ms) return false;
    Sleep(50);
  }
  return true;
}
// The items of a list box in another process (read in their wide form: the ANSI one arrives cut
// to its first character across processes under Wine).
std::vector<std::string> ListBoxItems(HWND list);
// Opens the options dialog from the main window's "Advanced Options" link and waits until its
// controls are made; nullptr when it does not show.
HWND OpenOptionsDialog(const GuiProgram& program, HWND main);
// Ticks or clears a check box as a click would.
void SetCheckBox(HWND box, bool checked);
// The program's settings file, "...\Torvex Clutterix\general.conf" in the local application data
// (its folder is made when missing, so that a test can write the file).
std::string SettingsFilePath();
// A variable of this process's environment, which the programs it starts inherit; empty when it
// is unset.
std::string EnvironmentVariable(const char* name);
// Removes the program's settings file, so that a test starts from the defaults whatever an
// earlier test stored (a scan after loading, another noise level, an update host).
void ResetSettingsFile();
