// SPDX-License-Identifier: GPL-3.0-or-later
#include "propertybag.h"

#include "valuerules.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>

#include <cmath>
#include <limits>

namespace {

const QLatin1String FormatName("vesperon-property-bag");
constexpr int FormatVersion = 1;
constexpr qint64 LargestExactWhole = Q_INT64_C(1) << 53;
constexpr double LargestExactInteger = double(LargestExactWhole);

bool isWholeNumberType(const QMetaType &type)
{
    switch (type.id()) {
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

QJsonObject encodeEntry(const QString &name, const QVariant &value)
{
    QJsonObject object{{QStringLiteral("name"), name}};
    const QMetaType type = value.metaType();
    if (type.id() == QMetaType::Bool) {
        object.insert(QStringLiteral("type"), QStringLiteral("bool"));
        object.insert(QStringLiteral("value"), value.toBool());
    } else if (isWholeNumberType(type)) {
        object.insert(QStringLiteral("type"), QStringLiteral("int"));
        object.insert(QStringLiteral("value"), value.toLongLong());
    } else if (type.id() == QMetaType::Float || type.id() == QMetaType::Double) {
        object.insert(QStringLiteral("type"), QStringLiteral("real"));
        object.insert(QStringLiteral("value"), value.toDouble());
    } else if (type.id() == QMetaType::QByteArray) {
        object.insert(QStringLiteral("type"), QStringLiteral("bytes"));
        object.insert(QStringLiteral("value"), QString::fromLatin1(value.toByteArray().toBase64()));
    } else {
        object.insert(QStringLiteral("type"), QStringLiteral("string"));
        object.insert(QStringLiteral("value"), value.toString());
    }
    return object;
}

// Why a value cannot go into a bag file so that it reads back as it was; empty when it can.
QString unstorableBecause(const QVariant &value)
{
    if (!value.isValid())
        return QStringLiteral("it has no value");
    const QMetaType type = value.metaType();
    switch (type.id()) {
    case QMetaType::Bool:
    case QMetaType::QString:
    case QMetaType::QByteArray:
        return {};
    case QMetaType::Float:
    case QMetaType::Double:
        if (std::isfinite(value.toDouble()))
            return {};
        return QStringLiteral("the number %1 is not finite").arg(value.toDouble());
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        if (value.toULongLong() <= quint64(LargestExactWhole))
            return {};
        return QStringLiteral("the whole number %1 cannot be stored exactly").arg(value.toULongLong());
    default:
        break;
    }
    if (isWholeNumberType(type)) {
        if (const qint64 whole = value.toLongLong(); whole >= -LargestExactWhole && whole <= LargestExactWhole)
            return {};
        return QStringLiteral("the whole number %1 cannot be stored exactly").arg(value.toLongLong());
    }
    return QStringLiteral("a value of type %1 cannot be stored").arg(QString::fromLatin1(type.name()));
}

bool decodeEntry(const QJsonValue &json, QString *name, QVariant *value, QString *problem)
{
    if (!json.isObject()) {
        *problem = QStringLiteral("not an object");
        return false;
    }
    const QJsonObject object = json.toObject();
    const QJsonValue jsonName = object.value(QStringLiteral("name"));
    const QString type = object.value(QStringLiteral("type")).toString();
    const QJsonValue jsonValue = object.value(QStringLiteral("value"));
    if (!jsonName.isString() || jsonName.toString().isEmpty()) {
        *problem = QStringLiteral("no name");
        return false;
    }
    *name = jsonName.toString();
    const auto wrongValue = [&] {
        *problem = QStringLiteral("no valid %1 value").arg(type);
        return false;
    };
    if (type == QLatin1String("bool")) {
        if (!jsonValue.isBool())
            return wrongValue();
        *value = jsonValue.toBool();
    } else if (type == QLatin1String("int")) {
        const double number = jsonValue.toDouble(std::nan(""));
        if (!jsonValue.isDouble() || number != std::floor(number) || std::fabs(number) > LargestExactInteger)
            return wrongValue();
        *value = qint64(number);
    } else if (type == QLatin1String("real")) {
        if (!jsonValue.isDouble())
            return wrongValue();
        *value = jsonValue.toDouble();
    } else if (type == QLatin1String("string")) {
        if (!jsonValue.isString())
            return wrongValue();
        *value = jsonValue.toString();
    } else if (type == QLatin1String("bytes")) {
        if (!jsonValue.isString())
            return wrongValue();
        const auto decoded =
            QByteArray::fromBase64Encoding(jsonValue.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            return wrongValue();
        *value = *decoded;
    } else {
        *problem = QStringLiteral("unknown type \"%1\"").arg(type);
        return false;
    }
    return true;
}

QString describe(const QList<PropertyBag::DamagedEntry> &damaged)
{
    if (damaged.isEmpty())
        return {};
    QStringList parts;
    for (const PropertyBag::DamagedEntry &entry : damaged) {
        const QString which = entry.name.isEmpty() ? QStringLiteral("entry %1").arg(entry.position)
                                                   : QStringLiteral("\"%1\"").arg(entry.name);
        parts.append(QStringLiteral("%1 (%2)").arg(which, entry.problem));
    }
    return QStringLiteral("damaged entries left out: %1").arg(parts.join(QLatin1String("; ")));
}

void setError(QString *errorString, const QString &message)
{
    if (errorString)
        *errorString = message;
}

} // namespace

qsizetype PropertyBag::indexOf(const QString &name) const
{
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (m_entries.at(i).name == name)
            return i;
    }
    return -1;
}

QVariant PropertyBag::readProperty(const QString &name, const QVariant &defaultValue) const
{
    const qsizetype i = indexOf(name);
    return i < 0 ? defaultValue : m_entries.at(i).value;
}

bool PropertyBag::writeProperty(const QString &name, const QVariant &value, const QVariant &defaultValue,
                                QString *errorString)
{
    if (name.isEmpty()) {
        setError(errorString, QStringLiteral("a property with no name cannot be stored"));
        return false;
    }
    if (const QString problem = unstorableBecause(value); !problem.isEmpty()) {
        setError(errorString, QStringLiteral("property \"%1\" cannot be stored: %2").arg(name, problem));
        return false;
    }
    const qsizetype i = indexOf(name);
    if (defaultValue.isValid() && value == defaultValue) {
        if (i >= 0)
            m_entries.removeAt(i);
    } else if (i >= 0) {
        m_entries[i].value = value;
    } else {
        m_entries.append({name, value});
    }
    return true;
}

static bool readNumber(const QVariant &value, double *number)
{
    if (!value.isValid() || value.metaType().id() == QMetaType::QByteArray)
        return false;
    bool ok = false;
    *number = value.toDouble(&ok);
    return ok && std::isfinite(*number);
}

template<typename Int>
static Int readWhole(const QVariant &value, Int defaultValue, double minimum, double maximum)
{
    double number = 0.0;
    if (!readNumber(value, &number))
        return defaultValue;
    number = ValueRules::roundHalfEven(number);
    return number < minimum || number > maximum ? defaultValue : static_cast<Int>(static_cast<qint64>(number));
}

bool PropertyBag::readBool(const QString &name, bool defaultValue) const
{
    const QVariant value = readProperty(name);
    if (value.metaType().id() == QMetaType::Bool)
        return value.toBool();
    if (value.metaType().id() == QMetaType::QString) {
        const QString text = value.toString().trimmed();
        if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
        return defaultValue;
    }
    double number = 0.0;
    return readNumber(value, &number) ? number != 0.0 : defaultValue;
}

qint16 PropertyBag::readInt16(const QString &name, qint16 defaultValue) const
{
    return readWhole<qint16>(readProperty(name), defaultValue, -32768.0, 32767.0);
}

qint32 PropertyBag::readInt32(const QString &name, qint32 defaultValue) const
{
    return readWhole<qint32>(readProperty(name), defaultValue, -2147483648.0, 2147483647.0);
}

quint32 PropertyBag::readColor(const QString &name, quint32 defaultValue) const
{
    return readWhole<quint32>(readProperty(name), defaultValue, -2147483648.0, 4294967295.0);
}

float PropertyBag::readSingle(const QString &name, float defaultValue) const
{
    double number = 0.0;
    if (!readNumber(readProperty(name), &number) || std::fabs(number) > double(std::numeric_limits<float>::max()))
        return defaultValue;
    return float(number);
}

QString PropertyBag::readString(const QString &name, const QString &defaultValue) const
{
    const QVariant value = readProperty(name);
    return value.metaType().id() == QMetaType::QString ? value.toString() : defaultValue;
}

QByteArray PropertyBag::readBytes(const QString &name, const QByteArray &defaultValue) const
{
    const QVariant value = readProperty(name);
    switch (value.metaType().id()) {
    case QMetaType::QByteArray:
        return value.toByteArray();
    case QMetaType::QString:
        return value.toString().toUtf8();
    default:
        return defaultValue;
    }
}

bool PropertyBag::read(const PropertyKey<bool> &key) const
{
    return readBool(QString::fromLatin1(key.name), key.defaultValue);
}

qint16 PropertyBag::read(const PropertyKey<qint16> &key) const
{
    return readInt16(QString::fromLatin1(key.name), key.defaultValue);
}

quint32 PropertyBag::read(const PropertyKey<quint32> &key) const
{
    return readColor(QString::fromLatin1(key.name), key.defaultValue);
}

float PropertyBag::read(const PropertyKey<float> &key) const
{
    return readSingle(QString::fromLatin1(key.name), key.defaultValue);
}

QString PropertyBag::read(const PropertyKey<QLatin1String> &key) const
{
    return readString(QString::fromLatin1(key.name), key.defaultValue);
}

QByteArray PropertyBag::read(const PropertyKey<QByteArrayView> &key) const
{
    return readBytes(QString::fromLatin1(key.name), key.defaultValue.toByteArray());
}

bool PropertyBag::write(const PropertyKey<bool> &key, bool value, QString *errorString)
{
    return writeProperty(QString::fromLatin1(key.name), value, key.defaultValue, errorString);
}

bool PropertyBag::write(const PropertyKey<qint16> &key, qint16 value, QString *errorString)
{
    return writeProperty(QString::fromLatin1(key.name), value, key.defaultValue, errorString);
}

bool PropertyBag::write(const PropertyKey<quint32> &key, quint32 value, QString *errorString)
{
    return writeProperty(QString::fromLatin1(key.name), value, key.defaultValue, errorString);
}

bool PropertyBag::write(const PropertyKey<float> &key, float value, QString *errorString)
{
    return writeProperty(QString::fromLatin1(key.name), value, key.defaultValue, errorString);
}

bool PropertyBag::write(const PropertyKey<QLatin1String> &key, const QString &value, QString *errorString)
{
    return writeProperty(QString::fromLatin1(key.name), value, QString(key.defaultValue), errorString);
}

bool PropertyBag::write(const PropertyKey<QByteArrayView> &key, const QByteArray &value, QString *errorString)
{
    return writeProperty(QString::fromLatin1(key.name), value, key.defaultValue.toByteArray(), errorString);
}

bool PropertyBag::contains(const QString &name) const
{
    return indexOf(name) >= 0;
}

QStringList PropertyBag::names() const
{
    QStringList result;
    for (const Entry &entry : m_entries)
        result.append(entry.name);
    return result;
}

QByteArray PropertyBag::toJson() const
{
    QJsonArray properties;
    for (const Entry &entry : m_entries)
        properties.append(encodeEntry(entry.name, entry.value));
    const QJsonObject root{{QStringLiteral("format"), FormatName},
                           {QStringLiteral("version"), FormatVersion},
                           {QStringLiteral("properties"), properties}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool PropertyBag::fromJson(const QByteArray &json, QString *errorString)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        setError(
            errorString,
            QStringLiteral("not a property bag: %1 at offset %2").arg(parseError.errorString()).arg(parseError.offset));
        return false;
    }
    const QJsonObject root = document.object();
    if (!document.isObject() || root.value(QStringLiteral("format")).toString() != FormatName) {
        setError(errorString, QStringLiteral("not a property bag: the format name is missing"));
        return false;
    }
    if (root.value(QStringLiteral("version")).toInt(-1) != FormatVersion) {
        setError(errorString, QStringLiteral("unsupported property bag version"));
        return false;
    }
    const QJsonValue properties = root.value(QStringLiteral("properties"));
    if (!properties.isArray()) {
        setError(errorString, QStringLiteral("the property bag has no property list"));
        return false;
    }
    QList<Entry> entries;
    QList<DamagedEntry> damaged;
    QSet<QString> names;
    const QJsonArray list = properties.toArray();
    for (qsizetype i = 0; i < list.size(); ++i) {
        Entry entry;
        QString problem;
        const int position = int(i + 1);
        if (!decodeEntry(list.at(i), &entry.name, &entry.value, &problem)) {
            damaged.append({position, entry.name, problem});
        } else if (names.contains(entry.name)) {
            damaged.append({position, entry.name, QStringLiteral("the name appears twice")});
        } else {
            names.insert(entry.name);
            entries.append(entry);
        }
    }
    m_entries = entries;
    m_damaged = damaged;
    setError(errorString, describe(damaged));
    return true;
}

bool PropertyBag::load(const QString &fileName, QString *errorString)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(errorString, QStringLiteral("cannot read %1: %2").arg(fileName, file.errorString()));
        return false;
    }
    QString error;
    const bool loaded = fromJson(file.readAll(), &error);
    setError(errorString, error.isEmpty() ? QString() : QStringLiteral("%1: %2").arg(fileName, error));
    return loaded;
}

bool PropertyBag::save(const QString &fileName, QString *errorString) const
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(errorString, QStringLiteral("cannot write %1: %2").arg(fileName, file.errorString()));
        return false;
    }
    file.write(toJson());
    if (!file.commit()) {
        setError(errorString, QStringLiteral("cannot write %1: %2").arg(fileName, file.errorString()));
        return false;
    }
    return true;
}
