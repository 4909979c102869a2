#include "app/tagwriters.h"

CTagWriters::CTagWriters(std::size_t threads, std::size_t queued)
    : m_queued(queued)
{
    for (std::size_t i = 0; i < threads; ++i)
        m_threads.emplace_back([this] { Run(); });
}

CTagWriters::~CTagWriters()
{
    {
        const std::lock_guard lock(m_mutex);
        m_ending = true;
    }
    m_work.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
}

void CTagWriters::Submit(std::function<void()> job)
{
    std::unique_lock lock(m_mutex);
    m_room.wait(lock, [this] { return m_dropping || m_jobs.size() < m_queued; });
    if (m_dropping)
        return;
    m_jobs.push_back(std::move(job));
    lock.unlock();
    m_work.notify_one();
}

void CTagWriters::DropWaiting()
{
    {
        const std::lock_guard lock(m_mutex);
        m_dropping = true;
        m_jobs.clear();
    }
    m_room.notify_all();
}

void CTagWriters::Run()
{
    for (;;) {
        std::unique_lock lock(m_mutex);
        m_work.wait(lock, [this] { return m_ending || !m_jobs.empty(); });
        if (m_jobs.empty())
            return; // ending, and nothing left to write
        std::function<void()> job = std::move(m_jobs.front());
        m_jobs.pop_front();
        lock.unlock();
        m_room.notify_one();
        job();
    }
}
