// SPDX-License-Identifier: GPL-3.0-or-later
// Random settings files, read and then written by name. Whatever the file holds (NUL bytes, a
// byte-order mark, CR, LF or CR LF line ends in any mix, no final line break, very long lines,
// UTF-16 in either byte order, odd lengths), reading must not fail, and a write must either leave
// the file byte for byte as it was or change only what it was asked to, in the file's own
// encoding: the value of one line, or one key line added, or one section with its key added at
// the end; the value written then reads back as the Windows functions would read it.

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

// How the fuzzed bytes become the file: 8-bit text as it stands or with every LF turned into CR;
// UTF-16 with each byte widened to a unit (so that the file has structure), optionally CR only;
// or UTF-16 made of the bytes themselves, two to a unit (so that any unit occurs).
enum Form { Bytes, CrOnly, Utf16LE, Utf16BE, Utf16LERaw, Utf16BERaw, Utf16LECrOnly, Utf16BECrOnly, FormCount };

QByteArray shape(QByteArray content, int form)
{
    if (form == CrOnly || form == Utf16LECrOnly || form == Utf16BECrOnly)
        content.replace('\n', '\r');
    if (form == Bytes || form == CrOnly)
        return content;
    const bool little = form == Utf16LE || form == Utf16LERaw || form == Utf16LECrOnly;
    QByteArray file = little ? QByteArray("\xff\xfe") : QByteArray("\xfe\xff");
    if (form == Utf16LERaw || form == Utf16BERaw)
        return file + content;
    for (const char c : content) {
        file += little ? c : '\0';
        file += little ? '\0' : c;
    }
    return file;
}

enum class Encoding { EightBit, Utf16LE, Utf16BE };

// A file as a string of code units: bytes as Latin-1 for 8-bit files, 16-bit units for UTF-16.
struct Decoded
{
    Encoding encoding = Encoding::EightBit;
    QByteArray byteOrderMark; // of UTF-8 too, which 8-bit files may begin with
    QString units;
    QByteArray oddByte;
};

Decoded decode(const QByteArray &bytes)
{
    Decoded file;
    if (!bytes.startsWith("\xff\xfe") && !bytes.startsWith("\xfe\xff")) {
        file.byteOrderMark = bytes.startsWith("\xef\xbb\xbf") ? bytes.left(3) : QByteArray();
        file.units = QString::fromLatin1(bytes.mid(file.byteOrderMark.size()));
        return file;
    }
    file.encoding = bytes.startsWith("\xff\xfe") ? Encoding::Utf16LE : Encoding::Utf16BE;
    file.byteOrderMark = bytes.left(2);
    const bool little = file.encoding == Encoding::Utf16LE;
    file.units.reserve(bytes.size() / 2);
    for (qsizetype i = 2; i + 1 < bytes.size(); i += 2) {
        const auto first = uchar(bytes.at(i));
        const auto second = uchar(bytes.at(i + 1));
        file.units += QChar(little ? char16_t(first | second << 8) : char16_t(second | first << 8));
    }
    if (bytes.size() % 2 == 1)
        file.oddByte = bytes.right(1);
    return file;
}

QString unitsOf(Encoding encoding, const QString &text)
{
    return encoding == Encoding::EightBit ? QString::fromLatin1(text.toLocal8Bit()) : text;
}

bool isLineEnd(QChar c)
{
    return c == u'\n' || c == u'\r';
}

struct Line
{
    qsizetype start;
    qsizetype textEnd;
    qsizetype end; // after its line ending
};

std::vector<Line> linesOf(const QString &units)
{
    std::vector<Line> lines;
    qsizetype start = 0;
    while (start < units.size()) {
        qsizetype end = start;
        while (end < units.size() && !isLineEnd(units.at(end)))
            ++end;
        qsizetype next = end;
        if (next < units.size())
            next += units.at(next) == u'\r' && next + 1 < units.size() && units.at(next + 1) == u'\n' ? 2 : 1;
        lines.push_back({start, end, next});
        start = next;
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

QString withoutBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && (text.at(begin) == u' ' || text.at(begin) == u'\t'))
        ++begin;
    while (end > begin && (text.at(end - 1) == u' ' || text.at(end - 1) == u'\t'))
        --end;
    return text.mid(begin, end - begin);
}

// What reading gives for a value written as it stands.
QString readForm(Encoding encoding, const QString &value)
{
    QString text = withoutBlanks(encoding == Encoding::EightBit ? QString::fromLocal8Bit(value.toLocal8Bit()) : value);
    if (text.size() >= 2 && (text.front() == u'"' || text.front() == u'\'') && text.back() == text.front())
        text = text.mid(1, text.size() - 2);
    return text;
}

// Checks that after differs from before only by what writing key=value into section may change.
void checkChange(const QByteArray &before, const QByteArray &after, const QString &section, const QString &key,
                 const QString &value)
{
    const Decoded old = decode(before);
    const Decoded now = decode(after);
    if (now.encoding != old.encoding || now.byteOrderMark != old.byteOrderMark || now.oddByte != old.oddByte)
        fail("the write changed the file's encoding", before, after);
    const QString &u = old.units;
    const QString &v = now.units;
    if (u == v)
        return;

    qsizetype prefix = 0;
    while (prefix < u.size() && prefix < v.size() && u.at(prefix) == v.at(prefix))
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < u.size() - prefix && suffix < v.size() - prefix
           && u.at(u.size() - 1 - suffix) == v.at(v.size() - 1 - suffix))
        ++suffix;

    const std::vector<Line> lines = linesOf(u);
    const QString newValue = unitsOf(old.encoding, value);

    // A value replaced in place: the line keeps everything up to its first "=" (or all of it, for
    // a key name alone, which gets one) and its ending.
    for (const Line &line : lines) {
        if (prefix < line.start || prefix > line.textEnd)
            continue;
        const QString text = u.mid(line.start, line.textEnd - line.start);
        const qsizetype equals = text.indexOf(u'=');
        const QString replaced = (equals < 0 ? text : text.left(equals)) + u'=' + newValue;
        if (v == u.left(line.start) + replaced + u.mid(line.textEnd))
            return;
    }

    // Lines added at a line start, with the line ending of the first line; a last line without
    // an ending gets one first.
    const QString ending = lines.empty() || lines.front().textEnd == lines.front().end
        ? QStringLiteral("\n")
        : u.mid(lines.front().textEnd, lines.front().end - lines.front().textEnd);
    const QString keyLine = unitsOf(old.encoding, key) + u'=' + newValue + ending;
    const QString sectionLines = u'[' + unitsOf(old.encoding, section) + u']' + ending + keyLine;
    std::vector<qsizetype> starts;
    for (const Line &line : lines)
        starts.push_back(line.start);
    starts.push_back(u.size());
    for (const qsizetype at : starts) {
        if (at < u.size() - suffix || at > prefix)
            continue;
        const bool needsEnding = at == u.size() && !u.isEmpty() && !isLineEnd(u.back());
        for (const QString &added : {keyLine, sectionLines}) {
            const QString inserted = (needsEnding ? ending : QString()) + added;
            if (v.size() == u.size() + inserted.size() && v.mid(at, inserted.size()) == inserted
                && v.mid(at + inserted.size()) == u.mid(at))
                return;
        }
    }
    fail("the write changed more than its own line, or added something other than its key and section", before, after);
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
    const int form = provider.ConsumeIntegralInRange<int>(0, FormCount - 1);
    QByteArray content = QByteArray::fromStdString(provider.ConsumeRemainingBytesAsString());
    // Very long lines without making the corpus big: stretch the first line of the file.
    if (longLine > 0) {
        const qsizetype newline = content.indexOf('\n');
        const QByteArray first = content.left(newline < 0 ? content.size() : newline);
        content.insert(first.size(), first.repeated(qMin<qsizetype>(4096, 70000 / qMax<qsizetype>(1, first.size()))));
    }
    content = shape(content, form);

    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
            std::abort();
    }

    const int limit = 256;
    const QString read = PrivateProfile::readString(section, key, QStringLiteral("none"), limit, path);
    if (read.size() > limit)
        fail("a read gave more than it was allowed to", content, {});
    if (read.contains(QChar(u'\0')))
        fail("a read gave a NUL", content, {});
    if (readAll(path) != content)
        fail("a read changed the file", content, readAll(path));

    const bool written = PrivateProfile::writeString(section, key, value, path);
    const QByteArray after = readAll(path);
    if (!written) {
        if (after != content)
            fail("a refused write changed the file", content, after);
        const auto fits = [](const QString &text) {
            return !text.contains(u'\n') && !text.contains(u'\r') && !text.contains(QChar(u'\0'));
        };
        const bool unwritable = withoutBlanks(section).isEmpty() || withoutBlanks(key).isEmpty() || !fits(section)
            || !fits(key) || !fits(value) || section.contains(u']') || key.contains(u'=')
            || withoutBlanks(key).startsWith(u'[');
        if (!unwritable)
            fail("a write that fits on its line was refused", content, after);
        return 0;
    }
    checkChange(content, after, section, key, value);

    const QString back = PrivateProfile::readString(section, key, QStringLiteral("none"), 1 << 20, path);
    if (back != readForm(decode(content).encoding, value))
        fail("a written value does not read back", content, after);
    return 0;
}
