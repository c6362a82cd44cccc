#include "ui/session.h"

#include <QTest>

using namespace vx;

// The platform the program asks Qt for, by the session it starts in.
class tst_session : public QObject
{
    Q_OBJECT

private slots:
    void preferredPlatform_xOnlyForWaylandWithXWayland_data();
    void preferredPlatform_xOnlyForWaylandWithXWayland();
};

void tst_session::preferredPlatform_xOnlyForWaylandWithXWayland_data()
{
    QTest::addColumn<QByteArray>("chosen");
    QTest::addColumn<QByteArray>("sessionType");
    QTest::addColumn<QByteArray>("waylandDisplay");
    QTest::addColumn<QByteArray>("x11Display");
    QTest::addColumn<QByteArray>("platform");

    QTest::newRow("Wayland with XWayland")
        << QByteArray() << QByteArray("wayland") << QByteArray("wayland-0") << QByteArray(":0")
        << QByteArray("xcb");
    QTest::newRow("a Wayland display, no session type")
        << QByteArray() << QByteArray() << QByteArray("wayland-1") << QByteArray(":1")
        << QByteArray("xcb");
    QTest::newRow("Wayland without XWayland: Qt's choice")
        << QByteArray() << QByteArray("wayland") << QByteArray("wayland-0") << QByteArray()
        << QByteArray();
    QTest::newRow("the user's choice stands")
        << QByteArray("wayland") << QByteArray("wayland") << QByteArray("wayland-0")
        << QByteArray(":0") << QByteArray();
    QTest::newRow("an X session") << QByteArray() << QByteArray("x11") << QByteArray()
                                  << QByteArray(":0") << QByteArray();
    QTest::newRow("no session at all")
        << QByteArray() << QByteArray() << QByteArray() << QByteArray() << QByteArray();
}

void tst_session::preferredPlatform_xOnlyForWaylandWithXWayland()
{
    QFETCH(QByteArray, chosen);
    QFETCH(QByteArray, sessionType);
    QFETCH(QByteArray, waylandDisplay);
    QFETCH(QByteArray, x11Display);
    QFETCH(QByteArray, platform);
    QCOMPARE(preferredPlatform(chosen, sessionType, waylandDisplay, x11Display), platform);
}

QTEST_GUILESS_MAIN(tst_session)
#include "tst_session.moc"
