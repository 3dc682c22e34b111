// SPDX-License-Identifier: GPL-3.0-or-later
#include "privateprofile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <optional>
#include <vector>

namespace {

enum class Encoding { EightBit, Utf16LE, Utf16BE };

// A file's text as a string of its code units: for 8-bit files each byte is one unit (as Latin-1,
// so that any byte survives the way back), for UTF-16 files each 16-bit unit as it stands.
struct Line
{
    QString text;   // without its line ending
    QString ending; // "\r\n", "\n", "\r" or "" for a last line without one
};

struct ProfileText
{
    Encoding encoding = Encoding::EightBit;
    QByteArray byteOrderMark;
    std::vector<Line> lines;
    QByteArray oddByte; // the last byte of a UTF-16 file of odd length
};

std::vector<Line> splitLines(const QString &units)
{
    std::vector<Line> lines;
    qsizetype start = 0;
    while (start < units.size()) {
        qsizetype end = start;
        while (end < units.size() && units.at(end) != u'\n' && units.at(end) != u'\r')
            ++end;
        qsizetype next = end;
        if (next < units.size())
            next += units.at(next) == u'\r' && next + 1 < units.size() && units.at(next + 1) == u'\n' ? 2 : 1;
        lines.push_back({units.mid(start, end - start), units.mid(end, next - end)});
        start = next;
    }
    return lines;
}

ProfileText decode(const QByteArray &bytes)
{
    ProfileText text;
    if (bytes.startsWith("\xff\xfe"))
        text.encoding = Encoding::Utf16LE;
    else if (bytes.startsWith("\xfe\xff"))
        text.encoding = Encoding::Utf16BE;

    QString units;
    if (text.encoding == Encoding::EightBit) {
        // Linux keeps 8-bit text in UTF-8, whose editors may begin a file with its mark.
        text.byteOrderMark = bytes.startsWith("\xef\xbb\xbf") ? bytes.left(3) : QByteArray();
        units = QString::fromLatin1(bytes.mid(text.byteOrderMark.size()));
    } else {
        text.byteOrderMark = bytes.left(2);
        const qsizetype count = (bytes.size() - 2) / 2;
        text.oddByte = bytes.mid(2 + 2 * count);
        units.resize(count);
        const bool little = text.encoding == Encoding::Utf16LE;
        const auto *in = reinterpret_cast<const uchar *>(bytes.constData()) + 2;
        QChar *out = units.data();
        for (qsizetype i = 0; i < count; ++i, in += 2)
            out[i] = QChar(little ? char16_t(in[0] | in[1] << 8) : char16_t(in[1] | in[0] << 8));
    }
    text.lines = splitLines(units);
    return text;
}

QByteArray encode(const ProfileText &text)
{
    QString units;
    for (const Line &line : text.lines)
        units += line.text + line.ending;
    if (text.encoding == Encoding::EightBit)
        return text.byteOrderMark + units.toLatin1();

    QByteArray bytes = text.byteOrderMark;
    bytes.reserve(bytes.size() + 2 * units.size() + text.oddByte.size());
    const bool little = text.encoding == Encoding::Utf16LE;
    for (const QChar unit : units) {
        const char low = char(unit.unicode() & 0xff);
        const char high = char(unit.unicode() >> 8);
        bytes += little ? low : high;
        bytes += little ? high : low;
    }
    return bytes + text.oddByte;
}

// What a run of code units of the file says, and the units that say a given text.
QString textOf(Encoding encoding, const QString &units)
{
    return encoding == Encoding::EightBit ? QString::fromLocal8Bit(units.toLatin1()) : units;
}

QString unitsOf(Encoding encoding, const QString &text)
{
    return encoding == Encoding::EightBit ? QString::fromLatin1(text.toLocal8Bit()) : text;
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QString trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

// Text handed over as a C string ends at its first NUL.
QString upToNul(const QString &text)
{
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.left(nul);
}

bool sameName(const QString &a, const QString &b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

// One line of the file, taken apart. A line is blank, a section line ("[name]") or a key line:
// "name=value", or a name alone, which is that key with an empty value.
struct Entry
{
    enum Kind { Blank, Section, Key } kind = Blank;
    QString name;
    qsizetype equals = -1; // the "=" of a key line, -1 for a name alone
};

Entry parse(Encoding encoding, const QString &line)
{
    const QString trimmed = trimBlanks(line);
    if (trimmed.isEmpty())
        return {};
    if (trimmed.startsWith(u'[')) {
        const qsizetype close = trimmed.indexOf(u']');
        if (close > 0)
            return {Entry::Section, upToNul(trimBlanks(textOf(encoding, trimmed.mid(1, close - 1)))), -1};
    }
    const qsizetype equals = line.indexOf(u'=');
    const QString name = equals < 0 ? line : line.left(equals);
    return {Entry::Key, upToNul(trimBlanks(textOf(encoding, name))), equals};
}

// The value of a key line as the Windows function gives it: the text after "=", without the
// blanks and tabs of the line around it, up to a NUL, without one pair of matching quotes.
QString valueOf(Encoding encoding, const QString &line, const Entry &entry)
{
    if (entry.equals < 0)
        return {};
    QString value = upToNul(trimBlanks(textOf(encoding, line.mid(entry.equals + 1))));
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

bool fitsOnLine(const QString &text)
{
    return !text.contains(u'\n') && !text.contains(u'\r') && !text.contains(QChar(u'\0'));
}

} // namespace

QString PrivateProfile::readString(const QString &section, const QString &key, const QString &defaultValue,
                                   int maxLength, const QString &file)
{
    const qsizetype limit = qMax(0, maxLength);
    qsizetype defaultEnd = defaultValue.size();
    while (defaultEnd > 0 && defaultValue.at(defaultEnd - 1) == u' ')
        --defaultEnd;
    const QString fallback = defaultValue.left(qMin(defaultEnd, limit));

    QFile input(file);
    if (!input.open(QIODevice::ReadOnly))
        return fallback;
    const ProfileText text = decode(input.readAll());
    const QString sectionName = trimBlanks(upToNul(section));
    const QString keyName = trimBlanks(upToNul(key));

    bool inSection = false;
    for (const Line &line : text.lines) {
        const Entry entry = parse(text.encoding, line.text);
        if (entry.kind == Entry::Section) {
            if (inSection)
                break;
            inSection = sameName(entry.name, sectionName);
        } else if (entry.kind == Entry::Key && inSection && sameName(entry.name, keyName)) {
            return valueOf(text.encoding, line.text, entry).left(limit);
        }
    }
    return fallback;
}

bool PrivateProfile::writeString(const QString &section, const QString &key, const QString &value, const QString &file)
{
    if (trimBlanks(section).isEmpty() || trimBlanks(key).isEmpty() || !fitsOnLine(section) || !fitsOnLine(key)
        || !fitsOnLine(value) || section.contains(u']') || key.contains(u'=') || trimBlanks(key).startsWith(u'['))
        return false;

    QByteArray old;
    if (QFileInfo::exists(file)) {
        QFile input(file);
        if (!input.open(QIODevice::ReadOnly))
            return false;
        old = input.readAll();
        if (input.error() != QFile::NoError)
            return false;
    }
    ProfileText text = decode(old);
    std::vector<Line> &lines = text.lines;

#ifdef Q_OS_WIN
    QString ending = QStringLiteral("\r\n");
#else
    QString ending = QStringLiteral("\n");
#endif
    if (!lines.empty() && !lines.front().ending.isEmpty())
        ending = lines.front().ending;

    const QString newValue = unitsOf(text.encoding, value);
    const QString sectionName = trimBlanks(section);
    const QString keyName = trimBlanks(key);

    // The key in the first section of that name, or else the last non-blank line of that section.
    std::optional<size_t> sectionLine;
    std::optional<size_t> lastOfSection;
    bool replaced = false;
    for (size_t i = 0; i < lines.size() && !replaced; ++i) {
        const Entry entry = parse(text.encoding, lines[i].text);
        if (entry.kind == Entry::Section) {
            if (sectionLine)
                break;
            if (sameName(entry.name, sectionName)) {
                sectionLine = i;
                lastOfSection = i;
            }
        } else if (sectionLine && entry.kind == Entry::Key) {
            if (sameName(entry.name, keyName)) {
                QString &line = lines[i].text;
                line = (entry.equals < 0 ? line : line.left(entry.equals)) + u'=' + newValue;
                replaced = true;
            } else {
                lastOfSection = i;
            }
        }
    }

    if (!replaced) {
        const Line keyLine{unitsOf(text.encoding, key) + u'=' + newValue, ending};
        if (lastOfSection) {
            Line &after = lines[*lastOfSection];
            if (after.ending.isEmpty())
                after.ending = ending;
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*lastOfSection + 1), keyLine);
        } else {
            if (!lines.empty() && lines.back().ending.isEmpty())
                lines.back().ending = ending;
            lines.push_back({u'[' + unitsOf(text.encoding, section) + u']', ending});
            lines.push_back(keyLine);
        }
    }

    const QByteArray bytes = encode(text);
    QSaveFile output(file);
    if (!output.open(QIODevice::WriteOnly))
        return false;
    if (output.write(bytes) != bytes.size()) {
        output.cancelWriting();
        return false;
    }
    return output.commit();
}
