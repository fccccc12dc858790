#include "platform/apppaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

// Set by the build from the install folders (GNUInstallDirs), relative to the executable's.
#ifndef PW_DATA_FROM_BIN
#define PW_DATA_FROM_BIN "../share/pixwright"
#endif
#ifndef PW_TOOLS_FROM_BIN
#define PW_TOOLS_FROM_BIN "../libexec/pixwright"
#endif

namespace Pw {

static QString &overriddenAppFolder()
{
    static QString folder;
    return folder;
}

QString WithTrailingSlash(const QString &path)
{
    if (path.isEmpty() || path.endsWith(u'/'))
        return path;
    return path + u'/';
}

QString AppFolder()
{
    if (!overriddenAppFolder().isEmpty())
        return overriddenAppFolder();
    QString dir = QCoreApplication::applicationDirPath();
    if (dir.isEmpty()) // no application object: fall back on the link the kernel keeps
        dir = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(u'/', 0, -2);
    return WithTrailingSlash(dir);
}

void SetAppFolder(const QString &folder)
{
    overriddenAppFolder() = WithTrailingSlash(folder);
}

namespace {

QString installedFolder(const char *fromBin)
{
    return WithTrailingSlash(QDir::cleanPath(AppFolder() + QString::fromUtf8(fromBin)));
}

} // namespace

bool RunsInstalled()
{
    return QFileInfo(installedFolder(PW_DATA_FROM_BIN)).isDir();
}

QString DataFolder()
{
    return RunsInstalled() ? installedFolder(PW_DATA_FROM_BIN) : AppFolder();
}

QString CameraToolPath()
{
    const QString installed = installedFolder(PW_TOOLS_FROM_BIN) + QStringLiteral("pwReadSM");
    return QFileInfo(installed).isFile() ? installed : AppFolder() + QStringLiteral("pwReadSM");
}

QString DemoFolder()
{
    return DataFolder() + QStringLiteral("演示/");
}

QString IllustrationFolder()
{
    return DataFolder() + QStringLiteral("pic/");
}

} // namespace Pw
