// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "privatebus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QList>
#include <QProcess>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

// A python-dbusmock template (notification_daemon, logind, ...) serving on a private bus, in a
// process of its own, started with /usr/bin/python3 and stopped with the object. The mock's own
// interface is reached by blocking calls, which never need this process's event loop: a test may
// look at the calls while its own thread is held up.
class DBusMock final
{
public:
    struct Call
    {
        QString method;
        // In plain Qt types: numbers, strings, QStringList for string arrays, QByteArray for byte
        // arrays, QVariantMap for dictionaries, QVariantList for other arrays and structures.
        QVariantList arguments;
    };

    // The template serves service at path; parameters are handed to the template.
    DBusMock(PrivateBus &bus, const QString &templateName, const QString &service, const QString &path,
             const QVariantMap &parameters = {});
    ~DBusMock();
    Q_DISABLE_COPY_MOVE(DBusMock)

    // True once the mock owns its service name; else the reason is in error().
    bool isRunning() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }

    QList<Call> calls() const;
    // The calls of one method, in order.
    QList<Call> calls(const QString &method) const;
    void clearCalls();
    // Waits until count calls of method have come, without running the event loop; false when they
    // have not come within timeoutMs.
    bool waitForCalls(const QString &method, int count = 1, int timeoutMs = 10000) const;

    // Adds or replaces a method of the mock; code is Python as python-dbusmock takes it.
    void addMethod(const QString &interface, const QString &name, const QString &inSignature,
                   const QString &outSignature, const QString &code);
    void emitSignal(const QString &interface, const QString &name, const QString &signature,
                    const QVariantList &arguments);

private:
    QDBusMessage callMock(const QString &method, const QVariantList &arguments = {}) const;

    QProcess m_process;
    QDBusConnection m_bus;
    QString m_service;
    QString m_path;
    QString m_error;
};
