#include "core/Csv.h"

std::string CsvField(const std::string& text)
{
    std::string field = !text.empty() && std::string("=+-@\t\r").find(text[0]) != std::string::npos ? "'" + text
                                                                                                   : text;
    if (field.find_first_of(",\"\r\n") == std::string::npos)
        return field;
    std::string quoted = "\"";
    for (char c : field) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}
