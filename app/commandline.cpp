// SPDX-License-Identifier: GPL-3.0-or-later
#include "commandline.h"

#include <QStringList>

CommandLine::Switches CommandLine::parse(const QString &argumentText)
{
    const auto present = [&argumentText](const char *switchText) {
        return argumentText.contains(QLatin1String(switchText), Qt::CaseSensitive);
    };
    Switches switches;
    switches.noMessages = present("/NOMSG");
    switches.logOff = present("-1");
    switches.forceLogOff = present("-2");
    switches.shutDown = present("-3");
    switches.forceShutDown = present("-4");
    return switches;
}

QString CommandLine::helpText()
{
    return QStringList{
        QStringLiteral("Parameters for Start:"),
        QStringLiteral("-1       Start 'Log Off' automatically"),
        QStringLiteral("-2       Start 'Force Log Off' automatically"),
        QStringLiteral("-3       Start 'Shut Down' automatically"),
        QStringLiteral("-4       Start 'Force Shut Down' automatically"),
        QStringLiteral("/NOMSG   Show no messages."),
    }
        .join(QStringLiteral("\r\n"));
}
