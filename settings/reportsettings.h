#pragma once

#include <QString>

namespace Pw {

// The report dialog's remembered choices. The empty settings file means the default one.
struct ReportChoices
{
    int nextMove = 3;             // "去": 1 back to step 1, 2 back to step 2, 3 stay on step 3
    bool openResultFolder = true; // "CK1": on unless "0"
    bool resultAsSource = false;  // "CK2": on only when "1"
};

ReportChoices LoadReportChoices(const QString &settingsFile = QString());
// nextMove outside 1..3 is not stored.
bool StoreNextMove(int nextMove, const QString &settingsFile = QString());
bool StoreOpenResultFolder(bool on, const QString &settingsFile = QString());
bool StoreResultAsSource(bool on, const QString &settingsFile = QString());

} // namespace Pw
