#pragma once
// The stand-in firefox.exe built beside the tests (tests/wine/fake_firefox): a process of the
// watched browser's name that only waits, for the running-applications check.
#include <windows.h>

// Starts it; its process handle, or nullptr. The caller ends it (EndFakeFirefox) and closes it.
HANDLE StartFakeFirefox();
// Ends it if it still runs, and closes the handle.
void EndFakeFirefox(HANDLE firefox);
