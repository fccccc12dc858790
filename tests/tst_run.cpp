#include "cli/runcommand.h"
#include "naming/outputname.h"
#include "run/batchengine.h"
#include "run/memorybudget.h"
#include "run/reporttext.h"
#include "run/sizetime.h"
#include "run/step3choices.h"
#include "run/summarytext.h"
#include "run/textoverlay.h"
#include "settings/inistore.h"
#include "settings/settingskeys.h"

#include <QDir>
#include <QFontMetrics>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace Pw;

namespace {

const QString kPixwright = QStringLiteral(PW_APP_DIR "/pixwright");

// Runs `pixwright run ARGS` and answers the exit code, stdout and stderr.
struct CommandRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

// locale: the locale variables to set instead of the test's own ("LANG=en_US.UTF-8"); none of
// LC_ALL, LC_MESSAGES, LANG is kept from the test when it is given.
CommandRun runCommand(const QStringList &args, const QStringList &locale = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    if (!locale.isEmpty()) {
        for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANG"})
            env.remove(QString::fromLatin1(name));
        for (const QString &setting : locale)
            env.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
    }
    process.setProcessEnvironment(env);
    process.start(kPixwright, QStringList{QStringLiteral("run")} + args);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

void makePictures(const QString &folder, int count, int side)
{
    QDir().mkpath(folder);
    for (int i = 1; i <= count; ++i) {
        QImage image(side, side * 3 / 4, QImage::Format_RGB32);
        image.fill(QColor::fromHsv(i * 40 % 360, 200, 200));
        image.save(folder + QStringLiteral("/p%1.jpg").arg(i));
    }
}

} // namespace

class TestRun : public QObject
{
    Q_OBJECT

private slots:
    void formatFileSize_data();
    void formatFileSize();
    void formatElapsed_data();
    void formatElapsed();
    void timeLeft_data();
    void timeLeft();
    void qualityIndex_data();
    void qualityIndex();
    void compressionRatio_data();
    void compressionRatio();
    void summaryText_data();
    void summaryText();
    void summaryCountAndBackground();
    void renameModeText();
    void textOverlay_data();
    void textOverlay();
    void overlayLineBreaks_data();
    void overlayLineBreaks();
    void runFolderNames();
    void badArguments_data();
    void badArguments();
    void commandExitCodes_data();
    void commandExitCodes();
    void interruptStopsAfterTheFileInHand_data();
    void interruptStopsAfterTheFileInHand();
    void memoryBudgetAdmission_data();
    void memoryBudgetAdmission();
    void commandReadsRememberedChoices();
    void commandListsByStoredPattern_data();
    void commandListsByStoredPattern();
    void commandWarnings_data();
    void commandWarnings();
    void commandTextsFollowTheLocale_data();
    void commandTextsFollowTheLocale();
};

void TestRun::formatFileSize_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("zero") << qint64(0) << QStringLiteral("0B");
    QTest::newRow("512") << qint64(512) << QStringLiteral("512B");
    QTest::newRow("1023") << qint64(1023) << QStringLiteral("1023B");
    QTest::newRow("1024") << qint64(1024) << QStringLiteral("1.0K");
    QTest::newRow("1536") << qint64(1536) << QStringLiteral("1.5K");
    // 1.05K is 1075.2 bytes: 1075 lies below the half, 1076 above.
    QTest::newRow("half a tenth rounds away from zero")
            << qint64(1075 + 1) << QStringLiteral("1.1K");
    QTest::newRow("just under half a tenth") << qint64(1075) << QStringLiteral("1.0K");
    QTest::newRow("1048575 stays in K") << qint64(1048575) << QStringLiteral("1024.0K");
    QTest::newRow("5 MiB") << qint64(5242880) << QStringLiteral("5.0M");
    QTest::newRow("1 GiB") << qint64(1) * 1024 * 1024 * 1024 << QStringLiteral("1.0G");
    QTest::newRow("2.5 TiB") << qint64(5) * 1024 * 1024 * 1024 * 512 << QStringLiteral("2.5T");
    QTest::newRow("exact half rounds away from zero")
            << qint64(1280) << QStringLiteral("1.3K"); // 1.25K
}

void TestRun::formatFileSize()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, expected);
    QCOMPARE(Pw::FormatFileSize(bytes), expected);
}

void TestRun::formatElapsed_data()
{
    QTest::addColumn<qint64>("tenThousandths");
    QTest::addColumn<QString>("expected");
    QTest::newRow("zero") << qint64(0) << QStringLiteral("0小时0分钟0.000秒");
    QTest::newRow("3.5 s") << qint64(35000) << QStringLiteral("0小时0分钟3.500秒");
    QTest::newRow("59.999 s") << qint64(599990) << QStringLiteral("0小时0分钟59.999秒");
    QTest::newRow("60 s") << qint64(600000) << QStringLiteral("0小时1分钟0.000秒");
    QTest::newRow("3725.25 s") << qint64(37252500) << QStringLiteral("1小时2分钟5.250秒");
    QTest::newRow("over a day") << qint64(90061) * 10000 << QStringLiteral("25小时1分钟1.000秒");
}

void TestRun::formatElapsed()
{
    QFETCH(qint64, tenThousandths);
    QFETCH(QString, expected);
    QCOMPARE(Pw::FormatElapsed(tenThousandths), expected);
}

void TestRun::timeLeft_data()
{
    QTest::addColumn<qint64>("elapsedMs");
    QTest::addColumn<int>("done");
    QTest::addColumn<int>("total");
    QTest::addColumn<QString>("expected");
    QTest::newRow("one file done: no estimate yet") << 5000LL << 1 << 10 << QString();
    QTest::newRow("nothing left") << 5000LL << 10 << 10 << QString();
    QTest::newRow("seconds, rounded up") << 2001LL << 2 << 4 << QStringLiteral("剩余约3秒");
    QTest::newRow("minutes") << 10000LL << 2 << 39 << QStringLiteral("剩余约3分5秒");
    QTest::newRow("hours") << 60000LL << 2 << 162 << QStringLiteral("剩余约1小时20分");
}

void TestRun::timeLeft()
{
    QFETCH(qint64, elapsedMs);
    QFETCH(int, done);
    QFETCH(int, total);
    QFETCH(QString, expected);
    QCOMPARE(TimeLeftText(elapsedMs, done, total), expected);
}

void TestRun::qualityIndex_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("index");
    QTest::newRow("absent") << QString() << 16;
    QTest::newRow("not a number") << QStringLiteral("abc") << 16;
    QTest::newRow("first") << QStringLiteral("0") << 0;
    QTest::newRow("last") << QStringLiteral("19") << 19;
    QTest::newRow("one past the list") << QStringLiteral("20") << 16;
    QTest::newRow("negative") << QStringLiteral("-1") << 16;
    QTest::newRow("blanks around") << QStringLiteral(" 7 ") << 7;
}

void TestRun::qualityIndex()
{
    QFETCH(QString, stored);
    QFETCH(int, index);
    QCOMPARE(ParseQualityIndex(stored), index);
}

void TestRun::compressionRatio_data()
{
    QTest::addColumn<qint64>("source");
    QTest::addColumn<qint64>("output");
    QTest::addColumn<QString>("text");
    QTest::newRow("nothing read") << qint64(0) << qint64(0) << QStringLiteral("0.00");
    QTest::newRow("nothing read, something written")
            << qint64(0) << qint64(10) << QStringLiteral("0.00");
    QTest::newRow("half") << qint64(200) << qint64(100) << QStringLiteral("50.00");
    QTest::newRow("a third") << qint64(3) << qint64(1) << QStringLiteral("33.33");
    QTest::newRow("grew") << qint64(100) << qint64(250) << QStringLiteral("250.00");
}

void TestRun::compressionRatio()
{
    QFETCH(qint64, source);
    QFETCH(qint64, output);
    QFETCH(QString, text);
    QCOMPARE(CompressionRatioText(source, output), text);
}

void TestRun::summaryText_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("edge");
    QTest::addColumn<bool>("limit");
    QTest::addColumn<QString>("rule");
    QTest::addColumn<QString>("expected");
    const QString head = QStringLiteral("→ 保留数码信息：否\r\n\r\n→ 命名规则为：\r\n\r\n");
    const QString note = QStringLiteral(
            "\r\n“[]中括号内的内容不会出现在文件名中”\r\n\r\n→ 处理方式为：\r\n");
    const QString tail = QStringLiteral("\r\n\r\n→ 图片加字：否  文字反白：否\r\n\r\n→ 限制体积：");
    QTest::newRow("mode 1, default rule")
            << 1 << 1 << false << QStringLiteral("0101001")
            << head + QStringLiteral("([宽]x[高]800[宽]x600[高]Q85)原文件名") + note
                       + QStringLiteral("1.指定图形的宽和高，抛弃超出的部分，不缩放不变形，有白边")
                       + tail + QStringLiteral("否");
    QTest::newRow("mode 3 long edge, size limit")
            << 3 << 1 << true << QStringLiteral("0101001")
            << head
                       + QStringLiteral("([宽]x[高][横图](800[宽]*自动判定值[高])\r\n或 "
                                        "[竖图](自动判定值[宽]*800[高]Q[自动])原文件名")
                       + note
                       + QStringLiteral("3.指定图形的 长边 ，最大化可视原图，缩放而不变形，无白边")
                       + tail + QStringLiteral("不超过50K");
    QTest::newRow("mode 3 height, no size in the name")
            << 3 << 3 << false << QStringLiteral("1000000")
            << head + QStringLiteral("序号[自动].") + note
                       + QStringLiteral("3.指定图形的  高  ，最大化可视原图，缩放而不变形，无白边")
                       + tail + QStringLiteral("否");
    QTest::newRow("mode 5 at 50 %")
            << 5 << 1 << false << QStringLiteral("0100000")
            << head + QStringLiteral("([宽]x[高]原图宽*50%[宽] x 原图高*50%[高].)") + note
                       + QStringLiteral("5.原图按 50% 比例(允许5%-5倍)进行缩(放)，不变形，无白边")
                       + tail + QStringLiteral("否");
}

void TestRun::summaryText()
{
    QFETCH(int, mode);
    QFETCH(int, edge);
    QFETCH(bool, limit);
    QFETCH(QString, rule);
    QFETCH(QString, expected);
    SummaryInputs in;
    in.options.fitMode = Pw::FitModeFromNumber(mode);
    in.options.edgeChoice = edge;
    in.options.targetWidth = QStringLiteral("800");
    in.options.targetHeight = QStringLiteral("600");
    in.options.sizeLimitOn = limit;
    QVERIFY(ParseNamingFlagsStrict(rule, in.rule));
    QCOMPARE(SummaryText(in), expected);
}

// The rename form of the pattern has no quality even with option 4 on.
// The summary (and so the report) says how many pictures are taken and names the background
// picture of the border modes.
void TestRun::summaryCountAndBackground()
{
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("底图.jpg"));
    QVERIFY(QImage(4, 4, QImage::Format_RGB32).save(picture));
    SummaryInputs in;
    in.selectedCount = 12;
    in.backgroundPicture = picture;
    in.options.fitMode = Pw::FitMode::FitInside;
    QString text = SummaryText(in);
    QVERIFY2(text.startsWith(QStringLiteral("→ 即将处理：12 个图片\r\n\r\n")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("\r\n\r\n→ 背景图：底图.jpg\r\n")), qPrintable(text));
    in.options.fitMode = Pw::FitMode::Stretch; // no border, no background
    QVERIFY(!SummaryText(in).contains(QStringLiteral("背景图")));
    in.options.fitMode = Pw::FitMode::FitInside;
    in.backgroundPicture = dir.filePath(QStringLiteral("gone.jpg"));
    QVERIFY(!SummaryText(in).contains(QStringLiteral("背景图")));
}

void TestRun::renameModeText()
{
    NamingRule rule;
    QVERIFY(ParseNamingFlagsStrict(QStringLiteral("1101001"), rule));
    const QString b = QStringLiteral("\r\n\r\n");
    QCOMPARE(RenameModeText(rule, 12),
             QStringLiteral("===============命名规则===============") + b
                     + NamingPatternText(rule, true, QString()).front
                     + NamingPatternText(rule, true, QString()).back + b
                     + QStringLiteral("即将处理选定的【12】个文件") + b
                     + QStringLiteral("=======================================") + b
                     + QStringLiteral("点击“批量改名”以继续") + b);
    QVERIFY(!RenameModeText(rule, 12).contains(u'Q'));
}

void TestRun::textOverlay_data()
{
    QTest::addColumn<bool>("inverse");
    QTest::addColumn<qint32>("textColour");
    QTest::addColumn<QColor>("box"); // invalid: no box
    QTest::addColumn<QColor>("text");
    QTest::newRow("black on a box turns white on red")
            << true << qint32(0) << QColor(255, 0, 0) << QColor(255, 255, 255);
    QTest::newRow("colour on the chosen box")
            << true << qint32(0x00FF00) << QColor(0, 0, 255) << QColor(0, 255, 0);
    QTest::newRow("no box") << false << qint32(0x0000FF) << QColor() << QColor(255, 0, 0);
}

void TestRun::textOverlay()
{
    QFETCH(bool, inverse);
    QFETCH(qint32, textColour);
    QFETCH(QColor, box);
    QFETCH(QColor, text);
    ProcessingOptions options;
    options.addText = true;
    options.overlayText = QStringLiteral("WWWW\r\nW");
    options.textInverse = inverse;
    options.textColour = textColour;
    options.textBackColour = 0xFF0000; // blue
    QImage canvas(300, 200, QImage::Format_RGB32);
    canvas.fill(Qt::gray);
    DrawTextOverlay(canvas, options);

    const QFont font = OverlayCanvasFont(options.textFont);
    QCOMPARE(font.pixelSize(), 14); // 10.5 pt at 96 dpi
    const QFontMetrics metrics(font, &canvas);
    const int blockWidth = metrics.horizontalAdvance(QStringLiteral("WWWW")) + 10;
    const int blockHeight = 2 * metrics.height() + 10;
    const int left = (300 - blockWidth) / 2;
    const int top = (200 - blockHeight) / 2;
    auto countOf = [&](const QColor &colour, const QRect &area) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += canvas.pixelColor(x, y) == colour;
        return n;
    };
    const QRect block(left, top, blockWidth + 1, blockHeight + 1);
    if (box.isValid()) {
        // The box's corners and margins are box-coloured; just outside it the canvas is untouched.
        QCOMPARE(canvas.pixelColor(block.topLeft()), box);
        QCOMPARE(canvas.pixelColor(block.bottomRight()), box);
        QCOMPARE(canvas.pixelColor(block.topLeft() - QPoint(1, 1)), QColor(Qt::gray));
        QCOMPARE(canvas.pixelColor(block.bottomRight() + QPoint(1, 1)), QColor(Qt::gray));
        QVERIFY(countOf(text, block) > 20);
    } else {
        // The first line starts at the vertical centre: nothing above it, text below it.
        const int firstLine = (200 - metrics.height()) / 2;
        QCOMPARE(countOf(text, QRect(0, 0, 300, firstLine)), 0);
        QVERIFY(countOf(text, QRect(0, firstLine, 300, metrics.height())) > 20);
        QVERIFY(countOf(text, QRect(0, firstLine + metrics.height(), 300, metrics.height())) > 5);
    }
}

void TestRun::overlayLineBreaks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("inverse");
    QTest::newRow("LF, as a Qt text box gives it") << QStringLiteral("WW\nW\nWWW") << false;
    QTest::newRow("CR") << QStringLiteral("WW\rW\rWWW") << true;
    QTest::newRow("mixed") << QStringLiteral("WW\r\nW\nWWW") << true;
}

// Every kind of line break draws what CR LF draws.
void TestRun::overlayLineBreaks()
{
    QFETCH(QString, text);
    QFETCH(bool, inverse);
    ProcessingOptions options;
    options.addText = true;
    options.textInverse = inverse;
    options.textColour = 0x0000FF;
    auto draw = [&](const QString &overlay) {
        options.overlayText = overlay;
        QImage canvas(200, 160, QImage::Format_RGB32);
        canvas.fill(Qt::gray);
        DrawTextOverlay(canvas, options);
        return canvas;
    };
    const QImage expected = draw(QStringLiteral("WW\r\nW\r\nWWW"));
    QVERIFY(expected != draw(QStringLiteral("WW W WWW")));
    QCOMPARE(draw(text), expected);
}

void TestRun::runFolderNames()
{
    QTemporaryDir dir;
    const QDateTime stamp(QDate(2024, 6, 3), QTime(14, 5, 9));
    const QString first = MakeRunFolder(dir.path(), QStringLiteral("pixwright"),
                                        QStringLiteral("/data/photos/trip/"),
                                        Pw::FitMode::FitInside, stamp)
                                  .path;
    QCOMPARE(first, dir.path() + QStringLiteral("/pixwright_新图/trip/2/20240603_140509/"));
    QVERIFY(QFileInfo(first).isDir());
    const QString second = MakeRunFolder(dir.path(), QStringLiteral("pixwright"),
                                         QStringLiteral("/data/photos/trip/"),
                                         Pw::FitMode::FitInside, stamp)
                                   .path;
    QCOMPARE(second, dir.path() + QStringLiteral("/pixwright_新图/trip/2/20240603_140509_2/"));
    // A file where a folder must go: refused with the reason, nothing returned.
    QFile blocker(dir.filePath(QStringLiteral("blocker")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const RunFolder refused = MakeRunFolder(blocker.fileName(), QStringLiteral("pixwright"),
                                            QStringLiteral("/x/"), Pw::FitMode::CentreCut, stamp);
    QCOMPARE(refused.path, QString());
    QVERIFY(refused.error.contains(QStringLiteral("blocker")));
}

void TestRun::badArguments_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("named");
    QTest::newRow("mode 6") << QStringList{QStringLiteral("--mode"), QStringLiteral("6")}
                            << QStringLiteral("--mode");
    QTest::newRow("quality not a multiple of 5")
            << QStringList{QStringLiteral("--quality"), QStringLiteral("87")}
            << QStringLiteral("--quality");
    QTest::newRow("quality 0") << QStringList{QStringLiteral("--quality=0")}
                               << QStringLiteral("--quality");
    QTest::newRow("limit without a number")
            << QStringList{QStringLiteral("--limit"), QStringLiteral("K")}
            << QStringLiteral("--limit");
    QTest::newRow("limit in G") << QStringList{QStringLiteral("--limit"), QStringLiteral("2G")}
                                << QStringLiteral("--limit");
    QTest::newRow("edge") << QStringList{QStringLiteral("--edge"), QStringLiteral("diagonal")}
                          << QStringLiteral("--edge");
    QTest::newRow("width 0") << QStringList{QStringLiteral("--width"), QStringLiteral("0")}
                             << QStringLiteral("--width");
    QTest::newRow("width past JPEG")
            << QStringList{QStringLiteral("--width"), QStringLiteral("65501")}
            << QStringLiteral("--width");
    QTest::newRow("preset 33") << QStringList{QStringLiteral("--preset"), QStringLiteral("33")}
                               << QStringLiteral("--preset");
    QTest::newRow("percent 4") << QStringList{QStringLiteral("--percent"), QStringLiteral("4")}
                               << QStringLiteral("--percent");
    QTest::newRow("rule of six") << QStringList{QStringLiteral("--rule"), QStringLiteral("010100")}
                                 << QStringLiteral("--rule");
    QTest::newRow("separator") << QStringList{QStringLiteral("--separator"), QStringLiteral("*")}
                               << QStringLiteral("--separator");
    QTest::newRow("colour") << QStringList{QStringLiteral("--background"), QStringLiteral("red")}
                            << QStringLiteral("--background");
    QTest::newRow("font size") << QStringList{QStringLiteral("--font"), QStringLiteral("Sans,big")}
                               << QStringLiteral("--font");
    QTest::newRow("types") << QStringList{QStringLiteral("--types"), QStringLiteral("gif")}
                           << QStringLiteral("--types");
    QTest::newRow("value missing")
            << QStringList{QStringLiteral("--width")} << QStringLiteral("--width");
    QTest::newRow("unknown option")
            << QStringList{QStringLiteral("--colour")} << QStringLiteral("--colour");
    QTest::newRow("missing folder")
            << QStringList{QStringLiteral("/no/such/folder")} << QStringLiteral("FOLDER");
    QTest::newRow("missing settings")
            << QStringList{QStringLiteral("--settings"), QStringLiteral("/no/Set.ini")}
            << QStringLiteral("--settings");
    QTest::newRow("missing background picture")
            << QStringList{QStringLiteral("--background-picture"), QStringLiteral("/no/bg.jpg")}
            << QStringLiteral("--background-picture");
    QTest::newRow("flag with a value")
            << QStringList{QStringLiteral("--yes=no")} << QStringLiteral("--yes");
}

void TestRun::badArguments()
{
    QFETCH(QStringList, args);
    QFETCH(QString, named);
    QTemporaryDir dir;
    const CommandRun run = runCommand(args
                                      + QStringList{QStringLiteral("--output-root"), dir.path()});
    QCOMPARE(run.exitCode, kRunBadArguments);
    QVERIFY2(run.err.contains(named), qPrintable(run.err));
    QVERIFY(QDir(dir.path()).isEmpty());
}

void TestRun::commandExitCodes_data()
{
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<bool>("addBroken");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<int>("files");
    QTest::newRow("all succeed") << QStringList() << false << kRunAllSucceeded << 3;
    QTest::newRow("one chosen") << QStringList{QStringLiteral("--select"), QStringLiteral("p2.jpg")}
                                << false << kRunAllSucceeded << 1;
    QTest::newRow("one fails") << QStringList{QStringLiteral("--mode"), QStringLiteral("5")} << true
                               << kRunSomeFailed << 3;
    QTest::newRow("type not present")
            << QStringList{QStringLiteral("--types"), QStringLiteral("png")} << false
            << kRunNothingSelected << 0;
    QTest::newRow("unknown name") << QStringList{QStringLiteral("--select"),
                                                 QStringLiteral("zz.jpg")}
                                  << false << kRunBadArguments << 0;
}

void TestRun::commandExitCodes()
{
    QFETCH(QStringList, extra);
    QFETCH(bool, addBroken);
    QFETCH(int, exitCode);
    QFETCH(int, files);
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("源 图"));
    makePictures(source, 3, 200);
    if (addBroken) {
        QFile broken(source + QStringLiteral("/p0.jpg"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("not a picture");
    }
    // An empty settings file: the wizard's defaults, and the run must leave it untouched.
    const QString settings = dir.filePath(QStringLiteral("Set.ini"));
    QFile settingsFile(settings);
    QVERIFY(settingsFile.open(QIODevice::WriteOnly));
    settingsFile.close();
    const QString root = dir.filePath(QStringLiteral("out"));
    const CommandRun run = runCommand(QStringList{source, QStringLiteral("--settings"), settings,
                                                  QStringLiteral("--output-root"), root}
                                      + extra);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(QFileInfo(settings).size(), 0);
    int written = 0;
    const QString modeFolder = root + QStringLiteral("/pixwright_新图/源 图/");
    const QStringList modes = QDir(modeFolder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &mode : modes)
        for (const QString &stamp :
             QDir(modeFolder + mode).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            written += int(QDir(modeFolder + mode + u'/' + stamp).entryList(QDir::Files).size());
    QCOMPARE(written, files);
    if (exitCode == kRunAllSucceeded || exitCode == kRunSomeFailed) {
        QVERIFY2(run.out.startsWith(QStringLiteral("【文件处理报告】\n")), qPrintable(run.out));
        QVERIFY(!run.out.contains(u'\r'));
        QVERIFY(run.out.contains(QStringLiteral("结果目录：") + root));
        QVERIFY(run.err.contains(QStringLiteral("正在处理(1/")));
    }
}

void TestRun::interruptStopsAfterTheFileInHand_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("Ctrl+C") << int(SIGINT);
    QTest::newRow("SIGTERM") << int(SIGTERM);
}

void TestRun::interruptStopsAfterTheFileInHand()
{
    QFETCH(int, signal);
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("big"));
    makePictures(source, 10, 3000);
    const QString root = dir.filePath(QStringLiteral("out"));
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start(kPixwright,
                  {QStringLiteral("run"), source, QStringLiteral("--output-root"), root,
                   QStringLiteral("--mode"), QStringLiteral("5"), QStringLiteral("--percent"),
                   QStringLiteral("150"), QStringLiteral("--quality"), QStringLiteral("100")});
    QVERIFY(process.waitForStarted());
    QByteArray err;
    QTRY_VERIFY_WITH_TIMEOUT((err += process.readAllStandardError()).contains("(1/10)"), 20000);
    ::kill(pid_t(process.processId()), signal);
    QVERIFY(process.waitForFinished(60000));
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), kRunSomeFailed);
    // The report counts the files taken in hand and says the run was stopped.
    const int at = int(out.indexOf(QStringLiteral("共处理【")));
    QVERIFY2(at >= 0, qPrintable(out));
    const int processed = out.mid(at + 4, out.indexOf(u'】', at) - at - 4).toInt();
    const int successAt = int(out.indexOf(QStringLiteral("成功【")));
    const int succeeded = out.mid(successAt + 3, out.indexOf(u'】', successAt) - successAt - 3)
                                  .toInt();
    QVERIFY2(processed >= 1 && processed < 10 && succeeded == processed, qPrintable(out));
    QVERIFY2(
            out.contains(
                    QStringLiteral("已中途停止：选中的10个文件中有%1个未处理").arg(10 - processed)),
            qPrintable(out));
}

void TestRun::memoryBudgetAdmission_data()
{
    // Costs in order; "+" takes, "-" gives back the oldest taken; the expected answers of takes.
    QTest::addColumn<qint64>("total");
    QTest::addColumn<QList<qint64>>("takes");
    QTest::addColumn<QList<bool>>("admitted");
    QTest::newRow("fit side by side")
            << qint64(100) << QList<qint64>{30, 30, 40} << QList<bool>{true, true, true};
    QTest::newRow("the third waits")
            << qint64(100) << QList<qint64>{60, 30, 20} << QList<bool>{true, true, false};
    QTest::newRow("two large never together")
            << qint64(100) << QList<qint64>{60, 60} << QList<bool>{true, false};
    QTest::newRow("over the whole budget runs alone")
            << qint64(100) << QList<qint64>{150, 1} << QList<bool>{true, false};
    QTest::newRow("after something else, it waits")
            << qint64(100) << QList<qint64>{1, 150} << QList<bool>{true, false};
}

void TestRun::memoryBudgetAdmission()
{
    QFETCH(qint64, total);
    QFETCH(QList<qint64>, takes);
    QFETCH(QList<bool>, admitted);
    MemoryBudget budget(total);
    qint64 taken = 0;
    for (int i = 0; i < takes.size(); ++i) {
        QCOMPARE(budget.tryTake(takes[i]), admitted[i]);
        if (admitted[i])
            taken += takes[i];
        QCOMPARE(budget.inUse(), taken);
    }
    budget.give(taken);
    QCOMPARE(budget.inUse(), 0);
    QVERIFY(budget.tryTake(takes.last())); // alone again, everything is admitted

    qputenv("PIXWRIGHT_MEMORY_MB", "300");
    QCOMPARE(DefaultRunMemoryBudget(), qint64(300) << 20);
    qunsetenv("PIXWRIGHT_MEMORY_MB");
    const qint64 fallback = DefaultRunMemoryBudget();
    QVERIFY(fallback >= qint64(256) << 20 && fallback <= qint64(4) << 30);
}

void TestRun::commandReadsRememberedChoices()
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("trip"));
    makePictures(source, 2, 300);
    const QString settings = dir.filePath(QStringLiteral("Set.ini"));
    QVERIFY(WriteIni(Keys::kSectionSelected, Keys::kFitMode, QStringLiteral("2"), settings));
    QVERIFY(WriteIni(Keys::kSectionSelected, Keys::kEdgeLength, QStringLiteral("120"), settings));
    QVERIFY(WriteIni(Keys::kSectionSelected, Keys::kRenameRule, QStringLiteral("1000000"),
                     settings));
    QVERIFY(WriteIni(Keys::kSectionOpenPath, Keys::kSourceFolder, source + u'/', settings));
    const QByteArray before = [&] {
        QFile file(settings);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    const QString root = dir.filePath(QStringLiteral("out"));
    // No FOLDER: the remembered one; mode 3 with the remembered edge; the remembered rule.
    const CommandRun run = runCommand(
            {QStringLiteral("--settings"), settings, QStringLiteral("--output-root"), root});
    QCOMPARE(run.exitCode, kRunAllSucceeded);
    const QString modeFolder = root + QStringLiteral("/pixwright_新图/trip/3/");
    const QStringList stamps = QDir(modeFolder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(stamps.size(), 1);
    const QString runFolder = modeFolder + stamps.first() + u'/';
    QCOMPARE(QDir(runFolder).entryList(QDir::Files),
             QStringList({QStringLiteral("1..jpg"), QStringLiteral("2..jpg")}));
    QCOMPARE(QImage(runFolder + QStringLiteral("1..jpg")).size(), QSize(120, 90));
    QFile after(settings);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), before); // read, never written
}

// The listing follows the stored pattern, as step 1's start-up lists it, whatever the switches.
void TestRun::commandListsByStoredPattern_data()
{
    QTest::addColumn<QStringList>("stored"); // FILTER, FILTER1, FILTER2, FILTER3
    QTest::addColumn<QStringList>("processed");
    QTest::newRow("*.jpg, switches 0")
            << QStringList{"*.jpg", "0", "0", "0"} << QStringList{"p1.jpg", "p2.jpg"};
    QTest::newRow(";*.png, JPG switch 1")
            << QStringList{";*.png", "1", "0", "0"} << QStringList{"q.jpg"}; // a result is a JPEG
}

void TestRun::commandListsByStoredPattern()
{
    QFETCH(QStringList, stored);
    QFETCH(QStringList, processed);
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("mixed"));
    makePictures(source, 2, 120);
    QImage png(90, 60, QImage::Format_RGB32);
    png.fill(Qt::blue);
    QVERIFY(png.save(source + QStringLiteral("/q.png")));
    const QString settings = dir.filePath(QStringLiteral("Set.ini"));
    const QStringList keys = {Keys::kFilter, Keys::kFilterJpg, Keys::kFilterPng, Keys::kFilterBmp};
    for (int i = 0; i < keys.size(); ++i)
        QVERIFY(WriteIni(Keys::kSectionSelected, keys[i], stored[i], settings));
    QVERIFY(WriteIni(Keys::kSectionOpenPath, Keys::kSourceFolder, source + u'/', settings));
    QVERIFY(WriteIni(Keys::kSectionSelected, Keys::kRenameRule, QStringLiteral("0000001"),
                     settings));
    const QString root = dir.filePath(QStringLiteral("out"));
    const CommandRun run = runCommand(
            {QStringLiteral("--settings"), settings, QStringLiteral("--output-root"), root});
    QCOMPARE(run.exitCode, kRunAllSucceeded);
    const QString modeFolder = root + QStringLiteral("/pixwright_新图/mixed/1/");
    const QStringList stamps = QDir(modeFolder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(stamps.size(), 1);
    QCOMPARE(QDir(modeFolder + stamps.first()).entryList(QDir::Files), processed);
}

void TestRun::commandWarnings_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("warnings"); // after "pixwright run: 注意："
    QTest::newRow("length outside mode 3")
            << QStringList{"--mode", "2", "--length", "300"}
            << QStringList{"--length 只用于处理方式 3，在处理方式 2 中被忽略"};
    QTest::newRow("percent outside mode 5")
            << QStringList{"--mode", "1", "--percent", "40"}
            << QStringList{"--percent 只用于处理方式 5，在处理方式 1 中被忽略"};
    QTest::newRow("quality with a limit")
            << QStringList{"--limit", "500K", "--quality", "80"}
            << QStringList{"有 --limit 时保存质量自动选定（从 85 起逐级降低，直到不超过体积上限），"
                           "--quality 80 被忽略"};
    QTest::newRow("photo letter without camera information")
            << QStringList{"--rule", "0010001"}
            << QStringList{"命名规则第 3 位（数码照片 D / 普通图片 N）需要保留数码信息"
                           "（--keep-exif），此位按 0 处理"};
    QTest::newRow("width after a preset")
            << QStringList{"--preset", "8", "--width", "700"}
            << QStringList{"--width 700 取代了 --preset 8 给出的宽 1500"};
    // A rule without any name part is refused (exit 2), not warned about: see tst_reliability.
    QTest::newRow("two at once") << QStringList{"--mode", "4", "--edge", "long", "--floor", "9"}
                                 << QStringList{"--edge 只用于处理方式 3，在处理方式 4 中被忽略",
                                                "--floor 只用于处理方式 5，在处理方式 4 中被忽略"};
    QTest::newRow("every option used")
            << QStringList{"--mode", "3", "--length", "300", "--rule", "0010001", "--keep-exif"}
            << QStringList();
}

// An option left without effect is said once, on one line of its own, and the run goes on.
void TestRun::commandWarnings()
{
    QFETCH(QStringList, args);
    QFETCH(QStringList, warnings);
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("src"));
    makePictures(source, 1, 40);
    const QString settings = dir.filePath(QStringLiteral("Set.ini"));
    QFile(settings).open(QIODevice::WriteOnly);
    const CommandRun run = runCommand(QStringList{source, QStringLiteral("--settings"), settings,
                                                  QStringLiteral("--output-root"),
                                                  dir.filePath(QStringLiteral("out"))}
                                      + args);
    QCOMPARE(run.exitCode, kRunAllSucceeded);
    QStringList said;
    const QString prefix = QStringLiteral("pixwright run: 注意：");
    for (const QString &line : run.err.split(u'\n'))
        if (line.startsWith(prefix))
            said << line.mid(prefix.size());
    QCOMPARE(said, warnings);
}

void TestRun::commandTextsFollowTheLocale_data()
{
    QTest::addColumn<QStringList>("locale");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("err"); // the whole of stderr, when not empty
    QTest::addColumn<QStringList>("outHas");
    const QStringList separator{"--separator", ","};
    QTest::newRow("separator, Chinese by default")
            << QStringList{"LANG=C"} << separator
            << "pixwright run: --separator: “,”不是可用的间隔符号；可用的有 . _ - + ~ @ # | $ % ^ "
               "& "
               "和空格（写作“空格”或\" \"）\n用法见 pixwright run --help\n"
            << QStringList();
    QTest::newRow("separator, English") << QStringList{"LANG=en_US.UTF-8"} << separator
                                        << "pixwright run: --separator: ',' is not an accepted "
                                           "separator; give one of . _ - + ~ "
                                           "@ # | $ % ^ &, or a blank (written \"空格\" or \" \")\n"
                                           "See 'pixwright run --help'.\n"
                                        << QStringList();
    QTest::newRow("LC_MESSAGES before LANG")
            << QStringList{"LANG=zh_CN.UTF-8", "LC_MESSAGES=en_GB.UTF-8"}
            << QStringList{"--mode", "9"}
            << "pixwright run: --mode: '9' is not accepted; give a whole number from 1 to 5\n"
               "See 'pixwright run --help'.\n"
            << QStringList();
    QTest::newRow("LC_ALL before both")
            << QStringList{"LANG=en_US.UTF-8", "LC_ALL=zh_CN.UTF-8"} << QStringList{"--mode", "9"}
            << "pixwright run: --mode: “9”不可用；请给出 1 到 5 的整数\n用法见 pixwright run "
               "--help\n"
            << QStringList();
    QTest::newRow("rule refused, English punctuation")
            << QStringList{"LANG=en_US.UTF-8"} << QStringList{"--rule", "0000000"}
            << "pixwright run: --rule: 0000000: Tick at least one naming part (option 4, the "
               "saving quality, does not count when renaming); otherwise every new file is named "
               "\".jpg\" and becomes a hidden file!\nSee 'pixwright run --help'.\n"
            << QStringList();
    QTest::newRow("help in Chinese, with the presets")
            << QStringList{"LANG=zh_CN.UTF-8"} << QStringList{"--help"} << QString()
            << QStringList{"用法：pixwright run [FOLDER] [选项]\n",
                           "\n   1  一寸照片 3.81cm*2.54cm  450x300\n",
                           "\n  32  毕业证照片 3.3cm*4.8cm  390x567\n"};
    QTest::newRow("help in English")
            << QStringList{"LANG=en_US.UTF-8"} << QStringList{"--help"} << QString()
            << QStringList{"Usage: pixwright run [FOLDER] [options]\n",
                           "\nPhoto print sizes (--preset):\n", "  --mode 1..5 "};
}

// Help, warnings and errors in Chinese unless LC_ALL, LC_MESSAGES or LANG (the first set) asks
// for English; lines end in LF alone.
void TestRun::commandTextsFollowTheLocale()
{
    QFETCH(QStringList, locale);
    QFETCH(QStringList, args);
    QFETCH(QString, err);
    QFETCH(QStringList, outHas);
    const CommandRun run = runCommand(args, locale);
    QVERIFY(!run.err.contains(u'\r'));
    if (!err.isEmpty()) {
        QCOMPARE(run.exitCode, kRunBadArguments);
        // Qt's own start-up notes (no XDG_RUNTIME_DIR in a bare environment) are not ours.
        QStringList lines = run.err.split(u'\n');
        lines.removeIf([](const QString &line) { return line.startsWith(u"QStandardPaths:"); });
        QCOMPARE(lines.join(u'\n'), err);
    }
    for (const QString &part : outHas)
        QVERIFY2(run.out.contains(part), qPrintable(part + u'\n' + run.out));
}

QTEST_MAIN(TestRun)
#include "tst_run.moc"
