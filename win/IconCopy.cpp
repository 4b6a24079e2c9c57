#include "win/IconCopy.h"

#include "core/IconFile.h"
#include "core/Paths.h"
#include "core/ProtectRules.h"
#include "core/ProtectionRecord.h"
#include "win/Files.h"
#include "win/LocalPaths.h"
#include "win/LongPaths.h"
#include "win/Strings.h"

#include <windows.h>

#include <memory>
#include <type_traits>
#include <vector>

namespace {

// How many later seconds are tried when the copy's name is taken.
constexpr int CopyNameTries = 100;

struct ModuleFreer {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
using UniqueModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFreer>;

// A resource's bytes; nullopt when the module has none of that name and type.
std::optional<std::string> ResourceBytes(HMODULE module, LPCSTR name, LPCSTR type)
{
    HRSRC found = FindResourceA(module, name, type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = found ? SizeofResource(module, found) : 0;
    if (!bytes || size == 0 || size > MaxIconFileBytes)
        return std::nullopt;
    return std::string(static_cast<const char*>(bytes), size);
}

// The icon group names of a module in the order the shell counts them.
BOOL CALLBACK AddGroupName(HMODULE, LPCSTR, LPSTR name, LONG_PTR names)
{
    auto& list = *reinterpret_cast<std::vector<std::string>*>(names);
    // A group named by a number is kept as "#number", which FindResource takes as well.
    if (IS_INTRESOURCE(name))
        list.push_back("#" + DecimalText(static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(name))));
    else
        list.push_back(name);
    return TRUE;
}

// True for a name ending in ".ico", in any case, compared as Windows compares names.
bool IsIcoName(const std::wstring& path)
{
    return path.size() >= 4 && Folded(path.substr(path.size() - 4)) == L".ICO";
}

std::optional<std::string> IconOfModule(const std::wstring& path, int index)
{
    // As data: nothing of the file runs, and no DLL it names is loaded.
    UniqueModule module(
        LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!module)
        return std::nullopt;
    std::string group;
    if (index < 0) {
        group = "#" + DecimalText(0ul - static_cast<unsigned long>(static_cast<long>(index)));
    } else {
        std::vector<std::string> names;
        EnumResourceNamesA(module.get(), reinterpret_cast<LPCSTR>(RT_GROUP_ICON), &AddGroupName,
                           reinterpret_cast<LONG_PTR>(&names));
        if (static_cast<std::size_t>(index) >= names.size())
            return std::nullopt;
        group = names[static_cast<std::size_t>(index)];
    }
    std::optional<std::string> groupBytes =
        ResourceBytes(module.get(), group.c_str(), reinterpret_cast<LPCSTR>(RT_GROUP_ICON));
    if (!groupBytes)
        return std::nullopt;
    HMODULE raw = module.get();
    return IconFileFromGroup(*groupBytes, [raw](unsigned id) {
        return ResourceBytes(raw, MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_ICON));
    });
}

} // namespace

std::optional<std::string> ReadShownIcon(const std::wstring& source, int index)
{
    const std::wstring path = ExpandEnvironment(source).value_or(source);
    // An icon on a server is never read: the shortcut then shows the launcher's icon.
    if (!IsLocalPath(path))
        return std::nullopt;
    if (IsIcoName(path)) {
        std::optional<std::string> bytes = ReadWholeFile(path);
        if (!bytes || !IsIconFile(*bytes))
            return std::nullopt;
        return bytes;
    }
    return IconOfModule(path, index);
}

std::optional<std::string> WriteIconCopy(const std::string& systemDirectory, const std::string& timeStamp,
                                         const std::string& bytes)
{
    std::string stamp = timeStamp;
    for (int tries = 0; tries < CopyNameTries && !stamp.empty(); ++tries, stamp = NextTimeStamp(stamp)) {
        const std::string path = IconCopyPath(systemDirectory, stamp);
        switch (WriteNewWholeFile(path, bytes)) {
        case NewFileResult::Written: return path;
        case NewFileResult::Exists: break;
        case NewFileResult::Failed: return std::nullopt;
        }
    }
    return std::nullopt;
}
