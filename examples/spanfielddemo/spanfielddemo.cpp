// SPDX-License-Identifier: GPL-3.0-or-later
#include "spanfielddemo.h"

#include <controlregistry.h>
#include <spanfield.h>

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTime>
#include <QVBoxLayout>

SpanfieldDemo::SpanfieldDemo(QWidget *parent)
    : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Spanfield"));
    auto *layout = new QVBoxLayout(this);

    QString error;
    m_control =
        qobject_cast<Spanfield *>(ControlRegistry::instance().create(QStringLiteral("Durix.Spanfield"), this, &error));
    Q_ASSERT(m_control);
    layout->addWidget(m_control, 0, Qt::AlignLeft);

    auto *form = new QFormLayout;
    layout->addLayout(form);
    const auto addSwitch = [&](const QString &name, bool initial, auto setter) {
        auto *box = new QCheckBox(this);
        box->setChecked(initial);
        connect(box, &QCheckBox::toggled, this, [this, setter](bool on) { (m_control->*setter)(on); });
        form->addRow(name, box);
    };
    addSwitch(QStringLiteral("ShowDays"), m_control->showDays(), &Spanfield::setShowDays);
    addSwitch(QStringLiteral("ShowSeconds"), m_control->showSeconds(), &Spanfield::setShowSeconds);
    addSwitch(QStringLiteral("Locked"), m_control->locked(), &Spanfield::setLocked);

    auto *captions = new QLineEdit(m_control->labelSeperator(), this);
    connect(captions, &QLineEdit::returnPressed, this,
            [this, captions] { m_control->setProperty("LabelSeperator", captions->text()); });
    form->addRow(QStringLiteral("LabelSeperator (Enter)"), captions);

    auto *seconds = new QDoubleSpinBox(this);
    seconds->setRange(-1e7, 1e9);
    seconds->setDecimals(2);
    auto *write = new QPushButton(QStringLiteral("Write SecondsPastMidnight"), this);
    connect(write, &QPushButton::clicked, this,
            [this, seconds] { m_control->setProperty("SecondsPastMidnight", float(seconds->value())); });
    auto *read = new QPushButton(QStringLiteral("Read"), this);
    connect(read, &QPushButton::clicked, this, [this] {
        log(QStringLiteral("SecondsPastMidnight = %1, DayCount = %2")
                .arg(m_control->secondsPastMidnight())
                .arg(m_control->dayCount()));
    });
    auto *row = new QHBoxLayout;
    row->addWidget(seconds);
    row->addWidget(write);
    row->addWidget(read);
    form->addRow(QStringLiteral("Seconds"), row);

    m_log = new QPlainTextEdit(this);
    m_log->setReadOnly(true);
    layout->addWidget(m_log, 1);

    connect(m_control, &Spanfield::Change, this, [this] { log(QStringLiteral("Change")); });
    connect(m_control, &Spanfield::Error, this,
            [this](qint16 &num, QString &msg) { log(QStringLiteral("Error(%1, \"%2\")").arg(num).arg(msg)); });
    connect(m_control, &Spanfield::DayOverflow, this,
            [this](qint16 &diffDays) { log(QStringLiteral("DayOverflow(%1)").arg(diffDays)); });
    resize(420, 360);
}

void SpanfieldDemo::log(const QString &line)
{
    m_log->appendPlainText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz  ")) + line);
}
