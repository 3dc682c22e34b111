// SPDX-License-Identifier: GPL-3.0-or-later
// The token routines against a plain model of their rules, on lists short and long. Positions are
// 16-bit: the routines must throw std::overflow_error exactly when a list to collapse or count is
// longer than 32767 characters or a search string is found beyond position 32767, and nothing
// else; otherwise their results must equal the model's.

#include <tokens.h>

#include <QString>
#include <QStringList>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <stdexcept>

namespace {

constexpr qsizetype LargestPosition = 32767;

[[noreturn]] void fail(const char *routine, const char *what, qsizetype length)
{
    std::fprintf(stderr, "tokens: %s %s (text of %lld characters)\n", routine, what, static_cast<long long>(length));
    std::abort();
}

// The replacement walk with unbounded positions; nothing when the rule says it overflows.
std::optional<QString> modelReplace(const QString &text, const QString &search, const QString &replacement)
{
    if (text.isEmpty())
        return QString();
    // The position in the working copy of text position `from` is from + shift.
    QString result;
    qsizetype from = 0;
    qsizetype shift = 0;
    for (;;) {
        const qsizetype found = text.indexOf(search, from);
        if (found < 0)
            return result + text.mid(from);
        if (found + shift + 1 > LargestPosition)
            return std::nullopt;
        result += text.mid(from, found - from) + replacement;
        from = found + search.size();
        shift += replacement.size() - search.size();
    }
}

// The items after runs of delimiters are taken as one.
QStringList modelItems(const QString &list, QChar delimiter)
{
    QStringList items{QString()};
    bool afterDelimiter = false;
    for (const QChar c : list) {
        if (c == delimiter) {
            if (!afterDelimiter)
                items.append(QString());
            afterDelimiter = true;
        } else {
            items.last().append(c);
            afterDelimiter = false;
        }
    }
    return items;
}

QString modelCollapsed(const QString &list, QChar delimiter)
{
    return modelItems(list, delimiter).join(delimiter);
}

std::optional<qint16> modelCount(const QString &list, QChar delimiter)
{
    if (list.size() > LargestPosition)
        return std::nullopt;
    return qint16(modelItems(list, delimiter).size());
}

std::optional<QString> modelGetToken(const QString &list, QChar delimiter, qint16 n)
{
    if (!list.contains(delimiter) && n >= 1)
        return n == 1 ? list : QString();
    if (list.size() > LargestPosition)
        return std::nullopt;
    const QString collapsed = modelCollapsed(list, delimiter);
    const QStringList items = modelItems(list, delimiter);
    if (n == 0)
        n = qint16(items.size());
    bool spacesOnly = true;
    for (const QChar c : collapsed)
        spacesOnly = spacesOnly && c == u' ';
    if (spacesOnly)
        return QString();
    if (!collapsed.contains(delimiter))
        return collapsed;
    return n >= 1 && n <= items.size() ? items.at(n - 1) : QString();
}

template<typename Result, typename Call>
void check(const char *routine, const std::optional<Result> &expected, Call &&call, qsizetype length)
{
    std::optional<Result> actual;
    try {
        actual = call();
    } catch (const std::overflow_error &) {
        if (expected)
            fail(routine, "threw the overflow error where the rule allows the call", length);
        return;
    }
    if (!expected)
        fail(routine, "did not throw the overflow error the rule asks for", length);
    if (*actual != *expected)
        fail(routine, "gave a result other than the rule's", length);
}

// Text from the input: a piece, repeated to reach the lengths where positions run out.
QString consumeText(FuzzedDataProvider &provider)
{
    const QString piece = QString::fromStdString(provider.ConsumeRandomLengthString(48));
    const int length = provider.ConsumeIntegralInRange<int>(0, 7);
    const int repeat = length == 0 ? provider.ConsumeIntegralInRange<int>(0, 40000)
        : length == 1              ? provider.ConsumeIntegralInRange<int>(0, 300)
                                   : 1;
    const int cap = piece.isEmpty() ? 0 : int(qMin<qsizetype>(repeat, 40000 / piece.size() + 1));
    const QString tail = QString::fromStdString(provider.ConsumeRandomLengthString(16));
    return piece.repeated(cap) + tail;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider provider(data, size);
    const QString delimiterText = QString::fromStdString(provider.ConsumeBytesAsString(1));
    const QChar delimiter = delimiterText.isEmpty() || provider.ConsumeBool() ? QChar(u';') : delimiterText.at(0);
    const QString list = consumeText(provider);
    const qint16 n =
        provider.ConsumeBool() ? provider.ConsumeIntegralInRange<qint16>(0, 6) : provider.ConsumeIntegral<qint16>();

    check<qint16>(
        "CountTokens", modelCount(list, delimiter), [&] { return Tokens::CountTokens(list, delimiter); }, list.size());
    if (n >= 0) {
        check<QString>(
            "GetToken", modelGetToken(list, delimiter, n), [&] { return Tokens::GetToken(list, delimiter, n); },
            list.size());
    } else {
        try {
            (void)Tokens::GetToken(list, delimiter, n);
        } catch (const std::overflow_error &) {
        }
    }

    QString search = QString::fromStdString(provider.ConsumeRandomLengthString(8));
    if (search.isEmpty())
        search = QString(2, delimiter);
    const QString replacement = QString::fromStdString(provider.ConsumeRandomLengthString(8));
    check<QString>(
        "ReplaceText", modelReplace(list, search, replacement),
        [&] { return Tokens::ReplaceText(list, search, replacement); }, list.size());
    return 0;
}
