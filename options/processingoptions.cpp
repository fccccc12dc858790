#include "options/processingoptions.h"

#include "options/presets.h"
#include "platform/apppaths.h"
#include "settings/inistore.h"
#include "settings/settingskeys.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace Pw {

namespace {

const QString kSizeReset = QStringLiteral("480");

// The translation context of this file's texts.
struct OptionsText
{
    Q_DECLARE_TR_FUNCTIONS(Pw::ProcessingOptions)
};

int valueOr(const QString &text, int initial)
{
    return WholeNumberFromText(text).value_or(initial);
}

std::optional<int> storedNumberIn(const QString &key, int low, int high, const QString &file)
{
    const std::optional<int> number = WholeNumberFromText(
            ReadIni(Keys::kSectionSelected, key, file));
    if (number && *number >= low && *number <= high)
        return number;
    return std::nullopt;
}

void store(const QString &key, const QString &value, const QString &file)
{
    // A failed write loses nothing but this one setting; callers go on either way.
    WriteIni(Keys::kSectionSelected, key, value, file);
}

} // namespace

bool IsNumericText(const QString &text)
{
    static const QRegularExpression pattern(
            QStringLiteral("^[+-]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][+-]?\\d+)?$"));
    return pattern.match(text.trimmed()).hasMatch();
}

std::optional<int> WholeNumberFromText(const QString &text)
{
    if (!IsNumericText(text))
        return std::nullopt;
    const double value = text.trimmed().toDouble();
    if (std::isnan(value))
        return std::nullopt;
    constexpr double low = std::numeric_limits<int>::min();
    constexpr double high = std::numeric_limits<int>::max();
    if (value <= low)
        return std::numeric_limits<int>::min();
    if (value >= high)
        return std::numeric_limits<int>::max();
    return RoundHalfEven(value);
}

QFont ProcessingOptions::DefaultTextFont()
{
    QFont font(QStringLiteral("宋体"));
    font.setPointSizeF(10.5);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    return font;
}

int ProcessingOptions::targetWidthValue() const
{
    return valueOr(targetWidth, 400);
}

int ProcessingOptions::targetHeightValue() const
{
    return valueOr(targetHeight, 400);
}

int ProcessingOptions::edgeLengthValue() const
{
    return valueOr(edgeLength, 400);
}

int ProcessingOptions::percentFloorValue() const
{
    return valueOr(percentFloor, 2);
}

int ProcessingOptions::percentCapValue() const
{
    return valueOr(percentCap, 16000);
}

int ProcessingOptions::sizeLimitNumber() const
{
    return valueOr(sizeLimitValue, 50);
}

qint64 ProcessingOptions::sizeLimitBytes() const
{
    return qint64(sizeLimitNumber()) * (sizeLimitUnit == 1 ? 1024 * 1024 : 1024);
}

void ProcessingOptions::setTargetWidth(const QString &text)
{
    targetWidth = text;
    if (squareOutput)
        targetHeight = text;
    edgeLength = text;
}

void ProcessingOptions::setSquareOutput(bool on)
{
    squareOutput = on;
    if (on)
        targetHeight = targetWidth;
}

void ProcessingOptions::pickPreset(int index)
{
    const std::optional<PresetSize> size = PresetPick(index);
    if (!size) {
        presetIndex = 0;
        sizeBoxesLocked = false;
        return;
    }
    presetIndex = index;
    sizeBoxesLocked = true;
    // Width first: with the square switch on it is copied into the height, which the preset's
    // own height then overwrites.
    setTargetWidth(QString::number(size->width));
    targetHeight = QString::number(size->height);
}

void ProcessingOptions::selectMode(FitMode mode)
{
    fitMode = mode;
    pickPreset(0);
    if (fitMode != FitMode::Percent)
        compressOnly = false;
}

void ProcessingOptions::chooseEdge(int choice)
{
    selectMode(FitMode::OneEdge);
    edgeChoice = (choice == 2 || choice == 3) ? choice : 1;
}

void ProcessingOptions::setScalePercent(int percent)
{
    scalePercent = qBound(5, percent, 500);
}

void ProcessingOptions::setCompressOnly(bool on)
{
    if (on) {
        selectMode(FitMode::Percent);
        setScalePercent(100);
    }
    compressOnly = on;
}

void ProcessingOptions::copyEdgeLengthBack()
{
    // Only mode 3 reads the edge box; in the other modes its text is a leftover that must not
    // overwrite the sizes the user typed.
    if (fitMode != FitMode::OneEdge)
        return;
    if (edgeChoice == 3)
        targetHeight = edgeLength;
    else
        setTargetWidth(edgeLength);
}

QString OverlayTextToStored(const QString &text)
{
    QString stored = text;
    stored.replace(QStringLiteral("\r\n"), QStringLiteral("`^`"));
    stored.replace(u'\n', QStringLiteral("`^`"));
    stored.replace(u'\r', QStringLiteral("`^`"));
    return stored;
}

QString OverlayTextFromStored(const QString &stored)
{
    QString text = stored;
    return text.replace(QStringLiteral("`^`"), QStringLiteral("\r\n"));
}

ProcessingOptions LoadProcessingOptions(const QString &settingsFile)
{
    using namespace Keys;
    const QString &section = kSectionSelected;
    ProcessingOptions options;

    options.pickPreset(storedNumberIn(kPresetIndex, 0, kPresetCount, settingsFile).value_or(0));
    options.textColour = ParseColourText(ReadIni(section, kTextColour, settingsFile)).value_or(0);
    if (const std::optional<qint32> colour = ParseColourText(
                ReadIni(section, kTextBackColour, settingsFile)))
        options.textBackColour = *colour;
    options.overlayText = OverlayTextFromStored(ReadIni(section, kOverlayText, settingsFile));
    options.addText = ReadIni(section, kAddText, settingsFile) == QStringLiteral("1");

    const FitMode mode = FitModeFromIndex(storedNumberIn(kFitMode, 0, 4, settingsFile).value_or(0));
    options.selectMode(mode);
    if (mode == FitMode::OneEdge) {
        const QString edge = ReadIni(section, kEdgeChoice, settingsFile);
        options.edgeChoice = edge == QStringLiteral("2") ? 2 : edge == QStringLiteral("3") ? 3 : 1;
        const QString length = ReadIni(section, kEdgeLength, settingsFile);
        if (IsNumericText(length))
            options.edgeLength = length;
    }

    if (const std::optional<int> percent = storedNumberIn(kScalePercent, 5, 500, settingsFile))
        options.scalePercent = *percent;
    const QString floor = ReadIni(section, kPercentFloor, settingsFile);
    if (IsNumericText(floor))
        options.percentFloor = floor;
    const QString cap = ReadIni(section, kPercentCap, settingsFile);
    if (IsNumericText(cap))
        options.percentCap = cap;
    return options;
}

ProcessingOptions LoadStep2Options(const QString &settingsFile)
{
    const ProcessingOptions options = LoadProcessingOptions(settingsFile);
    SaveFitMode(options.fitMode, settingsFile);
    return options;
}

void SaveOptionsAtNext(ProcessingOptions &options, const QString &settingsFile)
{
    options.copyEdgeLengthBack();
    store(Keys::kEdgeLength, options.edgeLength, settingsFile);
    store(Keys::kScalePercent, QString::number(options.scalePercent), settingsFile);
    store(Keys::kPercentFloor, options.percentFloor, settingsFile);
    store(Keys::kPercentCap, options.percentCap, settingsFile);
}

void SaveFitMode(FitMode fitMode, const QString &settingsFile)
{
    store(Keys::kFitMode, QString::number(FitModeIndex(fitMode)), settingsFile);
}

void SaveEdgeChoice(int edgeChoice, const QString &settingsFile)
{
    store(Keys::kEdgeChoice, QString::number(edgeChoice), settingsFile);
}

void SaveAddText(bool on, const QString &settingsFile)
{
    store(Keys::kAddText, on ? QStringLiteral("1") : QStringLiteral("0"), settingsFile);
}

void SaveOverlayText(const QString &text, const QString &settingsFile)
{
    store(Keys::kOverlayText, OverlayTextToStored(text), settingsFile);
}

void SaveTextColour(qint32 bgr, const QString &settingsFile)
{
    store(Keys::kTextColour, ColourText(bgr), settingsFile);
}

void SaveTextBackColour(qint32 bgr, const QString &settingsFile)
{
    store(Keys::kTextBackColour, ColourText(bgr), settingsFile);
}

OptionsCheck ValidateOptions(ProcessingOptions &options, bool fontDialogOpen)
{
    OptionsCheck check;
    if (fontDialogOpen) {
        check.valid = false;
        check.message = OptionsText::tr("请先关闭字体对话框");
        check.title = ProductName();
        return check;
    }
    const auto usable = [](const QString &text) {
        return !text.trimmed().isEmpty() && IsNumericText(text);
    };
    const auto fail = [&](OptionsField field, const QString &message) {
        check.valid = false;
        check.field = field;
        check.message = message;
        check.title = OptionsText::tr("注意");
        check.fieldText = kSizeReset;
        return check;
    };
    if (!usable(options.targetWidth)) {
        options.setTargetWidth(kSizeReset); // a change of Text1, copied on like any other
        return fail(OptionsField::TargetWidth, OptionsText::tr("请填入长边数字"));
    }
    if (!usable(options.targetHeight)) {
        options.targetHeight = kSizeReset;
        return fail(OptionsField::TargetHeight, OptionsText::tr("请填入短边数字"));
    }
    return check;
}

FitParams ToFitParams(const ProcessingOptions &options)
{
    FitParams params;
    params.fitMode = options.fitMode;
    params.targetWidth = options.targetWidthValue();
    params.targetHeight = options.targetHeightValue();
    params.edgeChoice = options.edgeChoice;
    params.edgeLength = options.edgeLengthValue();
    params.scalePercent = options.scalePercent;
    params.percentFloor = options.percentFloorValue();
    params.percentCap = options.percentCapValue();
    params.enlargeSmall = options.enlargeSmall;
    return params;
}

} // namespace Pw
