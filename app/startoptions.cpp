// SPDX-License-Identifier: GPL-3.0-or-later
#include "startoptions.h"

#include "deadlinetext.h"

#include <QCommandLineParser>

namespace {

struct OptionNames
{
    const char *name;
    const char *valueName;
    const char *description;
};

constexpr OptionNames Options[] = {
    {"shutdown-at", "time", "Shut down at a time of day (23:30) or a date and time (2026-12-24T18:00)."},
    {"restart-at", "time", "Restart at a time of day or a date and time."},
    {"shutdown-in", "span", "Shut down after a span of time: 90s, 45m, 2h, 1h30m."},
    {"restart-in", "span", "Restart after a span of time."},
    {"postpone", "span", "Move the running countdown's deadline later by a span of time."},
    {"cancel", nullptr, "Disarm the running countdown."},
    {"status", nullptr, "Print the armed action, its deadline and the time left, or \"disarmed\"."},
    {"dry-run", nullptr, "Print every session-end request instead of sending it."},
};

void addOptions(QCommandLineParser &parser)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Ends the desktop session at a deadline.\n"
                       "Without options Vesperon opens its window, or brings forward the one already running.\n"
                       "The switches -1 to -4 log off (-1, forced -2) or shut down (-3, forced -4) at once."));
    for (const OptionNames &option : Options) {
        QCommandLineOption parsed(QString::fromLatin1(option.name), QString::fromLatin1(option.description));
        if (option.valueName)
            parsed.setValueName(QString::fromLatin1(option.valueName));
        parser.addOption(parsed);
    }
    parser.addHelpOption();
    parser.addVersionOption();
}

bool takesValue(QStringView argument)
{
    const QStringView name = argument.mid(2);
    for (const OptionNames &option : Options) {
        if (option.valueName && name == QLatin1String(option.name))
            return true;
    }
    return false;
}

bool isOwn(const QString &argument)
{
    if (argument == u"-h" || argument == u"-v")
        return true;
    return argument.size() > 2 && argument.startsWith(u"--") && argument.at(2).isLetter();
}

} // namespace

QString StartOptions::usage()
{
    QCommandLineParser parser;
    addOptions(parser);
    return parser.helpText();
}

StartOptions StartOptions::read(const QStringList &arguments, const QDateTime &now)
{
    StartOptions options;
    QStringList own{arguments.value(0)};
    QStringList legacy;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (!isOwn(argument)) {
            legacy << argument;
            continue;
        }
        own << argument;
        if (!argument.contains(u'=') && takesValue(argument) && i + 1 < arguments.size())
            own << arguments.at(++i);
    }
    options.m_legacyText = legacy.join(u' ');

    QCommandLineParser parser;
    addOptions(parser);
    if (!parser.parse(own)) {
        options.m_error = parser.errorText();
        return options;
    }
    options.m_dryRun = parser.isSet(QStringLiteral("dry-run"));

    QStringList requests;
    for (const char *name : {"shutdown-at", "restart-at", "shutdown-in", "restart-in", "postpone", "cancel", "status",
                             "help", "help-all", "version"}) {
        if (parser.isSet(QString::fromLatin1(name)))
            requests << QStringLiteral("--") + QLatin1String(name);
    }
    if (requests.size() > 1) {
        options.m_error = QStringLiteral("Give only one of %1.").arg(requests.join(QStringLiteral(", ")));
        return options;
    }
    if (requests.isEmpty())
        return options;

    const QString request = requests.constFirst().mid(2);
    const QString value = parser.value(request);
    if (request.startsWith(u"help")) {
        options.m_request = Request::Help;
    } else if (request == u"version") {
        options.m_request = Request::Version;
    } else if (request == u"cancel") {
        options.m_request = Request::Cancel;
    } else if (request == u"status") {
        options.m_request = Request::Status;
    } else if (request == u"postpone") {
        const std::optional<qint64> span = DeadlineText::parseSpan(value);
        if (!span || *span == 0) {
            options.m_error = QStringLiteral("Cannot read the span \"%1\" (try 10m, 90s or 1h30m).").arg(value);
            return options;
        }
        options.m_request = Request::Postpone;
        options.m_postponeSeconds = *span;
    } else {
        options.m_request = Request::Arm;
        options.m_action = request.startsWith(u"shutdown") ? Action::ShutDown : Action::Restart;
        if (request.endsWith(u"-in")) {
            const std::optional<qint64> span = DeadlineText::parseSpan(value);
            if (!span) {
                options.m_error = QStringLiteral("Cannot read the span \"%1\" (try 45m, 90s or 1h30m).").arg(value);
                return options;
            }
            options.m_deadline = now.addSecs(*span);
        } else {
            options.m_deadline = DeadlineText::parseDeadline(value, now);
            if (!options.m_deadline.isValid()) {
                options.m_error =
                    QStringLiteral("Cannot read the time \"%1\" (try 23:30 or 2026-12-24T18:00).").arg(value);
                return options;
            }
            if (options.m_deadline < now) {
                options.m_error = QStringLiteral("The deadline %1 has passed.")
                                      .arg(options.m_deadline.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
                return options;
            }
        }
    }
    return options;
}
