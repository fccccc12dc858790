#pragma once

#include "app/guiservices.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace Pw {

// The overlay's font dialog: face, style, size 8..72 points, underline, strike-out and a colour
// (the 16 classic colours or a custom one), with a sample. Qt's own font dialog has no colour.
class FontColourDialog : public QDialog
{
    Q_OBJECT

public:
    explicit FontColourDialog(const FontChoice &initial, QWidget *parent = nullptr);

    // The choice as the controls hold it now; the size is exactly the size shown.
    FontChoice choice() const;

    // The 16 classic colours in the list's order, with their names.
    static QList<QPair<QColor, QString>> classicColours();

    QLineEdit *faceEdit = nullptr;
    QListWidget *faceList = nullptr;
    QListWidget *styleList = nullptr;
    QDoubleSpinBox *sizeBox = nullptr;
    QListWidget *sizeList = nullptr;
    QCheckBox *strikeOutBox = nullptr;
    QCheckBox *underlineBox = nullptr;
    QComboBox *colourBox = nullptr;
    QLabel *sample = nullptr;

private:
    void chooseCustomColour();
    void setCustomColour(const QColor &colour);
    void updateSample();

    QColor m_colour;
    int m_lastColourRow = 0;
};

} // namespace Pw
