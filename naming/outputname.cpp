#include "naming/outputname.h"

#include "platform/bytepaths.h"
#include "platform/fileutils.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace Pw {

namespace {

// The translation context of the naming pattern's words.
struct PatternText
{
    Q_DECLARE_TR_FUNCTIONS(Pw::NamingPattern)
};

// Options 2 to 6 share one pair of parentheses; option 4 does not exist for renaming.
bool groupExists(const NamingRule &rule, bool renameOnly)
{
    return rule.isOn(2) || rule.isOn(3) || (!renameOnly && rule.isOn(4)) || rule.isOn(5)
           || rule.isOn(6);
}

} // namespace

QString FormatSequenceNumber(int n, int total)
{
    const QString digits = QString::number(n);
    if (n < 0)
        return digits;
    const qsizetype width = total > 0 ? QString::number(total).size() : 1;
    return digits.rightJustified(width, u'0');
}

QString FormatNameTime(const QString &text)
{
    QString result = text;
    const QDateTime general = ParseGeneralDateTime(text, Qt::UTC); // the fields as written
    if (general.isValid())
        result = general.toString(QStringLiteral("yyyyMMdd HHmmss"));
    result.remove(u':').remove(u'\\').remove(u'/');
    result.replace(u' ', u'_');
    return result;
}

// The extension must say what the file holds. The batch run always writes a JPEG, so a PNG
// or BMP source keeps its base name but ends in ".jpg"; the rename-only run leaves the content
// alone, so a PNG or BMP keeps its own extension even when the old name is dropped.
static QString nameEnd(bool keepOldName, NamingRun run, const QString &oldName)
{
    const qsizetype dot = oldName.lastIndexOf(u'.');
    const QString extension = dot < 0 ? QString() : oldName.mid(dot);
    const QString lowerExtension = extension.toLower();
    const bool jpeg = lowerExtension == u".jpg" || lowerExtension == u".jpeg";
    if (keepOldName) {
        if (run == NamingRun::RenameOnly || jpeg)
            return oldName;
        return (dot < 0 ? oldName : oldName.left(dot)) + QStringLiteral(".jpg");
    }
    if (run == NamingRun::RenameOnly && !jpeg && !extension.isEmpty())
        return extension;
    return QStringLiteral(".jpg");
}

QString BuildOutputName(const NamingRule &rule, NamingRun run, const NameFacts &facts)
{
    const bool renameOnly = run == NamingRun::RenameOnly;
    const QString separator(rule.NamingSeparator);
    const bool group = groupExists(rule, renameOnly);
    QString name;

    if (rule.isOn(1))
        name += FormatSequenceNumber(facts.number, facts.total);
    if (group) {
        if (rule.isOn(1))
            name += separator;
        name += u'(';
    }
    if (rule.isOn(2) && facts.width > 0 && facts.height > 0) {
        name += QString::number(facts.width) + u'x' + QString::number(facts.height);
        if (!renameOnly)
            name += separator;
    }
    if (rule.isOn(3)) {
        const bool photo = !facts.model.isEmpty() && (renameOnly || facts.keepCamera);
        name += photo ? u'D' : u'N';
    }
    if (rule.isOn(4) && !renameOnly)
        name += u'Q' + QString::number(facts.quality);
    if (rule.isOn(5))
        name += FormatNameTime(facts.modified) + separator;
    if (rule.isOn(6))
        name += FormatNameTime(facts.shot.isEmpty() ? facts.modified : facts.shot);
    if (group)
        name += u')';
    else if (rule.isOn(1))
        name += separator;
    name += nameEnd(rule.isOn(7), run, facts.oldName);
    return name;
}

QString FitFileName(const QString &base, const QString &ending)
{
    const qsizetype room = kMaxFileNameBytes - ending.toUtf8().size();
    QString cut = base;
    if (cut.toUtf8().size() <= room)
        return cut + ending;
    // Whole code points only: never half a surrogate pair.
    qsizetype bytes = 0;
    qsizetype keep = 0;
    while (keep < base.size()) {
        const qsizetype step = base.at(keep).isHighSurrogate() && keep + 1 < base.size() ? 2 : 1;
        const qsizetype size = base.mid(keep, step).toUtf8().size();
        if (bytes + size > room)
            break;
        bytes += size;
        keep += step;
    }
    return base.left(keep) + ending;
}

QString MakeUniquePath(const QString &folder, const QString &name, QChar separator,
                       CopyNumbers *numbers)
{
    QString cleaned = name;
    cleaned.replace(QString(separator) + u')', QStringLiteral(")"));
    const qsizetype dot = cleaned.lastIndexOf(u'.');
    const QString base = dot < 0 ? cleaned : cleaned.left(dot);
    const QString extension = dot < 0 ? QString() : cleaned.mid(dot);
    const QString first = folder + FitFileName(base, extension);
    if (!NameTaken(first))
        return first;

    // Part of a file name, so the same in every language.
    const QString copy = QStringLiteral(" 副本");
    // The number last given is tried again: its file may never have been written.
    for (qint64 k = numbers ? numbers->value(first, 1) : 1;; ++k) {
        const QString candidate = folder + FitFileName(base, copy + QString::number(k) + extension);
        if (!NameTaken(candidate)) {
            if (numbers)
                numbers->insert(first, k);
            return candidate;
        }
    }
}

NamingPattern NamingPatternText(const NamingRule &rule, bool renameOnly, const QString &qualityText)
{
    const QString separator(rule.NamingSeparator);
    const bool group = groupExists(rule, renameOnly);
    NamingPattern pattern;

    if (rule.isOn(1))
        pattern.front += PatternText::tr("序号[自动]");
    if (group) {
        if (rule.isOn(1))
            pattern.front += separator;
        pattern.front += u'(';
    }
    if (rule.isOn(2))
        pattern.front += PatternText::tr("[宽]x[高]");

    if (rule.isOn(3))
        pattern.back += PatternText::tr("N(/D)[自动]") + separator;
    if (rule.isOn(4) && !renameOnly)
        pattern.back += qualityText;
    if (rule.isOn(5))
        pattern.back += PatternText::tr("修改时间[自动]") + separator;
    if (rule.isOn(6))
        pattern.back += PatternText::tr("数码(/修改)时间[自动]");
    if (group)
        pattern.back += u')';
    else if (rule.isOn(1))
        pattern.back += separator;
    if (rule.isOn(7))
        pattern.back += PatternText::tr("原文件名");
    return pattern;
}

} // namespace Pw
