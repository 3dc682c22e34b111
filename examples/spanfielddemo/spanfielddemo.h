// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QPlainTextEdit;
class Spanfield;

// A test container for Spanfield: the control as a host creates it, switches for its properties,
// and a log of its events as they happen.
class SpanfieldDemo final : public QWidget
{
    Q_OBJECT

public:
    explicit SpanfieldDemo(QWidget *parent = nullptr);

private:
    void log(const QString &line);

    Spanfield *m_control = nullptr;
    QPlainTextEdit *m_log = nullptr;
};
