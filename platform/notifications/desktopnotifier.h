// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QImage>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class NotificationsProxy;
class QDBusPendingCallWatcher;

// One desktop notification at a time on the freedesktop notification server
// (org.freedesktop.Notifications on the given session bus): show() puts up a notification or
// replaces the one this notifier shows, close() takes it down.
//
// Nothing here ever waits: every call to the server is asynchronous, and a notification goes out at
// once when the server's capabilities are known. They are asked for when the notifier is made and
// again whenever another server takes the name, so that a notification shown just before the
// program blocks (a sound played to its end) still reaches the server meanwhile. A show() that
// comes before they are known goes out as soon as they are. Calls that overlap are put in order:
// a replacement or a close waits for the id of the notification before it.
//
// Actions are offered only where the server lists "actions" among its capabilities; an action the
// user invokes on the notification shown is passed on as actionInvoked(key). Without a server, or
// without a bus, show() and close() do nothing and nothing is reported.
class DesktopNotifier final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DesktopNotifier)

public:
    enum class Urgency : uchar { Low = 0, Normal = 1, Critical = 2 };

    struct Action
    {
        QString key;
        QString label;
    };

    struct Notification
    {
        QString summary;
        QString body;
        QList<Action> actions;
        Urgency urgency = Urgency::Normal;
    };

    // appName and iconName (an icon of the theme) are sent with every notification, and icon, when
    // it is not null, as its image; desktopEntry names the program's desktop entry.
    DesktopNotifier(const QDBusConnection &bus, const QString &appName, const QString &iconName,
                    const QString &desktopEntry, const QImage &icon = QImage(), QObject *parent = nullptr);
    ~DesktopNotifier() override;

    void show(const Notification &notification);
    void close();

Q_SIGNALS:
    void actionInvoked(const QString &key);

private:
    struct Step
    {
        bool close = false;
        Notification notification;
    };

    void askCapabilities();
    void capabilitiesAnswered(QDBusPendingCallWatcher *call);
    void takeNextStep();
    void notify(const Notification &notification);
    void notified(QDBusPendingCallWatcher *call);
    void serverChanged(const QString &newOwner);
    void serverClosed(uint id, uint reason);
    void serverActionInvoked(uint id, const QString &key);

    NotificationsProxy *m_server = nullptr;
    QString m_appName;
    QString m_iconName;
    QString m_desktopEntry;
    QImage m_icon;

    std::optional<QStringList> m_capabilities;
    bool m_askingCapabilities = false;
    // The id the server gave the notification that stands; 0 when none does.
    uint m_shownId = 0;
    // A Notify call is out and its id has not come back.
    bool m_notifying = false;
    // What is to happen next, once the call that is out has come back.
    std::optional<Step> m_next;
};
