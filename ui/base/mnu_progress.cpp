#include "ui/base/mnu_progress.h"

#include "art/art.h"
#include "core/filecopy.h"
#include "ui/forms.h"
#include "ui/units.h"

#include <QKeyEvent>
#include <QLocale>
#include <QPainter>
#include <QScreen>

namespace vx
{

namespace
{

// The bar's filled part; the well around it is in the background picture.
class ProgressBar : public QWidget
{
public:
    ProgressBar(const QString& name, QWidget* parent, const double& fraction)
        : QWidget(parent), m_fraction(fraction)
    {
        setObjectName(name);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent* /*event*/) override
    {
        QPainter painter(this);
        art::paintProgress(painter, rect(), m_fraction);
    }

private:
    const double& m_fraction;
};

} // namespace

mnu_progress& mnu_progress::get()
{
    return lazyForm<mnu_progress>();
}

mnu_progress::mnu_progress()
    : Form(QStringLiteral("mnu_progress"), Qt::FramelessWindowHint | Qt::Tool),
      Label1(new Label(QStringLiteral("Label1"), this)),
      Label2(new Label(QStringLiteral("Label2"), this)),
      Bar1(new ProgressBar(QStringLiteral("Bar1"), this, m_fraction)),
      Picture1(new PictureBox(QStringLiteral("Picture1"), this))
{
    setStaysInFront(true);
    setClientSize(4320, 1560);
    setTitle(QStringLiteral("Copying"));

    const QFont font = designFont(8.25);
    for (Label* label : {Label1, Label2}) {
        label->setFont(font);
        label->setForeColor(0xFF0000);
    }
    place(*Label1, 225, 480, 3870, 255);
    place(*Label2, 225, 1125, 2900, 255);
    place(*Bar1, 255, 810, 3810, 195);

    place(*Picture1, 3240, 1125, 855, 255);
    Picture1->setPictures(art::cancelButton(false), art::cancelButton(true));
    Picture1->setButton(QStringLiteral("Cancel"));

    connect(Picture1, &PictureBox::mouseUp, this, &mnu_progress::Picture1_MouseUp);
    m_refresh.setInterval(100);
    connect(&m_refresh, &QTimer::timeout, this, &mnu_progress::refresh);
}

void mnu_progress::follow(BackgroundCopy& copy, const QString& name, const QWidget& over)
{
    m_copy = &copy;
    setTitle(QStringLiteral("Copying"));
    Label1->setCaption(Label1->fontMetrics().elidedText(name, Qt::ElideMiddle, Label1->width()));
    showOver(over);
}

void mnu_progress::followCount(const QString& title, const QString& what,
                               std::function<Count()> count, std::function<void()> cancel,
                               const QWidget& over)
{
    m_count = std::move(count);
    m_cancel = std::move(cancel);
    setTitle(title);
    Label1->setCaption(Label1->fontMetrics().elidedText(what, Qt::ElideMiddle, Label1->width()));
    showOver(over);
}

void mnu_progress::setTitle(const QString& title)
{
    setWindowTitle(title);
    setBackground(art::progressBackground(title));
}

void mnu_progress::showOver(const QWidget& over)
{
    Picture1->showReleased();
    refresh();

    // Centred over the window the copy started from, wholly on its screen.
    const QRect frame = over.frameGeometry();
    QRect mine(QPoint(), size());
    mine.moveCenter(frame.center());
    if (const QScreen* screen = over.screen()) {
        const QRect room = screen->availableGeometry();
        mine.moveLeft(std::clamp(mine.left(), room.left(),
                                 std::max(room.left(), room.right() - mine.width() + 1)));
        mine.moveTop(std::clamp(mine.top(), room.top(),
                                std::max(room.top(), room.bottom() - mine.height() + 1)));
    }
    setLeft(pixelsToTwips(mine.left()));
    setTop(pixelsToTwips(mine.top()));
    showOnTop(Picture1);
    m_refresh.start();
}

void mnu_progress::finish()
{
    m_refresh.stop();
    m_copy = nullptr;
    m_count = nullptr;
    m_cancel = nullptr;
    hide();
}

void mnu_progress::refresh()
{
    if (m_count) {
        const Count count = m_count();
        const QLocale locale;
        // Before the total is known, the folders are still being searched.
        QString text = QStringLiteral("%1 of %2")
                           .arg(locale.toString(count.done), locale.toString(count.total));
        if (count.cancelled)
            text = QStringLiteral("Cancelling...");
        else if (count.total == 0)
            text = QStringLiteral("Searching...");
        Label2->setCaption(text);
        m_fraction = count.total > 0 ? double(std::min(count.done, count.total)) / count.total : 0;
        Bar1->update();
        return;
    }
    if (!m_copy)
        return;
    const CopyProgress& progress = m_copy->progress();
    const qint64 total = progress.total;
    const qint64 done = std::min(qint64(progress.done), total);
    const QLocale locale;
    Label2->setCaption(
        progress.cancelled
            ? QStringLiteral("Cancelling...")
            : QStringLiteral("%1 of %2")
                  .arg(locale.formattedDataSize(done, 1, QLocale::DataSizeTraditionalFormat),
                       locale.formattedDataSize(total, 1, QLocale::DataSizeTraditionalFormat)));
    m_fraction = total > 0 ? double(done) / double(total) : 0;
    Bar1->update();
}

void mnu_progress::Picture1_MouseUp()
{
    if (m_copy)
        m_copy->cancel();
    if (m_cancel)
        m_cancel();
    refresh();
}

void mnu_progress::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        Picture1->click();
        return;
    }
    Form::keyPressEvent(event);
}

} // namespace vx
