// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vesperon_components_export.h"

#include "imagelist.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QSystemTrayIcon;
class TrayPresence;

// The tray icon: shows one picture of an image list in the notification area, with a tip.
//
// imagenumber picks the picture (numbered from 1) of imagelist; the icon shows it from the moment
// either is written. A number that names no picture of the list shows an empty icon. ShowIcon puts
// the icon into the notification area or takes it out; the icon leaves with the component.
//
// IconEvent is raised when the user clicks the icon and again when he double-clicks it (through
// StatusNotifierItem: when the tray asks the item to activate); its argument is the
// QSystemTrayIcon::ActivationReason of the action (Trigger or DoubleClick). The component ignores
// what a handler leaves in it.
//
// isInTray() tells whether a tray shows the icon now: ShowIcon is True and a tray of the kind that
// the icon reaches is there (TrayPresence); inTrayChanged() follows it as trays come and go. Where
// no tray can ever show the icon (Wayland without a StatusNotifierItem watcher, headless), ShowIcon
// is kept but nothing is put anywhere.
class VESPERON_COMPONENTS_EXPORT Perchlet final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Perchlet)

    Q_PROPERTY(ImageList *imagelist READ imagelist WRITE setImagelist)
    Q_PROPERTY(qint16 imagenumber READ imagenumber WRITE setImagenumber)
    Q_PROPERTY(QString ToolTip READ toolTip WRITE setToolTip)
    Q_PROPERTY(bool ShowIcon READ showIcon WRITE setShowIcon)

public:
    explicit Perchlet(QObject *parent = nullptr);
    ~Perchlet() override;

    ImageList *imagelist() const { return m_imageList; }
    void setImagelist(ImageList *imageList);
    qint16 imagenumber() const { return m_imageNumber; }
    void setImagenumber(qint16 number);
    QString toolTip() const;
    void setToolTip(const QString &text);
    bool showIcon() const;
    void setShowIcon(bool show);

    // The icon in the notification area, for reading what it shows.
    const QSystemTrayIcon &trayIcon() const { return *m_tray; }

    bool isInTray() const;

Q_SIGNALS:
    void IconEvent(int &Action);
    void inTrayChanged(bool inTray);

private:
    void updateIcon();

    QSystemTrayIcon *m_tray = nullptr;
    TrayPresence *m_presence = nullptr;
    bool m_showIcon = false;
    QPointer<ImageList> m_imageList;
    qint16 m_imageNumber = 1;
};
