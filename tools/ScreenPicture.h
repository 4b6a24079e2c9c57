// Pictures of the screen for programs that watch our windows from outside: the UI test driver's
// screenshot at a failure, and lk_uiwait telling scripts/run when the main window is painted.
#pragma once

#include <windows.h>

#include <string>

// Saves a picture of the screen (window null) or of the screen under one window as a BMP file.
bool SaveScreenshot(const std::string& path, HWND window = nullptr);
// The same as a PNG file (uncompressed inside: no zlib here), which image viewers and review
// tools show directly.
bool SaveScreenshotPng(const std::string& path, HWND window = nullptr);

// Waits until the window's picture on the screen stops changing (it has been painted whole);
// false when it still changed at the deadline.
bool WaitForStillPicture(HWND window, DWORD timeoutMs);
