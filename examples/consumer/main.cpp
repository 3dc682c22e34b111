// SPDX-License-Identifier: GPL-3.0-or-later
// A window with a duration entry under an analog clock, built against the installed widgets.
// With --print it shows nothing and prints what the two widgets hold.
#include <spanfield.h>
#include <tamselclock.h>

#include <QApplication>
#include <QTextStream>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Clock and duration"));
    auto *layout = new QVBoxLayout(&window);
    auto *clock = new TamselClock(&window);
    clock->resize(200, 200);
    auto *entry = new Spanfield(&window);
    entry->setProperty("SecondsPastMidnight", 3661.0f);
    layout->addWidget(clock, 1);
    layout->addWidget(entry);

    if (app.arguments().contains(QStringLiteral("--print"))) {
        QTextStream out(stdout);
        out << "Spanfield SecondsPastMidnight=" << entry->property("SecondsPastMidnight").toFloat()
            << " ShowSeconds=" << entry->property("ShowSeconds").toBool() << '\n'
            << "TamselClock SmallUnits=" << clock->property("SmallUnits").toInt()
            << " BigUnits=" << clock->property("BigUnits").toInt() << '\n';
        return 0;
    }
    window.resize(240, 300);
    window.show();
    return app.exec();
}
