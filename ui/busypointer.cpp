#include "ui/busypointer.h"

#include <QApplication>
#include <QCursor>

namespace vx
{

BusyPointer::BusyPointer()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyPointer::~BusyPointer()
{
    QApplication::restoreOverrideCursor();
}

} // namespace vx
