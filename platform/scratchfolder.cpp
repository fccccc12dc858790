#include "platform/scratchfolder.h"

#include "platform/apppaths.h"
#include "platform/systemerror.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace Pw {

namespace {

const QString kPrefix = QStringLiteral("pixwright-");

} // namespace

QString ScratchParentFolder()
{
    const QString tmp = qEnvironmentVariable("TMPDIR");
    return WithTrailingSlash(tmp.isEmpty() ? QStringLiteral("/tmp") : tmp);
}

ScratchFolder::ScratchFolder()
{
    QByteArray pattern = QFile::encodeName(ScratchParentFolder() + kPrefix
                                           + QString::number(::getpid())
                                           + QStringLiteral("-XXXXXX"));
    if (::mkdtemp(pattern.data()))
        m_path = QFile::decodeName(pattern) + u'/';
    else
        m_error = SystemErrorText(errno);
}

ScratchFolder::~ScratchFolder()
{
    if (isValid())
        QDir(m_path).removeRecursively();
}

int RemoveStaleScratchFolders()
{
    static const QRegularExpression pattern(
            QStringLiteral("^pixwright-([0-9]{1,9})-[A-Za-z0-9]{6}$"));
    const QString parent = ScratchParentFolder();
    const QStringList names = QDir(parent).entryList(
            {kPrefix + u'*'}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks);
    int removed = 0;
    for (const QString &name : names) {
        const QRegularExpressionMatch match = pattern.match(name);
        if (!match.hasMatch())
            continue;
        const pid_t owner = pid_t(match.captured(1).toLongLong());
        struct stat info = {};
        if (::lstat(QFile::encodeName(parent + name).constData(), &info) != 0
            || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
            continue;
        // Only a process that is certainly gone: a live one, or one we may not signal, keeps it.
        if (owner == ::getpid() || ::kill(owner, 0) == 0 || errno != ESRCH)
            continue;
        if (QDir(parent + name).removeRecursively())
            ++removed;
    }
    return removed;
}

} // namespace Pw
