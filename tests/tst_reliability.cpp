// Hostile input for the two runs: FIFOs, huge canvases, a missing scratch folder, names that are
// not UTF-8, truncated and unreadable pictures, rules that hide files, stops, long names. Each
// case is a small folder made here; the command-line cases run the built pixwright.

#include "naming/namingrule.h"
#include "naming/outputname.h"
#include "naming/renamerun.h"
#include "platform/runhost.h"
#include "platform/sourceselection.h"
#include "platform/textcodec.h"
#include "run/batchengine.h"
#include "settings/inistore.h"
#include "settings/settingskeys.h"
#include "tests/support/recordinghost.h"
#include "tests/support/testfiles.h"
#include "tests/support/testpictures.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Pw;
using namespace PwTest;

namespace {

const QString kPixwright = QStringLiteral(PW_APP_DIR "/pixwright");

struct CommandRun
{
    bool finished = false;
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs pixwright; a run that has not ended after 30 s is killed and reported unfinished.
CommandRun runPixwright(const QStringList &args, const QStringList &environment = {},
                        const QString &workingFolder = QString())
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const QString &pair : environment)
        env.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
    process.setProcessEnvironment(env);
    if (!workingFolder.isEmpty())
        process.setWorkingDirectory(workingFolder);
    process.start(kPixwright, args);
    CommandRun run;
    run.finished = process.waitForFinished(30000);
    if (!run.finished) {
        process.kill();
        process.waitForFinished();
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

bool writeRaw(const QByteArray &nativePath, const QByteArray &bytes)
{
    // Opened by descriptor: the name may not be UTF-8.
    const int fd = ::open(nativePath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    ::close(fd);
    return written;
}

// Every file below root, by its raw name (the names may not be UTF-8).
QList<QByteArray> rawFilesBelow(const QByteArray &root)
{
    QList<QByteArray> files;
    QDirIterator it(QFile::decodeName(root), QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QFile::encodeName(it.next());
    return files;
}

int filesBelow(const QString &root)
{
    int count = 0;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        ++count;
    }
    return count;
}

QStringList namesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

} // namespace

class TestReliability : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void fifoDoesNotBlock_data();
    void fifoDoesNotBlock();
    void canvasOverTheBudget();
    void scratchFolderCannotBeMade();
    void staleScratchFoldersRemoved();
    void namesThatAreNotUtf8();
    void truncatedJpegIsADrawingError();
    void nothingDrawnNoFile_data();
    void nothingDrawnNoFile();
    void rulesThatHideFiles_data();
    void rulesThatHideFiles();
    void stopSaysHowManyWereProcessed();
    void namesTooLongAreCut();
    void renamePropertyNothingLostNothingHidden();

private:
    QStringList commonArguments(const QString &command, const QString &settings) const
    {
        QStringList args{m_sources, QStringLiteral("--settings"), settings};
        if (command == u"run")
            args << QStringLiteral("--output-root") << m_output;
        return args;
    }
    BatchInputs inputs(const QStringList &names, int mode) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_sources; // ends with '/'
    QString m_output;
};

void TestReliability::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_sources = m_dir->filePath(QStringLiteral("源")) + u'/';
    m_output = m_dir->filePath(QStringLiteral("out")) + u'/';
    QVERIFY(QDir().mkpath(m_sources));
}

BatchInputs TestReliability::inputs(const QStringList &names, int mode) const
{
    BatchInputs in;
    in.selection.folder = m_sources;
    in.selection.names = names;
    in.selection.select({});
    in.options.fitMode = FitModeFromNumber(mode);
    in.options.scalePercent = 100;
    in.options.targetWidth = QStringLiteral("160");
    in.options.targetHeight = QStringLiteral("120");
    in.rule.NamingFlags = {1, 0, 0, 0, 0, 0, 1};
    in.outputBase = m_output;
    in.programName = QStringLiteral("pixwright");
    in.cameraTool = QStringLiteral(PW_APP_DIR "/pwReadSM");
    in.started = QDateTime(QDate(2024, 6, 3), QTime(14, 5, 9));
    return in;
}

void TestReliability::fifoDoesNotBlock_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("run") << QStringList{QStringLiteral("run"), QStringLiteral("--mode"),
                                        QStringLiteral("5")};
    QTest::newRow("run, fixed canvas") << QStringList{
            QStringLiteral("run"),     QStringLiteral("--mode"), QStringLiteral("1"),
            QStringLiteral("--width"), QStringLiteral("64"),     QStringLiteral("--height"),
            QStringLiteral("48")};
    QTest::newRow("rename measuring sizes")
            << QStringList{QStringLiteral("rename"), QStringLiteral("--rule"),
                           QStringLiteral("0100011"), QStringLiteral("--yes")};
}

void TestReliability::fifoDoesNotBlock()
{
    QFETCH(QStringList, args);
    busyPicture(80, 60, 1).save(m_sources + QStringLiteral("a.jpg"));
    const QByteArray pipe = QFile::encodeName(m_dir->filePath(QStringLiteral("pipe")));
    QCOMPARE(::mkfifo(pipe.constData(), 0600), 0);
    QCOMPARE(::symlink(pipe.constData(), QFile::encodeName(m_sources + "b.jpg").constData()), 0);
    QCOMPARE(::mkfifo(QFile::encodeName(m_sources + "c.jpg").constData(), 0600), 0);
    const QString settings = m_dir->filePath(QStringLiteral("Set.ini"));
    QVERIFY(writeRaw(QFile::encodeName(settings), QByteArray()));

    const CommandRun run = runPixwright(args + commonArguments(args.first(), settings));
    QVERIFY2(run.finished, "blocked on a FIFO");
    if (args.first() == u"run") {
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.out.contains(QStringLiteral("成功【1】")), qPrintable(run.out));
        QVERIFY2(run.out.contains(QStringLiteral("]b.jpg")), qPrintable(run.out));
    } else {
        QCOMPARE(run.exitCode, 0);
    }
}

void TestReliability::canvasOverTheBudget()
{
    busyPicture(80, 60, 1).save(m_sources + QStringLiteral("a.jpg"));
    busyPicture(60, 80, 2).save(m_sources + QStringLiteral("b.png"));
    // 9000 x 9000 is 309 MB of canvas, past the smallest budget (256 MB): each file fails
    // alone, quickly.
    const CommandRun run = runPixwright(
            {QStringLiteral("run"), m_sources, QStringLiteral("--output-root"), m_output,
             QStringLiteral("--mode"), QStringLiteral("1"), QStringLiteral("--width"),
             QStringLiteral("9000"), QStringLiteral("--height"), QStringLiteral("9000")},
            {QStringLiteral("PIXWRIGHT_MEMORY_MB=256")});
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.out.contains(QStringLiteral("成功【0】")), qPrintable(run.out));
    QCOMPARE(run.out.count(QStringLiteral("[画布太大：9000×9000")), 2);
    QCOMPARE(filesBelow(m_output), 0);
}

void TestReliability::scratchFolderCannotBeMade()
{
    QFile::copy(QStringLiteral(PW_SHARED_DIR "/exif-samples/n_jfif_olympus-d320l.jpg"),
                m_sources + QStringLiteral("photo.jpg"));
    if (!QFileInfo::exists(m_sources + QStringLiteral("photo.jpg")))
        busyPicture(80, 60, 1).save(m_sources + QStringLiteral("photo.jpg"));
    const QString here = m_dir->filePath(QStringLiteral("here"));
    QVERIFY(QDir().mkpath(here));
    const QByteArray mine("a file of the user's, not a picture");
    QVERIFY(writeRaw(QFile::encodeName(here + QStringLiteral("/candidate.jpg")), mine));

    const CommandRun run = runPixwright(
            {QStringLiteral("run"), m_sources, QStringLiteral("--output-root"), m_output,
             QStringLiteral("--keep-exif"), QStringLiteral("--mode"), QStringLiteral("5")},
            {QStringLiteral("TMPDIR=") + m_dir->filePath(QStringLiteral("no such folder"))}, here);
    QVERIFY(run.finished);
    QCOMPARE(readAll(here + QStringLiteral("/candidate.jpg")), mine);
    QCOMPARE(namesIn(here), QStringList{QStringLiteral("candidate.jpg")});
    QCOMPARE(run.out.count(QStringLiteral("临时文件夹")), 1);
    QVERIFY2(run.out.contains(QStringLiteral("成功【1】")), qPrintable(run.out));
    QCOMPARE(filesBelow(m_output), 1);
}

void TestReliability::staleScratchFoldersRemoved()
{
    busyPicture(80, 60, 1).save(m_sources + QStringLiteral("photo.jpg"));
    const QString tmp = m_dir->filePath(QStringLiteral("tmp")) + u'/';
    QProcess gone;
    gone.start(QStringLiteral("true"), {});
    QVERIFY(gone.waitForStarted());
    const qint64 deadPid = gone.processId();
    QVERIFY(gone.waitForFinished());
    const QString stale = tmp + QStringLiteral("pixwright-%1-AbC123").arg(deadPid);
    const QString live = tmp + QStringLiteral("pixwright-%1-XyZ789").arg(::getpid());
    const QString other = tmp + QStringLiteral("pixwright-notes");
    for (const QString &folder : {stale, live, other}) {
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(writeRaw(QFile::encodeName(folder + QStringLiteral("/candidate.jpg")), "x"));
    }

    const CommandRun run = runPixwright({QStringLiteral("run"), m_sources,
                                         QStringLiteral("--output-root"), m_output,
                                         QStringLiteral("--keep-exif")},
                                        {QStringLiteral("TMPDIR=") + tmp});
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 0);
    QStringList left = QDir(tmp).entryList({QStringLiteral("pixwright-*")}, QDir::Dirs);
    left.sort();
    QStringList expected{QFileInfo(live).fileName(), QFileInfo(other).fileName()};
    expected.sort();
    QCOMPARE(left.join(u' '), expected.join(u' ')); // the run's own folder is gone too
}

void TestReliability::namesThatAreNotUtf8()
{
    const QByteArray folder = QFile::encodeName(m_sources);
    // "风景.jpg" in GBK (not valid UTF-8), bytes that are neither, and a plain name.
    const QByteArray gbk("\xB7\xE7\xBE\xB0.jpg");
    const QByteArray stray("\xFF\xFE.jpg");
    const QList<QByteArray> raw{gbk, stray, "c.jpg"};
    quint32 seed = 1;
    for (const QByteArray &name : raw)
        QVERIFY(writeRaw(folder + name, encodedPicture(busyPicture(80, 60, seed++))));
    const QString shownGbk = QStringLiteral("风景.jpg");
    const QString shownStray = QStringLiteral("\\xFF\\xFE.jpg");

    QStringList listed = ListPictures(m_sources, PictureType::Jpg);
    QCOMPARE(listed, QStringList({shownStray, QStringLiteral("c.jpg"), shownGbk}));

    const CommandRun run = runPixwright({QStringLiteral("run"), m_sources,
                                         QStringLiteral("--output-root"), m_output,
                                         QStringLiteral("--rule"), QStringLiteral("0000001")});
    QVERIFY(run.finished);
    QVERIFY2(run.out.contains(QStringLiteral("共处理【3】个文件，成功【3】个")),
             qPrintable(run.out));
    QStringList results;
    for (const QByteArray &path : rawFilesBelow(QFile::encodeName(m_output))) {
        QVERIFY2(IsValidUtf8(path), path.constData());
        results << QFile::decodeName(path).section(u'/', -1);
    }
    results.sort();
    QCOMPARE(results, QStringList({shownStray, QStringLiteral("c.jpg"), shownGbk}));

    // Renaming by the old name alone turns each name into its UTF-8 form, contents unchanged.
    QByteArray gbkContent;
    {
        const int fd = ::open((folder + gbk).constData(), O_RDONLY);
        QVERIFY(fd >= 0);
        gbkContent.resize(1 << 20);
        gbkContent.resize(qsizetype(::read(fd, gbkContent.data(), size_t(gbkContent.size()))));
        ::close(fd);
    }
    const CommandRun rename = runPixwright({QStringLiteral("rename"), m_sources,
                                            QStringLiteral("--rule"), QStringLiteral("0000001"),
                                            QStringLiteral("--yes")});
    QVERIFY(rename.finished);
    QCOMPARE(rename.exitCode, 0);
    struct stat gone = {};
    QCOMPARE(::stat((folder + gbk).constData(), &gone), -1);
    QCOMPARE(readAll(m_sources + shownGbk), gbkContent);
    QVERIFY(QFile::exists(m_sources + shownStray));
    for (const QByteArray &path : rawFilesBelow(folder))
        QVERIFY2(IsValidUtf8(path), path.constData());
}

void TestReliability::truncatedJpegIsADrawingError()
{
    QImage picture = busyPicture(400, 300, 3);
    // A red band on top, where the data that is left lies.
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 400; ++x)
            picture.setPixel(x, y, qRgb(230, 20, 20));
    const QByteArray whole = encodedPicture(picture);
    QVERIFY(writeRaw(QFile::encodeName(m_sources + "cut.jpg"), whole.left(whole.size() / 3)));
    busyPicture(80, 60, 4).save(m_sources + QStringLiteral("ok.jpg"));

    RecordingHost host;
    const BatchResult result = RunBatch(
            inputs({QStringLiteral("cut.jpg"), QStringLiteral("ok.jpg")}, 5), host);
    QCOMPARE(result.successCount, 1);
    QVERIFY2(result.errorLog.contains(QStringLiteral("[图片数据不完整]cut.jpg")),
             qPrintable(result.errorLog));
    QVERIFY(result.report.contains(QStringLiteral("成功【1】")));
    // Saved as drawing errors are: drawn as far as the data goes, with a number of its own.
    const QString saved = result.runFolder + QStringLiteral("1.cut.jpg");
    QCOMPARE(namesIn(result.runFolder),
             QStringList({QStringLiteral("1.cut.jpg"), QStringLiteral("2.ok.jpg")}));
    const QImage out(saved);
    QCOMPARE(out.size(), QSize(400, 300));
    const QColor top = out.pixelColor(200, 20);
    QVERIFY2(top.red() > 180 && top.green() < 80, qPrintable(top.name()));
}

void TestReliability::nothingDrawnNoFile_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("mode 1") << 1;
    QTest::newRow("mode 2") << 2;
    QTest::newRow("mode 4") << 4;
}

void TestReliability::nothingDrawnNoFile()
{
    QFETCH(int, mode);
    QVERIFY(writeRaw(QFile::encodeName(m_sources + "empty.jpg"), QByteArray()));
    QVERIFY(writeRaw(QFile::encodeName(m_sources + "text.png"), "not a picture at all"));
    busyPicture(80, 60, 5).save(m_sources + QStringLiteral("good.jpg"));

    RecordingHost host;
    BatchInputs in = inputs(
            {QStringLiteral("empty.jpg"), QStringLiteral("good.jpg"), QStringLiteral("text.png")},
            mode);
    in.options.edgeLength = QStringLiteral("100");
    const BatchResult result = RunBatch(in, host);
    QCOMPARE(result.successCount, 1);
    QVERIFY(result.errorLog.contains(QStringLiteral("]empty.jpg")));
    QVERIFY(result.errorLog.contains(QStringLiteral("]text.png")));
    QCOMPARE(namesIn(result.runFolder), QStringList{QStringLiteral("1.good.jpg")});
}

void TestReliability::rulesThatHideFiles_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("stored");
    QTest::newRow("run, all off") << QStringList{QStringLiteral("run"), QStringLiteral("--rule"),
                                                 QStringLiteral("0000000")}
                                  << QString();
    QTest::newRow("run, only the photo letter, left off without camera information")
            << QStringList{QStringLiteral("run"), QStringLiteral("--rule"),
                           QStringLiteral("0010000")}
            << QString();
    QTest::newRow("run, stored all off")
            << QStringList{QStringLiteral("run")} << QStringLiteral("0000000");
    QTest::newRow("rename, all off")
            << QStringList{QStringLiteral("rename"), QStringLiteral("--rule"),
                           QStringLiteral("0000000"), QStringLiteral("--yes")}
            << QString();
    QTest::newRow("rename, only the quality")
            << QStringList{QStringLiteral("rename"), QStringLiteral("--rule"),
                           QStringLiteral("0001000"), QStringLiteral("--yes")}
            << QString();
}

void TestReliability::rulesThatHideFiles()
{
    QFETCH(QStringList, args);
    QFETCH(QString, stored);
    busyPicture(80, 60, 1).save(m_sources + QStringLiteral("a.jpg"));
    const QString settings = m_dir->filePath(QStringLiteral("Set.ini"));
    QVERIFY(writeRaw(QFile::encodeName(settings), QByteArray()));
    if (!stored.isEmpty())
        QVERIFY(WriteIni(Keys::kSectionSelected, Keys::kRenameRule, stored, settings));
    const CommandRun run = runPixwright(args + commonArguments(args.first(), settings));
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains(QStringLiteral("隐藏文件")), qPrintable(run.err));
    // Said once, as the refusal: no warning about the same rule before it.
    QCOMPARE(run.err.count(QStringLiteral("“.jpg”")), 1);
    QCOMPARE(namesIn(m_sources), QStringList{QStringLiteral("a.jpg")});
    QCOMPARE(filesBelow(m_output), 0);
}

void TestReliability::stopSaysHowManyWereProcessed()
{
    QStringList names;
    for (int i = 1; i <= 6; ++i) {
        names << QStringLiteral("p%1.jpg").arg(i);
        busyPicture(80, 60, quint32(i)).save(m_sources + names.last());
    }
    RecordingHost host;
    host.stopAtOrdinal = 2;
    const BatchResult result = RunBatch(inputs(names, 5), host);
    QCOMPARE(result.status, BatchStatus::Stopped);
    QVERIFY2(result.report.contains(QStringLiteral("共处理【2】个文件，成功【2】个！")),
             qPrintable(result.report));
    QVERIFY(result.report.contains(QStringLiteral("已中途停止：选中的6个文件中有4个未处理")));
    QCOMPARE(result.reportColour, kReportRed);
}

void TestReliability::namesTooLongAreCut()
{
    // 83 three-byte characters: 253 bytes with ".jpg"; the size part in front passes 255.
    const QString longName = QString(83, QChar(0x957F)) + QStringLiteral(".jpg");
    busyPicture(80, 60, 1).save(m_sources + longName);
    RecordingHost host;
    BatchInputs in = inputs({longName, longName}, 5);
    in.rule.NamingFlags = {0, 1, 0, 0, 0, 0, 1};
    const BatchResult result = RunBatch(in, host);
    QCOMPARE(result.successCount, 2);
    const QStringList saved = namesIn(result.runFolder);
    QCOMPARE(saved.size(), 2);
    for (const QString &name : saved) {
        QVERIFY2(name.toUtf8().size() <= 255, qPrintable(name));
        QVERIFY(name.startsWith(QStringLiteral("(80x60)") + QChar(0x957F)));
        QVERIFY(name.endsWith(QStringLiteral(".jpg")));
    }

    // The rename-only run cuts the same way instead of refusing.
    const QString folder = m_dir->filePath(QStringLiteral("rename")) + u'/';
    QVERIFY(QDir().mkpath(folder));
    const QString third = QStringLiteral("%1") + QString(249, u'x') + QStringLiteral(".jpg");
    SourceSelection list;
    list.folder = folder;
    list.names = {QStringLiteral("a.jpg"), third};
    list.select({});
    for (const QString &name : list.names)
        QVERIFY(writeRaw(QFile::encodeName(folder + name), name.toUtf8()));
    NamingRule rule;
    rule.NamingFlags = {1, 0, 0, 0, 0, 0, 1};
    rule.NamingSeparator = u'_';
    const RenameOutcome done = RenameOnlyRun(folder, true, list, rule, host);
    QVERIFY(!done.refused);
    QCOMPARE(done.renamed.size(), 2);
    const QString cut = done.renamed.at(1).second;
    QCOMPARE(cut.toUtf8().size(), 255);
    QVERIFY(cut.startsWith(QStringLiteral("2_%1xxx")) && cut.endsWith(QStringLiteral("x.jpg")));
    QCOMPARE(readAll(folder + cut), third.toUtf8());
}

void TestReliability::renamePropertyNothingLostNothingHidden()
{
    // Random folders of names that collide once renamed, random rules, both passes.
    QRandomGenerator random(20240603);
    const QStringList stems{QStringLiteral("a"),   QStringLiteral("a 副本1"), QStringLiteral("1_a"),
                            QStringLiteral("()"),  QStringLiteral("(1)"),     QStringLiteral("x.y"),
                            QStringLiteral("照片")};
    const QStringList extensions{QStringLiteral(".jpg"), QStringLiteral(".JPG"),
                                 QStringLiteral(".jpeg"), QStringLiteral(".png"),
                                 QStringLiteral(".bmp")};
    for (int round = 0; round < 60; ++round) {
        QTemporaryDir dir;
        const QString folder = dir.path() + u'/';
        QMultiMap<QByteArray, int> before;
        const int count = 1 + int(random.bounded(8));
        for (int i = 0; i < count; ++i) {
            const QString name = stems.at(int(random.bounded(stems.size())))
                                 + (random.bounded(2) ? QString::number(i) : QString())
                                 + extensions.at(int(random.bounded(extensions.size())));
            if (QFile::exists(folder + name))
                continue;
            const QByteArray content = encodedPicture(
                    busyPicture(8 + i, 6, quint32(round * 10 + i)));
            QVERIFY(writeRaw(QFile::encodeName(folder + name), content));
            before.insert(content, 0);
        }
        NamingRule rule;
        for (int &flag : rule.NamingFlags)
            flag = int(random.bounded(2));
        rule.NamingSeparator = SeparatorOfEntry(int(random.bounded(kSeparatorEntryCount)));
        SourceSelection list;
        list.folder = folder;
        list.names = ListPictures(folder, kAllPictureTypes);
        list.select({});
        RecordingHost host;
        RenameOnlyRun(folder, true, list, rule, host);

        const QStringList after = namesIn(folder);
        QMultiMap<QByteArray, int> contents;
        for (const QString &name : after) {
            QVERIFY2(!name.startsWith(u'.'),
                     qPrintable(NamingFlagsText(rule) + QStringLiteral(": ") + name));
            contents.insert(readAll(folder + name), 0);
        }
        QCOMPARE(contents, before);
    }
}

QTEST_MAIN(TestReliability)
#include "tst_reliability.moc"
