#include "run/step3choices.h"

#include "options/processingoptions.h"
#include "platform/apppaths.h"
#include "settings/inistore.h"
#include "settings/settingskeys.h"
#include "settings/sourcesettings.h"

namespace Pw {

int ParseQualityIndex(const QString &stored)
{
    const std::optional<int> index = WholeNumberFromText(stored);
    if (!index || *index < 0 || *index >= kQualityIndexCount)
        return kDefaultQualityIndex;
    return *index;
}

Step3Choices LoadStep3Choices(const QString &settingsFile)
{
    Step3Choices choices;
    choices.qualityIndex = LoadQualityIndex(settingsFile);
    choices.backgroundColour = LoadBackgroundColour(settingsFile);
    choices.outputFolder = LoadOutputFolder(settingsFile);
    return choices;
}

QString LoadOutputFolder(const QString &settingsFile)
{
    const QString folder = ReadIni(Keys::kSectionSelected, Keys::kOutputFolder, settingsFile);
    return folder.trimmed().isEmpty() ? QString() : WithTrailingSlash(folder);
}

bool StoreOutputFolder(const QString &folder, const QString &settingsFile)
{
    return WriteIni(Keys::kSectionSelected, Keys::kOutputFolder, WithTrailingSlash(folder),
                    settingsFile);
}

int LoadQualityIndex(const QString &settingsFile)
{
    return ParseQualityIndex(ReadIni(Keys::kSectionSelected, Keys::kSaveQuality, settingsFile));
}

bool StoreQualityIndex(int index, const QString &settingsFile)
{
    if (index < 0 || index >= kQualityIndexCount)
        return false;
    return WriteIni(Keys::kSectionSelected, Keys::kSaveQuality, QString::number(index),
                    settingsFile);
}

} // namespace Pw
