// SPDX-License-Identifier: GPL-3.0-or-later
#include "dbusmock.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QThread>

namespace {
const QString MockInterface = QStringLiteral("org.freedesktop.DBus.Mock");

QVariant plain(const QVariant &value);

QVariant plain(const QDBusArgument &argument)
{
    switch (argument.currentType()) {
    case QDBusArgument::VariantType: {
        QDBusVariant variant;
        argument >> variant;
        return plain(variant.variant());
    }
    case QDBusArgument::ArrayType: {
        const QString signature = argument.currentSignature();
        if (signature == u"ay") {
            QByteArray bytes;
            argument >> bytes;
            return bytes;
        }
        if (signature == u"as") {
            QStringList strings;
            argument >> strings;
            return strings;
        }
        QVariantList list;
        argument.beginArray();
        while (!argument.atEnd())
            list.append(plain(argument));
        argument.endArray();
        return list;
    }
    case QDBusArgument::StructureType: {
        QVariantList fields;
        argument.beginStructure();
        while (!argument.atEnd())
            fields.append(plain(argument));
        argument.endStructure();
        return fields;
    }
    case QDBusArgument::MapType: {
        QVariantMap map;
        argument.beginMap();
        while (!argument.atEnd()) {
            argument.beginMapEntry();
            const QString key = plain(argument).toString();
            map.insert(key, plain(argument));
            argument.endMapEntry();
        }
        argument.endMap();
        return map;
    }
    default:
        return plain(argument.asVariant());
    }
}

QVariant plain(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QDBusArgument>())
        return plain(value.value<QDBusArgument>());
    if (value.metaType() == QMetaType::fromType<QDBusVariant>())
        return plain(value.value<QDBusVariant>().variant());
    return value;
}
} // namespace

DBusMock::DBusMock(PrivateBus &bus, const QString &templateName, const QString &service, const QString &path,
                   const QVariantMap &parameters)
    : m_bus(bus.connect())
    , m_service(service)
    , m_path(path)
{
    if (!bus.isRunning() || !m_bus.isConnected()) {
        m_error = QStringLiteral("no private bus: ") + bus.error();
        return;
    }
    m_process.setProcessEnvironment(bus.environment());
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral("/usr/bin/python3"),
                    {QStringLiteral("-m"), QStringLiteral("dbusmock"),
                     bus.kind() == PrivateBus::Kind::System ? QStringLiteral("--system") : QStringLiteral("--session"),
                     QStringLiteral("--template"), templateName, QStringLiteral("--parameters"),
                     QString::fromUtf8(QJsonDocument::fromVariant(parameters).toJson(QJsonDocument::Compact))});
    if (!m_process.waitForStarted(5000)) {
        m_error = QStringLiteral("python3 -m dbusmock did not start: ") + m_process.errorString();
        return;
    }
    const QDeadlineTimer deadline(20000);
    while (!m_bus.interface()->isServiceRegistered(service)) {
        if (m_process.state() == QProcess::NotRunning || deadline.hasExpired()) {
            m_error = QStringLiteral("the %1 mock did not take %2").arg(templateName, service);
            return;
        }
        QThread::msleep(20);
    }
}

DBusMock::~DBusMock()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
}

QDBusMessage DBusMock::callMock(const QString &method, const QVariantList &arguments) const
{
    QDBusMessage message = QDBusMessage::createMethodCall(m_service, m_path, MockInterface, method);
    message.setArguments(arguments);
    return m_bus.call(message, QDBus::Block, 10000);
}

QList<DBusMock::Call> DBusMock::calls() const
{
    QList<Call> calls;
    const QDBusMessage reply = callMock(QStringLiteral("GetCalls"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return calls;
    for (const QVariant &entry : plain(reply.arguments().constFirst()).toList()) {
        const QVariantList fields = entry.toList();
        calls.append({fields.value(1).toString(), fields.value(2).toList()});
    }
    return calls;
}

QList<DBusMock::Call> DBusMock::calls(const QString &method) const
{
    QList<Call> found;
    for (const Call &call : calls()) {
        if (call.method == method)
            found.append(call);
    }
    return found;
}

void DBusMock::clearCalls()
{
    callMock(QStringLiteral("ClearCalls"));
}

bool DBusMock::waitForCalls(const QString &method, int count, int timeoutMs) const
{
    const QDeadlineTimer deadline(timeoutMs);
    while (calls(method).size() < count) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    return true;
}

void DBusMock::addMethod(const QString &interface, const QString &name, const QString &inSignature,
                         const QString &outSignature, const QString &code)
{
    callMock(QStringLiteral("AddMethod"), {interface, name, inSignature, outSignature, code});
}

void DBusMock::emitSignal(const QString &interface, const QString &name, const QString &signature,
                          const QVariantList &arguments)
{
    callMock(QStringLiteral("EmitSignal"), {interface, name, signature, QVariant::fromValue(arguments)});
}
