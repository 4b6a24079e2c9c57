#include "tests/support/ShellLinks.h"

#include "tests/support/Paths.h"

#include <shlobj.h>
#include <wrl/client.h>

#include <vector>

using Microsoft::WRL::ComPtr;

namespace lktest {

namespace {

// A shell link object and its file interface.
HRESULT NewLink(ComPtr<IShellLinkA>& link, ComPtr<IPersistFile>& file)
{
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link));
    return FAILED(hr) ? hr : link.As(&file);
}

} // namespace

HRESULT MakeLink(const std::string& linkPath, const LinkSpec& wanted)
{
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;
    HRESULT hr = NewLink(link, file);
    if (FAILED(hr))
        return hr;
    link->SetPath(wanted.target.c_str());
    link->SetArguments(wanted.arguments.c_str());
    link->SetWorkingDirectory(wanted.workingDirectory.c_str());
    link->SetDescription(wanted.description.c_str());
    if (!wanted.iconPath.empty())
        link->SetIconLocation(wanted.iconPath.c_str(), wanted.iconIndex);
    link->SetHotkey(wanted.hotKey);
    link->SetShowCmd(wanted.showCommand);
    return file->Save(Widen(linkPath).c_str(), TRUE);
}

HRESULT ReadLink(const std::string& linkPath, LinkSpec& read)
{
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;
    HRESULT hr = NewLink(link, file);
    if (FAILED(hr) || FAILED(hr = file->Load(Widen(linkPath).c_str(), STGM_READ)))
        return hr;
    // The getters cannot say how much they need: a buffer as large as any path they hold.
    std::vector<char> buffer(32768);
    const int size = static_cast<int>(buffer.size());
    auto text = [&](HRESULT got, std::string& field) {
        if (SUCCEEDED(hr = got))
            field = buffer.data();
        return SUCCEEDED(hr);
    };
    if (text(link->GetPath(buffer.data(), size, nullptr, SLGP_RAWPATH), read.target) &&
        text(link->GetArguments(buffer.data(), size), read.arguments) &&
        text(link->GetWorkingDirectory(buffer.data(), size), read.workingDirectory) &&
        text(link->GetDescription(buffer.data(), size), read.description) &&
        text(link->GetIconLocation(buffer.data(), size, &read.iconIndex), read.iconPath) &&
        SUCCEEDED(hr = link->GetHotkey(&read.hotKey)))
        hr = link->GetShowCmd(&read.showCommand);
    return hr;
}

} // namespace lktest
