#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Tag writes on threads of their own, where each waits on the disk while
// its copy is flushed. The analyses keep one thread a core and never sleep
// to hand a core over: a core left by a sleeping thread can stay idle for
// milliseconds while two others share one, a tenth of the time of a short
// file. Jobs wait in turn, up to a bound, beyond which Submit waits too.
class CTagWriters {
public:
    CTagWriters(std::size_t threads, std::size_t queued);
    // Runs every job submitted, then ends the threads.
    ~CTagWriters();
    CTagWriters(const CTagWriters&) = delete;
    CTagWriters& operator=(const CTagWriters&) = delete;

    void Submit(std::function<void()> job);
    // The jobs not yet started, and any submitted from now on, are
    // dropped: their results would be lost.
    void DropWaiting();

private:
    void Run();

    std::mutex m_mutex;
    std::condition_variable m_work, m_room;
    std::deque<std::function<void()>> m_jobs;
    std::size_t m_queued;
    bool m_ending = false, m_dropping = false;
    std::vector<std::thread> m_threads;
};
