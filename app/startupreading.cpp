#include "app/startupreading.h"

#include "core/listfile.h"
#include "core/textfile.h"

#include <QThreadPool>
#include <thread>
#include <utility>

namespace vx
{

namespace
{

std::function<void()>& gate()
{
    static std::function<void()> wait;
    return wait;
}

} // namespace

QThreadPool& startupReadings()
{
    static QThreadPool* const pool = new QThreadPool;
    return *pool;
}

void setStartupReadingGate(std::function<void()> wait)
{
    gate() = std::move(wait);
}

StartupReading readForStartup()
{
    if (gate())
        gate()();
    StartupReading reading;
    // The index is read and decoded beside the sweep's reading of bin: each takes a while at a
    // million names, and neither waits on the other.
    std::thread indexReading([&reading] {
        const QString index = catalogue::indexPath();
        reading.indexBytes = readWholeFile(index);
        if (reading.indexBytes)
            reading.index = listfile::parse(*reading.indexBytes, &reading.form);
        else
            reading.indexTaken = pathTaken(index);
    });
    reading.strays = catalogue::scanForStrayTemporaries();
    indexReading.join();
    return reading;
}

} // namespace vx
