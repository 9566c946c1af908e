// A stand-in browser for the running-applications tests: built as firefox.exe and as chrome.exe,
// it does nothing but wait to be ended. Its command line may name an event whose signal also ends it, so that a
// test can clean up after itself; without a signal it gives up after ten minutes.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int) {
  const std::string event_name = command_line != nullptr ? command_line : "";
  HANDLE quit = event_name.empty() ? nullptr : OpenEventA(SYNCHRONIZE, FALSE, event_name.c_str());
  if (quit == nullptr) quit = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  WaitForSingleObject(quit, 10 * 60 * 1000);
  CloseHandle(quit);
  return 0;
}
