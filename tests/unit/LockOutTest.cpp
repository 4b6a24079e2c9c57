#include "core/LockOut.h"

#include <gtest/gtest.h>

namespace {

constexpr long long kNow = 1'800'000'000;

TEST(LockOut, FiveWrongPasswordsInARowStartAWaitThatDoublesUpToFifteenMinutes)
{
    // Wrong passwords one after another, each tried as soon as the wait before it allowed.
    const long long expectedWaits[] = {0, 0, 0, 0, 30, 60, 120, 240, 480, 900, 900, 900};
    LockOutState state;
    long long now = kNow;
    for (long long expected : expectedWaits) {
        SCOPED_TRACE(state.failures + 1);
        ASSERT_EQ(SecondsLeft(state, now), 0);
        state = AfterWrongPassword(state, now);
        EXPECT_EQ(SecondsLeft(state, now), expected);
        EXPECT_EQ(SecondsLeft(state, now + expected), 0);
        if (expected > 0)
            EXPECT_EQ(SecondsLeft(state, now + expected - 1), 1);
        now += expected;
    }
}

TEST(LockOut, AWaitIsNeverLongerThanItsOwnLengthWhateverTheClockSays)
{
    // The clock was set back an hour after the fifth wrong password: the wait, kept from then on,
    // ends its length later.
    const LockOutState state = AfterWrongPassword(LockOutState{4, 0}, kNow);
    EXPECT_EQ(SecondsLeft(state, kNow - 3600), 30);
    const LockOutState anchored = Anchored(state, kNow - 3600);
    EXPECT_EQ(anchored.failures, 5u);
    EXPECT_EQ(SecondsLeft(anchored, kNow - 3600 + 29), 1);
    EXPECT_EQ(SecondsLeft(anchored, kNow - 3600 + 30), 0);
    // A wait within its length, or none, stays as it is.
    for (const LockOutState& kept : {state, LockOutState{3, kNow + 5000}, LockOutState{}}) {
        EXPECT_EQ(Anchored(kept, kNow).lockedUntil, kept.lockedUntil);
        EXPECT_EQ(Anchored(kept, kNow).failures, kept.failures);
    }
    // Fewer than five failures never wait, whatever time is stored.
    EXPECT_EQ(SecondsLeft(LockOutState{4, kNow + 500}, kNow), 0);
    // A count far beyond the ceiling stays there.
    EXPECT_EQ(WaitAfter(5000), LongestWaitSeconds);
    EXPECT_EQ(AfterWrongPassword(LockOutState{1000, 0}, kNow).failures, 1000u);
}

TEST(LockOut, StoredTextReadsBackAndAnythingElseIsAFreshState)
{
    const LockOutState state{7, kNow + 120};
    const LockOutState read = ParseLockOut(FormatLockOut(state));
    EXPECT_EQ(read.failures, 7u);
    EXPECT_EQ(read.lockedUntil, kNow + 120);
    for (const char* text : {"", "7", "7 ", " 7 1", "7 1 ", "-7 1", "7 -1", "x 1", "7 1x", "1001 5",
                             "7 1234567890123456789012"}) {
        SCOPED_TRACE(text);
        const LockOutState fresh = ParseLockOut(text);
        EXPECT_EQ(fresh.failures, 0u);
        EXPECT_EQ(fresh.lockedUntil, 0);
    }
}

} // namespace
