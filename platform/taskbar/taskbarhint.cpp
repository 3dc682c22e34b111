// SPDX-License-Identifier: GPL-3.0-or-later
#include "taskbarhint.h"

#include <QGuiApplication>
#include <QWidget>

#if defined(Q_OS_WIN)
#include <windows.h>
#elif defined(VESPERON_HAVE_XCB)
#include <xcb/xcb.h>

#include <algorithm>
#include <memory>
#endif

namespace TaskbarHint {

#if defined(VESPERON_HAVE_XCB)
namespace {

xcb_connection_t *x11Connection()
{
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection, 0, uint16_t(qstrlen(name)), name);
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

} // namespace
#endif

void keepOutOfTaskbar(QWidget *window)
{
#if defined(Q_OS_WIN)
    const HWND handle = reinterpret_cast<HWND>(window->winId());
    SetWindowLongPtrW(handle, GWL_EXSTYLE, GetWindowLongPtrW(handle, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
#elif defined(VESPERON_HAVE_XCB)
    xcb_connection_t *connection = x11Connection();
    if (!connection)
        return;
    const auto id = xcb_window_t(window->winId());
    const xcb_atom_t state = internAtom(connection, "_NET_WM_STATE");
    const xcb_atom_t skipTaskbar = internAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
    if (state == XCB_ATOM_NONE || skipTaskbar == XCB_ATOM_NONE)
        return;
    // Qt merges its own states into what the window already carries when it maps it.
    xcb_change_property(connection, XCB_PROP_MODE_APPEND, id, state, XCB_ATOM_ATOM, 32, 1, &skipTaskbar);
    xcb_flush(connection);
#else
    Q_UNUSED(window);
#endif
}

bool isKeptOutOfTaskbar(const QWidget *window)
{
#if defined(Q_OS_WIN)
    return GetWindowLongPtrW(reinterpret_cast<HWND>(window->winId()), GWL_EXSTYLE) & WS_EX_TOOLWINDOW;
#elif defined(VESPERON_HAVE_XCB)
    xcb_connection_t *connection = x11Connection();
    if (!connection)
        return false;
    const xcb_atom_t state = internAtom(connection, "_NET_WM_STATE");
    const xcb_atom_t skipTaskbar = internAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection, 0, xcb_window_t(window->winId()), state, XCB_ATOM_ATOM, 0, 64);
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&free)> reply(
        xcb_get_property_reply(connection, cookie, nullptr), &free);
    if (!reply || reply->format != 32)
        return false;
    const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / int(sizeof(xcb_atom_t));
    return std::find(atoms, atoms + count, skipTaskbar) != atoms + count;
#else
    Q_UNUSED(window);
    return false;
#endif
}

} // namespace TaskbarHint
