// SPDX-License-Identifier: GPL-3.0-or-later
#include "controlregistry.h"

#include "hostedcontrol.h"

ControlRegistry &ControlRegistry::instance()
{
    static ControlRegistry registry;
    return registry;
}

void ControlRegistry::registerControl(const QString &programmaticId, Factory factory)
{
    m_factories.insert(programmaticId, std::move(factory));
}

bool ControlRegistry::contains(const QString &programmaticId) const
{
    return m_factories.contains(programmaticId);
}

QStringList ControlRegistry::programmaticIds() const
{
    return m_factories.keys();
}

HostedControl *ControlRegistry::create(const QString &programmaticId, QWidget *parent, QString *errorString) const
{
    const auto factory = m_factories.constFind(programmaticId);
    if (factory == m_factories.constEnd()) {
        if (errorString)
            *errorString = QStringLiteral("no control is registered as \"%1\"").arg(programmaticId);
        return nullptr;
    }
    HostedControl *control = (*factory)(parent);
    if (control)
        control->setProperty("programmaticId", programmaticId);
    return control;
}

ControlRegistration::ControlRegistration(const QString &programmaticId, ControlRegistry::Factory factory)
{
    ControlRegistry::instance().registerControl(programmaticId, std::move(factory));
}
