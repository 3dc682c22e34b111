// SPDX-License-Identifier: GPL-3.0-or-later
#include "audiothreadplayer.h"
#include "commandline.h"
#include "controlservice.h"
#include "countdownnotices.h"
#include "drysessionbackend.h"
#include "frmshutdown.h"
#include "runninginstance.h"
#include "sessionbackend.h"
#include "sleepwatcher.h"
#include "startoptions.h"

#include <QApplication>
#include <QDBusObjectPath>
#include <QDBusSignature>
#include <QDBusUnixFileDescriptor>
#include <QDBusVariant>
#include <QTextStream>

#include <memory>
#include <optional>

namespace {
// A start that only talks to the running Vesperon needs no display, so it makes no connection to one.
bool onlyTalksToTheRunningVesperon(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    switch (StartOptions::read(arguments, QDateTime::currentDateTime()).request()) {
    case StartOptions::Request::Postpone:
    case StartOptions::Request::Cancel:
    case StartOptions::Request::Status:
        return true;
    default:
        return false;
    }
}
} // namespace

int main(int argc, char *argv[])
{
    const std::unique_ptr<QCoreApplication> app = onlyTalksToTheRunningVesperon(argc, argv)
        ? std::make_unique<QCoreApplication>(argc, argv)
        : std::make_unique<QApplication>(argc, argv);
    // Qt 6.4 registers the D-Bus types lazily, and a message that arrives on D-Bus's own thread
    // before that can find them unknown; registered here, before any connection, they always exist.
    qRegisterMetaType<QDBusObjectPath>();
    qRegisterMetaType<QDBusSignature>();
    qRegisterMetaType<QDBusVariant>();
    qRegisterMetaType<QDBusUnixFileDescriptor>();
    QCoreApplication::setApplicationName(QStringLiteral("Vesperon"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VESPERON_VERSION));
    // Wayland compositors and X11 taskbars find the name and icon through the desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.vesperon.Vesperon"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    const StartOptions options = StartOptions::read(QCoreApplication::arguments(), QDateTime::currentDateTime());
    if (!options.errorText().isEmpty()) {
        err << "vesperon: " << options.errorText() << '\n';
        return 2;
    }
    switch (options.request()) {
    case StartOptions::Request::Help:
        out << StartOptions::usage();
        return 0;
    case StartOptions::Request::Version:
        out << "Vesperon " << VESPERON_VERSION << '\n';
        return 0;
    case StartOptions::Request::Postpone:
    case StartOptions::Request::Cancel:
    case StartOptions::Request::Status:
        return RunningInstance(QDBusConnection::sessionBus()).carryOut(options, out, err);
    case StartOptions::Request::Open:
    case StartOptions::Request::Arm:
        break;
    }

    // One Vesperon per session: a start without legacy switches hands its request to the one that
    // runs. The legacy switches act at once in any case.
    QDBusConnection bus = QDBusConnection::sessionBus();
    RunningInstance running(bus);
    const CommandLine::Switches legacy = CommandLine::parse(options.legacyText());
    const bool actsAtOnce = legacy.logOff || legacy.forceLogOff || legacy.shutDown || legacy.forceShutDown;
    if (!actsAtOnce && running.isRunning())
        return running.carryOut(options, out, err);

    // Chosen once, before anything can ask for a session end.
    const std::unique_ptr<SessionBackend> session = options.isDryRun() || qgetenv("VESPERON_DRY_RUN") == "1"
        ? std::make_unique<DrySessionBackend>()
        : SessionBackend::createSystem();
    AudioThreadPlayer player;

    frmShutdown window(*session, player, QCoreApplication::applicationDirPath());
    window.load(options.legacyText());
    ControlService service(window);
    if (bus.isConnected() && service.exportOn(bus) && !bus.registerService(RunningInstance::ServiceName)
        && running.isRunning())
        return running.carryOut(options, out, err);
    if (options.request() == StartOptions::Request::Arm) {
        if (const QString refusal = window.armFor(options.action(), options.deadline()); !refusal.isEmpty()) {
            err << "vesperon: " << refusal << '\n';
            return 2;
        }
    }

    // What the first picture of the window does not need starts once it is drawn: the notices
    // outside the window and, on the system bus, logind's answers and the watch for waking from
    // sleep, after which a countdown that slept over its deadline acts at once.
    std::optional<CountdownNotices> notices;
    std::optional<SleepWatcher> sleep;
    QObject::connect(&window, &frmShutdown::firstDrawn, &window, [&] {
        notices.emplace(window, bus, QDBusConnection::systemBus());
        sleep.emplace(QDBusConnection::systemBus());
        QObject::connect(&*sleep, &SleepWatcher::resumed, &window, &frmShutdown::resumedFromSleep);
    });
    window.show();
    return QCoreApplication::exec();
}
