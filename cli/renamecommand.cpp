#include "cli/renamecommand.h"

#include "cli/console.h"
#include "cli/sharedoptions.h"
#include "naming/namingrule.h"
#include "naming/renamejournal.h"
#include "naming/renamerun.h"
#include "platform/apppaths.h"
#include "platform/bytepaths.h"
#include "platform/showntext.h"
#include "platform/sourceselection.h"
#include "settings/inistore.h"
#include "settings/sourcesettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace Pw {

namespace {

// The translation context of this command's texts.
struct RenameCommand
{
    Q_DECLARE_TR_FUNCTIONS(Pw::RenameCommand)
};

QList<QCommandLineOption> renameOptions()
{
    return {
            {QStringLiteral("select"), RenameCommand::tr("只改这张列出的图片（可重复；默认全部）"),
             QStringLiteral("NAME")},
            {QStringLiteral("types"), RenameCommand::tr("列出的图片类型（默认：第一步记住的类型）"),
             QStringLiteral("jpg,png,bmp,heic,avif,webp,tiff")},
            {QStringLiteral("rule"), RenameCommand::tr("七位数字 0/1，依次打开名称部分（见下）"),
             QStringLiteral("DIGITS")},
            {QStringLiteral("separator"),
             RenameCommand::tr("间隔符号：%1 之一，或“空格”").arg(SharedOptions::separatorList()),
             QStringLiteral("CHAR")},
            {QStringLiteral("settings"),
             RenameCommand::tr("记住的规则、文件夹和类型从此文件读取（只读不写）"),
             QStringLiteral("FILE")},
            {QStringLiteral("yes"), RenameCommand::tr("真的改名（不加此项只显示新名字）")},
            {QStringLiteral("undo"),
             RenameCommand::tr("撤销上一次改名：改名后未动过的文件恢复原名，从不覆盖文件")},
    };
}

QString usage(const CommandLine &line)
{
    return RenameCommand::tr("用法：pixwright rename [FOLDER] [选项]\n"
                             "显示 FOLDER（默认：记住的文件夹）中的图片按命名规则将改成的名字；\n"
                             "加 --yes 就地改名，从不覆盖已有的文件；--undo 撤销上一次改名。\n")
           + line.optionTable() + u'\n' + SharedOptions::ruleDigitsHelp() + u'\n'
           + RenameCommand::tr("退出状态：0 完成；1 有文件无法改名或已停止；2 参数错误。\n");
}

// The journal of the last rename, beside the settings file, undone once.
int undoLastRename(const Console &console, const QString &journalPath)
{
    if (ReadRenameJournal(journalPath).isEmpty()) {
        console.error(RenameCommand::tr("没有可以撤销的改名（%1）").arg(journalPath));
        return 1;
    }
    const UndoOutcome outcome = UndoLastRename(journalPath);
    console.out(outcome.text() + u'\n');
    return outcome.refused.isEmpty() ? 0 : 1;
}

// Kept for --undo; a journal that cannot be written costs the undo, not the rename.
void keepJournal(const Console &console, const QString &folder, const RenameOutcome &done,
                 const QString &journalPath)
{
    if (done.renamed.isEmpty())
        return;
    const QString problem = WriteRenameJournal(JournalOfRenames(folder, done.renamed), journalPath);
    if (!problem.isEmpty())
        console.warn(RenameCommand::tr("无法保存撤销记录%1（%2），这次改名不能撤销")
                             .arg(journalPath, problem));
}

} // namespace

int RunRenameCommand(const QStringList &args)
{
    const Console console(QStringLiteral("rename"));
    CommandLine line;
    line.addOptions(renameOptions());
    QString subject;
    QString problem;
    if (!line.parse(args, &subject, &problem))
        return console.badArgument(subject, problem);
    if (line.helpWanted()) {
        console.out(usage(line));
        return 0;
    }
    const QStringList positional = line.positional();
    if (positional.size() > 1)
        return console.badArgument(QStringLiteral("FOLDER"),
                                   RenameCommand::tr("只能给出一个文件夹，却给了“%1”和“%2”")
                                           .arg(positional.at(0), positional.at(1)));

    QString settingsFile;
    if (line.isSet(QStringLiteral("settings"))) {
        const QString given = line.value(QStringLiteral("settings"));
        if (!QFileInfo(given).isFile())
            return console.badArgument(QStringLiteral("--settings"),
                                       RenameCommand::tr("文件不存在：%1").arg(given));
        settingsFile = QFileInfo(given).absoluteFilePath();
    } else {
        settingsFile = DefaultSettingsFile();
    }
    if (line.isSet(QStringLiteral("undo")))
        return undoLastRename(console, RenameJournalPath(settingsFile));

    NamingRule rule = LoadNamingRule(settingsFile);
    if (line.isSet(QStringLiteral("rule"))) {
        problem = SharedOptions::parseRule(line.value(QStringLiteral("rule")), rule);
        if (!problem.isEmpty())
            return console.badArgument(QStringLiteral("--rule"), problem);
    }
    if (line.isSet(QStringLiteral("separator"))) {
        const std::optional<QChar> separator = SharedOptions::parseSeparator(
                line.value(QStringLiteral("separator")), &problem);
        if (!separator)
            return console.badArgument(QStringLiteral("--separator"), problem);
        rule.NamingSeparator = *separator;
    }
    // A rule that names every file ".jpg" would hide them all: refused before anything is touched.
    if (GivesHiddenNames(rule, true))
        return console.badArgument(line.isSet(QStringLiteral("rule")) ? QStringLiteral("--rule")
                                                                      : QStringLiteral("重命名"),
                                   SharedOptions::hiddenNamesRefusal(rule));

    PictureTypes types;
    if (line.isSet(QStringLiteral("types"))) {
        const QString text = line.value(QStringLiteral("types"));
        problem = SharedOptions::typesProblem(text);
        if (!problem.isEmpty())
            return console.badArgument(QStringLiteral("--types"), problem);
        types = ParsePictureTypes(text);
    } else {
        types = LoadSourceChoices(settingsFile).listedTypes();
    }

    QString folder = positional.isEmpty() ? QString() : positional.constFirst();
    if (folder.isEmpty()) {
        folder = LoadSourceFolder(settingsFile);
        if (folder.trimmed().isEmpty())
            return console.badArgument(
                    QStringLiteral("FOLDER"),
                    RenameCommand::tr("没有给出，%1 也没有记住文件夹").arg(settingsFile));
    }
    // By its bytes: a folder name that is not UTF-8 is still the folder the user named.
    const QString absolute = AbsoluteArgumentPath(folder);
    if (!IsFolderPath(folder) || absolute.isEmpty())
        return console.badArgument(QStringLiteral("FOLDER"),
                                   RenameCommand::tr("不是文件夹：%1").arg(ShownName(folder)));
    folder = WithTrailingSlash(absolute);

    SourceSelection list;
    list.folder = folder;
    list.names = ListPictures(folder, types);
    if (list.names.isEmpty())
        return console.badArgument(QStringLiteral("FOLDER"),
                                   RenameCommand::tr("%1 中没有所选类型的图片").arg(folder));
    const QStringList unknown = list.select(line.values(QStringLiteral("select")));
    if (!unknown.isEmpty())
        return console.badArgument(QStringLiteral("--select"),
                                   RenameCommand::tr("不是 %1 中列出的图片：%2")
                                           .arg(folder, unknown.join(QStringLiteral(", "))));

    CommandHost host(console, false);
    const RenameOutcome preview = RenameOnlyRun(folder, false, list, rule, host);
    console.out(preview.previewLines.join(u'\n') + u'\n');
    if (!line.isSet(QStringLiteral("yes"))) {
        console.err(RenameCommand::tr("没有改名；加 --yes 才会改名。") + u'\n');
        return 0;
    }

    InterruptAsStop interrupt;
    const RenameOutcome done = RenameOnlyRun(folder, true, list, rule, host);
    keepJournal(console, folder, done, RenameJournalPath(settingsFile));
    if (done.refused) {
        console.error(done.refusalText());
        return 1;
    }
    if (done.stopped) {
        console.error(RenameCommand::tr("已停止：选定的 %1 个文件中已改名 %2 个，其余保持原名。")
                              .arg(list.selectedCount())
                              .arg(done.renamed.size()));
        return 1;
    }
    console.out(RenameCommand::tr("文件批量改名已经完成！") + u'\n');
    return 0;
}

} // namespace Pw
