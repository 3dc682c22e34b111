// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vesperon_hosting_export.h"

#include <QWidget>

class PropertyBag;

// A control that a window places by its programmatic identifier. The window hands it its stored
// values when it is loaded and collects them when it is saved; the control tells the window about
// changed properties through propertyChanged (the property-changed notice).
//
// Events are ordinary signals. Arguments that the events pass by reference may be changed by a
// directly connected handler; the control says in its own header what it does with such changes.
class VESPERON_HOSTING_EXPORT HostedControl : public QWidget
{
    Q_OBJECT

public:
    explicit HostedControl(QWidget *parent = nullptr);
    ~HostedControl() override;

    virtual void readProperties(const PropertyBag &bag) = 0;
    virtual void writeProperties(PropertyBag &bag) const = 0;

Q_SIGNALS:
    void propertyChanged(const QString &propertyName);
};
