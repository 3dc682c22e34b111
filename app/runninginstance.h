// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "startoptions.h"

#include <QDBusConnection>
#include <QDateTime>
#include <QString>
#include <QVariantMap>

class QTextStream;

// The Vesperon that already runs in this desktop session, reached over the session bus by its
// name org.vesperon.Vesperon. Calls never start a Vesperon through D-Bus activation: a request
// for a Vesperon that does not run fails instead.
class RunningInstance final
{
public:
    static inline const QString ServiceName = QStringLiteral("org.vesperon.Vesperon");
    static inline const QString ObjectPath = QStringLiteral("/org/vesperon/Vesperon");
    static inline const QString ControlInterface = QStringLiteral("org.vesperon.Vesperon1");

    struct Status
    {
        bool armed = false;
        QString action; // "shutdown", "restart", or empty
        QDateTime deadline;
        qint64 remaining = -1;
    };

    explicit RunningInstance(const QDBusConnection &bus);

    // Another process owns the name.
    bool isRunning() const;

    // Each returns an empty text on success, else one line that says what failed.
    QString activate(const QVariantMap &platformData);
    QString arm(StartOptions::Action action, const QDateTime &deadline);
    QString disarm();
    QString postpone(qint64 seconds);
    QString status(Status *status);

    // Carries out a start's request against the running Vesperon: prints what --status asks for
    // to out and any failure to err, and returns the exit code (0 done; 1 --status while
    // disarmed; 2 failed).
    int carryOut(const StartOptions &options, QTextStream &out, QTextStream &err);

    // What a launcher hands over so that the running Vesperon may raise its window: the startup
    // notification id and the activation token of this start, when it has them.
    static QVariantMap platformDataOfThisStart();

private:
    QString call(const QString &interface, const QString &method, const QVariantList &arguments,
                 QVariantList *results = nullptr);

    QDBusConnection m_bus;
};
