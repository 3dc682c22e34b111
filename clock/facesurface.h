// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "shapedsurface.h"

#include <QColor>
#include <QImage>
#include <QLineF>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRegion>
#include <QWidget>

#include <memory>
#include <optional>

// A drawing surface that keeps what was drawn on it, like a persistent bitmap: lines and pictures
// go into its own image, and paint events only show that image; only what a drawing changes is
// painted again. It offers what the clock face needs: a background colour and a clear operation,
// a persistent picture shown at natural size in the top-left corner, self-sizing to that picture,
// a user coordinate system, a pen width in pixels, straight lines and stretched pictures, and a
// backdrop kept for redraws that change only what lies over it.
//
// Coordinates are the surface's user coordinates: by default (and after setScaleModeTwips) twips
// from the top-left corner. A coordinate names the centre of the pixel it falls on, so the user
// rectangle from left to left + width covers the pixels' centres from the first to one past the
// last pixel.
class FaceSurface final : public QWidget, public ShapedSurface
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FaceSurface)

public:
    explicit FaceSurface(QWidget *parent = nullptr);
    ~FaceSurface() override;

    QColor backColor() const { return m_backColor; }
    void setBackColor(const QColor &color);

    // Fills the surface with its background colour and lays the persistent picture over it.
    void clear();

    // The picture as the surface draws it: 32-bit RGB and ARGB pictures as they are (shared), any
    // other format converted to one of them. A null image when the picture cannot be converted.
    static QImage drawablePicture(const QImage &picture);

    QImage picture() const { return m_picture; }
    // The persistent picture, as drawablePicture gives it; a self-sizing surface takes its size at
    // once. What was drawn before gives way to the new picture on the background colour.
    void setPicture(const QImage &picture);

    bool autoSize() const { return m_autoSize; }
    void setAutoSize(bool autoSize);

    // Twips from the top-left corner.
    void setScaleModeTwips();
    void setScale(double left, double top, double width, double height);
    double scaleLeft() const { return m_scaleLeft; }
    double scaleTop() const { return m_scaleTop; }
    double scaleWidth() const { return m_scaleWidth; }
    double scaleHeight() const { return m_scaleHeight; }

    // The surface's width in twips.
    double widthTwips() const;

    // The pen width in pixels; values below 1 draw one pixel wide.
    int drawWidth() const { return m_drawWidth; }
    void setDrawWidth(int pixels);

    // Strokes with round caps. However wide the pen and however far a line runs, a stroke costs
    // about what its part on the surface costs.
    void drawLine(const QPointF &from, const QPointF &to, const QColor &color);
    // Draws lines (user coordinates) in one colour with the current pen: each lies on a straight
    // line through centre and is the first line turned about centre, in increasing order of turn
    // (clockwise), all within less than a full turn. Where neighbours overlap, the band they cover
    // together is filled as one shape, and lines too close to the one drawn before them to make a
    // visible difference are left out: an edge moves by at most a quarter of a pixel, and the cost
    // stays bounded by the surface's size whatever the number of lines and the pen.
    void drawRadialLines(const QPointF &centre, const QList<QLineF> &lines, const QColor &color);
    // Paints picture stretched into the rectangle x, y, width, height (user coordinates). A null
    // picture, or one that drawablePicture cannot convert, paints nothing and gives false.
    bool paintPicture(const QImage &picture, double x, double y, double width, double height);

    // What the surface keeps: everything drawn since the last clear, without the visible shape.
    QImage image() const;

    // Keeps what has been drawn so far as a backdrop: restoreBackdrop brings it back, so that a
    // redraw that changes only what lies on top need not draw the rest again.
    void keepBackdrop();
    // Puts the kept backdrop back in place of what was drawn after it, and shows the change;
    // false, with nothing changed, when none is kept or the surface's size has changed since.
    bool restoreBackdrop();

    void setVisibleShape(const QPainterPath &shape) override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QPainter &painter();
    void changed(const QRectF &area);
    void updateShapeEdge();
    QRectF visibleArea() const;
    std::optional<QLineF> visiblePart(const QLineF &line) const;
    void strokeLines(const QList<QLineF> &lines, const QColor &color);
    void strokeLine(const QLineF &line, const QColor &color);
    void fillPolygons(const QList<QPolygonF> &polygons, const QColor &color);
    void endPainting() const;
    void fitToPicture();
    QPointF toPixels(const QPointF &point) const;
    double xScale() const;
    double yScale() const;

    QColor m_backColor = Qt::white;
    QImage m_picture;
    bool m_autoSize = false;
    double m_scaleLeft = 0.0;
    double m_scaleTop = 0.0;
    double m_scaleWidth = 0.0;
    double m_scaleHeight = 0.0;
    bool m_twipsScale = true;
    int m_drawWidth = 1;
    QPainterPath m_visibleShape;
    bool m_shaped = false;
    // The pixels the visible shape does not cover wholly.
    QRegion m_shapeEdge;
    bool m_shapeEdgeValid = false;

    // What is known about the image, to leave out lines that would change nothing.
    bool m_uniform = false;
    QColor m_uniformColor;

    mutable QImage m_image;
    mutable std::unique_ptr<QPainter> m_painter;
    QImage m_backdrop;
    bool m_backdropUniform = false;
    QColor m_backdropUniformColor;
    // Where something has been drawn over the backdrop (the areas may overlap).
    QList<QRect> m_overBackdrop;
    // The last stretched picture, kept for the next redraw at the same size.
    QImage m_stretchedSource;
    QImage m_stretched;
};
