#pragma once

#include <QString>
#include <QtGlobal>

namespace Pw {

// What the report dialog remembers: the next move ("去": 1 step 1, 2 step 2, 3 stay) and its
// two switches ("CK1" open the result folder, "CK2" take it as the next source).
struct ReportChoices
{
    int nextMove = 3;
    bool openResultFolder = true;
    bool resultAsSource = false;
};

// "去" other than "1" or "2" (also absent) gives 3; "CK1" is on unless "0"; "CK2" only when "1".
ReportChoices LoadReportChoices(const QString &settingsFile = QString());
bool StoreNextMove(int move, const QString &settingsFile = QString());
bool StoreOpenResultFolder(bool on, const QString &settingsFile = QString());
bool StoreResultAsSource(bool on, const QString &settingsFile = QString());

// Step 3's choices, written the moment their control changes.
bool StoreQualityIndex(int index, const QString &settingsFile = QString());
bool StoreBackgroundColour(qint32 bgr, const QString &settingsFile = QString());

} // namespace Pw
