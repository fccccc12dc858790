#include "platform/colour.h"

#include <QGuiApplication>
#include <QPalette>

namespace Pw {

namespace {

// The classic Windows defaults of the system colours (COLOR_SCROLLBAR .. COLOR_MENUBAR),
// used when no application palette is there to ask.
constexpr QRgb kClassicSystemColours[] = {
        0xC8C8C8, 0x000000, 0x99B4D1, 0xBFCDDB, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
        0x000000, 0x000000, 0xB4B4B4, 0xF4F7FC, 0xABABAB, 0x0078D7, 0xFFFFFF, 0xF0F0F0,
        0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
        0xFFFFE1, 0x000000, 0x0066CC, 0xB9D1EA, 0xD7E4F2, 0x0078D7, 0xF0F0F0,
};

constexpr int kSystemColourCount = int(std::size(kClassicSystemColours));

// The palette role nearest to each Windows system colour index, or -1 for none.
QPalette::ColorRole paletteRole(int index, bool *found)
{
    *found = true;
    switch (index) {
    case 4:  // COLOR_MENU
    case 15: // COLOR_BTNFACE
    case 30: // COLOR_MENUBAR
        return QPalette::Button;
    case 5: // COLOR_WINDOW
        return QPalette::Base;
    case 7: // COLOR_MENUTEXT
    case 8: // COLOR_WINDOWTEXT
        return QPalette::Text;
    case 13: // COLOR_HIGHLIGHT
        return QPalette::Highlight;
    case 14: // COLOR_HIGHLIGHTTEXT
        return QPalette::HighlightedText;
    case 18: // COLOR_BTNTEXT
        return QPalette::ButtonText;
    case 20: // COLOR_3DHILIGHT
        return QPalette::Light;
    case 16: // COLOR_BTNSHADOW
        return QPalette::Mid;
    case 21: // COLOR_3DDKSHADOW
        return QPalette::Shadow;
    case 23: // COLOR_INFOTEXT
        return QPalette::ToolTipText;
    case 24: // COLOR_INFOBK
        return QPalette::ToolTipBase;
    case 26: // COLOR_HOTLIGHT
        return QPalette::Link;
    default:
        *found = false;
        return QPalette::NoRole;
    }
}

} // namespace

QColor ColourFromBgr(qint32 bgr)
{
    const auto bits = quint32(bgr);
    if ((bits & 0x80000000u) && (bits & 0x7FFFFF00u) == 0
        && int(bits & 0xFF) < kSystemColourCount) {
        const int index = int(bits & 0xFF);
        bool found = false;
        const QPalette::ColorRole role = paletteRole(index, &found);
        if (found && qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
            return QGuiApplication::palette().color(QPalette::Active, role);
        return QColor(kClassicSystemColours[index]);
    }
    return QColor(int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF));
}

qint32 BgrFromColour(const QColor &colour)
{
    const QColor rgb = colour.toRgb();
    return qint32(quint32(rgb.red()) | (quint32(rgb.green()) << 8) | (quint32(rgb.blue()) << 16));
}

std::optional<qint32> ParseColourText(const QString &text)
{
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok, 10);
    if (!ok || value < -2147483648LL || value > 4294967295LL)
        return std::nullopt;
    return qint32(quint32(value & 0xFFFFFFFFLL));
}

} // namespace Pw
