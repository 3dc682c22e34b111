// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// Keeps a top-level window out of the taskbar, for a program whose tray icon stands for it, and
// gives it its taskbar button back.
//
// On X11 the hint is _NET_WM_STATE_SKIP_TASKBAR: written into the window's _NET_WM_STATE while the
// window is not shown (Qt keeps it when it maps the window), asked of the window manager with a
// _NET_WM_STATE client message to the root window while it is shown. Windows gives the window the
// tool-window style, which the taskbar reads when the window is next shown. Wayland offers a client
// no such hint: there the call does nothing and the window keeps its button.
namespace TaskbarHint {

void keepOutOfTaskbar(QWidget *window, bool keep);

} // namespace TaskbarHint
