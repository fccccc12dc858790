#include "app/step2widgets.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>

#include <algorithm>

namespace Pw {

QValidator::State DigitsValidator::validate(QString &input, int &) const
{
    for (QChar &c : input) {
        if (c >= u'０' && c <= u'９')
            c = QChar(u'0' + (c.unicode() - u'０'));
        else if (c < u'0' || c > u'9')
            return Invalid;
    }
    return Acceptable;
}

// ---- FieldCaption ----

FieldCaption::FieldCaption(QWidget *parent)
    : QLabel(parent)
{}

void FieldCaption::setFields(const QList<QWidget *> &fields)
{
    m_fields.clear();
    for (QWidget *field : fields) {
        field->setParent(this);
        m_fields << field;
    }
    updateGeometry();
    placeFields();
}

QList<FieldCaption::Piece> FieldCaption::pieces() const
{
    static const QRegularExpression blanks(QStringLiteral(" {2,}"));
    QList<Piece> out;
    const QString caption = text();
    int from = 0;
    int field = 0;
    QRegularExpressionMatchIterator it = blanks.globalMatch(caption);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        if (match.capturedStart() > from)
            out << Piece{caption.mid(from, match.capturedStart() - from)};
        if (field < m_fields.size() && m_fields.at(field))
            out << Piece{QString(), field};
        else
            out << Piece{match.captured()};
        ++field;
        from = match.capturedEnd();
    }
    if (from < caption.size())
        out << Piece{caption.mid(from)};
    return out;
}

int FieldCaption::pieceWidth(const Piece &piece) const
{
    if (piece.field >= 0)
        return std::min(m_fields.at(piece.field)->sizeHint().width(),
                        m_fields.at(piece.field)->maximumWidth())
               + 4;
    return fontMetrics().horizontalAdvance(piece.text);
}

QSize FieldCaption::sizeHint() const
{
    int width = 0;
    int height = fontMetrics().height();
    for (const Piece &piece : pieces()) {
        width += pieceWidth(piece);
        if (piece.field >= 0)
            height = std::max(height, m_fields.at(piece.field)->sizeHint().height());
    }
    const QMargins margins = contentsMargins();
    return QSize(width + margins.left() + margins.right(),
                 height + margins.top() + margins.bottom());
}

QSize FieldCaption::minimumSizeHint() const
{
    return sizeHint();
}

bool FieldCaption::event(QEvent *event)
{
    const bool handled = QLabel::event(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::LayoutRequest) {
        updateGeometry();
        placeFields();
    }
    return handled;
}

void FieldCaption::placeFields()
{
    const QRect area = contentsRect();
    int x = area.left();
    for (const Piece &piece : pieces()) {
        const int width = pieceWidth(piece);
        if (piece.field >= 0) {
            QWidget *field = m_fields.at(piece.field);
            const int height = field->sizeHint().height();
            field->setGeometry(x + 2, area.top() + (area.height() - height) / 2, width - 4, height);
        }
        x += width;
    }
}

void FieldCaption::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                   QPalette::WindowText));
    const QRect area = contentsRect();
    int x = area.left();
    for (const Piece &piece : pieces()) {
        const int width = pieceWidth(piece);
        if (piece.field < 0)
            painter.drawText(QRect(x, area.top(), width, area.height()),
                             Qt::AlignLeft | Qt::AlignVCenter, piece.text);
        x += width;
    }
}

void FieldCaption::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    placeFields();
}

// ---- SizeLink ----

SizeLink::SizeLink(QWidget *from, QWidget *to, QWidget *parent)
    : QWidget(parent)
    , m_from(from)
    , m_to(to)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void SizeLink::setSolid(bool solid)
{
    m_solid = solid;
    update();
}

QSize SizeLink::sizeHint() const
{
    return QSize(40, fontMetrics().height() / 2);
}

void SizeLink::paintEvent(QPaintEvent *)
{
    if (!m_from || !m_to)
        return;
    QPainter painter(this);
    QPen pen(palette().color(QPalette::WindowText), 1, m_solid ? Qt::SolidLine : Qt::DotLine);
    painter.setPen(pen);
    const int left = m_from->mapTo(window(), m_from->rect().center()).x()
                     - mapTo(window(), QPoint(0, 0)).x();
    const int right = m_to->mapTo(window(), m_to->rect().center()).x()
                      - mapTo(window(), QPoint(0, 0)).x();
    const int bottom = height() - 2;
    painter.drawLine(left, 0, left, bottom);
    painter.drawLine(left, bottom, right, bottom);
    painter.drawLine(right, 0, right, bottom);
}

// ---- HueStrip ----

namespace {
constexpr int kStripWidth = 15;
constexpr int kStripHeight = 54;
} // namespace

HueStrip::HueStrip(QWidget *parent)
    : QWidget(parent)
{
    setFixedSize(kStripWidth, kStripHeight);
    setCursor(Qt::CrossCursor);
}

QColor HueStrip::colourAt(QPoint point)
{
    const int y = std::clamp(point.y(), 0, kStripHeight - 1);
    // Red (0 degrees) at the top to magenta (300 degrees) at the bottom.
    return QColor::fromHsv(300 * y / (kStripHeight - 1), 255, 255);
}

QImage HueStrip::stripImage()
{
    QImage image(kStripWidth, kStripHeight, QImage::Format_RGB32);
    for (int y = 0; y < kStripHeight; ++y) {
        const QRgb rgb = colourAt(QPoint(0, y)).rgb();
        for (int x = 0; x < kStripWidth; ++x)
            image.setPixel(x, y, rgb);
    }
    return image;
}

void HueStrip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(rect(), stripImage());
}

void HueStrip::mousePressEvent(QMouseEvent *event)
{
    // The colour put together again from its red, green and blue, as the swatch stores it.
    const QColor shown = colourAt(event->position().toPoint());
    emit colourPicked(QColor(shown.red(), shown.green(), shown.blue()));
}

// ---- ColourSwatch ----

ColourSwatch::ColourSwatch(QWidget *parent)
    : QFrame(parent)
{
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setLineWidth(1);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void ColourSwatch::setColour(const QColor &colour)
{
    m_colour = colour;
    update();
}

QSize ColourSwatch::sizeHint() const
{
    const int side = fontMetrics().height() + 6;
    return QSize(side, side);
}

void ColourSwatch::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(contentsRect(), m_colour);
    painter.end();
    QFrame::paintEvent(event);
}

void ColourSwatch::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton)
        emit colourRequested(QColor(255, 255, 255));
}

void ColourSwatch::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit colourRequested(QColor(0, 0, 0));
}

// ---- PictureBox ----

PictureBox::PictureBox(QSize logicalSize, QWidget *parent)
    : QFrame(parent)
    , m_logicalSize(logicalSize)
{
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Plain);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void PictureBox::setPicture(const QImage &picture)
{
    m_picture = picture;
    update();
}

void PictureBox::setNote(const QString &note)
{
    m_note = note;
    update();
}

QSize PictureBox::pixelSize() const
{
    return contentsRect().size() * devicePixelRatioF();
}

QSize PictureBox::sizeHint() const
{
    const QMargins margins = contentsMargins();
    return m_logicalSize.grownBy(margins);
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect area = contentsRect();
    if (!m_picture.isNull()) {
        const QSize shown = m_picture.size().scaled(area.size(), Qt::KeepAspectRatio);
        QRect target(QPoint(0, 0), shown);
        target.moveCenter(area.center());
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, m_picture);
    } else if (!m_note.isEmpty()) {
        painter.setPen(palette().color(QPalette::Disabled, QPalette::WindowText));
        painter.drawText(area.adjusted(4, 4, -4, -4), Qt::AlignCenter | Qt::TextWordWrap, m_note);
    }
}

void PictureBox::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    emit resized();
}

} // namespace Pw
