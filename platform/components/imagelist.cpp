// SPDX-License-Identifier: GPL-3.0-or-later
#include "imagelist.h"

ImageList::ImageList(QObject *parent)
    : QObject(parent)
{
}

ImageList::~ImageList() = default;

int ImageList::add(const QIcon &image)
{
    m_images.append(image);
    return count();
}

QIcon ImageList::image(int number) const
{
    if (number < 1 || number > count())
        return {};
    return m_images.at(number - 1);
}
