// SPDX-License-Identifier: GPL-3.0-or-later
// Random settings files, read and then written by name. Whatever the file holds (NUL bytes, a
// BOM, CR or CRLF endings, no final line break, very long lines), reading must not fail, and a
// write must either leave the file byte for byte as it was or change only what it was asked to:
// one value, or one key line added to its section, or one section with its key added at the end.

#include <privateprofile.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Line
{
    QByteArray text;
    QByteArray ending;
    bool operator==(const Line &other) const { return text == other.text && ending == other.ending; }
};

std::vector<Line> linesOf(const QByteArray &bytes)
{
    std::vector<Line> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype newline = bytes.indexOf('\n', start);
        if (newline < 0) {
            lines.push_back({bytes.mid(start), {}});
            break;
        }
        const qsizetype end = newline > start && bytes.at(newline - 1) == '\r' ? newline - 1 : newline;
        lines.push_back({bytes.mid(start, end - start), bytes.mid(end, newline + 1 - end)});
        start = newline + 1;
    }
    return lines;
}

[[noreturn]] void fail(const char *what, const QByteArray &before, const QByteArray &after)
{
    std::fprintf(stderr, "privateprofile: %s\n--- before (%lld bytes)\n%s\n--- after (%lld bytes)\n%s\n", what,
                 static_cast<long long>(before.size()), before.toHex().constData(),
                 static_cast<long long>(after.size()), after.toHex().constData());
    std::abort();
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString withoutBlanks(const QString &name)
{
    qsizetype begin = 0;
    qsizetype end = name.size();
    while (begin < end && (name.at(begin) == u' ' || name.at(begin) == u'\t'))
        ++begin;
    while (end > begin && (name.at(end - 1) == u' ' || name.at(end - 1) == u'\t'))
        --end;
    return name.mid(begin, end - begin);
}

// Checks that after differs from before only by what writing key=value into section may change.
void checkChange(const QByteArray &before, const QByteArray &after, const QString &section, const QString &key,
                 const QString &value)
{
    const std::vector<Line> old = linesOf(before);
    const std::vector<Line> now = linesOf(after);
    size_t prefix = 0;
    while (prefix < old.size() && prefix < now.size() && old[prefix] == now[prefix])
        ++prefix;
    size_t suffix = 0;
    while (suffix < old.size() - prefix && suffix < now.size() - prefix
           && old[old.size() - 1 - suffix] == now[now.size() - 1 - suffix])
        ++suffix;
    const std::vector<Line> gone(old.begin() + std::ptrdiff_t(prefix), old.end() - std::ptrdiff_t(suffix));
    std::vector<Line> added(now.begin() + std::ptrdiff_t(prefix), now.end() - std::ptrdiff_t(suffix));

    const QByteArray valueBytes = value.toLocal8Bit();
    const QByteArray keyLine = key.toLocal8Bit() + '=' + valueBytes;

    // The key already held that value.
    if (gone.empty() && added.empty())
        return;
    // A value replaced in place: the line keeps everything up to its "=" and its ending.
    if (gone.size() == 1 && added.size() == 1 && gone[0].ending == added[0].ending) {
        const qsizetype equals = gone[0].text.indexOf('=');
        if (equals >= 0 && added[0].text == gone[0].text.left(equals + 1) + valueBytes)
            return;
    }
    std::vector<Line> remaining = added;
    if (gone.size() == 1) {
        // The last line of a section or file that had no line break gets one before the new line.
        // (A last line that ends in a lone CR then reads as ending in CRLF; its bytes stay.)
        const QByteArray now = remaining.empty() ? QByteArray() : remaining.front().text + remaining.front().ending;
        const QByteArray tail = now.mid(gone[0].text.size());
        if (!gone[0].ending.isEmpty() || !now.startsWith(gone[0].text) || (tail != "\n" && tail != "\r\n"))
            fail("a line other than the written key changed", before, after);
        remaining.erase(remaining.begin());
    } else if (!gone.empty()) {
        fail("lines of the file were lost or changed", before, after);
    }
    if (remaining.size() == 1 && remaining[0].text == keyLine)
        return;
    if (remaining.size() == 2 && remaining[0].text == '[' + section.toLocal8Bit() + ']' && remaining[1].text == keyLine)
        return;
    fail("the write added something other than the key line and its section", before, after);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Every write commits through a synced save file; on a memory file system that costs nothing.
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/fuzz-profile-XXXXXX")
                                                                       : QString());
    static const QString path = dir.path() + QStringLiteral("/Vesperon.Ini");

    FuzzedDataProvider provider(data, size);
    const QString section = QString::fromStdString(provider.ConsumeRandomLengthString(64));
    const QString key = QString::fromStdString(provider.ConsumeRandomLengthString(64));
    const QString value = QString::fromStdString(provider.ConsumeRandomLengthString(400));
    const int longLine = provider.ConsumeIntegralInRange<int>(0, 3);
    QByteArray content = QByteArray::fromStdString(provider.ConsumeRemainingBytesAsString());
    // Very long lines without making the corpus big: stretch the first line of the file.
    if (longLine > 0) {
        const qsizetype newline = content.indexOf('\n');
        const QByteArray first = content.left(newline < 0 ? content.size() : newline);
        content.insert(first.size(), first.repeated(qMin<qsizetype>(4096, 70000 / qMax<qsizetype>(1, first.size()))));
    }

    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
            std::abort();
    }

    const int limit = 256;
    const QString read = PrivateProfile::readString(section, key, QStringLiteral("none"), limit, path);
    if (read.size() > limit)
        fail("a read gave more than it was allowed to", content, {});
    if (readAll(path) != content)
        fail("a read changed the file", content, readAll(path));

    const bool written = PrivateProfile::writeString(section, key, value, path);
    const QByteArray after = readAll(path);
    if (!written) {
        if (after != content)
            fail("a refused write changed the file", content, after);
        const bool unwritable = withoutBlanks(section).isEmpty() || withoutBlanks(key).isEmpty()
            || section.contains(u'\n') || section.contains(u'\r') || key.contains(u'\n') || key.contains(u'\r')
            || value.contains(u'\n') || value.contains(u'\r') || section.contains(u']') || key.contains(u'=')
            || withoutBlanks(key).startsWith(u'[');
        if (!unwritable)
            fail("a write that fits on its line was refused", content, after);
        return 0;
    }
    checkChange(content, after, section, key, value);

    const QString expected = QString::fromLocal8Bit(value.toLocal8Bit());
    const QString back = PrivateProfile::readString(section, key, QStringLiteral("none"), 1 << 20, path);
    if (back != expected)
        fail("a written value does not read back", content, after);
    return 0;
}
