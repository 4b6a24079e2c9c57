// The long form of paths as the look over the shortcuts finds it, each folder listed once,
// against GetLongPathNameW's answer for the same paths.
#include "tests/support/Files.h"
#include "tests/support/Paths.h"
#include "win/LongPaths.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace lktest;

namespace {

std::wstring ShortW(const std::wstring& path)
{
    std::wstring buffer(32768, L'\0');
    const DWORD n = GetShortPathNameW(path.c_str(), &buffer[0], static_cast<DWORD>(buffer.size()));
    buffer.resize(n < buffer.size() ? n : 0);
    return buffer;
}

// What GetLongPathNameW gives, or the path itself when it gives nothing.
std::wstring SystemAnswer(const std::wstring& path)
{
    std::wstring buffer(32768, L'\0');
    const DWORD n = GetLongPathNameW(path.c_str(), &buffer[0], static_cast<DWORD>(buffer.size()));
    if (n == 0 || n >= buffer.size())
        return path;
    buffer.resize(n);
    return buffer;
}

void MakeFile(const std::wstring& path)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << Narrow(path);
    CloseHandle(file);
}

std::wstring Lower(std::wstring text)
{
    CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

std::wstring Upper(std::wstring text)
{
    CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

} // namespace

TEST(LongPaths, GiveWhatGetLongPathNameGives)
{
    ScratchFolder scratch("lk long paths");
    const std::wstring root = Widen(scratch.Path());
    const std::wstring programs = root + L"\\Program Folder";
    const std::wstring data = programs + L"\\Data Files";
    const std::wstring cafe = programs + L"\\Caf\u00e9";
    const std::wstring program = programs + L"\\Long Program Name.exe";
    const std::wstring settings = data + L"\\Settings File.ini";
    const std::wstring cafeProgram = cafe + L"\\Long Program Name.exe";
    const std::wstring notes = programs + L"\\Notes File.txt";
    for (const std::wstring& folder : {programs, data, cafe})
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr)) << Narrow(folder);
    for (const std::wstring& file : {program, settings, cafeProgram, notes, programs + L"\\APP.EXE"})
        MakeFile(file);

    const std::wstring shortPrograms = ShortW(programs);
    const std::wstring shortProgram = ShortW(program);
    ASSERT_NE(shortPrograms.find(L'~'), std::wstring::npos) << "the fixture needs short names";
    ASSERT_NE(Upper(shortPrograms), Upper(programs));
    const std::wstring shortName = shortProgram.substr(shortProgram.rfind(L'\\'));
    const std::wstring commonFiles = ShortW(L"C:\\Program Files\\Common Files");

    const std::vector<std::wstring> paths = {
        shortProgram,                                    // every folder and the file short
        ShortW(settings),                                // two short folders deep
        programs + shortName,                            // only the file short
        shortPrograms + L"\\Long Program Name.exe",      // only the folder short
        Lower(shortProgram),                             // short names written in another case
        shortPrograms + L"\\LONG PROGRAM NAME.EXE",      // a long name in another case stays as written
        shortPrograms + L"\\app.exe",                    // a name of 8.3 letters takes the case it has
        ShortW(cafeProgram),                             // a name beyond ASCII
        Upper(ShortW(cafeProgram)),
        shortPrograms + L"\\MISSIN~1.EXE",               // not there
        shortPrograms + L"\\Missing Folder\\LONGPR~1.EXE",
        ShortW(notes) + L"\\INSIDE~1.TXT",               // through a file
        commonFiles,                                     // "C:\..." itself
        Lower(commonFiles),
        shortPrograms + L"\\..\\" + shortPrograms.substr(shortPrograms.rfind(L'\\') + 1) + shortName,
        shortPrograms + L"/Long Program Name.exe",
        shortPrograms + L"\\",
    };
    ASSERT_EQ(SystemAnswer(shortProgram), program) << "the fixture's short names are not what it expects";
    ASSERT_EQ(commonFiles.substr(0, 3), L"C:\\");
    ASSERT_NE(commonFiles.find(L'~'), std::wstring::npos);

    // The same paths once more: then every folder comes from its list.
    LongPaths longPaths;
    for (int pass = 1; pass <= 2; ++pass)
        for (const std::wstring& path : paths)
            EXPECT_EQ(longPaths.LongForm(path), SystemAnswer(path)) << "pass " << pass;

    // A path without a '~' is long already, as it is written.
    const std::wstring written = Lower(program);
    EXPECT_EQ(longPaths.LongForm(written), written);
}
