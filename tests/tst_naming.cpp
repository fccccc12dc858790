#include "naming/namingrule.h"
#include "naming/outputname.h"
#include "naming/renamejournal.h"
#include "naming/renamerun.h"
#include "naming/renamerunner.h"
#include "settings/inistore.h"
#include "settings/settingskeys.h"
#include "tests/support/recordinghost.h"
#include "tests/support/runpixwright.h"
#include "tests/support/testfiles.h"
#include "tests/support/testpictures.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <unistd.h>

using namespace Pw;
using namespace PwTest;

namespace {

NamingRule ruleOf(const QString &digits, QChar separator = u'_')
{
    NamingRule rule;
    rule.NamingFlags = ParseNamingFlags(digits);
    rule.NamingSeparator = separator;
    return rule;
}

bool setModified(const QString &path, const QDateTime &when)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite)
           && file.setFileTime(when, QFileDevice::FileModificationTime);
}

bool writeCameraJpeg(const QString &path, int width, int height, const QByteArray &model,
                     const QByteArray &shot)
{
    const QByteArray camera = withSegment(plainJpeg(width, height), exifSegment(model, shot));
    return !camera.isEmpty() && writeBytes(path, camera);
}

bool writePicture(const QString &path, int width, int height, const char *format)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkYellow);
    return image.save(path, format);
}

SourceSelection selectionOf(const QString &folder, const QStringList &names)
{
    SourceSelection list;
    list.folder = folder;
    list.names = names;
    list.selected = QList<bool>(names.size(), true);
    return list;
}

// Runs `pixwright rename ARGS` and answers what it wrote on standard error.
QString runCommandCapturingErrors(const QStringList &args, int &status)
{
    const PwTest::ProgramRun run = PwTest::runPixwright(QStringList{QStringLiteral("rename")}
                                                        + args);
    status = run.status;
    return QString::fromUtf8(run.err);
}

// `pixwright rename ARGS`: the exit status.
int renameCommand(const QStringList &args)
{
    return PwTest::runPixwright(QStringList{QStringLiteral("rename")} + args).status;
}

} // namespace

class TestNaming : public QObject
{
    Q_OBJECT

private slots:
    void separatorEntries();
    void fitFileName_data();
    void fitFileName();
    void storedRule_data();
    void storedRule();
    void storedSeparator_data();
    void storedSeparator();
    void loadAndStoreRule();
    void photoLetterGuard_data();
    void photoLetterGuard();
    void hiddenNames();
    void formatSequenceNumber_data();
    void formatSequenceNumber();
    void formatNameTime_data();
    void formatNameTime();
    void buildOutputName_data();
    void buildOutputName();
    void makeUniquePath_data();
    void makeUniquePath();
    void namingPatternText_data();
    void namingPatternText();

    void factsReadAfreshPerFile();
    void previewNumbersSelectedEntriesOnly();
    void renameWhereEveryNameCollides();
    void renameStopsInTheMiddle();
    void renameOnAWorkerThread();
    void renameRefusedHalfway_data();
    void renameRefusedHalfway();
    void renameRefusedInReadOnlyFolder();
    void renameTakesNextNumberWhenTargetAppears();
    void renameNoReplace();

    void renameCommandArguments_data();
    void renameCommandArguments();
    void renameCommandRenames();
    void undoRename_data();
    void undoRename();
};

void TestNaming::separatorEntries()
{
    const QStringList entries = SeparatorEntries();
    QCOMPARE(entries.size(), kSeparatorEntryCount);
    QCOMPARE(entries.first(), QStringLiteral("间隔符号 ."));
    QCOMPARE(entries.at(8), QStringLiteral("间隔符号 $"));
    QCOMPARE(entries.at(12), QStringLiteral("间隔符号 $"));
    QCOMPARE(entries.last(), QStringLiteral("间隔符号 空格"));
    for (int i = 0; i < kSeparatorEntryCount - 1; ++i)
        QCOMPARE(SeparatorOfEntry(i), entries.at(i).back());
    QCOMPARE(SeparatorOfEntry(13), QChar(u' '));
    QCOMPARE(SeparatorOfEntry(14), QChar(u'.'));
    QCOMPARE(SeparatorOfEntry(-1), QChar(u'.'));
    QCOMPARE(SeparatorIndexOf(u'$'), 8);
    QCOMPARE(SeparatorIndexOf(u' '), 13);
    QCOMPARE(SeparatorIndexOf(u'*'), -1);
}

void TestNaming::storedRule_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("flags");
    QTest::newRow("options 1 and 7") << "1000001"
                                     << "1000001";
    QTest::newRow("absent: 2, 4, 7") << ""
                                     << "0101001";
    QTest::newRow("six characters: default") << "100000"
                                             << "0101001";
    QTest::newRow("longer: first seven") << "10000011"
                                         << "1000001";
    QTest::newRow("only '1' counts as on") << "1x2y3z1"
                                           << "1000001";
    QTest::newRow("all on") << "1111111"
                            << "1111111";
}

void TestNaming::storedRule()
{
    QFETCH(QString, stored);
    QFETCH(QString, flags);
    NamingRule rule;
    rule.NamingFlags = ParseNamingFlags(stored);
    QCOMPARE(NamingFlagsText(rule), flags);
}

void TestNaming::storedSeparator_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("index");
    QTest::addColumn<QChar>("separator");
    QTest::newRow("blank entry") << "13" << 13 << QChar(u' ');
    QTest::newRow("first $") << "8" << 8 << QChar(u'$');
    QTest::newRow("second $") << "12" << 12 << QChar(u'$');
    QTest::newRow("not a number") << "abc" << 0 << QChar(u'.');
    QTest::newRow("negative") << "-1" << 0 << QChar(u'.');
    QTest::newRow("one past the end") << "14" << 0 << QChar(u'.');
    QTest::newRow("absent") << "" << 0 << QChar(u'.');
    QTest::newRow("number with trailing text") << "3a" << 0 << QChar(u'.');
}

void TestNaming::storedSeparator()
{
    QFETCH(QString, stored);
    QFETCH(int, index);
    QFETCH(QChar, separator);
    QCOMPARE(ParseSeparatorIndex(stored), index);
    QCOMPARE(SeparatorOfEntry(ParseSeparatorIndex(stored)), separator);
}

void TestNaming::loadAndStoreRule()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("Set.ini"));

    // First start, no file: options 2, 4, 7 with ".".
    QCOMPARE(LoadNamingRule(file), NamingRule());
    QCOMPARE(NamingFlagsText(LoadNamingRule(file)), QStringLiteral("0101001"));
    QCOMPARE(LoadNamingRule(file).NamingSeparator, QChar(u'.'));

    QVERIFY(StoreNamingFlags(ruleOf(QStringLiteral("1000001")), file));
    QVERIFY(StoreSeparatorIndex(13, file));
    const NamingRule loaded = LoadNamingRule(file);
    QCOMPARE(NamingFlagsText(loaded), QStringLiteral("1000001"));
    QCOMPARE(loaded.NamingSeparator, QChar(u' '));
    QCOMPARE(LoadSeparatorIndex(file), 13);
    QCOMPARE(ReadIni(Keys::kSectionSelected, Keys::kRenameRule, file), QStringLiteral("1000001"));
    QCOMPARE(ReadIni(Keys::kSectionSelected, Keys::kRenameSeparator, file), QStringLiteral("13"));

    // An index outside the list is never stored.
    QVERIFY(!StoreSeparatorIndex(14, file));
    QCOMPARE(LoadSeparatorIndex(file), 13);
}

// The check agrees with the names the builder gives, for every rule of both runs.
void TestNaming::hiddenNames()
{
    NameFacts facts;
    facts.number = 3;
    facts.total = 12;
    facts.width = 640;
    facts.height = 480;
    facts.quality = 85;
    facts.modified = QStringLiteral("2024/6/3 14:05:09");
    facts.oldName = QStringLiteral("a.jpg");
    for (int bits = 0; bits < 128; ++bits) {
        QString flags;
        for (int i = 0; i < kNamingOptionCount; ++i)
            flags += bits & (1 << i) ? u'1' : u'0';
        for (const NamingRun run : {NamingRun::Batch, NamingRun::RenameOnly}) {
            const NamingRule rule = ruleOf(flags);
            const bool hidden = BuildOutputName(rule, run, facts).startsWith(u'.');
            QVERIFY2(GivesHiddenNames(rule, run == NamingRun::RenameOnly) == hidden,
                     qPrintable(flags));
        }
    }
    QVERIFY(HiddenNamesWarning().contains(QStringLiteral("“.jpg”")));
}

void TestNaming::photoLetterGuard_data()
{
    QTest::addColumn<QString>("flags");
    QTest::addColumn<bool>("renameOnly");
    QTest::addColumn<bool>("keepCamera");
    QTest::addColumn<bool>("turnedOff");
    QTest::addColumn<QString>("after");
    QTest::newRow("batch, camera info dropped") << "0010001" << false << false << true << "0000001";
    QTest::newRow("batch, camera info kept") << "0010001" << false << true << false << "0010001";
    QTest::newRow("rename-only stays ticked") << "0010001" << true << false << false << "0010001";
    QTest::newRow("option 3 off: nothing to do")
            << "1100001" << false << false << false << "1100001";
}

void TestNaming::photoLetterGuard()
{
    QFETCH(QString, flags);
    QFETCH(bool, renameOnly);
    QFETCH(bool, keepCamera);
    QFETCH(bool, turnedOff);
    QFETCH(QString, after);
    NamingRule rule = ruleOf(flags);
    QCOMPARE(PhotoLetterLeftOut(rule, renameOnly, keepCamera), turnedOff);
    QCOMPARE(NamingFlagsText(EffectiveNamingRule(rule, renameOnly, keepCamera)), after);
    QCOMPARE(ApplyPhotoLetterGuard(rule, renameOnly, keepCamera), turnedOff);
    QCOMPARE(NamingFlagsText(rule), after);
    QVERIFY(PhotoLetterWarning().contains(
            QStringLiteral("处理后保留数码相机拍摄照片所记录的信息")));
    QCOMPARE(NamingOptionLabel(3, renameOnly),
             renameOnly ? QStringLiteral("4.添加保存质量(如Q85),不适用于更名")
                        : QStringLiteral("4.添加保存质量(如Q85)"));
}

void TestNaming::formatSequenceNumber_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("total");
    QTest::addColumn<QString>("text");
    QTest::newRow("9 files: one digit") << 1 << 9 << "1";
    QTest::newRow("9 of 9") << 9 << 9 << "9";
    QTest::newRow("10 files: two digits") << 1 << 10 << "01";
    QTest::newRow("10 of 10") << 10 << 10 << "10";
    QTest::newRow("7 of 120") << 7 << 120 << "007";
    QTest::newRow("120 of 120") << 120 << 120 << "120";
    QTest::newRow("longer than the width") << 1000 << 120 << "1000";
    QTest::newRow("no files counts one digit") << 1 << 0 << "1";
    QTest::newRow("no files, two-digit number") << 12 << 0 << "12";
    QTest::newRow("100 files") << 5 << 100 << "005";
}

void TestNaming::formatSequenceNumber()
{
    QFETCH(int, n);
    QFETCH(int, total);
    QFETCH(QString, text);
    QCOMPARE(FormatSequenceNumber(n, total), text);
}

void TestNaming::formatNameTime_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("general form") << "2019/5/1 10:20:30"
                                  << "20190501_102030";
    QTest::newRow("Exif form") << "2019:05:01 10:20:30"
                               << "20190501_102030";
    QTest::newRow("general form, one-digit hour") << "2021/6/2 8:00:00"
                                                  << "20210602_080000";
    QTest::newRow("midnight: date alone") << "2021/6/2"
                                          << "20210602_000000";
    QTest::newRow("general form, padded") << "2019/05/01 10:20:30"
                                          << "20190501_102030";
    QTest::newRow("not a date: only cleaned") << "2019/2/30 10:00:00"
                                              << "2019230_100000";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("slashes, colons, blanks") << "a\\b/c:d e f"
                                             << "abcd_e_f";
}

void TestNaming::formatNameTime()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(FormatNameTime(text), expected);
}

void TestNaming::buildOutputName_data()
{
    QTest::addColumn<QString>("flags");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<bool>("renameOnly");
    QTest::addColumn<int>("total");
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("shot");
    QTest::addColumn<QString>("modified");
    QTest::addColumn<bool>("keepCamera");
    QTest::addColumn<QString>("oldName");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("built");
    QTest::addColumn<QString>("unique");

    // File 7 of 120, IMG_0012.JPG taken on 1 May 2019 10:20:30, saved 800 x 600 at quality 85.
    const QString model = QStringLiteral("Canon EOS 5D");
    const QString shot = QStringLiteral("2019:05:01 10:20:30");
    const QString modified = QStringLiteral("2019/5/3 9:00:00");
    const QString img = QStringLiteral("IMG_0012.JPG");

    QTest::newRow("options 1, 7") << "1000001" << QChar(u'_') << false << 120 << model << shot
                                  << modified << true << img << 800 << "007_IMG_0012.JPG"
                                  << "007_IMG_0012.JPG";
    QTest::newRow("options 1, 2, 7")
            << "1100001" << QChar(u'_') << false << 120 << model << shot << modified << true << img
            << 800 << "007_(800x600_)IMG_0012.JPG"
            << "007_(800x600)IMG_0012.JPG";
    QTest::newRow("options 1, 3, 4, 6")
            << "1011010" << QChar(u'_') << false << 120 << model << shot << modified << true << img
            << 800 << "007_(DQ8520190501_102030).jpg"
            << "007_(DQ8520190501_102030).jpg";
    QTest::newRow("rename-only 2, 3, 5, no camera")
            << "0110100" << QChar(u'_') << true << 120 << QString() << QString()
            << "2021/6/2 8:00:00" << true << img << 800 << "(800x600N20210602_080000_).jpg"
            << "(800x600N20210602_080000).jpg";
    QTest::newRow("no option") << "0000000" << QChar(u'_') << false << 120 << model << shot
                               << modified << true << img << 800 << ".jpg"
                               << ".jpg";
    QTest::newRow("default rule") << "0101001" << QChar(u'.') << false << 120 << model << shot
                                  << modified << true << img << 800 << "(800x600.Q85)IMG_0012.JPG"
                                  << "(800x600.Q85)IMG_0012.JPG";
    QTest::newRow("batch, camera info not kept: N")
            << "0010000" << QChar(u'_') << false << 120 << model << shot << modified << false << img
            << 800 << "(N).jpg"
            << "(N).jpg";
    QTest::newRow("rename-only, same photo: D")
            << "0010000" << QChar(u'_') << true << 120 << model << shot << modified << false << img
            << 800 << "(D).jpg"
            << "(D).jpg";
    QTest::newRow("rename-only ignores option 4")
            << "0001001" << QChar(u'_') << true << 120 << model << shot << modified << true << img
            << 800 << "IMG_0012.JPG"
            << "IMG_0012.JPG";
    QTest::newRow("batch, PNG source ends in .jpg: the result is a JPEG")
            << "0000001" << QChar(u'_') << false << 120 << QString() << QString() << modified
            << true << "a.png" << 800 << "a.jpg"
            << "a.jpg";
    QTest::newRow("batch, BMP source without an extension-like dot")
            << "1000001" << QChar(u'_') << false << 9 << QString() << QString() << modified << true
            << "v1.2.BMP" << 800 << "7_v1.2.jpg"
            << "7_v1.2.jpg";
    QTest::newRow("batch, .jpeg source keeps its name")
            << "0000001" << QChar(u'_') << false << 9 << QString() << QString() << modified << true
            << "b.jpeg" << 800 << "b.jpeg"
            << "b.jpeg";
    QTest::newRow("rename-only, PNG keeps its name with 7")
            << "0000001" << QChar(u'_') << true << 9 << QString() << QString() << modified << true
            << "a.png" << 800 << "a.png"
            << "a.png";
    QTest::newRow("rename-only, PNG without 7 keeps its extension")
            << "1000000" << QChar(u'_') << true << 9 << QString() << QString() << modified << true
            << "a.png" << 800 << "7_.png"
            << "7_.png";
    QTest::newRow("rename-only, JPEG without 7 ends in .jpg")
            << "1000000" << QChar(u'_') << true << 9 << QString() << QString() << modified << true
            << "a.JPEG" << 800 << "7_.jpg"
            << "7_.jpg";
    QTest::newRow("blank separator")
            << "1100001" << QChar(u' ') << false << 10 << model << shot << modified << true << img
            << 800 << "07 (800x600 )IMG_0012.JPG"
            << "07 (800x600)IMG_0012.JPG";
    QTest::newRow("rename-only, unmeasured size")
            << "0100000" << QChar(u'_') << true << 120 << QString() << QString() << modified << true
            << img << 0 << "().jpg"
            << "().jpg";
    QTest::newRow("times 5 and 6 of a photo")
            << "0000110" << QChar(u'-') << false << 120 << model << shot << modified << true << img
            << 800 << "(20190503_090000-20190501_102030).jpg"
            << "(20190503_090000-20190501_102030).jpg";
    QTest::newRow("option 6 without a shot: modified")
            << "0000010" << QChar(u'-') << true << 120 << QString() << QString() << "2021/6/2"
            << true << img << 800 << "(20210602_000000).jpg"
            << "(20210602_000000).jpg";
}

void TestNaming::buildOutputName()
{
    QFETCH(QString, flags);
    QFETCH(QChar, separator);
    QFETCH(bool, renameOnly);
    QFETCH(int, total);
    QFETCH(QString, model);
    QFETCH(QString, shot);
    QFETCH(QString, modified);
    QFETCH(bool, keepCamera);
    QFETCH(QString, oldName);
    QFETCH(int, width);
    QFETCH(QString, built);
    QFETCH(QString, unique);

    NameFacts facts;
    facts.number = 7;
    facts.total = total;
    facts.width = width;
    facts.height = width > 0 ? 600 : 0;
    facts.model = model;
    facts.shot = shot;
    facts.modified = modified;
    facts.keepCamera = keepCamera;
    facts.quality = 85;
    facts.oldName = oldName;
    const NamingRule rule = ruleOf(flags, separator);
    const QString name = BuildOutputName(
            rule, renameOnly ? NamingRun::RenameOnly : NamingRun::Batch, facts);
    QCOMPARE(name, built);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.path() + u'/';
    QCOMPARE(MakeUniquePath(folder, name, separator), folder + unique);
}

void TestNaming::makeUniquePath_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("expected");
    QTest::newRow("free") << QStringList() << "007.jpg" << QChar(u'_') << "007.jpg";
    QTest::newRow("target and first copy exist") << QStringList{"007.jpg", "007 副本1.jpg"}
                                                 << "007.jpg" << QChar(u'_') << "007 副本2.jpg";
    QTest::newRow("the file itself")
            << QStringList{"IMG.JPG"} << "IMG.JPG" << QChar(u'.') << "IMG 副本1.JPG";
    QTest::newRow("separator before ')' removed")
            << QStringList() << "1_(800x600_).jpg" << QChar(u'_') << "1_(800x600).jpg";
    QTest::newRow("blank before ')' removed")
            << QStringList() << "(800x600 N )a.jpg" << QChar(u' ') << "(800x600 N)a.jpg";
    QTest::newRow("dollar separator") << QStringList() << "(1$).jpg" << QChar(u'$') << "(1).jpg";
    QTest::newRow("cleaned name collides")
            << QStringList{"(N).jpg"} << "(N_).jpg" << QChar(u'_') << "(N) 副本1.jpg";
    QTest::newRow("last dot splits")
            << QStringList{"a.b.c.jpg"} << "a.b.c.jpg" << QChar(u'_') << "a.b.c 副本1.jpg";
    QTest::newRow("a second copy elsewhere in the chain")
            << QStringList{"x.png", "x 副本1.png", "x 副本3.png"} << "x.png" << QChar(u'_')
            << "x 副本2.png";
}

void TestNaming::makeUniquePath()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, name);
    QFETCH(QChar, separator);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.path() + u'/';
    for (const QString &file : existing)
        QVERIFY(writeBytes(folder + file, "x"));
    QCOMPARE(MakeUniquePath(folder, name, separator), folder + expected);
}

void TestNaming::namingPatternText_data()
{
    QTest::addColumn<QString>("flags");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<bool>("renameOnly");
    QTest::addColumn<QString>("front");
    QTest::addColumn<QString>("back");
    QTest::newRow("batch 1, 2, 4, 7")
            << "1101001" << QChar(u'_') << false << "序号[自动]_([宽]x[高]"
            << "Q[质量])原文件名";
    QTest::newRow("rename-only 1, 2, 4, 7")
            << "1101001" << QChar(u'_') << true << "序号[自动]_([宽]x[高]"
            << ")原文件名";
    QTest::newRow("rename-only: option 4 alone makes no group")
            << "1001001" << QChar(u'_') << true << "序号[自动]"
            << "_原文件名";
    QTest::newRow("batch: option 4 alone makes a group")
            << "1001001" << QChar(u'_') << false << "序号[自动]_("
            << "Q[质量])原文件名";
    QTest::newRow("3 to 6 keep the separator before ')'")
            << "0011110" << QChar(u'.') << false << "("
            << "N(/D)[自动].Q[质量]修改时间[自动].数码(/修改)时间[自动])";
    QTest::newRow("none") << "0000000" << QChar(u'.') << false << ""
                          << "";
}

void TestNaming::namingPatternText()
{
    QFETCH(QString, flags);
    QFETCH(QChar, separator);
    QFETCH(bool, renameOnly);
    QFETCH(QString, front);
    QFETCH(QString, back);
    const NamingPattern pattern = NamingPatternText(ruleOf(flags, separator), renameOnly,
                                                    QStringLiteral("Q[质量]"));
    QCOMPARE(pattern.front, front);
    QCOMPARE(pattern.back, back);
}

void TestNaming::factsReadAfreshPerFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.path() + u'/';
    QVERIFY(writeCameraJpeg(folder + QStringLiteral("a.jpg"), 64, 48, "Canon EOS 5D",
                            "2019:05:01 10:20:30"));
    QVERIFY(writePicture(folder + QStringLiteral("b.png"), 30, 20, "PNG"));
    QVERIFY(writePicture(folder + QStringLiteral("c.jpg"), 40, 10, "JPEG"));
    QVERIFY(writeBytes(folder + QStringLiteral("d.jpg"), "not a picture"));
    const QDateTime june(QDate(2021, 6, 2), QTime(8, 0));
    const QDateTime july(QDate(2021, 7, 3), QTime(0, 0));
    QVERIFY(setModified(folder + QStringLiteral("b.png"), june));
    QVERIFY(setModified(folder + QStringLiteral("c.jpg"), july));
    QVERIFY(setModified(folder + QStringLiteral("d.jpg"), june));
    const SourceSelection list = selectionOf(folder,
                                             {QStringLiteral("a.jpg"), QStringLiteral("b.png"),
                                              QStringLiteral("c.jpg"), QStringLiteral("d.jpg")});

    RecordingHost host;
    const RenameOutcome outcome = RenameOnlyRun(folder, false, list,
                                                ruleOf(QStringLiteral("0110010")), host);
    QCOMPARE(outcome.previewLines, QStringList({"a.jpg", "  将改为:(64x48D20190501_102030).jpg",
                                                "b.png", "  将改为:(30x20N20210602_080000).png",
                                                "c.jpg", "  将改为:(40x10N20210703_000000).jpg",
                                                "d.jpg", "  将改为:(N20210602_080000).jpg"}));
    QCOMPARE(host.progressTexts, QStringList({"正在处理(1/4)a.jpg", "正在处理(2/4)b.png",
                                              "正在处理(3/4)c.jpg", "正在处理(4/4)d.jpg"}));
    QVERIFY(outcome.renamed.isEmpty());
    QCOMPARE(filesIn(folder), QStringList({"a.jpg", "b.png", "c.jpg", "d.jpg"}));

    // The batch run drops the letter to N when the camera information is not kept.
    NameFacts facts = GatherNameFacts(folder, QStringLiteral("a.jpg"),
                                      ruleOf(QStringLiteral("0010000")), NamingRun::Batch);
    QCOMPARE(facts.model, QStringLiteral("Canon EOS 5D"));
    QCOMPARE(facts.width, 0); // the batch run supplies the saved size itself
    facts.keepCamera = false;
    QCOMPARE(BuildOutputName(ruleOf(QStringLiteral("0010000")), NamingRun::Batch, facts),
             QStringLiteral("(N).jpg"));
    facts.keepCamera = true;
    QCOMPARE(BuildOutputName(ruleOf(QStringLiteral("0010000")), NamingRun::Batch, facts),
             QStringLiteral("(D).jpg"));
}

void TestNaming::previewNumbersSelectedEntriesOnly()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.path() + u'/';
    QStringList names;
    for (int i = 0; i < 20; ++i) {
        names << QStringLiteral("p%1.bmp").arg(i, 2, 10, QChar(u'0'));
        QVERIFY(writeBytes(folder + names.last(), "x"));
    }
    SourceSelection list = selectionOf(folder, names);
    list.selected.fill(false);
    for (int i : {1, 4, 9, 10, 19})
        list.selected[i] = true;

    RecordingHost host;
    const RenameOutcome outcome = RenameOnlyRun(folder, false, list,
                                                ruleOf(QStringLiteral("1000000"), u'.'), host);
    QCOMPARE(outcome.previewLines,
             QStringList({"p01.bmp", "  将改为:1..bmp", "p04.bmp", "  将改为:2..bmp", "p09.bmp",
                          "  将改为:3..bmp", "p10.bmp", "  将改为:4..bmp", "p19.bmp",
                          "  将改为:5..bmp"}));
}

void TestNaming::renameWhereEveryNameCollides()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.path() + u'/';
    const QStringList names{"a 副本1.jpg", "a.jpg", "b.png", "c.bmp"};
    for (const QString &name : names)
        QVERIFY(writeBytes(folder + name, name.toUtf8()));
    SourceSelection list = selectionOf(folder, names);
    list.selected[0] = false; // stands in a's way without being renamed
    const NamingRule rule = ruleOf(QStringLiteral("0000001"));

    RecordingHost host;
    const RenameOutcome preview = RenameOnlyRun(folder, false, list, rule, host);
    QCOMPARE(preview.previewLines,
             QStringList({"a.jpg", "  将改为:a 副本2.jpg", "b.png", "  将改为:b 副本1.png", "c.bmp",
                          "  将改为:c 副本1.bmp"}));
    QCOMPARE(filesIn(folder), QStringList(names));

    const RenameOutcome done = RenameOnlyRun(folder, true, list, rule, host);
    QVERIFY(!done.refused);
    QVERIFY(!done.stopped);
    QCOMPARE(done.renamed.size(), 3);
    QCOMPARE(done.renamed.at(0), qMakePair(QStringLiteral("a.jpg"), QStringLiteral("a 副本2.jpg")));
    QCOMPARE(done.renamed.at(2), qMakePair(QStringLiteral("c.bmp"), QStringLiteral("c 副本1.bmp")));
    QCOMPARE(readAll(folder + QStringLiteral("a 副本1.jpg")), QByteArray("a 副本1.jpg"));
    QCOMPARE(readAll(folder + QStringLiteral("a 副本2.jpg")), QByteArray("a.jpg"));
    QCOMPARE(readAll(folder + QStringLiteral("b 副本1.png")), QByteArray("b.png"));
    QCOMPARE(readAll(folder + QStringLiteral("c 副本1.bmp")), QByteArray("c.bmp"));
    QCOMPARE(filesIn(folder).size(), names.size());
}

// Both passes off the calling thread give what they give on it; progress comes in list order.
void TestNaming::renameOnAWorkerThread()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.path() + u'/';
    QStringList names;
    for (int i = 1; i <= 4; ++i) {
        names << QStringLiteral("IMG_%1.jpg").arg(i);
        QVERIFY(writeCameraJpeg(folder + names.last(), 40 + i, 30, "Cam",
                                QByteArray("2024:06:0") + char('0' + i) + " 10:00:00"));
    }
    const SourceSelection list = selectionOf(folder, names);
    const NamingRule rule = ruleOf(QStringLiteral("1100010"));
    RecordingHost host;
    const RenameOutcome expected = RenameOnlyRun(folder, false, list, rule, host);

    RenameRunner runner;
    QStringList texts;
    connect(&runner, &RenameRunner::progress, this,
            [&](int, int, const QString &text) { texts << text; });
    QSignalSpy finished(&runner, &RenameRunner::finished);
    QVERIFY(runner.start(folder, false, list, rule));
    QVERIFY(!runner.start(folder, true, list, rule)); // one pass at a time
    QVERIFY(finished.wait(20000));
    QCOMPARE(finished.at(0).at(0).value<RenameOutcome>().previewLines, expected.previewLines);
    QCOMPARE(texts, host.progressTexts);
    QCOMPARE(filesIn(folder), QStringList(names)); // the preview renames nothing

    QVERIFY(runner.start(folder, true, list, rule));
    QVERIFY(finished.wait(20000));
    const RenameOutcome done = finished.at(1).at(0).value<RenameOutcome>();
    QVERIFY(!done.refused && !done.stopped);
    QCOMPARE(done.renamed.size(), names.size());
    for (int i = 0; i < names.size(); ++i) // as previewed
        QCOMPARE(QStringLiteral("  将改为:") + done.renamed.at(i).second,
                 expected.previewLines.at(2 * i + 1));
    QVERIFY(QFile::exists(folder + done.renamed.at(3).second));
}

void TestNaming::renameStopsInTheMiddle()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.path() + u'/';
    const QStringList names{"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"};
    for (const QString &name : names)
        QVERIFY(writeBytes(folder + name, name.toUtf8()));

    RecordingHost host;
    host.stopAtOrdinal = 2; // the stop press arrives while the second file is in hand
    // A folder text without its trailing '/' works as well.
    const RenameOutcome done = RenameOnlyRun(dir.path(), true, selectionOf(folder, names),
                                             ruleOf(QStringLiteral("1000001"), u'-'), host);
    QVERIFY(done.stopped);
    QVERIFY(!done.refused);
    QCOMPARE(host.clears, 1);
    QCOMPARE(host.progressTexts, QStringList({"正在处理(1/5)a.jpg", "正在处理(2/5)b.jpg"}));
    QCOMPARE(done.renamed.size(), 2);
    QCOMPARE(filesIn(folder), QStringList({"1-a.jpg", "2-b.jpg", "c.jpg", "d.jpg", "e.jpg"}));
    QCOMPARE(readAll(folder + QStringLiteral("2-b.jpg")), QByteArray("b.jpg"));
    QVERIFY(!host.stopRequested());
}

void TestNaming::renameRefusedHalfway_data()
{
    QTest::addColumn<bool>("removeSource");
    // A name too long for the file system is now cut (tst_reliability), not refused.
    QTest::newRow("source gone between the passes") << true;
}

void TestNaming::renameRefusedHalfway()
{
    QFETCH(bool, removeSource);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.path() + u'/';
    // 255 bytes: the longest name the file system takes; "3_" in front makes it too long.
    // The "%1" must come through the message untouched.
    const QString third = removeSource ? QStringLiteral("c.jpg")
                                       : QStringLiteral("%1") + QString(249, u'x')
                                                 + QStringLiteral(".jpg");
    const QStringList names{"a.jpg", "b.jpg", third, "d.jpg"};
    for (const QString &name : names)
        QVERIFY(writeBytes(folder + name, name.toUtf8()));
    const SourceSelection list = selectionOf(folder, names);
    const NamingRule rule = ruleOf(QStringLiteral("1000001"));

    RecordingHost host;
    const RenameOutcome preview = RenameOnlyRun(folder, false, list, rule, host);
    QCOMPARE(preview.previewLines.size(), 8);
    if (removeSource)
        QVERIFY(QFile::remove(folder + third));

    const RenameOutcome done = RenameOnlyRun(folder, true, list, rule, host);
    QVERIFY(done.refused);
    QVERIFY(!done.stopped);
    QCOMPARE(done.refusedName, third);
    QCOMPARE(done.refusedTarget, QStringLiteral("3_") + third);
    QVERIFY(!done.reason.isEmpty());
    QCOMPARE(done.renamed.size(), 2);
    const QString text = done.refusalText();
    QVERIFY2(text.contains(third) && text.contains(done.reason) && text.contains(u'2'),
             qPrintable(text));

    QStringList expected{"1_a.jpg", "2_b.jpg", "d.jpg"};
    if (!removeSource)
        expected << third;
    expected.sort();
    QCOMPARE(filesIn(folder), expected);
    QCOMPARE(readAll(folder + QStringLiteral("2_b.jpg")), QByteArray("b.jpg"));
    if (!removeSource)
        QCOMPARE(readAll(folder + third), third.toUtf8());
}

void TestNaming::renameRefusedInReadOnlyFolder()
{
    if (::geteuid() == 0)
        QSKIP("permissions refuse nothing to root");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.path() + u'/';
    const QStringList names{"a.jpg", "b.jpg"};
    for (const QString &name : names)
        QVERIFY(writeBytes(folder + name, name.toUtf8()));
    QFile::Permissions writable = QFile::permissions(dir.path());
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));

    RecordingHost host;
    const RenameOutcome done = RenameOnlyRun(folder, true, selectionOf(folder, names),
                                             ruleOf(QStringLiteral("1000001")), host);
    QVERIFY(QFile::setPermissions(dir.path(), writable));
    QVERIFY(done.refused);
    QCOMPARE(done.refusedName, QStringLiteral("a.jpg"));
    QVERIFY(done.renamed.isEmpty());
    QCOMPARE(host.progressTexts.size(), 1);
    QCOMPARE(filesIn(folder), names);
}

void TestNaming::renameTakesNextNumberWhenTargetAppears()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.path() + u'/';
    const QStringList names{"a.jpg", "b.jpg"};
    for (const QString &name : names)
        QVERIFY(writeBytes(folder + name, name.toUtf8()));

    // Another program writes the chosen names between the choice and the rename.
    RecordingHost host;
    int yields = 0;
    host.onYield = [&]() {
        ++yields;
        if (yields == 1) {
            QVERIFY(writeBytes(folder + QStringLiteral("1_a.jpg"), "intruder"));
        } else {
            QVERIFY(writeBytes(folder + QStringLiteral("2_b.jpg"), "intruder 2"));
            QVERIFY(writeBytes(folder + QStringLiteral("2_b 副本1.jpg"), "intruder 3"));
        }
    };
    const RenameOutcome done = RenameOnlyRun(folder, true, selectionOf(folder, names),
                                             ruleOf(QStringLiteral("1000001")), host);
    QVERIFY(!done.refused);
    QCOMPARE(yields, 2);
    QCOMPARE(done.renamed.at(0),
             qMakePair(QStringLiteral("a.jpg"), QStringLiteral("1_a 副本1.jpg")));
    QCOMPARE(done.renamed.at(1),
             qMakePair(QStringLiteral("b.jpg"), QStringLiteral("2_b 副本2.jpg")));
    QCOMPARE(readAll(folder + QStringLiteral("1_a.jpg")), QByteArray("intruder"));
    QCOMPARE(readAll(folder + QStringLiteral("1_a 副本1.jpg")), QByteArray("a.jpg"));
    QCOMPARE(readAll(folder + QStringLiteral("2_b.jpg")), QByteArray("intruder 2"));
    QCOMPARE(readAll(folder + QStringLiteral("2_b 副本1.jpg")), QByteArray("intruder 3"));
    QCOMPARE(readAll(folder + QStringLiteral("2_b 副本2.jpg")), QByteArray("b.jpg"));
}

void TestNaming::renameNoReplace()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString from = dir.filePath(QStringLiteral("from.jpg"));
    const QString to = dir.filePath(QStringLiteral("to.jpg"));
    QVERIFY(writeBytes(from, "source"));
    QVERIFY(writeBytes(to, "target"));

    bool exists = false;
    QVERIFY(!RenameNoReplace(from, to, &exists).isEmpty());
    QVERIFY(exists);
    QCOMPARE(readAll(from), QByteArray("source"));
    QCOMPARE(readAll(to), QByteArray("target"));

    QVERIFY(QFile::remove(to));
    QCOMPARE(RenameNoReplace(from, to, &exists), QString());
    QVERIFY(!exists);
    QCOMPARE(readAll(to), QByteArray("source"));
    QVERIFY(!QFile::exists(from));

    QVERIFY(!RenameNoReplace(from, dir.filePath(QStringLiteral("x.jpg")), &exists).isEmpty());
    QVERIFY(!exists);
}

void TestNaming::renameCommandArguments_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("named"); // what the message must name
    // {dir} is the picture folder, {ini} a settings file remembering it.
    QTest::newRow("unknown option") << QStringList{"{dir}", "--force"} << 2 << "--force";
    QTest::newRow("rule too short") << QStringList{"{dir}", "--rule", "100001"} << 2 << "--rule";
    QTest::newRow("rule with a 2") << QStringList{"{dir}", "--rule", "1000002"} << 2 << "--rule";
    QTest::newRow("separator not in the list")
            << QStringList{"{dir}", "--separator", "*"} << 2 << "--separator";
    QTest::newRow("separator of two characters")
            << QStringList{"{dir}", "--separator", "__"} << 2 << "--separator";
    QTest::newRow("unknown type") << QStringList{"{dir}", "--types", "gif"} << 2 << "--types";
    QTest::newRow("select a name not listed")
            << QStringList{"{dir}", "--select", "zzz.jpg"} << 2 << "--select";
    QTest::newRow("select a type not listed")
            << QStringList{"{dir}", "--types", "png", "--select", "a.jpg"} << 2 << "--select";
    QTest::newRow("select without a name") << QStringList{"{dir}", "--select"} << 2 << "--select";
    QTest::newRow("missing folder") << QStringList{"{dir}/missing"} << 2 << "FOLDER";
    QTest::newRow("two folders") << QStringList{"{dir}", "{dir}/"} << 2 << "FOLDER";
    QTest::newRow("missing settings file")
            << QStringList{"{dir}", "--settings", "{dir}/none.ini"} << 2 << "--settings";
    QTest::newRow("no folder, none remembered")
            << QStringList{"--settings", "{empty}"} << 2 << "FOLDER";
    QTest::newRow("preview only") << QStringList{"{dir}", "--rule", "1000001"} << 0 << "";
    QTest::newRow("remembered folder, preview") << QStringList{"--settings", "{ini}"} << 0 << "";
    QTest::newRow("help") << QStringList{"--help"} << 0 << "";
}

void TestNaming::renameCommandArguments()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, named);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString pictures = dir.filePath(QStringLiteral("pictures"));
    QVERIFY(QDir().mkpath(pictures));
    QVERIFY(writePicture(pictures + QStringLiteral("/a.jpg"), 8, 8, "JPEG"));
    QVERIFY(writePicture(pictures + QStringLiteral("/b.png"), 8, 8, "PNG"));
    const QString ini = dir.filePath(QStringLiteral("Set.ini"));
    QVERIFY(WriteIni(Keys::kSectionOpenPath, Keys::kSourceFolder, pictures + u'/', ini));
    const QString empty = dir.filePath(QStringLiteral("empty.ini"));
    QVERIFY(writeBytes(empty, "[已选择]\r\n"));
    const QByteArray iniBefore = readAll(ini);

    for (QString &arg : args) {
        arg.replace(QStringLiteral("{dir}"), pictures);
        arg.replace(QStringLiteral("{ini}"), ini);
        arg.replace(QStringLiteral("{empty}"), empty);
    }
    if (!args.contains(QStringLiteral("--settings")))
        args << QStringLiteral("--settings") << empty;
    int actual = -1;
    const QString errors = runCommandCapturingErrors(args, actual);
    QCOMPARE(actual, status);
    if (!named.isEmpty())
        QVERIFY2(errors.startsWith(QStringLiteral("pixwright rename: ") + named),
                 qPrintable(errors));
    // Without --yes nothing changes, and the settings file is only read.
    QCOMPARE(filesIn(pictures), QStringList({"a.jpg", "b.png"}));
    QCOMPARE(readAll(ini), iniBefore);
}

void TestNaming::renameCommandRenames()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString pictures = dir.filePath(QStringLiteral("pictures"));
    QVERIFY(QDir().mkpath(pictures));
    for (const char *name : {"a.jpg", "b.png", "c.bmp", "d.jpg"})
        QVERIFY(writePicture(pictures + u'/' + QLatin1String(name), 8, 8, nullptr));
    const QString ini = dir.filePath(QStringLiteral("Set.ini"));
    QVERIFY(WriteIni(Keys::kSectionOpenPath, Keys::kSourceFolder, pictures + u'/', ini));
    QVERIFY(WriteIni(Keys::kSectionSelected, Keys::kFilter, QStringLiteral("*.jpg;*.png"), ini));
    QVERIFY(WriteIni(Keys::kSectionSelected, Keys::kRenameRule, QStringLiteral("1000001"), ini));
    QVERIFY(WriteIni(Keys::kSectionSelected, Keys::kRenameSeparator, QStringLiteral("13"), ini));
    const QByteArray iniBefore = readAll(ini);

    // Remembered folder, types, rule and blank separator; only d.jpg and a.jpg chosen.
    QCOMPARE(renameCommand({QStringLiteral("--settings"), ini, QStringLiteral("--select"),
                            QStringLiteral("d.jpg"), QStringLiteral("--select"),
                            QStringLiteral("a.jpg"), QStringLiteral("--yes")}),
             0);
    QCOMPARE(filesIn(pictures), QStringList({"1 a.jpg", "2 d.jpg", "b.png", "c.bmp"}));

    // The word for the blank, a rule from the command line, the types given.
    QCOMPARE(renameCommand({pictures, QStringLiteral("--settings"), ini, QStringLiteral("--types"),
                            QStringLiteral("bmp"), QStringLiteral("--rule"),
                            QStringLiteral("1000000"), QStringLiteral("--separator=$"),
                            QStringLiteral("--yes")}),
             0);
    QCOMPARE(filesIn(pictures), QStringList({"1 a.jpg", "1$.bmp", "2 d.jpg", "b.png"}));

    // The word "空格" and a blank itself both give the blank separator.
    for (const QString &blank : {QStringLiteral("空格"), QStringLiteral(" ")}) {
        QCOMPARE(renameCommand({pictures, QStringLiteral("--settings"), ini,
                                QStringLiteral("--types"), QStringLiteral("png"),
                                QStringLiteral("--rule"), QStringLiteral("1000001"),
                                QStringLiteral("--separator"), blank, QStringLiteral("--yes")}),
                 0);
    }
    QCOMPARE(filesIn(pictures), QStringList({"1 1 b.png", "1 a.jpg", "1$.bmp", "2 d.jpg"}));
    QCOMPARE(readAll(ini), iniBefore);

    // --undo takes back the last rename only, once; the journal sits beside the settings file.
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("pixwright-rename-undo.json"))));
    QCOMPARE(renameCommand({QStringLiteral("--settings"), ini, QStringLiteral("--undo")}), 0);
    QCOMPARE(filesIn(pictures), QStringList({"1 a.jpg", "1 b.png", "1$.bmp", "2 d.jpg"}));
    QCOMPARE(renameCommand({QStringLiteral("--settings"), ini, QStringLiteral("--undo")}), 1);
    QCOMPARE(filesIn(pictures), QStringList({"1 a.jpg", "1 b.png", "1$.bmp", "2 d.jpg"}));
}

void TestNaming::undoRename_data()
{
    QTest::addColumn<QString>("disturbance"); // what happens to b's result before the undo
    QTest::addColumn<QString>("reason");      // why b stays; empty when it comes back
    QTest::addColumn<QStringList>("after");
    QTest::newRow("untouched") << QString() << QString() << QStringList{"a.jpg", "b.jpg"};
    QTest::newRow("changed since")
            << "append" << QStringLiteral("改名后文件已被修改") << QStringList{"2_b.jpg", "a.jpg"};
    QTest::newRow("touched since")
            << "touch" << QStringLiteral("改名后文件已被修改") << QStringList{"2_b.jpg", "a.jpg"};
    QTest::newRow("moved away") << "remove" << QStringLiteral("文件不存在") << QStringList{"a.jpg"};
    QTest::newRow("old name taken") << "occupy" << QStringLiteral("原文件名已被另一个文件占用")
                                    << QStringList{"2_b.jpg", "a.jpg", "b.jpg"};
}

// The undo renames back what is unchanged under its new name, says why for the rest, never
// replaces a file, and works from the journal alone (as after a restart).
void TestNaming::undoRename()
{
    QFETCH(QString, disturbance);
    QFETCH(QString, reason);
    QFETCH(QStringList, after);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("pictures/"));
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(writePicture(folder + QStringLiteral("a.jpg"), 8, 8, "JPG"));
    QVERIFY(writePicture(folder + QStringLiteral("b.jpg"), 9, 9, "JPG"));
    RecordingHost host;
    const RenameOutcome done = RenameOnlyRun(
            folder, true, selectionOf(folder, {QStringLiteral("a.jpg"), QStringLiteral("b.jpg")}),
            ruleOf(QStringLiteral("1000001")), host);
    QCOMPARE(done.renamed.size(), 2);
    const QString journal = dir.filePath(QStringLiteral("journal.json"));
    QCOMPARE(WriteRenameJournal(JournalOfRenames(folder, done.renamed), journal), QString());

    const QString b = folder + QStringLiteral("2_b.jpg");
    if (disturbance == u"append") {
        QFile file(b);
        QVERIFY(file.open(QIODevice::Append));
        file.write("x");
    } else if (disturbance == u"touch") {
        QVERIFY(setModified(b, QDateTime::currentDateTime().addSecs(-3600)));
    } else if (disturbance == u"remove") {
        QVERIFY(QFile::remove(b));
    } else if (disturbance == u"occupy") {
        QVERIFY(writeBytes(folder + QStringLiteral("b.jpg"), "someone else's"));
    }

    const UndoOutcome outcome = UndoLastRename(journal);
    QCOMPARE(filesIn(folder), after);
    QVERIFY(!QFile::exists(journal)); // done once
    QCOMPARE(outcome.restored.size(), reason.isEmpty() ? 2 : 1);
    QCOMPARE(outcome.refused.size(), reason.isEmpty() ? 0 : 1);
    if (!reason.isEmpty()) {
        QCOMPARE(outcome.refused.first().first, QStringLiteral("“b.jpg” ← “2_b.jpg”"));
        QVERIFY2(outcome.refused.first().second.startsWith(reason),
                 qPrintable(outcome.refused.first().second));
        QVERIFY(outcome.text().contains(outcome.refused.first().second));
    }
    if (disturbance == u"occupy")
        QCOMPARE(readAll(folder + QStringLiteral("b.jpg")), QByteArray("someone else's"));
}

void TestNaming::fitFileName_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("ending");
    QTest::addColumn<QString>("expected");
    const QString jpg = QStringLiteral(".jpg");
    QTest::newRow("short") << QStringLiteral("a") << jpg << QStringLiteral("a.jpg");
    QTest::newRow("exactly 255") << QString(251, u'a') << jpg << QString(251, u'a') + jpg;
    QTest::newRow("one over") << QString(252, u'a') << jpg << QString(251, u'a') + jpg;
    // 3-byte characters: 83 of them and ".jpg" is 253 bytes; 84 would be 256.
    QTest::newRow("Chinese") << QString(90, QChar(0x957F)) << jpg
                             << QString(83, QChar(0x957F)) + jpg;
    // A 4-byte character (a surrogate pair in the text) is never split.
    const QString camera = QString::fromUtf8("\xF0\x9F\x93\xB7");
    QTest::newRow("surrogate pair") << QString(2, u'a') + camera.repeated(70) << jpg
                                    << QString(2, u'a') + camera.repeated(62) + jpg;
    const QString copy = QStringLiteral(" 副本12.jpg");
    QTest::newRow("copy number kept")
            << QString(260, u'b') << copy << QString(255 - 13, u'b') + copy;
}

void TestNaming::fitFileName()
{
    QFETCH(QString, base);
    QFETCH(QString, ending);
    QFETCH(QString, expected);
    const QString fitted = FitFileName(base, ending);
    QCOMPARE(fitted, expected);
    QVERIFY(fitted.toUtf8().size() <= kMaxFileNameBytes);
    QCOMPARE(QString::fromUtf8(fitted.toUtf8()), fitted); // no half character
}

QTEST_GUILESS_MAIN(TestNaming)
#include "tst_naming.moc"
