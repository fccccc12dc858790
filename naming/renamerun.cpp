#include "naming/renamerun.h"

#include "naming/outputname.h"
#include "platform/apppaths.h"
#include "platform/bytepaths.h"
#include "platform/nativefile.h"
#include "platform/showntext.h"
#include "platform/systemerror.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace Pw {

namespace {

// The translation context of this file's texts.
struct RenameText
{
    Q_DECLARE_TR_FUNCTIONS(Pw::RenameOnlyRun)
};

// After this many targets that appeared between choosing a name and taking it, the run gives
// up rather than chase a folder that something else keeps filling.
constexpr int kRaceRetries = 100;

QString systemReason(int error)
{
    return SystemErrorText(error);
}

} // namespace

QString RenameOutcome::refusalText() const
{
    if (!refused)
        return QString();
    if (refusedName.isEmpty())
        return reason;
    // One multi-argument call: a name holding "%1" must not be substituted again.
    return RenameText::tr("“%1”无法改名为“%2”：%3。在此之前已改名 %4 个文件，其余文件保持原名。")
            .arg(ShownName(refusedName), ShownName(refusedTarget), reason,
                 QString::number(renamed.size()));
}

QString RenameNoReplace(const QString &from, const QString &to, bool *exists)
{
    // The source by its bytes on disk (a listed name that is not UTF-8); the new name is UTF-8.
    // A folder named by bytes keeps them.
    return RenameNoReplace(NativePath(from), NativePathForNewFile(to), exists);
}

QString RenameNoReplace(const QByteArray &source, const QByteArray &target, bool *exists)
{
    if (exists)
        *exists = false;
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE)
        == 0)
        return QString();
    int error = errno;
    // File systems without the flag: a hard link is just as refusing of an existing target.
    if (error == EINVAL || error == ENOSYS || error == EOPNOTSUPP) {
        if (::link(source.constData(), target.constData()) == 0) {
            if (::unlink(source.constData()) == 0)
                return QString();
            error = errno;
            // Keep exactly one name for the file.
            ::unlink(target.constData());
        } else {
            error = errno;
        }
    }
    if (error == EEXIST && exists)
        *exists = true;
    return systemReason(error);
}

QString MoveToFreeName(const QString &folder, const QString &oldName, const QString &name,
                       QChar separator, const QString &firstChoice, QString &reason,
                       CopyNumbers *numbers)
{
    const QString source = folder + oldName;
    QString target = firstChoice.isEmpty() ? MakeUniquePath(folder, name, separator, numbers)
                                           : firstChoice;
    for (int attempt = 0; attempt <= kRaceRetries; ++attempt) {
        bool exists = false;
        reason = RenameNoReplace(source, target, &exists);
        if (reason.isEmpty())
            return target;
        if (!exists)
            return QString();
        // Something took the name since it was chosen: the next free " 副本" number instead.
        target = MakeUniquePath(folder, name, separator, numbers);
    }
    return QString();
}

RenameOutcome RenameOnlyRun(const QString &folderText, bool doRename, const SourceSelection &list,
                            const NamingRule &rule, RunHost &host)
{
    const QString folder = WithTrailingSlash(folderText);
    RenameOutcome outcome;
    const int total = list.selectedCount();
    const QString willBecome = RenameText::tr("  将改为:");
    int number = 0;
    CopyNumbers numbers;
    if (GivesHiddenNames(rule, true)) {
        // Nothing is renamed: a name starting with "." would hide the file.
        outcome.refused = true;
        outcome.reason = HiddenNamesWarning();
        return outcome;
    }

    for (qsizetype i = 0; i < list.names.size(); ++i) {
        if (i >= list.selected.size() || !list.selected.at(i))
            continue;
        if (host.stopRequested()) {
            host.clearStopRequest();
            outcome.stopped = true;
            break;
        }
        ++number;
        const QString &oldName = list.names.at(i);
        host.progress(
                number, total,
                RenameText::tr("正在处理(%1/%2)%3")
                        .arg(QString::number(number), QString::number(total), ShownName(oldName)));

        NameFacts facts = GatherNameFacts(folder, oldName, rule, NamingRun::RenameOnly);
        facts.number = number;
        facts.total = total;
        const QString name = BuildOutputName(rule, NamingRun::RenameOnly, facts);
        if (name.startsWith(u'.')) {
            outcome.refused = true;
            outcome.refusedName = oldName;
            outcome.refusedTarget = name;
            outcome.reason = HiddenNamesWarning();
            break;
        }
        const QString path = MakeUniquePath(folder, name, rule.NamingSeparator, &numbers);

        if (!doRename) {
            host.yield();
            // Shown: a name may hold a line break or a terminal's escape sequence.
            outcome.previewLines << ShownName(oldName)
                                 << willBecome + ShownName(path.mid(folder.size()));
            continue;
        }
        // The host may run its event loop here; the folder can change meanwhile, which the
        // no-replace rename below takes care of.
        host.yield();
        QString reason;
        const QString used = MoveToFreeName(folder, oldName, name, rule.NamingSeparator, path,
                                            reason, &numbers);
        if (used.isEmpty()) {
            outcome.refused = true;
            outcome.refusedName = oldName;
            outcome.refusedTarget = path.mid(folder.size());
            outcome.reason = reason;
            break;
        }
        outcome.renamed.append({oldName, used.mid(folder.size())});
    }
    return outcome;
}

} // namespace Pw
