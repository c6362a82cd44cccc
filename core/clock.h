#pragma once

namespace vx
{

// The seconds-since-midnight timer behind an interface, so waits can be driven by tests.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual double secondsSinceMidnight() = 0;
    // Seconds from some fixed moment on a clock that is never stepped (time sync, a manual
    // change, the end of daylight saving): waits are measured on it.
    virtual double elapsedSeconds() = 0;
    // Called between event pumps of a wait; the real clock sleeps briefly instead of spinning.
    virtual void idle() = 0;
};

Clock& clock();
// Installs a clock (not owned); nullptr restores the system clock.
void setClock(Clock* clock);

} // namespace vx
