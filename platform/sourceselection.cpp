#include "platform/sourceselection.h"

#include "platform/apppaths.h"
#include "platform/nativefile.h"
#include "platform/textcodec.h"

#include <QFileInfo>
#include <QSet>

#include <algorithm>

#include <dirent.h>
#include <sys/stat.h>

namespace Pw {

int SourceSelection::selectedCount() const
{
    return int(std::count(selected.cbegin(), selected.cend(), true));
}

QStringList SourceSelection::select(const QStringList &only)
{
    QStringList unknown;
    selected = QList<bool>(names.size(), only.isEmpty());
    for (const QString &name : only) {
        const qsizetype index = names.indexOf(name);
        if (index < 0)
            unknown << name;
        else
            selected[index] = true;
    }
    return unknown;
}

static PictureTypes typeOfSuffix(const QString &suffix)
{
    const QString lower = suffix.toLower();
    if (lower == u"jpg" || lower == u"jpeg")
        return PictureType::Jpg;
    if (lower == u"png")
        return PictureType::Png;
    if (lower == u"bmp")
        return PictureType::Bmp;
    if (lower == u"heic" || lower == u"heif")
        return PictureType::Heic;
    if (lower == u"avif")
        return PictureType::Avif;
    if (lower == u"webp")
        return PictureType::Webp;
    if (lower == u"tif" || lower == u"tiff")
        return PictureType::Tiff;
    return {};
}

QStringList ListPictures(const QString &folder, PictureTypes types)
{
    QStringList names;
    if (!types || folder.isEmpty())
        return names;
    // readdir rather than QDir: QDir leaves out names that are not valid UTF-8.
    const QString slashed = WithTrailingSlash(folder);
    const QByteArray nativeFolder = NativePath(slashed);
    DIR *dir = ::opendir(nativeFolder.constData());
    if (!dir)
        return names;
    QList<QByteArray> foreign;
    QSet<QString> plain;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name.startsWith('.'))
            continue;
        // Files and links to anything but a folder, as QDir::Files lists them; a link to a FIFO
        // is listed and fails to read with a clear message.
        const QByteArray path = nativeFolder + name;
        struct stat info = {};
        if (::lstat(path.constData(), &info) != 0)
            continue;
        if (S_ISLNK(info.st_mode)) {
            if (::stat(path.constData(), &info) != 0 || S_ISDIR(info.st_mode))
                continue;
        } else if (!S_ISREG(info.st_mode)) {
            continue;
        }
        const qsizetype dot = name.lastIndexOf('.');
        if (dot < 0 || !(typeOfSuffix(QString::fromLatin1(name.mid(dot + 1))) & types))
            continue;
        if (IsValidUtf8(name)) {
            names << QString::fromUtf8(name);
            plain.insert(names.constLast());
        } else {
            foreign << name;
        }
    }
    ::closedir(dir);
    for (const QByteArray &name : std::as_const(foreign)) {
        QString shown = ShownFileName(name);
        if (plain.contains(shown) || names.contains(shown))
            shown = EscapedFileName(name);
        RememberNativePath(slashed + shown, nativeFolder + name);
        names << shown;
    }
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return names;
}

PictureTypes ParsePictureTypes(const QString &text)
{
    PictureTypes types;
    const QStringList words = text.split(u',', Qt::SkipEmptyParts);
    for (const QString &word : words) {
        const PictureTypes type = typeOfSuffix(word.trimmed());
        if (!type)
            return {};
        types |= type;
    }
    return types;
}

PictureTypes PictureTypesOfPattern(const QString &pattern)
{
    PictureTypes mask;
    const QStringList words = pattern.split(u';', Qt::SkipEmptyParts);
    for (const QString &word : words)
        mask |= typeOfSuffix(word.trimmed().section(u'.', -1));
    return mask & kAllPictureTypes;
}

QString PatternOfPictureTypes(PictureTypes types)
{
    QString pattern;
    if (types & PictureType::Jpg)
        pattern += QStringLiteral("*.jpg");
    if (types & PictureType::Png)
        pattern += QStringLiteral(";*.png");
    if (types & PictureType::Bmp)
        pattern += QStringLiteral(";*.bmp");
    return pattern;
}

QString ChooseSourceFolder(const QString &wanted, PictureTypes types)
{
    const QString folder = WithTrailingSlash(wanted);
    if (!folder.isEmpty() && QFileInfo(folder).isDir() && !ListPictures(folder, types).isEmpty())
        return folder;
    return DemoFolder();
}

} // namespace Pw
