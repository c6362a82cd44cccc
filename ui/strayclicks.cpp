#include "ui/strayclicks.h"

#include "ui/form.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QStyleHints>
#include <QWindow>
#include <cmath>

namespace vx
{

namespace
{

// A popup (a drop-down's list) belongs to the window it drops from.
const QWindow* programWindow(const QWindow* window)
{
    while (window->type() == Qt::Popup && window->transientParent())
        window = window->transientParent();
    return window;
}

class StrayClickFilter final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
            type != QEvent::MouseButtonRelease)
            return false;
        // Every press reaches its window first, and only once; the widgets it goes on to are
        // the same press.
        const auto* window = qobject_cast<QWindow*>(watched);
        if (!window)
            return false;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const Qt::MouseButton button = mouse->button();
        if (type == QEvent::MouseButtonDblClick)
            return m_swallowed.testFlag(button);
        if (type == QEvent::MouseButtonRelease) {
            const bool swallowed = m_swallowed.testFlag(button);
            m_swallowed.setFlag(button, false);
            return swallowed;
        }
        if (completesDoubleClickElsewhere(*mouse, programWindow(window))) {
            m_swallowed.setFlag(button);
            m_button = Qt::NoButton; // a third press starts afresh
            // The window manager has given the pressed window the keyboard already; it goes
            // back to where the first click's command left it.
            Form* holder = Form::keyboardHolder();
            if (holder && holder->windowHandle() != window)
                holder->activateWindow();
            return true;
        }
        m_window = programWindow(window);
        m_button = button;
        m_time = mouse->timestamp();
        m_at = mouse->globalPosition();
        return false;
    }

private:
    // As the platform tells a double click: the same button again, soon and close by.
    bool completesDoubleClickElsewhere(const QMouseEvent& press, const QWindow* window) const
    {
        if (press.button() != m_button || window == m_window)
            return false;
        const QStyleHints* hints = QGuiApplication::styleHints();
        const quint64 interval = static_cast<quint64>(hints->mouseDoubleClickInterval());
        const qreal distance = hints->mouseDoubleClickDistance();
        const QPointF moved = press.globalPosition() - m_at;
        return press.timestamp() >= m_time && press.timestamp() - m_time < interval &&
               std::abs(moved.x()) <= distance && std::abs(moved.y()) <= distance;
    }

    // Only told apart, never used: the window may be gone by the next press.
    const QWindow* m_window = nullptr;
    Qt::MouseButton m_button = Qt::NoButton;
    quint64 m_time = 0;
    QPointF m_at;
    Qt::MouseButtons m_swallowed;
};

} // namespace

void ignoreStrayDoubleClicks()
{
    static QPointer<StrayClickFilter> filter;
    if (filter || !qApp)
        return;
    filter = new StrayClickFilter(qApp); // owned by the application
    qApp->installEventFilter(filter);
}

} // namespace vx
