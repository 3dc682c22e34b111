// SPDX-License-Identifier: GPL-3.0-or-later
#include "privateprofile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <optional>
#include <vector>

namespace {

struct Line
{
    QByteArray text;   // without its line ending
    QByteArray ending; // "\r\n", "\n" or "" for a last line without one
};

std::vector<Line> splitLines(const QByteArray &bytes)
{
    std::vector<Line> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype newline = bytes.indexOf('\n', start);
        if (newline < 0) {
            lines.push_back({bytes.mid(start), {}});
            break;
        }
        qsizetype end = newline;
        if (end > start && bytes.at(end - 1) == '\r')
            --end;
        lines.push_back({bytes.mid(start, end - start), bytes.mid(end, newline + 1 - end)});
        start = newline + 1;
    }
    return lines;
}

QString trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && (text.at(begin) == u' ' || text.at(begin) == u'\t'))
        ++begin;
    while (end > begin && (text.at(end - 1) == u' ' || text.at(end - 1) == u'\t'))
        --end;
    return text.mid(begin, end - begin);
}

bool sameName(const QString &a, const QString &b)
{
    return QString::compare(trimBlanks(a), trimBlanks(b), Qt::CaseInsensitive) == 0;
}

// The name of a section line, or nothing for any other line.
std::optional<QString> sectionName(const QByteArray &line)
{
    const QString text = trimBlanks(QString::fromLocal8Bit(line));
    if (!text.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = text.indexOf(u']');
    if (close < 0)
        return std::nullopt;
    return trimBlanks(text.mid(1, close - 1));
}

// The position of the "=" of a key line whose key is key, or -1.
qsizetype keyEquals(const QByteArray &line, const QString &key)
{
    const qsizetype equals = line.indexOf('=');
    if (equals < 0)
        return -1;
    return sameName(trimBlanks(QString::fromLocal8Bit(line.left(equals))), key) ? equals : -1;
}

bool fitsOnLine(const QString &text)
{
    return !text.contains(u'\n') && !text.contains(u'\r');
}

} // namespace

QString PrivateProfile::readString(const QString &section, const QString &key, const QString &defaultValue,
                                   int maxLength, const QString &file)
{
    const qsizetype limit = qMax(0, maxLength);
    QFile input(file);
    if (!input.open(QIODevice::ReadOnly))
        return defaultValue.left(limit);

    bool inSection = false;
    for (const Line &line : splitLines(input.readAll())) {
        if (const std::optional<QString> name = sectionName(line.text)) {
            inSection = sameName(*name, section);
            continue;
        }
        if (!inSection)
            continue;
        const qsizetype equals = keyEquals(line.text, key);
        if (equals >= 0)
            return QString::fromLocal8Bit(line.text.mid(equals + 1)).left(limit);
    }
    return defaultValue.left(limit);
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
    std::vector<Line> lines = splitLines(old);

#ifdef Q_OS_WIN
    QByteArray ending = "\r\n";
#else
    QByteArray ending = "\n";
#endif
    if (!lines.empty() && !lines.front().ending.isEmpty())
        ending = lines.front().ending;

    const QByteArray newValue = value.toLocal8Bit();
    const QByteArray keyLine = key.toLocal8Bit() + '=' + newValue;

    // Find the first section of that name, the key inside it, and the last non-blank line of it.
    std::optional<size_t> sectionLine;
    std::optional<size_t> lastOfSection;
    bool replaced = false;
    for (size_t i = 0; i < lines.size() && !replaced; ++i) {
        if (const std::optional<QString> name = sectionName(lines[i].text)) {
            if (sectionLine)
                break;
            if (sameName(*name, section)) {
                sectionLine = i;
                lastOfSection = i;
            }
            continue;
        }
        if (!sectionLine)
            continue;
        const qsizetype equals = keyEquals(lines[i].text, key);
        if (equals >= 0) {
            lines[i].text = lines[i].text.left(equals + 1) + newValue;
            replaced = true;
        } else if (!trimBlanks(QString::fromLocal8Bit(lines[i].text)).isEmpty()) {
            lastOfSection = i;
        }
    }

    if (!replaced) {
        if (lastOfSection) {
            Line &after = lines[*lastOfSection];
            if (after.ending.isEmpty())
                after.ending = ending;
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*lastOfSection + 1), Line{keyLine, ending});
        } else {
            if (!lines.empty() && lines.back().ending.isEmpty())
                lines.back().ending = ending;
            lines.push_back({'[' + section.toLocal8Bit() + ']', ending});
            lines.push_back({keyLine, ending});
        }
    }

    QByteArray bytes;
    for (const Line &line : lines)
        bytes += line.text + line.ending;

    QSaveFile output(file);
    if (!output.open(QIODevice::WriteOnly))
        return false;
    if (output.write(bytes) != bytes.size()) {
        output.cancelWriting();
        return false;
    }
    return output.commit();
}
