// Hostile input, third round: a camera tool that eats memory, hangs or writes garbage, a settings
// file that is a FIFO, damaged pictures, paths that are not UTF-8, names with control characters,
// a background picture that cannot be used, colliding names and an absurd memory figure. The
// command-line cases run a copy of the built pixwright beside a stand-in camera tool, or pass
// bytes that are not UTF-8 through sh, which QProcess cannot.

#include "imaging/jpegheader.h"
#include "imaging/pictureservice.h"
#include "naming/namingrule.h"
#include "naming/outputname.h"
#include "naming/renamerun.h"
#include "platform/bytepaths.h"
#include "platform/process.h"
#include "platform/showntext.h"
#include "platform/sourceselection.h"
#include "run/backgroundpicture.h"
#include "run/batchengine.h"
#include "run/memorybudget.h"
#include "settings/inistore.h"
#include "tests/support/recordinghost.h"
#include "tests/support/testfiles.h"
#include "tests/support/testpictures.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Pw;
using namespace PwTest;

namespace {

struct Ran
{
    bool finished = false;
    int exitCode = -1;
    QString out;
    QString err;
    QByteArray rawOut;
    QByteArray rawErr;
};

Ran finish(QProcess &process, int timeoutMs)
{
    Ran run;
    run.finished = process.waitForFinished(timeoutMs);
    if (!run.finished) {
        process.kill();
        process.waitForFinished();
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.rawOut = process.readAllStandardOutput();
    run.rawErr = process.readAllStandardError();
    run.out = QString::fromUtf8(run.rawOut);
    run.err = QString::fromUtf8(run.rawErr);
    return run;
}

QProcessEnvironment environment(const QStringList &pairs)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const QString &pair : pairs)
        env.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
    return env;
}

// Runs program with args; killed and reported unfinished after timeoutMs.
Ran runProgram(const QString &program, const QStringList &args, const QStringList &env = {},
               int timeoutMs = 30000)
{
    QProcess process;
    process.setProcessEnvironment(environment(env));
    process.start(program, args);
    return finish(process, timeoutMs);
}

// Runs a sh script: the way to hand a program arguments whose bytes are not UTF-8.
Ran runShell(const QByteArray &script, const QStringList &env = {}, int timeoutMs = 30000)
{
    return runProgram(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QString::fromUtf8(script)},
                      env, timeoutMs);
}

// A byte string as a sh word: printf with octal escapes, so any byte passes.
QByteArray shellBytes(const QByteArray &bytes)
{
    QByteArray word = "\"$(printf '";
    for (const char c : bytes)
        word += '\\' + QByteArray::number(uchar(c), 8).rightJustified(3, '0');
    return word + "')\"";
}

QByteArray jpegOf(const QImage &image, bool progressive = false)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(90);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}

// The position of the first scan's data (after the SOS segment), or -1.
qsizetype scanStart(const QByteArray &jpeg)
{
    const qsizetype sos = jpeg.indexOf("\xFF\xDA");
    if (sos < 0)
        return -1;
    const int length = (uchar(jpeg.at(sos + 2)) << 8) | uchar(jpeg.at(sos + 3));
    return sos + 2 + length;
}

// The frame header's size replaced (SOF0 or SOF2).
QByteArray withFrameSize(QByteArray jpeg, int width, int height)
{
    qsizetype sof = jpeg.indexOf("\xFF\xC0");
    if (sof < 0)
        sof = jpeg.indexOf("\xFF\xC2");
    if (sof < 0)
        return {};
    jpeg[sof + 5] = char(height >> 8);
    jpeg[sof + 6] = char(height & 0xFF);
    jpeg[sof + 7] = char(width >> 8);
    jpeg[sof + 8] = char(width & 0xFF);
    return jpeg;
}

bool processGone(qint64 pid)
{
    if (::kill(pid_t(pid), 0) != 0)
        return true;
    // An orphan that was killed may linger as a zombie until init reaps it.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    return close >= 0 && line.mid(close + 2, 1) == "Z";
}

QList<QByteArray> rawNamesIn(const QByteArray &folder)
{
    QList<QByteArray> names;
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return names;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names << name;
    }
    ::closedir(dir);
    return names;
}

// The JPEG files below root, found by walking the raw names.
QList<QByteArray> jpegsBelow(const QByteArray &root)
{
    QList<QByteArray> found;
    for (const QByteArray &name : rawNamesIn(root)) {
        const QByteArray path = root + '/' + name;
        struct stat info = {};
        if (::stat(path.constData(), &info) != 0)
            continue;
        if (S_ISDIR(info.st_mode))
            found += jpegsBelow(path);
        else if (name.endsWith(".jpg"))
            found << path;
    }
    return found;
}

const QByteArray kGbkFolder("\xB2\xE2\xCA\xD4"); // "测试" in GBK

// The built program, or the one in PW_HOSTILE_APP_DIR: these cases also run against another
// build (an older one, to see them fail).
QString built(const QString &program)
{
    return qEnvironmentVariable("PW_HOSTILE_APP_DIR", QStringLiteral(PW_APP_DIR)) + u'/' + program;
}

} // namespace

class TestHostile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void cameraToolReadsOnlyTheHeaders();
    void cameraToolDiesWithItsParent();
    void cameraToolProblems_data();
    void cameraToolProblems();
    void cameraToolThatNeverEnds();
    void settingsFileThatIsNotAFile_data();
    void settingsFileThatIsNotAFile();
    void damagedPicturesAreNotSuccess_data();
    void damagedPicturesAreNotSuccess();
    void argumentsThatAreNotUtf8_data();
    void argumentsThatAreNotUtf8();
    void outputRootThatIsNotUtf8();
    void relativeOutputRootWithoutWorkingFolder();
    void collidingNamesStayUnique();
    void memoryFigureClamped();
    void controlCharactersShownEscaped_data();
    void controlCharactersShownEscaped();
    void unusableBackgroundNamed_data();
    void unusableBackgroundNamed();
    void childEndsWithItsParent_data();
    void childEndsWithItsParent();
    void memoryFigures_data();
    void memoryFigures();
    void shownNames_data();
    void shownNames();
    void frameSizeOfBytes_data();
    void frameSizeOfBytes();
    void copyNumbersRemembered();
    void pngCutInAChunk();
    void jpegFailingAfterItsProfile();

private:
    // A copy of pixwright in its own app folder, beside a camera tool made of script.
    QString appWithTool(const QByteArray &toolScript);
    QString photo(const QString &name, int width = 96, int height = 72) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_sources; // ends with '/'
    QString m_output;
};

void TestHostile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_sources = m_dir->filePath(QStringLiteral("源")) + u'/';
    m_output = m_dir->filePath(QStringLiteral("out")) + u'/';
    QVERIFY(QDir().mkpath(m_sources));
    // An empty settings file: every choice at its default.
    QVERIFY(writeBytes(m_dir->filePath(QStringLiteral("none.ini")), QByteArray()));
}

void TestHostile::cleanup()
{
    // QTemporaryDir leaves names that are not UTF-8 behind; rm takes every byte.
    QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), m_dir->path()});
}

QString TestHostile::appWithTool(const QByteArray &toolScript)
{
    const QString folder = m_dir->filePath(QStringLiteral("app")) + u'/';
    QDir().mkpath(folder);
    const QString program = folder + QStringLiteral("pixwright");
    if (!QFile::exists(program) && !QFile::copy(built(QStringLiteral("pixwright")), program))
        return {};
    const QString tool = folder + QStringLiteral("pwReadSM");
    QFile::remove(tool);
    if (!writeBytes(tool, "#!/bin/sh\n" + toolScript + '\n'))
        return {};
    QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return program;
}

QString TestHostile::photo(const QString &name, int width, int height) const
{
    const QString path = m_sources + name;
    writeBytes(path, withSegment(jpegOf(busyPicture(width, height, 5)),
                                 exifSegment("TestCam", "2024:05:01 10:20:30")));
    return path;
}

void TestHostile::cameraToolReadsOnlyTheHeaders()
{
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("AddressSanitizer reserves terabytes of address space: an address-space limit cannot "
          "hold the tool");
#endif
    // A photo followed by 4 GiB of nothing (a sparse file: no disk space), the tool held to
    // 600 MB of address space: reading the whole source cannot fit.
    const QString source = photo(QStringLiteral("huge.jpg"));
    QVERIFY(::truncate(QFile::encodeName(source).constData(), qint64(4) << 30) == 0);
    const QString output = m_dir->filePath(QStringLiteral("result.jpg"));
    QVERIFY(writeBytes(output, plainJpeg(48, 36)));
    const Ran run = runProgram(QStringLiteral("/bin/sh"),
                               {QStringLiteral("-c"),
                                QStringLiteral("ulimit -v 600000; exec \"$0\" -te \"$1\" \"$2\""),
                                built(QStringLiteral("pwReadSM")), source, output});
    QVERIFY(run.finished);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY(hasExif(readAll(output)));
}

void TestHostile::cameraToolDiesWithItsParent()
{
    const QString pidFile = m_dir->filePath(QStringLiteral("tool.pid"));
    const QString program = appWithTool("echo $$ > \"$PW_TOOL_PID\"; exec sleep 300");
    QVERIFY(!program.isEmpty());
    photo(QStringLiteral("a.jpg"));
    QProcess pixwright;
    pixwright.setProcessEnvironment(environment(
            {QStringLiteral("PW_TOOL_PID=") + pidFile, QStringLiteral("HOME=") + m_dir->path()}));
    pixwright.start(program,
                    {QStringLiteral("run"), m_sources, QStringLiteral("--keep-exif"),
                     QStringLiteral("--output-root"), m_output, QStringLiteral("--settings"),
                     m_dir->filePath(QStringLiteral("none.ini"))});
    QTRY_VERIFY_WITH_TIMEOUT(readAll(pidFile).trimmed().toLongLong() > 0, 20000);
    const qint64 tool = readAll(pidFile).trimmed().toLongLong();
    QVERIFY(!processGone(tool));
    ::kill(pid_t(pixwright.processId()), SIGKILL);
    pixwright.waitForFinished();
    const auto gone = [tool] {
        return processGone(tool);
    };
    QTRY_VERIFY_WITH_TIMEOUT(gone(), 5000);
}

void TestHostile::cameraToolProblems_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::newRow("fails") << QByteArray("echo broken >&2; exit 1");
    QTest::newRow("writes garbage") << QByteArray("printf garbage > \"$3\"");
    QTest::newRow("writes another JPEG")
            << QByteArray("cp \"$PW_OTHER_JPEG\" \"$3\""); // a valid JPEG of the wrong size
}

void TestHostile::cameraToolProblems()
{
    QFETCH(QByteArray, script);
    const QString program = appWithTool(script);
    QVERIFY(!program.isEmpty());
    const QString other = m_dir->filePath(QStringLiteral("other.jpg"));
    QVERIFY(writeBytes(other, plainJpeg(7, 5)));
    photo(QStringLiteral("a.jpg"));
    photo(QStringLiteral("b.jpg"));
    const Ran run = runProgram(
            program,
            {QStringLiteral("run"), m_sources, QStringLiteral("--keep-exif"),
             QStringLiteral("--output-root"), m_output, QStringLiteral("--settings"),
             m_dir->filePath(QStringLiteral("none.ini")), QStringLiteral("--mode"),
             QStringLiteral("1"), QStringLiteral("--width"), QStringLiteral("64"),
             QStringLiteral("--height"), QStringLiteral("48")},
            {QStringLiteral("PW_OTHER_JPEG=") + other});
    QVERIFY(run.finished);
    // Every file that lost its camera information is named, and the run is not a success.
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.out.contains(QStringLiteral("]a.jpg")), qPrintable(run.out));
    QVERIFY2(run.out.contains(QStringLiteral("]b.jpg")), qPrintable(run.out));
    // The results are the plain pictures, whole.
    const QStringList results = allFilesBelow(m_output);
    QCOMPARE(results.size(), 2);
    for (const QString &result : results) {
        QImageReader reader(result);
        QCOMPARE(reader.format(), QByteArray("jpeg"));
        QCOMPARE(reader.size(), QSize(64, 48));
    }
}

void TestHostile::cameraToolThatNeverEnds()
{
    const QString program = appWithTool("exec sleep 300");
    QVERIFY(!program.isEmpty());
    for (const char *name : {"a.jpg", "b.jpg", "c.jpg"})
        photo(QString::fromLatin1(name));
    QElapsedTimer clock;
    clock.start();
    const Ran run = runProgram(program,
                               {QStringLiteral("run"), m_sources, QStringLiteral("--keep-exif"),
                                QStringLiteral("--output-root"), m_output,
                                QStringLiteral("--settings"),
                                m_dir->filePath(QStringLiteral("none.ini"))},
                               {}, 60000);
    QVERIFY2(run.finished, "the tool was waited for on every file");
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(allFilesBelow(m_output).size(), 3);
    // The first file is named with the time-out; the tool is not started again.
    QVERIFY2(run.out.contains(QStringLiteral("]a.jpg")), qPrintable(run.out));
    QCOMPARE(run.out.count(QStringLiteral("超时")), 1);
    QVERIFY2(clock.elapsed() < 40000, "the tool was waited for more than once");
}

void TestHostile::settingsFileThatIsNotAFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("command");
    for (const char *command : {"run", "rename"}) {
        QTest::addRow("FIFO, %s", command)
                << QStringLiteral("fifo") << QString::fromLatin1(command);
        QTest::addRow("link to /dev/zero, %s", command)
                << QStringLiteral("zero") << QString::fromLatin1(command);
        QTest::addRow("over 1 MB, %s", command)
                << QStringLiteral("large") << QString::fromLatin1(command);
    }
}

void TestHostile::settingsFileThatIsNotAFile()
{
    QFETCH(QString, kind);
    QFETCH(QString, command);
    const QString program = appWithTool("exit 0");
    QVERIFY(!program.isEmpty());
    const QString settings = QFileInfo(program).absolutePath() + QStringLiteral("/Set.ini");
    const QByteArray native = QFile::encodeName(settings);
    if (kind == u"fifo")
        QCOMPARE(::mkfifo(native.constData(), 0600), 0);
    else if (kind == u"zero")
        QCOMPARE(::symlink("/dev/zero", native.constData()), 0);
    else
        QVERIFY(writeBytes(settings, "[Selected]\r\n" + QByteArray(2 << 20, ';') + "\r\n"));
    writeBytes(m_sources + QStringLiteral("a.jpg"), plainJpeg(40, 30));
    QStringList args{command, m_sources, QStringLiteral("--yes")};
    if (command == u"run")
        args << QStringLiteral("--output-root") << m_output;
    const Ran ran = runProgram(program, args, {QStringLiteral("HOME=") + m_dir->path()}, 15000);
    QVERIFY2(ran.finished, "blocked on the settings file");
    QCOMPARE(ran.exitCode, 0);
    QCOMPARE(ran.err.count(QStringLiteral("Set.ini")), 1); // one warning
    // Never written through: the FIFO and the link stay what they were.
    struct stat info = {};
    QCOMPARE(::lstat(native.constData(), &info), 0);
    if (kind == u"fifo")
        QVERIFY(S_ISFIFO(info.st_mode));
    if (kind == u"zero")
        QVERIFY(S_ISLNK(info.st_mode));
    if (kind == u"fifo") {
        // The wizard's writes go the same way: refused at once, never blocking.
        const pid_t child = ::fork();
        if (child == 0) {
            ::alarm(5);
            ::_exit(WriteIni(QStringLiteral("Selected"), QStringLiteral("Folder"),
                             QStringLiteral("x"), settings)
                            ? 1
                            : 0);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0,
                 "the write blocked or went through");
    }
}

void TestHostile::damagedPicturesAreNotSuccess_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<int>("mode");
    const QImage picture = busyPicture(320, 240, 9);
    const QByteArray jpeg = jpegOf(picture);
    const qsizetype scan = scanStart(jpeg);
    const qsizetype half = scan + (jpeg.size() - scan) / 2;
    QTest::newRow("cut in half, closed with an end marker")
            << jpeg.left(half) + "\xFF\xD9" << QStringLiteral("jpg") << 5;
    QTest::newRow("end marker in the middle")
            << jpeg.left(half) + "\xFF\xD9" + jpeg.mid(half) << QStringLiteral("jpg") << 5;
    QByteArray zeroed = jpeg;
    zeroed.replace(scan + 200, 4000, QByteArray(4000, '\0'));
    QTest::newRow("4000 zeroed bytes") << zeroed << QStringLiteral("jpg") << 5;
    QTest::newRow("progressive, header twice as large")
            << withFrameSize(jpegOf(picture, true), 640, 480) << QStringLiteral("jpg") << 5;
    const QByteArray bmp = encodedPicture(picture, "BMP");
    for (int mode = 1; mode <= 5; ++mode)
        QTest::addRow("BMP with short pixel data, mode %d", mode)
                << bmp.left(bmp.size() / 2) << QStringLiteral("bmp") << mode;
    const QByteArray png = encodedPicture(busyPicture(320, 240, 9), "PNG");
    QTest::newRow("PNG with short pixel data")
            << png.left(png.size() * 2 / 3) << QStringLiteral("png") << 5;
}

void TestHostile::damagedPicturesAreNotSuccess()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, suffix);
    QFETCH(int, mode);
    QVERIFY(!bytes.isEmpty());
    const QString name = QStringLiteral("damaged.") + suffix;
    QVERIFY(writeBytes(m_sources + name, bytes));
    BatchInputs in;
    in.selection.folder = m_sources;
    in.selection.names = {name};
    in.selection.select({});
    in.options.fitMode = FitModeFromNumber(mode);
    in.options.scalePercent = 50;
    in.options.targetWidth = QStringLiteral("160");
    in.options.targetHeight = QStringLiteral("120");
    in.options.edgeLength = QStringLiteral("160");
    in.rule.NamingFlags = {1, 0, 0, 0, 0, 0, 1};
    in.outputBase = m_output;
    in.programName = QStringLiteral("pixwright");
    RecordingHost host;
    const BatchResult result = RunBatch(in, host);
    QCOMPARE(result.successCount, 0);
    QVERIFY2(result.errorLog.contains(name), qPrintable(result.errorLog));
    if (suffix != u"png" || allFilesBelow(m_output).size() == 1)
        QVERIFY2(result.errorLog.contains(QStringLiteral("[图片数据不完整]") + name),
                 qPrintable(result.errorLog));
}

void TestHostile::argumentsThatAreNotUtf8_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("expected"); // in the output, when not empty
    // SRC is the folder by its bytes, OUT the output folder; run in the parent of SRC.
    QTest::newRow("run FOLDER") << QByteArray("\"$PW\" run SRC --output-root OUT --yes")
                                << QByteArray("成功【1】");
    QTest::newRow("run . inside it")
            << QByteArray("cd SRC && \"$PW\" run . --output-root OUT --yes")
            << QByteArray("成功【1】");
    QTest::newRow("info FILE") << QByteArray("\"$PW\" info SRC/a.jpg") << QByteArray("TestCam");
    QTest::newRow("--background-picture")
            << QByteArray("\"$PW\" run SRC --output-root OUT --yes --mode 2 --width 80 "
                          "--height 80 --background-picture SRC/bg.jpg")
            << QByteArray("成功【2】");
    QTest::newRow("rename FOLDER")
            << QByteArray("\"$PW\" rename SRC --rule 1000001 --yes") << QByteArray();
}

void TestHostile::argumentsThatAreNotUtf8()
{
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, expected);
    const QByteArray parent = QFile::encodeName(m_dir->path());
    const QByteArray source = parent + '/' + kGbkFolder;
    QCOMPARE(::mkdir(source.constData(), 0755), 0);
    photo(QStringLiteral("a.jpg"));
    QCOMPARE(::rename(QFile::encodeName(m_sources + QStringLiteral("a.jpg")).constData(),
                      (source + "/a.jpg").constData()),
             0);
    if (command.contains("bg.jpg"))
        QCOMPARE(::symlink((source + "/a.jpg").constData(), (source + "/bg.jpg").constData()), 0);
    command.replace("SRC", shellBytes(source));
    command.replace("OUT", QFile::encodeName(m_output));
    const Ran run = runShell(command, {QStringLiteral("PW=") + built(QStringLiteral("pixwright")),
                                       QStringLiteral("HOME=") + m_dir->path()});
    QVERIFY(run.finished);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err + run.out));
    QVERIFY2(run.out.contains(QString::fromUtf8(expected)), qPrintable(run.out));
    if (command.contains(" run "))
        QVERIFY(!jpegsBelow(QFile::encodeName(m_output)).isEmpty());
    if (command.contains(" rename ")) {
        const QList<QByteArray> names = rawNamesIn(source);
        QCOMPARE(names.size(), 1);
        QVERIFY(names.first() != "a.jpg" && names.first().endsWith("a.jpg"));
    }
}

void TestHostile::outputRootThatIsNotUtf8()
{
    photo(QStringLiteral("a.jpg"));
    const QByteArray output = QFile::encodeName(m_dir->path()) + '/' + kGbkFolder;
    const Ran run = runShell("\"$PW\" run \"$SRC\" --yes --output-root " + shellBytes(output),
                             {QStringLiteral("PW=") + built(QStringLiteral("pixwright")),
                              QStringLiteral("SRC=") + m_sources,
                              QStringLiteral("HOME=") + m_dir->path()});
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 0);
    // Exactly where the user said: the folder of those bytes, no other folder beside it.
    QCOMPARE(jpegsBelow(output).size(), 1);
    const QList<QByteArray> beside = rawNamesIn(QFile::encodeName(m_dir->path()));
    QCOMPARE(QSet<QByteArray>(beside.begin(), beside.end()),
             (QSet<QByteArray>{QByteArray("源"), QByteArray("none.ini"), kGbkFolder}));
}

void TestHostile::relativeOutputRootWithoutWorkingFolder()
{
    photo(QStringLiteral("a.jpg"));
    // A working folder deeper than getcwd can name (over 4096 bytes), reached one step at a
    // time, as no shell's cd gets there.
    const QByteArray root = QFile::encodeName(m_dir->path());
    const QByteArray step(200, 'd');
    const QByteArray errors = root + "/errors.txt";
    const QByteArray program = QFile::encodeName(built(QStringLiteral("pixwright")));
    const QByteArray sources = QFile::encodeName(m_sources);
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(30);
        if (::chdir(root.constData()) != 0)
            ::_exit(90);
        for (int depth = 0; depth < 24; ++depth)
            if (::mkdir(step.constData(), 0755) != 0 || ::chdir(step.constData()) != 0)
                ::_exit(91);
        const int fd = ::open(errors.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(fd, STDERR_FILENO);
        ::setenv("HOME", root.constData(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::execl(program.constData(), "pixwright", "run", sources.constData(), "--yes",
                "--output-root", "relative", static_cast<char *>(nullptr));
        ::_exit(92);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    // rm walks a tree of any depth by relative names.
    QProcess remove;
    remove.setWorkingDirectory(m_dir->path());
    remove.start(QStringLiteral("rm"), {QStringLiteral("-rf"), QString::fromLatin1(step)});
    remove.waitForFinished();
    QVERIFY2(WIFEXITED(status), "did not end");
    QCOMPARE(WEXITSTATUS(status), 2);
    const QString said = QString::fromUtf8(readAll(QFile::decodeName(errors)));
    QVERIFY2(said.contains(QStringLiteral("--output-root")), qPrintable(said));
    QVERIFY(allFilesBelow(m_dir->path() + QStringLiteral("/Desktop")).isEmpty());
}

void TestHostile::collidingNamesStayUnique()
{
    // Every new name is "(50x40).jpg" before its copy number.
    const int count = 300;
    const QByteArray jpeg = plainJpeg(50, 40);
    SourceSelection list;
    list.folder = m_sources;
    for (int i = 0; i < count; ++i) {
        list.names << QStringLiteral("p%1.jpg").arg(i, 3, 10, QChar(u'0'));
        QVERIFY(writeBytes(m_sources + list.names.constLast(), jpeg + QByteArray::number(i)));
    }
    writeBytes(m_sources + QStringLiteral("(50x40) 副本7.jpg"), "the user's own file");
    list.select({});
    NamingRule rule;
    rule.NamingFlags = {0, 1, 0, 0, 0, 0, 0};
    RecordingHost host;
    const RenameOutcome outcome = RenameOnlyRun(m_sources, true, list, rule, host);
    QVERIFY(!outcome.refused);
    QCOMPARE(outcome.renamed.size(), count);
    QSet<QString> used;
    for (const auto &pair : outcome.renamed)
        used.insert(pair.second);
    QCOMPARE(used.size(), count);
    QVERIFY(!used.contains(QStringLiteral("(50x40) 副本7.jpg")));
    QCOMPARE(readAll(m_sources + QStringLiteral("(50x40) 副本7.jpg")),
             QByteArray("the user's own file"));
    // Nothing replaced: every source's bytes are still there once.
    QSet<QByteArray> contents;
    for (const QString &name : filesIn(m_sources))
        contents.insert(readAll(m_sources + name));
    QCOMPARE(contents.size(), count + 1);
}

void TestHostile::memoryFigureClamped()
{
    writeBytes(m_sources + QStringLiteral("a.jpg"), plainJpeg(40, 30));
    for (const char *figure : {"8796093022208", "17592186044416", "1"}) {
        const Ran run = runProgram(
                built(QStringLiteral("pixwright")),
                {QStringLiteral("run"), m_sources, QStringLiteral("--yes"),
                 QStringLiteral("--output-root"), m_output, QStringLiteral("--settings"),
                 m_dir->filePath(QStringLiteral("none.ini"))},
                {QStringLiteral("PIXWRIGHT_MEMORY_MB=") + QLatin1String(figure)});
        QVERIFY(run.finished);
        QVERIFY2(run.exitCode == 0, qPrintable(figure + run.out));
        QCOMPARE(run.err.count(QStringLiteral("PIXWRIGHT_MEMORY_MB")), 1);
    }
}

void TestHostile::controlCharactersShownEscaped_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("run") << QStringLiteral("run");
    QTest::newRow("rename preview") << QStringLiteral("rename");
}

void TestHostile::controlCharactersShownEscaped()
{
    QFETCH(QString, command);
    writeBytes(m_sources + QStringLiteral("a\x1b[2Jred.jpg"), plainJpeg(40, 30));
    writeBytes(m_sources + QStringLiteral("b\nline.jpg"), "not a picture");
    QStringList args{command, m_sources, QStringLiteral("--settings"),
                     m_dir->filePath(QStringLiteral("none.ini"))};
    if (command == u"run")
        args << QStringLiteral("--yes") << QStringLiteral("--output-root") << m_output;
    const Ran run = runProgram(built(QStringLiteral("pixwright")), args);
    QVERIFY(run.finished);
    QVERIFY2(!run.rawOut.contains('\x1b') && !run.rawErr.contains('\x1b'), run.rawOut + run.rawErr);
    QVERIFY2(!run.out.contains(QStringLiteral("b\nline")), qPrintable(run.out));
    QVERIFY2(run.out.contains(QStringLiteral("b\\nline")), qPrintable(run.out));
    if (command == u"rename") {
        QVERIFY2(run.out.contains(QStringLiteral("a\\x1b[2Jred")), qPrintable(run.out));
    } else {
        // The report names only the failure; the progress names both.
        QVERIFY2(run.err.contains(QStringLiteral("a\\x1b[2Jred")), qPrintable(run.err));
        // The result keeps the real name.
        const QStringList results = allFilesBelow(m_output);
        QCOMPARE(results.size(), 1);
        QVERIFY(results.first().endsWith(QStringLiteral("a\x1b[2Jred.jpg")));
    }
}

void TestHostile::unusableBackgroundNamed_data()
{
    QTest::addColumn<QByteArray>("background");
    QTest::addColumn<QString>("memory");
    QTest::newRow("not a picture") << QByteArray("just some text") << QStringLiteral("512");
    // A progressive picture holds every coefficient while it decodes: 9000 x 9000 needs more
    // than a 256 MB budget. Only the header is that large, so nothing big is ever made.
    QTest::newRow("over the memory budget")
            << withFrameSize(jpegOf(busyPicture(64, 64, 2), true), 9000, 9000)
            << QStringLiteral("256");
}

void TestHostile::unusableBackgroundNamed()
{
    QFETCH(QByteArray, background);
    QFETCH(QString, memory);
    writeBytes(m_sources + QStringLiteral("a.jpg"), plainJpeg(40, 30));
    const QString picture = m_dir->filePath(QStringLiteral("backdrop.jpg"));
    QVERIFY(writeBytes(picture, background));
    const Ran run = runProgram(
            built(QStringLiteral("pixwright")),
            {QStringLiteral("run"), m_sources, QStringLiteral("--yes"),
             QStringLiteral("--output-root"), m_output, QStringLiteral("--settings"),
             m_dir->filePath(QStringLiteral("none.ini")), QStringLiteral("--mode"),
             QStringLiteral("2"), QStringLiteral("--width"), QStringLiteral("80"),
             QStringLiteral("--height"), QStringLiteral("80"),
             QStringLiteral("--background-picture"), picture},
            {QStringLiteral("PIXWRIGHT_MEMORY_MB=") + memory});
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 1);
    // One error line names it ("[reason]path"); the summary names the picture chosen as well.
    QCOMPARE(run.out.count(u']' + picture), 1);
    QCOMPARE(allFilesBelow(m_output).size(), 1); // the run went on without it
}

void TestHostile::childEndsWithItsParent_data()
{
    QTest::addColumn<bool>("parentGoneFirst");
    QTest::newRow("parent dies later") << false;
    QTest::newRow("parent already gone") << true;
}

void TestHostile::childEndsWithItsParent()
{
    // A middle process forks a child as RunAndWait does, reports the child's pid and dies; the
    // child would otherwise sleep for a minute.
    QFETCH(bool, parentGoneFirst);
    int channel[2];
    QCOMPARE(::pipe(channel), 0);
    const pid_t middle = ::fork();
    if (middle == 0) {
        const pid_t parent = ::getpid();
        const pid_t child = ::fork();
        if (child == 0) {
            if (parentGoneFirst)
                ::usleep(300000);
            EndWithParent(parent);
            ::sleep(60);
            ::_exit(0);
        }
        [[maybe_unused]] const ssize_t sent = ::write(channel[1], &child, sizeof child);
        if (!parentGoneFirst)
            ::usleep(300000);
        ::_exit(0);
    }
    pid_t child = 0;
    QCOMPARE(::read(channel[0], &child, sizeof child), ssize_t(sizeof child));
    ::close(channel[0]);
    ::close(channel[1]);
    QCOMPARE(::waitpid(middle, nullptr, 0), middle);
    const auto gone = [child] {
        return processGone(child);
    };
    QTRY_VERIFY_WITH_TIMEOUT(gone(), 5000);
}

void TestHostile::memoryFigures_data()
{
    constexpr qint64 kMiB = qint64(1) << 20;
    QTest::addColumn<QString>("asked");
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<bool>("noted");
    const qint64 physical = qint64(16) << 30;
    QTest::newRow("in range") << QStringLiteral("300") << 300 * kMiB << false;
    QTest::newRow("lowest") << QStringLiteral("256") << 256 * kMiB << false;
    QTest::newRow("all memory") << QStringLiteral("16384") << physical << false;
    QTest::newRow("below") << QStringLiteral("1") << 256 * kMiB << true;
    QTest::newRow("above") << QStringLiteral("16385") << physical << true;
    QTest::newRow("overflows when multiplied")
            << QStringLiteral("8796093022208") << physical << true;
    QTest::newRow("2^44") << QStringLiteral("17592186044416") << physical << true;
    QTest::newRow("largest 64-bit") << QStringLiteral("9223372036854775807") << physical << true;
    QTest::newRow("past 64 bits: the default")
            << QStringLiteral("99999999999999999999") << qint64(0) << false;
    QTest::newRow("zero: the default") << QStringLiteral("0") << qint64(0) << false;
    QTest::newRow("negative: the default") << QStringLiteral("-5") << qint64(0) << false;
    QTest::newRow("words: the default") << QStringLiteral("lots") << qint64(0) << false;
}

void TestHostile::memoryFigures()
{
    QFETCH(QString, asked);
    QFETCH(qint64, bytes);
    QFETCH(bool, noted);
    QString note;
    QCOMPARE(BudgetFromEnvironment(asked, qint64(16) << 30, &note), bytes);
    QCOMPARE(!note.isEmpty(), noted);
}

void TestHostile::shownNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown");
    QTest::newRow("plain") << QStringLiteral("风景 1.jpg") << QStringLiteral("风景 1.jpg");
    QTest::newRow("backslash stays") << QStringLiteral("a\\nb.jpg") << QStringLiteral("a\\nb.jpg");
    QTest::newRow("line break") << QStringLiteral("a\nb.jpg") << QStringLiteral("a\\nb.jpg");
    QTest::newRow("CR and tab") << QStringLiteral("a\r\tb") << QStringLiteral("a\\r\\tb");
    QTest::newRow("ESC sequence") << QStringLiteral("\x1b]0;owned\x07x.jpg")
                                  << QStringLiteral("\\x1b]0;owned\\x07x.jpg");
    QTest::newRow("DEL") << QStringLiteral("a\x7f") << QStringLiteral("a\\x7f");
    QTest::newRow("C1 CSI") << QString::fromUtf16(u"a\u009b2J") << QStringLiteral("a\\x9b2J");
    QTest::newRow("line separator")
            << QString::fromUtf16(u"a\u2028b") << QStringLiteral("a\\u2028b");
}

void TestHostile::shownNames()
{
    QFETCH(QString, name);
    QFETCH(QString, shown);
    QCOMPARE(ShownName(name), shown);
}

void TestHostile::frameSizeOfBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("size");
    const QByteArray jpeg = plainJpeg(64, 48);
    QTest::newRow("baseline") << jpeg << QSize(64, 48);
    QTest::newRow("progressive") << jpegOf(busyPicture(30, 20, 1), true) << QSize(30, 20);
    QTest::newRow("with Exif") << withSegment(jpeg, exifSegment("Cam", "2024:01:01 00:00:00"))
                               << QSize(64, 48);
    QTest::newRow("text") << QByteArray("garbage") << QSize();
    QTest::newRow("empty") << QByteArray() << QSize();
    QTest::newRow("cut in the frame header") << jpeg.left(jpeg.indexOf("\xFF\xC0") + 6) << QSize();
    QTest::newRow("segment length past the end")
            << QByteArray("\xFF\xD8\xFF\xE1\xFF\xFF", 6) << QSize();
    QTest::newRow("zero width") << withFrameSize(jpeg, 0, 48) << QSize();
}

void TestHostile::frameSizeOfBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, size);
    QCOMPARE(JpegFrameSize(bytes), size);
}

void TestHostile::copyNumbersRemembered()
{
    // The run's numbers start where the name left off, yet every candidate is looked for on
    // disk: a copy made by someone else meanwhile is skipped, never replaced.
    CopyNumbers numbers;
    QVERIFY(writeBytes(m_sources + QStringLiteral("a.jpg"), "taken"));
    const QString first = MakeUniquePath(m_sources, QStringLiteral("a.jpg"), u'_', &numbers);
    QCOMPARE(first, m_sources + QStringLiteral("a 副本1.jpg"));
    QVERIFY(writeBytes(first, "1"));
    QVERIFY(writeBytes(m_sources + QStringLiteral("a 副本2.jpg"), "someone else's"));
    QCOMPARE(MakeUniquePath(m_sources, QStringLiteral("a.jpg"), u'_', &numbers),
             m_sources + QStringLiteral("a 副本3.jpg"));
    // A number given but never written is given again.
    QCOMPARE(MakeUniquePath(m_sources, QStringLiteral("a.jpg"), u'_', &numbers),
             m_sources + QStringLiteral("a 副本3.jpg"));
    QCOMPARE(numbers.value(m_sources + QStringLiteral("a.jpg")), 3);
}

void TestHostile::pngCutInAChunk()
{
    // Found by fuzzing: an 8 x 6 PNG cut inside a text chunk after its pixels. libpng took the
    // broken length at its word and cleared gigabytes for it, then gave up on the whole file.
    const LoadedPicture loaded = LoadPicture(
            QStringLiteral(PW_TEST_DATA_DIR "/png-chunk-length-past-the-end.png"), QSize(17, 13));
    QCOMPARE(loaded.error, QStringLiteral("图片数据不完整"));
    QCOMPARE(loaded.image.size(), QSize(17, 13));
}

void TestHostile::jpegFailingAfterItsProfile()
{
    // Found by fuzzing: a JPEG whose colour-profile chunks are read before libjpeg gives up on
    // it. The jump out of libjpeg skipped the profile's destructor, which the sanitizer suite
    // reports as a leak.
    const LoadedPicture loaded = LoadPicture(
            QStringLiteral(PW_TEST_DATA_DIR "/jpeg-profile-then-error.jpg"), QSize(17, 13));
    QVERIFY(!loaded.error.isEmpty());
    QVERIFY(loaded.image.isNull());
}

QTEST_GUILESS_MAIN(TestHostile)
#include "tst_hostile.moc"
