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

static int typeOfSuffix(const QString &suffix)
{
    const QString lower = suffix.toLower();
    if (lower == u"jpg" || lower == u"jpeg")
        return int(PictureType::Jpg);
    if (lower == u"png")
        return int(PictureType::Png);
    if (lower == u"bmp")
        return int(PictureType::Bmp);
    return 0;
}

QStringList ListPictures(const QString &folder, int typeMask)
{
    QStringList names;
    if (typeMask == 0 || folder.isEmpty())
        return names;
    const QDir dir(folder);
    const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        if (name.startsWith(u'.'))
            continue;
        if (typeOfSuffix(entry.suffix()) & typeMask)
            names << name;
    }
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return names;
}

int ParsePictureTypes(const QString &text)
{
    int mask = 0;
    const QStringList words = text.split(u',', Qt::SkipEmptyParts);
    for (const QString &word : words) {
        const int type = typeOfSuffix(word.trimmed());
        if (type == 0)
            return 0;
        mask |= type;
    }
    return mask;
}

int PictureTypesOfPattern(const QString &pattern)
{
    int mask = 0;
    const QStringList words = pattern.split(u';', Qt::SkipEmptyParts);
    for (const QString &word : words)
        mask |= typeOfSuffix(word.trimmed().section(u'.', -1));
    return mask;
}

QString PatternOfPictureTypes(int typeMask)
{
    QString pattern;
    if (typeMask & int(PictureType::Jpg))
        pattern += QStringLiteral("*.jpg");
    if (typeMask & int(PictureType::Png))
        pattern += QStringLiteral(";*.png");
    if (typeMask & int(PictureType::Bmp))
        pattern += QStringLiteral(";*.bmp");
    return pattern;
}

QString ChooseSourceFolder(const QString &wanted, int typeMask)
{
    const QString folder = WithTrailingSlash(wanted);
    if (!folder.isEmpty() && QFileInfo(folder).isDir() && !ListPictures(folder, typeMask).isEmpty())
        return folder;
    return DemoFolder();
}

} // namespace Pw
