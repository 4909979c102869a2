#pragma once

#include <pulse/context.h>
#include <pulse/operation.h>
#include <pulse/stream.h>
#include <pulse/thread-mainloop.h>

// What the sound server's streams share: the states that end them, and the
// lock of the sound library's thread.
namespace sound {

inline bool IsGone(pa_context_state_t state)
{
    return state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED;
}

inline bool IsGone(pa_stream_state_t state)
{
    return state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED;
}

inline void Release(pa_operation* operation)
{
    if (operation)
        pa_operation_unref(operation);
}

// RAII for the loop's lock, taken by callers from outside the loop's thread.
class LoopLock {
public:
    explicit LoopLock(pa_threaded_mainloop* loop)
        : m_loop(loop)
    {
        pa_threaded_mainloop_lock(m_loop);
    }
    ~LoopLock() { pa_threaded_mainloop_unlock(m_loop); }
    LoopLock(const LoopLock&) = delete;
    LoopLock& operator=(const LoopLock&) = delete;

private:
    pa_threaded_mainloop* m_loop;
};

} // namespace sound
