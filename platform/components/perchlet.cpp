// SPDX-License-Identifier: GPL-3.0-or-later
#include "perchlet.h"

#include "traypresence.h"

#include <QSystemTrayIcon>

Perchlet::Perchlet(QObject *parent)
    : QObject(parent)
    , m_tray(new QSystemTrayIcon(this))
    , m_presence(new TrayPresence(this))
{
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason != QSystemTrayIcon::Trigger && reason != QSystemTrayIcon::DoubleClick)
            return;
        int action = reason;
        Q_EMIT IconEvent(action);
    });
    connect(m_presence, &TrayPresence::presentChanged, this, [this](bool present) {
        if (m_showIcon)
            Q_EMIT inTrayChanged(present);
    });
}

Perchlet::~Perchlet() = default;

void Perchlet::setImagelist(ImageList *imageList)
{
    m_imageList = imageList;
    updateIcon();
}

void Perchlet::setImagenumber(qint16 number)
{
    m_imageNumber = number;
    updateIcon();
}

QString Perchlet::toolTip() const
{
    return m_tray->toolTip();
}

void Perchlet::setToolTip(const QString &text)
{
    m_tray->setToolTip(text);
}

bool Perchlet::showIcon() const
{
    return m_showIcon;
}

void Perchlet::setShowIcon(bool show)
{
    if (show == m_showIcon)
        return;
    const bool wasInTray = isInTray();
    m_showIcon = show;
    // Qt's fallback tray icon would only complain on a platform that has no tray for it.
    if (m_presence->kind() != TrayPresence::Kind::None)
        m_tray->setVisible(show);
    if (isInTray() != wasInTray)
        Q_EMIT inTrayChanged(isInTray());
}

bool Perchlet::isInTray() const
{
    return m_showIcon && m_presence->isPresent();
}

void Perchlet::updateIcon()
{
    m_tray->setIcon(m_imageList ? m_imageList->image(m_imageNumber) : QIcon());
}
