#pragma once

#include "platform/clock.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

class QListWidget;

namespace vx::test
{

// A timer that moves on by `step` seconds each time it is read, so waits end at once.
class FakeClock final : public Clock
{
public:
    explicit FakeClock(double start = 1000.0, double step = 0.25) : m_now(start), m_step(step) {}
    double secondsSinceMidnight() override
    {
        const double now = m_now;
        m_now += m_step;
        if (m_now >= 86400.0)
            m_now -= 86400.0;
        return now;
    }
    void idle() override {}
    void set(double now) { m_now = now; }
    double peek() const { return m_now; }

private:
    double m_now;
    double m_step;
};

// A fresh application folder for one test: every window unloaded, dialogs scripted, the fake
// clock installed. Everything is undone when it goes out of scope.
class Sandbox
{
public:
    Sandbox();
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    QString folder() const { return m_dir.path(); }
    QString path(const QString& relative) const;
    FakeClock& clock() { return m_clock; }

    // A catalogue as a finished first run leaves it, optionally with index lines.
    void makeCatalogue(const QByteArray& indexBytes = QByteArrayLiteral("\r\n"));
    void writeFile(const QString& relative, const QByteArray& bytes) const;
    QByteArray readFile(const QString& relative) const;
    bool exists(const QString& relative) const;
    // A record with the six keys, as the add save writes it.
    void writeRecord(const QString& name, const QString& file, const QString& image,
                     const QString& gametype, const QString& size, const QString& desc) const;

    // Every file below the folder with its bytes, to prove nothing changed.
    QMap<QString, QByteArray> snapshot() const;

private:
    QTemporaryDir m_dir;
    FakeClock m_clock;
};

// Widgets by object name, failing the test when missing.
template <class T = QWidget> T* child(QWidget& window, const QString& name)
{
    T* found = window.findChild<T*>(name);
    if (!found)
        qWarning("no control %s in %s", qPrintable(name), qPrintable(window.objectName()));
    return found;
}

// A press and release with the left button over the middle of the widget.
void click(QWidget* widget);
void press(QWidget* widget);
void release(QWidget* widget);
void doubleClickItem(QListWidget* list, int row);

// The process-wide count of how often endProgram was asked for.
int endRequests();

} // namespace vx::test
