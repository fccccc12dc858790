#include "run/step3choices.h"

#include "options/processingoptions.h"
#include "platform/colour.h"
#include "settings/inistore.h"
#include "settings/settingskeys.h"

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
    choices.qualityIndex = ParseQualityIndex(
            ReadIni(Keys::kSectionSelected, Keys::kSaveQuality, settingsFile));
    const std::optional<qint32> colour = ParseColourText(
            ReadIni(Keys::kSectionSelected, Keys::kBackgroundColour, settingsFile));
    if (colour)
        choices.backgroundColour = *colour;
    return choices;
}

} // namespace Pw
