// SPDX-License-Identifier: GPL-3.0-or-later
// Random documents into the property-bag loader, then every typed read on every stored name. A
// document that is no bag must leave the bag as it was. One that loads must account for every entry
// of its property list (kept, or left out as damaged and then read as the default), and must save and
// load again to the same names and values without damage. Then values made from the input's bytes
// are written: a write the bag takes must read back from its file as it was written, a refused one
// (every number that is not finite among them) must leave the bag as it was.

#include <propertybag.h>

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "propertybag: %s\n", what);
    std::abort();
}

void readEverything(const PropertyBag &bag, const QString &name)
{
    (void)bag.readBool(name, true);
    const qint16 small = bag.readInt16(name, 7);
    const qint32 whole = bag.readInt32(name, 7);
    (void)bag.readColor(name, 0x8000000Fu);
    const float single = bag.readSingle(name, 1.5f);
    (void)bag.readString(name, QStringLiteral("default"));
    (void)bag.readProperty(name, 3);
    if (small != 7 && qint32(small) != whole)
        fail("a 16-bit read and a 32-bit read of one value differ");
    if (!std::isfinite(single))
        fail("a single-precision read gave a value that is not finite");
}

qsizetype propertyListSize(const QByteArray &json)
{
    return QJsonDocument::fromJson(json).object().value(QStringLiteral("properties")).toArray().size();
}

void checkDamage(const PropertyBag &bag, qsizetype listSize, const QString &error)
{
    const QList<PropertyBag::DamagedEntry> damaged = bag.damagedEntries();
    if (bag.names().size() + damaged.size() != listSize)
        fail("an entry of the property list was neither kept nor named as damaged");
    if (damaged.isEmpty() != error.isEmpty())
        fail("damaged entries and the error text disagree");
    const QStringList names = bag.names();
    int previous = 0;
    for (const PropertyBag::DamagedEntry &entry : damaged) {
        if (entry.position <= previous || entry.position > listSize || entry.problem.isEmpty())
            fail("a damaged entry has no place in the list or no reason");
        previous = entry.position;
        if (!entry.name.isEmpty() && !names.contains(entry.name) && bag.readProperty(entry.name, 3) != 3)
            fail("a damaged entry does not read as the default");
    }
}

void checkReadsBack(const PropertyBag &bag)
{
    PropertyBag again;
    QString error;
    if (!again.fromJson(bag.toJson(), &error))
        fail("a bag does not load again after saving");
    if (!again.damagedEntries().isEmpty() || !error.isEmpty())
        fail("a saved bag has damaged entries");
    if (again.names() != bag.names())
        fail("saving and loading changed the names or their order");
    for (const QString &name : bag.names()) {
        const QVariant first = bag.readProperty(name);
        const QVariant second = again.readProperty(name);
        if (first.metaType() != second.metaType() || first != second)
            fail("saving and loading changed a value");
    }
}

// A value made from the input: its first byte picks the kind, the following bytes give its bits.
QVariant valueFrom(const uint8_t *data, size_t size)
{
    if (size < 9)
        return {};
    qint64 bits = 0;
    std::memcpy(&bits, data + 1, sizeof bits);
    double real = 0.0;
    std::memcpy(&real, data + 1, sizeof real);
    switch (data[0] % 8) {
    case 0:
        return real;
    case 1:
        return float(real);
    case 2:
        return bits;
    case 3:
        return quint64(bits);
    case 4:
        return qint16(bits);
    case 5:
        return quint32(bits);
    case 6: {
        char16_t text[4];
        std::memcpy(text, data + 1, sizeof text);
        return QString::fromUtf16(text, 4);
    }
    default:
        return QByteArray(reinterpret_cast<const char *>(data + 1), 8);
    }
}

void checkWrite(PropertyBag &bag, const QString &name, const QVariant &value)
{
    const QByteArray before = bag.toJson();
    QString error;
    if (!bag.writeProperty(name, value, {}, &error)) {
        if (error.isEmpty())
            fail("a refused write gave no reason");
        if (bag.toJson() != before)
            fail("a refused write changed the bag");
        return;
    }
    const bool number = value.metaType().id() == QMetaType::Double || value.metaType().id() == QMetaType::Float;
    if (number && !std::isfinite(value.toDouble()))
        fail("a number that is not finite was stored");
    PropertyBag reread;
    if (!reread.fromJson(bag.toJson(), &error) || !reread.damagedEntries().isEmpty())
        fail("a written value does not load again");
    if (reread.readProperty(name) != value)
        fail("a written value reads back changed");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray json(reinterpret_cast<const char *>(data), qsizetype(size));

    PropertyBag bag;
    bag.writeProperty(QStringLiteral("Kept"), 42);
    QString error;
    if (!bag.fromJson(json, &error)) {
        if (error.isEmpty())
            fail("a refused document gave no reason");
        if (bag.names() != QStringList{QStringLiteral("Kept")} || bag.readProperty(QStringLiteral("Kept")) != 42
            || !bag.damagedEntries().isEmpty())
            fail("a refused document changed the bag");
    } else {
        checkDamage(bag, propertyListSize(json), error);
        const QStringList names = bag.names();
        for (const QString &name : names)
            readEverything(bag, name);
        readEverything(bag, QStringLiteral("Missing"));
        checkReadsBack(bag);
    }

    const QString name = bag.names().isEmpty() ? QStringLiteral("Written") : bag.names().constLast();
    for (const QVariant &notFinite :
         {QVariant(std::numeric_limits<double>::quiet_NaN()), QVariant(std::numeric_limits<float>::infinity()),
          QVariant(-std::numeric_limits<double>::infinity())}) {
        const QByteArray before = bag.toJson();
        if (bag.writeProperty(name, notFinite) || bag.toJson() != before)
            fail("a number that is not finite was taken");
    }
    checkWrite(bag, name, valueFrom(data, size));
    checkWrite(bag, QString(), valueFrom(data, size));
    return 0;
}
