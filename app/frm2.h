#pragma once

#include "app/previewscheduler.h"
#include "options/processingoptions.h"
#include "run/resultdrawing.h"

#include <QColor>
#include <QWidget>

#include <array>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace Pw {

class ColourSwatch;
class FieldCaption;
class HueStrip;
class PictureBox;
class SizeLink;
class Wizard;

// Step 2: the processing mode with its sizes, the size limit and the text overlay, an
// illustration of the mode and a live preview of the result. The controls edit a
// ProcessingOptions record through its operations and show it again; the rules live there.
class Frm2 : public QWidget
{
    Q_OBJECT

public:
    explicit Frm2(Wizard &wizard, QWidget *parent = nullptr);
    ~Frm2() override;

    // The choices as the controls hold them now.
    ProcessingOptions options() const;
    // The caption of the chosen mode option as shown (the summary and the report copy it).
    QString modeCaption() const;
    bool fontDialogOpen() const { return m_fontDialogOpen; }
    // The picture the live preview draws (step 1's preview); empty for none. The wizard hands
    // it over.
    void setPreviewSource(const QString &file);
    QString previewSource() const { return m_previewFile; }
    // Step 3's background picture, drawn under the border of modes 1 and 2; empty for none.
    void setBackgroundPicture(const QString &file);

    QLabel *PicL = nullptr;
    QLabel *lblStep = nullptr;
    QWidget *PicRT = nullptr;
    std::array<QRadioButton *, 5> OpSYT{};
    QButtonGroup *OpSYTGroup = nullptr; // ids 0..4
    QLabel *Label2 = nullptr;
    QWidget *PicK2 = nullptr;
    FieldCaption *lblCDB = nullptr;
    QLineEdit *Text1 = nullptr;
    QLineEdit *Text2 = nullptr;
    QPushButton *Check2 = nullptr; // "=": width and height kept equal
    SizeLink *Line2 = nullptr;
    QComboBox *Combo1 = nullptr;
    QWidget *PicK1 = nullptr;
    QLineEdit *Text_31 = nullptr;
    QRadioButton *Op31 = nullptr;
    QRadioButton *op32 = nullptr;
    QRadioButton *Op33 = nullptr;
    QLabel *lblSX_31 = nullptr;
    QCheckBox *chkXT = nullptr;
    QScrollBar *HScroll1 = nullptr;
    QLabel *lbl51 = nullptr;
    QLineEdit *Text51 = nullptr;
    QLabel *lbl52 = nullptr;
    QLineEdit *Text52 = nullptr;
    QLabel *Label1 = nullptr;
    QCheckBox *ChkYSTJ = nullptr;
    QCheckBox *ChkDWJ = nullptr;
    QLineEdit *TxtDWJ = nullptr;
    QComboBox *ComboDWJ = nullptr;
    QCheckBox *Check1 = nullptr;
    QPlainTextEdit *Text3 = nullptr;
    QPushButton *Command3 = nullptr; // the font dialog
    QCheckBox *Check3 = nullptr;
    HueStrip *PicBJS = nullptr;
    ColourSwatch *PicBJse = nullptr;
    PictureBox *PicSYT = nullptr;
    QLabel *Label3 = nullptr;
    PictureBox *PicPreview = nullptr; // "效果预览"
    QPushButton *Command1 = nullptr;  // Next
    QPushButton *Command2 = nullptr;  // Previous
    QPushButton *Command4 = nullptr;  // Skip

signals:
    // The live preview shows the options as they were when it was asked for last.
    void previewShown();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    QWidget *buildModePanel();
    void reserveCaptionWidths();
    QWidget *buildLimitAndTextPanel();
    void connectControls();

    void showOptions();
    void applyModeLayout();
    void selectMode(int index);
    void chooseEdge(int choice);
    void drawIllustration();
    void focusAtEnd(QLineEdit *box);
    void chooseFont();
    void next();
    void previous();
    void skip();
    bool refuseWhileFontDialogOpen();

    void schedulePreview();
    void previewDrawn(const ResultPreview &preview);

    Wizard &m_wizard;
    ProcessingOptions m_options;
    bool m_fontDialogOpen = false;
    QWidget *m_percentPanel = nullptr; // HScroll1 with the bounds of mode 5
    bool m_showing = false; // controls are being set from the record: their signals are not edits

    QString m_previewFile;
    QColor m_background = Qt::black;
    QString m_backgroundPicture;
    // Last member: its destruction waits for a running preview before the window goes.
    PreviewScheduler m_previews;
};

} // namespace Pw
