// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QWidget>

// The region component: makes a surface show only inside a circle. It is used in three steps,
// always all three and in this order:
//
//   region.attach(surface);                    // the surface to shape
//   region.setCircle(centreX, centreY, radius); // in twips, from the surface's top-left corner
//   region.apply(surface);                     // the attached surface now shows only inside it
//
// The circle's bounding square is turned into pixels with its right and bottom edges one pixel
// inside, as window regions are, so a circle of radius (w + 1) / 2 pixels around ((w + 1) / 2,
// (w + 1) / 2) covers exactly a surface w pixels wide. A circle with no area hides the surface. A surface that is a
// ShapedSurface gets a smooth-edged shape; any other widget gets a widget mask.
class Quillory final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Quillory)

public:
    explicit Quillory(QObject *parent = nullptr);
    ~Quillory() override;

    void attach(QWidget *surface);
    // The values are taken by reference, as the component's callers hand them; they stay unchanged.
    void setCircle(float &centreX, float &centreY, float &radius);
    void apply(QWidget *surface);

    // The disc of the last apply, in the surface's pixels; empty before the first.
    QRectF appliedDisc() const { return m_appliedDisc; }

private:
    QPointer<QWidget> m_surface;
    QRectF m_disc;
    QRectF m_appliedDisc;
};
