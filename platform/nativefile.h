#pragma once

#include <QByteArray>
#include <QString>

class QFile;

namespace Pw {

// Source files as they are on disk. A name that is not UTF-8 (GBK bytes from an archive made on
// Chinese Windows, or any other bytes) is listed under a shown name and opened by its original
// bytes: the listing remembers the pair, and every reader asks NativePath for the bytes.
//
// Every reader of a source or background file opens it through OpenRegularFile: a FIFO or a
// device would block or never end, so anything but a regular file is a per-file error.

// The shown form of a file name's bytes: UTF-8 when valid, else GB18030 when the bytes are
// exactly GB18030, else UTF-8 with every stray byte written as \xNN.
QString ShownFileName(const QByteArray &nativeName);

// The name's bytes as UTF-8 with every stray byte written as \xNN (never taken for another name).
QString EscapedFileName(const QByteArray &nativeName);

// Remembers that shownPath stands for nativePath on disk. Thread-safe.
void RememberNativePath(const QString &shownPath, const QByteArray &nativePath);

// The bytes to hand the system for path: a remembered pair, or a remembered folder's bytes and
// the rest of path in UTF-8, else path in UTF-8. Thread-safe.
QByteArray NativePath(const QString &path);

// Opens path for reading without blocking; -1 with error set when it cannot be opened or is not
// a regular file (a symbolic link is followed). The descriptor is close-on-exec.
int OpenRegularFile(const QString &path, QString *error = nullptr);

// The same into a QFile that owns the descriptor.
bool OpenRegularFile(QFile &file, const QString &path, QString *error = nullptr);

// The length of a regular file; -1 for anything else.
qint64 RegularFileSize(const QString &path);

// The message for a source that is not a regular file.
QString NotRegularFileMessage();

} // namespace Pw
