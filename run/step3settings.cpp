#include "run/step3settings.h"

#include "platform/colour.h"
#include "settings/inistore.h"
#include "settings/settingskeys.h"

namespace Pw {

namespace {

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

ReportChoices LoadReportChoices(const QString &file)
{
    ReportChoices choices;
    const QString move = ReadIni(Keys::kSectionSelected, Keys::kNextMove, file);
    choices.nextMove = move == u"1" ? 1 : move == u"2" ? 2 : 3;
    choices.openResultFolder = ReadIni(Keys::kSectionSelected, Keys::kOpenResultFolder, file)
                               != u"0";
    choices.resultAsSource = ReadIni(Keys::kSectionSelected, Keys::kResultAsSource, file) == u"1";
    return choices;
}

bool StoreNextMove(int move, const QString &file)
{
    return WriteIni(Keys::kSectionSelected, Keys::kNextMove, QString::number(move), file);
}

bool StoreOpenResultFolder(bool on, const QString &file)
{
    return WriteIni(Keys::kSectionSelected, Keys::kOpenResultFolder, flag(on), file);
}

bool StoreResultAsSource(bool on, const QString &file)
{
    return WriteIni(Keys::kSectionSelected, Keys::kResultAsSource, flag(on), file);
}

bool StoreQualityIndex(int index, const QString &file)
{
    return WriteIni(Keys::kSectionSelected, Keys::kSaveQuality, QString::number(index), file);
}

bool StoreBackgroundColour(qint32 bgr, const QString &file)
{
    return WriteIni(Keys::kSectionSelected, Keys::kBackgroundColour, ColourText(bgr), file);
}

} // namespace Pw
