#pragma once

#include "core/catalogue.h"
#include "core/textcodec.h"
#include "core/textlist.h"

#include <QByteArray>
#include <functional>
#include <optional>

class QThreadPool;

namespace vx
{

// What start-up reads of the catalogue once the hub is on screen: the folders' names for the
// sweep of temporaries (and for the record lookups), and the index. Read on a worker thread:
// at a million names it takes the better part of a second.
struct StartupReading {
    catalogue::StrayScan strays;
    // The index's bytes and its names; no bytes when it could not be read.
    std::optional<QByteArray> indexBytes;
    TextList index;
    textcodec::Form form;
    // Something stands at the index's path (so a failed read is worth a notice).
    bool indexTaken = false;
};

// Safe on any thread; changes nothing on disk.
StartupReading readForStartup();

// The thread the reading runs on. Never destroyed, so quitting never waits on a reading of a
// hung network folder.
QThreadPool& startupReadings();

// Called on the reading's thread before it reads: tests hold the reading back with it, to act
// while it is under way.
void setStartupReadingGate(std::function<void()> wait);

} // namespace vx
