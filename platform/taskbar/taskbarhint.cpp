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
#include <vector>
#endif

namespace TaskbarHint {

#if defined(VESPERON_HAVE_XCB)
namespace {

template<typename T>
using Reply = std::unique_ptr<T, decltype(&free)>;

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    const Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(qstrlen(name)), name), nullptr),
        &free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

xcb_window_t rootOf(xcb_connection_t *connection, xcb_window_t window)
{
    const Reply<xcb_get_geometry_reply_t> reply(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr), &free);
    return reply ? reply->root : xcb_window_t(XCB_WINDOW_NONE);
}

// The window is not shown: its _NET_WM_STATE is still the client's to write.
void writeState(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t state, xcb_atom_t skipTaskbar, bool keep)
{
    const Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(connection, xcb_get_property(connection, 0, window, state, XCB_ATOM_ATOM, 0, 1024),
                               nullptr),
        &free);
    std::vector<xcb_atom_t> atoms;
    if (reply && reply->format == 32) {
        const auto *values = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply.get()));
        atoms.assign(values, values + xcb_get_property_value_length(reply.get()) / int(sizeof(xcb_atom_t)));
    }
    atoms.erase(std::remove(atoms.begin(), atoms.end(), skipTaskbar), atoms.end());
    if (keep)
        atoms.push_back(skipTaskbar);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, state, XCB_ATOM_ATOM, 32, uint32_t(atoms.size()),
                        atoms.data());
}

// The window is shown: the window manager owns its _NET_WM_STATE and is asked to change it.
void askWindowManager(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t state, xcb_atom_t skipTaskbar,
                      bool keep)
{
    constexpr uint32_t Remove = 0;
    constexpr uint32_t Add = 1;
    constexpr uint32_t FromApplication = 1;
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = state;
    message.data.data32[0] = keep ? Add : Remove;
    message.data.data32[1] = skipTaskbar;
    message.data.data32[3] = FromApplication;
    xcb_send_event(connection, 0, rootOf(connection, window),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&message));
}

} // namespace
#endif

void keepOutOfTaskbar(QWidget *window, bool keep)
{
#if defined(Q_OS_WIN)
    const HWND handle = reinterpret_cast<HWND>(window->winId());
    const LONG_PTR style = GetWindowLongPtrW(handle, GWL_EXSTYLE);
    SetWindowLongPtrW(handle, GWL_EXSTYLE, keep ? style | WS_EX_TOOLWINDOW : style & ~LONG_PTR(WS_EX_TOOLWINDOW));
#elif defined(VESPERON_HAVE_XCB)
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || (!keep && !window->testAttribute(Qt::WA_WState_Created)))
        return;
    xcb_connection_t *connection = x11->connection();
    const auto id = xcb_window_t(window->winId());
    const xcb_atom_t state = internAtom(connection, "_NET_WM_STATE");
    const xcb_atom_t skipTaskbar = internAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
    if (state == XCB_ATOM_NONE || skipTaskbar == XCB_ATOM_NONE)
        return;
    if (window->isVisible())
        askWindowManager(connection, id, state, skipTaskbar, keep);
    else
        writeState(connection, id, state, skipTaskbar, keep);
    xcb_flush(connection);
#else
    Q_UNUSED(window);
    Q_UNUSED(keep);
#endif
}

} // namespace TaskbarHint
