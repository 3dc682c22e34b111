// SPDX-License-Identifier: GPL-3.0-or-later
#include <hostedcontrol.h>

#include <QApplication>
#include <QProcess>
#include <QTest>

#include <cstdio>

namespace {

class Gauge final : public HostedControl
{
    Q_OBJECT
    Q_PROPERTY(int Level READ level WRITE setLevel)
    Q_PROPERTY(QString Unit READ unit)

public:
    using HostedControl::HostedControl;
    void readProperties(const PropertyBag &) override { }
    void writeProperties(PropertyBag &) const override { }
    int level() const { return m_level; }
    void setLevel(int level) { m_level = level; }
    QString unit() const { return QStringLiteral("l"); }

private:
    int m_level = 3;
};

// Set in the environment of a copy of this test that makes one call with a name the gauge does
// not declare, then says on its standard output what became of the gauge.
const char ChildCall[] = "TST_HOSTEDCONTROL_CALL";

int runChildCall(const QByteArray &call)
{
    Gauge gauge;
    gauge.setObjectName(QStringLiteral("gauge"));
    bool result = true;
    if (call == "write")
        result = gauge.setPublishedProperty("Levle", 5);
    else if (call == "write read-only")
        result = gauge.setPublishedProperty("Unit", QStringLiteral("m"));
    else if (call == "read")
        result = gauge.publishedProperty("Levle").isValid();
    std::printf("%s, %d dynamic properties, level %d\n", result ? "taken" : "refused",
                int(gauge.dynamicPropertyNames().size()), gauge.level());
    return 0;
}

} // namespace

class tst_HostedControl : public QObject
{
    Q_OBJECT

private slots:
    void declaredPropertiesByName();
    void undeclaredNameIsAProgrammingError_data();
    void undeclaredNameIsAProgrammingError();
};

void tst_HostedControl::declaredPropertiesByName()
{
    Gauge gauge;
    QVERIFY(gauge.setPublishedProperty("Level", 7));
    QCOMPARE(gauge.level(), 7);
    QCOMPARE(gauge.publishedProperty("Level"), QVariant(7));
    QCOMPARE(gauge.publishedProperty("Unit"), QVariant(QStringLiteral("l")));
    // Inherited properties are declared too.
    QVERIFY(gauge.setPublishedProperty("toolTip", QStringLiteral("fuel")));
    QCOMPARE(gauge.toolTip(), QStringLiteral("fuel"));
    // A value that does not convert is refused like QObject::setProperty refuses it.
    QVERIFY(!gauge.setPublishedProperty("Level", QVariant::fromValue(QSize(1, 2))));
    QCOMPARE(gauge.level(), 7);
    QVERIFY(gauge.dynamicPropertyNames().isEmpty());
}

void tst_HostedControl::undeclaredNameIsAProgrammingError_data()
{
    QTest::addColumn<QByteArray>("call");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("write") << QByteArray("write") << QByteArray("Gauge \"gauge\" has no writable property \"Levle\"");
    QTest::newRow("write read-only") << QByteArray("write read-only")
                                     << QByteArray("Gauge \"gauge\" has no writable property \"Unit\"");
    QTest::newRow("read") << QByteArray("read") << QByteArray("Gauge \"gauge\" has no property \"Levle\"");
}

void tst_HostedControl::undeclaredNameIsAProgrammingError()
{
    QFETCH(QByteArray, call);
    QFETCH(QByteArray, message);
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(ChildCall), QString::fromLatin1(call));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForFinished(60000));
    const QByteArray errors = child.readAllStandardError();
    QVERIFY2(errors.contains(message), errors.constData());
#ifdef QT_NO_DEBUG
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    QCOMPARE(child.readAllStandardOutput(), QByteArray("refused, 0 dynamic properties, level 3\n"));
#else
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
#endif
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (const QByteArray call = qgetenv(ChildCall); !call.isEmpty())
        return runChildCall(call);
    tst_HostedControl test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hostedcontrol.moc"
