#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace Pw {

// The last rename-only run, kept so that it can be undone after a restart: every file's old and
// new path with the size and modification time it had under its new name. It lives beside the
// settings file, never in the renamed folder.
struct RenameJournal
{
    struct Entry
    {
        QByteArray oldPath; // bytes on disk: a listed name need not be UTF-8
        QByteArray newPath;
        qint64 size = 0;
        qint64 modifiedNs = 0; // st_mtim in nanoseconds
    };
    QList<Entry> entries;

    bool isEmpty() const { return entries.isEmpty(); }
};

// Where the journal of the settings file (empty: the default one) is kept.
QString RenameJournalPath(const QString &settingsFile = QString());

// The journal of a rename pass: folder + each (old, new) name, measured now, under the new name.
RenameJournal JournalOfRenames(const QString &folder,
                               const QList<QPair<QString, QString>> &renamed);

// Written atomically; empty on success, else the reason.
QString WriteRenameJournal(const RenameJournal &journal, const QString &path);
// The journal at path; empty when there is none or it cannot be read.
RenameJournal ReadRenameJournal(const QString &path);

// What an undo did: the files given back their old names, and every file left as it was with
// the reason, both as "old name ← new name" texts of the shown names.
struct UndoOutcome
{
    QStringList restored;
    QList<QPair<QString, QString>> refused; // (file, reason)

    // For the user: how many came back and each file that did not, with why.
    QString text() const;
};

// Renames back, last rename first, every file still under its new name with the size and time
// it had then. A file moved, changed or whose old name is taken again stays as it is (named with
// the reason); no file is ever replaced.
UndoOutcome UndoRenames(const RenameJournal &journal);

// UndoRenames of the journal at path; the journal is removed afterwards, so an undo is done once.
UndoOutcome UndoLastRename(const QString &path);

} // namespace Pw
