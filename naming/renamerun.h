#pragma once

#include "naming/namingrule.h"
#include "naming/outputname.h"
#include "platform/runhost.h"
#include "platform/sourceselection.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace Pw {

// What one pass of the rename-only run did.
struct RenameOutcome
{
    // Preview pass: the old name, then "  将改为:" and the new name, for each file, as shown
    // (ShownName: control characters escaped).
    QStringList previewLines;
    // Rename pass: (old name, new name) of every rename carried out, in order.
    QList<QPair<QString, QString>> renamed;
    bool stopped = false; // a stop request ended the walk
    bool refused = false; // the file system refused a rename; the walk ended there
    QString refusedName;  // the file that kept its name
    QString refusedTarget;
    QString reason; // the system's reason

    // For the user: which file, why, and how many were renamed before it. Empty unless refused.
    QString refusalText() const;
};

// One pass over the selected entries of list, their names joined to folder ('/' added if missing).
// doRename false: the preview lines only; true: renames in place, never replacing a file.
// Progress goes to host.progress for each file; hiding the progress afterwards is the host's.
RenameOutcome RenameOnlyRun(const QString &folder, bool doRename, const SourceSelection &list,
                            const NamingRule &rule, RunHost &host);

// Renames from to to only when to does not exist, atomically. Empty on success, else the reason;
// exists is set when to was there already.
QString RenameNoReplace(const QString &from, const QString &to, bool *exists = nullptr);
// The same on the paths' bytes on disk.
QString RenameNoReplace(const QByteArray &source, const QByteArray &target, bool *exists = nullptr);

// Moves folder + oldName to firstChoice (MakeUniquePath of name when empty); when a file of
// that name appears first, takes the next free " 副本" number of name instead. Answers the
// path used, or empty with reason set.
QString MoveToFreeName(const QString &folder, const QString &oldName, const QString &name,
                       QChar separator, const QString &firstChoice, QString &reason,
                       CopyNumbers *numbers = nullptr);

} // namespace Pw
