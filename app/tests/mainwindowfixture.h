// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "frmshutdown.h"

#include <hostedcontrol.h>
#include <manualtimesource.h>
#include <messageboxhook.h>
#include <perchlet.h>
#include <recordingsessionbackend.h>
#include <recordingsoundplayer.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

namespace MainWindowTest {

inline const QDate Today(2026, 12, 10);
inline const QStringList Sounds{"shereIam.wav", "skill.wav", "ssurvive.wav", "s3mins.wav", "s1min.wav", "s0mdown.wav"};

// One main window with the recording session backend, a recording player, sound files in a
// program folder of its own, a clock that only moves when told, and every box answered.
class Fixture
{
public:
    explicit Fixture(const QTime &start, const QString &argumentText = QString())
        : time(QDateTime(Today, start))
    {
        for (const QString &name : Sounds) {
            QDir(folder.path()).mkpath(QStringLiteral("sound"));
            QFile file(folder.filePath(QStringLiteral("sound/") + name));
            file.open(QIODevice::WriteOnly);
            file.write("RIFF....");
        }
        previousHandler = MessageBoxHook::setHandler([this](const MessageBoxRequest &request) {
            boxes.append(request.text);
            return answer;
        });
        window = std::make_unique<frmShutdown>(session, player, folder.path(), &time);
        window->load(argumentText);
    }
    ~Fixture() { MessageBoxHook::setHandler(previousHandler); }

    QRadioButton *option(int index) const
    {
        return window->findChild<QRadioButton *>(QStringLiteral("optShutdown_%1").arg(index));
    }
    QString remainsText() const { return window->findChild<QLabel *>(QStringLiteral("lblRemains"))->text(); }
    QLabel *pistol() const { return window->findChild<QLabel *>(QStringLiteral("imgPistol")); }
    QStringList played() const
    {
        QStringList names;
        for (const auto &request : player.requests())
            names.append(QFileInfo(request.path).fileName() + (request.wait ? QStringLiteral(" (wait)") : QString()));
        return names;
    }
    QString requests() const { return QString::fromStdString(session.summary()); }

    // The deadline as a user would type it: today (or the given date) and a time of day.
    void setDeadline(qint32 secondsFromStart, int dayOffset = 0)
    {
        const qint32 start = qint32(time.secondsPastMidnight());
        window->dateEdit()->setProperty("Value", Today.addDays(dayOffset));
        window->timeEdit()->setProperty("SecondsPastMidnight", float(start + secondsFromStart));
    }
    void arm(int index)
    {
        option(index)->click();
        player.clear();
    }
    // Half a second of wall time: the timer fires once, if it runs.
    void tick()
    {
        time.advance(500);
        if (window->timTControl()->isActive())
            window->timTControl_Timer();
    }
    void run(int seconds)
    {
        for (int i = 0; i < 2 * seconds; ++i)
            tick();
    }

    QTemporaryDir folder;
    ManualTimeSource time;
    RecordingSessionBackend session{0x0A280105u};
    RecordingSoundPlayer player;
    std::unique_ptr<frmShutdown> window;
    QStringList boxes;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
    MessageBoxHook::Handler previousHandler;
};

} // namespace MainWindowTest
