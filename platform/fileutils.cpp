#include "platform/fileutils.h"

#include "platform/apppaths.h"
#include "platform/nativefile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace Pw {

QString CutAtNul(const QString &text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

QByteArray CutAtNul(const QByteArray &bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    return nul < 0 ? bytes : bytes.left(nul);
}

QString SpecialFolder(int index)
{
    QString folder;
    switch (index) {
    case 0:
        folder = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        if (!folder.isEmpty())
            QDir().mkpath(folder); // the batch run writes into it
        break;
    case 1:
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        break;
    case 2:
        folder = QDir::tempPath();
        break;
    case 5: // programs of the start menu
    case 8: // start menu
        folder = QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
        break;
    case 7: // start-up
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                 + QStringLiteral("/autostart");
        break;
    case 12:
        folder = QStandardPaths::writableLocation(QStandardPaths::FontsLocation);
        break;
    case 15: // internet cache
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
        break;
    case 16:
        folder = QStandardPaths::writableLocation(QStandardPaths::TemplatesLocation);
        break;
    case 17: // application data
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        break;
    default: // 3, 4, 6, 9, 10, 11, 13, 14, 18 have no counterpart on this desktop
        break;
    }
    return WithTrailingSlash(folder);
}

namespace {

QDateTime localFromStatx(const statx_timestamp &stamp)
{
    // Whole seconds: the general date-time text shows no more.
    return QDateTime::fromSecsSinceEpoch(stamp.tv_sec, Qt::LocalTime);
}

// statx where the kernel (or a container's filter) allows it, else plain stat without the
// birth time.
bool readStatx(const QByteArray &name, struct statx &info)
{
    const unsigned mask = STATX_BTIME | STATX_MTIME | STATX_ATIME | STATX_CTIME;
    if (statx(AT_FDCWD, name.constData(), AT_STATX_SYNC_AS_STAT, mask, &info) == 0)
        return true;
    if (errno != ENOSYS && errno != EPERM)
        return false;
    struct stat plain = {};
    if (stat(name.constData(), &plain) != 0)
        return false;
    info = {};
    info.stx_mask = STATX_MTIME | STATX_ATIME | STATX_CTIME;
    info.stx_mtime.tv_sec = plain.st_mtim.tv_sec;
    info.stx_atime.tv_sec = plain.st_atim.tv_sec;
    info.stx_ctime.tv_sec = plain.st_ctim.tv_sec;
    return true;
}

} // namespace

FileTimes ReadFileTimes(const QString &path)
{
    FileTimes times;
    struct statx info = {};
    const unsigned needed = STATX_MTIME | STATX_ATIME | STATX_CTIME;
    if (path.isEmpty() || !readStatx(NativePath(path), info)
        || (info.stx_mask & needed) != needed) {
        // The zero time of this platform, as an all-zero file time was of the original's.
        times.created = times.modified = times.accessed = QDateTime::fromSecsSinceEpoch(
                0, Qt::LocalTime);
        return times;
    }
    times.created = localFromStatx((info.stx_mask & STATX_BTIME) ? info.stx_btime : info.stx_ctime);
    times.modified = localFromStatx(info.stx_mtime);
    times.accessed = localFromStatx(info.stx_atime);
    times.ok = true;
    return times;
}

QString FormatGeneralDateTime(const QDateTime &dateTime)
{
    if (!dateTime.isValid())
        return QString();
    const QTime time = dateTime.time();
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0)
        return dateTime.toString(QStringLiteral("yyyy/M/d"));
    return dateTime.toString(QStringLiteral("yyyy/M/d H:mm:ss"));
}

QDateTime ParseGeneralDateTime(const QString &text, Qt::TimeSpec spec)
{
    static const QRegularExpression pattern(QStringLiteral(
            "^([0-9]{4})/([0-9]{1,2})/([0-9]{1,2})(?: ([0-9]{1,2}):([0-9]{2}):([0-9]{2}))?$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return QDateTime();
    const QDate date(match.captured(1).toInt(), match.captured(2).toInt(),
                     match.captured(3).toInt());
    QTime time(0, 0, 0);
    if (match.hasCaptured(4))
        time = QTime(match.captured(4).toInt(), match.captured(5).toInt(),
                     match.captured(6).toInt());
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time, spec);
}

} // namespace Pw
