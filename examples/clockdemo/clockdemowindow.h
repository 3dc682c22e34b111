// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimeEdit;
class TamselClock;

// A window around one analog clock: it switches between real time, the stopwatch (Start, Stop,
// Reset, with the stopped time beside them) and a fixed time, and logs the clock's events and
// change notices.
class ClockDemoWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ClockDemoWindow)

public:
    explicit ClockDemoWindow(QWidget *parent = nullptr);
    ~ClockDemoWindow() override;

private:
    void log(const QString &line);
    void showStoppedTime();
    void applyProgramLook(bool on);

    TamselClock *m_clock = nullptr;
    QRadioButton *m_realTime = nullptr;
    QRadioButton *m_stopwatch = nullptr;
    QRadioButton *m_fixedTime = nullptr;
    QPushButton *m_start = nullptr;
    QPushButton *m_stop = nullptr;
    QPushButton *m_reset = nullptr;
    QLabel *m_stoppedTime = nullptr;
    QTimeEdit *m_fixedTimeEdit = nullptr;
    QPlainTextEdit *m_log = nullptr;
};
