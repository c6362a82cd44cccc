#include "app/startupreading.h"

#include "core/listfile.h"
#include "core/textfile.h"

#include <QThreadPool>
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
    reading.strays = catalogue::scanForStrayTemporaries();
    const QString index = catalogue::indexPath();
    reading.indexBytes = readWholeFile(index);
    if (reading.indexBytes)
        reading.index = listfile::parse(*reading.indexBytes, &reading.form);
    else
        reading.indexTaken = pathTaken(index);
    return reading;
}

} // namespace vx
