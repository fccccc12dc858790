#include "platform/systemerror.h"

#include "platform/nativefile.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace Pw {

namespace {

// The translation context of this file's texts.
struct ErrorText
{
    Q_DECLARE_TR_FUNCTIONS(Pw::SystemError)
};

} // namespace

QString SystemErrorCause(int errnum)
{
    switch (errnum) {
    case ENOSPC:
        return ErrorText::tr("磁盘已满");
    case EDQUOT:
        return ErrorText::tr("磁盘配额已用完");
    case EROFS:
        return ErrorText::tr("只读文件系统");
    case EACCES:
    case EPERM:
        return ErrorText::tr("没有权限");
    case ENOENT:
        return ErrorText::tr("文件不存在");
    case ENAMETOOLONG:
        return ErrorText::tr("文件名太长");
    case EEXIST:
        return ErrorText::tr("文件已存在");
    case ENOTDIR:
        return ErrorText::tr("路径中的文件夹不存在");
    case EISDIR:
        return ErrorText::tr("这是一个文件夹");
    case EIO:
        return ErrorText::tr("磁盘读写出错");
    case EBUSY:
    case ETXTBSY:
        return ErrorText::tr("文件正被使用");
    case EMFILE:
    case ENFILE:
        return ErrorText::tr("打开的文件过多");
    case ENOMEM:
        return ErrorText::tr("内存不足");
    case EXDEV:
        return ErrorText::tr("不在同一个磁盘上");
    case EINVAL:
        return ErrorText::tr("文件系统不接受这个名称");
    default:
        return QString();
    }
}

QString SystemErrorText(int errnum)
{
    return SystemErrorText(errnum, SystemErrorCause(errnum));
}

QString SystemErrorText(int errnum, const QString &cause)
{
    const char *name = strerrorname_np(errnum);
    QString detail = QString::fromLocal8Bit(std::strerror(errnum));
    if (name)
        detail = QString::fromLatin1(name) + QStringLiteral(": ") + detail;
    if (cause.isEmpty())
        return detail;
    return ErrorText::tr("%1（%2）").arg(cause, detail);
}

int OpenErrorOf(const QString &path)
{
    const int fd = ::open(NativePath(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    ::close(fd);
    return 0;
}

} // namespace Pw
