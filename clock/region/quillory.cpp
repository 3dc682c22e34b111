// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillory.h"

#include "shapedsurface.h"

#include <QPainterPath>
#include <QRegion>

#include <algorithm>
#include <cmath>

namespace {
constexpr double TwipsPerPixel = 15.0;
// Far beyond any surface; keeps absurd circles from reaching the integer maths of regions.
constexpr double LargestExtent = 1.0e6;

double pixels(double twips)
{
    return std::clamp(twips / TwipsPerPixel, -LargestExtent, LargestExtent);
}
} // namespace

Quillory::Quillory(QObject *parent)
    : QObject(parent)
{
}

Quillory::~Quillory() = default;

void Quillory::attach(QWidget *surface)
{
    m_surface = surface;
    m_disc = QRectF();
}

void Quillory::setCircle(float &centreX, float &centreY, float &radius)
{
    if (!std::isfinite(centreX) || !std::isfinite(centreY) || !std::isfinite(radius) || radius <= 0.0f) {
        m_disc = QRectF();
        return;
    }
    const double left = pixels(double(centreX) - radius);
    const double top = pixels(double(centreY) - radius);
    const double right = pixels(double(centreX) + radius) - 1.0;
    const double bottom = pixels(double(centreY) + radius) - 1.0;
    m_disc = QRectF(QPointF(left, top), QPointF(right, bottom)).normalized();
}

void Quillory::apply(QWidget *surface)
{
    if (!surface || surface != m_surface)
        return;
    m_appliedDisc = m_disc;
    if (auto *shaped = dynamic_cast<ShapedSurface *>(surface)) {
        QPainterPath shape;
        if (!m_disc.isEmpty())
            shape.addEllipse(m_disc);
        shaped->setVisibleShape(shape);
        return;
    }
    if (m_disc.isEmpty())
        surface->setMask(QRegion(-1, -1, 1, 1)); // an empty mask would mean no mask at all
    else
        surface->setMask(QRegion(m_disc.toRect(), QRegion::Ellipse));
}
