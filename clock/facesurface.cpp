// SPDX-License-Identifier: GPL-3.0-or-later
#include "facesurface.h"

#include "valuerules.h"

#include <QPaintEvent>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
// Stretched copies larger than this are not worth keeping between redraws.
constexpr int LargestKeptExtent = 8192;

double distanceToSegment(const QPointF &point, const QLineF &segment)
{
    const QPointF along = segment.p2() - segment.p1();
    const double length2 = QPointF::dotProduct(along, along);
    double t = length2 > 0.0 ? QPointF::dotProduct(point - segment.p1(), along) / length2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const QPointF nearest = segment.p1() + t * along;
    return std::hypot(point.x() - nearest.x(), point.y() - nearest.y());
}

// How far the farthest corner of rect lies from the segment: a round-capped pen of twice that
// width covers all of rect.
double farthestDistance(const QRectF &rect, const QLineF &segment)
{
    return std::max({distanceToSegment(rect.topLeft(), segment), distanceToSegment(rect.topRight(), segment),
                     distanceToSegment(rect.bottomLeft(), segment), distanceToSegment(rect.bottomRight(), segment)});
}

// The part of the segment inside rect (Liang-Barsky), or nothing when it misses rect.
std::optional<QLineF> clippedLine(const QLineF &segment, const QRectF &rect)
{
    const double dx = segment.dx();
    const double dy = segment.dy();
    double enter = 0.0;
    double leave = 1.0;
    const auto clip = [&](double p, double q) {
        if (p == 0.0)
            return q >= 0.0;
        const double r = q / p;
        if (p < 0.0) {
            if (r > leave)
                return false;
            enter = std::max(enter, r);
        } else {
            if (r < enter)
                return false;
            leave = std::min(leave, r);
        }
        return true;
    };
    const QPointF start = segment.p1();
    if (!std::isfinite(dx) || !std::isfinite(dy))
        return std::nullopt;
    if (!clip(-dx, start.x() - rect.left()) || !clip(dx, rect.right() - start.x()) || !clip(-dy, start.y() - rect.top())
        || !clip(dy, rect.bottom() - start.y()))
        return std::nullopt;
    return QLineF(segment.pointAt(enter), segment.pointAt(leave));
}
} // namespace

FaceSurface::FaceSurface(QWidget *parent)
    : QWidget(parent)
{
    setScaleModeTwips();
}

FaceSurface::~FaceSurface() = default;

void FaceSurface::setBackColor(const QColor &color)
{
    m_backColor = color;
}

void FaceSurface::clear()
{
    endPainting();
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (m_image.size() != pixels || m_image.isNull()) {
        m_image = QImage(pixels, QImage::Format_RGB32);
        m_image.setDevicePixelRatio(ratio);
    }
    m_image.fill(m_backColor);
    m_uniform = m_backColor.alpha() == 255;
    m_uniformColor = m_backColor;
    if (!m_picture.isNull() && !m_image.isNull()) {
        painter().drawImage(QPointF(0, 0), m_picture);
        m_uniform = false;
    }
    update();
}

QImage FaceSurface::drawablePicture(const QImage &picture)
{
    switch (picture.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        return picture;
    default:
        break;
    }
    if (picture.isNull())
        return QImage();
    return picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                             : QImage::Format_RGB32);
}

void FaceSurface::setPicture(const QImage &picture)
{
    m_picture = drawablePicture(picture);
    if (m_autoSize)
        fitToPicture();
    clear();
}

void FaceSurface::setAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    if (m_autoSize)
        fitToPicture();
}

void FaceSurface::fitToPicture()
{
    if (!m_picture.isNull())
        resize(m_picture.deviceIndependentSize().toSize());
}

void FaceSurface::setScaleModeTwips()
{
    m_twipsScale = true;
    m_scaleLeft = 0.0;
    m_scaleTop = 0.0;
    m_scaleWidth = ValueRules::pixelsToTwips(width());
    m_scaleHeight = ValueRules::pixelsToTwips(height());
}

void FaceSurface::setScale(double left, double top, double width, double height)
{
    m_twipsScale = false;
    m_scaleLeft = left;
    m_scaleTop = top;
    m_scaleWidth = width;
    m_scaleHeight = height;
}

double FaceSurface::widthTwips() const
{
    return ValueRules::pixelsToTwips(width());
}

void FaceSurface::setDrawWidth(int pixels)
{
    m_drawWidth = pixels;
}

double FaceSurface::xScale() const
{
    return m_scaleWidth != 0.0 ? width() / m_scaleWidth : 0.0;
}

double FaceSurface::yScale() const
{
    return m_scaleHeight != 0.0 ? height() / m_scaleHeight : 0.0;
}

QPointF FaceSurface::toPixels(const QPointF &point) const
{
    return QPointF((point.x() - m_scaleLeft) * xScale() + 0.5, (point.y() - m_scaleTop) * yScale() + 0.5);
}

void FaceSurface::drawLine(const QPointF &from, const QPointF &to, const QColor &color)
{
    const QLineF line(toPixels(from), toPixels(to));
    if (const std::optional<QLineF> visible = visiblePart(line))
        strokeLine(*visible, color);
}

void FaceSurface::drawLines(const QList<QLineF> &lines, const QColor &color)
{
    // Of lines that lie closer together than the pen can show, only one is drawn: the edge of the
    // union then moves by less than a twentieth of a pixel. The first and the last are always drawn.
    const double halfWidth = qMax(1, m_drawWidth) / 2.0;
    const double nearness = std::max(0.25, std::sqrt(0.4 * halfWidth));
    std::optional<QLineF> lastDrawn;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QLineF line(toPixels(lines.at(i).p1()), toPixels(lines.at(i).p2()));
        const std::optional<QLineF> visible = visiblePart(line);
        if (!visible)
            continue;
        if (lastDrawn && i != lines.size() - 1 && QLineF(visible->p1(), lastDrawn->p1()).length() < nearness
            && QLineF(visible->p2(), lastDrawn->p2()).length() < nearness)
            continue;
        strokeLine(*visible, color);
        lastDrawn = visible;
    }
}

std::optional<QLineF> FaceSurface::visiblePart(const QLineF &line) const
{
    if (m_image.isNull())
        return std::nullopt;
    // Beyond half the pen width (and a pixel for the smoothing) a line leaves no trace, so only
    // the part within that margin around the surface is drawn; it paints the same pixels.
    const double margin = qMax(1, m_drawWidth) / 2.0 + 1.0;
    const QRectF reach = QRectF(QPointF(0, 0), QSizeF(size())).adjusted(-margin, -margin, margin, margin);
    return clippedLine(line, reach);
}

void FaceSurface::strokeLine(const QLineF &line, const QColor &color)
{
    if (m_uniform && color == m_uniformColor)
        return;
    const QRectF surface(QPointF(0, 0), QSizeF(size()));
    const double halfWidth = qMax(1, m_drawWidth) / 2.0;
    if (color.alpha() == 255 && farthestDistance(surface, line) + 1.0 <= halfWidth) {
        painter().fillRect(surface, color);
        m_uniform = true;
        m_uniformColor = color;
        return;
    }
    m_uniform = false;
    QPainter &p = painter();
    p.setPen(QPen(color, 2.0 * halfWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (line.p1() == line.p2())
        p.drawPoint(line.p1());
    else
        p.drawLine(line);
}

bool FaceSurface::paintPicture(const QImage &original, double x, double y, double width, double height)
{
    const QImage picture = drawablePicture(original);
    if (picture.isNull() || m_image.isNull())
        return false;
    const QRectF target(QPointF((x - m_scaleLeft) * xScale(), (y - m_scaleTop) * yScale()),
                        QSizeF(width * xScale(), height * yScale()));
    const qreal ratio = m_image.devicePixelRatio();
    const QSize pixels = (target.size() * ratio).toSize();
    QPainter &p = painter();
    if (pixels.isEmpty() || pixels.width() > LargestKeptExtent || pixels.height() > LargestKeptExtent) {
        p.drawImage(target, picture);
        m_uniform = false;
        return true;
    }
    if (m_stretchedSource.cacheKey() != picture.cacheKey() || m_stretched.size() != pixels) {
        m_stretchedSource = picture;
        m_stretched = picture.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        m_stretched.setDevicePixelRatio(ratio);
    }
    p.drawImage(target.topLeft(), m_stretched);
    m_uniform = false;
    return true;
}

QImage FaceSurface::image() const
{
    endPainting();
    return m_image;
}

void FaceSurface::setVisibleShape(const QPainterPath &shape)
{
    m_visibleShape = shape;
    m_shaped = true;
    update();
}

QPainter &FaceSurface::painter()
{
    if (!m_painter) {
        m_painter = std::make_unique<QPainter>(&m_image);
        m_painter->setRenderHint(QPainter::Antialiasing);
        m_painter->setRenderHint(QPainter::SmoothPixmapTransform);
    }
    return *m_painter;
}

void FaceSurface::endPainting() const
{
    m_painter.reset();
}

void FaceSurface::paintEvent(QPaintEvent *event)
{
    endPainting();
    if (m_image.isNull())
        return;
    QPainter p(this);
    p.setClipRegion(event->region());
    if (!m_shaped) {
        p.drawImage(QPointF(0, 0), m_image);
        return;
    }
    if (m_visibleShape.isEmpty())
        return;
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QBrush(m_image));
    p.drawPath(m_visibleShape);
}

void FaceSurface::resizeEvent(QResizeEvent *event)
{
    endPainting();
    if (m_twipsScale)
        setScaleModeTwips();
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(event->size()) * ratio).toSize();
    if (pixels.isEmpty()) {
        m_image = QImage();
        return;
    }
    QImage grown(pixels, QImage::Format_RGB32);
    grown.setDevicePixelRatio(ratio);
    grown.fill(m_backColor);
    if (!m_image.isNull()) {
        QPainter p(&grown);
        p.drawImage(QPointF(0, 0), m_image);
    }
    m_image = grown;
    m_uniform = false;
}
