// SPDX-License-Identifier: GPL-3.0-or-later
// Random documents into the property-bag loader, then every typed read on every stored name. A
// document that loads must save and load again to the same names and values; one that does not
// load must leave the bag as it was.

#include <propertybag.h>

#include <QByteArray>
#include <QString>

#include <cmath>
#include <cstdio>
#include <cstdlib>

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
        if (bag.names() != QStringList{QStringLiteral("Kept")} || bag.readProperty(QStringLiteral("Kept")) != 42)
            fail("a refused document changed the bag");
        return 0;
    }

    const QStringList names = bag.names();
    for (const QString &name : names)
        readEverything(bag, name);
    readEverything(bag, QStringLiteral("Missing"));

    PropertyBag again;
    if (!again.fromJson(bag.toJson(), &error))
        fail("a loaded bag does not load again after saving");
    if (again.names() != names)
        fail("saving and loading changed the names or their order");
    for (const QString &name : names) {
        const QVariant first = bag.readProperty(name);
        const QVariant second = again.readProperty(name);
        if (first.metaType() != second.metaType() || !(first == second || (first.toDouble() != first.toDouble())))
            fail("saving and loading changed a value");
    }
    return 0;
}
