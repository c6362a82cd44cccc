#include "core/pump.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QThread>
#include <atomic>
#include <thread>

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

void runServingEvents(const std::function<void()>& work)
{
    QCoreApplication* const app = QCoreApplication::instance();
    QAbstractEventDispatcher* const dispatcher = QAbstractEventDispatcher::instance();
    if (!app || !dispatcher || QThread::currentThread() != app->thread()) {
        work();
        return;
    }
    std::atomic<bool> done{false};
    std::thread worker([&] {
        work();
        done.store(true);
        dispatcher->wakeUp();
    });
    while (!done.load())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents);
    worker.join();
}

} // namespace vx
