// SPDX-License-Identifier: GPL-3.0-or-later
#include "shutdownpermission.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

ShutdownPermission::ShutdownPermission(const QDBusConnection &systemBus, QObject *parent)
    : QObject(parent)
    , m_bus(systemBus)
{
}

#ifdef _WIN32

void ShutdownPermission::ask(Action action)
{
    QMetaObject::invokeMethod(
        this, [this, action] { emit answered(action, Answer::Yes); }, Qt::QueuedConnection);
}

#else

namespace {
ShutdownPermission::Answer answerOf(const QString &text)
{
    if (text == u"yes")
        return ShutdownPermission::Answer::Yes;
    if (text == u"challenge")
        return ShutdownPermission::Answer::Challenge;
    if (text == u"no")
        return ShutdownPermission::Answer::No;
    if (text == u"na")
        return ShutdownPermission::Answer::NotAvailable;
    return ShutdownPermission::Answer::Unknown;
}
} // namespace

void ShutdownPermission::ask(Action action)
{
    if (!m_bus.isConnected()) {
        QMetaObject::invokeMethod(
            this, [this, action] { emit answered(action, Answer::Unknown); }, Qt::QueuedConnection);
        return;
    }
    const QDBusMessage message = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"),
        action == Action::PowerOff ? QStringLiteral("CanPowerOff") : QStringLiteral("CanReboot"));
    auto *call = new QDBusPendingCallWatcher(m_bus.asyncCall(message), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this, action](QDBusPendingCallWatcher *finished) {
        finished->deleteLater();
        const QDBusPendingReply<QString> reply = *finished;
        emit answered(action, reply.isValid() ? answerOf(reply.value()) : Answer::Unknown);
    });
}

#endif
