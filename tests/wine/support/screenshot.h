#pragma once
// Pictures of the screen for a person to look at after a run; they check nothing.
//
//   Screenshot("options-dialog");   // screenshots/options-dialog.png, when CX_SCREENSHOTS is set
//
// The test bench (scripts/wine-run.sh) names the folder in CX_SCREENSHOT_DIR when CX_SCREENSHOTS
// is set; without it Screenshot does nothing, so tests may call it freely.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Saves the whole screen as <name>.png into the bench's screenshot folder; whether it did.
bool Screenshot(const std::string& name);
// The same, once the given window of another process has painted everything pending, so that the
// picture shows it as it now stands.
bool Screenshot(HWND window, const std::string& name);
// The same without forcing a repaint: once the window and `child` (a list, say) have painted what
// was pending by themselves, within 10 s; so a repaint the program missed shows in the picture.
bool ScreenshotWhenPainted(HWND window, HWND child, const std::string& name);

// A PNG file of 8-bit RGB pixels, `rgb` holding width * height * 3 bytes row by row from the top.
// The image data is stored, not compressed: the pictures are few and short-lived.
std::vector<uint8_t> EncodePng(int width, int height, const std::vector<uint8_t>& rgb);
