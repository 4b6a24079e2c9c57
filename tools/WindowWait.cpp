// lk_uiwait: lets a shell script wait for a window of ours under Wine, and close it.
//   lk_uiwait CAPTION [SECONDS]   waits for a visible dialog with that caption and for its
//                                 picture on the screen to settle; prints "x y width height"
//   lk_uiwait --close CAPTION [SECONDS]
//                                 presses the dialog's Cancel (Exit) and waits until it is gone
// Exit code 0 on success, 1 when no such window came or it did not go, 2 on a usage error.
#include "tools/ScreenPicture.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

namespace {

// Polls until the condition holds (true) or the time is up (false).
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(15);
    }
    return true;
}

// The first visible dialog (class #32770) with exactly this caption.
HWND FindDialog(const char* caption)
{
    for (HWND window = FindWindowExA(nullptr, nullptr, "#32770", caption); window;
         window = FindWindowExA(nullptr, window, "#32770", caption))
        if (IsWindowVisible(window))
            return window;
    return nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    const bool close = argc > 1 && std::strcmp(argv[1], "--close") == 0;
    const int first = close ? 2 : 1;
    if (argc <= first) {
        std::fprintf(stderr, "usage: lk_uiwait [--close] CAPTION [SECONDS]\n");
        return 2;
    }
    const DWORD timeoutMs = static_cast<DWORD>(argc > first + 1 ? std::atoi(argv[first + 1]) : 15) * 1000;
    HWND window = nullptr;
    if (!WaitUntil([&] { return (window = FindDialog(argv[first])) != nullptr; }, timeoutMs)) {
        std::fprintf(stderr, "lk_uiwait: no window \"%s\"\n", argv[first]);
        return 1;
    }
    if (close) {
        // Posted, so that a window this opens cannot block us.
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, IDCANCEL)));
        return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs) ? 0 : 1;
    }
    // Painted whole and waiting for the user: what a screenshot should show.
    WaitForStillPicture(window, timeoutMs);
    RECT r;
    GetWindowRect(window, &r);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return 0;
}
