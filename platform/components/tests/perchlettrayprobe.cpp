// SPDX-License-Identifier: GPL-3.0-or-later
// Shows a Perchlet in the notification area of a real tray host and checks it from outside: the
// icon docked into the host's panel and drawn there, its tip under the pointer, and IconEvent on
// real clicks. test_perchlet_tray.py starts the display, the tray host and a private bus for it.
#include "imagelist.h"
#include "perchlet.h"

#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTest>
#include <QToolTip>

namespace {

QIcon filledIcon(const QColor &colour)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000))
        return {};
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

// The windows inside the tray host's panel, as xwininfo lists them.
QString panelTree()
{
    const QString root = run(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
    const QRegularExpression panel(QStringLiteral(R"((0x[0-9a-f]+) "panel": \("panel" "trayer"\))"));
    const QRegularExpressionMatch match = panel.match(root);
    if (!match.hasMatch())
        return {};
    return run(QStringLiteral("xwininfo"), {QStringLiteral("-tree"), QStringLiteral("-id"), match.captured(1)});
}

// Where the panel shows the icon of the program, on the screen; empty while it has none.
QRect dockedIcon(const QString &program)
{
    // A line of the tree: 0x400007 "title": ("probe" "Probe")  22x22+2+1  +640+1
    const QRegularExpression line(
        QStringLiteral(R"(0x[0-9a-f]+ .*\("%1" [^)]*\)\s+(\d+)x(\d+)[+-]-?\d+[+-]-?\d+\s+\+(-?\d+)\+(-?\d+))")
            .arg(QRegularExpression::escape(program)));
    const QRegularExpressionMatch match = line.match(panelTree());
    if (!match.hasMatch())
        return {};
    return QRect(match.captured(3).toInt(), match.captured(4).toInt(), match.captured(1).toInt(),
                 match.captured(2).toInt());
}

// The share of the icon's pixels on the screen that are near the colour.
double shareOnScreen(const QRect &area, const QColor &colour)
{
    const QImage image =
        QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
    if (image.isNull())
        return 0;
    int near = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (qAbs(pixel.red() - colour.red()) < 24 && qAbs(pixel.green() - colour.green()) < 24
                && qAbs(pixel.blue() - colour.blue()) < 24)
                ++near;
        }
    }
    return double(near) / (image.width() * image.height());
}

void xdotool(const QStringList &arguments)
{
    QProcess::execute(QStringLiteral("xdotool"), arguments);
}

} // namespace

class tst_PerchletTray : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void iconInTheRealTray();
};

void tst_PerchletTray::iconInTheRealTray()
{
    QVERIFY(QGuiApplication::platformName() == QLatin1String("xcb"));
    QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 10000);

    const QColor natural(70, 90, 120);
    const QColor red(220, 20, 20);
    ImageList imlTray;
    imlTray.add(filledIcon(natural));
    imlTray.add(filledIcon(red));
    Perchlet sysTray;
    QList<int> events;
    connect(&sysTray, &Perchlet::IconEvent, this, [&events](int &action) { events.append(action); });

    sysTray.setImagelist(&imlTray);
    sysTray.setProperty("imagenumber", 1);
    sysTray.setProperty("ToolTip", QStringLiteral("The Vesperon"));
    sysTray.setProperty("ShowIcon", true);

    // Docked: the host has taken the icon's window into its panel.
    const QString program = QCoreApplication::applicationName();
    QTRY_VERIFY_WITH_TIMEOUT(dockedIcon(program).isValid(), 10000);
    const QRect area = dockedIcon(program);
    QVERIFY(QGuiApplication::primaryScreen()->geometry().contains(area));

    QTRY_VERIFY_WITH_TIMEOUT(shareOnScreen(area, natural) > 0.5, 10000);
    sysTray.setProperty("imagenumber", 2);
    QTRY_VERIFY_WITH_TIMEOUT(shareOnScreen(area, red) > 0.5, 10000);
    QVERIFY(shareOnScreen(area, natural) < 0.1);

    const QPoint centre = area.center();
    xdotool({QStringLiteral("mousemove"), QString::number(centre.x()), QString::number(centre.y())});
    QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible(), 10000);
    QCOMPARE(QToolTip::text(), QStringLiteral("The Vesperon"));

    xdotool({QStringLiteral("click"), QStringLiteral("1")});
    QTRY_COMPARE(events, QList<int>{QSystemTrayIcon::Trigger});
    events.clear();
    xdotool({QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"), QStringLiteral("--delay"),
             QStringLiteral("80"), QStringLiteral("1")});
    QTRY_VERIFY(events.contains(QSystemTrayIcon::DoubleClick));
    for (const int action : std::as_const(events))
        QVERIFY(action == QSystemTrayIcon::Trigger || action == QSystemTrayIcon::DoubleClick);

    sysTray.setShowIcon(false);
    QTRY_VERIFY_WITH_TIMEOUT(!dockedIcon(program).isValid(), 10000);
}

QTEST_MAIN(tst_PerchletTray)
#include "perchlettrayprobe.moc"
