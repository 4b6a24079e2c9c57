#include "core/Secret.h"

void ClearSecret(std::string& secret)
{
    // Growing within the capacity never reallocates, so the zeros cover every byte the text
    // ever had in this buffer; a volatile write keeps the compiler from dropping them.
    secret.resize(secret.capacity());
    volatile char* bytes = &secret[0];
    for (std::string::size_type i = 0; i < secret.size(); ++i)
        bytes[i] = '\0';
    secret.clear();
}

void ClearSecret(std::wstring& secret)
{
    secret.resize(secret.capacity());
    volatile wchar_t* units = &secret[0];
    for (std::wstring::size_type i = 0; i < secret.size(); ++i)
        units[i] = L'\0';
    secret.clear();
}
