#pragma once

#include "naming/namingrule.h"

#include <QHash>
#include <QString>

namespace Pw {

// The two runs name files from the same components with three differences: the separator after
// the size, the photo letter (kept camera information) and the quality part.
enum class NamingRun { Batch, RenameOnly };

// What the name of one file is built from. Gathered afresh for every file (GatherNameFacts);
// the batch run fills in the size and quality of the picture it saves.
struct NameFacts
{
    int number = 1; // running number n in the run, 1 for the first file named
    int total = 0;  // N, the number of files selected
    int width = 0;  // batch: the saved picture; rename-only: the source (0 when not measured)
    int height = 0;
    QString model;           // camera model (Exif 0x0110), empty when none
    QString shot;            // time of taking (Exif 0x9003), else the modified text
    QString modified;        // last write of the source in the general date-time text
    bool keepCamera = false; // batch run only
    int quality = 85;        // batch run only: quality of this save attempt
    QString oldName;         // the source name as listed, extension included
};

// The new name (no folder) before MakeUniquePath. No side effects.
QString BuildOutputName(const NamingRule &rule, NamingRun run, const NameFacts &facts);

// n zero-filled to the number of digits of total ("007" of 120); longer numbers in full.
QString FormatSequenceNumber(int n, int total);

// The time part of a name: a general date-time text ("2019/5/1 10:20:30", or the date alone at
// midnight) or the Exif text ("2019:05:01 10:20:30") both end as "20190501_102030".
QString FormatNameTime(const QString &text);

// The longest name a file system takes, in bytes.
inline constexpr int kMaxFileNameBytes = 255;

// base + ending, the base cut at a character boundary so that the whole stays within
// kMaxFileNameBytes in UTF-8 (the ending, i.e. " 副本2.jpg", is kept whole).
QString FitFileName(const QString &base, const QString &ending);

// The " 副本" number each taken name last got, kept by a run across its files: the next file of
// that name starts there, so 10,000 files with one name cost one look at the disk each rather
// than one per earlier copy.
using CopyNumbers = QHash<QString, qint64>;

// The full path for name in folder (ending with '/'): separator + ")" becomes ")", then
// " 副本1", " 副本2", ... go before the extension until no file of that name exists (a look at
// the disk for every candidate, so a file that appeared meanwhile is never taken). With numbers,
// the walk starts at the number the name last got. A name too long for the file system is cut
// before its extension (FitFileName).
QString MakeUniquePath(const QString &folder, const QString &name, QChar separator,
                       CopyNumbers *numbers = nullptr);

// The rule as the step-3 summary shows it: the part before the size and the part after it.
struct NamingPattern
{
    QString front;
    QString back;
};
NamingPattern NamingPatternText(const NamingRule &rule, bool renameOnly,
                                const QString &qualityText);

// Reads the facts of folder + name afresh: times, camera model and time of taking when option
// 3, 5 or 6 is on, and for the rename-only run the source's size when option 2 is on.
// number, total, keepCamera and quality are left for the caller.
NameFacts GatherNameFacts(const QString &folder, const QString &name, const NamingRule &rule,
                          NamingRun run);

} // namespace Pw
