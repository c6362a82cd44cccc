#include "ui/busypointer.h"

#include <QApplication>
#include <QCursor>

namespace vx
{

BusyPointer::BusyPointer(Qt::CursorShape shape)
{
    QApplication::setOverrideCursor(shape);
}

BusyPointer::~BusyPointer()
{
    QApplication::restoreOverrideCursor();
}

} // namespace vx
