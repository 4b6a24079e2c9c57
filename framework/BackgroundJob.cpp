#include "framework/BackgroundJob.h"

namespace {

// How long Stop waits for the work in all, and how often it cancels the read the work is blocked
// in meanwhile (a cancelled read is often followed by the next one).
constexpr DWORD StopWaitMs = 2000;
constexpr DWORD CancelEveryMs = 20;
// The window hears of progress at most this often: its queue stays short.
constexpr DWORD ProgressEveryMs = 100;

DWORD WINAPI JobMain(void* parameter)
{
    // The one cast CreateThread asks for; the thread then holds the state itself.
    std::shared_ptr<JobState> state = std::move(static_cast<JobState*>(parameter)->worker);
    state->RunOnThread();
    return 0;
}

} // namespace

void JobState::RunOnThread()
{
    m_lastTold = GetTickCount(); // the first count after a tenth of a second, as every later one
    Run();
    done = true;
    Tell();
}

void JobState::Leave()
{
    AcquireSRWLockExclusive(&m_lock);
    m_window = nullptr;
    ReleaseSRWLockExclusive(&m_lock);
}

void JobState::Tell()
{
    // Under the lock, so that once Leave returns nothing more reaches the window.
    AcquireSRWLockExclusive(&m_lock);
    if (m_window)
        PostMessageW(m_window, m_message, 0, 0);
    ReleaseSRWLockExclusive(&m_lock);
}

void JobState::Progress(size_t count)
{
    progress = count;
    const DWORD now = GetTickCount();
    if (now - m_lastTold >= ProgressEveryMs) {
        m_lastTold = now;
        Tell();
    }
}

bool JobThread::Start(std::shared_ptr<JobState> state)
{
    Stop();
    state->worker = state;
    m_thread = OwnHandle(CreateThread(nullptr, 0, &JobMain, state.get(), 0, nullptr));
    if (!m_thread) {
        const DWORD error = GetLastError();
        state->worker.reset();
        SetLastError(error);
        return false;
    }
    m_state = std::move(state);
    return true;
}

void JobThread::RequestStop()
{
    if (m_state)
        m_state->stop = true;
}

void JobThread::Stop()
{
    if (!m_state)
        return;
    m_state->stop = true;
    m_state->Leave();
    const DWORD start = GetTickCount();
    while (m_thread && GetTickCount() - start < StopWaitMs) {
        CancelSynchronousIo(m_thread.get());
        if (WaitForSingleObject(m_thread.get(), CancelEveryMs) != WAIT_TIMEOUT)
            break;
    }
    // Still running after the bound, the thread keeps its own hold on the state and ends alone.
    Forget();
}

void JobThread::Forget()
{
    m_thread.reset();
    m_state.reset();
}
