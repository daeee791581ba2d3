// The pure part of the window-manager layer: the choice of platform.

#include <QTest>

#include "window/qt/wmhints.h"

class WmHintsTest : public QObject {
  Q_OBJECT

 private slots:
  void prefersXcb_data() {
    QTest::addColumn<QByteArray>("sessionType");
    QTest::addColumn<QByteArray>("waylandDisplay");
    QTest::addColumn<QByteArray>("qpaPlatform");
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<bool>("xcb");

    // Wayland sessions with XWayland: run on X so that top-most and placement hold.
    QTest::newRow("wayland session type")
        << QByteArray("wayland") << QByteArray() << QByteArray() << QByteArray(":0") << true;
    QTest::newRow("wayland display only")
        << QByteArray() << QByteArray("wayland-0") << QByteArray() << QByteArray(":1") << true;
    // The user's own choice of platform wins.
    QTest::newRow("platform chosen: wayland") << QByteArray("wayland") << QByteArray("wayland-0")
                                              << QByteArray("wayland") << QByteArray(":0") << false;
    QTest::newRow("platform chosen: offscreen")
        << QByteArray("wayland") << QByteArray() << QByteArray("offscreen") << QByteArray(":0")
        << false;
    // Nothing to change.
    QTest::newRow("wayland without X display") << QByteArray("wayland") << QByteArray("wayland-0")
                                               << QByteArray() << QByteArray() << false;
    QTest::newRow("x11 session") << QByteArray("x11") << QByteArray() << QByteArray()
                                 << QByteArray(":0") << false;
    QTest::newRow("no session type, X display")
        << QByteArray() << QByteArray() << QByteArray() << QByteArray(":0") << false;
    QTest::newRow("tty session") << QByteArray("tty") << QByteArray() << QByteArray()
                                 << QByteArray() << false;
  }

  void prefersXcb() {
    QFETCH(QByteArray, sessionType);
    QFETCH(QByteArray, waylandDisplay);
    QFETCH(QByteArray, qpaPlatform);
    QFETCH(QByteArray, display);
    QFETCH(bool, xcb);
    QCOMPARE(wmhints::prefersXcb(sessionType.constData(), waylandDisplay.constData(),
                                 qpaPlatform.constData(), display.constData()),
             xcb);
  }
};

QTEST_GUILESS_MAIN(WmHintsTest)
#include "wmhints_test.moc"
