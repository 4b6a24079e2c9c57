// The shortcut format's reader and the carrying onto a protected shortcut: any bytes are read
// without harm; what reads writes back the same; what is carried reads again.
#include "core/ShellLinkFile.h"
#include "core/StoredShortcut.h"

#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes = WholeInput(data, size);
    const std::optional<linkfile::ShellLinkFile> link = linkfile::Parse(bytes);
    if (link) {
        Require(linkfile::Format(*link) == bytes, "a shortcut that reads writes back byte for byte");
        const std::optional<std::string> carried = linkfile::CarryOver(bytes, bytes);
        Require(carried && linkfile::Parse(*carried), "a shortcut carried onto itself reads again");
    }
    // The same bytes as a store entry: read without harm, and what reads writes back the same.
    if (const std::optional<StoredShortcut> entry = ParseStoredShortcut(bytes))
        Require(FormatStoredShortcut(*entry) == bytes, "a store entry that reads writes back byte for byte");
    return 0;
}
