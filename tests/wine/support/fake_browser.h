#pragma once
// The stand-in firefox.exe built beside the tests (tests/wine/fake_firefox): a process of the
// watched browser's name that only waits, for the running-applications check.
#include <windows.h>

#include <string>

// Starts it with the given command line after its name (an event's name, whose signal ends it);
// its process handle, or nullptr. The caller ends it (EndFakeFirefox) or closes the handle.
HANDLE StartFakeFirefox(const std::string& arguments = "");
// Ends it if it still runs, and closes the handle.
void EndFakeFirefox(HANDLE firefox);
