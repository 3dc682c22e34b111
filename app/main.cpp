// SPDX-License-Identifier: GPL-3.0-or-later
#include "audiothreadplayer.h"
#include "drysessionbackend.h"
#include "frmshutdown.h"
#include "sessionbackend.h"
#include "sleepwatcher.h"
#include "startoptions.h"

#include <QApplication>

#include <cstdio>
#include <memory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vesperon"));
    QApplication::setApplicationVersion(QStringLiteral(VESPERON_VERSION));

    const StartOptions options = StartOptions::read(QCoreApplication::arguments(), QDateTime::currentDateTime());
    if (!options.errorText().isEmpty()) {
        std::fprintf(stderr, "vesperon: %s\n", qPrintable(options.errorText()));
        return 2;
    }
    if (options.request() == StartOptions::Request::Help) {
        std::fputs(qPrintable(StartOptions::usage()), stdout);
        return 0;
    }
    if (options.request() == StartOptions::Request::Version) {
        std::printf("Vesperon %s\n", VESPERON_VERSION);
        return 0;
    }
    // Chosen once, before anything can ask for a session end.
    const std::unique_ptr<SessionBackend> session = options.isDryRun() || qgetenv("VESPERON_DRY_RUN") == "1"
        ? std::make_unique<DrySessionBackend>()
        : SessionBackend::createSystem();
    AudioThreadPlayer player;

    frmShutdown window(*session, player, QCoreApplication::applicationDirPath());
    window.load(options.legacyText());
    // A countdown that slept over its deadline acts as soon as the machine is awake again.
    const SleepWatcher sleep(QDBusConnection::systemBus());
    QObject::connect(&sleep, &SleepWatcher::resumed, &window, &frmShutdown::resumedFromSleep);
    window.show();
    return app.exec();
}
