#include "app/picturewidgets.h"

#include <QPainter>
#include <QStyle>

namespace Pw {

PictureButton::PictureButton(ButtonGlyph glyph, int glyphSize, QWidget *parent)
    : QAbstractButton(parent)
    , m_glyph(glyph)
    , m_glyphSize(glyphSize)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize PictureButton::sizeHint() const
{
    return {m_glyphSize + 6, m_glyphSize + 6};
}

void PictureButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRectF area = QRectF(rect()).adjusted(3, 3, -3, -3);
    // Keyboard focus shows as a tint, so that the only border is the pressed one.
    if (hasFocus())
        p.fillRect(rect(), palette().color(QPalette::Highlight).lighter(190));
    PaintGlyph(p, area, m_glyph);
    if (isDown()) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(palette().color(QPalette::WindowText), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

Banner::Banner(QWidget *parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("PicL"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
}

QSize Banner::sizeHint() const
{
    return {112, 420};
}

QSize Banner::minimumSizeHint() const
{
    return {112, 200};
}

void Banner::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    PaintBanner(p, QRectF(rect()));
}

ElidedLabel::ElidedLabel(QWidget *parent, Qt::TextElideMode mode)
    : QLabel(parent)
    , m_mode(mode)
{
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

QSize ElidedLabel::minimumSizeHint() const
{
    return {fontMetrics().horizontalAdvance(QStringLiteral("【…】")),
            QLabel::minimumSizeHint().height()};
}

void ElidedLabel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect area = contentsRect();
    const QFontMetrics metrics = fontMetrics();
    QStringList lines = text().split(u'\n');
    for (QString &line : lines)
        line = metrics.elidedText(line, m_mode, area.width());
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(area, int(alignment()), lines.join(u'\n'));
}

} // namespace Pw
