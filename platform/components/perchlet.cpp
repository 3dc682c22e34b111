// SPDX-License-Identifier: GPL-3.0-or-later
#include "perchlet.h"

#include <QSystemTrayIcon>

Perchlet::Perchlet(QObject *parent)
    : QObject(parent)
    , m_tray(new QSystemTrayIcon(this))
{
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason != QSystemTrayIcon::Trigger && reason != QSystemTrayIcon::DoubleClick)
            return;
        int action = reason;
        Q_EMIT IconEvent(action);
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
    return m_tray->isVisible();
}

void Perchlet::setShowIcon(bool show)
{
    m_tray->setVisible(show);
}

void Perchlet::updateIcon()
{
    m_tray->setIcon(m_imageList ? m_imageList->image(m_imageNumber) : QIcon());
}
