#include "tests/wine/support/gui_driver.h"

namespace {

struct WindowSearch {
  DWORD process_id;
  const std::string* caption;
  HWND found;
};

BOOL CALLBACK MatchTopWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->process_id || !IsWindowVisible(window)) return TRUE;
  if (WindowText(window) != *search->caption) return TRUE;
  search->found = window;
  return FALSE;
}

BOOL CALLBACK MatchChild(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  if (WindowText(window) != *search->caption) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

GuiProgram::GuiProgram() {
  std::string command = std::string("\"") + kInstalledProgram + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, "C:\\", &startup, &info)) {
    process_ = info.hProcess;
    id_ = info.dwProcessId;
    CloseHandle(info.hThread);
    WaitForInputIdle(process_, 30000);
  }
}

GuiProgram::~GuiProgram() {
  if (!process_) return;
  if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
  WaitForSingleObject(process_, 30000);
  CloseHandle(process_);
}

HWND GuiProgram::WaitForWindow(const std::string& caption, DWORD timeout_ms) const {
  const DWORD start = GetTickCount();
  for (;;) {
    WindowSearch search{id_, &caption, nullptr};
    EnumWindows(MatchTopWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    if (GetTickCount() - start > timeout_ms) return nullptr;
    if (WaitForSingleObject(process_, 50) == WAIT_OBJECT_0) return nullptr;  // it ended meanwhile
  }
}

bool GuiProgram::WaitForExit(DWORD timeout_ms) const {
  return process_ && WaitForSingleObject(process_, timeout_ms) == WAIT_OBJECT_0;
}

HWND FindChild(HWND parent, const std::string& caption) {
  WindowSearch search{0, &caption, nullptr};
  EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string WindowText(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

RECT ClientPlace(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  HWND top = GetAncestor(control, GA_ROOT);
  POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
  ScreenToClient(top, &corners[0]);
  ScreenToClient(top, &corners[1]);
  return RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

SIZE ClientSize(HWND window) {
  RECT r;
  GetClientRect(window, &r);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

void ClickControl(HWND control) {
  RECT r;
  GetClientRect(control, &r);
  LPARAM at = MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2);
  PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(control, WM_LBUTTONUP, 0, at);
}
