#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace Pw {

// The part of text before its first NUL, or all of it when it holds none.
QString CutAtNul(const QString &text);
// The same on bytes (EXIF values are cut before they are decoded).
QByteArray CutAtNul(const QByteArray &bytes);

// The standard folder of the classic Windows index table on this desktop, ending with '/':
// 0 desktop (QStandardPaths::DesktopLocation, created when missing), 1 documents, 2 temporary
// files, 5 and 8 applications menu, 7 autostart, 12 fonts, 15 cache, 16 templates,
// 17 application data ($XDG_DATA_HOME). Indexes with no counterpart here (3 Windows folder,
// 4 system folder, 6 send-to, 9 favourites, 10 recent, 11 network places, 13 cookies,
// 14 history, 18 printers) and any other index give the empty text.
QString SpecialFolder(int index);

// The three times of a file in local time (the zone's full rules, daylight saving included).
struct FileTimes
{
    QDateTime created;  // birth time where the file system records it, else last status change
    QDateTime modified; // last write
    QDateTime accessed; // last access
    bool ok = false;    // false: the file could not be read; all three times are then the
                        // platform's zero time (1970-01-01 00:00:00 UTC) in local time
};

// Never fails outwardly: a file that cannot be read gives ok = false and the zero time.
FileTimes ReadFileTimes(const QString &path);

// The system's general date-time text: "yyyy/M/d H:mm:ss", or "yyyy/M/d" alone at exactly
// midnight. An invalid date-time gives the empty text.
QString FormatGeneralDateTime(const QDateTime &dateTime);

// Reads the general date-time text back ("yyyy/M/d H:mm:ss" or "yyyy/M/d", blanks around it
// ignored); anything else gives an invalid QDateTime. The fields are taken in spec: local time
// for a moment, Qt::UTC for the calendar fields as written (no zone, so a local time that
// daylight saving skips still reads).
QDateTime ParseGeneralDateTime(const QString &text, Qt::TimeSpec spec = Qt::LocalTime);

} // namespace Pw
