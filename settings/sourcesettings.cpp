#include "settings/sourcesettings.h"

#include "platform/apppaths.h"
#include "platform/colour.h"
#include "platform/sourceselection.h"
#include "settings/inistore.h"
#include "settings/settingskeys.h"

namespace Pw {

namespace {

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

PictureTypes SourceChoices::listedTypes() const
{
    if (!other)
        return PictureTypesOfPattern(pattern);
    if (!jpg && !png && !bmp)
        return kOtherPictureTypes;
    return PictureTypesOfPattern(pattern) | kOtherPictureTypes;
}

SourceChoices LoadSourceChoices(const QString &settingsFile)
{
    using namespace Keys;
    SourceChoices choices;
    choices.backgroundColour = LoadBackgroundColour(settingsFile);
    choices.keepCamera = ReadIni(kSectionSelected, kKeepCamera, settingsFile) == u"1";
    choices.rememberedFolder = LoadSourceFolder(settingsFile);
    choices.other = ReadIni(kSectionSelected, kFilterOther, settingsFile) == u"1";
    const QString stored = ReadIni(kSectionSelected, kFilter, settingsFile);
    if (stored.isEmpty()) {
        choices.pattern = kDefaultPicturePattern;
    } else {
        choices.pattern = stored;
        choices.jpg = ReadIni(kSectionSelected, kFilterJpg, settingsFile) == u"1";
        choices.png = ReadIni(kSectionSelected, kFilterPng, settingsFile) == u"1";
        choices.bmp = ReadIni(kSectionSelected, kFilterBmp, settingsFile) == u"1";
    }
    choices.folder = ChooseSourceFolder(choices.rememberedFolder, choices.listedTypes());
    return choices;
}

QString LoadSourceFolder(const QString &settingsFile)
{
    return ReadIni(Keys::kSectionOpenPath, Keys::kSourceFolder, settingsFile);
}

bool StoreSourceFolder(const QString &folder, const QString &settingsFile)
{
    return WriteIni(Keys::kSectionOpenPath, Keys::kSourceFolder, WithTrailingSlash(folder),
                    settingsFile);
}

bool StoreKeepCamera(bool on, const QString &settingsFile)
{
    return WriteIni(Keys::kSectionSelected, Keys::kKeepCamera, flag(on), settingsFile);
}

void StorePictureTypes(bool jpg, bool png, bool bmp, const QString &settingsFile)
{
    using namespace Keys;
    PictureTypes mask;
    mask.setFlag(PictureType::Jpg, jpg);
    mask.setFlag(PictureType::Png, png);
    mask.setFlag(PictureType::Bmp, bmp);
    // WriteIni refuses the empty pattern of no type, so the last pattern stays.
    WriteIni(kSectionSelected, kFilter, PatternOfPictureTypes(mask), settingsFile);
    WriteIni(kSectionSelected, kFilterJpg, flag(jpg), settingsFile);
    WriteIni(kSectionSelected, kFilterPng, flag(png), settingsFile);
    WriteIni(kSectionSelected, kFilterBmp, flag(bmp), settingsFile);
}

bool StoreOtherPictureTypes(bool on, const QString &settingsFile)
{
    return WriteIni(Keys::kSectionSelected, Keys::kFilterOther, flag(on), settingsFile);
}

qint32 LoadBackgroundColour(const QString &settingsFile)
{
    return ParseColourText(ReadIni(Keys::kSectionSelected, Keys::kBackgroundColour, settingsFile))
            .value_or(0);
}

bool StoreBackgroundColour(qint32 bgr, const QString &settingsFile)
{
    return WriteIni(Keys::kSectionSelected, Keys::kBackgroundColour, ColourText(bgr), settingsFile);
}

} // namespace Pw
