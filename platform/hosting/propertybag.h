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
//
// The bag holds only what its file can give back: a write of anything else is refused. A file that
// is not a bag is refused whole, but one damaged entry in a bag costs only that entry.
class VESPERON_HOSTING_EXPORT PropertyBag
{
public:
    // An entry that a read bag left out.
    struct DamagedEntry
    {
        int position = 0; // in the file's property list, counting from 1
        QString name;     // empty when the entry has none
        QString problem;
    };

    QVariant readProperty(const QString &name, const QVariant &defaultValue = {}) const;
    // Stores value under name, or takes the entry away when value equals defaultValue. Refused,
    // with false, errorString saying why and the bag unchanged: an empty name, and a value the
    // file could not give back: no value, a number that is not finite, a whole number beyond
    // 2^53, or a type other than bool, whole number, real, QString and QByteArray.
    bool writeProperty(const QString &name, const QVariant &value, const QVariant &defaultValue = {},
                       QString *errorString = nullptr);

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
    void clear()
    {
        m_entries.clear();
        m_damaged.clear();
    }

    QByteArray toJson() const;
    // Text that is no bag (not JSON, another format or version, no property list) is refused:
    // false, errorString says why, and the bag keeps its contents. Otherwise the bag takes every
    // entry it can read and returns true. An entry it cannot read (not an object, no name, an
    // unknown type, a value that does not fit its type, a name already read) is left out, so that
    // its name reads as the default given; damagedEntries() lists it and errorString names it
    // (errorString is empty after a bag read without damage).
    bool fromJson(const QByteArray &json, QString *errorString = nullptr);
    // The entries that the last fromJson() or load() left out, in file order.
    QList<DamagedEntry> damagedEntries() const { return m_damaged; }

    // As fromJson(), with the file's name in errorString; a file that cannot be read is refused.
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
    QList<DamagedEntry> m_damaged;
};
