// SPDX-License-Identifier: GPL-3.0-or-later
// The floor Vesperon's start-up and memory are measured against: a Qt window of the main window's
// size that only shows itself (bench/window_bench.py starts it beside Vesperon). With --text it
// also shows a line of text and a button, which is what any window that draws text pays for its
// fonts.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare Window"));
    if (QApplication::arguments().contains(QStringLiteral("--text"))) {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(new QLabel(QStringLiteral("Time until Shutdown: 00:59:59")));
        layout->addWidget(new QPushButton(QStringLiteral("&Exit")));
    }
    window.resize(406, 544);
    window.show();
    return app.exec();
}
