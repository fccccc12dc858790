#include "platform/nativefile.h"

#include "platform/systemerror.h"
#include "platform/textcodec.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QReadWriteLock>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Pw {

namespace {

QReadWriteLock g_lock;
QHash<QString, QByteArray> g_nativePaths;

QString escapedUtf8(const QByteArray &bytes)
{
    QString shown;
    for (qsizetype at = 0; at < bytes.size();) {
        const qsizetype length = Utf8CharLength(bytes, at);
        const QByteArrayView piece(bytes.constData() + at, length);
        if (IsValidUtf8(piece)) {
            shown += QString::fromUtf8(piece);
            at += length;
            continue;
        }
        shown += QStringLiteral("\\x")
                 + QString::number(uint(uchar(bytes.at(at))), 16).toUpper().rightJustified(2, u'0');
        ++at;
    }
    return shown;
}

} // namespace

QString ShownFileName(const QByteArray &nativeName)
{
    if (IsValidUtf8(nativeName))
        return QString::fromUtf8(nativeName);
    const QString gb = FromGb18030(nativeName);
    if (!gb.contains(QChar(0xFFFD)) && ToGb18030(gb) == nativeName)
        return gb;
    return escapedUtf8(nativeName);
}

QString EscapedFileName(const QByteArray &nativeName)
{
    return escapedUtf8(nativeName);
}

void RememberNativePath(const QString &shownPath, const QByteArray &nativePath)
{
    QWriteLocker locker(&g_lock);
    if (QFile::encodeName(shownPath) == nativePath)
        g_nativePaths.remove(shownPath);
    else
        g_nativePaths.insert(shownPath, nativePath);
}

QByteArray NativePath(const QString &path)
{
    {
        QReadLocker locker(&g_lock);
        if (g_nativePaths.isEmpty())
            return QFile::encodeName(path);
        const auto it = g_nativePaths.constFind(path);
        if (it != g_nativePaths.constEnd())
            return *it;
        // Below a remembered folder (one the user named by bytes that are not UTF-8): the
        // folder's bytes, then the rest as UTF-8.
        for (qsizetype slash = path.lastIndexOf(u'/'); slash > 0;
             slash = path.lastIndexOf(u'/', slash - 1)) {
            const auto folder = g_nativePaths.constFind(path.left(slash));
            if (folder != g_nativePaths.constEnd())
                return *folder + '/' + QFile::encodeName(path.mid(slash + 1));
        }
    }
    return QFile::encodeName(path);
}

QString NotRegularFileMessage()
{
    return QCoreApplication::translate("Pw::NativeFile", "不是普通文件，无法读取");
}

int OpenRegularFile(const QString &path, QString *error)
{
    const int fd = ::open(NativePath(path).constData(),
                          O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (error)
            *error = SystemErrorText(errno);
        return -1;
    }
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        if (error)
            *error = NotRegularFileMessage();
        return -1;
    }
    // Regular files ignore the flag; clear it anyway so later reads behave as usual.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

bool OpenRegularFile(QFile &file, const QString &path, QString *error)
{
    const int fd = OpenRegularFile(path, error);
    if (fd < 0)
        return false;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

qint64 RegularFileSize(const QString &path)
{
    struct stat info = {};
    if (::stat(NativePath(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return -1;
    return qint64(info.st_size);
}

} // namespace Pw
