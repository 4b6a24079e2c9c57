// The Linux side of Wine for the tests: path mapping both ways, Linux commands run from Wine, and
// the immutable flag. A root Wine process is stopped by neither the read-only attribute nor Unix
// permissions, only by the immutable flag (chattr +i).
#pragma once

#include <string>

namespace lktest {

// The Linux path of a Windows path, through Wine's own export; empty outside Wine.
std::string UnixPath(const std::string& windowsPath);
// The Windows path Wine maps a Linux path (one starting with '/') to, through Wine's own export;
// empty outside Wine. Any other path is taken to be a Windows path and returned as it is.
std::string DosPath(const std::string& path);

// Quotes a text for the Linux shell.
std::string ShellQuote(const std::string& text);

// Runs a Linux shell command from Wine and returns its exit status (-1 when it could not run or
// missed the deadline), its output in *output.
int RunLinux(const std::string& command, std::string* output = nullptr, unsigned long timeoutMs = 20000);

// Sets the immutable flag on a file or folder for its lifetime, and always clears it again.
class ScopedImmutable {
public:
    explicit ScopedImmutable(const std::string& windowsPath);
    ~ScopedImmutable() { Clear(); }
    ScopedImmutable(const ScopedImmutable&) = delete;
    ScopedImmutable& operator=(const ScopedImmutable&) = delete;

    bool IsSet() const { return m_set; }
    // Clears the flag now; true when it is not set afterwards.
    bool Clear();

private:
    std::string m_unixPath;
    bool m_set = false;
};

} // namespace lktest
