// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vesperon_hosting_export.h"

#include <QVariant>
#include <QWidget>

class PropertyBag;

// A control that a window places by its programmatic identifier. The window hands it its stored
// values when it is loaded and collects them when it is saved; the control tells the window about
// changed properties through propertyChanged (the property-changed notice).
//
// Events are ordinary signals. Arguments that the events pass by reference may be changed by a
// directly connected handler; the control says in its own header what it does with such changes.
//
// Hosts address the published properties by name, through setPublishedProperty() and
// publishedProperty() with the names each control's header gives as constants. Unlike
// QObject::setProperty(), which makes an unknown name a new dynamic property and so hides a
// misspelt or renamed property, these treat a name the control does not declare as a programming
// error: a debug build stops with a message naming the control and the property; a release build
// warns with that message and changes nothing.
class VESPERON_HOSTING_EXPORT HostedControl : public QWidget
{
    Q_OBJECT

public:
    explicit HostedControl(QWidget *parent = nullptr);
    ~HostedControl() override;

    virtual void readProperties(const PropertyBag &bag) = 0;
    virtual void writeProperties(PropertyBag &bag) const = 0;

    // Writes a declared, writable property. False when the name is none (see above) or when the
    // value does not convert to the property's type; a control's own rules may still refuse the
    // value after a true, as its header says.
    bool setPublishedProperty(const char *name, const QVariant &value);
    // Reads a declared property; an invalid QVariant when the name is none (see above).
    QVariant publishedProperty(const char *name) const;

Q_SIGNALS:
    void propertyChanged(const QString &propertyName);
};
