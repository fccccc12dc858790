#pragma once

#include <QColor>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace Pw {

// Colours are stored as the Windows layout 0x00BBGGRR (red in the lowest byte), written to
// Set.ini as signed 32-bit decimal text.

// A value with the high bit set and an index 0..30 in the low byte is a Windows system colour
// (0x80000000 | COLOR_xxx, e.g. 0x80000005 = window background, written by older versions as
// -2147483643); it maps to the nearest palette colour. Any other value uses its low 24 bits.
QColor ColourFromBgr(qint32 bgr);

// 0x00BBGGRR of colour (alpha dropped); never negative.
qint32 BgrFromColour(const QColor &colour);

// The system colour "window background" (COLOR_WINDOW | 0x80000000), the initial colour of the
// inverse-text background.
inline constexpr qint32 kSystemWindowColour = qint32(0x80000005u);

// Reads a stored colour: decimal text with an optional sign, surrounding blanks allowed, within
// -2147483648..4294967295 (values above the signed range wrap as the 32-bit pattern they are).
// Anything else gives no value.
std::optional<qint32> ParseColourText(const QString &text);

// The stored form: signed decimal.
inline QString ColourText(qint32 bgr)
{
    return QString::number(bgr);
}

} // namespace Pw
