// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vesperon_hosting_export.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// The stored values of one hosted control: named values, read with a default and written with a
// default. A value equal to its default is not stored, so a missing name reads as that default.
//
// On disk a bag is a UTF-8 JSON document that keeps the order of writing and each value's type:
//
//   { "format": "vesperon-property-bag", "version": 1,
//     "properties": [ { "name": "ShowDays", "type": "bool", "value": true },
//                     { "name": "Picture", "type": "bytes", "value": "<base64>" } ] }
//
// Types are "bool", "int" (whole numbers up to 2^53), "real", "string" and "bytes" (base64).
class VESPERON_HOSTING_EXPORT PropertyBag
{
public:
    QVariant readProperty(const QString &name, const QVariant &defaultValue = {}) const;
    void writeProperty(const QString &name, const QVariant &value, const QVariant &defaultValue = {});

    // Typed reads for the stored items of a control. An entry that does not convert to the item's
    // type (a text where a number belongs, a number out of range) reads as the default, like a
    // missing one. Numbers round halves to even.
    bool readBool(const QString &name, bool defaultValue) const;
    qint16 readInt16(const QString &name, qint16 defaultValue) const;
    qint32 readInt32(const QString &name, qint32 defaultValue) const;
    quint32 readColor(const QString &name, quint32 defaultValue) const; // 32-bit, signed or not
    float readSingle(const QString &name, float defaultValue) const;
    QString readString(const QString &name, const QString &defaultValue) const;

    bool contains(const QString &name) const;
    QStringList names() const; // in the order of first writing
    bool isEmpty() const { return m_entries.isEmpty(); }
    void clear() { m_entries.clear(); }

    QByteArray toJson() const;
    // On failure the bag keeps its contents and errorString says what was wrong.
    bool fromJson(const QByteArray &json, QString *errorString = nullptr);

    bool load(const QString &fileName, QString *errorString = nullptr);
    bool save(const QString &fileName, QString *errorString = nullptr) const;

private:
    struct Entry
    {
        QString name;
        QVariant value;
    };
    qsizetype indexOf(const QString &name) const;

    QList<Entry> m_entries;
};
