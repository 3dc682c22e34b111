// SPDX-License-Identifier: GPL-3.0-or-later
#include "audiothreadplayer.h"
#include "commandline.h"
#include "drysessionbackend.h"
#include "frmshutdown.h"
#include "sessionbackend.h"
#include "sleepwatcher.h"

#include <QApplication>

#include <memory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vesperon"));

    const QStringList arguments = QCoreApplication::arguments();
    // Chosen once, before anything can ask for a session end.
    const std::unique_ptr<SessionBackend> session = CommandLine::isDryRun(arguments, qgetenv("VESPERON_DRY_RUN"))
        ? std::make_unique<DrySessionBackend>()
        : SessionBackend::createSystem();
    AudioThreadPlayer player;

    frmShutdown window(*session, player, QCoreApplication::applicationDirPath());
    window.load(CommandLine::argumentText(arguments));
    // A countdown that slept over its deadline acts as soon as the machine is awake again.
    const SleepWatcher sleep(QDBusConnection::systemBus());
    QObject::connect(&sleep, &SleepWatcher::resumed, &window, &frmShutdown::resumedFromSleep);
    window.show();
    return app.exec();
}
