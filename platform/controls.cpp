#include "platform/controls.h"

#include "platform/units.h"

#include <QImageReader>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace vx
{

void Picture::paint(QPainter& painter, const QRectF& target) const
{
    if (!m_painter)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    m_painter(painter, target);
    painter.restore();
}

void Picture::paintCached(QPainter& painter, const QRectF& target) const
{
    const QSize size = target.size().toSize();
    // Only whole-pixel boxes come out the same from a rendering.
    if (!m_painter || size.isEmpty() || QSizeF(size) != target.size()) {
        paint(painter, target);
        return;
    }
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatio() : 1.0;
    if (m_rendered.deviceIndependentSize().toSize() != size ||
        m_rendered.devicePixelRatio() != ratio) {
        m_rendered = QImage(size * ratio, QImage::Format_ARGB32_Premultiplied);
        m_rendered.setDevicePixelRatio(ratio);
        m_rendered.fill(Qt::transparent);
        QPainter render(&m_rendered);
        paint(render, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    painter.drawImage(target.topLeft(), m_rendered);
}

QPixmap Picture::toPixmap(QSize size, qreal devicePixelRatio) const
{
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    paint(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return pixmap;
}

PictureBox::PictureBox(const QString& name, QWidget* parent) : QWidget(parent)
{
    setObjectName(name);
    setFocusPolicy(Qt::NoFocus);
}

void PictureBox::setPicture(PicturePtr picture)
{
    if (m_picture == picture)
        return;
    m_picture = std::move(picture);
    update();
}

void PictureBox::setButton(const QString& accessibleName)
{
    setAccessibleName(accessibleName);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_picture) {
        QRectF area(rect());
        const QSizeF natural = m_picture->naturalTwips();
        if (!natural.isEmpty())
            area.setSize(area.size().boundedTo(
                QSizeF(twipsToPixels(natural.width()), twipsToPixels(natural.height()))));
        m_picture->paintCached(painter, area);
    }
    if (hasFocus()) {
        painter.setPen(QPen(QColor(128, 128, 255), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    m_pressed = true;
    emit mouseDown();
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    const bool inside = rect().contains(event->position().toPoint());
    const bool wasPressed = m_pressed;
    m_pressed = false;
    emit mouseUp();
    if (wasPressed && inside)
        emit clicked();
}

void PictureBox::keyPressEvent(QKeyEvent* event)
{
    if (focusPolicy() != Qt::NoFocus && !event->isAutoRepeat() &&
        (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
         event->key() == Qt::Key_Enter)) {
        emit mouseDown();
        emit mouseUp();
        emit clicked();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PictureBox::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void PictureBox::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

Label::Label(const QString& name, QWidget* parent, const QString& caption) : QLabel(caption, parent)
{
    setObjectName(name);
    setMouseTracking(true);
    setTextFormat(Qt::PlainText);
    setForeColor(0xFF0000);
}

void Label::setForeColor(quint32 bgr)
{
    m_foreColor = bgr;
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, colorFromBgr(bgr));
    setPalette(pal);
}

void Label::setAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    if (m_autoSize)
        adjustSize();
}

void Label::setCaption(const QString& caption)
{
    setText(caption);
    if (m_autoSize)
        adjustSize();
}

void Label::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    m_pressed = true;
    emit mouseDown();
}

void Label::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    const bool inside = rect().contains(event->position().toPoint());
    const bool wasPressed = m_pressed;
    m_pressed = false;
    emit mouseUp();
    if (wasPressed && inside)
        emit clicked();
}

void Label::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    emit mouseMoved();
}

void Label::keyPressEvent(QKeyEvent* event)
{
    if (focusPolicy() != Qt::NoFocus && !event->isAutoRepeat() &&
        (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
         event->key() == Qt::Key_Enter)) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

void Label::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    if (hasFocus() && m_focusCue) {
        QPainter painter(this);
        painter.setPen(QPen(QColor(128, 128, 255), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void Label::focusInEvent(QFocusEvent* event)
{
    switch (event->reason()) {
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
        m_focusCue = true;
        break;
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
        break; // coming back to the window keeps whatever cue it had
    default:
        m_focusCue = false;
    }
    QLabel::focusInEvent(event);
}

ImageBox::ImageBox(const QString& name, QWidget* parent) : QWidget(parent)
{
    setObjectName(name);
}

bool ImageBox::loadPicture(const QString& path)
{
    m_image = QPixmap();
    if (!path.isEmpty()) {
        QImageReader reader(path);
        reader.setAutoTransform(true);
        const QImage image = reader.read();
        if (!image.isNull())
            m_image = QPixmap::fromImage(image);
    }
    update();
    return !m_image.isNull();
}

void ImageBox::clear()
{
    m_image = QPixmap();
    update();
}

void ImageBox::paintEvent(QPaintEvent*)
{
    if (m_image.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), m_image);
}

} // namespace vx
