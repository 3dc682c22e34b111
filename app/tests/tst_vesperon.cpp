// SPDX-License-Identifier: GPL-3.0-or-later
#include <QProcess>
#include <QTest>

// The real program, started as a dry run. Its buses are pointed at nowhere as well, so that
// even a dry run that failed to take hold could not reach this machine's session.
class tst_Vesperon : public QObject
{
    Q_OBJECT

private slots:
    void dryRunPrintsEachStepAndOpensTheWindow_data();
    void dryRunPrintsEachStepAndOpensTheWindow();
};

void tst_Vesperon::dryRunPrintsEachStepAndOpensTheWindow_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("-3 -1") << QStringList{"-3", "-1"}
                           << QStringList{"vesperon: dry run: log off", "vesperon: dry run: enable shutdown privilege",
                                          "vesperon: dry run: shut down"};
    QTest::newRow("-4") << QStringList{
        "-4"} << QStringList{"vesperon: dry run: enable shutdown privilege", "vesperon: dry run: force shut down"};
    QTest::newRow("-12 /NOMSG") << QStringList{"-12", "/NOMSG"} << QStringList{"vesperon: dry run: log off"};
    QTest::newRow("-2") << QStringList{"-2"} << QStringList{"vesperon: dry run: force log off"};
}

void tst_Vesperon::dryRunPrintsEachStepAndOpensTheWindow()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, expected);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"),
                       QStringLiteral("unix:path=/nonexistent/vesperon-test-system-bus"));
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                       QStringLiteral("unix:path=/nonexistent/vesperon-test-session-bus"));
    environment.remove(QStringLiteral("DBUS_STARTER_ADDRESS"));

    QProcess vesperon;
    vesperon.setProcessEnvironment(environment);
    vesperon.start(QStringLiteral(VESPERON_BINARY), QStringList{"--dry-run"} + arguments);
    QVERIFY(vesperon.waitForStarted());

    QByteArray output;
    QTRY_VERIFY_WITH_TIMEOUT((output += vesperon.readAllStandardOutput(),
                              output.count('\n') >= expected.size() || vesperon.state() != QProcess::Running),
                             20000);
    const QStringList lines = QString::fromLocal8Bit(output).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines, expected);

    // After its load the program stays with its window open.
    QVERIFY(!vesperon.waitForFinished(500));
    QCOMPARE(vesperon.state(), QProcess::Running);
    vesperon.terminate();
    if (!vesperon.waitForFinished(5000)) {
        vesperon.kill();
        vesperon.waitForFinished();
    }
}

QTEST_GUILESS_MAIN(tst_Vesperon)
#include "tst_vesperon.moc"
