// SPDX-License-Identifier: GPL-3.0-or-later
#include "spanfielddesignerplugin.h"

#include "spanfield.h"

#include <QIcon>
#include <QMetaClassInfo>

SpanfieldDesignerPlugin::SpanfieldDesignerPlugin(QObject *parent)
    : QObject(parent)
{
}

QString SpanfieldDesignerPlugin::name() const
{
    return QStringLiteral("Spanfield");
}

QString SpanfieldDesignerPlugin::group() const
{
    return QStringLiteral("Vesperon");
}

QString SpanfieldDesignerPlugin::toolTip() const
{
    // The library's own description, as development tools show it.
    const QMetaObject &meta = Spanfield::staticMetaObject;
    return QString::fromUtf8(meta.classInfo(meta.indexOfClassInfo("TypeLibraryDescription")).value());
}

QString SpanfieldDesignerPlugin::whatsThis() const
{
    return QStringLiteral("Eingabe einer Uhrzeit oder Dauer in Tagen, Stunden, Minuten und Sekunden.");
}

QString SpanfieldDesignerPlugin::includeFile() const
{
    return QStringLiteral("spanfield.h");
}

QIcon SpanfieldDesignerPlugin::icon() const
{
    return QIcon();
}

bool SpanfieldDesignerPlugin::isContainer() const
{
    return false;
}

QWidget *SpanfieldDesignerPlugin::createWidget(QWidget *parent)
{
    return new Spanfield(parent);
}

bool SpanfieldDesignerPlugin::isInitialized() const
{
    return m_initialized;
}

void SpanfieldDesignerPlugin::initialize(QDesignerFormEditorInterface *)
{
    m_initialized = true;
}

QString SpanfieldDesignerPlugin::domXml() const
{
    return QStringLiteral(R"(<ui language="c++">
 <widget class="Spanfield" name="spanfield">
  <property name="ShowDays"><bool>false</bool></property>
  <property name="ShowSeconds"><bool>true</bool></property>
  <property name="LabelSeperator"><string>T;h;m;s</string></property>
  <property name="Locked"><bool>false</bool></property>
 </widget>
</ui>
)");
}
