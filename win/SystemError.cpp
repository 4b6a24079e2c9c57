#include "win/SystemError.h"

#include "core/Messages.h"
#include "win/Scoped.h"

std::string SystemErrorText(DWORD error)
{
    LocalMemory<char> buffer;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, error, 0, reinterpret_cast<char*>(buffer.Out()), 0, nullptr);
    std::string text;
    if (n != 0 && buffer.Get())
        text.assign(buffer.Get(), n);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    if (text.empty())
        text = SystemErrorNumberText(error);
    return text;
}
