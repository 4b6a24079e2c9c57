#include "win/LogonTask.h"

#include "core/LogonTaskXml.h"
#include "win/Strings.h"
#include "win/SystemLibrary.h"

#include <taskschd.h>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

const wchar_t CheckTaskName[] = L"Latchkey check";

namespace {

const CLSID TaskSchedulerClass = {0x0f87369f, 0xa4e5, 0x4cfc, {0xbd, 0x3e, 0x73, 0xe6, 0x15, 0x45, 0x72, 0xdd}};

// A string the task scheduler's calls take, freed when it goes.
class Bstr {
public:
    explicit Bstr(const std::wstring& text)
    {
        if (auto alloc = SystemFunction<decltype(&SysAllocStringLen)>("oleaut32.dll", "SysAllocStringLen"))
            m_text = alloc(text.c_str(), static_cast<UINT>(text.size()));
    }
    ~Bstr()
    {
        if (auto free = SystemFunction<decltype(&SysFreeString)>("oleaut32.dll", "SysFreeString"))
            free(m_text);
    }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR Get() const { return m_text; }
    explicit operator bool() const { return m_text != nullptr; }

private:
    BSTR m_text = nullptr;
};

// A VARIANT holding a string that a Bstr owns.
VARIANT StringVariant(const Bstr& text)
{
    VARIANT value = {};
    value.vt = VT_BSTR;
    value.bstrVal = text.Get();
    return value;
}

HRESULT RootFolder(ComPtr<ITaskFolder>& folder)
{
    auto create = SystemFunction<decltype(&CoCreateInstance)>("ole32.dll", "CoCreateInstance");
    if (!create)
        return E_NOTIMPL;
    ComPtr<ITaskService> service;
    HRESULT hr = create(TaskSchedulerClass, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&service));
    if (FAILED(hr))
        return hr;
    const VARIANT none = {};
    Bstr root(L"\\");
    if (!root)
        return E_OUTOFMEMORY;
    if (FAILED(hr = service->Connect(none, none, none, none)))
        return hr;
    return service->GetFolder(root.Get(), &folder);
}

} // namespace

HRESULT RegisterCheckTask(const std::wstring& toolPath)
{
    ComPtr<ITaskFolder> folder;
    HRESULT hr = RootFolder(folder);
    if (FAILED(hr))
        return hr;
    Bstr name(CheckTaskName), xml(FromUtf8(CheckTaskXml(ToUtf8(toolPath)))), system(L"SYSTEM");
    if (!name || !xml || !system)
        return E_OUTOFMEMORY;
    const VARIANT none = {};
    ComPtr<IRegisteredTask> registered;
    return folder->RegisterTask(name.Get(), xml.Get(), TASK_CREATE_OR_UPDATE, StringVariant(system), none,
                                TASK_LOGON_SERVICE_ACCOUNT, none, &registered);
}

HRESULT DeleteCheckTask()
{
    ComPtr<ITaskFolder> folder;
    HRESULT hr = RootFolder(folder);
    if (FAILED(hr))
        return hr;
    Bstr name(CheckTaskName);
    hr = folder->DeleteTask(name.Get(), 0);
    return hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) ? S_OK : hr;
}

bool CheckTaskRegistered()
{
    ComPtr<ITaskFolder> folder;
    ComPtr<IRegisteredTask> task;
    Bstr name(CheckTaskName);
    return SUCCEEDED(RootFolder(folder)) && SUCCEEDED(folder->GetTask(name.Get(), &task));
}
