// SPDX-License-Identifier: GPL-3.0-or-later
#include "valuerules.h"

#include <QGuiApplication>

#include <cmath>
#include <limits>

namespace ValueRules {

double roundHalfEven(double value)
{
    if (!std::isfinite(value))
        return value;
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction < 0.5)
        return floor;
    if (fraction > 0.5)
        return floor + 1.0;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

template<typename Int>
static Int roundInto(double value)
{
    const double rounded = roundHalfEven(value);
    if (std::isnan(rounded) || rounded < double(std::numeric_limits<Int>::min())
        || rounded > double(std::numeric_limits<Int>::max()))
        throw std::overflow_error("Overflow");
    return static_cast<Int>(rounded);
}

qint16 toInt16(double value)
{
    return roundInto<qint16>(value);
}

qint32 toInt32(double value)
{
    return roundInto<qint32>(value);
}

qint16 checkedInt16(qint64 value)
{
    if (value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max())
        throw std::overflow_error("Overflow");
    return static_cast<qint16>(value);
}

qint16 addInt16(qint16 a, qint16 b)
{
    return checkedInt16(qint64(a) + b);
}

qint16 subtractInt16(qint16 a, qint16 b)
{
    return checkedInt16(qint64(a) - b);
}

qint16 multiplyInt16(qint16 a, qint16 b)
{
    return checkedInt16(qint64(a) * b);
}

QString twoDigits(qint64 value)
{
    const QString digits = QString::number(value < 0 ? -value : value).rightJustified(2, u'0');
    return value < 0 ? u'-' + digits : digits;
}

static QPalette::ColorRole systemColorRole(quint32 index)
{
    switch (index) {
    case 0:
        return QPalette::Button; // scroll bars
    case 1:
        return QPalette::Window; // desktop
    case 2:
        return QPalette::Highlight; // active title bar
    case 3:
        return QPalette::Mid; // inactive title bar
    case 4:
        return QPalette::Window; // menu bar
    case 5:
        return QPalette::Base; // window background
    case 6:
        return QPalette::Shadow; // window frame
    case 7:
        return QPalette::WindowText; // menu text
    case 8:
        return QPalette::WindowText; // window text
    case 9:
        return QPalette::HighlightedText; // active title bar text
    case 12:
        return QPalette::Dark; // application workspace
    case 13:
        return QPalette::Highlight;
    case 14:
        return QPalette::HighlightedText;
    case 15:
        return QPalette::Button; // button face
    case 16:
        return QPalette::Dark; // button shadow
    case 17:
        return QPalette::PlaceholderText; // grey text
    case 18:
        return QPalette::ButtonText;
    case 20:
        return QPalette::Light; // 3D highlight
    case 21:
        return QPalette::Shadow; // 3D dark shadow
    case 22:
        return QPalette::Midlight; // 3D light
    case 23:
        return QPalette::ToolTipText;
    case 24:
        return QPalette::ToolTipBase;
    default:
        return QPalette::NoRole;
    }
}

QColor resolveColor(quint32 color, const QPalette &palette)
{
    if (color & SystemColorFlag) {
        const QPalette::ColorRole role = systemColorRole(color & ~SystemColorFlag);
        return palette.color(role == QPalette::NoRole ? QPalette::Window : role);
    }
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

QColor resolveColor(quint32 color)
{
    return resolveColor(color, QGuiApplication::palette());
}

quint32 rgbColor(int red, int green, int blue)
{
    return quint32(red & 0xFF) | (quint32(green & 0xFF) << 8) | (quint32(blue & 0xFF) << 16);
}

int twipsToPixels(double twips)
{
    return int(roundHalfEven(twips / TwipsPerPixel));
}

double pixelsToTwips(int pixels)
{
    return double(pixels) * TwipsPerPixel;
}

} // namespace ValueRules
