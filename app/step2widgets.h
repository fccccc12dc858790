#pragma once

#include <QColor>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QList>
#include <QPointer>
#include <QValidator>

namespace Pw {

// The small drawn controls of step 2.

// The number boxes take digits only, however the text arrives (typed, pasted, dropped): a text
// holding anything else is refused whole. Full-width digits of a Chinese input method are
// taken as the digits they are.
class DigitsValidator : public QValidator
{
    Q_OBJECT

public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
};

// A caption whose runs of two or more blanks hold the given fields (lblCDB: "宽：      像素，高：
// ...": Text1 sits in the first run, Text2 in the second). text() stays the caption as given;
// the runs are drawn as wide as their fields.
class FieldCaption : public QLabel
{
    Q_OBJECT

public:
    explicit FieldCaption(QWidget *parent = nullptr);
    // The fields become children of the caption, placed in the blank runs in order.
    void setFields(const QList<QWidget *> &fields);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Piece
    {
        QString text;   // a run of text, or empty for a field's place
        int field = -1; // index into m_fields
    };
    QList<Piece> pieces() const;
    int pieceWidth(const Piece &piece) const;
    void placeFields();

    QList<QPointer<QWidget>> m_fields;
};

// Line2: the bracket that ties the width box to the height box; solid while they are kept
// equal, dotted otherwise. It spans the centres of the two boxes it is given.
class SizeLink : public QWidget
{
    Q_OBJECT

public:
    SizeLink(QWidget *from, QWidget *to, QWidget *parent = nullptr);
    void setSolid(bool solid);
    bool isSolid() const { return m_solid; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPointer<QWidget> m_from;
    QPointer<QWidget> m_to;
    bool m_solid = false;
};

// PicBJS: a 15 x 54 strip running through the hues from red at the top over yellow, green,
// cyan and blue to magenta at the bottom. A press of any button picks the colour under the
// pointer.
class HueStrip : public QWidget
{
    Q_OBJECT

public:
    explicit HueStrip(QWidget *parent = nullptr);
    // The colour shown at a point of the strip (outside it: the nearest edge).
    static QColor colourAt(QPoint point);
    static QImage stripImage();

signals:
    void colourPicked(const QColor &colour);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
};

// PicBJse: shows one colour. A double-click asks for black, a right press for white.
class ColourSwatch : public QFrame
{
    Q_OBJECT

public:
    explicit ColourSwatch(QWidget *parent = nullptr);
    void setColour(const QColor &colour);
    QColor colour() const { return m_colour; }
    QSize sizeHint() const override;

signals:
    void colourRequested(const QColor &colour);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QColor m_colour = Qt::white;
};

// A framed box that shows one picture filling it (the illustration PicSYT, the live preview)
// or, without a picture, an optional line of text. pixelSize() is the picture size that fills
// it exactly at the screen's scaling.
class PictureBox : public QFrame
{
    Q_OBJECT

public:
    PictureBox(QSize logicalSize, QWidget *parent = nullptr);
    void setPicture(const QImage &picture); // null: empty
    QImage picture() const { return m_picture; }
    void setNote(const QString &note);
    QString note() const { return m_note; }
    QSize pixelSize() const;
    QSize sizeHint() const override;

signals:
    void resized();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QSize m_logicalSize;
    QImage m_picture;
    QString m_note;
};

} // namespace Pw
