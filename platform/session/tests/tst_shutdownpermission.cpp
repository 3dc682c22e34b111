// SPDX-License-Identifier: GPL-3.0-or-later
#include <dbusmock.h>
#include <privatebus.h>
#include <shutdownpermission.h>

#include <QSignalSpy>
#include <QTest>

#include <memory>

using Action = ShutdownPermission::Action;
using Answer = ShutdownPermission::Answer;

// The question to logind, asked of python-dbusmock's logind on a system bus of the test's own.
class tst_ShutdownPermission : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void answers_data();
    void answers();
    void withoutLogindTheAnswerIsUnknown();
    void withoutABusTheAnswerIsUnknown();
    void cleanupTestCase();

private:
    // The one answer to one question: its action and its answer; empty when none came.
    static QVariantList answerTo(ShutdownPermission &permission, Action action);

    std::unique_ptr<PrivateBus> m_bus;
    std::unique_ptr<DBusMock> m_logind;
};

void tst_ShutdownPermission::initTestCase()
{
    m_bus = std::make_unique<PrivateBus>(PrivateBus::Kind::System);
    QVERIFY2(m_bus->isRunning(), qPrintable(m_bus->error()));
    m_logind = std::make_unique<DBusMock>(*m_bus, QStringLiteral("logind"), QStringLiteral("org.freedesktop.login1"),
                                          QStringLiteral("/org/freedesktop/login1"));
    QVERIFY2(m_logind->isRunning(), qPrintable(m_logind->error()));
}

void tst_ShutdownPermission::cleanupTestCase()
{
    // Asking never asked for more than the answer.
    if (m_logind) {
        QVERIFY(m_logind->calls(QStringLiteral("PowerOff")).isEmpty());
        QVERIFY(m_logind->calls(QStringLiteral("Reboot")).isEmpty());
    }
}

QVariantList tst_ShutdownPermission::answerTo(ShutdownPermission &permission, Action action)
{
    QSignalSpy answered(&permission, &ShutdownPermission::answered);
    permission.ask(action);
    if (!answered.wait(10000) || answered.size() != 1)
        return {};
    return answered.takeFirst();
}

void tst_ShutdownPermission::answers_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("said");
    QTest::addColumn<Answer>("expected");
    QTest::newRow("power off: yes") << Action::PowerOff << "yes" << Answer::Yes;
    QTest::newRow("power off: challenge") << Action::PowerOff << "challenge" << Answer::Challenge;
    QTest::newRow("power off: no") << Action::PowerOff << "no" << Answer::No;
    QTest::newRow("power off: na") << Action::PowerOff << "na" << Answer::NotAvailable;
    QTest::newRow("reboot: challenge") << Action::Reboot << "challenge" << Answer::Challenge;
    QTest::newRow("reboot: no") << Action::Reboot << "no" << Answer::No;
    QTest::newRow("reboot: na") << Action::Reboot << "na" << Answer::NotAvailable;
    QTest::newRow("reboot: an answer of another kind") << Action::Reboot << "perhaps" << Answer::Unknown;
}

void tst_ShutdownPermission::answers()
{
    QFETCH(Action, action);
    QFETCH(QString, said);
    QFETCH(Answer, expected);
    const QString manager = QStringLiteral("org.freedesktop.login1.Manager");
    // The other question is answered otherwise, so that asking the wrong one shows.
    const QString other = said == u"yes" ? QStringLiteral("no") : QStringLiteral("yes");
    const QString asked = action == Action::PowerOff ? QStringLiteral("CanPowerOff") : QStringLiteral("CanReboot");
    const QString notAsked = action == Action::PowerOff ? QStringLiteral("CanReboot") : QStringLiteral("CanPowerOff");
    m_logind->addMethod(manager, asked, QString(), QStringLiteral("s"), QStringLiteral("ret = '%1'").arg(said));
    m_logind->addMethod(manager, notAsked, QString(), QStringLiteral("s"), QStringLiteral("ret = '%1'").arg(other));
    m_logind->clearCalls();

    const QDBusConnection bus = m_bus->connect();
    ShutdownPermission permission(bus);
    const QVariantList answer = answerTo(permission, action);
    QCOMPARE(answer.size(), 2);
    QCOMPARE(answer.at(0).value<Action>(), action);
    QCOMPARE(answer.at(1).value<Answer>(), expected);
    QCOMPARE(m_logind->calls(asked).size(), 1);
    QCOMPARE(m_logind->calls(notAsked).size(), 0);
}

void tst_ShutdownPermission::withoutLogindTheAnswerIsUnknown()
{
    PrivateBus empty(PrivateBus::Kind::System);
    QVERIFY2(empty.isRunning(), qPrintable(empty.error()));
    ShutdownPermission permission(empty.connect());
    const QVariantList answer = answerTo(permission, Action::PowerOff);
    QCOMPARE(answer.size(), 2);
    QCOMPARE(answer.at(1).value<Answer>(), Answer::Unknown);
}

void tst_ShutdownPermission::withoutABusTheAnswerIsUnknown()
{
    const QDBusConnection nowhere =
        QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("nowhere"));
    QVERIFY(!nowhere.isConnected());
    ShutdownPermission permission(nowhere);
    const QVariantList answer = answerTo(permission, Action::Reboot);
    QCOMPARE(answer.size(), 2);
    QCOMPARE(answer.at(1).value<Answer>(), Answer::Unknown);
    QDBusConnection::disconnectFromBus(QStringLiteral("nowhere"));
}

QTEST_GUILESS_MAIN(tst_ShutdownPermission)
#include "tst_shutdownpermission.moc"
