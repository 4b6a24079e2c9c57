#include "ShortcutTestSupport.h"

#include <shellapi.h>

using Microsoft::WRL::ComPtr;

namespace lktest {

int RunLinux(const std::string& command, std::string* output)
{
    static int serial = 0;
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string base = std::string(temp) + "lk-linux-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(++serial);
    const std::string outFile = base + ".out", statusFile = base + ".status";
    const std::string unixOut = UnixPath(outFile), unixStatus = UnixPath(statusFile);
    if (unixOut.empty() || unixStatus.empty())
        return -1;
    // The status file appears whole (renamed into place) only once the command has ended.
    const std::string script = "(" + command + ") >" + ShellQuote(unixOut) + " 2>&1; echo $? >" +
                               ShellQuote(unixStatus + ".tmp") + "; mv " + ShellQuote(unixStatus + ".tmp") + " " +
                               ShellQuote(unixStatus);
    const std::string shell = DosPath("/bin/sh");
    if (shell.empty() || script.find('"') != std::string::npos)
        return -1; // a double quote inside would end the argument early
    std::string commandLine = "\"" + shell + "\" -c \"" + script + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    if (process.hProcess)
        CloseHandle(process.hProcess);
    if (process.hThread)
        CloseHandle(process.hThread);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!FileExists(statusFile)) {
        if (std::chrono::steady_clock::now() > deadline)
            return -1;
        Sleep(10);
    }
    int status = std::atoi(FileBytes(statusFile).c_str());
    if (output)
        *output = FileBytes(outFile);
    DeleteFileA(statusFile.c_str());
    DeleteFileA(outFile.c_str());
    return status;
}

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

HRESULT MakeLink(const std::string& linkPath, const LinkSpec& spec)
{
    ComPtr<IShellLinkA> link;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link));
    if (FAILED(hr))
        return hr;
    link->SetPath(spec.target.c_str());
    link->SetArguments(spec.arguments.c_str());
    link->SetWorkingDirectory(spec.workingDirectory.c_str());
    link->SetDescription(spec.description.c_str());
    if (!spec.iconPath.empty())
        link->SetIconLocation(spec.iconPath.c_str(), spec.iconIndex);
    if (spec.hotKey)
        link->SetHotkey(spec.hotKey);
    link->SetShowCmd(spec.showCommand);
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
