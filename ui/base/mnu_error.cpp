#include "ui/base/mnu_error.h"

#include "art/art.h"
#include "ui/forms.h"
#include "ui/sys_procs.h"
#include "ui/units.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <algorithm>

namespace vx
{

mnu_error& mnu_error::get()
{
    return lazyForm<mnu_error>();
}

mnu_error::mnu_error()
    : Form(QStringLiteral("mnu_error"), Qt::FramelessWindowHint | Qt::Tool),
      Label1(new Label(QStringLiteral("Label1"), this)),
      Label2(new Label(QStringLiteral("Label2"), this)),
      Picture1(new PictureBox(QStringLiteral("Picture1"), this))
{
    setWindowTitle(QStringLiteral("Notice"));
    setStaysInFront(true);
    setClientSize(4320, 1920);
    setBackground(art::noticeBackground());

    const QFont font = designFont(8.25);
    for (Label* label : {Label1, Label2}) {
        label->setFont(font);
        label->setForeColor(0xFF0000);
    }
    place(*Label1, 225, 480, 3915, 930);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeAt(*Label2, 240, 1440);
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    place(*Picture1, 3360, 1440, 780, 300);
    Picture1->setPictures(art::okButton(false), art::okButton(true));
    Picture1->setButton(QStringLiteral("OK"));

    connect(Picture1, &PictureBox::mouseUp, this, &mnu_error::Picture1_MouseUp);
}

namespace
{

// Set smaller than this, a line is no longer read at a glance.
constexpr double kSmallestPoints = 6.75;

// The room `text` takes wrapped at `width`, as a word-wrapping label lays it out.
QSize wrappedSize(const QFont& font, const QString& text, int width, Qt::Alignment align)
{
    const int flags = static_cast<int>(align.toInt()) | Qt::TextWordWrap;
    return QFontMetrics(font).boundingRect(QRect(0, 0, width, QWIDGETSIZE_MAX), flags, text).size();
}

} // namespace

void mnu_error::fitLines()
{
    // Every word is shown: the lower line wraps in the room beside OK, and lines that need more
    // room than their boxes have, wrapped, are set smaller (within reason).
    const QRect upper = Label1->geometry();
    const QPoint lowerAt(twipsToPixels(240), twipsToPixels(1440));
    const QSize lowerRoom(Picture1->geometry().left() - twipsToPixels(120) - lowerAt.x(),
                          height() - lowerAt.y());
    QFont font = designFont(8.25);
    for (double points = font.pointSizeF();; points -= 0.25) {
        font.setPointSizeF(points);
        const QSize upperNeeds =
            wrappedSize(font, Label1->text(), upper.width(), Label1->alignment());
        const QSize lowerNeeds =
            wrappedSize(font, Label2->text(), lowerRoom.width(), Label2->alignment());
        const bool fits = upperNeeds.boundedTo(upper.size()) == upperNeeds &&
                          lowerNeeds.boundedTo(lowerRoom) == lowerNeeds;
        if (fits || points - 0.25 < kSmallestPoints) {
            Label1->setFont(font);
            Label2->setFont(font);
            Label2->setGeometry(QRect(lowerAt, lowerNeeds.boundedTo(lowerRoom)));
            return;
        }
    }
}

QPointF noticePlace(QSizeF screen, QRectF room, QSizeF notice)
{
    // Crossed on purpose, as the legacy program placed it: the top comes from the screen's width
    // and the left from its height. The fit below keeps the notice on screen either way.
    const float top = static_cast<float>(screen.width()) / 2 - 2300;
    const float left = static_cast<float>(screen.height()) / 2;
    const auto fit = [](double at, double size, double from, double to) {
        return std::max(from, std::min(at, to - size));
    };
    return {fit(left, notice.width(), room.left(), room.right()),
            fit(top, notice.height(), room.top(), room.bottom())};
}

void mnu_error::showNotice(const QString& upper, const QString& lower)
{
    // A notice on screen takes the new lines where it is and is placed again; taken off the
    // screen and back at once, it could lose always on top.
    Label1->setCaption(upper);
    Label2->setCaption(lower);
    fitLines();
    const QPointF at =
        noticePlace(screenSizeTwips(), availableScreenTwips(), QSizeF(Width(), Height()));
    setTop(at.y());
    setLeft(at.x());
    showOnTop(Picture1);
}

void mnu_error::Picture1_MouseUp()
{
    sys_procs::slide_out_left(*this);
}

void mnu_error::keyPressEvent(QKeyEvent* event)
{
    // The notice can be dismissed from the keyboard as by its OK picture.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space) {
        Picture1->click();
        return;
    }
    Form::keyPressEvent(event);
}

} // namespace vx
