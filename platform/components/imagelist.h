// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vesperon_components_export.h"

#include <QIcon>
#include <QList>
#include <QObject>

// An image list: pictures of one size, numbered from 1 in the order they were added. The tray
// icon takes its pictures from one.
class VESPERON_COMPONENTS_EXPORT ImageList final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ImageList)

public:
    explicit ImageList(QObject *parent = nullptr);
    ~ImageList() override;

    // Adds a picture as the next number and returns that number.
    int add(const QIcon &image);
    int count() const { return int(m_images.size()); }
    // The picture with that number (1 to count()); a null icon for any other number.
    QIcon image(int number) const;

private:
    QList<QIcon> m_images;
};
