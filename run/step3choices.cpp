#include "run/step3choices.h"

#include "options/processingoptions.h"
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
    return choices;
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
