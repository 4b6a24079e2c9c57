#include "core/PasswordLine.h"

std::string FirstLine(const std::string& text)
{
    constexpr char byteOrderMark[] = "\xEF\xBB\xBF";
    const std::size_t start = text.compare(0, 3, byteOrderMark) == 0 ? 3 : 0;
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos)
        end = text.size();
    else if (end > start && text[end - 1] == '\r')
        --end;
    return text.substr(start, end - start);
}
