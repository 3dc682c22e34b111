// SPDX-License-Identifier: GPL-3.0-or-later
#include "commandline.h"

#include <QTest>

class tst_CommandLine : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void helpText();
};

void tst_CommandLine::parse_data()
{
    QTest::addColumn<QString>("argumentText");
    // The switches found, in the order -1 -2 -3 -4, then /NOMSG.
    QTest::addColumn<QString>("expected");

    QTest::newRow("none") << ""
                          << "";
    QTest::newRow("-1") << "-1"
                        << "-1";
    QTest::newRow("-2") << "-2"
                        << "-2";
    QTest::newRow("-3") << "-3"
                        << "-3";
    QTest::newRow("-4") << "-4"
                        << "-4";
    QTest::newRow("-12: -1 only") << "-12"
                                  << "-1";
    QTest::newRow("inside other text") << "x-1y"
                                       << "-1";
    QTest::newRow("order of the text does not count") << "-4 -3 -1"
                                                      << "-1 -3 -4";
    QTest::newRow("run together") << "-1-2-3-4"
                                  << "-1 -2 -3 -4";
    QTest::newRow("/NOMSG") << "/NOMSG -2"
                            << "-2 /NOMSG";
    QTest::newRow("/NOMSG in lower case is not the switch") << "/nomsg"
                                                            << "";
    QTest::newRow("dry run is none of them") << "--dry-run"
                                             << "";
    QTest::newRow("5 and 0 are not switches") << "-5 -0 1 2"
                                              << "";
}

void tst_CommandLine::parse()
{
    QFETCH(QString, argumentText);
    QFETCH(QString, expected);
    const CommandLine::Switches switches = CommandLine::parse(argumentText);
    QStringList found;
    if (switches.logOff)
        found << QStringLiteral("-1");
    if (switches.forceLogOff)
        found << QStringLiteral("-2");
    if (switches.shutDown)
        found << QStringLiteral("-3");
    if (switches.forceShutDown)
        found << QStringLiteral("-4");
    if (switches.noMessages)
        found << QStringLiteral("/NOMSG");
    QCOMPARE(found.join(u' '), expected);
}

void tst_CommandLine::helpText()
{
    QCOMPARE(CommandLine::helpText(),
             QStringLiteral("Parameters for Start:\r\n"
                            "-1       Start 'Log Off' automatically\r\n"
                            "-2       Start 'Force Log Off' automatically\r\n"
                            "-3       Start 'Shut Down' automatically\r\n"
                            "-4       Start 'Force Shut Down' automatically\r\n"
                            "/NOMSG   Show no messages."));
}

QTEST_GUILESS_MAIN(tst_CommandLine)
#include "tst_commandline.moc"
