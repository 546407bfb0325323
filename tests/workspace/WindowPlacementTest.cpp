// Where the window opens: large and centred on a first start, where the user left it after.
#include "workspace/FrameHarness.h"

#include <QGuiApplication>
#include <QScreen>
#include <QtTest>

using namespace marlix;
using namespace marlix::test;

class WindowPlacementTest : public QObject {
    Q_OBJECT
private slots:
    void firstStartOpensLargeAndCentred();
    void storedPlacementWins();
};

void WindowPlacementTest::firstStartOpensLargeAndCentred() {
    FrameHarness harness; // an empty profile: the user has placed nothing yet
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect placed = harness.Frame().geometry();
    QVERIFY2(placed.width() >= available.width() * 3 / 4 && placed.height() >= available.height() * 3 / 4,
             qPrintable(QStringLiteral("%1 wide on %2").arg(placed.width()).arg(available.width())));
    QVERIFY(qAbs(placed.center().x() - available.center().x()) <= 2);
}

void WindowPlacementTest::storedPlacementWins() {
    MemoryProfileStore profile;
    profile.WriteInt("MainFrm", "Left", 10);
    profile.WriteInt("MainFrm", "Top", 20);
    profile.WriteInt("MainFrm", "Right", 910);
    profile.WriteInt("MainFrm", "Bottom", 540);
    FrameHarness harness(&profile);
    QCOMPARE(harness.Frame().geometry().topLeft(), QPoint(10, 20));
    QCOMPARE(harness.Frame().geometry().width(), 900);
}

QTEST_MAIN(WindowPlacementTest)
#include "WindowPlacementTest.moc"
