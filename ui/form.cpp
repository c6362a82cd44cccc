#include "ui/form.h"

#include "ui/units.h"
#include "ui/windowing.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <cmath>

namespace vx
{

namespace
{

QPointer<Form>& ownerForm()
{
    static QPointer<Form> form;
    return form;
}

QPointer<Form>& holderForm()
{
    static QPointer<Form> form;
    return form;
}

// The program's windows that stay in front and are showing, other than `except`.
Form* visibleInFront(const QWidget* except)
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        auto* form = qobject_cast<Form*>(window);
        if (form && form != except && form->staysInFront() && form->isVisible())
            return form;
    }
    return nullptr;
}

} // namespace

void Form::setOwner(Form* owner)
{
    ownerForm() = owner;
}

Form* Form::owner()
{
    return ownerForm();
}

void Form::setVisible(bool visible)
{
    if (visible && !isVisible() && isWindow()) {
        m_leaving = false;
        // A transient for a window that is not on screen would be left to the window manager's
        // whims; such a window (a notice before the hub first shows) stays on its own.
        Form* main = owner();
        QWindow* parent =
            main && main != this && main->isVisible() ? main->windowHandle() : nullptr;
        winId();
        if (QWindow* handle = windowHandle())
            handle->setTransientParent(parent);
    } else if (!visible && isVisible()) {
        m_leaving = true;
        yieldKeyboard();
    }
    QWidget::setVisible(visible);
}

void Form::bringToFront(QWidget* start)
{
    QWidget* active = QApplication::activeWindow();
    if (active && active != this)
        m_returnTo = active;
    raise();
    if (start)
        start->setFocus(Qt::ActiveWindowFocusReason);
    if (Form* front = visibleInFront(this)) {
        // The user goes on here once the notice in front is read, whoever raised it.
        front->m_returnTo = this;
        front->raise();
        front->activateWindow();
        holderForm() = front;
        return;
    }
    activateWindow();
    holderForm() = this;
}

void Form::changeEvent(QEvent* event)
{
    // The window manager raises a window clicked behind a notice; the notice stays over it.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        if (Form* front = visibleInFront(this))
            front->raise();
    QWidget::changeEvent(event);
}

Form* Form::keyboardHolder()
{
    Form* holder = holderForm();
    return holder && holder->isVisible() ? holder : nullptr;
}

void Form::showOnTop(QWidget* start)
{
    // Topmost before it shows: on X a window whose hint changes after it was made is made again
    // at its next show, a stranger to the window manager that gets no keyboard; and a window
    // shown first would go under the topmost windows raised then.
    setTopmost(*this);
    show();
    // Shown again at once after a hide, a window can lose what it asked for before; shown, it
    // asks again.
    setTopmost(*this);
    bringToFront(start);
}

void Form::yieldKeyboard()
{
    m_leaving = true;
    if (QApplication::activeWindow() != this)
        return;
    QWidget* next = visibleInFront(this);
    const auto* back = qobject_cast<Form*>(m_returnTo.data());
    if (!next && m_returnTo && m_returnTo->isVisible() && !(back && back->m_leaving))
        next = m_returnTo;
    if (!next && owner() && owner() != this && owner()->isVisible())
        next = owner();
    if (next)
        next->activateWindow();
}

Form::Form(const QString& name, Qt::WindowFlags flags) : QWidget(nullptr, Qt::Window | flags)
{
    setObjectName(name);
    // How a window manager, an accessibility tool or the desktop tests tell the windows apart.
    setWindowRole(name);
    setMouseTracking(true);
    setAttribute(Qt::WA_QuitOnClose, false);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);
}

void Form::setLeft(double twips)
{
    m_left = static_cast<float>(twips);
    applyPosition();
}

void Form::setTop(double twips)
{
    m_top = static_cast<float>(twips);
    applyPosition();
}

void Form::setClientSize(double widthTwips, double heightTwips)
{
    m_width = static_cast<float>(widthTwips);
    m_height = static_cast<float>(heightTwips);
    setFixedSize(twipsToPixels(m_width), twipsToPixels(m_height));
}

void Form::setBackground(PicturePtr picture)
{
    m_background = std::move(picture);
    update();
}

void Form::place(QWidget& control, double left, double top, double width, double height)
{
    control.setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                        twipsToPixels(height));
}

void Form::placeAt(QWidget& control, double left, double top)
{
    control.move(twipsToPixels(left), twipsToPixels(top));
}

void Form::applyPosition()
{
    move(twipsToPixels(m_left), twipsToPixels(m_top));
}

void Form::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    if (m_background) {
        QPainter painter(this);
        m_background->paintCached(painter, QRectF(rect()));
    }
}

void Form::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    // Keep the exact twips unless the window really went somewhere else. A coordinate that
    // did not change in this move is left alone: a placement of Left and then Top can arrive
    // as two moves, and the first still carries the old Top.
    const QPoint p = event->pos();
    const QPoint old = event->oldPos();
    if (p.x() != old.x() && p.x() != twipsToPixels(m_left))
        m_left = static_cast<float>(pixelsToTwips(p.x()));
    if (p.y() != old.y() && p.y() != twipsToPixels(m_top))
        m_top = static_cast<float>(pixelsToTwips(p.y()));
}

void Form::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Without a window manager nothing keeps topmost windows above one shown later.
    const QWidgetList windows = QApplication::topLevelWidgets();
    if (!isTopmost(*this)) {
        for (QWidget* window : windows) {
            if (window != this && window->isVisible() && isTopmost(*window))
                window->raise();
        }
    }
    if (Form* front = visibleInFront(this))
        front->raise();
}

void Form::mouseMoveEvent(QMouseEvent* event)
{
    QWidget::mouseMoveEvent(event);
    if (childAt(event->position().toPoint()) == nullptr)
        emit surfaceMouseMoved();
}

void Form::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
    m_pressed = true;
}

void Form::mouseReleaseEvent(QMouseEvent* event)
{
    QWidget::mouseReleaseEvent(event);
    const bool wasPressed = m_pressed;
    m_pressed = false;
    if (wasPressed && rect().contains(event->position().toPoint()))
        emit surfaceClicked();
}

} // namespace vx
