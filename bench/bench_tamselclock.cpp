// SPDX-License-Identifier: GPL-3.0-or-later
// The cost of one redraw of the analog clock at the size of Vesperon's main window (358 x 358
// pixels) with the clock's stored look there, plain and with a 500 x 500 face picture stretched
// over it; what showing it costs; and the dearest redraws found among the extremes of the tick and
// hand properties. Run by hand: bench_tamselclock [-median N | -callgrind] [QtTest options].
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
    void paintProgramLookWithPicture();
    void secondOfProgramClock();
    void dearestRedraws_data();
    void dearestRedraws();

private:
    void applyProgramLook();
    void applyProgramPicture();

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

void BenchTamselClock::applyProgramPicture()
{
    QImage picture(500, 500, QImage::Format_RGB32);
    picture.fill(QColor(0x40, 0, 0));
    {
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(0xF0, 0xF0, 0xE0));
        p.drawEllipse(QPointF(250, 230), 150, 170);
    }
    m_clock->setPicture(picture);
}

void BenchTamselClock::refreshProgramLookWithPicture()
{
    applyProgramLook();
    applyProgramPicture();
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

// Showing the face once: the control's surround and the face inside its disc.
void BenchTamselClock::paintProgramLookWithPicture()
{
    applyProgramLook();
    applyProgramPicture();
    QBENCHMARK {
        m_clock->repaint();
    }
}

// What the program's clock costs once a second: the tick that finds a new second, the redraw and
// showing what changed.
void BenchTamselClock::secondOfProgramClock()
{
    applyProgramLook();
    applyProgramPicture();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    QBENCHMARK {
        m_time->advance(1000);
        m_clock->handleClockTick();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    }
}

void BenchTamselClock::dearestRedraws_data()
{
    QTest::addColumn<int>("side");
    QTest::addColumn<QList<int>>("values"); // SmallUnits, BigUnits, UnitPosition, UnitWidth

    // The values the faults were reported with, then the dearest found by a search over the
    // extremes and some values between them of the four at 200, 358 and 2000 pixels.
    QTest::newRow("reported: 200 px, all 32767") << 200 << QList<int>{32767, 32767, 32767, 32767};
    QTest::newRow("dearest: 2000 px, thin lines through the centre") << 2000 << QList<int>{2500, 2001, -32768, -32768};
    QTest::newRow("2000 px, spokes of two pixels") << 2000 << QList<int>{2000, 2001, -32768, 2};
    QTest::newRow("2000 px, dense lines through the centre") << 2000 << QList<int>{32767, 32767, -32768, -32768};
    QTest::newRow("358 px, broad dense ticks") << 358 << QList<int>{32767, 32767, 1000, 1000};
}

// A redraw after a change of look (the tick colour), so that every redraw draws the ticks anew,
// with values that make the dearest ticks.
void BenchTamselClock::dearestRedraws()
{
    QFETCH(int, side);
    QFETCH(QList<int>, values);
    // The values are set on a clock of one pixel, where they cost nothing to draw.
    m_clock->setGeometry(0, 0, 1, 1);
    m_clock->setSmallUnits(values.at(0));
    m_clock->setBigUnits(values.at(1));
    m_clock->setUnitPosition(values.at(2));
    m_clock->setUnitWidth(values.at(3));
    m_host->resize(side + 20, side + 20);
    m_clock->setGeometry(0, 0, side, side);
    QCOMPARE(m_clock->size(), QSize(side, side));
    bool dark = true;
    QBENCHMARK {
        dark = !dark;
        m_clock->setUnitColor(dark ? 0 : ValueRules::rgbColor(0, 0, 128));
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
