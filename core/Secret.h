// Passwords do not linger in memory longer than they are needed.
#pragma once

#include <string>

// Overwrites a secret's whole buffer, then empties it.
void ClearSecret(std::string& secret);
void ClearSecret(std::wstring& secret);

// Clears a secret when it goes out of scope, on every way out.
class SecretWiper {
public:
    explicit SecretWiper(std::string& secret) : m_secret(secret) {}
    ~SecretWiper() { ClearSecret(m_secret); }
    SecretWiper(const SecretWiper&) = delete;
    SecretWiper& operator=(const SecretWiper&) = delete;

private:
    std::string& m_secret;
};
