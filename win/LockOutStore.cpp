#include "win/LockOutStore.h"

#include "core/Paths.h"

#include <windows.h>

namespace {

constexpr char LockOutKey[] = "Software\\Latchkey\\LockOut";

// One record's value: its path in lower case, as Windows matches paths.
std::string ValueName(const std::string& recordPath)
{
    return LowerAscii(recordPath);
}

class RegistryKey {
public:
    explicit RegistryKey(REGSAM access)
    {
        if (RegCreateKeyExA(HKEY_CURRENT_USER, LockOutKey, 0, nullptr, 0, access, nullptr, &m_key, nullptr) !=
            ERROR_SUCCESS)
            m_key = nullptr;
    }
    ~RegistryKey()
    {
        if (m_key)
            RegCloseKey(m_key);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

} // namespace

LockOutState LoadLockOut(const std::string& recordPath)
{
    RegistryKey key(KEY_QUERY_VALUE);
    if (!key.Get())
        return LockOutState();
    // The stored text is short; anything longer is not ours.
    std::string text(64, '\0');
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(text.size());
    if (RegQueryValueExA(key.Get(), ValueName(recordPath).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&text[0]),
                         &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return LockOutState();
    text.resize(size);
    while (!text.empty() && text.back() == '\0')
        text.pop_back();
    return ParseLockOut(text);
}

void SaveLockOut(const std::string& recordPath, const LockOutState& state)
{
    RegistryKey key(KEY_SET_VALUE);
    if (!key.Get())
        return;
    const std::string name = ValueName(recordPath);
    if (state.failures == 0) {
        RegDeleteValueA(key.Get(), name.c_str());
        return;
    }
    const std::string text = FormatLockOut(state);
    RegSetValueExA(key.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
}

long long UtcSecondsNow()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const unsigned long long ticks = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    constexpr unsigned long long TicksTo1970 = 116444736000000000ull; // 100 ns steps from 1601
    return static_cast<long long>((ticks - TicksTo1970) / 10000000ull);
}
