#include "core/pump.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QThread>
#include <atomic>
#include <chrono>
#include <future>
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
    // A worker's writes (an import's) have no windows to keep alive.
    const QCoreApplication* const app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread())
        return;
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
    std::promise<void> finished;
    std::future<void> ready = finished.get_future();
    std::thread worker([&] {
        work();
        done.store(true);
        finished.set_value();
        dispatcher->wakeUp();
    });
    // A write that a local disk finishes at once is not worth a turn of the event loop (whose
    // repaints would cost more than the write); a slow one is served well within a frame or two.
    if (ready.wait_for(std::chrono::milliseconds(kPumpIntervalMs)) != std::future_status::ready) {
        while (!done.load())
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                            QEventLoop::WaitForMoreEvents);
    }
    worker.join();
}

} // namespace vx
