// End-to-end runs of the batch engine in a temporary output root, with pictures made here.

#include "exif/exifreader.h"
#include "imaging/colourprofile.h"
#include "imaging/pictureservice.h"
#include "platform/apppaths.h"
#include "platform/runhost.h"
#include "run/batchengine.h"
#include "run/batchrunner.h"
#include "run/saveandlimit.h"
#include "run/sizetime.h"
#include "tests/support/colourpictures.h"
#include "tests/support/recordinghost.h"
#include "tests/support/testfiles.h"
#include "tests/support/testpictures.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace Pw;
using namespace PwTest;

namespace {

const QString kBreak = QStringLiteral("\r\n");

void writePicture(const QString &path, const QImage &image)
{
    QVERIFY2(image.save(path), qPrintable(path));
}

// A PNG whose header reads but whose pixel data is damaged: it measures, then fails to draw.
void writeDamagedPng(const QString &path)
{
    QByteArray bytes;
    {
        QFile probe(path);
        writePicture(path, busyPicture(64, 48, 7));
        QVERIFY(probe.open(QIODevice::ReadOnly));
        bytes = probe.readAll();
    }
    const int data = int(bytes.indexOf("IDAT")) + 4;
    QVERIFY(data > 4);
    for (int i = data; i < bytes.size() - 20; ++i)
        bytes[i] = char(0x5A ^ i);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// The canvas the engine draws for a source in mode 5 at 100 %.
QImage referenceCanvas(const QString &path)
{
    FitParams params;
    params.fitMode = Pw::FitMode::Percent;
    params.scalePercent = 100;
    const DrawnPicture drawn = DrawFittedPicture(path, params);
    Canvas canvas;
    canvas.resize(drawn.geometry.canvasWidth, drawn.geometry.canvasHeight);
    PaintDrawnPicture(canvas, drawn, params.fitMode);
    return canvas.image;
}

// The first quality of 85, 80, ..., 5 whose plain JPEG fits the limit; 0 for none.
int referenceWalk(const QImage &canvas, qint64 limit)
{
    for (int quality = 85; quality >= 5; quality -= 5)
        if (EncodeJpeg(canvas, quality, kOutputDpi).size() <= limit)
            return quality;
    return 0;
}

// The first luminance quantisation value of a JPEG file (0 when there is none).
int firstLumaQuantValue(const QByteArray &jpeg)
{
    for (int i = 2; i + 4 < jpeg.size();) {
        if (quint8(jpeg[i]) != 0xFF)
            return 0;
        const int marker = quint8(jpeg[i + 1]);
        const int length = (quint8(jpeg[i + 2]) << 8) | quint8(jpeg[i + 3]);
        if (marker == 0xDB) // DQT: precision/table byte, then 64 values in zigzag order
            return quint8(jpeg[i + 5]);
        if (marker == 0xDA)
            return 0;
        i += 2 + length;
    }
    return 0;
}

// libjpeg's scaling of the standard table's first value (16) for a quality.
int expectedLumaQuantValue(int quality)
{
    const int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
    return std::clamp((16 * scale + 50) / 100, 1, 255);
}

} // namespace

class TestRunBatch : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void secondOfThreeFailsToLoad();
    void stopWhileSecondOfFive();
    void errorLogOrder();
    void vanishedSource();
    void twoRunsInTheSameSecond();
    void sizeLimitWalk_data();
    void sizeLimitWalk();
    void qualityReadBack_data();
    void qualityReadBack();
    void reportLineByLine();
    void cameraToolMissing();
    void cameraStepCountsInTheLimit();
    void unreadableProfileIsNamedOnce();
    void keepCameraWithAdobeRgb();
    void sizeLimitBoundaries_data();
    void sizeLimitBoundaries();
    void refusals_data();
    void refusals();
    void outputFolderCannotBeMade();
    void backgroundOnlyInBorderModes_data();
    void backgroundOnlyInBorderModes();
    void workerThreadMatchesCallingThread_data();
    void workerThreadMatchesCallingThread();
    void stopFromTheWindowThread();

private:
    BatchInputs inputs(const QStringList &names, int mode) const;
    QString makeSources(const QStringList &names, int size = 120);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_sources;
    QString m_output;
};

void TestRunBatch::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_sources = m_dir->filePath(QStringLiteral("照片 源")) + u'/';
    m_output = m_dir->filePath(QStringLiteral("out")) + u'/';
    QVERIFY(QDir().mkpath(m_sources));
}

QString TestRunBatch::makeSources(const QStringList &names, int size)
{
    quint32 seed = 1;
    for (const QString &name : names)
        busyPicture(size, size * 3 / 4, seed++).save(m_sources + name);
    return m_sources;
}

BatchInputs TestRunBatch::inputs(const QStringList &names, int mode) const
{
    BatchInputs in;
    in.selection.folder = m_sources;
    in.selection.names = names;
    in.selection.select({});
    in.options.fitMode = Pw::FitModeFromNumber(mode);
    in.options.scalePercent = 100;
    in.options.targetWidth = QStringLiteral("160");
    in.options.targetHeight = QStringLiteral("120");
    in.rule.NamingFlags = {1, 0, 0, 0, 0, 0, 1}; // number and old name: "1.a.jpg"
    in.rule.NamingSeparator = u'.';
    in.step3.summaryText = QStringLiteral("→ 保留数码信息：否") + kBreak + kBreak
                           + QStringLiteral("→ 限制体积：否");
    in.outputBase = m_output;
    in.programName = QStringLiteral("pixwright");
    in.cameraTool = QStringLiteral(PW_APP_DIR "/pwReadSM");
    in.started = QDateTime(QDate(2024, 6, 3), QTime(14, 5, 9));
    return in;
}

void TestRunBatch::secondOfThreeFailsToLoad()
{
    makeSources({QStringLiteral("a.png"), QStringLiteral("c.png")});
    QVERIFY(writeBytes(m_sources + QStringLiteral("b.png"), "this is not a picture"));
    const QStringList names = {QStringLiteral("a.png"), QStringLiteral("b.png"),
                               QStringLiteral("c.png")};
    RecordingHost host;
    const BatchResult result = RunBatch(inputs(names, 5), host);

    QCOMPARE(result.status, BatchStatus::Finished);
    QCOMPARE(result.runFolder,
             m_output + QStringLiteral("pixwright_新图/照片 源/5/20240603_140509/"));
    QVERIFY(result.report.contains(QStringLiteral("共处理【3】个文件，成功【2】个！")));
    QCOMPARE(result.errorLog, kBreak + QStringLiteral("[无法取得宽无法取得高]b.png"));
    QCOMPARE(result.reportColour, kReportRed);
    QCOMPARE(filesIn(result.runFolder),
             QStringList({QStringLiteral("1.a.jpg"), QStringLiteral("2.c.jpg")}));
    QCOMPARE(host.progressTexts, QStringList({QStringLiteral("正在处理(1/3)a.png"),
                                              QStringLiteral("正在处理(2/3)b.png"),
                                              QStringLiteral("正在处理(3/3)c.png")}));
    QCOMPARE(host.events,
             QStringList({QStringLiteral("started ") + result.runFolder,
                          QStringLiteral("progress 1/3"), QStringLiteral("progress 2/3"),
                          QStringLiteral("progress 3/3"), QStringLiteral("ended")}));
    // The skipped file's bytes are not counted.
    QCOMPARE(result.sourceBytes,
             QFileInfo(m_sources + names[0]).size() + QFileInfo(m_sources + names[2]).size());
}

void TestRunBatch::stopWhileSecondOfFive()
{
    QStringList names;
    for (int i = 1; i <= 5; ++i)
        names << QStringLiteral("p%1.png").arg(i);
    makeSources(names);
    RecordingHost host;
    host.stopAtOrdinal = 2;
    const BatchResult result = RunBatch(inputs(names, 5), host);

    QCOMPARE(result.status, BatchStatus::Stopped);
    // The files in hand are counted; the rest are said to be left.
    QVERIFY(result.report.contains(QStringLiteral("共处理【2】个文件，成功【2】个！")));
    QVERIFY(result.report.contains(QStringLiteral("已中途停止：选中的5个文件中有3个未处理")));
    QCOMPARE(filesIn(result.runFolder),
             QStringList({QStringLiteral("1.p1.jpg"), QStringLiteral("2.p2.jpg")}));
    QCOMPARE(host.progressTexts.size(), 2);
    QCOMPARE(allFilesBelow(m_output).size(), 2); // nothing else, not even a scratch file
    QVERIFY(!host.stop);                         // honoured, so it cannot stop the next run
    QCOMPARE(result.reportColour, kReportRed);
}

void TestRunBatch::errorLogOrder()
{
    QVERIFY(writeBytes(m_sources + QStringLiteral("a.png"), "no picture"));
    writeDamagedPng(m_sources + QStringLiteral("b.png"));
    writeDamagedPng(m_sources + QStringLiteral("c.png"));
    const QStringList names = {QStringLiteral("a.png"), QStringLiteral("b.png"),
                               QStringLiteral("c.png")};
    RecordingHost host;
    const BatchResult result = RunBatch(inputs(names, 5), host);

    const QStringList lines = result.errorLog.split(kBreak);
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines[0], QStringLiteral("【以下是错误信息】"));
    QCOMPARE(lines[1], QString());
    QCOMPARE(lines[2], QStringLiteral("[无法取得宽无法取得高]a.png"));
    QVERIFY2(lines[3].startsWith(u'[') && lines[3].endsWith(QStringLiteral("]b.png")),
             qPrintable(lines[3]));
    QVERIFY2(lines[4].startsWith(u'[') && lines[4].endsWith(QStringLiteral("]c.png")),
             qPrintable(lines[4]));
    // Nothing of either could be drawn: no file stands for them, and neither is a success; the
    // run leaves no empty folder behind.
    QCOMPARE(result.successCount, 0);
    QVERIFY(result.runFolder.isEmpty());
    QVERIFY(!QFileInfo::exists(m_output + QStringLiteral("pixwright_新图")));
    QVERIFY(QFileInfo::exists(m_output));
}

// A source that goes away after it was listed is reported as missing, with the system's detail.
void TestRunBatch::vanishedSource()
{
    const QStringList names = {QStringLiteral("a.png"), QStringLiteral("b.png")};
    makeSources({names[0]});
    RecordingHost host;
    const BatchResult result = RunBatch(inputs(names, 2), host);
    QVERIFY2(result.errorLog.startsWith(kBreak + QStringLiteral("[文件不存在（ENOENT: "))
                     && result.errorLog.endsWith(QStringLiteral("]b.png")),
             qPrintable(result.errorLog));
    QCOMPARE(filesIn(result.runFolder), QStringList{QStringLiteral("1.a.jpg")});
}

void TestRunBatch::twoRunsInTheSameSecond()
{
    const QStringList names = {QStringLiteral("a.png")};
    makeSources(names);
    RecordingHost host;
    const BatchResult first = RunBatch(inputs(names, 2), host);
    const QByteArray firstBytes = readAll(first.runFolder + QStringLiteral("1.a.jpg"));
    const BatchResult second = RunBatch(inputs(names, 2), host);

    QVERIFY(first.runFolder.endsWith(QStringLiteral("/2/20240603_140509/")));
    QVERIFY(second.runFolder.endsWith(QStringLiteral("/2/20240603_140509_2/")));
    QCOMPARE(filesIn(first.runFolder), QStringList({QStringLiteral("1.a.jpg")}));
    QCOMPARE(filesIn(second.runFolder), QStringList({QStringLiteral("1.a.jpg")}));
    QCOMPARE(readAll(first.runFolder + QStringLiteral("1.a.jpg")), firstBytes);
}

void TestRunBatch::sizeLimitWalk_data()
{
    QTest::addColumn<int>("side");
    QTest::addColumn<QString>("limitValue");
    QTest::addColumn<int>("unit");
    QTest::addColumn<int>("expectedQuality"); // -1: whatever the reference walk gives; 0: none

    // A side for which 85 is over 50 K and 80 within it, found by encoding.
    int side = 0;
    for (int s = 96; s <= 400 && side == 0; s += 4) {
        const QImage picture = busyPicture(s, s * 3 / 4, 99);
        if (EncodeJpeg(picture, 85, kOutputDpi).size() > 51200
            && EncodeJpeg(picture, 80, kOutputDpi).size() <= 51200)
            side = s;
    }
    QVERIFY(side > 0);
    QTest::newRow("50K met at 80") << side << QStringLiteral("50") << 0 << 80;
    QTest::newRow("1K met by nothing") << 300 << QStringLiteral("1") << 0 << 0;
    // The same picture grown to about 41 times the area, a little more, so 85 is over 2 M.
    const int side2M = int(side * std::sqrt(2097152.0 / 51200.0 * 1.05));
    QTest::newRow("2M") << side2M << QStringLiteral("2") << 1 << -1;
}

void TestRunBatch::sizeLimitWalk()
{
    QFETCH(int, side);
    QFETCH(QString, limitValue);
    QFETCH(int, unit);
    QFETCH(int, expectedQuality);

    const QString name = QStringLiteral("busy.png");
    writePicture(m_sources + name, busyPicture(side, side * 3 / 4, 99));
    BatchInputs in = inputs({name}, 5);
    in.options.sizeLimitOn = true;
    in.options.sizeLimitValue = limitValue;
    in.options.sizeLimitUnit = unit;
    in.rule.NamingFlags = {0, 0, 0, 1, 0, 0, 0}; // "(Q80).jpg"
    const qint64 limit = limitValue.toLongLong() * 1024 * (unit == 1 ? 1024 : 1);
    const QImage canvas = referenceCanvas(m_sources + name);
    const int walked = referenceWalk(canvas, limit);
    if (expectedQuality >= 0)
        QCOMPARE(walked, expectedQuality);
    else
        QVERIFY2(walked > 5 && walked < 85, "the 2M row must make the walk go down a few steps");

    RecordingHost host;
    const BatchResult result = RunBatch(in, host);
    const QStringList files = filesIn(result.runFolder);
    if (walked == 0) {
        QVERIFY(files.isEmpty());
        QCOMPARE(result.successCount, 0);
        QCOMPARE(result.errorLog,
                 kBreak + QStringLiteral("[无法满足限定的体积,请尝试缩小像素值]") + name);
        QCOMPARE(result.outputBytes, 0);
        return;
    }
    const QString expectedName = QStringLiteral("(Q%1).jpg").arg(walked);
    QCOMPARE(files, QStringList({expectedName}));
    const QByteArray stored = readAll(result.runFolder + expectedName);
    QVERIFY(stored.size() <= limit);
    QCOMPARE(stored, EncodeJpeg(canvas, walked, kOutputDpi));
    QCOMPARE(result.outputBytes, stored.size());
    QCOMPARE(result.successCount, 1);
}

void TestRunBatch::qualityReadBack_data()
{
    QTest::addColumn<int>("qualityIndex");
    QTest::newRow("index 19: quality 100") << 19;
    QTest::newRow("index 16: quality 85") << 16;
    QTest::newRow("index 0: quality 5") << 0;
}

void TestRunBatch::qualityReadBack()
{
    QFETCH(int, qualityIndex);
    const QStringList names = {QStringLiteral("a.png")};
    makeSources(names);
    BatchInputs in = inputs(names, 4);
    in.step3.qualityIndex = qualityIndex;
    RecordingHost host;
    const BatchResult result = RunBatch(in, host);
    const QByteArray stored = readAll(result.runFolder + QStringLiteral("1.a.jpg"));
    QCOMPARE(firstLumaQuantValue(stored), expectedLumaQuantValue(5 * (qualityIndex + 1)));
    QCOMPARE(QImage::fromData(stored).size(), QSize(160, 120));
}

void TestRunBatch::reportLineByLine()
{
    makeSources({QStringLiteral("a.png")});
    QVERIFY(writeBytes(m_sources + QStringLiteral("b.png"), "no picture"));
    BatchInputs in = inputs({QStringLiteral("a.png"), QStringLiteral("b.png")}, 3);
    in.options.edgeLength = QStringLiteral("100");
    RecordingHost host;
    const BatchResult result = RunBatch(in, host);

    const qint64 source = QFileInfo(m_sources + QStringLiteral("a.png")).size();
    const qint64 output = QFileInfo(result.runFolder + QStringLiteral("1.a.jpg")).size();
    QVERIFY(output > 0);
    const QStringList lines = result.report.split(kBreak);
    const QStringList expected = {
            QStringLiteral("【文件处理报告】"),
            QString(),
            QStringLiteral("共处理【2】个文件，成功【1】个！"),
            QString(),
            QStringLiteral("→ 保留数码信息：否"), // the summary's double break made single
            QStringLiteral("→ 限制体积：否"),
            QStringLiteral("→ 源文件大小：%1 处理后大小：%2 压缩比率：%3%")
                    .arg(FormatFileSize(source), FormatFileSize(output),
                         QString::number(100.0 * output / source, 'f', 2)),
            QStringLiteral("TIME"),
            QString(),
            QString(),
            QStringLiteral("[无法取得宽无法取得高]b.png"),
            QStringLiteral("DATE"),
    };
    QCOMPARE(lines.size(), expected.size());
    for (int i = 0; i < lines.size(); ++i) {
        if (expected[i] == u"TIME")
            QVERIFY2(QRegularExpression(QStringLiteral("^→ 耗时：\\d+小时\\d+分钟\\d+\\.\\d{3}秒$"))
                             .match(lines[i])
                             .hasMatch(),
                     qPrintable(lines[i]));
        else if (expected[i] == u"DATE")
            QVERIFY2(QRegularExpression(
                             QStringLiteral(
                                     "^ {35}\\d{4}/\\d{1,2}/\\d{1,2}( \\d{1,2}:\\d\\d:\\d\\d)?$"))
                             .match(lines[i])
                             .hasMatch(),
                     qPrintable(lines[i]));
        else
            QCOMPARE(lines[i], expected[i]);
    }
}

void TestRunBatch::cameraToolMissing()
{
    const QStringList names = {QStringLiteral("a.jpg"), QStringLiteral("b.jpg")};
    makeSources(names);
    BatchInputs in = inputs(names, 4);
    in.selection.keepCamera = true;
    in.cameraTool = m_dir->filePath(QStringLiteral("no-such-tool"));
    RecordingHost host;
    const BatchResult result = RunBatch(in, host);

    // Both pictures are saved, but each lost what was asked for: named, and no full success.
    QCOMPARE(result.successCount, 2);
    QCOMPARE(result.cameraLostCount, 2);
    QVERIFY(!result.allSucceeded());
    QCOMPARE(result.reportColour, kReportRed);
    QCOMPARE(filesIn(result.runFolder).size(), 2);
    const QStringList lines = result.errorLog.split(kBreak, Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2); // one per file
    for (int i = 0; i < 2; ++i)
        QVERIFY2(lines[i].contains(QStringLiteral("pwReadSM")) && lines[i].endsWith(names[i]),
                 qPrintable(lines[i]));
}

void TestRunBatch::cameraStepCountsInTheLimit()
{
    const QString tool = QStringLiteral(PW_APP_DIR "/pwReadSM");
    if (!QFileInfo(tool).isExecutable())
        QSKIP("pwReadSM is not built");
    // A camera photo: a busy picture with an Exif block copied in by the tool itself.
    const QString donor = PW_APP_DIR "/演示/湖山远眺.jpg";
    if (!QFileInfo::exists(donor))
        QSKIP("demo pictures are not built");
    const QString name = QStringLiteral("photo.jpg");
    const QString source = m_sources + name;
    QTemporaryDir scratch;
    const QString candidate = scratch.filePath(QStringLiteral("c.jpg"));
    auto withCamera = [&](const QByteArray &plain) {
        QFile file(candidate);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return qint64(-1);
        file.write(plain);
        file.close();
        if (QProcess::execute(tool, {QStringLiteral("-te"), source, candidate}) != 0)
            return qint64(-1);
        return QFileInfo(candidate).size();
    };

    // Wanted: a K boundary between the plain size at 85 and the size after the tool, so only
    // a walk that measures after the tool leaves 85.
    QImage canvas;
    qint64 limitK = 0;
    for (int width = 200; width < 400 && limitK == 0; width += 2) {
        writePicture(source, busyPicture(width, 150, 5));
        QCOMPARE(QProcess::execute(tool, {QStringLiteral("-te"), donor, source}), 0);
        canvas = referenceCanvas(source);
        const QByteArray plain = EncodeJpeg(canvas, 85, kOutputDpi);
        const qint64 after = withCamera(plain);
        QVERIFY(after > plain.size());
        if ((after - 1) / 1024 * 1024 >= plain.size())
            limitK = (after - 1) / 1024;
    }
    QVERIFY(limitK > 0);
    QVERIFY(hasExif(readAll(source)));

    BatchInputs in = inputs({name}, 5);
    in.selection.keepCamera = true;
    in.options.sizeLimitOn = true;
    in.options.sizeLimitValue = QString::number(limitK);
    in.rule.NamingFlags = {0, 0, 0, 1, 0, 0, 0};

    // The plain walk: each candidate stored and given its camera information, then measured.
    int walked = 0;
    for (int quality = 85; quality >= 5 && walked == 0; quality -= 5)
        if (withCamera(EncodeJpeg(canvas, quality, kOutputDpi)) <= limitK * 1024)
            walked = quality;
    QVERIFY(walked > 0 && walked < 85);

    RecordingHost host;
    const BatchResult result = RunBatch(in, host);
    const QString expectedName = QStringLiteral("(Q%1).jpg").arg(walked);
    QCOMPARE(filesIn(result.runFolder), QStringList({expectedName}));
    const QByteArray stored = readAll(result.runFolder + expectedName);
    QVERIFY(hasExif(stored));
    QVERIFY(stored.size() <= limitK * 1024);
    QCOMPARE(result.errorLog, QString());
}

// The press settles the demo question and the empty selection before a run starts; the run
// itself never asks, and an empty selection creates nothing.
// The size-limit walk at its exact boundaries, the camera step replaced by one that adds a
// known Exif block: a limit equal to a candidate's stored size keeps that candidate, one byte
// less takes the next quality down.
void TestRunBatch::sizeLimitBoundaries_data()
{
    QTest::addColumn<QString>("camera"); // none, fixed, varying (block differs by quality), failing
    QTest::addColumn<int>("atQuality");  // the limit is this candidate's stored size...
    QTest::addColumn<int>("offset");     // ...plus this
    QTest::addColumn<int>("expected");   // the quality that stays; 0: none
    for (const char *camera : {"none", "fixed", "varying"}) {
        const QString name = QString::fromLatin1(camera);
        QTest::addRow("%s, limit = stored at 85", camera) << name << 85 << 0 << 85;
        QTest::addRow("%s, one byte under 85", camera) << name << 85 << -1 << 80;
        QTest::addRow("%s, limit = stored at 60", camera) << name << 60 << 0 << 60;
        QTest::addRow("%s, one byte under 60", camera) << name << 60 << -1 << 55;
        QTest::addRow("%s, one byte under 5", camera) << name << 5 << -1 << 0;
    }
    QTest::newRow("failing step, limit = plain at 85")
            << QStringLiteral("failing") << 85 << 0 << 85;
}

void TestRunBatch::sizeLimitBoundaries()
{
    QFETCH(QString, camera);
    QFETCH(int, atQuality);
    QFETCH(int, offset);
    QFETCH(int, expected);
    const QImage canvas = busyPicture(160, 120, 3);
    int calls = 0;
    CameraStep step = [&](const QString &source, const QByteArray &plain) -> CameraResult {
        ++calls;
        if (source != m_sources + QStringLiteral("a.jpg"))
            return {plain, QStringLiteral("wrong source")};
        if (camera == u"failing")
            return {plain, QStringLiteral("no tool")};
        const QByteArray model(camera == u"varying" ? 8 + plain.size() % 64 : 8, 'M');
        return {withSegment(plain, exifSegment(model, "2024:06:03 14:05:09")), QString()};
    };
    auto stored = [&](int quality) {
        const QByteArray plain = EncodeJpeg(canvas, quality, kOutputDpi);
        return camera == u"none" || camera == u"failing" ? plain
                                                         : step(m_sources + "a.jpg", plain).bytes;
    };

    SaveSettings settings;
    settings.runFolder = m_output;
    QVERIFY(QDir().mkpath(m_output));
    settings.rule.NamingFlags = {0, 0, 0, 1, 0, 0, 0}; // "(Q80).jpg"
    settings.keepCamera = camera != u"none";
    settings.sizeLimitOn = true;
    settings.limitBytes = stored(atQuality).size() + offset;
    settings.workFolder = m_dir->path() + u'/';
    settings.cameraStep = step;
    EncodedQualities encodings;
    calls = 0;
    const SaveOutcome outcome = SaveAndLimit(settings, canvas, m_sources + QStringLiteral("a.jpg"),
                                             NameFacts(), encodings);
    QCOMPARE(outcome.quality, expected);
    QCOMPARE(outcome.saved, expected > 0);
    if (expected == 0) {
        QCOMPARE(outcome.error, QStringLiteral("无法满足限定的体积,请尝试缩小像素值"));
        QVERIFY(filesIn(m_output).isEmpty());
        return;
    }
    const QString name = QStringLiteral("(Q%1).jpg").arg(expected);
    QCOMPARE(filesIn(m_output), QStringList({name}));
    QCOMPARE(readAll(m_output + name), stored(expected));
    QVERIFY(outcome.bytes <= settings.limitBytes);
    QCOMPARE(outcome.cameraProblem.isEmpty(), camera != u"failing");
    QCOMPARE(hasExif(readAll(m_output + name)), camera == u"fixed" || camera == u"varying");
    if (camera == u"none")
        QCOMPARE(calls, 0);
    else if (camera == u"failing")
        QCOMPARE(calls, 1); // a failing step is not tried again on the next candidates
}

void TestRunBatch::refusals_data()
{
    QTest::addColumn<bool>("demo");
    QTest::addColumn<bool>("renameOnly");
    QTest::addColumn<bool>("selectNone");
    QTest::newRow("demo folder") << true << false << false;
    QTest::newRow("demo folder, rename-only") << true << true << false;
    QTest::newRow("nothing selected") << false << false << true;
    QTest::newRow("demo folder, nothing selected") << true << false << true;
}

void TestRunBatch::refusals()
{
    QFETCH(bool, demo);
    QFETCH(bool, renameOnly);
    QFETCH(bool, selectNone);
    const QStringList names = {QStringLiteral("a.png")};
    makeSources(names);
    SetAppFolder(m_dir->path());
    if (demo) {
        QVERIFY(QDir().mkpath(DemoFolder()));
        QVERIFY(QFile::copy(m_sources + names[0], DemoFolder() + names[0]));
    }
    BatchInputs in = inputs(names, 2);
    if (demo)
        in.selection.folder = DemoFolder();
    if (selectNone)
        in.selection.selected = {false};
    const StartCheck check = CheckBeforeRun(in.selection, renameOnly);
    QCOMPARE(check.askDemo, demo && !renameOnly);
    QCOMPARE(check.nothingSelected, selectNone);
    QCOMPARE(DemoQuestionTitle(), QStringLiteral("演示"));

    RecordingHost host;
    const BatchResult result = RunBatch(in, host);
    SetAppFolder(QString());
    if (selectNone) {
        QCOMPARE(result.status, BatchStatus::NothingSelected);
        QVERIFY(host.events.isEmpty());
        QVERIFY(!QFileInfo::exists(m_output)); // nothing created
    } else {
        QCOMPARE(result.status, BatchStatus::Finished); // the caller asked; the run does not
        QCOMPARE(filesIn(result.runFolder).size(), 1);
    }
}

void TestRunBatch::outputFolderCannotBeMade()
{
    const QStringList names = {QStringLiteral("a.png")};
    makeSources(names);
    QVERIFY(writeBytes(m_dir->filePath(QStringLiteral("plain-file")), "x"));
    BatchInputs in = inputs(names, 2);
    in.outputBase = m_dir->filePath(QStringLiteral("plain-file")) + u'/';
    RecordingHost host;
    const BatchResult result = RunBatch(in, host);
    QCOMPARE(result.status, BatchStatus::FolderFailed);
    QVERIFY(result.runFolder.isEmpty());
    QVERIFY(host.progressTexts.isEmpty());
    QVERIFY(result.report.contains(QStringLiteral("共处理【1】个文件，成功【0】个！")));
    QVERIFY(result.report.contains(QStringLiteral("压缩比率：0.00%")));
    QVERIFY2(result.errorLog.contains(QStringLiteral("plain-file")), qPrintable(result.errorLog));
    QCOMPARE(result.reportColour, kReportRed);
}

// Seen through a transparent source: the background picture in the border modes, white in the
// others whatever the step-3 background.
void TestRunBatch::backgroundOnlyInBorderModes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QColor>("seen"); // through the transparent source
    QTest::newRow("mode 1: background picture") << 1 << QColor(255, 0, 0);
    QTest::newRow("mode 2: background picture") << 2 << QColor(255, 0, 0);
    QTest::newRow("mode 3: transparency on white") << 3 << QColor(255, 255, 255);
    QTest::newRow("mode 4: transparency on white, not on the background")
            << 4 << QColor(255, 255, 255);
    QTest::newRow("mode 5: transparency on white") << 5 << QColor(255, 255, 255);
}

void TestRunBatch::backgroundOnlyInBorderModes()
{
    QFETCH(int, mode);
    QFETCH(QColor, seen);
    QImage clear(120, 90, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    writePicture(m_sources + QStringLiteral("clear.png"), clear);
    QImage red(50, 50, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QString background = m_dir->filePath(QStringLiteral("bg.jpg"));
    writePicture(background, red);

    BatchInputs in = inputs({QStringLiteral("clear.png")}, mode);
    in.options.edgeLength = QStringLiteral("100");
    in.step3.backgroundPicture = QStringLiteral("  ") + background; // blanks are trimmed
    in.step3.backgroundColour = 0x00FF00;                           // green, under the picture
    in.step3.qualityIndex = 19;
    RecordingHost host;
    const BatchResult result = RunBatch(in, host);
    QCOMPARE(result.successCount, 1);
    const QImage out(result.runFolder + QStringLiteral("1.clear.jpg"));
    QVERIFY(!out.isNull());
    const QColor centre = out.pixelColor(out.width() / 2, out.height() / 2);
    QVERIFY2(std::abs(centre.red() - seen.red()) < 12
                     && std::abs(centre.green() - seen.green()) < 12
                     && std::abs(centre.blue() - seen.blue()) < 12,
             qPrintable(centre.name()));
}

// The window's way (BatchRunner on a worker thread, signals queued back) gives what the command
// line's way (RunBatch on the calling thread) gives: the same progress in the same order, the
// same counts, errors and files.
void TestRunBatch::workerThreadMatchesCallingThread_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("limit");
    QTest::addColumn<bool>("keepCamera"); // the camera tool runs from the worker thread
    QTest::newRow("mode 5, one file fails") << 5 << false << false;
    QTest::newRow("mode 2 under a size limit") << 2 << true << false;
    QTest::newRow("mode 4, camera tool") << 4 << false << true;
}

void TestRunBatch::workerThreadMatchesCallingThread()
{
    QFETCH(int, mode);
    QFETCH(bool, limit);
    QFETCH(bool, keepCamera);
    QStringList names;
    for (int i = 1; i <= 6; ++i)
        names << QStringLiteral("p%1.png").arg(i);
    makeSources(names, 200);
    QVERIFY(writeBytes(m_sources + names[3], "not a picture"));
    BatchInputs in = inputs(names, mode);
    in.options.sizeLimitOn = limit;
    in.options.sizeLimitValue = QStringLiteral("8");
    in.selection.keepCamera = keepCamera;

    RecordingHost host;
    const BatchResult direct = RunBatch(in, host);

    BatchRunner runner;
    QStringList order;
    QStringList texts;
    connect(&runner, &BatchRunner::started, this, [&](const QString &folder) {
        // The signal is queued: the worker may already have saved files when it arrives, so
        // only the folder's existence is certain here.
        QVERIFY(QFileInfo(folder).isDir());
        order << QStringLiteral("started");
    });
    connect(&runner, &BatchRunner::progress, this,
            [&](int ordinal, int total, const QString &text) {
                order << QStringLiteral("progress %1/%2").arg(ordinal).arg(total);
                texts << text;
            });
    QSignalSpy finished(&runner, &BatchRunner::finished);
    QVERIFY(runner.start(in));
    QVERIFY(runner.isRunning());
    QVERIFY(!runner.start(in)); // one run at a time
    QVERIFY(finished.wait(60000));
    QVERIFY(!runner.isRunning());
    const BatchResult threaded = finished.at(0).at(0).value<BatchResult>();

    QStringList expectedOrder{QStringLiteral("started")};
    for (int i = 1; i <= names.size(); ++i)
        expectedOrder << QStringLiteral("progress %1/%2").arg(i).arg(names.size());
    QCOMPARE(order, expectedOrder);
    QCOMPARE(texts, host.progressTexts);
    QCOMPARE(threaded.status, direct.status);
    QCOMPARE(threaded.successCount, direct.successCount);
    QCOMPARE(threaded.successCount, 5);
    QCOMPARE(threaded.sourceBytes, direct.sourceBytes);
    QCOMPARE(threaded.outputBytes, direct.outputBytes);
    // Each run has its own scratch folder for the camera tool, which its messages name.
    static const QRegularExpression scratch(QStringLiteral("-> [^)]*/candidate\\.jpg"));
    QCOMPARE(QString(threaded.errorLog).replace(scratch, QStringLiteral("-> scratch")),
             QString(direct.errorLog).replace(scratch, QStringLiteral("-> scratch")));
    QVERIFY(threaded.runFolder != direct.runFolder);
    const QStringList files = filesIn(direct.runFolder);
    QCOMPARE(filesIn(threaded.runFolder), files);
    for (const QString &file : files)
        QCOMPARE(readAll(threaded.runFolder + file), readAll(direct.runFolder + file));
}

void TestRunBatch::stopFromTheWindowThread()
{
    QStringList names;
    for (int i = 1; i <= 12; ++i)
        names << QStringLiteral("p%1.bmp").arg(i); // quick to write, slow enough to run
    makeSources(names, 1600);
    BatchRunner runner;
    // The stop button: pressed when the second file shows, on this thread.
    connect(&runner, &BatchRunner::progress, this, [&](int ordinal) {
        if (ordinal == 2)
            runner.requestStop();
    });
    QSignalSpy progress(&runner, &BatchRunner::progress);
    QSignalSpy finished(&runner, &BatchRunner::finished);
    QVERIFY(runner.start(inputs(names, 5)));
    QVERIFY(finished.wait(60000));
    const BatchResult result = finished.at(0).at(0).value<BatchResult>();
    // The press reaches the run while it works on some file from the second on; that file is
    // finished, the rest are not started.
    QCOMPARE(result.status, BatchStatus::Stopped);
    QVERIFY2(result.successCount >= 2 && result.successCount < 12,
             qPrintable(QString::number(result.successCount)));
    QCOMPARE(progress.size(), result.successCount);
    QCOMPARE(filesIn(result.runFolder).size(), result.successCount);
    // A stopped run counts the files it took in hand and says how many were left.
    QCOMPARE(result.processedCount, result.successCount);
    QVERIFY(result.report.contains(QStringLiteral("共处理【%1】个文件").arg(result.successCount)));
    QVERIFY(result.report.contains(QStringLiteral("已中途停止：选中的12个文件中有%1个未处理")
                                           .arg(12 - result.successCount)));
}

// A profile that cannot be read costs a line in the report, not the file; the same for the
// background picture.
void TestRunBatch::unreadableProfileIsNamedOnce()
{
    const QByteArray broken = withIccProfile(plainJpeg(64, 48), QByteArray(200, 'x'));
    QVERIFY(writeBytes(m_sources + QStringLiteral("a.jpg"), broken));
    QVERIFY(writeBytes(m_sources + QStringLiteral("b.jpg"), plainJpeg(64, 48)));
    const QString background = m_dir->filePath(QStringLiteral("bg.jpg"));
    QVERIFY(writeBytes(background, broken));
    BatchInputs in = inputs({QStringLiteral("a.jpg"), QStringLiteral("b.jpg")}, 1);
    in.step3.backgroundPicture = background;
    RecordingHost host;
    const BatchResult result = RunBatch(in, host);
    QCOMPARE(result.successCount, 2);
    QVERIFY(result.allSucceeded());
    const QString unreadable = QStringLiteral("[色彩配置文件无法读取，按 sRGB 处理]");
    QCOMPARE(result.errorLog,
             kBreak + unreadable + background + kBreak + unreadable + QStringLiteral("a.jpg"));
    QCOMPARE(filesIn(result.runFolder),
             QStringList({QStringLiteral("1.a.jpg"), QStringLiteral("2.b.jpg")}));
}

// An Adobe RGB camera photo kept with its camera information: sRGB pixels, and Exif that says so.
void TestRunBatch::keepCameraWithAdobeRgb()
{
    if (!QFileInfo(QStringLiteral(PW_APP_DIR "/pwReadSM")).isExecutable())
        QSKIP("pwReadSM is not built");
    QByteArray photo = withIccProfile(plainJpeg(160, 120, QColor(60, 160, 90)), AdobeRgbProfile());
    photo.insert(2, adobeRgbExifSegment());
    QVERIFY(writeBytes(m_sources + QStringLiteral("a.jpg"), photo));
    BatchInputs in = inputs({QStringLiteral("a.jpg")}, 5);
    in.selection.keepCamera = true;
    in.step3.qualityIndex = 19; // quality 100
    RecordingHost host;
    const BatchResult result = RunBatch(in, host);
    QCOMPARE(result.successCount, 1);
    QVERIFY2(result.errorLog.isEmpty(), qPrintable(result.errorLog));

    const QString output = result.runFolder + QStringLiteral("1.a.jpg");
    const QColor got = QImage(output).pixelColor(80, 60);
    QVERIFY2(std::abs(got.red() - 0) <= 2 && std::abs(got.green() - 161) <= 2
                     && std::abs(got.blue() - 85) <= 2,
             qPrintable(got.name())); // rgb(60,160,90) in Adobe RGB
    ExifReader exif;
    QVERIFY(exif.Load(output));
    QCOMPARE(exif.Tag(0xA001).toInteger(), 1);
    QVERIFY(!readAll(output).contains("R03"));
    QVERIFY(!readAll(output).contains("ICC_PROFILE"));
}

QTEST_MAIN(TestRunBatch)
#include "tst_run_batch.moc"
