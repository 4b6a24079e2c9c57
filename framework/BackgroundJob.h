// Work for a window on a thread of its own, so that the window answers throughout: a look over
// folders, a long read. The window hears of it by one message that carries nothing, posted when
// the count of what was done changed (at most every tenth of a second) and when the work ended;
// it then asks TakeResult, and Progress while that gives nothing.
//
// The thread holds the state it shares with the window, so nothing it touches is freed under it:
// Stop asks the work to end, cancels the read it is blocked in, waits a bounded time and, if the
// work still runs, leaves it to end on its own, telling nobody.
//
//     CBackgroundJob<Found> m_job{WM_APP + 1};
//     m_job.Start(m_hWnd, [folders](const std::atomic<bool>& stop, const JobProgress& progress) {
//         return Look(folders, stop, progress);
//     });
//     ... on WM_APP + 1: if (std::optional<Found> found = m_job.TakeResult()) Show(*found);
//                        else if (m_job.Running()) ShowCount(m_job.Progress());
#pragma once

#include "win/Scoped.h"

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

// Told the count of what the work has done so far; as often as the work likes.
using JobProgress = std::function<void(size_t done)>;

// What the window and the work's thread share; the part that does not depend on the result.
class JobState {
public:
    JobState(HWND window, UINT message) : m_window(window), m_message(message) {}
    virtual ~JobState() = default;
    JobState(const JobState&) = delete;
    JobState& operator=(const JobState&) = delete;

    // The thread's whole life: the work, its result kept, the window told.
    void RunOnThread();
    // The window no longer listens: nothing more is posted to it.
    void Leave();

    std::atomic<bool> stop{false};
    std::atomic<size_t> progress{0};
    std::atomic<bool> done{false};
    std::shared_ptr<JobState> worker; // the thread's own hold on this, taken as it starts

protected:
    // Runs the work and keeps its result (under the lock).
    virtual void Run() = 0;
    void Tell();           // posts the message, unless the window left
    void Progress(size_t count);

    SRWLOCK m_lock = SRWLOCK_INIT;

private:
    HWND m_window;
    UINT m_message;
    DWORD m_lastTold = 0;
};

// Starts, stops and forgets the thread; the typed part lives in CBackgroundJob.
class JobThread {
public:
    JobThread() = default;
    ~JobThread() { Stop(); }
    JobThread(const JobThread&) = delete;
    JobThread& operator=(const JobThread&) = delete;

    // False, with GetLastError's reason, when no thread could be made.
    bool Start(std::shared_ptr<JobState> state);
    // Bounded: returns within about two seconds whatever the work is blocked in.
    void Stop();
    // Asks the work to end and returns at once; the result of what was done so far arrives as usual.
    void RequestStop();
    bool Running() const { return m_state && !m_state->done; }
    // The work has ended and its result was taken: the thread ends on its own.
    void Forget();

protected:
    std::shared_ptr<JobState> m_state;

private:
    UniqueHandle m_thread;
};

template <class Result>
class CBackgroundJob : public JobThread {
public:
    using Work = std::function<Result(const std::atomic<bool>& stop, const JobProgress& progress)>;

    explicit CBackgroundJob(UINT message) : m_message(message) {}

    // Stops any earlier work first.
    bool Start(HWND window, Work work)
    {
        Stop();
        // Not make_shared: without type information it brings in the runtime's locks.
        return JobThread::Start(std::shared_ptr<JobState>(new State(window, m_message, std::move(work))));
    }
    size_t Progress() const { return m_state ? m_state->progress.load() : 0; }
    // The result once the work has ended, once; nullopt before (and for a stopped job's late message).
    std::optional<Result> TakeResult()
    {
        if (!m_state || !m_state->done)
            return std::nullopt;
        std::optional<Result> result = static_cast<State&>(*m_state).Take();
        Forget();
        return result;
    }

private:
    class State : public JobState {
    public:
        State(HWND window, UINT message, Work work) : JobState(window, message), m_work(std::move(work)) {}
        std::optional<Result> Take()
        {
            AcquireSRWLockExclusive(&m_lock);
            std::optional<Result> result = std::move(m_result);
            m_result.reset();
            ReleaseSRWLockExclusive(&m_lock);
            return result;
        }

    private:
        void Run() override
        {
            Result result = m_work(stop, [this](size_t count) { Progress(count); });
            AcquireSRWLockExclusive(&m_lock);
            m_result = std::move(result);
            ReleaseSRWLockExclusive(&m_lock);
        }

        Work m_work;
        std::optional<Result> m_result;
    };

    UINT m_message;
};
