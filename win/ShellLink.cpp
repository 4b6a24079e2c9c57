#include "win/ShellLink.h"

#include "win/Files.h"
#include "win/LocalPaths.h"
#include "win/Strings.h"
#include "win/SystemLibrary.h"

#include <msi.h>
#include <shlobj.h>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

namespace {

// The UTF-16 form of the shortcut file's own path must fit this; a longer one fails rather than
// being cut, so that a different file is never loaded or written.
constexpr size_t PathUnits = MAX_PATH;
// Every text a shortcut stores is counted in 16 bits, so it fits with its terminator.
constexpr size_t TextUnits = 65536;
// Room for a long path: the first try of every read. Made ready for the longest text every time,
// the buffer cost more than all the reads.
constexpr size_t FirstTextUnits = 1024;

HRESULT CheckPathLength(const std::wstring& linkPath)
{
    return linkPath.size() + 1 > PathUnits ? HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE) : S_OK;
}

} // namespace

HRESULT ShellLinkMaker::Make(ComPtr<IShellLinkW>& link) const
{
    if (!m_class) {
        auto classObject = SystemFunction<decltype(&CoGetClassObject)>("ole32.dll", "CoGetClassObject");
        if (!classObject)
            return E_NOTIMPL;
        const HRESULT hr = classObject(CLSID_ShellLink, CLSCTX_INPROC_SERVER, nullptr, IID_PPV_ARGS(&m_class));
        if (FAILED(hr))
            return hr;
    }
    return m_class->CreateInstance(nullptr, IID_PPV_ARGS(&link));
}

namespace {

// Loads the shortcut file into link, or saves link as that file.
HRESULT LoadOrSave(IShellLinkW* link, const std::wstring& linkPath, bool save)
{
    HRESULT hr = CheckPathLength(linkPath);
    if (FAILED(hr))
        return hr;
    ComPtr<IPersistFile> file;
    hr = link->QueryInterface(IID_PPV_ARGS(&file));
    if (FAILED(hr))
        return hr;
    return save ? file->Save(linkPath.c_str(), TRUE) : file->Load(linkPath.c_str(), STGM_READ);
}

// Reads one text through get(buffer, size) into buffer. Most texts fit the first room, a long
// path's; one that fills it may have been cut there, and is read again with room for the
// longest. cut says that even that was filled.
template <class Get>
HRESULT ReadWholeText(Get get, std::wstring& buffer, bool& cut)
{
    HRESULT hr = E_FAIL;
    for (const size_t units : {FirstTextUnits, TextUnits}) {
        buffer.assign(units, L'\0');
        hr = get(&buffer[0], static_cast<int>(units));
        if (SUCCEEDED(hr)) {
            buffer.resize(wcsnlen(buffer.c_str(), units));
            cut = buffer.size() + 1 >= units;
            if (!cut)
                return hr;
        }
    }
    return hr;
}

// ReadWholeText, noting in problem why the text would not come back as it is.
template <class Get>
HRESULT ReadText(Get get, std::wstring& buffer, ShortcutTextProblem& problem)
{
    bool cut = false;
    const HRESULT hr = ReadWholeText(get, buffer, cut);
    if (SUCCEEDED(hr) && cut && problem == ShortcutTextProblem::None)
        problem = ShortcutTextProblem::TooLong;
    return hr;
}

// A text no record holds: kept in UTF-16, whatever its characters.
template <class Get>
HRESULT ReadText(Get get, std::wstring& buffer, std::wstring& out, ShortcutTextProblem& problem)
{
    const HRESULT hr = ReadText(get, buffer, problem);
    if (SUCCEEDED(hr))
        out = buffer;
    return hr;
}

// A text the record holds, which must come back from the ANSI code page as it is.
template <class Get>
HRESULT ReadText(Get get, std::wstring& buffer, std::string& out, ShortcutTextProblem& problem)
{
    const HRESULT hr = ReadText(get, buffer, problem);
    if (FAILED(hr))
        return hr;
    std::optional<std::string> ansi = ToAnsi(buffer);
    if (!ansi && problem == ShortcutTextProblem::None)
        problem = ShortcutTextProblem::NotInCodePage;
    out = ansi.value_or(std::string());
    return hr;
}

} // namespace

HRESULT ReadShortcut(const std::wstring& linkPath, ShortcutInfo& info, ShortcutTextProblem* problem, bool* advertised)
{
    LocalPaths local;
    ShellLinkMaker links;
    return ReadShortcut(linkPath, info, local, links, problem, advertised);
}

HRESULT ReadShortcut(const std::wstring& linkPath, ShortcutInfo& info, LocalPaths& local, const ShellLinkMaker& links,
                     ShortcutTextProblem* problem, bool* advertised)
{
    info.targetPath.clear();
    info.description.clear();
    info.workingDirectory.clear();
    info.arguments.clear();
    ShortcutTextProblem found = ShortcutTextProblem::None;

    ComPtr<IShellLinkW> link;
    HRESULT hr = links.Make(link);
    if (FAILED(hr))
        return hr;
    hr = LoadOrSave(link.Get(), linkPath, false);
    if (FAILED(hr))
        return hr;
    if (advertised) {
        ComPtr<IShellLinkDataList> data;
        DWORD flags = 0;
        *advertised = SUCCEEDED(link.As(&data)) && SUCCEEDED(data->GetFlags(&flags)) && (flags & SLDF_HAS_DARWINID);
    }
    // Read as stored: no dialog from the elevated tool, no search for a "nearest match" that
    // would protect another program, and nothing written before the user has said yes. A target
    // that cannot be found is still the shortcut's own, so the result does not stop the read.
    // A target on a server is never looked for: that would send it the administrator's credentials.
    // (A shortcut that stores only an item list has no path text until it is resolved.)
    std::wstring buffer;
    bool cut = false;
    const HRESULT rawRead = ReadWholeText(
        [&](WCHAR* text, int size) { return link->GetPath(text, size, nullptr, SLGP_RAWPATH); }, buffer, cut);
    if (FAILED(rawRead) || buffer.empty() || local.IsLocal(buffer))
        link->Resolve(nullptr, SLR_NO_UI | SLR_NOUPDATE | SLR_NOSEARCH | SLR_NOTRACK);

    std::string target;
    std::wstring description;
    hr = ReadText([&](WCHAR* text, int size) { return link->GetPath(text, size, nullptr, SLGP_UNCPRIORITY); }, buffer,
                  target, found);
    if (FAILED(hr))
        return hr;
    hr = ReadText([&](WCHAR* text, int size) { return link->GetDescription(text, size); }, buffer, description,
                  found);
    if (FAILED(hr))
        return hr;
    // Target and description are taken together, once both have been read.
    info.targetPath = target;
    info.description = description;

    hr = ReadText([&](WCHAR* text, int size) { return link->GetWorkingDirectory(text, size); }, buffer,
                  info.workingDirectory, found);
    if (FAILED(hr))
        return hr;
    hr = ReadText([&](WCHAR* text, int size) { return link->GetArguments(text, size); }, buffer, info.arguments,
                  found);
    if (FAILED(hr))
        return hr;

    int iconIndex = 0;
    std::wstring iconPath;
    hr = ReadText([&](WCHAR* text, int size) { return link->GetIconLocation(text, size, &iconIndex); }, buffer,
                  iconPath, found);
    if (FAILED(hr))
        return hr;
    info.iconPath = iconPath;
    info.iconIndex = iconIndex;

    WORD hotKey = 0;
    int showCommand = SW_SHOWNORMAL;
    if (FAILED(hr = link->GetHotkey(&hotKey)) || FAILED(hr = link->GetShowCmd(&showCommand)))
        return hr;
    info.hotKey = hotKey;
    info.showCommand = showCommand;
    ComPtr<IShellLinkDataList> data;
    DWORD flags = 0;
    info.runAsAdministrator =
        SUCCEEDED(link.As(&data)) && SUCCEEDED(data->GetFlags(&flags)) && (flags & SLDF_RUNAS_USER);
    if (problem)
        *problem = found;
    return hr;
}

StoredShortcutReader::StoredShortcutReader() : m_buffer(TextUnits, L'\0')
{
    m_created = ShellLinkMaker().Make(m_link);
    if (SUCCEEDED(m_created))
        m_created = m_link.As(&m_file);
}

HRESULT StoredShortcutReader::Read(const std::wstring& linkPath, std::wstring& target, std::wstring& arguments)
{
    target.clear();
    arguments.clear();
    HRESULT hr = m_created;
    if (FAILED(hr) || FAILED(hr = m_file->Load(linkPath.c_str(), STGM_READ)))
        return hr;
    // The path as protect reads it, so that the two compare.
    m_buffer[0] = L'\0';
    if (FAILED(hr = m_link->GetPath(&m_buffer[0], static_cast<int>(m_buffer.size()), nullptr, SLGP_UNCPRIORITY)))
        return hr;
    target.assign(m_buffer.c_str(), wcsnlen(m_buffer.c_str(), m_buffer.size()));
    m_buffer[0] = L'\0';
    if (FAILED(hr = m_link->GetArguments(&m_buffer[0], static_cast<int>(m_buffer.size()))))
        return hr;
    arguments.assign(m_buffer.c_str(), wcsnlen(m_buffer.c_str(), m_buffer.size()));
    return S_OK;
}

namespace {

// A new shell link object holding only the properties of info; the icon location is left out when
// the object refuses it, and *iconRefused says so.
HRESULT NewShellLink(const ShellLinkMaker& links, const ShortcutInfo& info, ComPtr<IShellLinkW>& link,
                     bool* iconRefused)
{
    HRESULT hr = links.Make(link);
    if (FAILED(hr))
        return hr;
    // A refused property would leave the object's default in the saved shortcut: a restored
    // shortcut without its target, say. Only the icon is optional.
    if (FAILED(hr = link->SetPath(ToWide(info.targetPath).c_str())) ||
        FAILED(hr = link->SetDescription(info.description.c_str())) ||
        FAILED(hr = link->SetArguments(ToWide(info.arguments).c_str())) ||
        FAILED(hr = link->SetWorkingDirectory(ToWide(info.workingDirectory).c_str())))
        return hr;
    if (FAILED(hr = link->SetHotkey(info.hotKey)) || FAILED(hr = link->SetShowCmd(info.showCommand)))
        return hr;
    if (info.runAsAdministrator) {
        ComPtr<IShellLinkDataList> data;
        DWORD flags = 0;
        if (FAILED(hr = link.As(&data)) || FAILED(hr = data->GetFlags(&flags)) ||
            FAILED(hr = data->SetFlags(flags | SLDF_RUNAS_USER)))
            return hr;
    }
    const bool refused = FAILED(link->SetIconLocation(info.iconPath.c_str(), info.iconIndex));
    if (iconRefused)
        *iconRefused = refused;
    return S_OK;
}

} // namespace

HRESULT BuildShortcutBytes(const ShellLinkMaker& links, const std::wstring& linkPath, const ShortcutInfo& info,
                           std::string& bytes, bool* iconRefused)
{
    // A path the shell link object could not take is refused here as it is everywhere else.
    HRESULT hr = CheckPathLength(linkPath);
    ComPtr<IShellLinkW> link;
    if (FAILED(hr) || FAILED(hr = NewShellLink(links, info, link, iconRefused)))
        return hr;
    // Saved into memory: saving to a file costs a file made, read back and removed, and some
    // shell link objects start other work for every file saved.
    auto createStream = SystemFunction<decltype(&CreateStreamOnHGlobal)>("ole32.dll", "CreateStreamOnHGlobal");
    ComPtr<IPersistStream> persist;
    ComPtr<IStream> stream;
    if (!createStream)
        return E_NOTIMPL;
    if (FAILED(hr = link.As(&persist)) || FAILED(hr = createStream(nullptr, TRUE, &stream)) ||
        FAILED(hr = persist->Save(stream.Get(), TRUE)))
        return hr;
    ULARGE_INTEGER size = {};
    if (FAILED(hr = stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &size)))
        return hr;
    if (size.QuadPart == 0 || size.QuadPart > MaxReadBytes)
        return E_FAIL;
    std::string saved(static_cast<size_t>(size.QuadPart), '\0');
    ULONG read = 0;
    if (FAILED(hr = stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr)) ||
        FAILED(hr = stream->Read(&saved[0], static_cast<ULONG>(saved.size()), &read)))
        return hr;
    if (read != saved.size())
        return E_FAIL;
    bytes = std::move(saved);
    return S_OK;
}

HRESULT PutShortcutBytes(const std::wstring& linkPath, const std::string& bytes)
{
    // Explorer, an indexer or a virus scanner may hold a shortcut just written for a moment.
    constexpr ULONGLONG RetryMilliseconds = 3000;
    const ULONGLONG deadline = GetTickCount64() + RetryMilliseconds;
    for (;;) {
        // Written whole into a new file beside, then put in the old one's place in one step: a
        // kill or a power cut mid-write leaves the old shortcut or the new one, never half of one.
        // The shortcut's folder may be another user's: the new file's name is one nobody could
        // plant a link at, and it is created, never opened.
        const std::wstring newPath = NewFileBeside(linkPath);
        if (newPath.empty() || WriteNewWholeFile(newPath, bytes) != NewFileResult::Written)
            return HRESULT_FROM_WIN32(ERROR_WRITE_FAULT);
        if (ReplaceWithNewFile(linkPath, newPath))
            return S_OK;
        const DWORD error = GetLastError();
        const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                          error == ERROR_UNABLE_TO_REMOVE_REPLACED;
        if (!held || GetTickCount64() >= deadline)
            return HRESULT_FROM_WIN32(error);
        Sleep(50);
    }
}

HRESULT WriteShortcut(const std::wstring& linkPath, const ShortcutInfo& info, bool* iconRefused)
{
    HRESULT hr = CheckPathLength(linkPath);
    ComPtr<IShellLinkW> link;
    ShellLinkMaker links;
    if (FAILED(hr) || FAILED(hr = NewShellLink(links, info, link, iconRefused)))
        return hr;
    // Saved as a file beside the shortcut, so that the object keeps what it keeps for a file in
    // that place (the target's path relative to it); read back, removed, and put in place.
    // Under a name nobody could plant a link at: saving follows one.
    const std::wstring newPath = NewFileBeside(linkPath);
    if (newPath.empty())
        return E_FAIL;
    hr = LoadOrSave(link.Get(), newPath, true);
    const std::optional<std::string> saved = SUCCEEDED(hr) ? ReadWholeFile(newPath) : std::nullopt;
    DeleteFileW(newPath.c_str());
    if (FAILED(hr))
        return hr;
    return saved ? PutShortcutBytes(linkPath, *saved) : E_FAIL;
}

bool ResolveAdvertisedShortcut(const std::wstring& linkPath, std::string& targetPath)
{
    // The shortcut's own name may be any text; what it names is asked for in ANSI, as the
    // record keeps it.
    auto shortcutTarget = SystemFunction<decltype(&MsiGetShortcutTargetW)>("msi.dll", "MsiGetShortcutTargetW");
    auto componentPath = SystemFunction<decltype(&MsiGetComponentPathA)>("msi.dll", "MsiGetComponentPathA");
    if (!shortcutTarget || !componentPath)
        return false;

    // Product, feature and component are GUIDs or names of at most 38 characters.
    wchar_t productCode[39] = {};
    wchar_t featureId[MAX_FEATURE_CHARS + 1] = {};
    wchar_t componentCode[39] = {};
    if (shortcutTarget(linkPath.c_str(), productCode, featureId, componentCode) != ERROR_SUCCESS)
        return false;
    const std::optional<std::string> product = ToAnsi(productCode);
    const std::optional<std::string> component = ToAnsi(componentCode);
    if (!product || !component)
        return false;

    std::string path(TextUnits, '\0');
    DWORD size = static_cast<DWORD>(path.size());
    if (componentPath(product->c_str(), component->c_str(), &path[0], &size) != INSTALLSTATE_LOCAL || size >= path.size())
        return false;
    path.resize(size);
    targetPath = path;
    return true;
}
