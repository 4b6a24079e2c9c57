// lk_uiwait: lets a shell script wait for a window of ours under Wine, and close it.
//   lk_uiwait CAPTION [SECONDS]   waits for a visible dialog with that caption and for its
//                                 program to be idle; prints "x y width height" of the window
//   lk_uiwait --close CAPTION     presses the dialog's Cancel (Exit) and waits until it is gone
// Exit code 0 on success, 1 when no such window came or it did not go.
#include "tests/ui/UiDriver.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    bool close = argc > 1 && std::strcmp(argv[1], "--close") == 0;
    int first = close ? 2 : 1;
    if (argc <= first) {
        std::fprintf(stderr, "usage: lk_uiwait [--close] CAPTION [SECONDS]\n");
        return 2;
    }
    DWORD timeoutMs = argc > first + 1 ? static_cast<DWORD>(std::atoi(argv[first + 1])) * 1000 : ui::kWaitMs;
    HWND window = ui::WaitForWindow(0, argv[first], "#32770", timeoutMs);
    if (!window) {
        std::fprintf(stderr, "lk_uiwait: no window \"%s\"\n", argv[first]);
        return 1;
    }
    if (close) {
        ui::Press(window, IDCANCEL);
        return ui::WaitForWindowGone(window, timeoutMs) ? 0 : 1;
    }
    // Painted whole and waiting for the user: what a screenshot should show.
    ui::WaitForStillPicture(window, timeoutMs);
    RECT r;
    GetWindowRect(window, &r);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return 0;
}
