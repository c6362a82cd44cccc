#pragma once

#include <QFont>
#include <QImage>
#include <QLabel>
#include <QList>
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <utility>

class QPainter;
class QThreadPool;

namespace vx::test
{
struct ImageBoxProbe;
}

namespace vx
{

// A picture drawn in code at whatever size and pixel ratio it is shown, so it stays crisp.
// Controls that "take the picture of" another share the same object.
class Picture
{
public:
    using Painter = std::function<void(QPainter&, const QRectF&)>;
    // A picture with a natural size (twips) is drawn at most that large, from the top-left
    // corner of a bigger box, as a picture in a picture box always was; one without fills it.
    Picture(QString name, Painter painter, QSizeF naturalTwips = {})
        : m_name(std::move(name)), m_painter(std::move(painter)), m_natural(naturalTwips)
    {
    }
    const QString& name() const { return m_name; }
    QSizeF naturalTwips() const { return m_natural; }
    void paint(QPainter& painter, const QRectF& target) const;
    // Paints as paint() does, from a rendering kept for the last size asked for: windows
    // repaint often (a slide repaints at every step), the drawing itself never changes.
    void paintCached(QPainter& painter, const QRectF& target) const;
    // The picture rendered to a pixmap of the given logical size.
    QPixmap toPixmap(QSize size, qreal devicePixelRatio = 1.0) const;

private:
    QString m_name;
    Painter m_painter;
    QSizeF m_natural;
    mutable QImage m_rendered;
    mutable QSizeF m_firstAt;
};
using PicturePtr = std::shared_ptr<const Picture>;

// The dotted frame a control reached with the keyboard shows.
void drawFocusFrame(QPainter& painter, const QWidget& control);

// A picture box: shows its picture, and can act as a button.
class PictureBox : public QWidget
{
    Q_OBJECT

public:
    PictureBox(const QString& name, QWidget* parent);

    // The picture shown now.
    PicturePtr picture() const { return m_picture; }
    void setPicture(PicturePtr picture);

    // A button takes keyboard focus and answers Space and Enter like a press and release.
    void setButton(const QString& accessibleName);
    // A button that shows `pressed` while it is held and `normal` otherwise.
    void setPictures(PicturePtr normal, PicturePtr pressed);
    // Back to the normal picture, for a press whose release goes elsewhere (to a dialog the
    // press opened).
    void showReleased();
    // A press and release, as Space does.
    void click();

signals:
    void mouseDown();
    void mouseUp();
    // A press and a release over the box.
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    PicturePtr m_picture;
    PicturePtr m_normal;
    PicturePtr m_pressedPicture;
    bool m_pressed = false;
};

// A label that also acts as a command: click, press, release and pointer-move events.
class Label : public QLabel
{
    Q_OBJECT

public:
    Label(const QString& name, QWidget* parent, const QString& caption = QString());

    // Foreground colour as 0x00BBGGRR.
    quint32 foreColor() const { return m_foreColor; }
    void setForeColor(quint32 bgr);

    // A label that sizes itself to its caption keeps doing so when the caption changes.
    void setAutoSize(bool autoSize);
    void setCaption(const QString& caption);
    QString caption() const { return text(); }

signals:
    void clicked();
    void mouseDown();
    void mouseUp();
    void mouseMoved();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // A command reached with Tab shows a focus frame, as a picture button does; one that only
    // holds the window's first focus does not, so the hub opens clean.
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void fitToCaption();

    // The sizes the latest captions were fitted to, in this font.
    QList<std::pair<QString, QSize>> m_fitted;
    QFont m_fittedFont;
    bool m_focusCue = false;
    quint32 m_foreColor = 0;
    bool m_autoSize = false;
    bool m_pressed = false;
};

// An image control: a picture file scaled to fill the control. The file is decoded off the GUI
// thread, so a large photo never holds up the window.
class ImageBox : public QWidget
{
    Q_OBJECT

public:
    ImageBox(const QString& name, QWidget* parent);
    ~ImageBox() override;

    // Empties the control at once; the file's picture follows when it has been decoded. A file
    // that cannot be read as a picture leaves the control empty. A later call, or clear(), wins
    // over a decode still under way.
    void loadPicture(const QString& path);
    // Drops the decodes not yet begun and waits for the rest; false when one outlasts
    // `timeoutMs`.
    static bool stopDecodes(int timeoutMs);
    void clear();

signals:
    // The newest picture asked for has been decoded and shown, or could not be read.
    void pictureLoaded(bool shown);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Tests wait on the decodes under way, and look at what the box shows, through the probe.
    friend struct test::ImageBoxProbe;
    struct Link;
    static QThreadPool& pool();
    void takePicture(quint64 request, const QImage& image);

    QPixmap m_image;
    // Shared with the decodes under way, which hand their picture back only while the box lives.
    std::shared_ptr<Link> m_link;
    quint64 m_request = 0;
    bool m_loading = false;
};

} // namespace vx
