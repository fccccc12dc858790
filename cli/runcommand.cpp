#include "cli/runcommand.h"

#include "cli/console.h"
#include "cli/sharedoptions.h"
#include "imaging/fitgeometry.h"
#include "naming/namingrule.h"
#include "options/presets.h"
#include "options/processingoptions.h"
#include "platform/apppaths.h"
#include "platform/bytepaths.h"
#include "platform/colour.h"
#include "platform/fileutils.h"
#include "platform/nativefile.h"
#include "platform/showntext.h"
#include "platform/sourceselection.h"
#include "run/batchengine.h"
#include "run/batchsetup.h"
#include "run/step3choices.h"
#include "settings/sourcesettings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>

#include <optional>

namespace Pw {

namespace {

// The translation context of this command's texts.
struct RunCommand
{
    Q_DECLARE_TR_FUNCTIONS(Pw::RunCommand)
};

QList<QCommandLineOption> runOptions()
{
    const auto option = [](const QString &name, const QString &description,
                           const QString &value = QString()) {
        return QCommandLineOption(name, description, value);
    };
    return {
            option(QStringLiteral("settings"), RunCommand::tr("从此设置文件读取（只读不写）"),
                   QStringLiteral("FILE")),
            option(QStringLiteral("output-root"),
                   RunCommand::tr("结果放在 DIR 下（默认：第三步记住的位置，否则桌面文件夹）"),
                   QStringLiteral("DIR")),
            option(QStringLiteral("select"), RunCommand::tr("只处理这张列出的图片（可重复）"),
                   QStringLiteral("NAME")),
            option(QStringLiteral("types"), RunCommand::tr("列出的文件类型"),
                   QStringLiteral("jpg,png,bmp,heic,avif,webp,tiff")),
            option(QStringLiteral("mode"),
                   RunCommand::tr("处理方式：1 裁切居中，2 完整缩入，3 定一边，4 拉伸，5 按百分比"),
                   QStringLiteral("1..5")),
            option(QStringLiteral("width"), RunCommand::tr("宽（处理方式 1、2、4）"),
                   QStringLiteral("W")),
            option(QStringLiteral("height"), RunCommand::tr("高（处理方式 1、2、4）"),
                   QStringLiteral("H")),
            option(QStringLiteral("preset"), RunCommand::tr("相片冲印尺寸（见下表），定下宽和高"),
                   QStringLiteral("1..32")),
            option(QStringLiteral("edge"), RunCommand::tr("处理方式 3 固定哪一边：长边、宽或高"),
                   QStringLiteral("long|width|height")),
            option(QStringLiteral("length"), RunCommand::tr("处理方式 3 那一边的长度"),
                   QStringLiteral("L")),
            option(QStringLiteral("percent"), RunCommand::tr("处理方式 5 的百分比"),
                   QStringLiteral("5..500")),
            option(QStringLiteral("floor"), RunCommand::tr("处理方式 5 缩小时高的下限"),
                   QStringLiteral("F")),
            option(QStringLiteral("cap"), RunCommand::tr("处理方式 5 放大时宽的上限"),
                   QStringLiteral("C")),
            option(QStringLiteral("enlarge"),
                   RunCommand::tr("放大比目标小的图片（处理方式 1、2、3）")),
            option(QStringLiteral("limit"), RunCommand::tr("文件体积上限，如 50K 或 2M"),
                   QStringLiteral("N[K|M]")),
            option(QStringLiteral("quality"), RunCommand::tr("保存质量 5..100，5 的倍数"),
                   QStringLiteral("Q")),
            option(QStringLiteral("keep-exif"), RunCommand::tr("保留数码相机信息")),
            option(QStringLiteral("text"), RunCommand::tr("在图片中央加字（\\n 换行）"),
                   QStringLiteral("TEXT")),
            option(QStringLiteral("font"), RunCommand::tr("字体，如 \"宋体,10.5,bold\""),
                   QStringLiteral("FAMILY,SIZE[,bold][,italic][,underline][,strikeout]")),
            option(QStringLiteral("text-colour"), RunCommand::tr("文字颜色"),
                   QStringLiteral("#RRGGBB")),
            option(QStringLiteral("inverse"), RunCommand::tr("文字反白（衬底色）")),
            option(QStringLiteral("text-back"), RunCommand::tr("反白的衬底色"),
                   QStringLiteral("#RRGGBB")),
            option(QStringLiteral("background"), RunCommand::tr("背景色（处理方式 1、2）"),
                   QStringLiteral("#RRGGBB")),
            option(QStringLiteral("background-picture"),
                   RunCommand::tr("背景图片（处理方式 1、2）"), QStringLiteral("FILE")),
            option(QStringLiteral("rule"), RunCommand::tr("七位数字 0/1，依次打开名称部分（见下）"),
                   QStringLiteral("DIGITS")),
            option(QStringLiteral("separator"),
                   RunCommand::tr("间隔符号：%1 之一，或“空格”")
                           .arg(SharedOptions::separatorList()),
                   QStringLiteral("CHAR")),
            option(QStringLiteral("yes"), RunCommand::tr("不问就处理演示图片")),
    };
}

QString presetTable()
{
    QString table = RunCommand::tr("相片冲印尺寸（--preset）：") + u'\n';
    for (int index = 1; index <= kPresetCount; ++index) {
        const QStringList parts = PresetText(index).split(u'|');
        table += QStringLiteral("  %1  %2  %3x%4\n")
                         .arg(index, 2)
                         .arg(parts.value(0), parts.value(1), parts.value(2));
    }
    return table;
}

QString usage(const CommandLine &line)
{
    return RunCommand::tr("用法：pixwright run [FOLDER] [选项]\n"
                          "把 FOLDER（默认：记住的文件夹，否则演示图片）中的图片处理后存入\n"
                          "<桌面>/pixwright_新图/<文件夹名>/<处理方式>/<日期_时间>/。\n"
                          "未给出的选项取设置文件中记住的值。\n")
           + line.optionTable() + u'\n' + presetTable() + u'\n' + SharedOptions::ruleDigitsHelp()
           + u'\n'
           + RunCommand::tr("退出状态：0 全部成功，1 有文件失败，2 参数错误，3 没有可处理的图片。\n"
                            "Ctrl+C 在处理完当前文件后停止，仍然输出报告。\n");
}

// A bad value: which option, and what is wrong.
struct Bad
{
    QString subject;
    QString problem;
};

// The options as given, checked and read into values.
struct RunArguments
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
    std::optional<QChar> separator;
    bool yes = false;
};

std::optional<int> wholeNumber(const CommandLine &line, const QString &name, int low, int high,
                               std::optional<Bad> &bad)
{
    if (!line.isSet(name) || bad)
        return std::nullopt;
    const QString value = line.value(name);
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!ok || number < low || number > high) {
        bad = Bad{
                QStringLiteral("--") + name,
                RunCommand::tr("“%1”不可用；请给出 %2 到 %3 的整数").arg(value).arg(low).arg(high)};
        return std::nullopt;
    }
    return number;
}

std::optional<qint32> colourValue(const CommandLine &line, const QString &name,
                                  std::optional<Bad> &bad)
{
    if (!line.isSet(name) || bad)
        return std::nullopt;
    static const QRegularExpression hex(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
    const QString value = line.value(name);
    if (!hex.match(value).hasMatch()) {
        bad = Bad{QStringLiteral("--") + name,
                  RunCommand::tr("“%1”不可用；颜色请写作 #RRGGBB").arg(value)};
        return std::nullopt;
    }
    return BgrFromColour(QColor::fromString(value));
}

std::optional<QFont> fontValue(const QString &value)
{
    const QStringList parts = value.split(u',');
    if (parts.size() < 2 || parts.at(0).trimmed().isEmpty())
        return std::nullopt;
    bool ok = false;
    const double size = parts.at(1).trimmed().toDouble(&ok);
    if (!ok || size < 1 || size > 500)
        return std::nullopt;
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
            return std::nullopt;
    }
    return font;
}

std::optional<Bad> readArguments(const CommandLine &line, RunArguments &a)
{
    std::optional<Bad> bad;
    const auto fail = [&](const QString &subject, const QString &problem) {
        if (!bad)
            bad = Bad{subject, problem};
    };
    const QStringList positional = line.positional();
    if (positional.size() > 1)
        fail(QStringLiteral("FOLDER"), RunCommand::tr("只能给出一个文件夹，却给了“%1”和“%2”")
                                               .arg(positional.at(0), positional.at(1)));
    a.folder = positional.value(0);
    a.settings = line.value(QStringLiteral("settings"));
    if (line.isSet(QStringLiteral("output-root"))) {
        a.outputRoot = line.value(QStringLiteral("output-root"));
        if (a.outputRoot.isEmpty())
            fail(QStringLiteral("--output-root"), RunCommand::tr("请给出一个文件夹"));
    }
    a.select = line.values(QStringLiteral("select"));
    if (line.isSet(QStringLiteral("types"))) {
        a.types = line.value(QStringLiteral("types"));
        if (const QString problem = SharedOptions::typesProblem(a.types); !problem.isEmpty())
            fail(QStringLiteral("--types"), problem);
    }
    a.mode = wholeNumber(line, QStringLiteral("mode"), 1, 5, bad);
    a.width = wholeNumber(line, QStringLiteral("width"), 1, kMaxCanvasSide, bad);
    a.height = wholeNumber(line, QStringLiteral("height"), 1, kMaxCanvasSide, bad);
    if (line.isSet(QStringLiteral("edge"))) {
        const QString v = line.value(QStringLiteral("edge"));
        if (v == u"long")
            a.edge = 1;
        else if (v == u"width")
            a.edge = 2;
        else if (v == u"height")
            a.edge = 3;
        else
            fail(QStringLiteral("--edge"),
                 RunCommand::tr("“%1”不可用；请给出 long、width 或 height").arg(v));
    }
    a.length = wholeNumber(line, QStringLiteral("length"), 1, kMaxCanvasSide, bad);
    a.preset = wholeNumber(line, QStringLiteral("preset"), 1, kPresetCount, bad);
    a.percent = wholeNumber(line, QStringLiteral("percent"), 5, 500, bad);
    a.floor = wholeNumber(line, QStringLiteral("floor"), 1, kMaxCanvasSide, bad);
    a.cap = wholeNumber(line, QStringLiteral("cap"), 1, kMaxCanvasSide, bad);
    a.enlarge = line.isSet(QStringLiteral("enlarge"));
    if (line.isSet(QStringLiteral("limit"))) {
        const QString v = line.value(QStringLiteral("limit"));
        static const QRegularExpression form(QStringLiteral("^([0-9]{1,7})([KkMm]?)$"));
        const QRegularExpressionMatch m = form.match(v);
        if (!m.hasMatch() || m.captured(1).toLongLong() < 1) {
            fail(QStringLiteral("--limit"),
                 RunCommand::tr("“%1”不可用；请给出至少为 1 的整数，后跟 K 或 M，如 50K 或 2M")
                         .arg(v));
        } else {
            a.limitValue = m.captured(1).toLongLong();
            a.limitUnit = m.captured(2).compare(u"M", Qt::CaseInsensitive) == 0 ? 1 : 0;
        }
    }
    if (line.isSet(QStringLiteral("quality"))) {
        const QString v = line.value(QStringLiteral("quality"));
        bool ok = false;
        const int q = v.toInt(&ok);
        if (!ok || q < 5 || q > 100 || q % 5 != 0)
            fail(QStringLiteral("--quality"),
                 RunCommand::tr("“%1”不可用；请给出 5、10、…、100（5 的倍数）").arg(v));
        else
            a.quality = q;
    }
    a.keepExif = line.isSet(QStringLiteral("keep-exif"));
    if (line.isSet(QStringLiteral("text")))
        a.text = line.value(QStringLiteral("text"));
    if (line.isSet(QStringLiteral("font"))) {
        const QString v = line.value(QStringLiteral("font"));
        a.font = fontValue(v);
        if (!a.font)
            fail(QStringLiteral("--font"),
                 RunCommand::tr("“%1”不可用；请写作 "
                                "\"字体,大小[,bold][,italic][,underline][,strikeout]\"，"
                                "大小为 1 到 500 磅")
                         .arg(v));
    }
    a.textColour = colourValue(line, QStringLiteral("text-colour"), bad);
    a.inverse = line.isSet(QStringLiteral("inverse"));
    a.textBack = colourValue(line, QStringLiteral("text-back"), bad);
    a.background = colourValue(line, QStringLiteral("background"), bad);
    if (line.isSet(QStringLiteral("background-picture"))) {
        const QString v = line.value(QStringLiteral("background-picture"));
        const QString absolute = AbsoluteArgumentPath(v);
        if (RegularFileSize(v) < 0 || absolute.isEmpty())
            fail(QStringLiteral("--background-picture"),
                 RunCommand::tr("“%1”不是文件").arg(ShownName(v)));
        else
            a.backgroundPicture = absolute;
    }
    if (line.isSet(QStringLiteral("rule"))) {
        a.rule = line.value(QStringLiteral("rule"));
        NamingRule probe;
        if (const QString problem = SharedOptions::parseRule(*a.rule, probe); !problem.isEmpty())
            fail(QStringLiteral("--rule"), problem);
    }
    if (line.isSet(QStringLiteral("separator"))) {
        QString problem;
        a.separator = SharedOptions::parseSeparator(line.value(QStringLiteral("separator")),
                                                    &problem);
        if (!a.separator)
            fail(QStringLiteral("--separator"), problem);
    }
    a.yes = line.isSet(QStringLiteral("yes"));
    return bad;
}

// Options given that the chosen mode or the other options leave without effect, one line each,
// saying what happens instead.
QStringList unusedOptionWarnings(const RunArguments &a, const CommandLine &line, FitMode mode)
{
    QStringList warnings;
    struct ModeOption
    {
        const char16_t *name;
        std::initializer_list<FitMode> modes;
    };
    using M = FitMode;
    const ModeOption modeOptions[] = {
            {u"edge", {M::OneEdge}},
            {u"length", {M::OneEdge}},
            {u"percent", {M::Percent}},
            {u"floor", {M::Percent}},
            {u"cap", {M::Percent}},
            {u"enlarge", {M::CentreCut, M::FitInside, M::OneEdge}},
            {u"background", {M::CentreCut, M::FitInside}},
            {u"background-picture", {M::CentreCut, M::FitInside}},
    };
    for (const ModeOption &option : modeOptions) {
        const QString name = QString::fromUtf16(option.name);
        if (!line.isSet(name)
            || std::find(option.modes.begin(), option.modes.end(), mode) != option.modes.end())
            continue;
        QStringList numbers;
        for (FitMode used : option.modes)
            numbers << QString::number(ModeNumber(used));
        warnings << RunCommand::tr("--%1 只用于处理方式 %2，在处理方式 %3 中被忽略")
                            .arg(name, numbers.join(u'/'))
                            .arg(ModeNumber(mode));
    }
    if (a.preset) {
        const std::optional<PresetSize> size = PresetPick(*a.preset);
        if (a.width)
            warnings << RunCommand::tr("--width %1 取代了 --preset %2 给出的宽 %3")
                                .arg(*a.width)
                                .arg(*a.preset)
                                .arg(size->width);
        if (a.height)
            warnings << RunCommand::tr("--height %1 取代了 --preset %2 给出的高 %3")
                                .arg(*a.height)
                                .arg(*a.preset)
                                .arg(size->height);
    }
    if (a.quality && a.limitValue)
        warnings
                << RunCommand::tr(
                           "有 --limit 时保存质量自动选定（从 85 起逐级降低，直到不超过体积上限），"
                           "--quality %1 被忽略")
                           .arg(*a.quality);
    return warnings;
}

int run(const RunArguments &a, const CommandLine &line, const Console &console)
{
    if (!a.settings.isEmpty() && !QFileInfo(a.settings).isFile())
        return console.badArgument(QStringLiteral("--settings"),
                                   RunCommand::tr("“%1”不是文件").arg(a.settings));
    const QString settingsFile = a.settings.isEmpty() ? QString()
                                                      : QFileInfo(a.settings).absoluteFilePath();

    const SourceChoices source = LoadSourceChoices(settingsFile);
    BatchChoices choices;
    choices.options = LoadProcessingOptions(settingsFile);
    choices.step3 = LoadStep3Choices(settingsFile);
    choices.rule = LoadNamingRule(settingsFile);
    const PictureTypes types = a.types.isEmpty() ? source.listedTypes()
                                                 : ParsePictureTypes(a.types);
    QString folder;
    if (!a.folder.isEmpty()) {
        // By its bytes: a folder name that is not UTF-8 is still the folder the user named.
        folder = WithTrailingSlash(AbsoluteArgumentPath(a.folder));
        if (!IsFolderPath(a.folder) || folder.isEmpty())
            return console.badArgument(QStringLiteral("FOLDER"),
                                       RunCommand::tr("“%1”不是文件夹").arg(ShownName(a.folder)));
    } else {
        folder = ChooseSourceFolder(source.rememberedFolder, types);
    }
    SourceSelection &selection = choices.selection;
    selection.folder = folder;
    selection.names = ListPictures(folder, types);
    const QStringList unknown = selection.select(a.select);
    if (!unknown.isEmpty())
        return console.badArgument(
                QStringLiteral("--select"),
                RunCommand::tr("“%1”不在 %2 列出的图片中").arg(unknown.first(), folder));
    selection.keepCamera = a.keepExif || source.keepCamera;

    ProcessingOptions &o = choices.options;
    if (a.mode)
        o.fitMode = FitModeFromNumber(*a.mode);
    if (a.preset) {
        const std::optional<PresetSize> size = PresetPick(*a.preset);
        o.targetWidth = QString::number(size->width);
        o.targetHeight = QString::number(size->height);
        o.edgeLength = o.targetWidth;
    }
    if (a.width)
        o.setTargetWidth(QString::number(*a.width));
    if (a.height)
        o.targetHeight = QString::number(*a.height);
    if (a.edge)
        o.edgeChoice = *a.edge;
    if (a.length)
        o.edgeLength = QString::number(*a.length);
    if (o.fitMode == FitMode::OneEdge)
        o.copyEdgeLengthBack();
    if (a.percent)
        o.scalePercent = *a.percent;
    if (a.floor)
        o.percentFloor = QString::number(*a.floor);
    if (a.cap)
        o.percentCap = QString::number(*a.cap);
    o.enlargeSmall = a.enlarge;
    if (a.limitValue) {
        o.sizeLimitOn = true;
        o.sizeLimitValue = QString::number(*a.limitValue);
        o.sizeLimitUnit = a.limitUnit;
    }
    if (a.text) {
        o.addText = true;
        QString text = *a.text;
        text.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(u'\n', QStringLiteral("\r\n"));
        o.overlayText = text;
    }
    if (a.font)
        o.textFont = *a.font;
    if (a.textColour)
        o.textColour = *a.textColour;
    if (a.inverse)
        o.textInverse = true;
    if (a.textBack)
        o.textBackColour = *a.textBack;

    Step3Choices &step3 = choices.step3;
    if (a.quality)
        step3.qualityIndex = *a.quality / 5 - 1;
    if (a.background)
        step3.backgroundColour = *a.background;
    if (a.backgroundPicture)
        step3.backgroundPicture = *a.backgroundPicture;

    if (a.rule)
        ParseNamingFlagsStrict(*a.rule, choices.rule);
    if (a.separator)
        choices.rule.NamingSeparator = *a.separator;

    for (const QString &warning : unusedOptionWarnings(a, line, o.fitMode))
        console.warn(warning);

    // Written exactly where the user said; a relative folder under a working folder whose path
    // cannot be read is refused rather than taken for the desktop.
    const QString outputRoot = a.outputRoot.isEmpty() ? QString()
                                                      : AbsoluteArgumentPath(a.outputRoot);
    if (!a.outputRoot.isEmpty() && outputRoot.isEmpty())
        return console.badArgument(QStringLiteral("--output-root"),
                                   RunCommand::tr("无法确定当前文件夹的路径，请给出完整路径"));
    const BatchSetup setup = MakeBatchInputs(std::move(choices), outputRoot);
    if (setup.photoLetterDropped)
        console.warn(RunCommand::tr("命名规则第 3 位（数码照片 D / 普通图片 N）需要保留数码信息"
                                    "（--keep-exif），此位按 0 处理"));
    const BatchInputs &in = setup.inputs;
    // The most careful mend for a rule that would hide every result: refuse it, touch nothing.
    if (GivesHiddenNames(in.rule, false))
        return console.badArgument(a.rule ? QStringLiteral("--rule") : QStringLiteral("重命名"),
                                   SharedOptions::hiddenNamesRefusal(in.rule));

    // The press of the finish button: the demo question (answered by --yes), then the selection.
    const StartCheck check = CheckBeforeRun(in.selection, false);
    if (check.askDemo) {
        console.err(DemoQuestion(in.selection.folder) + u'\n'
                    + (a.yes ? RunCommand::tr("→ 是（--yes）")
                             : RunCommand::tr("→ 否（加 --yes 回答“是”）"))
                    + u'\n');
        if (!a.yes) {
            console.error(RunCommand::tr("演示图片没有处理"));
            return kRunNothingSelected;
        }
    }
    if (check.nothingSelected) {
        console.err(NothingSelectedWarning() + u'\n');
        return kRunNothingSelected;
    }

    InterruptAsStop interrupt;
    CommandHost host(console);
    const BatchResult result = RunBatch(in, host);
    host.endLine();
    console.out(result.report + u'\n');
    if (!result.runFolder.isEmpty())
        console.out(RunCommand::tr("结果目录：") + ShownName(result.runFolder) + u'\n');
    return result.allSucceeded() ? kRunAllSucceeded : kRunSomeFailed;
}

} // namespace

int RunBatchCommand(const QStringList &args)
{
    const Console console(QStringLiteral("run"));
    CommandLine line;
    line.addOptions(runOptions());
    QString subject;
    QString problem;
    if (!line.parse(args, &subject, &problem))
        return console.badArgument(subject, problem);
    if (line.helpWanted()) {
        console.out(usage(line));
        return kRunAllSucceeded;
    }
    RunArguments arguments;
    if (const std::optional<Bad> bad = readArguments(line, arguments))
        return console.badArgument(bad->subject, bad->problem);
    return run(arguments, line, console);
}

} // namespace Pw
