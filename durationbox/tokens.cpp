// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens.h"

#include <valuerules.h>

namespace Tokens {

namespace {

constexpr qsizetype LargestPosition = 32767;

// Length of a text as the routines hold it.
qint16 length16(const QString &text)
{
    return ValueRules::checkedInt16(text.size());
}

QString collapse(const QString &list, QChar delimiter)
{
    const QString pair(2, delimiter);
    QString collapsed = list;
    qint16 before = 0;
    do {
        before = length16(collapsed);
        collapsed = ReplaceText(collapsed, pair, QString(delimiter));
    } while (length16(collapsed) != before);
    return collapsed;
}

} // namespace

QString ReplaceText(const QString &text, const QString &search, const QString &replacement)
{
    if (text.isEmpty() || search.isEmpty())
        return text;
    QString working = text;
    qsizetype start = 0;
    for (;;) {
        const qsizetype found = working.indexOf(search, start);
        if (found < 0)
            return working;
        if (found + 1 > LargestPosition)
            throw std::overflow_error("Overflow");
        working.replace(found, search.size(), replacement);
        start = found + replacement.size();
    }
}

qint16 CountTokens(const QString &list, QChar delimiter)
{
    const QString collapsed = QString(delimiter) + collapse(list, delimiter);
    return ValueRules::checkedInt16(collapsed.count(delimiter));
}

QString GetToken(const QString &list, QChar delimiter, qint16 n)
{
    if (!list.contains(delimiter)) {
        if (n == 1)
            return list;
        if (n > 1)
            return QString();
    }
    const QString collapsed = collapse(list, delimiter);
    if (n == 0)
        n = CountTokens(collapsed, delimiter);
    if (collapsed.count(u' ') == collapsed.size())
        return QString();
    if (!collapsed.contains(delimiter))
        return collapsed;
    const QStringList items = collapsed.split(delimiter);
    return n >= 1 && n <= items.size() ? items.at(n - 1) : QString();
}

} // namespace Tokens
