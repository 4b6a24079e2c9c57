#include "tests/support/Csv.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace lktest {

std::vector<std::vector<std::string>> CsvRows(const std::string& csv, const std::string& header, size_t columns)
{
    EXPECT_EQ(csv.substr(0, header.size()), header);
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (size_t i = std::min(csv.size(), header.size()); i < csv.size(); ++i) {
        const char c = csv[i];
        if (quoted) {
            if (c == '"' && i + 1 < csv.size() && csv[i + 1] == '"')
                fields.back() += csv[++i];
            else if (c == '"')
                quoted = false;
            else
                fields.back() += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c == '\r') {
            EXPECT_TRUE(i + 1 < csv.size() && csv[i + 1] == '\n') << "a line not ended by CR LF";
            ++i;
            EXPECT_EQ(fields.size(), columns) << fields[0];
            fields.resize(columns);
            rows.push_back(fields);
            fields.assign(1, std::string());
        } else {
            fields.back() += c;
        }
    }
    EXPECT_EQ(fields, std::vector<std::string>(1)) << "the last line is not ended";
    return rows;
}

} // namespace lktest
