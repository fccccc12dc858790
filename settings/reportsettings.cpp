#include "settings/reportsettings.h"

#include "settings/inistore.h"
#include "settings/settingskeys.h"

namespace Pw {

ReportChoices LoadReportChoices(const QString &settingsFile)
{
    using namespace Keys;
    ReportChoices choices;
    const QString move = ReadIni(kSectionSelected, kNextMove, settingsFile);
    choices.nextMove = move == u"1" ? 1 : move == u"2" ? 2 : 3;
    choices.openResultFolder = ReadIni(kSectionSelected, kOpenResultFolder, settingsFile) != u"0";
    choices.resultAsSource = ReadIni(kSectionSelected, kResultAsSource, settingsFile) == u"1";
    return choices;
}

bool StoreNextMove(int nextMove, const QString &settingsFile)
{
    if (nextMove < 1 || nextMove > 3)
        return false;
    return WriteIni(Keys::kSectionSelected, Keys::kNextMove, QString::number(nextMove),
                    settingsFile);
}

bool StoreOpenResultFolder(bool on, const QString &settingsFile)
{
    return WriteIni(Keys::kSectionSelected, Keys::kOpenResultFolder,
                    on ? QStringLiteral("1") : QStringLiteral("0"), settingsFile);
}

bool StoreResultAsSource(bool on, const QString &settingsFile)
{
    return WriteIni(Keys::kSectionSelected, Keys::kResultAsSource,
                    on ? QStringLiteral("1") : QStringLiteral("0"), settingsFile);
}

} // namespace Pw
