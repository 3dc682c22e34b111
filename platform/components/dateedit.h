// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vesperon_components_export.h"

#include <hostedcontrol.h>

#include <QDate>
#include <QVariant>

class QDateEdit;

// The date entry: a date field with a calendar to pick from, showing the date in the locale's short
// date form (with a four-digit year). Hosts create it as "Calvane.DateEdit"; it stores nothing but
// the size its container gives it.
//
// Value is the date shown. It is written as a date or as text in the locale's short date form
// (two-digit years are placed around the current year, see ShortDate), and it reads back as a
// QDate: the date the user has last typed or picked, also while he is halfway through typing a
// new one. A written text that holds no date stays in the field as it was written and reads as an
// invalid QDate until a date is written, typed or picked.
class VESPERON_COMPONENTS_EXPORT DateEdit final : public HostedControl
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DateEdit)
    Q_CLASSINFO("ProgrammaticId", "Calvane.DateEdit")

    Q_PROPERTY(QVariant Value READ value WRITE setValue)

public:
    // The published property names, for hosts that address the control by name
    // (HostedControl::setPublishedProperty).
    struct Property
    {
        static constexpr char Value[] = "Value";
    };

    explicit DateEdit(QWidget *parent = nullptr);
    ~DateEdit() override;

    QVariant value() const;
    QDate date() const;
    void setValue(const QVariant &value);

    void readProperties(const PropertyBag &bag) override;
    void writeProperties(PropertyBag &bag) const override;

    // The date field inside, for the focus and for tests that type into it.
    QDateEdit *dateField() const { return m_edit; }

protected:
    void changeEvent(QEvent *event) override;

private:
    void applyLocale();
    bool holdsNoDate() const;

    QDateEdit *m_edit = nullptr;
};
