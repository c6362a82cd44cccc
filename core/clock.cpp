#include "core/clock.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace vx
{

namespace
{

class SystemClock final : public Clock
{
public:
    double secondsSinceMidnight() override
    {
        return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
    }

    double elapsedSeconds() override
    {
        static QElapsedTimer timer;
        if (!timer.isValid())
            timer.start();
        return double(timer.nsecsElapsed()) / 1e9;
    }

    void idle() override
    {
        // Keep handling events while waiting, without burning a core.
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
};

Clock*& installed()
{
    static Clock* clock = nullptr;
    return clock;
}

} // namespace

Clock& clock()
{
    static SystemClock system;
    return installed() ? *installed() : system;
}

void setClock(Clock* clock)
{
    installed() = clock;
}

} // namespace vx
