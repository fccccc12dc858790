#include "platform/bytepaths.h"

#include "platform/nativefile.h"
#include "platform/textcodec.h"

#include <QByteArrayList>
#include <QFile>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Pw {

namespace {

// The shown form of a path's bytes, one component at a time, so a UTF-8 parent keeps its name
// beside a GBK folder.
QString shownPath(const QByteArray &native)
{
    if (IsValidUtf8(native))
        return QString::fromUtf8(native);
    QStringList parts;
    for (const QByteArray &part : native.split('/'))
        parts << ShownFileName(part);
    return parts.join(u'/');
}

QByteArray workingFolder()
{
    QByteArray buffer(PATH_MAX + 1, '\0');
    if (!::getcwd(buffer.data(), size_t(buffer.size())))
        return {};
    return QByteArray(buffer.constData());
}

// "." and ".." taken out by their bytes, as the kernel would walk them (links are not resolved,
// as QDir::cleanPath does not).
QByteArray cleaned(const QByteArray &absolute)
{
    QByteArrayList kept;
    for (const QByteArray &part : absolute.split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..") {
            if (!kept.isEmpty())
                kept.removeLast();
            continue;
        }
        kept << part;
    }
    return '/' + kept.join('/');
}

bool writeAll(int fd, QByteArrayView bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.data() + done, size_t(bytes.size() - done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        done += put;
    }
    return true;
}

// Read, not set and restored: umask() changes it for every thread meanwhile.
mode_t processUmask()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("Umask:"))
                return mode_t(line.mid(6).trimmed().toUInt(nullptr, 8));
    }
    return 022;
}

} // namespace

QStringList ArgumentsFromBytes(int argc, const char *const argv[])
{
    QStringList words;
    for (int i = 0; i < argc; ++i) {
        const QByteArray bytes(argv[i]);
        const QString shown = shownPath(bytes);
        if (!IsValidUtf8(bytes)) {
            RememberNativePath(shown, bytes);
            // "--output-root=DIR": the value is a path of its own.
            const qsizetype equals = bytes.indexOf('=');
            if (bytes.startsWith("--") && equals > 0)
                RememberNativePath(shownPath(bytes.mid(equals + 1)), bytes.mid(equals + 1));
        }
        words << shown;
    }
    return words;
}

QString AbsoluteArgumentPath(const QString &path)
{
    if (path.isEmpty())
        return {};
    QByteArray native = NativePath(path);
    if (!native.startsWith('/')) {
        const QByteArray here = workingFolder();
        if (here.isEmpty())
            return {};
        native = here + '/' + native;
    }
    native = cleaned(native);
    const QString shown = shownPath(native);
    RememberNativePath(shown, native);
    return shown;
}

QByteArray NativePathForNewFile(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return QFile::encodeName(path);
    return NativePath(path.left(slash + 1)) + QFile::encodeName(path.mid(slash + 1));
}

bool NameTaken(const QString &path)
{
    struct stat info = {};
    return !path.isEmpty() && ::lstat(NativePathForNewFile(path).constData(), &info) == 0;
}

bool IsFolderPath(const QString &path)
{
    struct stat info = {};
    return !path.isEmpty() && ::stat(NativePath(path).constData(), &info) == 0
           && S_ISDIR(info.st_mode);
}

bool PathExists(const QString &path)
{
    struct stat info = {};
    return !path.isEmpty() && ::lstat(NativePath(path).constData(), &info) == 0;
}

bool MakeFolders(const QString &path)
{
    const QByteArray native = NativePath(path);
    if (native.isEmpty())
        return false;
    for (qsizetype slash = native.indexOf('/', 1);; slash = native.indexOf('/', slash + 1)) {
        const QByteArray step = slash < 0 ? native : native.left(slash);
        if (!step.isEmpty() && ::mkdir(step.constData(), 0777) != 0 && errno != EEXIST)
            return false;
        if (slash < 0 || slash + 1 >= native.size())
            break;
    }
    struct stat info = {};
    if (::stat(native.constData(), &info) != 0)
        return false;
    if (!S_ISDIR(info.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    return true;
}

bool WriteFileAtomically(const QString &path, QByteArrayView bytes)
{
    const QByteArray native = NativePathForNewFile(path);
    const qsizetype slash = native.lastIndexOf('/');
    QByteArray pattern = (slash < 0 ? QByteArray(".") : native.left(slash)) + "/.pw-XXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    // mkstemp makes the file 0600; a result is an ordinary file of the user's.
    static const mode_t mask = processUmask();
    bool ok = writeAll(fd, bytes) && ::fchmod(fd, 0666 & ~mask) == 0 && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(pattern.constData(), native.constData()) == 0;
    if (!ok)
        ::unlink(pattern.constData());
    return ok;
}

} // namespace Pw
