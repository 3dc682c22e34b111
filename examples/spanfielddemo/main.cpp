// SPDX-License-Identifier: GPL-3.0-or-later
#include "spanfielddemo.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SpanfieldDemo demo;
    demo.show();
    return app.exec();
}
