// SPDX-License-Identifier: GPL-3.0-or-later
#include <QPluginLoader>
#include <QRect>
#include <QTest>
#include <QWidget>
#include <QXmlStreamReader>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <memory>

namespace {

struct DomWidget
{
    QString className;
    QString objectName;
    QVariantMap properties;
};

// The widget element of a plugin's domXml and the typed values of its properties.
DomWidget parseDomXml(const QString &xml)
{
    DomWidget widget;
    QXmlStreamReader reader(xml);
    QString property;
    int x = 0;
    int y = 0;
    int width = 0;
    while (!reader.atEnd()) {
        if (!reader.readNextStartElement())
            continue;
        const QStringView element = reader.name();
        if (element == u"widget") {
            widget.className = reader.attributes().value(QStringLiteral("class")).toString();
            widget.objectName = reader.attributes().value(QStringLiteral("name")).toString();
        } else if (element == u"property") {
            property = reader.attributes().value(QStringLiteral("name")).toString();
        } else if (element == u"bool") {
            widget.properties.insert(property, reader.readElementText() == u"true");
        } else if (element == u"number") {
            widget.properties.insert(property, reader.readElementText().toInt());
        } else if (element == u"string") {
            widget.properties.insert(property, reader.readElementText());
        } else if (element == u"x") {
            x = reader.readElementText().toInt();
        } else if (element == u"y") {
            y = reader.readElementText().toInt();
        } else if (element == u"width") {
            width = reader.readElementText().toInt();
        } else if (element == u"height") {
            widget.properties.insert(property, QRect(x, y, width, reader.readElementText().toInt()));
        }
    }
    if (reader.hasError())
        qWarning() << "domXml:" << reader.errorString();
    return widget;
}

} // namespace

// Loads the built Designer plugin the way Qt Designer does and checks what it offers a form.
class tst_DesignerPlugins : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void collection();
    void widget_data();
    void widget();

private:
    QPluginLoader m_loader{QStringLiteral(VESPERON_DESIGNER_PLUGIN)};
    QDesignerCustomWidgetCollectionInterface *m_collection = nullptr;
};

void tst_DesignerPlugins::initTestCase()
{
    QVERIFY2(m_loader.load(), qPrintable(m_loader.errorString()));
    m_collection = qobject_cast<QDesignerCustomWidgetCollectionInterface *>(m_loader.instance());
    QVERIFY(m_collection);
}

void tst_DesignerPlugins::collection()
{
    QCOMPARE(m_loader.metaData().value(u"IID").toString(),
             QStringLiteral("org.qt-project.Qt.QDesignerCustomWidgetCollectionInterface"));
    QStringList names;
    for (const QDesignerCustomWidgetInterface *widget : m_collection->customWidgets())
        names.append(widget->name());
    QCOMPARE(names, (QStringList{QStringLiteral("Spanfield"), QStringLiteral("TamselClock")}));
}

void tst_DesignerPlugins::widget_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("includeFile");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<QStringList>("defaults");

    QTest::newRow("Spanfield") << QStringLiteral("Spanfield") << QStringLiteral("spanfield.h")
                               << QStringLiteral("Tamsel - Spanfield")
                               << QStringList{QStringLiteral("ShowDays"), QStringLiteral("ShowSeconds"),
                                              QStringLiteral("LabelSeperator"), QStringLiteral("Locked")};
    QTest::newRow("TamselClock") << QStringLiteral("TamselClock") << QStringLiteral("tamselclock.h")
                                 << QStringLiteral("Tamsel - Analog-Uhr")
                                 << QStringList{QStringLiteral("SmallUnits"),       QStringLiteral("BigUnits"),
                                                QStringLiteral("ShowSeconds"),      QStringLiteral("ShowFace"),
                                                QStringLiteral("MinuteFineAdjust"), QStringLiteral("ShowActualTime"),
                                                QStringLiteral("IgnoreErrors")};
}

void tst_DesignerPlugins::widget()
{
    QFETCH(QString, name);
    QFETCH(QString, includeFile);
    QFETCH(QString, toolTip);
    QFETCH(QStringList, defaults);

    QDesignerCustomWidgetInterface *plugin = nullptr;
    for (QDesignerCustomWidgetInterface *widget : m_collection->customWidgets()) {
        if (widget->name() == name)
            plugin = widget;
    }
    QVERIFY(plugin);

    QCOMPARE(plugin->group(), QStringLiteral("Vesperon"));
    QCOMPARE(plugin->includeFile(), includeFile);
    QCOMPARE(plugin->toolTip(), toolTip);
    QVERIFY(!plugin->isContainer());
    QVERIFY(!plugin->isInitialized());
    plugin->initialize(nullptr);
    QVERIFY(plugin->isInitialized());

    const DomWidget dom = parseDomXml(plugin->domXml());
    QCOMPARE(dom.className, name);
    QVERIFY(!dom.objectName.isEmpty());
    for (const QString &property : defaults)
        QVERIFY2(dom.properties.contains(property), qPrintable(property));

    // What the form starts with is what a new widget has.
    QWidget form;
    QWidget *widget = plugin->createWidget(&form);
    QVERIFY(widget);
    QCOMPARE(widget->parent(), &form);
    QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), name);
    for (auto it = dom.properties.cbegin(); it != dom.properties.cend(); ++it) {
        if (it.key() == u"geometry")
            continue;
        const QVariant actual = widget->property(qPrintable(it.key()));
        QVERIFY2(actual.isValid(), qPrintable(it.key()));
        QVariant expected = it.value();
        QVERIFY2(expected.convert(actual.metaType()), qPrintable(it.key()));
        QVERIFY2(actual == expected,
                 qPrintable(it.key() + QStringLiteral(": ") + actual.toString() + QStringLiteral(" != ")
                            + expected.toString()));
        // Designer writes the properties it shows through the same setter a form's code uses.
        QVERIFY2(widget->setProperty(qPrintable(it.key()), actual), qPrintable(it.key()));
    }
    if (dom.properties.contains(QStringLiteral("geometry"))) {
        const QRect geometry = dom.properties.value(QStringLiteral("geometry")).toRect();
        QCOMPARE(geometry.width(), geometry.height());
        widget->resize(geometry.size());
        QCOMPARE(widget->size(), geometry.size());
    }
}

QTEST_MAIN(tst_DesignerPlugins)
#include "tst_designerplugins.moc"
