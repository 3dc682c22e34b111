// SPDX-License-Identifier: GPL-3.0-or-later
#include "placeholderloader.h"

#include "controlregistry.h"
#include "hostedcontrol.h"
#include "propertybag.h"

#include <QWidget>

namespace {
const char ProgrammaticIdProperty[] = "programmaticId";
}

QList<HostedControl *> PlaceholderLoader::replacePlaceholders(QWidget *form, QString *errorString)
{
    QList<HostedControl *> controls;
    QStringList errors;
    const QList<QWidget *> widgets = form->findChildren<QWidget *>();
    for (QWidget *placeholder : widgets) {
        const QString id = placeholder->property(ProgrammaticIdProperty).toString();
        if (id.isEmpty() || qobject_cast<HostedControl *>(placeholder))
            continue;
        QString error;
        HostedControl *control = ControlRegistry::instance().create(id, placeholder->parentWidget(), &error);
        if (!control) {
            errors.append(QStringLiteral("%1: %2").arg(placeholder->objectName(), error));
            continue;
        }
        PropertyBag bag;
        for (const QByteArray &name : placeholder->dynamicPropertyNames()) {
            if (name == ProgrammaticIdProperty || name.startsWith("_q_"))
                continue;
            if (!bag.writeProperty(QString::fromUtf8(name), placeholder->property(name), {}, &error))
                errors.append(QStringLiteral("%1: %2").arg(placeholder->objectName(), error));
        }
        control->setObjectName(placeholder->objectName());
        control->readProperties(bag);
        control->stackUnder(placeholder);
        control->setGeometry(placeholder->geometry());
        control->setVisible(!placeholder->isHidden());
        delete placeholder;
        controls.append(control);
    }
    if (errorString)
        *errorString = errors.join(QLatin1Char('\n'));
    return controls;
}
