#pragma once

#include "app/artwork.h"

#include <QAbstractButton>
#include <QLabel>

namespace Pw {

// Widgets that show the program's own pictures.

// A button drawn as a picture: no frame, a single-line border only while the mouse button is
// held down on it.
class PictureButton : public QAbstractButton
{
    Q_OBJECT

public:
    PictureButton(ButtonGlyph glyph, int glyphSize, QWidget *parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    ButtonGlyph m_glyph;
    int m_glyphSize;
};

// The step banner PicL: paints itself to fill whatever height the window gives it.
class Banner : public QLabel
{
    Q_OBJECT

public:
    explicit Banner(QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A label that shortens each of its lines ("…") when it is too narrow, so that a long file
// name or camera model never widens the window: in the middle by default, so that a file name
// keeps its extension. text() stays whole.
class ElidedLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget *parent = nullptr, Qt::TextElideMode mode = Qt::ElideMiddle);

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Qt::TextElideMode m_mode;
};

} // namespace Pw
