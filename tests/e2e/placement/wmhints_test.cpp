// The pure parts of the window-manager layer: the corner arithmetic and the choice of platform.

#include <QRect>
#include <QTest>

#include "window/wmhints.h"

class WmHintsTest : public QObject {
  Q_OBJECT

 private slots:
  void topRightOrigin_data() {
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<int>("outerWidth");
    QTest::addColumn<QPoint>("origin");

    QTest::newRow("wide screen, openbox frame") << QRect(0, 0, 1280, 800) << 294 << QPoint(986, 0);
    QTest::newRow("frame exactly as wide as the screen")
        << QRect(0, 0, 294, 300) << 294 << QPoint(0, 0);
    // No clamping: the left part lies off the screen, the right edge stays on the screen's edge.
    QTest::newRow("narrow screen, negative left") << QRect(0, 0, 200, 300) << 294 << QPoint(-94, 0);
    QTest::newRow("no frame at scale 2") << QRect(0, 0, 1280, 800) << 576 << QPoint(704, 0);
    QTest::newRow("primary screen right of another")
        << QRect(1920, 0, 1280, 1024) << 294 << QPoint(2906, 0);
    QTest::newRow("primary screen below another")
        << QRect(0, 1080, 1920, 1080) << 294 << QPoint(1626, 1080);
  }

  void topRightOrigin() {
    QFETCH(QRect, screen);
    QFETCH(int, outerWidth);
    QFETCH(QPoint, origin);
    QCOMPARE(wmhints::topRightOrigin(screen, outerWidth), origin);
  }

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
