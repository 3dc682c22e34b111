// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmsplash.h"

#include <clickandbrowse.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class tst_FrmSplash : public QObject
{
    Q_OBJECT

private slots:
#ifndef Q_OS_WIN
    void initTestCase();
    void cleanupTestCase();
#endif
    void showsTheVersion();
    void clicks_data();
    void clicks();
#ifndef Q_OS_WIN
    // On Windows the web link is tested on its own (tst_windowsbrowser).
    void addressOpensTheBrowser();
#endif

private:
    QTemporaryDir m_xdg;
    QStringList m_started;
};

#ifndef Q_OS_WIN
// The browser comes from a desktop of the test's own: text/html opens with a fake program.
void tst_FrmSplash::initTestCase()
{
    const QString browser = m_xdg.filePath(QStringLiteral("bin/fake browser"));
    QDir(m_xdg.path()).mkpath(QStringLiteral("bin"));
    QDir(m_xdg.path()).mkpath(QStringLiteral("data/applications"));
    QDir(m_xdg.path()).mkpath(QStringLiteral("config"));
    QFile program(browser);
    QVERIFY(program.open(QIODevice::WriteOnly));
    program.write("#!/bin/sh\n");
    program.close();
    program.setPermissions(program.permissions() | QFileDevice::ExeOwner);
    QFile entry(m_xdg.filePath(QStringLiteral("data/applications/fakebrowser.desktop")));
    QVERIFY(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nType=Application\nName=Fake\nExec=\"" + browser.toUtf8()
                + "\" %u\nMimeType=text/html;\n");
    entry.close();
    QFile associations(m_xdg.filePath(QStringLiteral("config/mimeapps.list")));
    QVERIFY(associations.open(QIODevice::WriteOnly));
    associations.write("[Default Applications]\ntext/html=fakebrowser.desktop\n");
    associations.close();
    qputenv("XDG_CONFIG_HOME", m_xdg.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_CONFIG_DIRS", m_xdg.filePath(QStringLiteral("none")).toUtf8());
    qputenv("XDG_DATA_HOME", m_xdg.filePath(QStringLiteral("data")).toUtf8());
    qputenv("XDG_DATA_DIRS", m_xdg.filePath(QStringLiteral("none")).toUtf8());
    ClickAndBrowse::setProcessStarter([this](const QString &program, const QStringList &arguments) {
        m_started.append(QFileInfo(program).fileName() + u'|' + arguments.join(u'|'));
        return true;
    });
}

void tst_FrmSplash::cleanupTestCase()
{
    ClickAndBrowse::setProcessStarter({});
}
#endif

void tst_FrmSplash::showsTheVersion()
{
    frmSplash splash;
    QCOMPARE(frmSplash::versionText(), QStringLiteral("Version 1.0.0"));
    QCOMPARE(splash.findChild<QLabel *>(QStringLiteral("lblVersion"))->text(), QStringLiteral("Version 1.0.0"));
    QCOMPARE(splash.findChild<QLabel *>(QStringLiteral("lblProductName"))->text(), QStringLiteral("The Vesperon"));
    QCOMPARE(splash.size(), QSize(427, 254));
    QVERIFY(!(splash.windowFlags() & Qt::WindowTitleHint));
}

void tst_FrmSplash::clicks_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QPoint>("position"); // in the target; a null point is its centre
    QTest::addColumn<bool>("closes");
    QTest::newRow("OK") << "cmdExit" << QPoint() << true;
    QTest::newRow("empty frame area") << "Frame1" << QPoint(380, 10) << true;
    QTest::newRow("product name") << "lblProductName" << QPoint() << false;
    QTest::newRow("version") << "lblVersion" << QPoint() << false;
    QTest::newRow("logo") << "imgLogo" << QPoint() << false;
}

void tst_FrmSplash::clicks()
{
    QFETCH(QString, target);
    QFETCH(QPoint, position);
    QFETCH(bool, closes);
    frmSplash splash;
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    QSignalSpy finished(&splash, &QDialog::finished);
    auto *widget = splash.findChild<QWidget *>(target);
    QVERIFY(widget);
    QTest::mouseClick(widget, Qt::LeftButton, {}, position.isNull() ? widget->rect().center() : position);
    QCOMPARE(finished.size(), closes ? 1 : 0);
    QCOMPARE(splash.isVisible(), !closes);
}

#ifndef Q_OS_WIN
void tst_FrmSplash::addressOpensTheBrowser()
{
    frmSplash splash;
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    auto *address = splash.findChild<QLabel *>(QStringLiteral("lblIAdress"));
    QCOMPARE(address->cursor().hotSpot(), QPoint(12, 1));
    m_started.clear();
    QTest::mouseClick(address, Qt::LeftButton);
    // The program with the address as its one argument, never a command line to split again.
    QCOMPARE(m_started, QStringList{QStringLiteral("fake browser|") + address->text()});
    QVERIFY(splash.isVisible());
}
#endif

QTEST_MAIN(tst_FrmSplash)
#include "tst_frmsplash.moc"
