// SPDX-License-Identifier: GPL-3.0-or-later
// Creates the control that its argument names ("Durix.Spanfield", "Tamsel_Clock.TamselClock") through
// the control registry, without naming any class of the control's library, and prints its class.
#include <controlregistry.h>
#include <hostedcontrol.h>

#include <QApplication>
#include <QTextStream>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (app.arguments().size() != 2) {
        err << "usage: identifierhost PROGRAMMATIC-ID\n";
        return 2;
    }

    QWidget window;
    const QString programmaticId = app.arguments().at(1);
    QString errorString;
    HostedControl *control = ControlRegistry::instance().create(programmaticId, &window, &errorString);
    if (!control) {
        err << errorString << '\n';
        return 1;
    }
    out << programmaticId << " created: " << control->metaObject()->className() << '\n';
    return 0;
}
