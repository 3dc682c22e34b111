// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vesperon_hosting_export.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QLatin1String>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// One stored item of a control: its key in the property bag and its default, which is also the
// item's initial value in the control. T is the kind of item: bool (a flag), qint16 (a 16-bit
// whole number), quint32 (a colour), float (a single-precision number), QLatin1String (a text) or
// QByteArrayView (bytes, such as a picture). Each control keeps one table of these keys.
template<typename T>
struct PropertyKey
{
    const char *name;
    T defaultValue;
};

// The stored values of one hosted control: named values, read with a default and written with a
// default. A value equal to its default is not stored, so a missing name reads as that default.
//
// Items are written as their own type: flags as "bool", 16-bit numbers and colours as "int" (a
// colour with its unsigned value 0..4294967295), singles as "real", texts as "string", bytes as
// "bytes". Reading takes whatever a host may have stored under the name (this program's bags, a
// form's values, an older host's bags) by one rule per kind of item; what the rule does not take
// reads as the default, like a missing entry:
// - Flag: a flag as it is; a number is true unless it is 0; the text "true" or "false" in any
//   letter case, blanks around it ignored.
// - Whole number, colour and single: a number; a flag (false 0, true 1); a text that holds a
//   decimal number. Whole numbers and colours take the nearest whole number, halves to the even
//   neighbour, and must then lie in their range: 16-bit -32768..32767, 32-bit -2^31..2^31-1,
//   colour -2^31..2^32-1, where a negative colour is the same 32 bits read as a signed number
//   (hosts that keep colours signed store &H8000000F as -2147483633). A single must be finite and
//   within the float range.
// - Text: a text only. Bytes: bytes, or a text as its UTF-8 bytes.
// Bytes are never a flag or a number.
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

    // A control's stored items, read and written by the rule above.
    bool read(const PropertyKey<bool> &key) const;
    qint16 read(const PropertyKey<qint16> &key) const;
    quint32 read(const PropertyKey<quint32> &key) const;
    float read(const PropertyKey<float> &key) const;
    QString read(const PropertyKey<QLatin1String> &key) const;
    QByteArray read(const PropertyKey<QByteArrayView> &key) const;
    // False, with errorString, where writeProperty() refuses the value (a single that is not finite).
    bool write(const PropertyKey<bool> &key, bool value, QString *errorString = nullptr);
    bool write(const PropertyKey<qint16> &key, qint16 value, QString *errorString = nullptr);
    bool write(const PropertyKey<quint32> &key, quint32 value, QString *errorString = nullptr);
    bool write(const PropertyKey<float> &key, float value, QString *errorString = nullptr);
    bool write(const PropertyKey<QLatin1String> &key, const QString &value, QString *errorString = nullptr);
    bool write(const PropertyKey<QByteArrayView> &key, const QByteArray &value, QString *errorString = nullptr);

    QVariant readProperty(const QString &name, const QVariant &defaultValue = {}) const;
    // Stores value under name, or takes the entry away when value equals defaultValue. Refused,
    // with false, errorString saying why and the bag unchanged: an empty name, and a value the
    // file could not give back: no value, a number that is not finite, a whole number beyond
    // 2^53, or a type other than bool, whole number, real, QString and QByteArray.
    bool writeProperty(const QString &name, const QVariant &value, const QVariant &defaultValue = {},
                       QString *errorString = nullptr);

    // The reads of the rule above by name.
    bool readBool(const QString &name, bool defaultValue) const;
    qint16 readInt16(const QString &name, qint16 defaultValue) const;
    qint32 readInt32(const QString &name, qint32 defaultValue) const;
    quint32 readColor(const QString &name, quint32 defaultValue) const;
    float readSingle(const QString &name, float defaultValue) const;
    QString readString(const QString &name, const QString &defaultValue) const;
    QByteArray readBytes(const QString &name, const QByteArray &defaultValue) const;

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
