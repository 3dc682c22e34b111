// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktopnotifier.h"

#include "notificationsproxy.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>

namespace {
const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");

// The image-data hint: raw RGBA rows.
struct NotificationImage
{
    int width = 0;
    int height = 0;
    int rowStride = 0;
    bool hasAlpha = true;
    int bitsPerSample = 8;
    int channels = 4;
    QByteArray data;
};

QDBusArgument &operator<<(QDBusArgument &argument, const NotificationImage &image)
{
    argument.beginStructure();
    argument << image.width << image.height << image.rowStride << image.hasAlpha << image.bitsPerSample
             << image.channels << image.data;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, NotificationImage &image)
{
    argument.beginStructure();
    argument >> image.width >> image.height >> image.rowStride >> image.hasAlpha >> image.bitsPerSample
        >> image.channels >> image.data;
    argument.endStructure();
    return argument;
}

NotificationImage imageOf(const QImage &icon)
{
    const QImage rgba = icon.convertToFormat(QImage::Format_RGBA8888);
    return {rgba.width(),
            rgba.height(),
            int(rgba.bytesPerLine()),
            true,
            8,
            4,
            QByteArray(reinterpret_cast<const char *>(rgba.constBits()), rgba.sizeInBytes())};
}
} // namespace

Q_DECLARE_METATYPE(NotificationImage)

DesktopNotifier::DesktopNotifier(const QDBusConnection &bus, const QString &appName, const QString &iconName,
                                 const QString &desktopEntry, const QImage &icon, QObject *parent)
    : QObject(parent)
    , m_server(new NotificationsProxy(Service, Path, bus, this))
    , m_appName(appName)
    , m_iconName(iconName)
    , m_desktopEntry(desktopEntry)
    , m_icon(icon)
{
    qDBusRegisterMetaType<NotificationImage>();
    if (!bus.isConnected())
        return;
    auto *watcher = new QDBusServiceWatcher(Service, bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString &, const QString &, const QString &newOwner) { serverChanged(newOwner); });
    connect(m_server, &NotificationsProxy::NotificationClosed, this, &DesktopNotifier::serverClosed);
    connect(m_server, &NotificationsProxy::ActionInvoked, this, &DesktopNotifier::serverActionInvoked);
    askCapabilities();
}

DesktopNotifier::~DesktopNotifier() = default;

void DesktopNotifier::show(const Notification &notification)
{
    m_next = Step{false, notification};
    takeNextStep();
}

void DesktopNotifier::close()
{
    m_next = Step{true, {}};
    takeNextStep();
}

void DesktopNotifier::askCapabilities()
{
    if (m_askingCapabilities || !m_server->connection().isConnected())
        return;
    m_askingCapabilities = true;
    auto *call = new QDBusPendingCallWatcher(m_server->GetCapabilities(), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, &DesktopNotifier::capabilitiesAnswered);
}

void DesktopNotifier::capabilitiesAnswered(QDBusPendingCallWatcher *call)
{
    call->deleteLater();
    m_askingCapabilities = false;
    const QDBusPendingReply<QStringList> reply = *call;
    if (reply.isValid()) {
        m_capabilities = reply.value();
    } else {
        // No server: what was to be shown is dropped, and the next show() asks again.
        m_capabilities.reset();
        if (m_next && !m_next->close)
            m_next.reset();
    }
    takeNextStep();
}

void DesktopNotifier::takeNextStep()
{
    if (!m_next || m_notifying)
        return;
    if (m_next->close) {
        if (m_shownId != 0)
            m_server->CloseNotification(m_shownId);
        m_shownId = 0;
        m_next.reset();
        return;
    }
    if (!m_capabilities) {
        askCapabilities();
        if (!m_askingCapabilities)
            m_next.reset();
        return;
    }
    const Notification notification = m_next->notification;
    m_next.reset();
    notify(notification);
}

void DesktopNotifier::notify(const Notification &notification)
{
    QStringList actions;
    if (m_capabilities->contains(QLatin1String("actions"))) {
        for (const Action &action : notification.actions)
            actions << action.key << action.label;
    }
    QVariantMap hints{{QStringLiteral("urgency"), QVariant::fromValue(uchar(notification.urgency))}};
    if (!m_desktopEntry.isEmpty())
        hints.insert(QStringLiteral("desktop-entry"), m_desktopEntry);
    if (!m_icon.isNull())
        hints.insert(QStringLiteral("image-data"), QVariant::fromValue(imageOf(m_icon)));
    m_notifying = true;
    auto *call = new QDBusPendingCallWatcher(
        m_server->Notify(m_appName, m_shownId, m_iconName, notification.summary, notification.body, actions, hints, -1),
        this);
    connect(call, &QDBusPendingCallWatcher::finished, this, &DesktopNotifier::notified);
}

void DesktopNotifier::notified(QDBusPendingCallWatcher *call)
{
    call->deleteLater();
    m_notifying = false;
    const QDBusPendingReply<uint> reply = *call;
    m_shownId = reply.isValid() ? reply.value() : 0;
    takeNextStep();
}

void DesktopNotifier::serverChanged(const QString &newOwner)
{
    // A new server knows nothing of the notification the old one showed.
    m_shownId = 0;
    m_capabilities.reset();
    if (!newOwner.isEmpty())
        askCapabilities();
}

void DesktopNotifier::serverClosed(uint id, uint)
{
    if (id != 0 && id == m_shownId)
        m_shownId = 0;
}

void DesktopNotifier::serverActionInvoked(uint id, const QString &key)
{
    if (id != 0 && id == m_shownId)
        emit actionInvoked(key);
}
