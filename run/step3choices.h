#pragma once

#include <QString>
#include <QtGlobal>

namespace Pw {

inline constexpr int kQualityIndexCount = 20;
inline constexpr int kDefaultQualityIndex = 16; // quality 85

// The step-3 choices a batch run reads: taken when the run starts.
struct Step3Choices
{
    qint32 backgroundColour = 0; // 0x00BBGGRR, modes 1 and 2 only
    QString backgroundPicture;   // "" = none; stretched over the canvas in modes 1 and 2
    int qualityIndex = kDefaultQualityIndex; // 0..19, quality = 5 x (index + 1)
    QString summaryText;                     // SummaryText as step 3 built it; the report copies it
    QString outputFolder; // where <program>_新图/... is made; "" = the desktop folder
};

// 5, 10, ..., 100 for the indexes 0..19.
inline int QualityOfIndex(int index)
{
    return 5 * (index + 1);
}

// The stored quality index ("保存质量"): empty, not numeric or outside 0..19 gives 16.
int ParseQualityIndex(const QString &stored);

// The remembered background colour and quality index of the settings file (the default file
// when empty); no background picture and no summary.
Step3Choices LoadStep3Choices(const QString &settingsFile = QString());

// "输出位置": the folder results go below, ending '/'; empty when none is remembered.
QString LoadOutputFolder(const QString &settingsFile = QString());
bool StoreOutputFolder(const QString &folder, const QString &settingsFile = QString());

// "保存质量": ParseQualityIndex of the stored text / the list index (0..19; others not stored).
int LoadQualityIndex(const QString &settingsFile = QString());
bool StoreQualityIndex(int index, const QString &settingsFile = QString());

} // namespace Pw
