#include "ui/controls.h"

#include "core/filesearch.h"
#include "ui/units.h"

#include <QFileInfo>
#include <QImageReader>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QMutex>
#include <QPainter>
#include <QStyle>
#include <QThreadPool>
#include <utility>

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
        // A picture painted once at a size (a window's first showing) is drawn straight away;
        // the rendering is kept from the second time on.
        const QSizeF key(size * ratio);
        if (m_firstAt != key) {
            m_firstAt = key;
            paint(painter, target);
            return;
        }
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

void drawFocusFrame(QPainter& painter, const QWidget& control)
{
    painter.setPen(QPen(QColor(128, 128, 255), 1, Qt::DotLine));
    painter.drawRect(control.rect().adjusted(0, 0, -1, -1));
}

namespace
{

// Space or Enter on a control that takes the keyboard acts as a click.
bool isClickKey(const QWidget& control, const QKeyEvent& event)
{
    return control.focusPolicy() != Qt::NoFocus && !event.isAutoRepeat() &&
           (event.key() == Qt::Key_Space || event.key() == Qt::Key_Return ||
            event.key() == Qt::Key_Enter);
}

// A release ends a click when the press was on the control and the release is still over it.
bool releaseEndsClick(const QWidget& control, const QMouseEvent& event, bool& pressed)
{
    const bool wasPressed = std::exchange(pressed, false);
    return wasPressed && control.rect().contains(event.position().toPoint());
}

} // namespace

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

void PictureBox::setPictures(PicturePtr normal, PicturePtr pressed)
{
    m_normal = std::move(normal);
    m_pressedPicture = std::move(pressed);
    setPicture(m_normal);
}

void PictureBox::showReleased()
{
    if (m_normal)
        setPicture(m_normal);
}

void PictureBox::click()
{
    if (m_pressedPicture)
        setPicture(m_pressedPicture);
    emit mouseDown();
    showReleased();
    emit mouseUp();
    emit clicked();
}

void PictureBox::paintEvent(QPaintEvent* /*event*/)
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
    if (hasFocus())
        drawFocusFrame(painter, *this);
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    m_pressed = true;
    if (m_pressedPicture)
        setPicture(m_pressedPicture);
    emit mouseDown();
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    const bool click = releaseEndsClick(*this, *event, m_pressed);
    showReleased();
    emit mouseUp();
    if (click)
        emit clicked();
}

void PictureBox::keyPressEvent(QKeyEvent* event)
{
    if (isClickKey(*this, *event)) {
        click();
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
        fitToCaption();
}

void Label::setCaption(const QString& caption)
{
    setText(caption);
    if (m_autoSize)
        fitToCaption();
}

void Label::fitToCaption()
{
    // adjustSize() asks for QLabel's size hint, which lays the text out three times (twice more
    // for its minimum size). A one-line label without frame, indent or buddy needs one layout,
    // and the same rectangle as that hint. A detail label cycles through a few captions (the
    // regions, the cartridge sizes): those seen lately need none.
    if (wordWrap() || frameWidth() != 0 || indent() > 0 || buddy()) {
        adjustSize();
        return;
    }
    if (m_fittedFont != font()) {
        m_fitted.clear();
        m_fittedFont = font();
    }
    for (const auto& [caption, size] : std::as_const(m_fitted)) {
        if (caption == text()) {
            resize(size);
            return;
        }
    }
    ensurePolished();
    const QMargins margins = contentsMargins();
    const QSize marginsSize(margins.left() + margins.right(), margins.top() + margins.bottom());
    const int extra = 2 * margin();
    const Qt::LayoutDirection direction =
        text().isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
    const Qt::Alignment align =
        QStyle::visualAlignment(direction, alignment()) & ~(Qt::AlignVCenter | Qt::AlignHCenter);
    // QLabel always expands tabs.
    const int flags = static_cast<int>(align.toInt()) | Qt::TextExpandTabs;
    const QRect bounds =
        fontMetrics().boundingRect(0, 0, 2000 - extra - marginsSize.width(), 2000, flags, text());
    const QSize size = (QSize(bounds.width() + extra, bounds.height() + extra) + marginsSize)
                           .expandedTo(minimumSize());
    constexpr qsizetype kRemembered = 8;
    if (m_fitted.size() == kRemembered)
        m_fitted.removeFirst();
    m_fitted.append({text(), size});
    resize(size);
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
    const bool click = releaseEndsClick(*this, *event, m_pressed);
    emit mouseUp();
    if (click)
        emit clicked();
}

void Label::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    emit mouseMoved();
}

void Label::keyPressEvent(QKeyEvent* event)
{
    if (isClickKey(*this, *event)) {
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
        drawFocusFrame(painter, *this);
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

struct ImageBox::Link {
    QMutex mutex;
    ImageBox* box = nullptr; // null once the box is gone
    quint64 wanted = 0;      // the box's newest request
};

namespace
{

// Runs on a pool thread. A picture larger than `bound` (in pixels, as it will be shown) is read
// at most that large, which for a photo spares most of the decoding too.
QImage decodePicture(const QString& path, QSize bound)
{
    // Only a regular file: reading a pipe or a device could wait forever.
    if (!QFileInfo(path).isFile())
        return {};
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    if (stored.isValid() && !bound.isEmpty()) {
        // The reader scales the picture as stored, before turning it upright.
        if (reader.transformation() & QImageIOHandler::TransformationRotate90)
            bound.transpose();
        if (stored.width() > bound.width() || stored.height() > bound.height())
            reader.setScaledSize(stored.boundedTo(bound));
    }
    return reader.read();
}

} // namespace

ImageBox::ImageBox(const QString& name, QWidget* parent)
    : QWidget(parent), m_link(std::make_shared<Link>())
{
    setObjectName(name);
    m_link->box = this;
}

ImageBox::~ImageBox()
{
    const QMutexLocker lock(&m_link->mutex);
    m_link->box = nullptr;
}

void ImageBox::loadPicture(const QString& path)
{
    clear();
    // A path written on Windows names no picture here, not a file under the current folder.
    if (path.isEmpty() || isWindowsOnlyPath(path))
        return;
    m_loading = true;
    const quint64 request = m_request;
    // The picture is stretched over the whole box, so twice its size in each direction is
    // as sharp as it can ever look.
    const QSize bound = size() * devicePixelRatioF() * 2;
    // A decode still running when the box goes finds no box.
    pool().start([link = m_link, path, bound, request] {
        {
            // Paging through games queues a decode a game; only the one still wanted is read.
            const QMutexLocker lock(&link->mutex);
            if (!link->box || link->wanted != request)
                return;
        }
        const QImage image = decodePicture(path, bound);
        const QMutexLocker lock(&link->mutex);
        // Posted while the box is known to live; should it go before delivery, so does the call.
        if (ImageBox* box = link->box)
            QMetaObject::invokeMethod(
                box, [box, request, image] { box->takePicture(request, image); },
                Qt::QueuedConnection);
    });
}

// The decodes' own threads, which quitting does not wait for (the application's pool it does):
// a picture on a hung network folder must not keep the program from ending. Never destroyed
// for the same reason.
QThreadPool& ImageBox::pool()
{
    static QThreadPool* const threads = new QThreadPool;
    return *threads;
}

bool ImageBox::stopDecodes(int timeoutMs)
{
    pool().clear();
    return pool().waitForDone(timeoutMs);
}

void ImageBox::takePicture(quint64 request, const QImage& image)
{
    if (request != m_request)
        return;
    m_loading = false;
    m_image = QPixmap::fromImage(image);
    update();
    emit pictureLoaded(!m_image.isNull());
}

void ImageBox::clear()
{
    ++m_request;
    {
        const QMutexLocker lock(&m_link->mutex);
        m_link->wanted = m_request;
    }
    m_loading = false;
    m_image = QPixmap();
    update();
}

void ImageBox::paintEvent(QPaintEvent* /*event*/)
{
    if (m_image.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), m_image);
}

} // namespace vx
