// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vesperon_hosting_export.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>

class HostedControl;
class QWidget;

// Creates hosted controls from their programmatic identifiers ("Library.Class"). Each control
// library registers its classes when it is loaded, through a static ControlRegistration.
class VESPERON_HOSTING_EXPORT ControlRegistry
{
public:
    using Factory = std::function<HostedControl *(QWidget *parent)>;

    static ControlRegistry &instance();

    void registerControl(const QString &programmaticId, Factory factory);
    bool contains(const QString &programmaticId) const;
    QStringList programmaticIds() const;

    // The new control, owned by parent; nullptr and errorString for an unknown identifier.
    HostedControl *create(const QString &programmaticId, QWidget *parent = nullptr,
                          QString *errorString = nullptr) const;

private:
    ControlRegistry() = default;
    QMap<QString, Factory> m_factories;
};

// Registers one control class for the lifetime of the library that defines it.
struct VESPERON_HOSTING_EXPORT ControlRegistration
{
    ControlRegistration(const QString &programmaticId, ControlRegistry::Factory factory);
};
