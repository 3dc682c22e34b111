// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "durix_export.h"

#include <QChar>
#include <QString>

// String routines for lists of items separated by one delimiter character, such as the caption
// list "T;h;m;s" of Spanfield. A run of adjacent delimiters counts as one, so empty items occur
// only first or last; an empty list has one empty item.
//
// Positions and lengths are 16-bit: collapsing or counting a list longer than 32767 characters,
// or finding a search string beyond position 32767, throws std::overflow_error.
namespace Tokens {

// text with every occurrence of search (never empty) replaced; the search goes on after each
// inserted replacement, so a replacement is never searched again.
DURIX_EXPORT QString ReplaceText(const QString &text, const QString &search, const QString &replacement);

// The number of items in list.
DURIX_EXPORT qint16 CountTokens(const QString &list, QChar delimiter);

// Item n of list (counted from 1), untrimmed; n = 0 gives the last item, an n beyond the items
// gives the empty string.
DURIX_EXPORT QString GetToken(const QString &list, QChar delimiter, qint16 n);

} // namespace Tokens
