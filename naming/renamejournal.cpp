#include "naming/renamejournal.h"

#include "naming/renamerun.h"
#include "platform/nativefile.h"
#include "platform/systemerror.h"
#include "settings/inistore.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <cerrno>
#include <sys/stat.h>

namespace Pw {

namespace {

// The translation context of this file's texts.
struct JournalText
{
    Q_DECLARE_TR_FUNCTIONS(Pw::RenameJournal)
};

constexpr int kJournalVersion = 1;

bool statOf(const QByteArray &path, qint64 *size, qint64 *modifiedNs, int *error)
{
    struct stat info = {};
    if (::stat(path.constData(), &info) != 0) {
        *error = errno;
        return false;
    }
    *size = qint64(info.st_size);
    *modifiedNs = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return true;
}

QString shown(const QByteArray &path)
{
    return QFileInfo(QFile::decodeName(path)).fileName();
}

QString pairText(const RenameJournal::Entry &entry)
{
    return JournalText::tr("“%1” ← “%2”").arg(shown(entry.oldPath), shown(entry.newPath));
}

} // namespace

QString RenameJournalPath(const QString &settingsFile)
{
    const QString settings = settingsFile.isEmpty() ? DefaultSettingsFile() : settingsFile;
    return QFileInfo(settings).absolutePath() + QStringLiteral("/pixwright-rename-undo.json");
}

RenameJournal JournalOfRenames(const QString &folder, const QList<QPair<QString, QString>> &renamed)
{
    RenameJournal journal;
    for (const auto &[oldName, newName] : renamed) {
        RenameJournal::Entry entry;
        entry.oldPath = NativePath(folder + oldName);
        entry.newPath = QFile::encodeName(folder + newName);
        int error = 0;
        if (statOf(entry.newPath, &entry.size, &entry.modifiedNs, &error))
            journal.entries.append(entry);
    }
    return journal;
}

QString WriteRenameJournal(const RenameJournal &journal, const QString &path)
{
    QJsonArray entries;
    for (const RenameJournal::Entry &entry : journal.entries)
        entries.append(
                QJsonObject{{QStringLiteral("old"), QString::fromLatin1(entry.oldPath.toBase64())},
                            {QStringLiteral("new"), QString::fromLatin1(entry.newPath.toBase64())},
                            {QStringLiteral("size"), double(entry.size)},
                            {QStringLiteral("mtimeNs"), QString::number(entry.modifiedNs)}});
    const QJsonObject root{{QStringLiteral("version"), kJournalVersion},
                           {QStringLiteral("renames"), entries}};
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    file.write(QJsonDocument(root).toJson());
    if (!file.commit())
        return file.errorString();
    return QString();
}

RenameJournal ReadRenameJournal(const QString &path)
{
    RenameJournal journal;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return journal;
    const QJsonObject root = QJsonDocument::fromJson(file.read(64 << 20)).object();
    if (root.value(QStringLiteral("version")).toInt() != kJournalVersion)
        return journal;
    for (const QJsonValue &value : root.value(QStringLiteral("renames")).toArray()) {
        const QJsonObject object = value.toObject();
        RenameJournal::Entry entry;
        entry.oldPath = QByteArray::fromBase64(
                object.value(QStringLiteral("old")).toString().toLatin1());
        entry.newPath = QByteArray::fromBase64(
                object.value(QStringLiteral("new")).toString().toLatin1());
        entry.size = qint64(object.value(QStringLiteral("size")).toDouble(-1));
        entry.modifiedNs = object.value(QStringLiteral("mtimeNs")).toString().toLongLong();
        if (!entry.oldPath.isEmpty() && !entry.newPath.isEmpty())
            journal.entries.append(entry);
    }
    return journal;
}

UndoOutcome UndoRenames(const RenameJournal &journal)
{
    UndoOutcome outcome;
    // Last rename first: a name freed by a later rename is taken back before an earlier one
    // needs it.
    for (auto it = journal.entries.crbegin(); it != journal.entries.crend(); ++it) {
        const RenameJournal::Entry &entry = *it;
        qint64 size = 0;
        qint64 modifiedNs = 0;
        int error = 0;
        if (!statOf(entry.newPath, &size, &modifiedNs, &error)) {
            outcome.refused.append({pairText(entry), SystemErrorText(error)});
            continue;
        }
        if (size != entry.size || modifiedNs != entry.modifiedNs) {
            outcome.refused.append({pairText(entry), JournalText::tr("改名后文件已被修改")});
            continue;
        }
        bool exists = false;
        const QString reason = RenameNoReplace(entry.newPath, entry.oldPath, &exists);
        if (exists)
            outcome.refused.append(
                    {pairText(entry), JournalText::tr("原文件名已被另一个文件占用")});
        else if (!reason.isEmpty())
            outcome.refused.append({pairText(entry), reason});
        else
            outcome.restored.append(pairText(entry));
    }
    return outcome;
}

UndoOutcome UndoLastRename(const QString &path)
{
    const UndoOutcome outcome = UndoRenames(ReadRenameJournal(path));
    QFile::remove(path);
    return outcome;
}

QString UndoOutcome::text() const
{
    QString text = JournalText::tr("已撤销改名：%1 个文件恢复了原名。").arg(restored.size());
    if (refused.isEmpty())
        return text;
    text += u'\n' + JournalText::tr("以下 %1 个文件保持现在的名字：").arg(refused.size());
    for (const auto &[file, reason] : refused)
        text += u'\n' + JournalText::tr("%1：%2").arg(file, reason);
    return text;
}

} // namespace Pw
