#pragma once

#include "bench/child.h"

#include <QTimer>
#include <algorithm>
#include <vector>

namespace vxbench
{

// Times the event-loop turns during a command with a 1 ms timer: the longest stretch between
// two turns (or between the command's start or end and the nearest turn) is how long the
// windows could not answer.
class PumpProbe
{
public:
    PumpProbe()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { m_stamps.push_back(monotonicNs()); });
    }
    void start()
    {
        m_stamps.clear();
        m_stamps.push_back(monotonicNs());
        m_timer.start();
    }
    double stop()
    {
        m_stamps.push_back(monotonicNs());
        m_timer.stop();
        qint64 longest = 0;
        for (size_t i = 1; i < m_stamps.size(); ++i)
            longest = std::max(longest, m_stamps[i] - m_stamps[i - 1]);
        return double(longest) / 1e6;
    }

private:
    QTimer m_timer;
    std::vector<qint64> m_stamps;
};

} // namespace vxbench
