#include "art/art.h"

#include "art/painting.h"
#include "ui/units.h"

#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace vx::art
{

namespace
{

const QColor kCaptionBlue(128, 128, 255);
const QColor kTitleBlue(200, 200, 255);
const QColor kQuietBlue(128, 128, 200);
const QColor kCommandBlue(0, 0, 255);
// Frames are whole pixels at 15 twips a pixel: a raised band and a sunken line inside it.
const double kFrame = 45;
const double kInner = 15;

PicturePtr makeFace(const QString& name, double widthTwips, double heightTwips,
                    const QList<Caption>& captions,
                    const std::function<void(TwipsCanvas&)>& extra = nullptr, double frame = kFrame)
{
    return std::make_shared<Picture>(name, [=](QPainter& painter, const QRectF& target) {
        TwipsCanvas canvas(painter, target, widthTwips, heightTwips);
        paintFramedFace(painter, canvas.rect(0, 0, widthTwips, heightTwips), canvas.pixels(frame),
                        canvas.pixels(kInner));
        if (extra)
            extra(canvas);
        for (const Caption& caption : captions)
            paintCaption(canvas, caption);
    });
}

// A recessed well, used to set off parts of a face and the edit boxes drawn without a frame.
void paintWell(TwipsCanvas& canvas, double left, double top, double width, double height,
               QColor fill = QColor(8, 8, 16))
{
    const QRectF r = canvas.rect(left, top, width, height);
    canvas.painter().fillRect(r, fill);
    paintBevel(canvas.painter(), r, canvas.pixels(30), true);
}

// A small raised key in the hub's title strip.
void paintKey(TwipsCanvas& canvas, double left, double top, double width, double height)
{
    const QRectF r = canvas.rect(left, top, width, height);
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, QColor(64, 64, 104));
    fill.setColorAt(1, QColor(24, 24, 52));
    canvas.painter().fillRect(r, fill);
    paintBevel(canvas.painter(), r, canvas.pixels(15), false);
}

struct Field {
    QString caption;
    double top;
    double height;
};

// The field captions of the add and edit windows, each centred on the box it names.
QList<Caption> fieldCaptions(const QList<Field>& fields, double descriptionLeft,
                             double descriptionTop)
{
    QList<Caption> captions;
    for (const Field& field : fields)
        captions.append(
            {field.caption, 180, field.top, 8.25, true, true, kCaptionBlue, field.height});
    captions.append({QStringLiteral("Description:"), descriptionLeft, descriptionTop - 240, 8.25,
                     true, true, kCaptionBlue, 225});
    return captions;
}

// Ok and Cancel faces are 855 x 255 twips; a larger box shows them at that size.
PicturePtr makeButton(const QString& name, const QString& legend, bool pressed,
                      QSizeF natural = QSizeF(855, 255))
{
    return std::make_shared<Picture>(
        name,
        [=](QPainter& painter, const QRectF& r) {
            const double bevel = std::max(1.0, std::round(std::min(r.width(), r.height()) / 9));
            QLinearGradient fill(r.topLeft(), r.bottomLeft());
            fill.setColorAt(0, pressed ? QColor(20, 20, 40) : QColor(40, 40, 72));
            fill.setColorAt(1, pressed ? QColor(40, 40, 72) : QColor(8, 8, 20));
            painter.fillRect(r, fill);
            paintBevel(painter, r, bevel, pressed);
            // The legend fills the button's height, and shrinks when the button is narrow.
            QFont font = designFont(8.25, true, true);
            int size = std::max(6, static_cast<int>(r.height() * 0.58));
            const double room = r.width() - 2 * bevel - 2;
            for (font.setPixelSize(size);
                 size > 6 && QFontMetricsF(font).horizontalAdvance(legend) > room;
                 font.setPixelSize(--size)) {
            }
            painter.setFont(font);
            painter.setPen(pressed ? QColor(255, 64, 64) : kCaptionBlue);
            const QPointF shift = pressed ? QPointF(1, 1) : QPointF();
            painter.drawText(r.translated(shift), Qt::AlignCenter, legend);
        },
        natural);
}

} // namespace

PicturePtr hubBackground()
{
    static const PicturePtr picture =
        makeFace(QStringLiteral("hub"), 10620, 5220,
                 {{QStringLiteral("Vexloutil"), 600, 0, 9.75, true, true, kTitleBlue, 375},
                  {QStringLiteral("ROM catalogue"), 2200, 0, 8.25, false, true, kQuietBlue, 375}},
                 [](TwipsCanvas& canvas) {
                     QPainter& p = canvas.painter();
                     // The title strip drags the window; its corners are keys.
                     const QRectF strip = canvas.rect(0, 0, 10620, 375);
                     QLinearGradient band(strip.topLeft(), strip.bottomLeft());
                     band.setColorAt(0, QColor(70, 70, 110));
                     band.setColorAt(1, QColor(20, 20, 48));
                     p.fillRect(strip, band);
                     paintBevel(p, strip, canvas.pixels(30), false);
                     // Grip lines at the strip's far end say "drag me".
                     p.setPen(QPen(QColor(110, 110, 160), canvas.pixels(15)));
                     for (int i = 0; i < 3; ++i) {
                         const double y = 120 + i * 60 + 7.5;
                         p.drawLine(canvas.point(8880, y), canvas.point(9780, y));
                     }
                     paintKey(canvas, 30, 30, 330, 315);    // the close corner: a menu
                     paintKey(canvas, 9960, 30, 255, 315);  // minimise
                     paintKey(canvas, 10320, 30, 255, 315); // end the program
                     const double line = canvas.pixels(30);
                     p.setPen(QPen(QColor(230, 230, 255), line, Qt::SolidLine, Qt::FlatCap));
                     for (int i = 0; i < 3; ++i) {
                         const double y = 120 + i * 67.5 + 15;
                         p.drawLine(canvas.point(105, y), canvas.point(285, y));
                     }
                     p.drawLine(canvas.point(10035, 255), canvas.point(10140, 255));
                     p.setPen(QPen(QColor(255, 96, 96), line, Qt::SolidLine, Qt::RoundCap));
                     p.drawLine(canvas.point(10395, 135), canvas.point(10500, 240));
                     p.drawLine(canvas.point(10500, 135), canvas.point(10395, 240));
                     // The detail view: description, picture, detail lines.
                     paintWell(canvas, 1440, 960, 4335, 4170);
                     // Where start-up settles Image1: left 5925, top 470, height 3113.
                     paintWell(canvas, 5925, 465, 4575, 3120);
                     paintWell(canvas, 6000, 3855, 4575, 1305);
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
                 {{QStringLiteral("Notice"), 225, 120, 9.75, true, true, kTitleBlue}},
                 [](TwipsCanvas& canvas) {
                     QPainter& p = canvas.painter();
                     p.fillRect(canvas.rect(225, 405, 3915, 15), QColor(96, 96, 160));
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
        makeFace(QStringLiteral("add"), 5715, 4470,
                 fieldCaptions({{QStringLiteral("Game Name:"), 120, 285},
                                {QStringLiteral("File Path:"), 600, 285},
                                {QStringLiteral("Picture Path:"), 1080, 285},
                                {QStringLiteral("Game Type:"), 1440, 330},
                                {QStringLiteral("Size:"), 1920, 330}},
                               240, 2520));
    return picture;
}

PicturePtr editBackground()
{
    static const PicturePtr picture =
        makeFace(QStringLiteral("edit"), 5745, 4470,
                 fieldCaptions({{QStringLiteral("Game Name:"), 120, 285},
                                {QStringLiteral("File Path:"), 600, 285},
                                {QStringLiteral("Picture Path:"), 960, 285},
                                {QStringLiteral("Game Type:"), 1440, 315},
                                {QStringLiteral("Size:"), 1920, 315}},
                               120, 2520));
    return picture;
}

PicturePtr optionsBackground()
{
    static const PicturePtr picture = makeFace(
        QStringLiteral("options"), 4320, 4320,
        {{QStringLiteral("Setup"), 1770, 180, 11.25, true, true, kTitleBlue},
         {QStringLiteral("Export path:"), 180, 960, 8.25, true, true, kCaptionBlue, 285},
         {QStringLiteral("Clear out files:"), 180, 1440, 8.25, true, true, kCaptionBlue, 375},
         {QStringLiteral("DAT file:"), 180, 1920, 8.25, true, true, kCaptionBlue, 285},
         {QStringLiteral("More options to come..."), 1500, 3420, 8.25, false, true, kQuietBlue,
          285}},
        [](TwipsCanvas& canvas) {
            canvas.painter().fillRect(canvas.rect(180, 645, 3960, 15), QColor(96, 96, 160));
            // The path boxes have no frame of their own; the wells show where to type.
            paintWell(canvas, 1290, 930, 2835, 345, Qt::black);
            paintWell(canvas, 1290, 1890, 2355, 345, Qt::black);
        });
    return picture;
}

PicturePtr progressBackground(const QString& title)
{
    // One face a title, each rendered once: the window shows again for every copy.
    static QHash<QString, PicturePtr> faces;
    PicturePtr& picture = faces[title];
    if (!picture)
        picture = makeFace(
            QStringLiteral("progress"), 4320, 1560,
            {{title, 225, 120, 9.75, true, true, kTitleBlue}}, [](TwipsCanvas& canvas) {
                canvas.painter().fillRect(canvas.rect(225, 405, 3870, 15), QColor(96, 96, 160));
                // The well the bar fills.
                paintWell(canvas, 225, 780, 3870, 255);
            });
    return picture;
}

void paintProgress(QPainter& painter, const QRectF& rect, double fraction)
{
    const QRectF filled(rect.topLeft(),
                        QSizeF(rect.width() * std::clamp(fraction, 0.0, 1.0), rect.height()));
    if (filled.width() <= 0)
        return;
    QLinearGradient fill(filled.topLeft(), filled.bottomLeft());
    fill.setColorAt(0, QColor(110, 110, 255));
    fill.setColorAt(1, QColor(30, 30, 170));
    painter.fillRect(filled, fill);
}

void paintCheckBox(QPainter& painter, const QRectF& rect, const QString& caption, bool checked)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const double side = std::round(std::min(rect.height(), rect.height() * 0.7 + 1));
    const QRectF box(rect.left() + 1, std::round(rect.center().y() - side / 2), side, side);
    painter.fillRect(box, Qt::black);
    paintBevel(painter, box, std::max(1.0, std::round(side / 7)), true);
    if (checked) {
        QPainterPath tick;
        tick.moveTo(box.left() + side * 0.25, box.top() + side * 0.5);
        tick.lineTo(box.left() + side * 0.43, box.top() + side * 0.7);
        tick.lineTo(box.left() + side * 0.76, box.top() + side * 0.28);
        painter.setPen(
            QPen(kTitleBlue, std::max(1.5, side / 6), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(tick);
    }
    // As the captions drawn into the backgrounds: 8.25 points at 15 twips a pixel.
    QFont font = designFont(8.25, true, true);
    font.setPixelSize(std::max(1, twipsToPixels(8.25 * 20)));
    painter.setFont(font);
    painter.setPen(kCaptionBlue);
    const QRectF text = rect.adjusted(box.width() + side * 0.6 + 1, 0, 0, 0);
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, caption);
    painter.restore();
}

PicturePtr aboutPicture()
{
    static const PicturePtr picture = makeFace(
        QStringLiteral("about"), 4320, 4305,
        {{QStringLiteral("Graphics and code by"), 600, 420, 9.75, false, true, kCaptionBlue},
         {QStringLiteral("The Vexloutil team"), 600, 3300, 9.75, true, true, kTitleBlue},
         {QStringLiteral("Keep every cartridge catalogued."), 600, 3645, 8.25, false, true,
          kQuietBlue}},
        [](TwipsCanvas& canvas) {
            QPainter& p = canvas.painter();
            const QRectF box = canvas.rect(420, 1005, 3480, 1905);
            p.fillRect(box, QColor(12, 12, 36));
            paintBevel(p, box, canvas.pixels(45), false);
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
    static const PicturePtr up =
        makeButton(QStringLiteral("clear"), QStringLiteral("Clear"), false, QSizeF());
    static const PicturePtr down =
        makeButton(QStringLiteral("clearPressed"), QStringLiteral("Clear"), true, QSizeF());
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
    // A cartridge on a 32-unit grid; packaging/vexloutil.svg is the same drawing.
    static const PicturePtr picture =
        std::make_shared<Picture>(QStringLiteral("icon"), [](QPainter& p, const QRectF& r) {
            p.save();
            p.translate(r.topLeft());
            p.scale(r.width() / 32, r.height() / 32);
            QPainterPath cart;
            cart.addRoundedRect(QRectF(5, 2.5, 22, 27), 2, 2);
            p.fillPath(cart, QColor(60, 60, 70));
            p.setPen(QPen(QColor(170, 170, 180), 1.2));
            p.drawPath(cart);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(40, 40, 48));
            p.drawRect(QRectF(10, 2.5, 12, 1.5)); // grip
            const QRectF label(8, 6, 16, 13);
            p.setBrush(Qt::black);
            p.setPen(QPen(QColor(0, 0, 255), 1));
            p.drawRect(label);
            // A bold italic V.
            const QPolygonF v(
                {{10.5, 8}, {14, 8}, {15.6, 14.2}, {20, 8}, {23.2, 8}, {15.6, 17.5}, {12.6, 17.5}});
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(128, 128, 255));
            p.drawPolygon(v);
            p.setPen(QPen(QColor(200, 170, 60), 1.4));
            for (int i = 0; i < 6; ++i) {
                const double x = 8.5 + i * 3;
                p.drawLine(QPointF(x, 23), QPointF(x, 27.5));
            }
            p.restore();
        });
    return picture;
}

} // namespace vx::art
