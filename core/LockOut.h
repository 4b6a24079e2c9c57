// How long the launcher refuses every password after repeated wrong ones: a few free tries, then
// a wait that doubles with each further wrong password, up to a ceiling. Plain values only; the
// launcher keeps the state per user and per record.
#pragma once

#include <string>

// Wrong passwords allowed in a row before the first wait.
constexpr unsigned FreeTries = 5;
constexpr long long FirstWaitSeconds = 30;
constexpr long long LongestWaitSeconds = 15 * 60;

struct LockOutState {
    unsigned failures = 0;    // wrong passwords in a row
    long long lockedUntil = 0; // seconds since 1970 (UTC) when the current wait ends
};

// The wait that follows the failures-th wrong password in a row: none before FreeTries.
long long WaitAfter(unsigned failures);

// Seconds left of the wait at now; 0 when a password may be tried. Never more than the wait
// itself, so that a clock set back cannot lock anyone out for longer.
long long SecondsLeft(const LockOutState& state, long long now);

// The state with a wait that would end later than its length from now (the clock was set back)
// ending that length from now instead; any other state as it is. Kept, it lets the wait run out.
LockOutState Anchored(const LockOutState& state, long long now);

// The state after a wrong password at now (the caller tries none while SecondsLeft is not 0).
LockOutState AfterWrongPassword(const LockOutState& state, long long now);

// Stored as "<failures> <lockedUntil>"; anything else reads as a fresh state.
std::string FormatLockOut(const LockOutState& state);
LockOutState ParseLockOut(const std::string& text);
