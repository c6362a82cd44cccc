#include "ui/windowing.h"

#include <QCursor>
#include <QEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <cstring>
#include <memory>

#ifdef VX_HAVE_XCB
#include <QGuiApplication>
#include <xcb/xcb.h>
#endif

namespace vx
{

namespace
{

// What a window shown topmost asks of an X window manager when it is mapped: _NET_WM_STATE_ADD
// of _NET_WM_STATE_ABOVE. Sent after the map, it holds however late the manager learns that
// the window was hidden before.
void askAboveOnX(const QWindow& handle)
{
#ifdef VX_HAVE_XCB
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return;
    const auto atom = [connection](const char* name) {
        const xcb_intern_atom_cookie_t cookie =
            xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
        const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    };
    static const xcb_atom_t state = atom("_NET_WM_STATE");
    static const xcb_atom_t above = atom("_NET_WM_STATE_ABOVE");
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen || state == XCB_ATOM_NONE || above == XCB_ATOM_NONE)
        return;
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = static_cast<xcb_window_t>(handle.winId());
    event.type = state;
    event.data.data32[0] = 1; // add
    event.data.data32[1] = above;
    event.data.data32[3] = 1; // asked by an application
    xcb_send_event(connection, 0, screen->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(connection);
#else
    Q_UNUSED(handle);
#endif
}

} // namespace

void setTopmost(QWidget& window)
{
    const Qt::WindowFlags flags = window.windowFlags() | Qt::WindowStaysOnTopHint;
    QWindow* handle = window.windowHandle();
    if (flags != window.windowFlags()) {
        // setWindowFlags would hide the window; these change the flag in place.
        window.overrideWindowFlags(flags);
        if (handle)
            handle->setFlags(flags);
        return;
    }
    // A window manager drops the state of a window taken off the screen. Hidden and shown again
    // at once, a window can be mapped before the manager has seen it go, and then loses the
    // state it came back with.
    if (handle && window.isVisible())
        askAboveOnX(*handle);
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
