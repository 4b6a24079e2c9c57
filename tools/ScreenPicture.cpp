#include "tools/ScreenPicture.h"

#include <algorithm>
#include <fstream>
#include <string>
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

namespace {

// PNG's and zlib's checksums.
unsigned long Crc32(const std::string& bytes, unsigned long crc = 0)
{
    static unsigned long table[256];
    if (!table[1])
        for (unsigned long n = 0; n < 256; ++n) {
            unsigned long c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320ul ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
    crc ^= 0xFFFFFFFFul;
    for (unsigned char byte : bytes)
        crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFul;
}

unsigned long Adler32(const std::string& bytes)
{
    unsigned long a = 1, b = 0;
    for (unsigned char byte : bytes) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

std::string BigEndian(unsigned long value)
{
    return std::string{static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
                       static_cast<char>(value)};
}

std::string PngChunk(const char* kind, const std::string& data)
{
    const std::string typed = kind + data;
    return BigEndian(static_cast<unsigned long>(data.size())) + typed + BigEndian(Crc32(typed));
}

} // namespace

bool SaveScreenshotPng(const std::string& path, HWND window)
{
    Picture picture;
    if (!Capture(window, picture))
        return false;
    const long width = picture.header.biWidth;
    const long height = picture.header.biHeight;
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);

    // Rows top-down, each after its filter byte (0: none), BGR turned into RGB.
    std::string rows;
    rows.reserve(static_cast<size_t>(height) * (static_cast<size_t>(width) * 3 + 1));
    for (long y = height - 1; y >= 0; --y) {
        rows += '\0';
        const char* pixel = picture.pixels.data() + stride * static_cast<size_t>(y);
        for (long x = 0; x < width; ++x, pixel += 3) {
            rows += pixel[2];
            rows += pixel[1];
            rows += pixel[0];
        }
    }
    // A zlib stream of stored blocks: no compression, so no compressor is needed.
    std::string deflated = "\x78\x01";
    for (size_t at = 0; at < rows.size() || at == 0; at += 65535) {
        const size_t length = std::min<size_t>(65535, rows.size() - at);
        const bool last = at + length >= rows.size();
        deflated += static_cast<char>(last ? 1 : 0);
        deflated += static_cast<char>(length & 0xFF);
        deflated += static_cast<char>(length >> 8);
        deflated += static_cast<char>(~length & 0xFF);
        deflated += static_cast<char>((~length >> 8) & 0xFF);
        deflated.append(rows, at, length);
        if (last)
            break;
    }
    deflated += BigEndian(Adler32(rows));

    std::string header = BigEndian(static_cast<unsigned long>(width)) + BigEndian(static_cast<unsigned long>(height));
    header += std::string{8, 2, 0, 0, 0}; // 8 bits per channel, RGB, deflate, no filter choice, no interlace
    const std::string png = std::string("\x89PNG\r\n\x1a\n", 8) + PngChunk("IHDR", header) +
                            PngChunk("IDAT", deflated) + PngChunk("IEND", std::string());
    std::ofstream out(path, std::ios::binary);
    out.write(png.data(), static_cast<std::streamsize>(png.size()));
    out.close();
    return static_cast<bool>(out);
}

bool WaitForStillPicture(HWND window, DWORD timeoutMs)
{
    // Still means the same picture on several looks in a row, a short poll apart.
    constexpr DWORD PollMs = 15;
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
        Sleep(PollMs);
    }
}
