#pragma once

#include "imaging/fitgeometry.h"
#include "platform/colour.h"

#include <QFont>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace Pw {

// The step-2 choices. Text-box fields are held as the text of their box, since the
// box may hold anything the user pasted and validation rewrites it; the *Value() helpers read
// them as whole numbers, an empty or non-numeric text giving the field's initial value.
// Colours are 0x00BBGGRR (platform/colour.h). Line breaks in overlayText are CR LF.
struct ProcessingOptions
{
    FitMode fitMode = FitMode::CentreCut;          // OpSYT: the index is FitModeIndex
    QString targetWidth = QStringLiteral("400");   // Text1
    QString targetHeight = QStringLiteral("400");  // Text2
    bool squareOutput = false;                     // Check2
    int presetIndex = 0;                           // Combo1: 0 own sizes, 1..32 a preset
    bool sizeBoxesLocked = false;                  // Text1/Text2 disabled by a preset pick
    int edgeChoice = 1;                            // mode 3: 1 long edge, 2 width, 3 height
    QString edgeLength = QStringLiteral("400");    // Text_31
    int scalePercent = 50;                         // HScroll1, 5..500
    QString percentFloor = QStringLiteral("2");    // Text51
    QString percentCap = QStringLiteral("16000");  // Text52
    bool enlargeSmall = false;                     // chkXT
    bool compressOnly = false;                     // ChkYSTJ
    bool sizeLimitOn = false;                      // ChkDWJ
    QString sizeLimitValue = QStringLiteral("50"); // TxtDWJ
    int sizeLimitUnit = 0;                         // ComboDWJ: 0 "K", 1 "M"
    bool addText = false;                          // Check1
    QString overlayText;                           // Text3
    QFont textFont = DefaultTextFont();
    qint32 textColour = 0;                       // black
    bool textInverse = false;                    // Check3
    qint32 textBackColour = kSystemWindowColour; // PicBJse: the system window colour

    // "宋体" 10.5 pt, regular: the drawing canvas's starting font.
    static QFont DefaultTextFont();

    // The text boxes read as numbers (empty or non-numeric: the initial value).
    int targetWidthValue() const;
    int targetHeightValue() const;
    int edgeLengthValue() const;
    int percentFloorValue() const;
    int percentCapValue() const;
    int sizeLimitNumber() const;
    // The size limit in bytes: sizeLimitValue x 1024 ("K") or x 1024 x 1024 ("M"), whether or
    // not sizeLimitOn is set.
    qint64 sizeLimitBytes() const;

    // The step-2 screen's invariants as record operations; the window calls them.
    // Text1 changed: copied into Text2 while squareOutput is on, and always into Text_31.
    void setTargetWidth(const QString &text);
    // Check2: ticking it copies the width into the height.
    void setSquareOutput(bool on);
    // Combo1 pick k: k >= 1 fills width = larger, height = smaller (width first, so the pair
    // stands even with squareOutput on) and locks the boxes; k < 1 (or > 32) selects item 0 and
    // unlocks them, keeping their text.
    void pickPreset(int index);
    // OpSYT click: sets the mode, puts the preset list back to item 0 and, for modes 1..4,
    // clears compressOnly.
    void selectMode(FitMode mode);
    // Op31 / op32 / Op33 click: selects mode 3 and the edge.
    void chooseEdge(int choice);
    // HScroll1 moved: the percentage (kept in 5..500), which the mode-5 caption then shows.
    void setScalePercent(int percent);
    // ChkYSTJ: ticking selects mode 5 at 100 %; unticking leaves mode and percentage.
    void setCompressOnly(bool on);
    // At Next, in mode 3 only: edgeLength back into the width (edge choice 1, 2) or the
    // height (3). Other modes keep the sizes of their own boxes.
    void copyEdgeLengthBack();
};

// Reads "numeric" as the stored keys and text boxes mean it: after trimming blanks, an
// optional sign, decimal digits with an optional fraction and an optional exponent.
bool IsNumericText(const QString &text);
// The whole number a numeric text stands for (halves to even, clamped to int); no value
// otherwise.
std::optional<int> WholeNumberFromText(const QString &text);

// Every function that reads or writes settings takes the settings file; the empty text means
// the default settings file.

// The options restored from the settings file, in the order step 2 restores them: preset index,
// text colour, inverse background colour, overlay text, add-text switch, mode (with, for a
// stored mode 3 only, edge choice and edge length), percentage, floor, cap. Values that are
// absent, not numeric or out of range leave the initial value. Nothing is written.
ProcessingOptions LoadProcessingOptions(const QString &settingsFile = QString());

// Step 2's load: LoadProcessingOptions, then selecting the restored mode stores it under
// "处理方式FS", as every click of a mode does.
ProcessingOptions LoadStep2Options(const QString &settingsFile = QString());

// At Next, once ValidateOptions passed: copies the edge length back, then writes
// "处理方式31", "处理方式50", "处理方式51", "处理方式52" in this order.
void SaveOptionsAtNext(ProcessingOptions &options, const QString &settingsFile = QString());

// The keys written the moment their control changes.
void SaveFitMode(FitMode fitMode, const QString &settingsFile = QString()); // FitModeIndex
void SaveEdgeChoice(int edgeChoice, const QString &settingsFile = QString());
void SaveAddText(bool on, const QString &settingsFile = QString());
// Line breaks stored as "`^`".
void SaveOverlayText(const QString &text, const QString &settingsFile = QString());
void SaveTextColour(qint32 bgr, const QString &settingsFile = QString());
void SaveTextBackColour(qint32 bgr, const QString &settingsFile = QString());

// The overlay text's stored form: every line break (CR LF, or a lone LF or CR) as "`^`", and
// back (every "`^`" as CR LF).
QString OverlayTextToStored(const QString &text);
QString OverlayTextFromStored(const QString &stored);

enum class OptionsField { None, TargetWidth, TargetHeight };

struct OptionsCheck
{
    bool valid = true;
    OptionsField field = OptionsField::None; // the box to correct: caret to its end, focus
    QString message;                         // warning text
    QString title;                           // box title: "Pixwright" or "注意"
    QString fieldText;                       // what was put into the field ("480")
};

// Step 2's Next check, first failure wins: the font dialog open; Text1 blank or not numeric
// (set to "480"); Text2 the same, in every mode. Changes the record as it reports.
OptionsCheck ValidateOptions(ProcessingOptions &options, bool fontDialogOpen);

// The geometry parameters of the record (text boxes read as numbers).
FitParams ToFitParams(const ProcessingOptions &options);

} // namespace Pw
