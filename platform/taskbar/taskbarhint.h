// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// Keeps a top-level window out of the taskbar, for a program whose tray icon stands for it.
// Call before the window is first shown: on X11 it sets _NET_WM_STATE_SKIP_TASKBAR on the
// unmapped window, on Windows it gives the window the tool-window style.
namespace TaskbarHint {

void keepOutOfTaskbar(QWidget *window);

// Whether the window carries the hint (on X11, read back from the window's _NET_WM_STATE).
bool isKeptOutOfTaskbar(const QWidget *window);

} // namespace TaskbarHint
