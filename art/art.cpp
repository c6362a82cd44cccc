#include "art/art.h"

#include "art/painting.h"
#include "platform/units.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace vx::art
{

namespace
{

const QColor kCaptionBlue(128, 128, 255);
const QColor kCommandBlue(0, 0, 255);
const double kFrame = 90; // twips of grey frame around every face

PicturePtr makeFace(const QString& name, double widthTwips, double heightTwips,
                    QList<Caption> captions, std::function<void(TwipsCanvas&)> extra = nullptr)
{
    return std::make_shared<Picture>(name, [=](QPainter& painter, const QRectF& target) {
        TwipsCanvas canvas(painter, target, widthTwips, heightTwips);
        paintFramedFace(painter, canvas.rect(0, 0, widthTwips, heightTwips),
                        kFrame * canvas.scale());
        if (extra)
            extra(canvas);
        for (const Caption& caption : captions)
            paintCaption(canvas, caption);
    });
}

// A small recessed panel, used to set off parts of a face.
void paintPanel(TwipsCanvas& canvas, double left, double top, double width, double height)
{
    const QRectF r = canvas.rect(left, top, width, height);
    canvas.painter().fillRect(r, QColor(8, 8, 16));
    paintBevel(canvas.painter(), r, std::max(1.0, 30 * canvas.scale()), true);
}

// The field captions of the add and edit windows.
QList<Caption> fieldCaptions(double pictureTop, double descriptionLeft)
{
    const double size = 8.25;
    return {
        {QStringLiteral("Game Name:"), 180, 150, size, true, true, kCaptionBlue},
        {QStringLiteral("File Path:"), 180, 630, size, true, true, kCaptionBlue},
        {QStringLiteral("Picture Path:"), 180, pictureTop + 30, size, true, true, kCaptionBlue},
        {QStringLiteral("Game Type:"), 180, 1480, size, true, true, kCaptionBlue},
        {QStringLiteral("Size:"), 180, 1960, size, true, true, kCaptionBlue},
        {QStringLiteral("Description:"), descriptionLeft, 2280, size, true, true, kCaptionBlue},
    };
}

PicturePtr makeButton(const QString& name, const QString& legend, bool pressed)
{
    return std::make_shared<Picture>(name, [=](QPainter& painter, const QRectF& r) {
        const double bevel = std::max(1.0, std::min(r.width(), r.height()) / 9);
        QLinearGradient fill(r.topLeft(), r.bottomLeft());
        fill.setColorAt(0, pressed ? QColor(20, 20, 40) : QColor(40, 40, 72));
        fill.setColorAt(1, pressed ? QColor(40, 40, 72) : QColor(8, 8, 20));
        painter.fillRect(r, fill);
        paintBevel(painter, r, bevel, pressed);
        QFont font = designFont(8.25, true, true);
        font.setPixelSize(std::max(6, static_cast<int>(r.height() * 0.58)));
        painter.setFont(font);
        painter.setPen(pressed ? QColor(255, 64, 64) : kCaptionBlue);
        const QPointF shift = pressed ? QPointF(bevel / 2, bevel / 2) : QPointF();
        painter.drawText(r.translated(shift), Qt::AlignCenter, legend);
    });
}

} // namespace

PicturePtr hubBackground()
{
    static const PicturePtr picture = makeFace(
        QStringLiteral("hub"), 10620, 5220,
        {{QStringLiteral("Vexloutil"), 600, 70, 9.75, true, true, QColor(200, 200, 255)},
         {QStringLiteral("ROM catalogue"), 2200, 90, 8.25, false, true, QColor(128, 128, 200)}},
        [](TwipsCanvas& canvas) {
            QPainter& p = canvas.painter();
            // Title strip with the close corner at its left and minimise / end at its right.
            const QRectF strip = canvas.rect(0, 0, 10620, 375);
            QLinearGradient band(strip.topLeft(), strip.bottomLeft());
            band.setColorAt(0, QColor(70, 70, 110));
            band.setColorAt(1, QColor(20, 20, 48));
            p.fillRect(strip, band);
            paintBevel(p, strip, std::max(1.0, 30 * canvas.scale()), false);
            const double s = canvas.scale();
            p.setPen(
                QPen(QColor(230, 230, 255), std::max(1.0, 30 * s), Qt::SolidLine, Qt::RoundCap));
            // Corner menu: three bars.
            for (int i = 0; i < 3; ++i) {
                const double y = 120 + i * 70;
                p.drawLine(canvas.point(100, y), canvas.point(275, y));
            }
            // Minimise: a low bar.
            p.drawLine(canvas.point(10010, 270), canvas.point(10165, 270));
            // End: a cross.
            p.setPen(QPen(QColor(255, 96, 96), std::max(1.0, 30 * s), Qt::SolidLine, Qt::RoundCap));
            p.drawLine(canvas.point(10370, 110), canvas.point(10525, 265));
            p.drawLine(canvas.point(10525, 110), canvas.point(10370, 265));
            // Command column and detail view panels.
            paintPanel(canvas, 60, 480, 1290, 1860);
            paintPanel(canvas, 1440, 900, 4290, 4200);
            paintPanel(canvas, 5880, 420, 4665, 3150);
            paintPanel(canvas, 5880, 3840, 4665, 1290);
        });
    return picture;
}

PicturePtr closeStripBackground()
{
    static const PicturePtr picture = makeFace(QStringLiteral("closeStrip"), 1860, 885, {});
    return picture;
}

PicturePtr noticeBackground()
{
    static const PicturePtr picture =
        makeFace(QStringLiteral("notice"), 4320, 1920,
                 {{QStringLiteral("Notice"), 225, 150, 9.75, true, true, QColor(200, 200, 255)}},
                 [](TwipsCanvas& canvas) {
                     QPainter& p = canvas.painter();
                     p.setPen(QPen(QColor(96, 96, 160), std::max(1.0, 15 * canvas.scale())));
                     p.drawLine(canvas.point(225, 420), canvas.point(4095, 420));
                 });
    return picture;
}

PicturePtr listBackground()
{
    static const PicturePtr picture = makeFace(QStringLiteral("list"), 2505, 3585, {});
    return picture;
}

PicturePtr addBackground()
{
    static const PicturePtr picture =
        makeFace(QStringLiteral("add"), 5715, 4470, fieldCaptions(1080, 240));
    return picture;
}

PicturePtr editBackground()
{
    static const PicturePtr picture =
        makeFace(QStringLiteral("edit"), 5745, 4470, fieldCaptions(960, 120));
    return picture;
}

PicturePtr optionsBackground()
{
    static const PicturePtr picture =
        makeFace(QStringLiteral("options"), 4320, 4320,
                 {{QStringLiteral("Setup"), 1800, 240, 11.25, true, true, QColor(200, 200, 255)},
                  {QStringLiteral("Export path:"), 180, 990, 8.25, true, true, kCaptionBlue},
                  {QStringLiteral("Clear out files:"), 180, 1530, 8.25, true, true, kCaptionBlue},
                  {QStringLiteral("More options to come..."), 1500, 3480, 8.25, false, true,
                   QColor(128, 128, 200)}},
                 [](TwipsCanvas& canvas) {
                     QPainter& p = canvas.painter();
                     p.setPen(QPen(QColor(96, 96, 160), std::max(1.0, 15 * canvas.scale())));
                     p.drawLine(canvas.point(180, 660), canvas.point(4140, 660));
                 });
    return picture;
}

PicturePtr aboutPicture()
{
    static const PicturePtr picture = makeFace(
        QStringLiteral("about"), 4320, 4305,
        {{QStringLiteral("Graphics and code by"), 600, 420, 9.75, false, true, kCaptionBlue},
         {QStringLiteral("The Vexloutil team"), 620, 3300, 9.75, true, true, QColor(200, 200, 255)},
         {QStringLiteral("Keep every cartridge catalogued."), 620, 3650, 8.25, false, true,
          QColor(128, 128, 200)}},
        [](TwipsCanvas& canvas) {
            QPainter& p = canvas.painter();
            const QRectF box = canvas.rect(420, 1000, 3480, 1900);
            p.fillRect(box, QColor(12, 12, 36));
            paintBevel(p, box, std::max(1.0, 45 * canvas.scale()), false);
            QFont font = designFont(24, true, true);
            font.setPixelSize(std::max(8, static_cast<int>(box.height() * 0.34)));
            p.setFont(font);
            p.setPen(kCommandBlue.lighter(160));
            p.drawText(box.adjusted(0, 0, 0, -box.height() * 0.35), Qt::AlignCenter,
                       QStringLiteral("Vexloutil"));
            font.setPixelSize(std::max(6, static_cast<int>(box.height() * 0.2)));
            p.setFont(font);
            p.setPen(QColor(255, 96, 96));
            p.drawText(box.adjusted(0, box.height() * 0.55, 0, 0), Qt::AlignCenter,
                       QStringLiteral("1999"));
        });
    return picture;
}

PicturePtr okButton(bool pressed)
{
    static const PicturePtr up = makeButton(QStringLiteral("ok"), QStringLiteral("Ok"), false);
    static const PicturePtr down =
        makeButton(QStringLiteral("okPressed"), QStringLiteral("Ok"), true);
    return pressed ? down : up;
}

PicturePtr cancelButton(bool pressed)
{
    static const PicturePtr up =
        makeButton(QStringLiteral("cancel"), QStringLiteral("Cancel"), false);
    static const PicturePtr down =
        makeButton(QStringLiteral("cancelPressed"), QStringLiteral("Cancel"), true);
    return pressed ? down : up;
}

PicturePtr clearButton(bool pressed)
{
    static const PicturePtr up = makeButton(QStringLiteral("clear"), QStringLiteral("Clr"), false);
    static const PicturePtr down =
        makeButton(QStringLiteral("clearPressed"), QStringLiteral("Clr"), true);
    return pressed ? down : up;
}

PicturePtr browseButton(bool pressed)
{
    auto make = [](const QString& name, bool down) {
        return std::make_shared<Picture>(name, [down](QPainter& painter, const QRectF& r) {
            painter.fillRect(r, down ? QColor(20, 20, 40) : QColor(40, 40, 72));
            const double bevel = std::max(1.0, std::min(r.width(), r.height()) / 8);
            paintBevel(painter, r, bevel, down);
            const QRectF inner = r.adjusted(r.width() * 0.28, r.height() * 0.32, -r.width() * 0.28,
                                            -r.height() * 0.32)
                                     .translated(down ? QPointF(bevel / 2, bevel / 2) : QPointF());
            QPolygonF triangle;
            triangle << inner.topLeft() << inner.topRight()
                     << QPointF(inner.center().x(), inner.bottom());
            painter.setPen(Qt::NoPen);
            painter.setBrush(down ? QColor(255, 64, 64) : kCaptionBlue);
            painter.drawPolygon(triangle);
        });
    };
    static const PicturePtr up = make(QStringLiteral("browse"), false);
    static const PicturePtr downPicture = make(QStringLiteral("browsePressed"), true);
    return pressed ? downPicture : up;
}

PicturePtr appIcon()
{
    static const PicturePtr picture =
        std::make_shared<Picture>(QStringLiteral("icon"), [](QPainter& p, const QRectF& r) {
            const double u = r.width() / 32;
            QRectF body(r.left() + 5 * u, r.top() + 3 * u, 22 * u, 26 * u);
            QPainterPath cart;
            cart.addRoundedRect(body, 2 * u, 2 * u);
            p.fillPath(cart, QColor(60, 60, 70));
            p.setPen(QPen(QColor(170, 170, 180), 1.2 * u));
            p.drawPath(cart);
            const QRectF label(r.left() + 8 * u, r.top() + 6 * u, 16 * u, 12 * u);
            p.fillRect(label, Qt::black);
            p.setPen(QPen(QColor(0, 0, 255), 1.0 * u));
            p.drawRect(label);
            QFont f = designFont(8, true, true);
            f.setPixelSize(std::max(4, static_cast<int>(9 * u)));
            p.setFont(f);
            p.setPen(QColor(128, 128, 255));
            p.drawText(label, Qt::AlignCenter, QStringLiteral("V"));
            p.setPen(QPen(QColor(200, 170, 60), 1.4 * u));
            for (int i = 0; i < 6; ++i) {
                const double x = r.left() + (8.5 + i * 3) * u;
                p.drawLine(QPointF(x, r.top() + 24 * u), QPointF(x, r.top() + 28 * u));
            }
        });
    return picture;
}

} // namespace vx::art
