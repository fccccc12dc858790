#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace Pw {

// Paths the user typed are taken by their bytes: a word of the command line that is not UTF-8
// (a GBK folder name) is shown decoded as ShownFileName does and remembered with its bytes, so
// NativePath hands every reader and writer exactly what the user said.

// argv from its first word, each word as text; words that are not UTF-8 are remembered.
QStringList ArgumentsFromBytes(int argc, const char *const argv[]);

// path made absolute against the working folder and cleaned of "." and "..", its bytes
// remembered when they are not UTF-8. Empty when path is relative and the working folder's
// path cannot be read (over PATH_MAX, or removed).
QString AbsoluteArgumentPath(const QString &path);

// The bytes for a file about to be made at path: its folder as NativePath gives it, its own
// name in UTF-8 (a new name never stands for a listed file that happens to show the same).
QByteArray NativePathForNewFile(const QString &path);

// Whether a new file could take path (NativePathForNewFile): nothing of that name is there.
bool NameTaken(const QString &path);

// Through NativePath: whether path names a folder, or anything at all (a link is followed for
// the folder test and not for the other).
bool IsFolderPath(const QString &path);
bool PathExists(const QString &path);

// Makes path and its missing parents as mkdir -p does; false with errno set on failure.
bool MakeFolders(const QString &path);

// Replaces path by bytes through a temporary file in the same folder and a rename, so a failure
// never leaves a half-written file; false on any failure, leaving nothing behind.
bool WriteFileAtomically(const QString &path, QByteArrayView bytes);

} // namespace Pw
