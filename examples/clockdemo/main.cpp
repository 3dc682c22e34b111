// SPDX-License-Identifier: GPL-3.0-or-later
#include "clockdemowindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    ClockDemoWindow window;
    window.show();
    return app.exec();
}
