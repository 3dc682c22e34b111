// SPDX-License-Identifier: GPL-3.0-or-later
#include "hostedcontrol.h"

#include <QMetaProperty>

namespace {

QMetaProperty declaredProperty(const QObject *control, const char *name)
{
    const int index = control->metaObject()->indexOfProperty(name);
    return index < 0 ? QMetaProperty() : control->metaObject()->property(index);
}

void reportProgrammingError(const QObject *control, const char *what, const char *name)
{
    const QByteArray message = QByteArray(control->metaObject()->className()) + " \"" + control->objectName().toUtf8()
        + "\" has no " + what + " \"" + name + '"';
#ifdef QT_NO_DEBUG
    qWarning("%s", message.constData());
#else
    qFatal("%s", message.constData());
#endif
}

} // namespace

HostedControl::HostedControl(QWidget *parent)
    : QWidget(parent)
{
}

HostedControl::~HostedControl() = default;

bool HostedControl::setPublishedProperty(const char *name, const QVariant &value)
{
    const QMetaProperty property = declaredProperty(this, name);
    if (!property.isWritable()) {
        reportProgrammingError(this, "writable property", name);
        return false;
    }
    return property.write(this, value);
}

QVariant HostedControl::publishedProperty(const char *name) const
{
    const QMetaProperty property = declaredProperty(this, name);
    if (!property.isValid()) {
        reportProgrammingError(this, "property", name);
        return {};
    }
    return property.read(this);
}
