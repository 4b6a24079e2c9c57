#include "core/PasswordLine.h"

std::string FirstLine(const std::string& text)
{
    static const std::string byteOrderMark = "\xEF\xBB\xBF";
    const std::size_t start = text.compare(0, byteOrderMark.size(), byteOrderMark) == 0 ? byteOrderMark.size() : 0;
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos)
        end = text.size();
    else if (end > start && text[end - 1] == '\r')
        --end;
    return text.substr(start, end - start);
}
