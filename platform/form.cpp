#include "platform/form.h"

#include "platform/units.h"
#include "platform/windowing.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace vx
{

Form::Form(const QString& name, Qt::WindowFlags flags) : QWidget(nullptr, Qt::Window | flags)
{
    setObjectName(name);
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
    if (isTopmost(*this))
        return;
    // Without a window manager nothing keeps topmost windows above one shown later.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (window != this && window->isVisible() && isTopmost(*window))
            window->raise();
    }
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
