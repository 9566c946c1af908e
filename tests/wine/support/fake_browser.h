#pragma once
// The stand-in browsers built beside the tests (tests/wine/fake_browser: firefox.exe and
// chrome.exe): processes of a watched browser's name that only wait, for the running-applications
// check.
#include <windows.h>

#include <string>

// Starts the stand-in of that executable name with the given command line after its name (an
// event's name, whose signal ends it); its process handle, or nullptr. The caller ends it
// (EndFakeBrowser) or closes the handle.
HANDLE StartFakeBrowser(const std::string& executable = "firefox.exe", const std::string& arguments = "");
// Ends it if it still runs, and closes the handle.
void EndFakeBrowser(HANDLE browser);
