// SPDX-License-Identifier: GPL-3.0-or-later
#include "tamselclockdesignerplugin.h"

#include "tamselclock.h"

#include <QIcon>
#include <QMetaClassInfo>

TamselClockDesignerPlugin::TamselClockDesignerPlugin(QObject *parent)
    : QObject(parent)
{
}

QString TamselClockDesignerPlugin::name() const
{
    return QStringLiteral("TamselClock");
}

QString TamselClockDesignerPlugin::group() const
{
    return QStringLiteral("Vesperon");
}

QString TamselClockDesignerPlugin::toolTip() const
{
    // The library's own description, as development tools show it.
    const QMetaObject &meta = TamselClock::staticMetaObject;
    return QString::fromUtf8(meta.classInfo(meta.indexOfClassInfo("LibraryDescription")).value());
}

QString TamselClockDesignerPlugin::whatsThis() const
{
    return QStringLiteral("Analoge Uhr: aktuelle Uhrzeit, Stoppuhr oder feste Uhrzeit.");
}

QString TamselClockDesignerPlugin::includeFile() const
{
    return QStringLiteral("tamselclock.h");
}

QIcon TamselClockDesignerPlugin::icon() const
{
    return QIcon();
}

bool TamselClockDesignerPlugin::isContainer() const
{
    return false;
}

QWidget *TamselClockDesignerPlugin::createWidget(QWidget *parent)
{
    return new TamselClock(parent);
}

bool TamselClockDesignerPlugin::isInitialized() const
{
    return m_initialized;
}

void TamselClockDesignerPlugin::initialize(QDesignerFormEditorInterface *)
{
    m_initialized = true;
}

QString TamselClockDesignerPlugin::domXml() const
{
    return QStringLiteral(R"(<ui language="c++">
 <widget class="TamselClock" name="tamselClock">
  <property name="geometry"><rect><x>0</x><y>0</y><width>150</width><height>150</height></rect></property>
  <property name="SmallUnits"><number>60</number></property>
  <property name="BigUnits"><number>12</number></property>
  <property name="ShowSeconds"><bool>true</bool></property>
  <property name="ShowFace"><bool>true</bool></property>
  <property name="MinuteFineAdjust"><bool>true</bool></property>
  <property name="ShowActualTime"><bool>true</bool></property>
  <property name="IgnoreErrors"><bool>false</bool></property>
 </widget>
</ui>
)");
}
