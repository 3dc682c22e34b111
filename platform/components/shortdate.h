// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vesperon_components_export.h"

#include <QDate>
#include <QLocale>
#include <QString>

// Dates as text in a locale's short date form, the form in which the window hands dates to the
// date entry and the entry shows them.
//
// Many locales write the year with two digits ("12/10/26"). Such a year is read into the hundred
// years from 50 years before to 49 years after the reference year, so that the text of a date
// near today always reads back as that date (with reference year 2026: "75" is 2075, "76" is 1976).
namespace ShortDate {

// The locale's short date format with the year widened to four digits, for showing a date
// without losing its century.
VESPERON_COMPONENTS_EXPORT QString displayFormat(const QLocale &locale);

// The date in the locale's short date form, as the locale writes it.
VESPERON_COMPONENTS_EXPORT QString toText(QDate date, const QLocale &locale);

// The date the text holds in the locale's short date form or in the four-digit form of
// displayFormat(), with blanks around it ignored; an invalid QDate when it holds neither.
VESPERON_COMPONENTS_EXPORT QDate fromText(const QString &text, const QLocale &locale, int referenceYear);

} // namespace ShortDate
