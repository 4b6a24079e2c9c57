#include "win/DataFolder.h"

#include "win/Scoped.h"
#include "win/Strings.h"
#include "win/SystemLibrary.h"

#include <windows.h>

#include <aclapi.h>
#include <cstring>
#include <sddl.h>
#include <shlobj.h>

namespace {

// Owner Administrators; a protected access list (nothing inherited from ProgramData) giving full
// control to SYSTEM and Administrators.
constexpr wchar_t LatchkeySecurity[] = L"O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

// True when the open folder already has this owner and exactly this protected access list, ACE
// for ACE. Anything else (another order, an inherited entry) counts as not as it should be.
bool HasSecurity(HANDLE folder, PSID owner, PACL dacl)
{
    PSID currentOwner = nullptr;
    PACL currentDacl = nullptr;
    LocalMemory<void> descriptor;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    if (GetSecurityInfo(folder, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                        &currentOwner, nullptr, &currentDacl, nullptr, descriptor.Out()) != ERROR_SUCCESS ||
        !GetSecurityDescriptorControl(descriptor.Get(), &control, &revision) || !(control & SE_DACL_PROTECTED) ||
        !currentOwner || !owner || !EqualSid(currentOwner, owner) || !currentDacl || !dacl ||
        currentDacl->AceCount != dacl->AceCount)
        return false;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* want = nullptr;
        void* have = nullptr;
        if (!GetAce(dacl, i, &want) || !GetAce(currentDacl, i, &have))
            return false;
        const WORD size = static_cast<ACE_HEADER*>(want)->AceSize;
        if (static_cast<ACE_HEADER*>(have)->AceSize != size || memcmp(want, have, size) != 0)
            return false;
    }
    return true;
}

// Makes folder with the given security, or gives an existing one that security when it has other. A user may
// have made it first (ProgramData lets anyone make folders): it is taken over, never followed
// when it is a link or junction.
bool SecureFolder(const std::wstring& folder, PSECURITY_DESCRIPTOR descriptor)
{
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
    if (!CreateDirectoryW(folder.c_str(), &attributes) && GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    UniqueHandle handle = OwnHandle(CreateFileW(folder.c_str(), READ_CONTROL | WRITE_DAC | WRITE_OWNER,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                                nullptr));
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!handle || !GetFileInformationByHandle(handle.get(), &info) ||
        !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    // A link anywhere on the way makes the path the system reached another one.
    std::wstring reached = GrowString<wchar_t>([&](wchar_t* buffer, DWORD size) {
                               return GetFinalPathNameByHandleW(handle.get(), buffer, size, FILE_NAME_NORMALIZED);
                           }).value_or(std::wstring());
    if (reached.compare(0, 4, L"\\\\?\\") == 0)
        reached.erase(0, 4);
    if (CompareStringOrdinal(reached.c_str(), -1, folder.c_str(), -1, TRUE) != CSTR_EQUAL)
        return false;
    PSID owner = nullptr;
    PACL dacl = nullptr;
    BOOL present = FALSE, defaulted = FALSE;
    if (!GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) ||
        !GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted))
        return false;
    // Set only when it is not so already: every protect and remove passes here.
    if (HasSecurity(handle.get(), owner, dacl))
        return true;
    return SetSecurityInfo(handle.get(), SE_FILE_OBJECT,
                           OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
                               PROTECTED_DACL_SECURITY_INFORMATION,
                           owner, nullptr, dacl, nullptr) == ERROR_SUCCESS;
}

} // namespace

std::optional<std::wstring> ProgramDataFolder()
{
    auto folderPath = SystemFunction<decltype(&SHGetFolderPathW)>("shell32.dll", "SHGetFolderPathW");
    std::wstring programData(MAX_PATH, L'\0'); // the size the call is defined to fill
    if (!folderPath || FAILED(folderPath(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, &programData[0])))
        return std::nullopt;
    programData.resize(wcsnlen(programData.c_str(), programData.size()));
    while (!programData.empty() && programData.back() == L'\\')
        programData.pop_back();
    if (programData.empty())
        return std::nullopt;
    return programData;
}

std::optional<std::wstring> SecuredDataFolder(const std::wstring& name, const wchar_t* sddl)
{
    const std::optional<std::wstring> programData = ProgramDataFolder();
    if (!programData)
        return std::nullopt;
    const std::wstring latchkey = *programData + L"\\Latchkey";
    const std::wstring folder = latchkey + L"\\" + name;
    LocalMemory<void> latchkeySecurity, folderSecurity;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(LatchkeySecurity, SDDL_REVISION_1,
                                                              latchkeySecurity.Out(), nullptr) ||
        !ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, folderSecurity.Out(), nullptr) ||
        !SecureFolder(latchkey, latchkeySecurity.Get()) || !SecureFolder(folder, folderSecurity.Get()))
        return std::nullopt;
    return folder;
}
