// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui_placeholderform.h"

#include <controlregistry.h>
#include <hostedcontrol.h>
#include <placeholderloader.h>
#include <propertybag.h>

#include <QTest>

namespace {
class Gauge final : public HostedControl
{
public:
    using HostedControl::HostedControl;
    void readProperties(const PropertyBag &bag) override
    {
        level = bag.readInt16(QStringLiteral("Level"), 3);
        caption = bag.readString(QStringLiteral("Caption"), QString());
        names = bag.names();
    }
    void writeProperties(PropertyBag &) const override { }
    qint16 level = 0;
    QString caption;
    QStringList names;
};
const ControlRegistration registration(QStringLiteral("Tests.Gauge"),
                                       [](QWidget *parent) { return new Gauge(parent); });
} // namespace

class tst_PlaceholderLoader : public QObject
{
    Q_OBJECT

private slots:
    void replacesPlaceholdersWithControls();
};

void tst_PlaceholderLoader::replacesPlaceholdersWithControls()
{
    QWidget form;
    Ui::PlaceholderForm ui;
    ui.setupUi(&form);
    QString error;
    const QList<HostedControl *> controls = PlaceholderLoader::replacePlaceholders(&form, &error);
    QCOMPARE(controls.size(), 2);

    auto *gauge = form.findChild<Gauge *>(QStringLiteral("gauge"));
    QVERIFY(gauge);
    QCOMPARE(controls.first(), gauge);
    QCOMPARE(gauge->parentWidget(), &form);
    QCOMPARE(gauge->geometry(), QRect(10, 20, 30, 40));
    QCOMPARE(gauge->level, qint16(9));
    QCOMPARE(gauge->caption, QStringLiteral("fuel"));
    QCOMPARE(gauge->names, (QStringList{"Level", "Caption"})); // the identifier is no stored value
    QVERIFY(!gauge->isHidden());
    // The control takes the placeholder's place in the stacking order.
    const QObjectList children = form.children();
    QVERIFY(children.indexOf(ui.below) < children.indexOf(gauge));
    QVERIFY(children.indexOf(gauge) < children.indexOf(ui.above));

    auto *hidden = form.findChild<Gauge *>(QStringLiteral("hiddenGauge"));
    QVERIFY(hidden);
    QVERIFY(hidden->isHidden());
    QCOMPARE(hidden->level, qint16(3));
    // A value that a property bag cannot hold is left out and named.
    QVERIFY(hidden->names.isEmpty());
    QVERIFY2(error.contains(QLatin1String("hiddenGauge: property \"Tint\"")), qPrintable(error));

    QCOMPARE(form.findChildren<QWidget *>(QStringLiteral("gauge")).size(), 1);
    QVERIFY(form.findChild<QWidget *>(QStringLiteral("unknown")));
    QVERIFY(error.contains(QLatin1String("unknown")));
    QVERIFY(error.contains(QLatin1String("Tests.Nothing")));
}

QTEST_MAIN(tst_PlaceholderLoader)
#include "tst_placeholderloader.moc"
