// SPDX-License-Identifier: GPL-3.0-or-later
#include "traypresence.h"

#include "statusnotifierwatcher.h"

#include <QCoreApplication>
#include <QDBusInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QSystemTrayIcon>

#if defined(VESPERON_HAVE_XCB)
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#endif

namespace {

const QString WatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString WatcherPath = QStringLiteral("/StatusNotifierWatcher");

#if defined(VESPERON_HAVE_XCB)
template<typename T>
using Reply = std::unique_ptr<T, decltype(&free)>;

xcb_connection_t *x11Connection()
{
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t internAtom(xcb_connection_t *connection, const QByteArray &name)
{
    const Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(name.size()), name.constData()),
                              nullptr),
        &free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The screen Qt shows its windows on: the one that DISPLAY names.
int screenNumber(xcb_connection_t *connection)
{
    char *host = nullptr;
    int display = 0;
    int screen = 0;
    if (!xcb_parse_display(nullptr, &host, &display, &screen))
        screen = 0;
    free(host);
    return screen < xcb_setup_roots_length(xcb_get_setup(connection)) ? screen : 0;
}

xcb_window_t rootWindow(xcb_connection_t *connection, int screen)
{
    xcb_screen_iterator_t roots = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screen; ++i)
        xcb_screen_next(&roots);
    return roots.data->root;
}

// Adds structure events of the window to what this connection (Qt's own) already hears of it;
// false when the window no longer exists.
bool hearStructureOf(xcb_connection_t *connection, xcb_window_t window)
{
    const Reply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window), nullptr), &free);
    if (!attributes)
        return false;
    const uint32_t mask = attributes->your_event_mask | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    if (mask != attributes->your_event_mask)
        xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, &mask);
    return true;
}

xcb_window_t selectionOwner(xcb_connection_t *connection, xcb_atom_t selection)
{
    const Reply<xcb_get_selection_owner_reply_t> reply(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr), &free);
    return reply ? reply->owner : xcb_window_t(XCB_WINDOW_NONE);
}
#endif

} // namespace

TrayPresence::TrayPresence(QObject *parent)
    : QObject(parent)
{
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    m_kind = Kind::Native;
    m_present = QSystemTrayIcon::isSystemTrayAvailable();
#else
    if (followStatusNotifierWatcher())
        m_kind = Kind::StatusNotifierItem;
    else if (followXEmbedTray())
        m_kind = Kind::XEmbed;
#endif
}

TrayPresence::~TrayPresence() = default;

bool TrayPresence::followStatusNotifierWatcher()
{
    m_bus = QDBusConnection::sessionBus();
    if (!m_bus.isConnected())
        return false;
    // Asked as Qt's tray icon asks it, through the watcher's introspection data, to take the same way.
    const QDBusInterface watcher(WatcherService, WatcherPath, WatcherService, m_bus);
    if (!watcher.isValid() || !watcher.property("IsStatusNotifierHostRegistered").toBool())
        return false;
    m_present = true;

    m_watcher = new OrgKdeStatusNotifierWatcherInterface(WatcherService, WatcherPath, m_bus, this);
    connect(m_watcher, &OrgKdeStatusNotifierWatcherInterface::StatusNotifierHostRegistered, this,
            &TrayPresence::readHostRegistered);
    connect(m_watcher, &OrgKdeStatusNotifierWatcherInterface::StatusNotifierHostUnregistered, this,
            &TrayPresence::readHostRegistered);
    auto *owner = new QDBusServiceWatcher(WatcherService, m_bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(owner, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString &, const QString &, const QString &newOwner) {
                if (!newOwner.isEmpty()) {
                    readHostRegistered();
                    return;
                }
                ++m_readsAsked;
                setPresent(false);
            });
    return true;
}

void TrayPresence::readHostRegistered()
{
    const quint64 ask = ++m_readsAsked;
    QDBusMessage get = QDBusMessage::createMethodCall(
        WatcherService, WatcherPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << WatcherService << QStringLiteral("IsStatusNotifierHostRegistered");
    auto *call = new QDBusPendingCallWatcher(m_bus.asyncCall(get), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this, ask](QDBusPendingCallWatcher *finished) {
        finished->deleteLater();
        // Only the answer to the latest question counts: an older one may tell of a host since gone.
        if (ask != m_readsAsked)
            return;
        const QDBusPendingReply<QDBusVariant> reply = *finished;
        setPresent(!reply.isError() && reply.value().variant().toBool());
    });
}

bool TrayPresence::followXEmbedTray()
{
#if defined(VESPERON_HAVE_XCB)
    xcb_connection_t *connection = x11Connection();
    if (!connection)
        return false;
    const int screen = screenNumber(connection);
    m_root = rootWindow(connection, screen);
    m_trayAtom = internAtom(connection, "_NET_SYSTEM_TRAY_S" + QByteArray::number(screen));
    m_managerAtom = internAtom(connection, "MANAGER");
    // A new tray's MANAGER message goes to the root window's structure listeners.
    hearStructureOf(connection, m_root);
    QCoreApplication::instance()->installNativeEventFilter(this);
    findXEmbedTray();
    return true;
#else
    return false;
#endif
}

void TrayPresence::findXEmbedTray()
{
#if defined(VESPERON_HAVE_XCB)
    xcb_connection_t *connection = x11Connection();
    xcb_window_t tray = XCB_WINDOW_NONE;
    // The tray may go between asking for its window and listening to it: ask again until both agree.
    for (int attempt = 0; attempt < 3; ++attempt) {
        tray = selectionOwner(connection, m_trayAtom);
        if (tray == XCB_WINDOW_NONE
            || (hearStructureOf(connection, tray) && selectionOwner(connection, m_trayAtom) == tray))
            break;
        tray = XCB_WINDOW_NONE;
    }
    xcb_flush(connection);
    m_tray = tray;
    setPresent(tray != XCB_WINDOW_NONE);
#endif
}

bool TrayPresence::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
#if defined(VESPERON_HAVE_XCB)
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    switch (event->response_type & 0x7f) {
    case XCB_CLIENT_MESSAGE: {
        const auto *announcement = static_cast<const xcb_client_message_event_t *>(message);
        if (announcement->window == m_root && announcement->type == m_managerAtom && announcement->format == 32
            && announcement->data.data32[1] == m_trayAtom)
            findXEmbedTray();
        break;
    }
    case XCB_DESTROY_NOTIFY:
        if (m_tray != XCB_WINDOW_NONE && static_cast<const xcb_destroy_notify_event_t *>(message)->window == m_tray)
            findXEmbedTray();
        break;
    default:
        break;
    }
#else
    Q_UNUSED(eventType);
    Q_UNUSED(message);
#endif
    return false;
}

void TrayPresence::setPresent(bool present)
{
    if (present == m_present)
        return;
    m_present = present;
    Q_EMIT presentChanged(present);
}
