// SPDX-License-Identifier: GPL-3.0-or-later
#include "imagelist.h"
#include "perchlet.h"

#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>

namespace {

QIcon filledIcon(const QColor &colour)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

qint64 shownKey(const Perchlet &tray)
{
    return tray.trayIcon().icon().cacheKey();
}

} // namespace

class tst_Perchlet : public QObject
{
    Q_OBJECT

private slots:
    void imageListCountsFromOne();
    void disarmedSetUp();
    void imageNumberChangesTheIconAtOnce();
    void numberWithoutPicture_data();
    void numberWithoutPicture();
    void iconEvent_data();
    void iconEvent();
    void noTrayToBeHad();
};

void tst_Perchlet::imageListCountsFromOne()
{
    ImageList list;
    const QIcon first = filledIcon(Qt::gray);
    const QIcon second = filledIcon(Qt::red);
    QCOMPARE(list.add(first), 1);
    QCOMPARE(list.add(second), 2);
    QCOMPARE(list.count(), 2);
    QCOMPARE(list.image(1).cacheKey(), first.cacheKey());
    QCOMPARE(list.image(2).cacheKey(), second.cacheKey());
    QVERIFY(list.image(0).isNull());
    QVERIFY(list.image(3).isNull());
    QVERIFY(list.image(-1).isNull());
}

// The window's order at load: the stored list and number, then number, tip, and ShowIcon.
void tst_Perchlet::disarmedSetUp()
{
    QObject window;
    auto *imlTray = new ImageList(&window);
    imlTray->add(filledIcon(Qt::gray));
    imlTray->add(filledIcon(Qt::red));
    auto *sysTray = new Perchlet(&window);
    QVERIFY(!sysTray->showIcon());
    QCOMPARE(sysTray->imagenumber(), qint16(1));

    QVERIFY(sysTray->setProperty("imagelist", QVariant::fromValue(imlTray)));
    QCOMPARE(shownKey(*sysTray), imlTray->image(1).cacheKey());
    QVERIFY(sysTray->setProperty("imagenumber", 1));
    QVERIFY(sysTray->setProperty("ToolTip", QStringLiteral("The Vesperon")));
    QVERIFY(sysTray->setProperty("ShowIcon", true));

    QCOMPARE(sysTray->property("imagelist").value<ImageList *>(), imlTray);
    QCOMPARE(shownKey(*sysTray), imlTray->image(1).cacheKey());
    QCOMPARE(sysTray->trayIcon().toolTip(), QStringLiteral("The Vesperon"));
    QCOMPARE(sysTray->property("ToolTip").toString(), QStringLiteral("The Vesperon"));
    QVERIFY(sysTray->property("ShowIcon").toBool());
}

void tst_Perchlet::imageNumberChangesTheIconAtOnce()
{
    ImageList list;
    list.add(filledIcon(Qt::gray));
    list.add(filledIcon(Qt::red));
    Perchlet tray;
    tray.setImagelist(&list);
    tray.setShowIcon(true);

    for (const qint16 number : {qint16(2), qint16(1), qint16(2), qint16(1)}) {
        tray.setProperty("imagenumber", number);
        QCOMPARE(tray.imagenumber(), number);
        QCOMPARE(shownKey(tray), list.image(number).cacheKey());
        QVERIFY(tray.showIcon());
    }
}

void tst_Perchlet::numberWithoutPicture_data()
{
    QTest::addColumn<qint16>("number");
    QTest::newRow("zero") << qint16(0);
    QTest::newRow("past the end") << qint16(3);
    QTest::newRow("negative") << qint16(-1);
}

void tst_Perchlet::numberWithoutPicture()
{
    QFETCH(qint16, number);
    ImageList list;
    list.add(filledIcon(Qt::gray));
    list.add(filledIcon(Qt::red));
    Perchlet tray;
    tray.setImagelist(&list);
    tray.setImagenumber(number);
    QCOMPARE(tray.imagenumber(), number);
    QVERIFY(tray.trayIcon().icon().isNull());

    tray.setImagenumber(2);
    QCOMPARE(shownKey(tray), list.image(2).cacheKey());
}

void tst_Perchlet::iconEvent_data()
{
    QTest::addColumn<QSystemTrayIcon::ActivationReason>("reason");
    QTest::addColumn<bool>("raised");
    QTest::newRow("click") << QSystemTrayIcon::Trigger << true;
    QTest::newRow("double-click") << QSystemTrayIcon::DoubleClick << true;
    QTest::newRow("context menu") << QSystemTrayIcon::Context << false;
    QTest::newRow("middle button") << QSystemTrayIcon::MiddleClick << false;
    QTest::newRow("unknown") << QSystemTrayIcon::Unknown << false;
}

void tst_Perchlet::iconEvent()
{
    QFETCH(QSystemTrayIcon::ActivationReason, reason);
    QFETCH(bool, raised);
    Perchlet tray;
    QList<int> arguments;
    connect(&tray, &Perchlet::IconEvent, this, [&arguments](int &action) {
        arguments.append(action);
        action = -1;
    });

    auto &icon = const_cast<QSystemTrayIcon &>(tray.trayIcon());
    Q_EMIT icon.activated(reason);
    QCOMPARE(arguments.size(), raised ? 1 : 0);
    if (raised)
        QCOMPARE(arguments.first(), int(reason));
}

// Headless and without a session bus (as CTest runs it) no tray can ever show the icon: ShowIcon
// is kept, nothing is put anywhere, nothing is said about it, and the icon stands in no tray.
void tst_Perchlet::noTrayToBeHad()
{
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
    ImageList list;
    list.add(filledIcon(Qt::gray));
    Perchlet tray;
    QSignalSpy inTray(&tray, &Perchlet::inTrayChanged);
    tray.setImagelist(&list);
    tray.setShowIcon(true);

    QVERIFY(tray.showIcon());
    QVERIFY(!tray.trayIcon().isVisible());
    QVERIFY(!tray.isInTray());
    tray.setShowIcon(false);
    QVERIFY(!tray.showIcon());
    QVERIFY(inTray.isEmpty());
}

QTEST_MAIN(tst_Perchlet)
#include "tst_perchlet.moc"
