#include "core/History.h"

namespace {

std::string Clean(const std::string& text)
{
    std::string clean = text;
    for (char& c : clean)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    return clean;
}

} // namespace

const char* HistoryResultText(HistoryResult result)
{
    switch (result) {
    case HistoryResult::Started: return "Started";
    case HistoryResult::WrongPassword: return "Wrong password";
    case HistoryResult::LockedOut: return "Locked out";
    case HistoryResult::Protected: return "Protected";
    case HistoryResult::Removed: return "Removed";
    case HistoryResult::ProtectedAgain: return "Protected again";
    case HistoryResult::RecordRestored: break;
    }
    return "Record restored";
}

unsigned HistoryEventId(HistoryResult result)
{
    return static_cast<unsigned>(result) + 1;
}

std::string FormatHistoryLine(const HistoryEntry& entry)
{
    return "\n" + Clean(entry.time) + '\t' + Clean(entry.user) + '\t' + HistoryResultText(entry.result) + '\t' +
           Clean(entry.shortcut) + '\t' + Clean(entry.program) + "\r\n";
}
