// SPDX-License-Identifier: GPL-3.0-or-later
#include <controlregistry.h>
#include <hostedcontrol.h>
#include <propertybag.h>

#include <QTest>

namespace {
class Gauge final : public HostedControl
{
public:
    using HostedControl::HostedControl;
    void readProperties(const PropertyBag &bag) override { level = bag.readInt16(QStringLiteral("Level"), 3); }
    void writeProperties(PropertyBag &bag) const override { bag.writeProperty(QStringLiteral("Level"), level, 3); }
    qint16 level = 3;
};
const ControlRegistration registration(QStringLiteral("Tests.Gauge"),
                                       [](QWidget *parent) { return new Gauge(parent); });
} // namespace

class tst_ControlRegistry : public QObject
{
    Q_OBJECT

private slots:
    void createsRegisteredControls();
    void unknownIdentifierGivesNoControl();
};

void tst_ControlRegistry::createsRegisteredControls()
{
    QWidget window;
    QString error;
    HostedControl *control = ControlRegistry::instance().create(QStringLiteral("Tests.Gauge"), &window, &error);
    QVERIFY(control);
    QCOMPARE(control->parent(), &window);
    QCOMPARE(control->property("programmaticId").toString(), QStringLiteral("Tests.Gauge"));
    QVERIFY(ControlRegistry::instance().programmaticIds().contains(QStringLiteral("Tests.Gauge")));

    PropertyBag bag;
    bag.writeProperty(QStringLiteral("Level"), 9);
    control->readProperties(bag);
    PropertyBag saved;
    control->writeProperties(saved);
    QCOMPARE(saved.readInt16(QStringLiteral("Level"), 3), qint16(9));
}

void tst_ControlRegistry::unknownIdentifierGivesNoControl()
{
    QWidget window;
    QString error;
    QCOMPARE(ControlRegistry::instance().create(QStringLiteral("Tests.Nothing"), &window, &error), nullptr);
    QVERIFY(error.contains(QLatin1String("Tests.Nothing")));
    QVERIFY(window.children().isEmpty());
    QCOMPARE(ControlRegistry::instance().create(QStringLiteral("gauge"), &window), nullptr); // names are exact
}

QTEST_MAIN(tst_ControlRegistry)
#include "tst_controlregistry.moc"
