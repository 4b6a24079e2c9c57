// The program that launcher tests start: it writes the command line it was given and the
// folder it was started in to the file named by LK_PROBE_OUT, then ends.
#include <windows.h>

#include <string>

namespace {

std::string Environment(const char* name)
{
    std::string value(MAX_PATH, '\0');
    for (;;) {
        DWORD n = GetEnvironmentVariableA(name, &value[0], static_cast<DWORD>(value.size()));
        if (n == 0)
            return std::string();
        if (n < value.size()) {
            value.resize(n);
            return value;
        }
        value.resize(n);
    }
}

std::string CurrentDirectory()
{
    DWORD n = GetCurrentDirectoryA(0, nullptr);
    std::string directory(n, '\0');
    n = GetCurrentDirectoryA(n, &directory[0]);
    directory.resize(n);
    return directory;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const std::string out = Environment("LK_PROBE_OUT");
    if (out.empty())
        return 2;
    // The command line and the folder, split by a NUL: neither can hold one.
    std::string report = GetCommandLineA();
    report += '\0';
    report += CurrentDirectory();

    // Written under another name first, so that the test never reads half a file.
    const std::string part = out + ".part";
    HANDLE file = CreateFileA(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 3;
    DWORD written = 0;
    BOOL ok = WriteFile(file, report.data(), static_cast<DWORD>(report.size()), &written, nullptr);
    ok = CloseHandle(file) && ok && written == report.size();
    if (!ok || !MoveFileExA(part.c_str(), out.c_str(), MOVEFILE_REPLACE_EXISTING))
        return 4;
    return 0;
}
