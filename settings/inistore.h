#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace Pw {

// The settings store: a classic INI file (Set.ini) read and written with the semantics of the
// Windows profile functions. On disk it is GB18030 with CR LF line ends (a file that starts
// with a UTF-8 byte-order mark is read and written as UTF-8 instead). Section and key names
// compare without regard to ASCII case; blanks around names and values are trimmed; a value
// in matching quotes ("..." or '...') reads without them. With duplicate sections or keys the
// first match in file order wins, for reading and for replacing.

// At most this many bytes (counted in the file's encoding) of a value are read; the cut never
// splits a character.
inline constexpr int kIniValueLimit = 255;

// A file larger than this is not a settings file: it reads as empty and is never rewritten
// (a real one holds a few kilobytes). Nor is anything but a regular file (a FIFO, a link to a
// device): both are named once on standard error.
inline constexpr qint64 kIniMaxFileSize = 1024 * 1024;

// The value of key in section of file (the default settings file when file is empty).
// Every failure (no file, no section or key, a blank key or section, an unreadable or
// oversized file) gives the empty text.
QString ReadIni(const QString &section, const QString &key, const QString &file = QString());

// Writes key=value into section of file (default file when empty). Replaces the first matching
// key line in place, or adds the key at the end of its section, or adds the section at the
// end of the file; every other byte of the file stays as it was. The file is replaced
// atomically (temporary file in the same folder, then rename) and keeps its permissions.
// Returns false, leaving the file untouched, when section, key or value is blank, when a name
// or the value holds a line break or NUL (or the key a '=', the section a ']'), when the file
// is not writable (read-only file or folder) or oversized, when a name or the value holds a
// character the file's encoding cannot store, and on any other failure.
bool WriteIni(const QString &section, const QString &key, const QString &value,
              const QString &file = QString());

// The two above on the bytes of a settings file, without any file: the value as ReadIni gives
// it, and the whole file as WriteIni would write it (nothing when WriteIni would refuse).
QString IniValueIn(const QByteArray &fileBytes, const QString &section, const QString &key);
std::optional<QByteArray> IniBytesWith(const QByteArray &fileBytes, const QString &section,
                                       const QString &key, const QString &value);

// The file used when no file is named: <app folder>/Set.ini when the program runs from the
// build tree and the app folder is writable, else (installed, or a read-only folder)
// $XDG_CONFIG_HOME/pixwright/Set.ini (~/.config/pixwright/Set.ini). Chosen once, on first use,
// unless SetDefaultSettingsFile named one.
QString DefaultSettingsFile();

// Names the default settings file (tests, --settings FILE); an empty path restores the choice
// above.
void SetDefaultSettingsFile(const QString &path);

} // namespace Pw
