// SPDX-License-Identifier: GPL-3.0-or-later
#include "shortdate.h"

#include <QRegularExpression>

namespace {

bool hasTwoDigitYear(const QString &format)
{
    return format.contains(QLatin1String("yy")) && !format.contains(QLatin1String("yyyy"));
}

} // namespace

namespace ShortDate {

QString displayFormat(const QLocale &locale)
{
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (hasTwoDigitYear(format))
        format.replace(QRegularExpression(QStringLiteral("y+")), QStringLiteral("yyyy"));
    return format;
}

QString toText(QDate date, const QLocale &locale)
{
    return locale.toString(date, QLocale::ShortFormat);
}

QDate fromText(const QString &text, const QLocale &locale, int referenceYear)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return {};

    const QString shortFormat = locale.dateFormat(QLocale::ShortFormat);
    QDate date = locale.toDate(trimmed, shortFormat);
    if (date.isValid() && hasTwoDigitYear(shortFormat)) {
        const int lowest = referenceYear - 50;
        int year = lowest - ((lowest % 100) + 100) % 100 + date.year() % 100;
        if (year < lowest)
            year += 100;
        return QDate(year, date.month(), date.day());
    }
    if (!date.isValid())
        date = locale.toDate(trimmed, displayFormat(locale));
    return date;
}

} // namespace ShortDate
