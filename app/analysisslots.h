#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>

// No more analyses at once than there are slots. A mutex and a condition,
// not std::counting_semaphore: libstdc++'s spins on sched_yield before it
// sleeps, some fifty system calls a file where threads wait on the disk.
class CAnalysisSlots {
public:
    explicit CAnalysisSlots(std::size_t slots)
        : m_free(slots)
    {
    }

    void Take()
    {
        std::unique_lock lock(m_mutex);
        m_freed.wait(lock, [this] { return m_free > 0; });
        --m_free;
    }
    void Give()
    {
        {
            const std::lock_guard lock(m_mutex);
            ++m_free;
        }
        m_freed.notify_one();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_freed;
    std::size_t m_free;
};
