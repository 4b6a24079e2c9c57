// What the bench programs share: a microsecond timer, the end of a run that cannot go on, and
// the UTF-16 form of their own (ASCII) paths.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace bench {

struct Timer {
    LARGE_INTEGER start;
    Timer() { QueryPerformanceCounter(&start); }
    double Microseconds() const
    {
        LARGE_INTEGER now, frequency;
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        return 1e6 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    }
};

// Says what failed, as the program named, and ends it with exit code 1.
[[noreturn]] inline void Fail(const char* program, const std::string& what)
{
    std::fprintf(stderr, "%s: %s\n", program, what.c_str());
    std::exit(1);
}

inline std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end()); // our paths are ASCII
}

} // namespace bench
