#include "naming/renamecommand.h"

#include "naming/namingrule.h"
#include "naming/renamerun.h"
#include "platform/runhost.h"
#include "platform/sourceselection.h"
#include "settings/inistore.h"
#include "settings/sourcesettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <csignal>
#include <cstdio>

namespace Pw {

namespace {

constexpr const char *kUsage
        = "usage: pixwright rename [FOLDER] [--select NAME]... [--types jpg,png,bmp]\n"
          "                        [--rule DIGITS] [--separator CHAR] [--settings FILE] [--yes]\n"
          "Shows how the pictures of FOLDER (default: the remembered folder) would be renamed by\n"
          "the naming rule; --yes renames them in place, never replacing a file.\n"
          "  --select NAME     rename only these listed pictures (repeat it; default: all)\n"
          "  --types LIST      the picture types listed (default: as step 1 remembers them)\n"
          "  --rule DIGITS     seven digits 0/1 switching the name parts on, in order:\n"
          "                    1 running number, 2 pixel size, 3 D (camera photo) or N,\n"
          "                    4 saving quality (no effect when renaming), 5 modification time,\n"
          "                    6 time of taking, 7 the old name (off: the name ends in .jpg)\n"
          "  --separator CHAR  one of . _ - + ~ @ # | $ % ^ & or \"空格\" for a blank\n"
          "  --settings FILE   the remembered rule, folder and types (only read, never written)\n"
          "Exit status: 0 done, 1 a rename was refused or the run stopped, 2 bad arguments.\n";

volatile std::sig_atomic_t g_interrupted = 0;

void onInterrupt(int)
{
    g_interrupted = 1;
}

void printLine(std::FILE *stream, const QString &text)
{
    std::fputs((text + u'\n').toUtf8().constData(), stream);
}

// The command line's host: Ctrl+C asks the run to stop before the next file.
class CommandHost : public RunHost
{
public:
    void progress(int, int, const QString &) override {}
    void yield() override {}
    bool stopRequested() const override { return g_interrupted != 0; }
    void clearStopRequest() override { g_interrupted = 0; }
};

struct Arguments
{
    QString folder;
    QStringList select;
    QString types;
    QString rule;
    QString separator;
    QString settings;
    bool hasTypes = false;
    bool hasRule = false;
    bool hasSeparator = false;
    bool hasSettings = false;
    bool yes = false;
    bool help = false;
};

int badArgument(const QString &argument, const QString &message)
{
    std::fflush(stdout);
    printLine(stderr, QStringLiteral("pixwright rename: %1: %2").arg(argument, message));
    std::fputs("Try 'pixwright rename --help'.\n", stderr);
    return 2;
}

// Parses args into parsed; answers 0, or 2 after saying which argument is wrong.
int parseArguments(const QStringList &args, Arguments &parsed)
{
    bool hasFolder = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString word = args.at(i);
        QString value;
        bool inlineValue = false;
        if (word.startsWith(QLatin1String("--")) && word.contains(u'=')) {
            value = word.mid(word.indexOf(u'=') + 1);
            word = word.left(word.indexOf(u'='));
            inlineValue = true;
        }
        const auto takeValue = [&]() -> bool {
            if (inlineValue)
                return true;
            // "--select --yes" forgot the name; a name that starts with "--" goes as --select=NAME.
            if (i + 1 >= args.size() || args.at(i + 1).startsWith(QLatin1String("--")))
                return false;
            value = args.at(++i);
            return true;
        };
        if (word == u"--yes" && !inlineValue) {
            parsed.yes = true;
        } else if ((word == u"--help" || word == u"-h") && !inlineValue) {
            parsed.help = true;
        } else if (word == u"--select" || word == u"--types" || word == u"--rule"
                   || word == u"--separator" || word == u"--settings") {
            if (!takeValue())
                return badArgument(word, QStringLiteral("needs a value"));
            if (word == u"--select") {
                parsed.select << value;
            } else if (word == u"--types") {
                parsed.types = value;
                parsed.hasTypes = true;
            } else if (word == u"--rule") {
                parsed.rule = value;
                parsed.hasRule = true;
            } else if (word == u"--separator") {
                parsed.separator = value;
                parsed.hasSeparator = true;
            } else {
                parsed.settings = value;
                parsed.hasSettings = true;
            }
        } else if (word.startsWith(u'-') && word.size() > 1) {
            return badArgument(args.at(i), QStringLiteral("unknown option"));
        } else if (hasFolder) {
            return badArgument(QStringLiteral("FOLDER"),
                               QStringLiteral("only one can be given, got '%1' and '%2'")
                                       .arg(parsed.folder, word));
        } else {
            parsed.folder = word;
            hasFolder = true;
        }
    }
    return 0;
}

} // namespace

int RunRenameCommand(const QStringList &args)
{
    Arguments parsed;
    if (const int status = parseArguments(args, parsed); status != 0)
        return status;
    if (parsed.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }

    QString settingsFile;
    if (parsed.hasSettings) {
        if (!QFileInfo(parsed.settings).isFile())
            return badArgument(QStringLiteral("--settings"),
                               QStringLiteral("no such file: %1").arg(parsed.settings));
        settingsFile = QFileInfo(parsed.settings).absoluteFilePath();
    } else {
        settingsFile = DefaultSettingsFile();
    }

    NamingRule rule = LoadNamingRule(settingsFile);
    if (parsed.hasRule && !ParseNamingFlagsStrict(parsed.rule, rule))
        return badArgument(QStringLiteral("--rule"),
                           QStringLiteral("expected seven digits 0 or 1, e.g. 1000001, got '%1'")
                                   .arg(parsed.rule));
    if (parsed.hasSeparator) {
        const QString text = parsed.separator;
        if (text == QStringLiteral("空格"))
            rule.NamingSeparator = u' ';
        else if (text.size() == 1 && SeparatorIndexOf(text.at(0)) >= 0)
            rule.NamingSeparator = text.at(0);
        else
            return badArgument(
                    QStringLiteral("--separator"),
                    QStringLiteral("'%1' is not one of . _ - + ~ @ # | $ % ^ & 空格").arg(text));
    }

    PictureTypes types;
    if (parsed.hasTypes) {
        types = ParsePictureTypes(parsed.types);
        if (!types)
            return badArgument(
                    QStringLiteral("--types"),
                    QStringLiteral("expected a list of jpg, png, bmp, got '%1'").arg(parsed.types));
    } else {
        types = LoadSourceChoices(settingsFile).listedTypes();
    }

    QString folder = parsed.folder;
    if (folder.isEmpty()) {
        folder = LoadSourceFolder(settingsFile);
        if (folder.trimmed().isEmpty())
            return badArgument(
                    QStringLiteral("FOLDER"),
                    QStringLiteral("none given and no folder remembered in %1").arg(settingsFile));
    }
    const QFileInfo folderInfo(folder);
    if (!folderInfo.isDir())
        return badArgument(QStringLiteral("FOLDER"),
                           QStringLiteral("not a folder: %1").arg(folder));
    folder = QDir(folderInfo.absoluteFilePath()).absolutePath();
    if (!folder.endsWith(u'/'))
        folder += u'/';

    SourceSelection list;
    list.folder = folder;
    list.names = ListPictures(folder, types);
    if (list.names.isEmpty())
        return badArgument(QStringLiteral("FOLDER"),
                           QStringLiteral("no pictures of the chosen types in %1").arg(folder));
    const QStringList unknown = list.select(parsed.select);
    if (!unknown.isEmpty())
        return badArgument(QStringLiteral("--select"),
                           QStringLiteral("not a listed picture of %1: %2")
                                   .arg(folder, unknown.join(QStringLiteral(", "))));

    CommandHost host;
    const RenameOutcome preview = RenameOnlyRun(folder, false, list, rule, host);
    for (const QString &line : preview.previewLines)
        printLine(stdout, line);
    if (!parsed.yes) {
        std::fflush(stdout);
        printLine(stderr, QStringLiteral("Nothing renamed; add --yes to rename."));
        return 0;
    }
    std::fflush(stdout);

    g_interrupted = 0;
    const auto previous = std::signal(SIGINT, onInterrupt);
    const RenameOutcome done = RenameOnlyRun(folder, true, list, rule, host);
    std::signal(SIGINT, previous);

    std::fflush(stdout);
    if (done.refused) {
        printLine(stderr, done.refusalText());
        return 1;
    }
    if (done.stopped) {
        printLine(stderr, QCoreApplication::translate("Pw::RenameCommand",
                                                      "已停止：已改名 %1 个文件，其余保持原名。")
                                  .arg(done.renamed.size()));
        return 1;
    }
    printLine(stdout, QCoreApplication::translate("Pw::RenameCommand", "文件批量改名已经完成！"));
    return 0;
}

} // namespace Pw
