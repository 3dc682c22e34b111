// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vesperon_components_export.h"

#include <QAbstractNativeEventFilter>
#include <QDBusConnection>
#include <QObject>

class OrgKdeStatusNotifierWatcherInterface;

// Whether a system tray shows the program's tray icon now, and when that changes.
//
// Qt's tray icon reaches a tray in one of two ways, chosen once, when the program makes its first
// tray icon: through StatusNotifierItem when the watcher org.kde.StatusNotifierWatcher owns its name
// on the session bus and reports a registered host, through XEmbed on X11 otherwise. A TrayPresence
// made at that moment takes the same way (kind()) and follows the trays of that way only:
//
// - StatusNotifierItem: the watcher's name getting or losing its owner, and its
//   StatusNotifierHostRegistered and StatusNotifierHostUnregistered signals, after each of which it
//   reads IsStatusNotifierHostRegistered.
// - XEmbed: the owner of the screen's _NET_SYSTEM_TRAY_S<n> selection; a new tray announces itself
//   with a MANAGER client message on the root window, a tray that goes away destroys its window.
// - None: no tray can show the icon in this process (Wayland without a watcher, headless).
// - Native: Windows and macOS, whose notification area is taken as it is at construction.
//
// It follows events of the session bus and the X server only and never wakes the program by a timer.
class VESPERON_COMPONENTS_EXPORT TrayPresence final : public QObject, private QAbstractNativeEventFilter
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TrayPresence)

public:
    enum class Kind { None, StatusNotifierItem, XEmbed, Native };
    Q_ENUM(Kind)

    explicit TrayPresence(QObject *parent = nullptr);
    ~TrayPresence() override;

    Kind kind() const { return m_kind; }
    bool isPresent() const { return m_present; }

Q_SIGNALS:
    void presentChanged(bool present);

private:
    bool followStatusNotifierWatcher();
    void readHostRegistered();
    bool followXEmbedTray();
    void findXEmbedTray();
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;
    void setPresent(bool present);

    Kind m_kind = Kind::None;
    bool m_present = false;

    QDBusConnection m_bus{QString()};
    OrgKdeStatusNotifierWatcherInterface *m_watcher = nullptr;
    quint64 m_readsAsked = 0;

    quint32 m_root = 0;
    quint32 m_trayAtom = 0;
    quint32 m_managerAtom = 0;
    quint32 m_tray = 0;
};
