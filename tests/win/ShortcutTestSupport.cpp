#include "ShortcutTestSupport.h"

#include <shellapi.h>

using Microsoft::WRL::ComPtr;

namespace lktest {

ScratchFolder::ScratchFolder(const std::string& name)
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    m_path = std::string(temp) + name + " " + std::to_string(GetCurrentProcessId());
    MakeFolders(m_path);
}

ScratchFolder::~ScratchFolder()
{
    // SHFileOperation wants a double-terminated list.
    std::string from = m_path + '\0' + '\0';
    SHFILEOPSTRUCTA op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationA(&op);
}

bool MakeFolders(const std::string& path)
{
    return SHCreateDirectoryExA(nullptr, path.c_str(), nullptr) == ERROR_SUCCESS || FileExists(path);
}

HRESULT MakeLink(const std::string& linkPath, const LinkSpec& wanted)
{
    ComPtr<IShellLinkA> link;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link));
    if (FAILED(hr))
        return hr;
    link->SetPath(wanted.target.c_str());
    link->SetArguments(wanted.arguments.c_str());
    link->SetWorkingDirectory(wanted.workingDirectory.c_str());
    link->SetDescription(wanted.description.c_str());
    if (!wanted.iconPath.empty())
        link->SetIconLocation(wanted.iconPath.c_str(), wanted.iconIndex);
    if (wanted.hotKey)
        link->SetHotkey(wanted.hotKey);
    link->SetShowCmd(wanted.showCommand);
    ComPtr<IPersistFile> file;
    hr = link.As(&file);
    if (FAILED(hr))
        return hr;
    WCHAR wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH);
    return file->Save(wide, TRUE);
}

HRESULT ReadHotKeyAndShow(const std::string& linkPath, WORD& hotKey, int& showCommand)
{
    ComPtr<IShellLinkA> link;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link));
    if (FAILED(hr))
        return hr;
    ComPtr<IPersistFile> file;
    hr = link.As(&file);
    if (FAILED(hr))
        return hr;
    WCHAR wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH);
    hr = file->Load(wide, STGM_READ);
    if (FAILED(hr))
        return hr;
    hr = link->GetHotkey(&hotKey);
    if (FAILED(hr))
        return hr;
    return link->GetShowCmd(&showCommand);
}

} // namespace lktest
