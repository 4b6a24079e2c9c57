#include "core/LockOut.h"

#include <algorithm>

long long WaitAfter(unsigned failures)
{
    if (failures < FreeTries)
        return 0;
    long long wait = FirstWaitSeconds;
    for (unsigned n = FreeTries; n < failures && wait < LongestWaitSeconds; ++n)
        wait *= 2;
    return std::min(wait, LongestWaitSeconds);
}

long long SecondsLeft(const LockOutState& state, long long now)
{
    const long long wait = WaitAfter(state.failures);
    if (wait == 0 || state.lockedUntil <= now)
        return 0;
    return std::min(state.lockedUntil - now, wait);
}

LockOutState Anchored(const LockOutState& state, long long now)
{
    const long long wait = WaitAfter(state.failures);
    if (wait == 0 || state.lockedUntil - now <= wait)
        return state;
    return LockOutState{state.failures, now + wait};
}

LockOutState AfterWrongPassword(const LockOutState& state, long long now)
{
    LockOutState next;
    // Saturates far beyond the point where the wait stops growing.
    next.failures = state.failures < 1000 ? state.failures + 1 : state.failures;
    const long long wait = WaitAfter(next.failures);
    next.lockedUntil = wait == 0 ? 0 : now + wait;
    return next;
}

std::string FormatLockOut(const LockOutState& state)
{
    return std::to_string(state.failures) + " " + std::to_string(state.lockedUntil);
}

namespace {

// A decimal number of at most 18 digits at text[at], which moves past it.
bool TakeNumber(const std::string& text, size_t& at, long long& value)
{
    const size_t start = at;
    value = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - start < 18)
        value = value * 10 + (text[at++] - '0');
    return at > start && (at == text.size() || text[at] < '0' || text[at] > '9');
}

} // namespace

LockOutState ParseLockOut(const std::string& text)
{
    size_t at = 0;
    long long failures = 0, until = 0;
    if (!TakeNumber(text, at, failures) || at >= text.size() || text[at] != ' ' || !TakeNumber(text, ++at, until) ||
        at != text.size() || failures > 1000)
        return LockOutState();
    return LockOutState{static_cast<unsigned>(failures), until};
}
