#include "ui/windowing.h"

#include <QCursor>
#include <QEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <cstdlib>

namespace vx
{

void setTopmost(QWidget& window)
{
    const Qt::WindowFlags flags = window.windowFlags() | Qt::WindowStaysOnTopHint;
    if (flags == window.windowFlags())
        return;
    // setWindowFlags would hide the window; these change the flag in place.
    window.overrideWindowFlags(flags);
    if (QWindow* handle = window.windowHandle())
        handle->setFlags(flags);
}

bool isTopmost(const QWidget& window)
{
    return window.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

namespace
{

// Where the platform cannot move the window itself, follow the pointer until release.
class ManualDrag final : public QObject
{
public:
    explicit ManualDrag(QWidget& window)
        : QObject(&window), m_window(&window), m_offset(QCursor::pos() - window.pos())
    {
        window.grabMouse();
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_window)
            return false;
        if (event->type() == QEvent::MouseMove) {
            m_window->move(QCursor::pos() - m_offset);
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            m_window->releaseMouse();
            m_window->removeEventFilter(this);
            deleteLater();
            return true;
        }
        return false;
    }

private:
    QPointer<QWidget> m_window;
    QPoint m_offset;
};

} // namespace

void startWindowDrag(QWidget& window)
{
    QWindow* handle = window.windowHandle();
    if (handle && handle->startSystemMove())
        return;
    new ManualDrag(window); // owned by the window, deletes itself on release
}

namespace
{
void (*endHook)() = nullptr;
} // namespace

void setEndProgramHook(void (*hook)())
{
    endHook = hook;
}

void endProgram()
{
    if (endHook) {
        endHook();
        return;
    }
    std::_Exit(0);
}

void minimizeWindow(QWidget& window)
{
    window.setWindowState((window.windowState() & ~Qt::WindowActive) | Qt::WindowMinimized);
}

} // namespace vx
