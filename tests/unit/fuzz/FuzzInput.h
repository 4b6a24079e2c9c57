// What every fuzz target shares: one input split into several text fields, and a property check
// that stops the run (libFuzzer keeps the input; the corpus replay fails).
#pragma once

#include "core/ProtectRules.h"
#include "core/ProtectionRecord.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// Fields are separated by a NUL and the byte after it; two NULs stand for one NUL inside a
// field, so every field can hold every byte, an empty one included. Fields past the end are
// empty; the last one runs to the end of the input.
class FuzzFields {
public:
    FuzzFields(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::string Next()
    {
        std::string field;
        while (position_ < size_) {
            const char byte = static_cast<char>(data_[position_++]);
            if (byte != '\0') {
                field += byte;
                continue;
            }
            if (position_ < size_ && data_[position_] == 0) {
                field += '\0';
                ++position_;
                continue;
            }
            ++position_; // the separator's second byte
            break;
        }
        return field;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

// A record as protect builds it from a shortcut's fields taken from the input; false when
// protect would refuse them (a target that is no absolute file-system path, a scrambled line end).
inline bool ProtectableRecord(FuzzFields& fields, ProtectionRecord& record, std::string& target, std::string& arguments)
{
    record.password = fields.Next();
    target = fields.Next();
    arguments = fields.Next();
    record.workingDirectory = fields.Next();
    if (!IsAbsoluteFileSystemPath(target))
        return false;
    record.commandLine = MakeCommandLine(target, arguments);
    return IsStorableRecord(record);
}

inline std::string WholeInput(const std::uint8_t* data, std::size_t size)
{
    return std::string(reinterpret_cast<const char*>(data), size);
}

inline void Require(bool holds, const char* property)
{
    if (!holds) {
        std::fprintf(stderr, "fuzz: property broken: %s\n", property);
        std::abort();
    }
}
