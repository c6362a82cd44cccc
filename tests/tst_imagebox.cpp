#include "support/testsupport.h"
#include "ui/controls.h"

#include <QImageWriter>
#include <QSignalSpy>
#include <QThreadPool>
#include <QtTest>
#include <memory>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace vx;

namespace
{

// A box of 100 x 50 pixels, so pictures are read at most 200 x 100.
std::unique_ptr<ImageBox> makeBox()
{
    auto box = std::make_unique<ImageBox>(QStringLiteral("Image1"), nullptr);
    box->resize(100, 50);
    return box;
}

// A picture of one colour; `rotated` stores it on its side with orientation data to turn it.
QString writePicture(const QTemporaryDir& dir, const QString& name, QSize size, QColor colour,
                     bool rotated = false)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = dir.filePath(name);
    QImageWriter writer(path);
    if (rotated)
        writer.setTransformation(QImageIOHandler::TransformationRotate90);
    if (!writer.write(image))
        qWarning("could not write %s: %s", qPrintable(path), qPrintable(writer.errorString()));
    return path;
}

QColor shownColour(const ImageBox& box)
{
    const QImage image = test::ImageBoxProbe::pixmap(box).toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

// Every decode started has finished and handed its picture back.
void drainDecodes()
{
    test::ImageBoxProbe::waitForDecodes();
    QCoreApplication::processEvents();
}

} // namespace

class TestImageBox : public QObject
{
    Q_OBJECT

private slots:
    void loadPicture_emptiesAtOnceThenShowsReadablePicture_data();
    void loadPicture_emptiesAtOnceThenShowsReadablePicture();
    void loadPicture_newestRequestWins_data();
    void loadPicture_newestRequestWins();
    void destroyedWhileDecoding_dropsPicture();
};

void TestImageBox::loadPicture_emptiesAtOnceThenShowsReadablePicture_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("shownSize"); // empty: nothing shown
    QTest::newRow("small PNG, as stored") << "small.png" << QSize(64, 48);
    QTest::newRow("large JPEG, read at twice the box") << "large.jpg" << QSize(200, 100);
    QTest::newRow("large PNG, only one side bounded") << "wide.png" << QSize(200, 40);
    QTest::newRow("turned upright, then bounded") << "turned.jpg" << QSize(200, 100);
    QTest::newRow("missing file") << "gone.png" << QSize();
    QTest::newRow("not a picture") << "notes.png" << QSize();
    // Reading a pipe would wait for a writer forever, and keep the program from ending.
    QTest::newRow("a pipe") << "pipe.png" << QSize();
    QTest::newRow("no path") << "" << QSize();
}

void TestImageBox::loadPicture_emptiesAtOnceThenShowsReadablePicture()
{
    QFETCH(QString, file);
    QFETCH(QSize, shownSize);
    QTemporaryDir dir;
    const QString earlier = writePicture(dir, "earlier.png", {30, 30}, Qt::red);
    writePicture(dir, "small.png", {64, 48}, Qt::darkCyan);
    writePicture(dir, "large.jpg", {1600, 1200}, Qt::darkCyan);
    writePicture(dir, "wide.png", {1000, 40}, Qt::darkCyan);
    // Stored 1200 wide and 1600 high, shown 1600 wide: bounded as shown, not as stored.
    writePicture(dir, "turned.jpg", {1200, 1600}, Qt::darkCyan, true);
    QFile notes(dir.filePath("notes.png"));
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.write("plain words, no picture");
    notes.close();
#ifdef Q_OS_UNIX
    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("pipe.png")).constData(), 0600), 0);
#endif

    auto box = makeBox();
    box->loadPicture(earlier);
    test::waitForPicture(*box);
    QVERIFY(test::ImageBoxProbe::hasPicture(*box));

    QSignalSpy loaded(box.get(), &ImageBox::pictureLoaded);
    box->loadPicture(file.isEmpty() ? QString() : dir.filePath(file));
    // The earlier picture goes before the new one is read.
    QVERIFY(!test::ImageBoxProbe::hasPicture(*box));
    test::waitForPicture(*box);

    QCOMPARE(test::ImageBoxProbe::hasPicture(*box), !shownSize.isEmpty());
    if (!file.isEmpty())
        QCOMPARE(loaded, QList<QVariantList>{{test::ImageBoxProbe::hasPicture(*box)}});
    if (!shownSize.isEmpty())
        QCOMPARE(test::ImageBoxProbe::pixmap(*box).size(), shownSize);
}

void TestImageBox::loadPicture_newestRequestWins_data()
{
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("shown");
    QTest::newRow("then a small picture") << "small.png" << true;
    QTest::newRow("then a missing one") << "gone.png" << false;
    QTest::newRow("then cleared") << "" << false;
}

void TestImageBox::loadPicture_newestRequestWins()
{
    QFETCH(QString, second);
    QFETCH(bool, shown);
    QTemporaryDir dir;
    // The first decode is the slow one, so its picture arrives last.
    const QString slow = writePicture(dir, "slow.png", {3000, 3000}, Qt::red);
    writePicture(dir, "small.png", {16, 16}, Qt::blue);

    auto box = makeBox();
    QSignalSpy loaded(box.get(), &ImageBox::pictureLoaded);
    box->loadPicture(slow);
    if (second.isEmpty())
        box->clear();
    else
        box->loadPicture(dir.filePath(second));
    drainDecodes();

    QVERIFY(!test::ImageBoxProbe::isLoading(*box));
    QCOMPARE(test::ImageBoxProbe::hasPicture(*box), shown);
    if (shown)
        QCOMPARE(shownColour(*box).rgb(), QColor(Qt::blue).rgb());
    // Only the newest request reports.
    QCOMPARE(loaded.size(), second.isEmpty() ? 0 : 1);
}

void TestImageBox::destroyedWhileDecoding_dropsPicture()
{
    QTemporaryDir dir;
    const QString slow = writePicture(dir, "slow.png", {3000, 3000}, Qt::red);
    for (int i = 0; i < 5; ++i) {
        auto box = makeBox();
        box->loadPicture(slow);
    }
    // A box made where a gone one was must not be handed that one's picture either.
    auto box = makeBox();
    drainDecodes();
    QVERIFY(!test::ImageBoxProbe::hasPicture(*box));
}

QTEST_MAIN(TestImageBox)
#include "tst_imagebox.moc"
