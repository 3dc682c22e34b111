// SPDX-License-Identifier: GPL-3.0-or-later
#include "dateedit.h"

#include "shortdate.h"

#include <controlregistry.h>

#include <QDateEdit>
#include <QEvent>
#include <QHBoxLayout>

namespace {

const ControlRegistration registration(QStringLiteral("Calvane.DateEdit"),
                                       [](QWidget *parent) { return new DateEdit(parent); });

} // namespace

DateEdit::DateEdit(QWidget *parent)
    : HostedControl(parent)
    , m_edit(new QDateEdit(this))
{
    m_edit->setObjectName(QStringLiteral("dateField"));
    m_edit->setCalendarPopup(true);
    m_edit->setDate(QDate::currentDate());
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_edit);
    setFocusProxy(m_edit);
    connect(m_edit, &QDateEdit::dateChanged, this, [this](QDate date) {
        if (date != m_edit->minimumDate())
            m_edit->setSpecialValueText(QString());
    });
    applyLocale();
}

DateEdit::~DateEdit() = default;

QVariant DateEdit::value() const
{
    return date();
}

QDate DateEdit::date() const
{
    if (holdsNoDate())
        return {};
    return m_edit->date();
}

void DateEdit::setValue(const QVariant &value)
{
    QDate date;
    if (value.userType() == QMetaType::QDate || value.userType() == QMetaType::QDateTime)
        date = value.toDate();
    else
        date = ShortDate::fromText(value.toString(), locale(), QDate::currentDate().year());

    if (date.isValid() && date >= m_edit->minimumDate() && date <= m_edit->maximumDate()) {
        m_edit->setSpecialValueText(QString());
        m_edit->setDate(date);
        return;
    }
    // The field cannot hold a text that is no date; it shows it as its special value instead.
    const QString text = value.toString();
    m_edit->setSpecialValueText(text.isEmpty() ? QStringLiteral(" ") : text);
    m_edit->setDate(m_edit->minimumDate());
}

bool DateEdit::holdsNoDate() const
{
    return !m_edit->specialValueText().isEmpty() && m_edit->date() == m_edit->minimumDate();
}

void DateEdit::readProperties(const PropertyBag &) { }

void DateEdit::writeProperties(PropertyBag &) const { }

void DateEdit::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LocaleChange)
        applyLocale();
    HostedControl::changeEvent(event);
}

void DateEdit::applyLocale()
{
    m_edit->setLocale(locale());
    m_edit->setDisplayFormat(ShortDate::displayFormat(locale()));
}
