#include "tools/ScreenPicture.h"

#include <fstream>
#include <vector>

namespace {

// The screen's pixels under the window (the whole screen when null), as a bottom-up 24-bit DIB.
struct Picture {
    BITMAPINFOHEADER header = {};
    std::vector<char> pixels;
};

bool Capture(HWND window, Picture& picture)
{
    RECT area = {0, 0, GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    if (window && !GetWindowRect(window, &area))
        return false;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return false;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY | CAPTUREBLT);
    SelectObject(memory, old);

    BITMAPINFOHEADER& header = picture.header;
    header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = ((static_cast<DWORD>(width) * 3 + 3) & ~3u) * static_cast<DWORD>(height);
    picture.pixels.assign(header.biSizeImage, '\0');
    int rows = GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), picture.pixels.data(),
                         reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return rows == height;
}

} // namespace

bool SaveScreenshot(const std::string& path, HWND window)
{
    Picture picture;
    if (!Capture(window, picture))
        return false;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof picture.header;
    file.bfSize = file.bfOffBits + picture.header.biSizeImage;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&picture.header), sizeof picture.header);
    out.write(picture.pixels.data(), static_cast<std::streamsize>(picture.pixels.size()));
    out.close();
    return static_cast<bool>(out);
}

bool WaitForStillPicture(HWND window, DWORD timeoutMs)
{
    // Still means the same picture on several looks in a row, a short poll apart.
    constexpr DWORD kPollMs = 15;
    const DWORD start = GetTickCount();
    Picture last;
    int same = 0;
    for (;;) {
        Picture now;
        if (Capture(window, now)) {
            same = now.pixels == last.pixels ? same + 1 : 0;
            last = std::move(now);
            if (same >= 5)
                return true;
        }
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(kPollMs);
    }
}
