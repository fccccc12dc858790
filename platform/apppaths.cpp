#include "platform/apppaths.h"

#include <QCoreApplication>
#include <QFileInfo>

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

QString DemoFolder()
{
    return AppFolder() + QStringLiteral("演示/");
}

QString IllustrationFolder()
{
    return AppFolder() + QStringLiteral("pic/");
}

} // namespace Pw
