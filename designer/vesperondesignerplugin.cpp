// SPDX-License-Identifier: GPL-3.0-or-later
#include "vesperondesignerplugin.h"

#include "designerwidget.h"

#include <spanfield.h>
#include <tamselclock.h>

#include <QMetaClassInfo>

namespace {

// A class information entry of a widget class; the tool tips are the libraries' own descriptions,
// as development tools show them.
QString classInfo(const QMetaObject &meta, const char *name)
{
    return QString::fromUtf8(meta.classInfo(meta.indexOfClassInfo(name)).value());
}

} // namespace

VesperonDesignerPlugin::VesperonDesignerPlugin(QObject *parent)
    : QObject(parent)
{
    m_widgets.append(
        new DesignerWidget({QStringLiteral("Spanfield"), QStringLiteral("spanfield.h"),
                            classInfo(Spanfield::staticMetaObject, "TypeLibraryDescription"),
                            QStringLiteral("Eingabe einer Uhrzeit oder Dauer in Tagen, Stunden, Minuten und Sekunden."),
                            QStringLiteral(R"(<ui language="c++">
 <widget class="Spanfield" name="spanfield">
  <property name="ShowDays"><bool>false</bool></property>
  <property name="ShowSeconds"><bool>true</bool></property>
  <property name="LabelSeperator"><string>T;h;m;s</string></property>
  <property name="Locked"><bool>false</bool></property>
 </widget>
</ui>
)"),
                            [](QWidget *parent) -> QWidget * { return new Spanfield(parent); }},
                           this));
    m_widgets.append(new DesignerWidget({QStringLiteral("TamselClock"), QStringLiteral("tamselclock.h"),
                                         classInfo(TamselClock::staticMetaObject, "LibraryDescription"),
                                         QStringLiteral("Analoge Uhr: aktuelle Uhrzeit, Stoppuhr oder feste Uhrzeit."),
                                         QStringLiteral(R"(<ui language="c++">
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
)"),
                                         [](QWidget *parent) -> QWidget * { return new TamselClock(parent); }},
                                        this));
}
