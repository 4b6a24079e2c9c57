#include "win/ShellLink.h"

#include <msi.h>
#include <shlobj.h>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

namespace {

// Every text the shell link object and the installer hand us passes through a buffer of this
// size, and so does the UTF-16 form of the shortcut file's own path.
constexpr int PathUnits = MAX_PATH;

// The link path in UTF-16 for IPersistFile. A path that does not fit fails here rather than
// being cut, so that a different file is never loaded or written.
HRESULT ToWidePath(const std::string& linkPath, WCHAR (&wide)[PathUnits])
{
    if (MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, PathUnits) == 0) {
        DWORD error = GetLastError();
        return error == ERROR_INSUFFICIENT_BUFFER ? HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE)
                                                  : HRESULT_FROM_WIN32(error);
    }
    return S_OK;
}

// The text of a filled buffer, never past its end even if the callee left it unterminated.
std::string BufferText(const char (&buffer)[PathUnits])
{
    std::size_t length = 0;
    while (length < PathUnits - 1 && buffer[length] != '\0')
        ++length;
    return std::string(buffer, length);
}

} // namespace

HRESULT ReadShortcut(const std::string& linkPath, ShortcutInfo& info)
{
    info.targetPath.clear();
    info.description.clear();
    info.workingDirectory.clear();
    info.arguments.clear();

    // Declared before the IPersistFile pointer, so released after it.
    ComPtr<IShellLinkA> link;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link));
    if (FAILED(hr))
        return hr;
    ComPtr<IPersistFile> file;
    hr = link.As(&file);
    if (FAILED(hr))
        return hr;

    WCHAR widePath[PathUnits];
    hr = ToWidePath(linkPath, widePath);
    if (FAILED(hr))
        return hr;

    hr = file->Load(widePath, STGM_READ);
    if (FAILED(hr))
        return hr;
    hr = link->Resolve(nullptr, SLR_UPDATE);
    if (FAILED(hr))
        return hr;

    char target[PathUnits] = {};
    WIN32_FIND_DATAA findData = {};
    hr = link->GetPath(target, PathUnits, &findData, SLGP_UNCPRIORITY);
    if (FAILED(hr))
        return hr;
    char description[PathUnits] = {};
    hr = link->GetDescription(description, PathUnits);
    if (FAILED(hr))
        return hr;
    // Target and description are taken together, once both have been read.
    info.targetPath = BufferText(target);
    info.description = BufferText(description);

    char text[PathUnits] = {};
    hr = link->GetWorkingDirectory(text, PathUnits);
    if (FAILED(hr))
        return hr;
    info.workingDirectory = BufferText(text);

    text[0] = '\0';
    hr = link->GetArguments(text, PathUnits);
    if (FAILED(hr))
        return hr;
    info.arguments = BufferText(text);

    text[0] = '\0';
    int iconIndex = 0;
    hr = link->GetIconLocation(text, PathUnits, &iconIndex);
    if (FAILED(hr))
        return hr;
    info.iconPath = BufferText(text);
    info.iconIndex = iconIndex;
    return hr;
}

HRESULT WriteShortcut(const std::string& linkPath, const ShortcutInfo& info, bool* iconRefused)
{
    ComPtr<IShellLinkA> link;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link));
    if (FAILED(hr))
        return hr;

    // A setter that refuses its value leaves the object's default; the save still goes ahead.
    link->SetPath(info.targetPath.c_str());
    link->SetDescription(info.description.c_str());
    link->SetArguments(info.arguments.c_str());
    link->SetWorkingDirectory(info.workingDirectory.c_str());
    const bool refused = FAILED(link->SetIconLocation(info.iconPath.c_str(), info.iconIndex));
    if (iconRefused)
        *iconRefused = refused;

    ComPtr<IPersistFile> file;
    hr = link.As(&file);
    if (FAILED(hr))
        return hr;
    WCHAR widePath[PathUnits];
    hr = ToWidePath(linkPath, widePath);
    if (FAILED(hr))
        return hr;
    return file->Save(widePath, TRUE);
}

bool ResolveAdvertisedShortcut(const std::string& linkPath, std::string& targetPath)
{
    char productCode[39] = {};
    char featureId[PathUnits] = {};
    char componentCode[PathUnits] = {};
    if (MsiGetShortcutTargetA(linkPath.c_str(), productCode, featureId, componentCode) != ERROR_SUCCESS)
        return false;

    char path[PathUnits] = {};
    DWORD size = PathUnits;
    if (MsiGetComponentPathA(productCode, componentCode, path, &size) != INSTALLSTATE_LOCAL)
        return false;
    targetPath = BufferText(path);
    return true;
}
