// Shortcut access: the only code that touches .lnk files, always through the shell link object
// or Windows Installer. No windows are shown here. The shortcut's own path is UTF-16: its name
// may hold any character; the ANSI forms are for callers that hold an ANSI path.
#pragma once

#include "core/ShortcutInfo.h"
#include "win/LocalPaths.h"
#include "win/Strings.h"

#include <windows.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <string>

// Why a shortcut's texts cannot be carried as they are.
enum class ShortcutTextProblem {
    None,
    TooLong,       // longer than a shortcut can hold: it may have been cut
    NotInCodePage, // a character the ANSI code page has no form for
};

// Shell link objects made from one lookup of their class, for a command that needs more than one:
// CoCreateInstance looks the class up in the registry for every object, which on some systems
// costs more than loading a shortcut.
class ShellLinkMaker {
public:
    HRESULT Make(Microsoft::WRL::ComPtr<IShellLinkW>& link) const;

private:
    mutable Microsoft::WRL::ComPtr<IClassFactory> m_class; // looked up at the first object
};

// Fills info from the shortcut file as it is stored; the file is never written, nothing is
// searched for and no window is shown. Empties the four texts first; the icon fields keep the
// caller's values unless the icon step succeeds. Returns the first failing step's result; a
// text that would not come back as it is, is named in *problem. *advertised tells, once the file
// has loaded, whether it is an installer's advertised shortcut.
HRESULT ReadShortcut(const std::wstring& linkPath, ShortcutInfo& info, ShortcutTextProblem* problem = nullptr,
                     bool* advertised = nullptr);
inline HRESULT ReadShortcut(const std::string& linkPath, ShortcutInfo& info, ShortcutTextProblem* problem = nullptr,
                            bool* advertised = nullptr)
{
    return ReadShortcut(ToWide(linkPath), info, problem, advertised);
}

// ReadShortcut that asks whether a drive is a server's through local, so that a caller that asks
// again about the same drive (the target's, the record's) does not wait for the answer twice; and
// that makes its shell link object with links, which the caller may use again.
HRESULT ReadShortcut(const std::wstring& linkPath, ShortcutInfo& info, LocalPaths& local, const ShellLinkMaker& links,
                     ShortcutTextProblem* problem = nullptr, bool* advertised = nullptr);

// Reads shortcuts' targets and arguments as stored, for a look over many of them with one shell
// link object: each file is opened for reading only, never resolved (resolving may write it) and
// never written.
class StoredShortcutReader {
public:
    StoredShortcutReader();
    HRESULT Read(const std::wstring& linkPath, std::wstring& target, std::wstring& arguments);

private:
    Microsoft::WRL::ComPtr<IShellLinkW> m_link;
    Microsoft::WRL::ComPtr<IPersistFile> m_file;
    HRESULT m_created;
    std::wstring m_buffer;
};

// The bytes of a new shortcut holding only the properties of info, as the shell link object saves
// it into memory (nothing is written); the same icon rule as WriteShortcut. linkPath is where it
// is meant to go, refused as WriteShortcut refuses it.
HRESULT BuildShortcutBytes(const ShellLinkMaker& links, const std::wstring& linkPath, const ShortcutInfo& info,
                           std::string& bytes, bool* iconRefused = nullptr);

// Puts bytes in the place of the shortcut file at linkPath in one step, keeping the old file's
// attributes; a file another program holds for a moment is tried again for a few seconds. On
// failure the old file is as it was.
HRESULT PutShortcutBytes(const std::wstring& linkPath, const std::string& bytes);

// Writes a new shortcut holding only the properties of info beside linkPath, then puts it in the
// place of any file there in one step, keeping that file's attributes; on failure the old file
// is as it was. A property the shell link object refuses fails the save, except the icon
// location: the shortcut is saved without it, and *iconRefused tells the caller.
HRESULT WriteShortcut(const std::wstring& linkPath, const ShortcutInfo& info, bool* iconRefused = nullptr);
inline HRESULT WriteShortcut(const std::string& linkPath, const ShortcutInfo& info, bool* iconRefused = nullptr)
{
    return WriteShortcut(ToWide(linkPath), info, iconRefused);
}

// True when Windows Installer knows linkPath as an advertised shortcut whose component is
// installed locally; targetPath then holds the component's path.
bool ResolveAdvertisedShortcut(const std::wstring& linkPath, std::string& targetPath);
inline bool ResolveAdvertisedShortcut(const std::string& linkPath, std::string& targetPath)
{
    return ResolveAdvertisedShortcut(ToWide(linkPath), targetPath);
}
