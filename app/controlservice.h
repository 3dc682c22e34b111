// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QVariantMap>

class frmShutdown;

// Vesperon on the session bus: the object /org/vesperon/Vesperon with the freedesktop
// org.freedesktop.Application interface (Activate brings the window forward; ActivateAction
// "cancel" disarms and "postpone" moves the deadline, by its parameter in seconds or by ten
// minutes) and the control interface org.vesperon.Vesperon1 (Arm, Disarm, Postpone; the
// properties Armed, Action, Deadline and Remaining, announced with PropertiesChanged when they
// change). Everything goes through the main window, as the user's own choices do.
class ControlService final : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_PROPERTY(bool Armed READ armed)
    Q_PROPERTY(QString Action READ action)
    Q_PROPERTY(QString Deadline READ deadline)
    Q_PROPERTY(qlonglong Remaining READ remaining)

public:
    explicit ControlService(frmShutdown &window, QObject *parent = nullptr);

    // Exports the object on bus. The caller owns the service name.
    bool exportOn(const QDBusConnection &bus);

    bool armed() const;
    QString action() const;
    QString deadline() const;
    qlonglong remaining() const;

public slots:
    void Arm(const QString &action, const QString &deadline);
    void Disarm();
    void Postpone(uint seconds);

    void Activate(const QVariantMap &platformData);
    void Open(const QStringList &uris, const QVariantMap &platformData);
    void ActivateAction(const QString &actionName, const QVariantList &parameter, const QVariantMap &platformData);

private:
    QVariantMap properties() const;
    void announceChanges();
    void failWith(const QString &errorName, const QString &text);

    frmShutdown &m_window;
    QDBusConnection m_bus{QString()};
    QVariantMap m_announced;
};
