// SPDX-License-Identifier: GPL-3.0-or-later
#include "messageboxhook.h"

namespace {
MessageBoxHook::Handler &currentHandler()
{
    static MessageBoxHook::Handler handler;
    return handler;
}
} // namespace

QMessageBox::StandardButton MessageBoxHook::show(const MessageBoxRequest &request)
{
    if (const Handler handler = currentHandler())
        return handler(request);
    QMessageBox box(request.icon, request.title, request.text, request.buttons, request.parent);
    if (request.defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(request.defaultButton);
    return QMessageBox::StandardButton(box.exec());
}

MessageBoxHook::Handler MessageBoxHook::setHandler(Handler handler)
{
    Handler previous = std::move(currentHandler());
    currentHandler() = std::move(handler);
    return previous;
}
