#include "run/textoverlay.h"

#include "platform/colour.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace Pw {

QFont OverlayCanvasFont(const QFont &font)
{
    QFont canvasFont = font;
    if (font.pointSizeF() > 0)
        canvasFont.setPixelSize(std::max(1, int(std::lround(font.pointSizeF() * 96.0 / 72.0))));
    return canvasFont;
}

void DrawTextOverlay(QImage &canvas, const ProcessingOptions &options)
{
    if (!options.addText || canvas.isNull())
        return;
    // CR LF from the settings file, LF from a Qt text box, a lone CR from pasted text.
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    const QStringList lines = options.overlayText.split(lineBreak);
    const QFont font = OverlayCanvasFont(options.textFont);
    const QFontMetrics metrics(font, &canvas);
    QColor textColour = ColourFromBgr(options.textColour);

    QPainter painter(&canvas);
    painter.setFont(font);
    const int lineHeight = metrics.height();
    double y = 0;
    if (options.textInverse) {
        int widest = 0;
        for (const QString &line : lines)
            widest = std::max(widest, metrics.horizontalAdvance(line));
        const int blockWidth = widest + 10;
        const int blockHeight = int(lines.size()) * lineHeight + 10;
        // Whole-number difference halved with truncation toward zero, as the block was placed.
        const int left = (canvas.width() - blockWidth) / 2;
        const int top = (canvas.height() - blockHeight) / 2;
        QColor boxColour = ColourFromBgr(options.textBackColour);
        if (options.textColour == 0) {
            // Black text on an arbitrary box may vanish; black asks for white on red.
            boxColour = QColor(255, 0, 0);
            textColour = QColor(255, 255, 255);
        }
        // The box includes both corner pixels, as a filled line box does.
        painter.fillRect(QRect(left, top, blockWidth + 1, blockHeight + 1), boxColour);
        y = top + 5;
    } else {
        y = (canvas.height() - lineHeight) / 2.0;
    }
    painter.setPen(textColour);
    for (const QString &line : lines) {
        const double x = (canvas.width() - metrics.horizontalAdvance(line)) / 2.0;
        painter.drawText(QPointF(x, y + metrics.ascent()), line);
        y += lineHeight;
    }
}

} // namespace Pw
