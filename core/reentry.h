#pragma once

namespace vx
{

// Marks a command as running while it pumps events, so a second start of it can be ignored.
class ReentryGuard
{
public:
    explicit ReentryGuard(bool& running) : m_running(running), m_entered(!running)
    {
        if (m_entered)
            m_running = true;
    }
    ~ReentryGuard()
    {
        if (m_entered)
            m_running = false;
    }
    ReentryGuard(const ReentryGuard&) = delete;
    ReentryGuard& operator=(const ReentryGuard&) = delete;

    // False when the command was already running.
    bool entered() const { return m_entered; }

private:
    bool& m_running;
    bool m_entered;
};

} // namespace vx
