#include "framework/BackgroundJob.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr UINT JobMessage = WM_APP + 7;

// A hidden window that counts the job's messages.
struct Listener {
    Listener()
    {
        window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    }
    ~Listener() { DestroyWindow(window); }
    // Pumps the window's messages until the job's message came or the time is up.
    bool WaitForMessage(DWORD ms)
    {
        const DWORD start = GetTickCount();
        MSG message;
        while (GetTickCount() - start < ms) {
            if (PeekMessageW(&message, window, JobMessage, JobMessage, PM_REMOVE))
                return true;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_POSTMESSAGE);
        }
        return false;
    }
    HWND window;
};

// What the work reports back, alive for as long as either side holds it.
struct Seen {
    std::atomic<bool> started{false};
    std::atomic<DWORD> readError{0};
};

} // namespace

TEST(BackgroundJob, ResultAndProgressArriveByAMessageThatCarriesNothing)
{
    Listener listener;
    CBackgroundJob<std::string> job(JobMessage);
    ASSERT_TRUE(job.Start(listener.window, [](const std::atomic<bool>&, const JobProgress& progress) {
        progress(3);
        return std::string("found");
    }));
    std::optional<std::string> result;
    for (int i = 0; i < 3 && !result; ++i) {
        ASSERT_TRUE(listener.WaitForMessage(5000));
        result = job.TakeResult();
    }
    ASSERT_TRUE(result);
    EXPECT_EQ(*result, "found");
    EXPECT_FALSE(job.Running());
    EXPECT_FALSE(job.TakeResult()); // once
}

TEST(BackgroundJob, RequestedStopEndsTheWorkWithWhatItHas)
{
    Listener listener;
    CBackgroundJob<int> job(JobMessage);
    ASSERT_TRUE(job.Start(listener.window, [](const std::atomic<bool>& stop, const JobProgress&) {
        int rounds = 0;
        while (!stop) {
            Sleep(5);
            ++rounds;
        }
        return rounds;
    }));
    EXPECT_TRUE(job.Running());
    job.RequestStop();
    ASSERT_TRUE(listener.WaitForMessage(5000));
    EXPECT_TRUE(job.TakeResult());
}

// A read that nobody answers (a pipe whose other end never writes, as a dead server or another
// program's lock would leave it): Stop cancels it and returns within its bound.
TEST(BackgroundJob, StopCancelsABlockedRead)
{
    const std::wstring name = L"\\\\.\\pipe\\lk-job-test-" + std::to_wstring(GetCurrentProcessId());
    UniqueHandle server = OwnHandle(CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 1,
                                                     4096, 4096, 0, nullptr));
    ASSERT_TRUE(server);
    auto seen = std::make_shared<Seen>();
    Listener listener;
    CBackgroundJob<int> job(JobMessage);
    ASSERT_TRUE(job.Start(listener.window, [seen, name](const std::atomic<bool>&, const JobProgress&) {
        UniqueHandle pipe = OwnHandle(
            CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        seen->started = true;
        char byte;
        DWORD read = 0;
        if (!pipe || !ReadFile(pipe.get(), &byte, 1, &read, nullptr))
            seen->readError = pipe ? GetLastError() : ~0u;
        return 0;
    }));
    const DWORD deadline = GetTickCount() + 5000;
    while (!seen->started && GetTickCount() < deadline)
        Sleep(5);
    ASSERT_TRUE(seen->started);
    Sleep(50); // into the read
    const DWORD before = GetTickCount();
    job.Stop();
    EXPECT_LT(GetTickCount() - before, 1500u); // cancelled, not the bound run out
    EXPECT_FALSE(job.Running());
    EXPECT_EQ(seen->readError.load(), static_cast<DWORD>(ERROR_OPERATION_ABORTED));
    EXPECT_FALSE(listener.WaitForMessage(100)); // the window left: nothing reaches it
}

// Work that neither checks the flag nor reads: Stop gives up after its bound, and the work ends
// later on its own, with what it shares still alive and nothing posted.
TEST(BackgroundJob, StopLeavesWorkThatWillNotEndToEndAlone)
{
    auto seen = std::make_shared<Seen>();
    UniqueHandle release = OwnHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    UniqueHandle ended = OwnHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    Listener listener;
    {
        CBackgroundJob<std::string> job(JobMessage);
        HANDLE go = release.get(), done = ended.get();
        ASSERT_TRUE(job.Start(listener.window, [seen, go, done](const std::atomic<bool>&, const JobProgress& progress) {
            WaitForSingleObject(go, INFINITE);
            progress(1);
            seen->started = true;
            SetEvent(done);
            return std::string(1000, 'x');
        }));
        const DWORD before = GetTickCount();
        job.Stop();
        const DWORD waited = GetTickCount() - before;
        EXPECT_GE(waited, 2000u);
        EXPECT_LT(waited, 10000u); // bounded, however loaded the machine
    } // the owner is gone
    SetEvent(release.get());
    ASSERT_EQ(WaitForSingleObject(ended.get(), 5000), WAIT_OBJECT_0);
    EXPECT_TRUE(seen->started);
    EXPECT_FALSE(listener.WaitForMessage(200));
}
