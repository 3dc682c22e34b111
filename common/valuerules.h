// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vesperon_common_export.h"

#include <QColor>
#include <QPalette>
#include <QString>
#include <QtGlobal>

#include <stdexcept>

// The value rules shared by Vesperon and its controls: 16-bit Integers that fail beyond their range,
// rounding halves to the even neighbour, the two-digit "00" form, colours that may name a system colour,
// and twips.
namespace ValueRules {

// Colours are 32-bit values: RGB with red in the low byte, or a system colour when the top bit is set.
constexpr quint32 SystemColorFlag = 0x80000000u;
constexpr quint32 ButtonFace = 0x8000000Fu;
constexpr quint32 WindowText = 0x80000008u;

constexpr int TwipsPerPixel = 15;

// Nearest whole number, halves to the even neighbour (0.5 -> 0, 1.5 -> 2, 2.5 -> 2, -0.5 -> 0).
VESPERON_COMMON_EXPORT double roundHalfEven(double value);

// Conversions into Integer (16-bit) and Long (32-bit) with halves to even. Values outside the range,
// and NaN, throw std::overflow_error.
VESPERON_COMMON_EXPORT qint16 toInt16(double value);
VESPERON_COMMON_EXPORT qint32 toInt32(double value);

// 16-bit Integer arithmetic: the exact result, or std::overflow_error beyond -32768..32767.
VESPERON_COMMON_EXPORT qint16 checkedInt16(qint64 value);
VESPERON_COMMON_EXPORT qint16 addInt16(qint16 a, qint16 b);
VESPERON_COMMON_EXPORT qint16 subtractInt16(qint16 a, qint16 b);
VESPERON_COMMON_EXPORT qint16 multiplyInt16(qint16 a, qint16 b);

// At least two digits, leading zero below 10; a negative value gets its minus sign before the digits.
VESPERON_COMMON_EXPORT QString twoDigits(qint64 value);

// The RGB colour, or the palette's colour for a system colour reference. Unknown system colour
// indexes give the palette's window colour.
VESPERON_COMMON_EXPORT QColor resolveColor(quint32 color, const QPalette &palette);
VESPERON_COMMON_EXPORT QColor resolveColor(quint32 color);
VESPERON_COMMON_EXPORT quint32 rgbColor(int red, int green, int blue);

VESPERON_COMMON_EXPORT int twipsToPixels(double twips);
VESPERON_COMMON_EXPORT double pixelsToTwips(int pixels);

// Runs an operation that may fail with the overflow error where Qt must not see an exception
// (event handlers, signals, property writes): the error is swallowed and reported as false.
template<typename Operation>
bool withoutOverflow(Operation &&operation) noexcept
{
    try {
        operation();
        return true;
    } catch (const std::overflow_error &) {
        return false;
    }
}

} // namespace ValueRules
