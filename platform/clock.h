#pragma once

namespace vx
{

// The seconds-since-midnight timer behind an interface, so waits can be driven by tests.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual double secondsSinceMidnight() = 0;
    // Called between event pumps of a wait; the real clock sleeps briefly instead of spinning.
    virtual void idle() = 0;
};

Clock& clock();
// Installs a clock (not owned); nullptr restores the system clock.
void setClock(Clock* clock);

} // namespace vx
