#include "platform/sourceselection.h"

#include "platform/apppaths.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

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
    return {};
}

QStringList ListPictures(const QString &folder, PictureTypes types)
{
    QStringList names;
    if (!types || folder.isEmpty())
        return names;
    const QDir dir(folder);
    const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        if (name.startsWith(u'.'))
            continue;
        if (typeOfSuffix(entry.suffix()) & types)
            names << name;
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
    return mask;
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
