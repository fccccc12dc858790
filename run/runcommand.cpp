#include "run/runcommand.h"

#include "imaging/fitgeometry.h"
#include "naming/namingrule.h"
#include "options/presets.h"
#include "options/processingoptions.h"
#include "platform/apppaths.h"
#include "platform/colour.h"
#include "platform/fileutils.h"
#include "platform/runhost.h"
#include "platform/sourceselection.h"
#include "run/batchengine.h"
#include "run/batchsetup.h"
#include "run/step3choices.h"
#include "settings/sourcesettings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>

#include <csignal>
#include <cstdio>
#include <optional>

#include <unistd.h>

namespace Pw {

namespace {

volatile std::sig_atomic_t g_stopPressed = 0;

extern "C" void onInterrupt(int)
{
    g_stopPressed = 1;
    static const char note[] = "\npixwright: stopping after the file in hand "
                               "(Ctrl+C again to quit at once)\n";
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, note, sizeof note - 1);
}

// Ctrl+C is the stop button; a second Ctrl+C ends the program the usual way.
class InterruptAsStop
{
public:
    InterruptAsStop()
    {
        g_stopPressed = 0;
        struct sigaction action = {};
        action.sa_handler = onInterrupt;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        sigaction(SIGINT, &action, &m_previous);
    }
    ~InterruptAsStop() { sigaction(SIGINT, &m_previous, nullptr); }

private:
    struct sigaction m_previous = {};
};

void printErr(const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stderr);
}

void printOut(const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stdout);
}

// The command line as the run's host: progress on stderr, Ctrl+C as the stop press.
class CommandHost : public RunHost
{
public:
    CommandHost()
        : m_live(::isatty(STDERR_FILENO) == 1)
    {}
    ~CommandHost() override { endLine(); }

    void progress(int ordinal, int total, const QString &text) override
    {
        if (!m_live) {
            printErr(text + u'\n');
            return;
        }
        const int width = 30;
        const int done = total > 0 ? width * ordinal / total : width;
        const QString bar = QString(done, u'#') + QString(width - done, u'-');
        printErr(QStringLiteral("\r\033[K[%1] %2").arg(bar, text));
        m_open = true;
    }
    void yield() override {}
    bool stopRequested() const override { return g_stopPressed != 0; }
    void clearStopRequest() override { g_stopPressed = 0; }
    void endLine()
    {
        if (m_open)
            printErr(QStringLiteral("\n"));
        m_open = false;
    }

private:
    bool m_live = false;
    bool m_open = false;
};

struct BadArgument
{
    QString message;
};

[[noreturn]] void bad(const QString &message)
{
    throw BadArgument{message};
}

int wholeNumber(const QString &option, const QString &value, int low, int high)
{
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!ok || number < low || number > high)
        bad(QStringLiteral("%1: '%2' is not accepted; give a whole number from %3 to %4")
                    .arg(option, value)
                    .arg(low)
                    .arg(high));
    return number;
}

qint32 colourValue(const QString &option, const QString &value)
{
    static const QRegularExpression hex(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
    if (!hex.match(value).hasMatch())
        bad(QStringLiteral("%1: '%2' is not accepted; give a colour as #RRGGBB")
                    .arg(option, value));
    return BgrFromColour(QColor::fromString(value));
}

QFont fontValue(const QString &value)
{
    const QStringList parts = value.split(u',');
    const QString usage
            = QStringLiteral(
                      "--font: '%1' is not accepted; give \"FAMILY,SIZE[,bold][,italic][,underline]"
                      "[,strikeout]\" with SIZE in points from 1 to 500")
                      .arg(value);
    if (parts.size() < 2 || parts.at(0).trimmed().isEmpty())
        bad(usage);
    bool ok = false;
    const double size = parts.at(1).trimmed().toDouble(&ok);
    if (!ok || size < 1 || size > 500)
        bad(usage);
    QFont font(parts.at(0).trimmed());
    font.setPointSizeF(size);
    for (int i = 2; i < parts.size(); ++i) {
        const QString word = parts.at(i).trimmed().toLower();
        if (word == u"bold")
            font.setBold(true);
        else if (word == u"italic")
            font.setItalic(true);
        else if (word == u"underline")
            font.setUnderline(true);
        else if (word == u"strikeout")
            font.setStrikeOut(true);
        else
            bad(usage);
    }
    return font;
}

struct CommandLine
{
    QString folder;
    QString settings;
    QString outputRoot;
    QStringList select;
    QString types;
    std::optional<int> mode, width, height, edge, length, preset, percent, floor, cap, quality;
    bool enlarge = false;
    std::optional<qint64> limitValue;
    int limitUnit = 0;
    bool keepExif = false;
    std::optional<QString> text;
    std::optional<QFont> font;
    std::optional<qint32> textColour, textBack, background;
    bool inverse = false;
    std::optional<QString> backgroundPicture;
    std::optional<QString> rule;
    std::optional<QString> separator;
    bool yes = false;
    bool help = false;
};

CommandLine parse(const QStringList &args)
{
    CommandLine cl;
    for (int i = 0; i < args.size(); ++i) {
        QString arg = args.at(i);
        QString inlineValue;
        bool hasInline = false;
        if (arg.startsWith(QStringLiteral("--")) && arg.contains(u'=')) {
            inlineValue = arg.section(u'=', 1);
            arg = arg.section(u'=', 0, 0);
            hasInline = true;
        }
        auto value = [&]() -> QString {
            if (hasInline)
                return inlineValue;
            if (i + 1 >= args.size())
                bad(QStringLiteral("%1: a value is missing").arg(arg));
            return args.at(++i);
        };
        auto flag = [&] {
            if (hasInline)
                bad(QStringLiteral("%1: takes no value").arg(arg));
        };
        if (arg == u"--help" || arg == u"-h") {
            cl.help = true;
        } else if (arg == u"--settings") {
            cl.settings = value();
        } else if (arg == u"--output-root") {
            cl.outputRoot = value();
            if (cl.outputRoot.isEmpty())
                bad(QStringLiteral("--output-root: give a folder"));
        } else if (arg == u"--select") {
            cl.select << value();
        } else if (arg == u"--types") {
            cl.types = value();
            if (!ParsePictureTypes(cl.types))
                bad(QStringLiteral("--types: '%1' is not accepted; give jpg, png and/or bmp "
                                   "separated by commas")
                            .arg(cl.types));
        } else if (arg == u"--mode") {
            cl.mode = wholeNumber(arg, value(), 1, 5);
        } else if (arg == u"--width") {
            cl.width = wholeNumber(arg, value(), 1, kMaxCanvasSide);
        } else if (arg == u"--height") {
            cl.height = wholeNumber(arg, value(), 1, kMaxCanvasSide);
        } else if (arg == u"--edge") {
            const QString v = value();
            if (v == u"long")
                cl.edge = 1;
            else if (v == u"width")
                cl.edge = 2;
            else if (v == u"height")
                cl.edge = 3;
            else
                bad(QStringLiteral("--edge: '%1' is not accepted; give long, width or height")
                            .arg(v));
        } else if (arg == u"--length") {
            cl.length = wholeNumber(arg, value(), 1, kMaxCanvasSide);
        } else if (arg == u"--preset") {
            cl.preset = wholeNumber(arg, value(), 1, kPresetCount);
        } else if (arg == u"--percent") {
            cl.percent = wholeNumber(arg, value(), 5, 500);
        } else if (arg == u"--floor") {
            cl.floor = wholeNumber(arg, value(), 1, kMaxCanvasSide);
        } else if (arg == u"--cap") {
            cl.cap = wholeNumber(arg, value(), 1, kMaxCanvasSide);
        } else if (arg == u"--enlarge") {
            flag();
            cl.enlarge = true;
        } else if (arg == u"--limit") {
            const QString v = value();
            static const QRegularExpression form(QStringLiteral("^([0-9]{1,7})([KkMm]?)$"));
            const QRegularExpressionMatch m = form.match(v);
            if (!m.hasMatch() || m.captured(1).toLongLong() < 1)
                bad(QStringLiteral("--limit: '%1' is not accepted; give a whole number of at "
                                   "least 1 followed by K or M, e.g. 50K or 2M")
                            .arg(v));
            cl.limitValue = m.captured(1).toLongLong();
            cl.limitUnit = m.captured(2).compare(u"M", Qt::CaseInsensitive) == 0 ? 1 : 0;
        } else if (arg == u"--quality") {
            const QString v = value();
            bool ok = false;
            const int q = v.toInt(&ok);
            if (!ok || q < 5 || q > 100 || q % 5 != 0)
                bad(QStringLiteral("--quality: '%1' is not accepted; give 5, 10, ..., 100 "
                                   "(a multiple of 5)")
                            .arg(v));
            cl.quality = q;
        } else if (arg == u"--keep-exif") {
            flag();
            cl.keepExif = true;
        } else if (arg == u"--text") {
            cl.text = value();
        } else if (arg == u"--font") {
            cl.font = fontValue(value());
        } else if (arg == u"--text-colour") {
            cl.textColour = colourValue(arg, value());
        } else if (arg == u"--inverse") {
            flag();
            cl.inverse = true;
        } else if (arg == u"--text-back") {
            cl.textBack = colourValue(arg, value());
        } else if (arg == u"--background") {
            cl.background = colourValue(arg, value());
        } else if (arg == u"--background-picture") {
            const QString v = value();
            if (!QFileInfo(v).isFile())
                bad(QStringLiteral("--background-picture: '%1' is not a file").arg(v));
            cl.backgroundPicture = QFileInfo(v).absoluteFilePath();
        } else if (arg == u"--rule") {
            cl.rule = value();
            NamingRule probe;
            if (!ParseNamingFlagsStrict(*cl.rule, probe))
                bad(QStringLiteral("--rule: '%1' is not accepted; give seven digits 0 or 1, "
                                   "e.g. 0101001")
                            .arg(*cl.rule));
        } else if (arg == u"--separator") {
            cl.separator = value();
            if (cl.separator->size() != 1 || SeparatorIndexOf(cl.separator->at(0)) < 0)
                bad(QStringLiteral("--separator: '%1' is not accepted; give one of . _ - + ~ @ # "
                                   "| $ %% ^ & or a blank")
                            .arg(*cl.separator));
        } else if (arg == u"--yes") {
            flag();
            cl.yes = true;
        } else if (arg.startsWith(u'-') && arg.size() > 1) {
            bad(QStringLiteral("%1: unknown option; see pixwright run --help").arg(arg));
        } else if (cl.folder.isEmpty()) {
            cl.folder = arg;
        } else {
            bad(QStringLiteral("%1: only one FOLDER may be given").arg(arg));
        }
    }
    return cl;
}

int run(const CommandLine &cl)
{
    if (!cl.settings.isEmpty() && !QFileInfo(cl.settings).isFile())
        bad(QStringLiteral("--settings: '%1' is not a file").arg(cl.settings));
    const QString settingsFile = cl.settings.isEmpty() ? QString()
                                                       : QFileInfo(cl.settings).absoluteFilePath();

    const SourceChoices source = LoadSourceChoices(settingsFile);
    BatchChoices choices;
    choices.options = LoadProcessingOptions(settingsFile);
    choices.step3 = LoadStep3Choices(settingsFile);
    choices.rule = LoadNamingRule(settingsFile);
    const PictureTypes types = cl.types.isEmpty() ? source.listedTypes()
                                                  : ParsePictureTypes(cl.types);
    QString folder;
    if (!cl.folder.isEmpty()) {
        if (!QFileInfo(cl.folder).isDir())
            bad(QStringLiteral("FOLDER: '%1' is not a folder").arg(cl.folder));
        folder = WithTrailingSlash(QFileInfo(cl.folder).absoluteFilePath());
    } else {
        folder = ChooseSourceFolder(source.rememberedFolder, types);
    }
    SourceSelection &selection = choices.selection;
    selection.folder = folder;
    selection.names = ListPictures(folder, types);
    const QStringList unknown = selection.select(cl.select);
    if (!unknown.isEmpty())
        bad(QStringLiteral("--select: '%1' is not among the pictures listed in %2")
                    .arg(unknown.first(), folder));
    selection.keepCamera = cl.keepExif || source.keepCamera;

    ProcessingOptions &o = choices.options;
    if (cl.mode)
        o.fitMode = FitModeFromNumber(*cl.mode);
    if (cl.preset) {
        const std::optional<PresetSize> size = PresetPick(*cl.preset);
        o.targetWidth = QString::number(size->width);
        o.targetHeight = QString::number(size->height);
        o.edgeLength = o.targetWidth;
    }
    if (cl.width)
        o.setTargetWidth(QString::number(*cl.width));
    if (cl.height)
        o.targetHeight = QString::number(*cl.height);
    if (cl.edge)
        o.edgeChoice = *cl.edge;
    if (cl.length)
        o.edgeLength = QString::number(*cl.length);
    if (o.fitMode == FitMode::OneEdge)
        o.copyEdgeLengthBack();
    if (cl.percent)
        o.scalePercent = *cl.percent;
    if (cl.floor)
        o.percentFloor = QString::number(*cl.floor);
    if (cl.cap)
        o.percentCap = QString::number(*cl.cap);
    o.enlargeSmall = cl.enlarge;
    if (cl.limitValue) {
        o.sizeLimitOn = true;
        o.sizeLimitValue = QString::number(*cl.limitValue);
        o.sizeLimitUnit = cl.limitUnit;
    }
    if (cl.text) {
        o.addText = true;
        QString text = *cl.text;
        text.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(u'\n', QStringLiteral("\r\n"));
        o.overlayText = text;
    }
    if (cl.font)
        o.textFont = *cl.font;
    if (cl.textColour)
        o.textColour = *cl.textColour;
    if (cl.inverse)
        o.textInverse = true;
    if (cl.textBack)
        o.textBackColour = *cl.textBack;

    Step3Choices &step3 = choices.step3;
    if (cl.quality)
        step3.qualityIndex = *cl.quality / 5 - 1;
    if (cl.background)
        step3.backgroundColour = *cl.background;
    if (cl.backgroundPicture)
        step3.backgroundPicture = *cl.backgroundPicture;

    if (cl.rule)
        ParseNamingFlagsStrict(*cl.rule, choices.rule);
    if (cl.separator)
        choices.rule.NamingSeparator = cl.separator->at(0);

    const BatchSetup setup = MakeBatchInputs(
            std::move(choices),
            cl.outputRoot.isEmpty() ? QString() : QFileInfo(cl.outputRoot).absoluteFilePath());
    if (setup.photoLetterDropped)
        printErr(QStringLiteral("pixwright run: naming option 3 (D/N) needs --keep-exif; "
                                "it is left off\n"));
    const BatchInputs &in = setup.inputs;

    // The press of the finish button: the demo question (answered by --yes), then the selection.
    const StartCheck check = CheckBeforeRun(in.selection, false);
    if (check.askDemo) {
        printErr(DemoQuestion(in.selection.folder) + u'\n'
                 + (cl.yes ? QStringLiteral("→ 是 (--yes)\n")
                           : QStringLiteral("→ 否 (use --yes to answer 是)\n")));
        if (!cl.yes) {
            printErr(QStringLiteral("pixwright run: the demo pictures were not processed\n"));
            return kRunNothingSelected;
        }
    }
    if (check.nothingSelected) {
        printErr(NothingSelectedWarning() + u'\n');
        return kRunNothingSelected;
    }

    InterruptAsStop interrupt;
    CommandHost host;
    const BatchResult result = RunBatch(in, host);
    host.endLine();
    QString report = result.report;
    report.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    printOut(report + u'\n');
    if (!result.runFolder.isEmpty())
        printOut(QStringLiteral("结果目录：") + result.runFolder + u'\n');
    std::fflush(stdout);
    const bool allSucceeded = result.status != BatchStatus::FolderFailed
                              && result.successCount == result.selectedCount;
    return allSucceeded ? kRunAllSucceeded : kRunSomeFailed;
}

} // namespace

QString RunCommandUsage()
{
    return QStringLiteral(
            "usage: pixwright run [FOLDER] [options]\n"
            "Resizes the pictures of FOLDER (default: the remembered folder, else the demo\n"
            "pictures) into <desktop>/pixwright_新图/<folder>/<mode>/<date_time>/.\n"
            "Options default to what the settings file remembers.\n"
            "  --settings FILE          settings file to read (never written)\n"
            "  --output-root DIR        use DIR instead of the desktop folder\n"
            "  --select NAME            process only this listed picture (repeatable)\n"
            "  --types jpg,png,bmp      file types to list\n"
            "  --mode 1..5  --width W  --height H  --edge long|width|height  --length L\n"
            "  --preset 1..32           a photo print size\n"
            "  --percent P  --floor F  --cap C  --enlarge\n"
            "  --limit N[K|M]           size limit, e.g. 50K or 2M\n"
            "  --quality Q              5..100, a multiple of 5\n"
            "  --keep-exif              keep camera information\n"
            "  --text TEXT (\\n breaks a line)  --font \"FAMILY,SIZE[,bold][,italic]"
            "[,underline][,strikeout]\"\n"
            "  --text-colour #RRGGBB  --inverse  --text-back #RRGGBB\n"
            "  --background #RRGGBB   --background-picture FILE\n"
            "  --rule DIGITS            seven naming flags, e.g. 0101001;  --separator CHAR\n"
            "  --yes                    process the demo pictures without asking\n"
            "Exit status: 0 all succeeded, 1 some failed, 2 bad arguments, 3 nothing selected.\n"
            "Ctrl+C stops after the file in hand and still prints the report.\n");
}

int RunBatchCommand(const QStringList &args)
{
    try {
        const CommandLine cl = parse(args);
        if (cl.help) {
            printOut(RunCommandUsage());
            return kRunAllSucceeded;
        }
        return run(cl);
    } catch (const BadArgument &error) {
        printErr(QStringLiteral("pixwright run: ") + error.message + u'\n');
        return kRunBadArguments;
    }
}

} // namespace Pw
