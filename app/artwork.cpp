#include "app/artwork.h"
#include "platform/apppaths.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace Pw {

namespace {

const QColor kDeepBlue(0x1d, 0x3c, 0x63);
const QColor kMidBlue(0x2c, 0x6e, 0xa8);
const QColor kTeal(0x3b, 0xa3, 0xb0);
const QColor kSun(0xf6, 0xc3, 0x43);
const QColor kHill(0x5f, 0xa8, 0x5a);

// A little landscape photo: white frame, sky, hills and a sun.
void paintPhoto(QPainter &p, const QRectF &r)
{
    const qreal edge = std::max<qreal>(1.0, r.width() * 0.06);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(r, edge, edge);
    const QRectF inner = r.adjusted(edge, edge, -edge, -edge);
    QLinearGradient sky(inner.topLeft(), inner.bottomLeft());
    sky.setColorAt(0, QColor(0x9c, 0xd3, 0xf2));
    sky.setColorAt(1, QColor(0xdd, 0xf1, 0xfb));
    p.setBrush(sky);
    p.drawRect(inner);
    p.setBrush(kSun);
    const qreal sun = inner.height() * 0.26;
    p.drawEllipse(QRectF(inner.right() - sun * 1.6, inner.top() + sun * 0.4, sun, sun));
    QPainterPath hills;
    hills.moveTo(inner.bottomLeft());
    hills.lineTo(inner.left(), inner.bottom() - inner.height() * 0.35);
    hills.lineTo(inner.left() + inner.width() * 0.38, inner.top() + inner.height() * 0.35);
    hills.lineTo(inner.left() + inner.width() * 0.62, inner.bottom() - inner.height() * 0.3);
    hills.lineTo(inner.left() + inner.width() * 0.78, inner.bottom() - inner.height() * 0.45);
    hills.lineTo(inner.right(), inner.bottom() - inner.height() * 0.2);
    hills.lineTo(inner.bottomRight());
    hills.closeSubpath();
    p.setBrush(kHill);
    p.drawPath(hills);
}

QPixmap iconPixmap(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF tile(0.5, 0.5, size - 1.0, size - 1.0);
    QLinearGradient back(tile.topLeft(), tile.bottomRight());
    back.setColorAt(0, kMidBlue);
    back.setColorAt(1, kDeepBlue);
    p.setPen(Qt::NoPen);
    p.setBrush(back);
    p.drawRoundedRect(tile, size * 0.18, size * 0.18);
    paintPhoto(p, QRectF(size * 0.14, size * 0.2, size * 0.62, size * 0.5));
    // The shrink arrow pointing from the large corner to a smaller one.
    QPen arrow(kSun, std::max(1.5, size * 0.07), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(arrow);
    p.setBrush(Qt::NoBrush);
    const QPointF tip(size * 0.62, size * 0.6);
    const QPointF tail(size * 0.86, size * 0.84);
    p.drawLine(tail, tip);
    const qreal head = size * 0.13;
    p.drawLine(tip, tip + QPointF(head, 0));
    p.drawLine(tip, tip + QPointF(0, head));
    return pixmap;
}

} // namespace

QIcon AppIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(iconPixmap(size));
    return icon;
}

void PaintBanner(QPainter &p, const QRectF &r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient back(r.topLeft(), r.bottomLeft());
    back.setColorAt(0, kDeepBlue);
    back.setColorAt(0.55, kMidBlue);
    back.setColorAt(1, kTeal);
    p.fillRect(r, back);

    // Three frames, each smaller than the one above: what the program does to pictures.
    const qreal w = r.width();
    qreal top = r.top() + w * 0.22;
    for (qreal scale : {0.72, 0.54, 0.38}) {
        const qreal fw = w * scale;
        const qreal fh = fw * 0.72;
        paintPhoto(p, QRectF(r.left() + (w - fw) / 2, top, fw, fh));
        top += fh + w * 0.12;
        if (scale > 0.4) {
            QPen pen(QColor(255, 255, 255, 170), std::max(1.0, w * 0.02), Qt::SolidLine,
                     Qt::RoundCap);
            p.setPen(pen);
            const qreal cx = r.left() + w / 2;
            p.drawLine(QPointF(cx, top - w * 0.1), QPointF(cx, top - w * 0.03));
            p.drawLine(QPointF(cx - w * 0.04, top - w * 0.07), QPointF(cx, top - w * 0.03));
            p.drawLine(QPointF(cx + w * 0.04, top - w * 0.07), QPointF(cx, top - w * 0.03));
        }
    }

    // The product name, upright along the lower part of the strip when there is room for it.
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(std::max(8, int(w * 0.26)));
    font.setBold(true);
    p.setFont(font);
    const QString name = ProductName();
    const qreal textLength = QFontMetricsF(font).horizontalAdvance(name);
    const qreal room = r.bottom() - top - w * 0.15;
    if (room > textLength) {
        p.translate(r.left() + w / 2 + QFontMetricsF(font).ascent() * 0.35, r.bottom() - w * 0.15);
        p.rotate(-90);
        p.setPen(QColor(255, 255, 255, 215));
        p.drawText(QPointF(0, 0), name);
    }
    p.restore();
}

QPixmap BannerPixmap(QSize logicalSize, qreal devicePixelRatio)
{
    QPixmap pixmap(logicalSize * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    QPainter p(&pixmap);
    PaintBanner(p, QRectF(QPointF(0, 0), QSizeF(logicalSize)));
    return pixmap;
}

void PaintGlyph(QPainter &p, const QRectF &r, ButtonGlyph glyph)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = std::min(r.width(), r.height());
    const QRectF box(r.center().x() - s / 2, r.center().y() - s / 2, s, s);
    const QColor outline(0x5a, 0x4a, 0x1c);
    switch (glyph) {
    case ButtonGlyph::Folder: {
        QPainterPath back;
        back.moveTo(box.left() + s * 0.08, box.top() + s * 0.2);
        back.lineTo(box.left() + s * 0.4, box.top() + s * 0.2);
        back.lineTo(box.left() + s * 0.48, box.top() + s * 0.3);
        back.lineTo(box.right() - s * 0.08, box.top() + s * 0.3);
        back.lineTo(box.right() - s * 0.08, box.bottom() - s * 0.16);
        back.lineTo(box.left() + s * 0.08, box.bottom() - s * 0.16);
        back.closeSubpath();
        p.setPen(QPen(outline, std::max(1.0, s * 0.04)));
        p.setBrush(QColor(0xe0, 0xa8, 0x2e));
        p.drawPath(back);
        QPainterPath front;
        front.moveTo(box.left() + s * 0.08, box.bottom() - s * 0.16);
        front.lineTo(box.left() + s * 0.2, box.top() + s * 0.42);
        front.lineTo(box.right() - s * 0.02, box.top() + s * 0.42);
        front.lineTo(box.right() - s * 0.08, box.bottom() - s * 0.16);
        front.closeSubpath();
        p.setBrush(QColor(0xf7, 0xcf, 0x5a));
        p.drawPath(front);
        break;
    }
    case ButtonGlyph::Camera: {
        const QRectF body(box.left() + s * 0.06, box.top() + s * 0.3, s * 0.88, s * 0.56);
        p.setPen(QPen(QColor(0x20, 0x20, 0x20), std::max(1.0, s * 0.04)));
        p.setBrush(QColor(0x45, 0x4d, 0x57));
        p.drawRect(QRectF(box.left() + s * 0.34, box.top() + s * 0.18, s * 0.3, s * 0.14));
        p.drawRoundedRect(body, s * 0.08, s * 0.08);
        p.setBrush(QColor(0xd8, 0xe4, 0xee));
        const qreal lens = s * 0.38;
        p.drawEllipse(
                QRectF(body.center().x() - lens / 2, body.center().y() - lens / 2, lens, lens));
        p.setBrush(kMidBlue);
        const qreal pupil = lens * 0.5;
        p.drawEllipse(
                QRectF(body.center().x() - pupil / 2, body.center().y() - pupil / 2, pupil, pupil));
        p.setPen(Qt::NoPen);
        p.setBrush(kSun);
        p.drawRect(QRectF(body.left() + s * 0.08, body.top() + s * 0.08, s * 0.12, s * 0.07));
        break;
    }
    case ButtonGlyph::Refresh: {
        const QRectF ring = box.adjusted(s * 0.18, s * 0.18, -s * 0.18, -s * 0.18);
        QPen pen(QColor(0x2f, 0x8a, 0x3c), std::max(1.5, s * 0.11), Qt::SolidLine, Qt::FlatCap);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawArc(ring, 60 * 16, 280 * 16);
        // The arrow head at the upper end of the arc, pointing along it.
        const QPointF end(ring.center().x() + ring.width() / 2 * 0.5,
                          ring.center().y() - ring.height() / 2 * 0.866);
        QPainterPath head;
        head.moveTo(end + QPointF(s * 0.2, s * 0.02));
        head.lineTo(end + QPointF(-s * 0.1, -s * 0.16));
        head.lineTo(end + QPointF(-s * 0.04, s * 0.2));
        head.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x2f, 0x8a, 0x3c));
        p.drawPath(head);
        break;
    }
    }
    p.restore();
}

} // namespace Pw
