// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vesperon_hosting_export.h"

#include <QList>
#include <QString>

class HostedControl;
class QWidget;

// Puts hosted controls into a window built from a Qt Designer form. The form holds a plain
// QWidget where a control belongs: it carries the dynamic property "programmaticId" with the
// control's identifier, and every other dynamic property it carries is a stored value of the
// control under that name (the control's property bag). The placeholder's name, geometry,
// visibility and place among its siblings go over to the control; the placeholder is deleted.
//
//   <widget class="QWidget" name="TimeEdit">
//     <property name="geometry"> ... </property>
//     <property name="programmaticId" stdset="0"><string>Durix.Spanfield</string></property>
//     <property name="ShowDays" stdset="0"><bool>true</bool></property>
//   </widget>
class VESPERON_HOSTING_EXPORT PlaceholderLoader
{
public:
    // The controls created, in the order of the placeholders in the form. A placeholder with an
    // unknown identifier stays as it is, and errorString names it. A stored value that a property
    // bag cannot hold (a colour or a date value, say) is left out, and errorString names it too.
    static QList<HostedControl *> replacePlaceholders(QWidget *form, QString *errorString = nullptr);
};
