#pragma once

#include <QtCore/qnamespace.h>

namespace vx
{

// The busy pointer for as long as the object lives: the wait shape while the windows wait, the
// busy one while they keep answering.
class BusyPointer
{
public:
    explicit BusyPointer(Qt::CursorShape shape = Qt::WaitCursor);
    ~BusyPointer();
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

} // namespace vx
