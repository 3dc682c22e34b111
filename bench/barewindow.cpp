// SPDX-License-Identifier: GPL-3.0-or-later
// The floor Vesperon's start-up and memory are measured against: a Qt window of the main window's
// size that only shows itself (bench/window_bench.py starts it beside Vesperon).
#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare Window"));
    window.resize(406, 544);
    window.show();
    return app.exec();
}
