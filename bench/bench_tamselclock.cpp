// SPDX-License-Identifier: GPL-3.0-or-later
// The cost of one redraw of the analog clock at the size of Vesperon's main window (358 x 358
// pixels) with the clock's stored look there, plain and with a 500 x 500 face picture stretched
// over it. Run by hand: bench_tamselclock [-median N] [QtTest options].
#include "manualtimesource.h"
#include "tamselclock.h"
#include "valuerules.h"

#include <QPainter>
#include <QtTest>

class BenchTamselClock : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void refreshDefaultLook();
    void refreshProgramLook();
    void refreshProgramLookWithPicture();
    void timerTickWithoutChange();

private:
    void applyProgramLook();

    std::unique_ptr<ManualTimeSource> m_time;
    std::unique_ptr<QWidget> m_host;
    TamselClock *m_clock = nullptr;
};

void BenchTamselClock::init()
{
    m_time = std::make_unique<ManualTimeSource>(QDateTime(QDate(2026, 6, 1), QTime(10, 8, 37, 250)));
    m_host = std::make_unique<QWidget>();
    m_host->resize(400, 400);
    m_clock = new TamselClock(m_time.get(), m_host.get());
    m_clock->setGeometry(0, 0, 358, 358);
    m_host->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));
}

void BenchTamselClock::cleanup()
{
    m_host.reset();
    m_time.reset();
}

void BenchTamselClock::applyProgramLook()
{
    const quint32 darkRed = ValueRules::rgbColor(0x40, 0, 0);
    m_clock->setBackColor(darkRed);
    m_clock->setFaceColor(darkRed);
    m_clock->setHourNeedleWidth(10);
    m_clock->setMinuteNeedleWidth(5);
    m_clock->setSecondNeedleWidth(2);
    m_clock->setUnitWidth(6);
    m_clock->setUnitColor(ValueRules::rgbColor(255, 192, 128));
    m_clock->setMinuteNeedleLength(75);
    m_clock->setHourNeedleLength(48);
    m_clock->setSecondNeedleLength(86);
    m_clock->setMinuteColor(ValueRules::rgbColor(192, 64, 0));
    m_clock->setSecondColor(ValueRules::rgbColor(255, 128, 0));
    m_clock->setHourColor(ValueRules::rgbColor(192, 64, 0));
}

void BenchTamselClock::refreshDefaultLook()
{
    QBENCHMARK {
        m_time->advance(1000);
        m_clock->Refresh();
    }
}

void BenchTamselClock::refreshProgramLook()
{
    applyProgramLook();
    QBENCHMARK {
        m_time->advance(1000);
        m_clock->Refresh();
    }
}

void BenchTamselClock::refreshProgramLookWithPicture()
{
    applyProgramLook();
    QImage picture(500, 500, QImage::Format_RGB32);
    picture.fill(QColor(0x40, 0, 0));
    {
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(0xF0, 0xF0, 0xE0));
        p.drawEllipse(QPointF(250, 230), 150, 170);
    }
    m_clock->setPicture(picture);
    QBENCHMARK {
        m_time->advance(1000);
        m_clock->Refresh();
    }
}

void BenchTamselClock::timerTickWithoutChange()
{
    applyProgramLook();
    m_clock->handleClockTick();
    QBENCHMARK {
        m_clock->handleClockTick();
    }
}

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BenchTamselClock bench;
    return QTest::qExec(&bench, argc, argv);
}

#include "bench_tamselclock.moc"
