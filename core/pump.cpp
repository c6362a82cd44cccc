#include "core/pump.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>

namespace vx
{

namespace
{

// Long fills hand control back to the event loop at least this often.
constexpr qint64 kPumpIntervalMs = 15;

// Time since the event loop last ran: restarted at every turn of it, so only a stretch of work
// longer than the interval pumps, wherever that work began.
QElapsedTimer& sinceLastPump()
{
    static QElapsedTimer timer;
    static QPointer<QAbstractEventDispatcher> watched;
    if (!timer.isValid())
        timer.start();
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (dispatcher && dispatcher != watched) {
        watched = dispatcher;
        QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, dispatcher,
                         [] { timer.restart(); });
        timer.restart();
    }
    return timer;
}

} // namespace

void pumpIfDue()
{
    if (sinceLastPump().elapsed() >= kPumpIntervalMs) {
        QCoreApplication::processEvents();
        sinceLastPump().restart();
    }
}

} // namespace vx
