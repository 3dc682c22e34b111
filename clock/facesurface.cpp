// SPDX-License-Identifier: GPL-3.0-or-later
#include "facesurface.h"

#include "valuerules.h"

#include <QPaintEvent>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

namespace {
// Stretched copies larger than this are not worth keeping between redraws.
constexpr int LargestKeptExtent = 8192;
// How many areas drawn over the backdrop are put back one by one.
constexpr qsizetype LargestChangedAreas = 64;

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

constexpr double HalfTurn = 3.14159265358979323846;
// How far an edge may move when strokes that overlap are filled as one shape.
constexpr double MergeTolerance = 0.25;
// The largest gap between an arc and the chords that stand for it.
constexpr double ArcTolerance = 0.05;
// Lines longer than this, in pixels, are drawn flat-ended with round discs on their ends.
constexpr double LongStroke = 256.0;

QPointF direction(double angle)
{
    return QPointF(std::cos(angle), std::sin(angle));
}

// The part of polygon inside rect (Sutherland-Hodgman). A polygon that is not convex may keep
// edges of no area along the rectangle's sides, which fill nothing.
QPolygonF clippedPolygon(const QPolygonF &polygon, const QRectF &rect)
{
    QPolygonF result = polygon;
    const auto clipEdge = [&result](auto inside, auto crossing) {
        if (result.isEmpty())
            return;
        QPolygonF input;
        input.swap(result);
        QPointF previous = input.last();
        bool previousInside = inside(previous);
        for (const QPointF &point : std::as_const(input)) {
            const bool pointInside = inside(point);
            if (pointInside != previousInside)
                result.append(crossing(previous, point));
            if (pointInside)
                result.append(point);
            previous = point;
            previousInside = pointInside;
        }
    };
    const auto atX = [](double x) {
        return [x](const QPointF &a, const QPointF &b) {
            const double t = (x - a.x()) / (b.x() - a.x());
            return QPointF(x, a.y() + t * (b.y() - a.y()));
        };
    };
    const auto atY = [](double y) {
        return [y](const QPointF &a, const QPointF &b) {
            const double t = (y - a.y()) / (b.y() - a.y());
            return QPointF(a.x() + t * (b.x() - a.x()), y);
        };
    };
    clipEdge([&](const QPointF &p) { return p.x() >= rect.left(); }, atX(rect.left()));
    clipEdge([&](const QPointF &p) { return p.x() <= rect.right(); }, atX(rect.right()));
    clipEdge([&](const QPointF &p) { return p.y() >= rect.top(); }, atY(rect.top()));
    clipEdge([&](const QPointF &p) { return p.y() <= rect.bottom(); }, atY(rect.bottom()));
    return result.size() >= 3 ? result : QPolygonF();
}

// Appends the points of an arc around centre from angle from to angle to (radians, either way
// round). Only where the arc can come near rect is it followed closely; elsewhere a few chords,
// which lie on the arc's side of rect, stand for it.
void appendArc(QPolygonF &polygon, const QPointF &centre, double radius, double from, double to, const QRectF &rect,
               double tolerance = ArcTolerance)
{
    const double fine = radius > tolerance ? 2.0 * std::acos(1.0 - tolerance / radius) : HalfTurn / 2.0;
    const double coarse = HalfTurn / 8.0;
    const int pieces = std::max(1, int(std::ceil(std::fabs(to - from) / coarse)));
    const double pieceAngle = (to - from) / pieces;
    const double sagitta = radius * (1.0 - std::cos(pieceAngle / 2.0));
    polygon.append(centre + radius * direction(from));
    for (int i = 0; i < pieces; ++i) {
        const double start = from + i * pieceAngle;
        const QPointF a = centre + radius * direction(start);
        const QPointF b = centre + radius * direction(start + pieceAngle);
        const QRectF piece = QRectF(a, b).normalized().adjusted(-sagitta, -sagitta, sagitta, sagitta);
        if (piece.intersects(rect)) {
            const int steps = std::max(1, int(std::ceil(std::fabs(pieceAngle) / fine)));
            for (int k = 1; k < steps; ++k)
                polygon.append(centre + radius * direction(start + pieceAngle * k / steps));
        }
        polygon.append(b);
    }
}

// The part of a round-capped stroke of the given half width along line that lies in rect.
QPolygonF capsulePolygon(const QLineF &line, double halfWidth, const QRectF &rect)
{
    const double along = line.length() > 0.0 ? std::atan2(line.dy(), line.dx()) : 0.0;
    QPolygonF outline;
    appendArc(outline, line.p2(), halfWidth, along - HalfTurn / 2.0, along + HalfTurn / 2.0, rect);
    appendArc(outline, line.p1(), halfWidth, along + HalfTurn / 2.0, along + 3.0 * HalfTurn / 2.0, rect);
    return clippedPolygon(outline, rect);
}

// The part of the ring between the radii inner and outer around the origin, from angle from to
// angle to (from below to), that lies in rect.
QPolygonF sectorPolygon(double inner, double outer, double from, double to, const QRectF &rect, double tolerance)
{
    const QPointF origin(0, 0);
    QPolygonF outline;
    appendArc(outline, origin, outer, from, to, rect, tolerance);
    if (inner > 0.0)
        appendArc(outline, origin, inner, to, from, rect, tolerance);
    else
        outline.append(origin);
    return clippedPolygon(outline, rect);
}

// Strokes along the stretch from inner to outer of radii that lie at most gap apart, each
// covering at least what lies within reach of its stretch and nothing beyond extent: the radii
// (a band) at which they cover every angle between them, or nothing. A point between
// two neighbours lies farthest from both on the line that halves the angle between them.
std::optional<std::pair<double, double>> coveredBand(double inner, double outer, double reach, double extent,
                                                     double gap)
{
    if (!(gap >= 0.0) || gap >= HalfTurn / 2.0)
        return std::nullopt;
    const double c = std::cos(gap / 2.0);
    const double s = std::sin(gap / 2.0);
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();
    const auto add = [&](double from, double to) {
        if (from <= to) {
            low = std::min(low, from);
            high = std::max(high, to);
        }
    };
    add(inner / c, s > 0.0 ? std::min(outer / c, reach / s) : outer / c);
    for (const double end : {inner, outer}) {
        const double d = reach * reach - end * end * s * s;
        if (d >= 0.0)
            add(end * c - std::sqrt(d), end * c + std::sqrt(d));
    }
    low = std::max({low, 0.0, inner - extent});
    high = std::min(high, outer + extent);
    if (!(high - low >= 1.0))
        return std::nullopt;
    return std::make_pair(low, high);
}

// Pixels around a centre, with the longer axis of a face that is not square shrunk to the shorter
// one: there the lines of a dial are true turns of each other, and a pen reaches at least its
// half width divided by the largest stretch.
struct TurnFrame
{
    QPointF middle;
    QPointF stretch;

    QPointF into(const QPointF &pixel) const
    {
        return QPointF((pixel.x() - middle.x()) / stretch.x(), (pixel.y() - middle.y()) / stretch.y());
    }
    QPointF outOf(const QPointF &point) const
    {
        return QPointF(middle.x() + point.x() * stretch.x(), middle.y() + point.y() * stretch.y());
    }
    double largest() const { return std::max(stretch.x(), stretch.y()); }
};

// The stretch of its radius that each line covers, from inner to outer; a line through the
// centre covers two, one of them on the opposite radius (turn).
struct RadialStretch
{
    double inner;
    double outer;
    bool turn;
};

// Lines that are turns of the first one about the centre of a frame, in increasing order of turn.
struct Spokes
{
    QList<RadialStretch> stretches;
    QList<QPointF> directions; // of each line's radius, as unit vectors in the frame
    double firstAngle = 0.0;
    double lastAngle = 0.0; // less than a full turn after the first
    double gap = 0.0;       // the largest angle between neighbours

    // The stretches run out at most to limit, beyond which nothing they cover can be seen.
    static std::optional<Spokes> of(const TurnFrame &frame, const QList<QLineF> &lines, double limit)
    {
        // The end that lies farther from the centre in the first line gives each line's direction.
        const QPointF start = frame.into(lines.first().p1());
        const QPointF end = frame.into(lines.first().p2());
        const bool endIsFar = std::hypot(end.x(), end.y()) >= std::hypot(start.x(), start.y());
        const QPointF farEnd = endIsFar ? end : start;
        const QPointF nearEnd = endIsFar ? start : end;
        const double farRadius = std::hypot(farEnd.x(), farEnd.y());
        if (!(farRadius > 0.0) || !std::isfinite(farRadius))
            return std::nullopt;
        const double nearRadius = std::hypot(nearEnd.x(), nearEnd.y());
        Spokes spokes;
        if (QPointF::dotProduct(nearEnd, farEnd) >= 0.0) {
            spokes.stretches.append({nearRadius, std::min(farRadius, limit), false});
        } else {
            spokes.stretches.append({0.0, std::min(farRadius, limit), false});
            spokes.stretches.append({0.0, std::min(nearRadius, limit), true});
        }
        spokes.directions.reserve(lines.size());
        double widestChord = 0.0;
        for (const QLineF &line : lines) {
            const QPointF far = frame.into(endIsFar ? line.p2() : line.p1());
            const double length = std::sqrt(QPointF::dotProduct(far, far));
            spokes.directions.append(length > 0.0 ? far / length : QPointF(1, 0));
            if (spokes.directions.size() > 1) {
                const QPointF chord = spokes.directions.last() - spokes.directions.at(spokes.directions.size() - 2);
                widestChord = std::max(widestChord, QPointF::dotProduct(chord, chord));
            }
        }
        spokes.gap = 2.0 * std::asin(std::min(1.0, std::sqrt(widestChord) / 2.0));
        const QPointF &first = spokes.directions.first();
        const QPointF &last = spokes.directions.last();
        spokes.firstAngle = std::atan2(first.y(), first.x());
        double turned = std::atan2(first.x() * last.y() - first.y() * last.x(), QPointF::dotProduct(first, last));
        if (turned < 0.0)
            turned += 2.0 * HalfTurn;
        spokes.lastAngle = spokes.firstAngle + turned;
        return spokes;
    }

    // About what stroking every line costs, in pixels of a broad stroke, none more than limit.
    double strokeArea(double farthest, double stretch, double halfWidth, double limit) const
    {
        double area = 0.0;
        for (const RadialStretch &part : stretches) {
            const double length = std::max(0.0, std::min(part.outer, farthest) - part.inner) * stretch;
            const double one = length * (2.0 * halfWidth + 8.0) + HalfTurn * halfWidth * halfWidth;
            area += directions.size() * std::min(one, limit);
        }
        return area;
    }
};
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
    m_overBackdrop = {rect()};
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

void FaceSurface::drawRadialLines(const QPointF &centre, const QList<QLineF> &lines, const QColor &color)
{
    if (lines.isEmpty() || m_image.isNull())
        return;
    QList<QLineF> pixelLines;
    pixelLines.reserve(lines.size());
    for (const QLineF &line : lines)
        pixelLines.append(QLineF(toPixels(line.p1()), toPixels(line.p2())));
    const double smaller = std::min(xScale(), yScale());
    if (pixelLines.size() < 3 || !(smaller > 0.0)) {
        strokeLines(pixelLines, color);
        return;
    }

    const TurnFrame frame{toPixels(centre), QPointF(xScale() / smaller, yScale() / smaller)};
    const QRectF area = visibleArea();
    const QRectF frameArea(frame.into(area.topLeft()), frame.into(area.bottomRight()));
    double farthest = 0.0;
    for (const QPointF &corner :
         {frameArea.topLeft(), frameArea.topRight(), frameArea.bottomLeft(), frameArea.bottomRight()})
        farthest = std::max(farthest, std::hypot(corner.x(), corner.y()));
    const double halfWidth = qMax(1, m_drawWidth) / 2.0;
    const std::optional<Spokes> spokes = Spokes::of(frame, pixelLines, farthest + halfWidth);
    // Strokes are cheap while they cover the surface a few times over at most (a thin line costs
    // about what a broad stroke of ten pixels does); only beyond that are overlapping ones merged.
    const double surfaceArea = area.width() * area.height();
    QList<std::optional<std::pair<double, double>>> bands;
    if (spokes && spokes->strokeArea(farthest, frame.largest(), halfWidth, surfaceArea) > 2.0 * surfaceArea) {
        const double reach = (halfWidth + MergeTolerance) / frame.largest();
        for (const RadialStretch &part : spokes->stretches) {
            std::optional<std::pair<double, double>> band;
            if (part.inner <= part.outer)
                band = coveredBand(part.inner, part.outer, reach, halfWidth, spokes->gap);
            // A band wholly beyond the surface's corners would fill nothing that can be seen.
            bands.append(band && band->first < farthest ? band : std::nullopt);
        }
    }
    if (std::none_of(bands.cbegin(), bands.cend(), [](const auto &band) { return band.has_value(); })) {
        strokeLines(pixelLines, color);
        return;
    }

    // Where neighbours overlap, the band they cover together is filled as one shape with the
    // first and the last stroke; of the others only what lies inside or outside the band is drawn.
    // Each list of strokes holds neighbours, for strokeLines to compare each with the one before.
    QList<QPolygonF> shapes;
    QList<QList<QLineF>> strokes;
    for (qsizetype k = 0; k < spokes->stretches.size(); ++k) {
        const RadialStretch &part = spokes->stretches.at(k);
        const auto partAt = [&](qsizetype i, double from, double to) {
            const QPointF along = part.turn ? -spokes->directions.at(i) : spokes->directions.at(i);
            return QLineF(frame.outOf(from * along), frame.outOf(to * along));
        };
        const qsizetype count = spokes->directions.size();
        QList<QLineF> insides;
        QList<QLineF> outsides;
        if (!bands.at(k)) {
            for (qsizetype i = 0; i < count; ++i)
                insides.append(partAt(i, part.inner, part.outer));
            strokes.append(insides);
            continue;
        }
        const auto [low, high] = *bands.at(k);
        const double turn = part.turn ? HalfTurn : 0.0;
        QPolygonF sector = sectorPolygon(low, std::min(high, farthest), spokes->firstAngle + turn,
                                         spokes->lastAngle + turn, frameArea, ArcTolerance / frame.largest());
        for (QPointF &point : sector)
            point = frame.outOf(point);
        shapes.append(sector);
        for (const qsizetype i : {qsizetype(0), count - 1})
            shapes.append(capsulePolygon(partAt(i, part.inner, part.outer), halfWidth, area));
        const bool inside = low > std::max(0.0, part.inner - halfWidth);
        const bool outside = high < std::min(part.outer + halfWidth, farthest);
        for (qsizetype i = 1; i + 1 < count; ++i) {
            if (inside)
                insides.append(partAt(i, part.inner, std::min(part.outer, low + halfWidth)));
            if (outside)
                outsides.append(partAt(i, std::max(part.inner, high - halfWidth), part.outer));
        }
        strokes.append(insides);
        strokes.append(outsides);
    }
    fillPolygons(shapes, color);
    for (const QList<QLineF> &neighbours : std::as_const(strokes))
        strokeLines(neighbours, color);
}

void FaceSurface::strokeLines(const QList<QLineF> &lines, const QColor &color)
{
    // Of lines that lie closer together than the pen can show, only one is drawn: the edge of the
    // union then moves by less than a twentieth of a pixel. The first and the last are always drawn.
    const double halfWidth = qMax(1, m_drawWidth) / 2.0;
    const double nearness = std::max(0.25, std::sqrt(0.4 * halfWidth));
    std::optional<QLineF> lastDrawn;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const std::optional<QLineF> visible = visiblePart(lines.at(i));
        if (!visible)
            continue;
        if (lastDrawn && i != lines.size() - 1 && QLineF(visible->p1(), lastDrawn->p1()).length() < nearness
            && QLineF(visible->p2(), lastDrawn->p2()).length() < nearness)
            continue;
        strokeLine(*visible, color);
        lastDrawn = visible;
    }
}

QRectF FaceSurface::visibleArea() const
{
    // A pixel beyond each side, for the smoothing of edges.
    return QRectF(QPointF(0, 0), QSizeF(size())).adjusted(-1.0, -1.0, 1.0, 1.0);
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
        changed(surface);
        return;
    }
    // A stroke whose outline reaches far beyond the surface costs the rasteriser far more than its
    // visible part: that part is worked out here and filled instead.
    const double beyond = std::max(surface.width(), surface.height());
    const QRectF stroke =
        QRectF(line.p1(), line.p2()).normalized().adjusted(-halfWidth, -halfWidth, halfWidth, halfWidth);
    if (!surface.adjusted(-beyond, -beyond, beyond, beyond).contains(stroke)) {
        fillPolygons({capsulePolygon(line, halfWidth, visibleArea())}, color);
        return;
    }
    m_uniform = false;
    QPainter &p = painter();
    if (halfWidth > 0.5 && line.length() > LongStroke) {
        // The rasteriser's cost for a round-capped line grows with the square of its length, for
        // a flat-ended one only with its length: long lines get their round ends as discs.
        p.setPen(QPen(color, 2.0 * halfWidth, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(line);
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawEllipse(line.p1(), halfWidth, halfWidth);
        p.drawEllipse(line.p2(), halfWidth, halfWidth);
        p.setBrush(Qt::NoBrush);
        changed(stroke);
        return;
    }
    p.setPen(QPen(color, 2.0 * halfWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (line.p1() == line.p2())
        p.drawPoint(line.p1());
    else
        p.drawLine(line);
    changed(stroke);
}

void FaceSurface::fillPolygons(const QList<QPolygonF> &polygons, const QColor &color)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (const QPolygonF &polygon : polygons) {
        if (polygon.isEmpty())
            continue;
        // All turned the same way round, so that where they overlap the winding adds up.
        double twiceArea = 0.0;
        for (qsizetype i = 0; i < polygon.size(); ++i) {
            const QPointF &a = polygon.at(i);
            const QPointF &b = polygon.at((i + 1) % polygon.size());
            twiceArea += a.x() * b.y() - b.x() * a.y();
        }
        if (twiceArea >= 0.0) {
            path.addPolygon(polygon);
        } else {
            QPolygonF reversed(polygon.crbegin(), polygon.crend());
            path.addPolygon(reversed);
        }
        path.closeSubpath();
    }
    if (path.isEmpty())
        return;
    m_uniform = false;
    QPainter &p = painter();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(path);
    p.setBrush(Qt::NoBrush);
    changed(path.boundingRect());
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
        changed(target);
        return true;
    }
    if (m_stretchedSource.cacheKey() != picture.cacheKey() || m_stretched.size() != pixels) {
        m_stretchedSource = picture;
        m_stretched = picture.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        m_stretched.setDevicePixelRatio(ratio);
    }
    p.drawImage(target.topLeft(), m_stretched);
    m_uniform = false;
    changed(target);
    return true;
}

QImage FaceSurface::image() const
{
    endPainting();
    return m_image;
}

void FaceSurface::keepBackdrop()
{
    // The image becomes a copy of its own when it is painted on next; from then on only what is
    // drawn over the backdrop needs to be put back.
    endPainting();
    m_backdrop = m_image;
    m_backdropUniform = m_uniform;
    m_backdropUniformColor = m_uniformColor;
    m_overBackdrop.clear();
}

bool FaceSurface::restoreBackdrop()
{
    const qreal ratio = devicePixelRatioF();
    if (m_backdrop.isNull() || m_backdrop.size() != (QSizeF(size()) * ratio).toSize()
        || m_backdrop.devicePixelRatio() != ratio || m_image.size() != m_backdrop.size())
        return false;
    endPainting();
    const int bytesPerPixel = m_image.depth() / 8;
    for (const QRect &area : std::as_const(m_overBackdrop)) {
        const QRect pixels =
            QRectF(QPointF(area.topLeft()) * ratio, QSizeF(area.size()) * ratio).toAlignedRect() & m_image.rect();
        for (int y = pixels.top(); y <= pixels.bottom(); ++y)
            std::memcpy(m_image.scanLine(y) + pixels.left() * bytesPerPixel,
                        m_backdrop.constScanLine(y) + pixels.left() * bytesPerPixel,
                        size_t(pixels.width()) * bytesPerPixel);
        update(area);
    }
    m_uniform = m_backdropUniform;
    m_uniformColor = m_backdropUniformColor;
    m_overBackdrop.clear();
    return true;
}

void FaceSurface::changed(const QRectF &area)
{
    const QRect pixels = area.toAlignedRect().adjusted(-1, -1, 1, 1) & rect();
    if (pixels.isEmpty())
        return;
    update(pixels);
    // Beyond a few dozen areas the whole surface counts as changed.
    if (m_overBackdrop.size() == 1 && m_overBackdrop.first() == rect())
        return;
    if (m_overBackdrop.size() < LargestChangedAreas)
        m_overBackdrop.append(pixels);
    else
        m_overBackdrop = {rect()};
}

void FaceSurface::setVisibleShape(const QPainterPath &shape)
{
    if (m_shaped && shape == m_visibleShape)
        return;
    m_visibleShape = shape;
    m_shaped = true;
    m_shapeEdgeValid = false;
    update();
}

void FaceSurface::updateShapeEdge()
{
    // The coverage the smoothing gives each pixel, worked out by the same rasteriser that paints.
    QImage coverage(size(), QImage::Format_Alpha8);
    coverage.fill(0);
    {
        QPainter p(&coverage);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawPath(m_visibleShape);
    }
    QList<QRect> whole;
    for (int y = 0; y < coverage.height(); ++y) {
        const uchar *line = coverage.constScanLine(y);
        for (int x = 0; x < coverage.width();) {
            int end = x;
            while (end < coverage.width() && line[end] == 255)
                ++end;
            if (end > x)
                whole.append(QRect(x, y, end - x, 1));
            x = end + 1;
        }
    }
    QRegion inside;
    inside.setRects(whole.constData(), int(whole.size()));
    m_shapeEdge = QRegion(rect()) - inside;
    m_shapeEdgeValid = true;
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
    if (m_image.devicePixelRatio() == 1.0) {
        // Where the shape covers whole pixels it shows the image as it is: painting only there,
        // as a redraw of the hands mostly does, needs no smoothing.
        if (!m_shapeEdgeValid)
            updateShapeEdge();
        if (!event->region().intersects(m_shapeEdge)) {
            p.drawImage(QPointF(0, 0), m_image);
            return;
        }
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QBrush(m_image));
    p.drawPath(m_visibleShape);
}

void FaceSurface::resizeEvent(QResizeEvent *event)
{
    endPainting();
    m_shapeEdgeValid = false;
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
