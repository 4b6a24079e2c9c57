// Paths the system gives the Windows tests: its folders, short and long forms, and the code-page
// conversion the wide-only calls need. Each call's buffer grows to whatever the answer needs.
#pragma once

#include <string>

namespace lktest {

// The system folder (C:\windows\system32 in the prefix); empty when the call fails.
std::string SystemFolder();
// The Windows folder; empty when the call fails.
std::string WindowsFolder();
// The temporary folder, with its trailing backslash; empty when the call fails.
std::string TempFolder();
// The current folder of this process; empty when the call fails.
std::string CurrentFolder();

// The short (8.3) form of an existing path as the file system gives it. Empty when there is no
// short form: the path does not exist, or the call fails. Callers that want the path itself in
// that case say so at the call.
std::string ShortPath(const std::string& path);
// The long form of an existing path; empty when the path does not exist or the call fails.
std::string LongPath(const std::string& path);

// Text in the ANSI code page to UTF-16 and back, for calls that only take wide text.
std::wstring Widen(const std::string& text);
std::string Narrow(const std::wstring& text);

} // namespace lktest
