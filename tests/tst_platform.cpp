#include "platform/apppaths.h"
#include "platform/colour.h"
#include "platform/fileutils.h"
#include "platform/nativefile.h"
#include "platform/process.h"
#include "platform/scratchfolder.h"
#include "platform/sourceselection.h"
#include "platform/systemerror.h"
#include "platform/systemmemory.h"
#include "platform/textcodec.h"
#include "platform/translations.h"
#include "tests/support/testfiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/stat.h>

#include <ctime>

class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
    void uiLanguage_data();
    void uiLanguage();
    void englishTextsBuiltIn();
    void listPicturesFiltersAndSorts();
    void shownFileNames_data();
    void shownFileNames();
    void fifoIsNotOpened();
    void parsePictureTypes_data();
    void parsePictureTypes();
    void selectionByName();
    void trailingSlash();
    void installedLayout_data();
    void installedLayout();
    void systemErrorText_data();
    void systemErrorText();

    void cutAtNul_data();
    void cutAtNul();
    void gb18030RoundTrip_data();
    void gb18030RoundTrip();
    void gb18030DamagedInput();
    void characterBoundaries_data();
    void characterBoundaries();
    void utf8Validity_data();
    void utf8Validity();
    void colours();
    void colourText_data();
    void colourText();
    void specialFolders();
    void generalDateTime_data();
    void generalDateTime();
    void fileTimes_data();
    void fileTimes();
    void fileTimesOfMissingFile();
    void scratchFolderOwnAndStale();
    void physicalMemoryAsTheKernelCountsIt();
    void runTrue();
    void runMissingProgram();
    void runPassesArgumentsUntouched();
    void runTimeOut();
    void runYieldsWhileWaiting();
    void runReportsCrashAndLargeOutput();
    void runInItsOwnProcessGroup();
};

namespace {

// Switches the process's time zone for one test and back.
class ZoneSwitch
{
public:
    explicit ZoneSwitch(const QByteArray &zone)
        : m_old(qgetenv("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~ZoneSwitch()
    {
        if (m_old.isNull()) // an empty TZ would mean UTC, not "unset"
            qunsetenv("TZ");
        else
            qputenv("TZ", m_old);
        tzset();
    }
    ZoneSwitch(const ZoneSwitch &) = delete;
    ZoneSwitch &operator=(const ZoneSwitch &) = delete;

private:
    QByteArray m_old;
};

} // namespace

static void touch(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

void TestPlatform::uiLanguage_data()
{
    QTest::addColumn<QStringList>("settings"); // LC_ALL, LC_MESSAGES, LANG
    QTest::addColumn<bool>("english");
    QTest::newRow("nothing set") << QStringList{"", "", ""} << false;
    QTest::newRow("C") << QStringList{"", "", "C.UTF-8"} << false;
    QTest::newRow("POSIX") << QStringList{"POSIX", "", ""} << false;
    QTest::newRow("Chinese") << QStringList{"", "", "zh_CN.UTF-8"} << false;
    QTest::newRow("Taiwan") << QStringList{"", "", "zh_TW.UTF-8"} << false;
    QTest::newRow("English") << QStringList{"", "", "en_US.UTF-8"} << true;
    QTest::newRow("bare en") << QStringList{"", "", "en"} << true;
    QTest::newRow("English with a modifier") << QStringList{"", "", "en_GB@euro"} << true;
    QTest::newRow("German") << QStringList{"", "", "de_DE.UTF-8"} << false;
    QTest::newRow("not English, just en-like") << QStringList{"", "", "eo.UTF-8"} << false;
    QTest::newRow("LC_MESSAGES before LANG") << QStringList{"", "en_US.UTF-8", "zh_CN"} << true;
    QTest::newRow("LC_ALL before LC_MESSAGES") << QStringList{"C.UTF-8", "en_US", "en_US"} << false;
}

void TestPlatform::uiLanguage()
{
    QFETCH(QStringList, settings);
    QFETCH(bool, english);
    QCOMPARE(Pw::UiLanguageOf(settings.at(0), settings.at(1), settings.at(2)),
             english ? Pw::UiLanguage::English : Pw::UiLanguage::Chinese);
}

// The English texts are compiled from translations/ and built into the library.
void TestPlatform::englishTextsBuiltIn()
{
    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral(":/i18n/pixwright_en.qm")));
    QCOMPARE(translator.translate("Pw::CommandLine", "未知的选项"),
             QStringLiteral("unknown option"));
}

void TestPlatform::listPicturesFiltersAndSorts()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QStringList files = {"b.JPG",       "a.jpeg",    "B.jpg", "c.png", "d.BMP",
                               ".hidden.jpg", "notes.txt", "jpg",   "e.gif"};
    for (const QString &name : files)
        touch(dir.filePath(name));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.jpg")));

    const Pw::PictureTypes all = Pw::kAllPictureTypes;
    // Case-insensitive order; "B.jpg" and "b.JPG" tie and are ordered by exact name.
    QCOMPARE(Pw::ListPictures(dir.path(), all),
             QStringList({"a.jpeg", "B.jpg", "b.JPG", "c.png", "d.BMP"}));
    QCOMPARE(Pw::ListPictures(dir.path() + u'/', Pw::PictureType::Png), QStringList({"c.png"}));
    QCOMPARE(Pw::ListPictures(dir.path(), {}), QStringList());
    QCOMPARE(Pw::ListPictures(dir.path() + QStringLiteral("/missing"), all), QStringList());
}

void TestPlatform::parsePictureTypes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("mask");
    QTest::newRow("all") << "jpg,png,bmp" << 7;
    QTest::newRow("upper case and jpeg") << "JPEG,Bmp" << 5;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("unknown word") << "jpg,gif" << 0;
}

void TestPlatform::parsePictureTypes()
{
    QFETCH(QString, text);
    QFETCH(int, mask);
    QCOMPARE(Pw::ParsePictureTypes(text).toInt(), mask);
}

void TestPlatform::selectionByName()
{
    Pw::SourceSelection selection;
    selection.folder = QStringLiteral("/pictures/");
    selection.names = QStringList({"a.jpg", "b.jpg", "c.jpg"});
    QCOMPARE(selection.select({}), QStringList());
    QCOMPARE(selection.selectedCount(), 3);
    QCOMPARE(selection.select({"c.jpg", "x.jpg"}), QStringList({"x.jpg"}));
    QCOMPARE(selection.selected, QList<bool>({false, false, true}));
    QCOMPARE(selection.pathOf(2), QStringLiteral("/pictures/c.jpg"));
}

void TestPlatform::trailingSlash()
{
    QCOMPARE(Pw::WithTrailingSlash(QStringLiteral("/a/b")), QStringLiteral("/a/b/"));
    QCOMPARE(Pw::WithTrailingSlash(QStringLiteral("/a/b/")), QStringLiteral("/a/b/"));
    QCOMPARE(Pw::WithTrailingSlash(QString()), QString());
    Pw::SetAppFolder(QStringLiteral("/opt/pixwright"));
    QCOMPARE(Pw::DemoFolder(), QStringLiteral("/opt/pixwright/演示/"));
}

// Installed, data and tool sit in their own folders beside bin/; the build tree keeps them in
// the executable's folder, and a tool missing from its installed place is looked for beside.
void TestPlatform::installedLayout_data()
{
    QTest::addColumn<bool>("dataInstalled");
    QTest::addColumn<bool>("toolInstalled");
    QTest::addColumn<QString>("demo");
    QTest::addColumn<QString>("tool");
    QTest::newRow("build tree") << false << false << "bin/演示/"
                                << "bin/pwReadSM";
    QTest::newRow("installed") << true << true << "share/pixwright/演示/"
                               << "libexec/pixwright/pwReadSM";
    QTest::newRow("installed, tool beside") << true << false << "share/pixwright/演示/"
                                            << "bin/pwReadSM";
}

void TestPlatform::installedLayout()
{
    QFETCH(bool, dataInstalled);
    QFETCH(bool, toolInstalled);
    QFETCH(QString, demo);
    QFETCH(QString, tool);
    QTemporaryDir prefix;
    const QString root = prefix.path() + u'/';
    QVERIFY(QDir().mkpath(root + QStringLiteral("bin")));
    if (dataInstalled)
        QVERIFY(QDir().mkpath(root + QStringLiteral("share/pixwright/pic")));
    if (toolInstalled) {
        QVERIFY(QDir().mkpath(root + QStringLiteral("libexec/pixwright")));
        QVERIFY(PwTest::writeBytes(root + QStringLiteral("libexec/pixwright/pwReadSM"), "#!"));
    }
    Pw::SetAppFolder(root + QStringLiteral("bin"));
    QCOMPARE(Pw::RunsInstalled(), dataInstalled);
    QCOMPARE(Pw::DemoFolder(), root + demo);
    QCOMPARE(Pw::IllustrationFolder(), QString(root + demo).replace(QStringLiteral("演示"), "pic"));
    QCOMPARE(Pw::CameraToolPath(), root + tool);
    Pw::SetAppFolder(QString());
}

void TestPlatform::systemErrorText_data()
{
    QTest::addColumn<int>("errnum");
    QTest::addColumn<QString>("text"); // the start of the message
    QTest::newRow("disk full") << ENOSPC << QStringLiteral("磁盘已满（ENOSPC: ");
    QTest::newRow("read-only") << EROFS << QStringLiteral("只读文件系统（EROFS: ");
    QTest::newRow("no access") << EACCES << QStringLiteral("没有权限（EACCES: ");
    QTest::newRow("not permitted") << EPERM << QStringLiteral("没有权限（EPERM: ");
    QTest::newRow("missing") << ENOENT << QStringLiteral("文件不存在（ENOENT: ");
    QTest::newRow("name too long") << ENAMETOOLONG << QStringLiteral("文件名太长（ENAMETOOLONG: ");
    QTest::newRow("no cause of its own: the detail alone") << EDOM << QStringLiteral("EDOM: ");
}

void TestPlatform::systemErrorText()
{
    QFETCH(int, errnum);
    QFETCH(QString, text);
    const QString message = Pw::SystemErrorText(errnum);
    QVERIFY2(message.startsWith(text), qPrintable(message));
    QVERIFY2(message.contains(QString::fromLocal8Bit(std::strerror(errnum))), qPrintable(message));
}

void TestPlatform::cutAtNul_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("NUL inside") << QString(QStringLiteral("abc") + QChar(0) + QStringLiteral("xyz"))
                                << "abc";
    QTest::newRow("no NUL") << "abc"
                            << "abc";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("NUL first") << QString(QChar(0) + QStringLiteral("x")) << "";
    QTest::newRow("two NULs") << QString(QStringLiteral("a") + QChar(0) + QChar(0)) << "a";
}

void TestPlatform::cutAtNul()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(Pw::CutAtNul(text), expected);
    QCOMPARE(Pw::CutAtNul(text.toUtf8()), expected.toUtf8());
}

void TestPlatform::gb18030RoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ASCII") << "Set.ini" << QByteArray("Set.ini");
    QTest::newRow("GBK") << "已选择" << QByteArray::fromHex("D2D1D1A1D4F1");
    QTest::newRow("euro sign (GBK 0x80 in CP936, 4 bytes here)")
            << "€" << QByteArray::fromHex("A2E3");
    QTest::newRow("outside the BMP") << "😀" << QByteArray::fromHex("9439FC36");
    QTest::newRow("BMP outside GBK") << "ǹ" << QByteArray::fromHex("A8BF");
    QTest::newRow("empty") << "" << QByteArray();
}

void TestPlatform::gb18030RoundTrip()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(Pw::ToGb18030(text), bytes);
    QCOMPARE(Pw::FromGb18030(bytes), text);
}

void TestPlatform::gb18030DamagedInput()
{
    // Stray bytes, a lead byte with a bad trail, a cut-off 4-byte character.
    QCOMPARE(Pw::FromGb18030(QByteArray("a\x80"
                                        "b\xFF")),
             QStringLiteral("a\uFFFDb\uFFFD"));
    QCOMPARE(Pw::FromGb18030(QByteArray::fromHex("D27F41")), QStringLiteral("\uFFFD\u007FA"));
    QCOMPARE(Pw::FromGb18030(QByteArray::fromHex("4194")), QStringLiteral("A\uFFFD"));
    QCOMPARE(Pw::FromGb18030(QByteArray::fromHex("9439FC")).left(1), QStringLiteral("\uFFFD"));
    QVERIFY(!Pw::FromGb18030(QByteArray::fromHex("9439FC")).contains(QStringLiteral("😀")));
    QCOMPARE(Pw::FromGb18030(QByteArray("a\0b", 3)),
             QString(QStringLiteral("a") + QChar(0) + u'b'));
    // An unpaired surrogate cannot be encoded: '?' stands in for it.
    const QString broken = QStringLiteral("x") + QChar(0xD800) + QStringLiteral("y");
    QCOMPARE(Pw::ToGb18030(broken), QByteArray("x?y"));
    // Every byte pair decodes without trouble.
    for (int lead = 0; lead < 256; ++lead) {
        QByteArray pairs;
        for (int trail = 0; trail < 256; ++trail)
            pairs += char(lead) + QByteArray(1, char(trail));
        QVERIFY(!Pw::FromGb18030(pairs).isEmpty());
    }
}

void TestPlatform::characterBoundaries_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("prefix");
    const QByteArray two = QByteArray::fromHex("D6D0");
    const QByteArray four = QByteArray::fromHex("9439FC36");
    QTest::newRow("ASCII") << QByteArray("abcdef") << 4 << 4;
    QTest::newRow("before a 2-byte char") << "ab" + two << 3 << 2;
    QTest::newRow("after a 2-byte char") << "ab" + two << 4 << 4;
    QTest::newRow("inside a 4-byte char") << "a" + four << 4 << 1;
    QTest::newRow("after a 4-byte char") << "a" + four << 5 << 5;
    QTest::newRow("limit beyond the end") << two << 10 << 2;
    QTest::newRow("stray lead byte counts as one") << QByteArray::fromHex("8141FF") << 2 << 2;
    QTest::newRow("zero") << two << 0 << 0;
}

void TestPlatform::characterBoundaries()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, limit);
    QFETCH(int, prefix);
    QCOMPARE(Pw::Gb18030PrefixLength(bytes, limit), qsizetype(prefix));
}

void TestPlatform::utf8Validity_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");
    QTest::newRow("ASCII") << QByteArray("Canon EOS") << true;
    QTest::newRow("Chinese") << QByteArray("中文") << true;
    QTest::newRow("emoji") << QByteArray("\xF0\x9F\x98\x80") << true;
    QTest::newRow("GBK bytes") << QByteArray::fromHex("D6D0CEC4") << false;
    QTest::newRow("overlong") << QByteArray("\xC0\x80") << false;
    QTest::newRow("overlong 3 bytes") << QByteArray("\xE0\x80\x80") << false;
    QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << false;
    QTest::newRow("beyond U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << false;
    QTest::newRow("cut short") << QByteArray("\xE4\xB8") << false;
}

void TestPlatform::utf8Validity()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    QCOMPARE(Pw::IsValidUtf8(bytes), valid);
}

void TestPlatform::colours()
{
    QCOMPARE(Pw::ColourFromBgr(0x0000FF), QColor(255, 0, 0));
    QCOMPARE(Pw::ColourFromBgr(0xFF0000), QColor(0, 0, 255));
    QCOMPARE(Pw::ColourFromBgr(0x123456), QColor(0x56, 0x34, 0x12));
    QCOMPARE(Pw::BgrFromColour(QColor(0x56, 0x34, 0x12)), 0x123456);
    QCOMPARE(Pw::BgrFromColour(QColor(255, 255, 255, 0)), 0xFFFFFF);
    QCOMPARE(Pw::BgrFromColour(QColor::fromHsv(0, 255, 255)), 0x0000FF);
    // The high byte is no part of the colour.
    QCOMPARE(Pw::ColourFromBgr(qint32(0xFF00FF00u)), QColor(0, 255, 0));
    // Windows system colours of older files: window background and button face.
    QCOMPARE(Pw::ColourFromBgr(Pw::kSystemWindowColour), QColor(255, 255, 255));
    QCOMPARE(Pw::ColourFromBgr(qint32(0x8000000Fu)), QColor(0xF0, 0xF0, 0xF0));
    // Past the last system colour index: the low bytes as usual.
    QCOMPARE(Pw::ColourFromBgr(qint32(0x80000040u)), QColor(0x40, 0, 0));
}

void TestPlatform::colourText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("red") << "255" << true << 255;
    QTest::newRow("blanks") << " 65280 " << true << 65280;
    QTest::newRow("negative") << "-16777216" << true << -16777216;
    QTest::newRow("system colour") << "-2147483643" << true << int(0x80000005u);
    QTest::newRow("lowest") << "-2147483648" << true << int(0x80000000u);
    QTest::newRow("unsigned form") << "4294967295" << true << -1;
    QTest::newRow("too large") << "4294967296" << false << 0;
    QTest::newRow("too small") << "-2147483649" << false << 0;
    QTest::newRow("fraction") << "12.5" << false << 0;
    QTest::newRow("hex") << "0xFF" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
}

void TestPlatform::colourText()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    const std::optional<qint32> parsed = Pw::ParseColourText(text);
    QCOMPARE(parsed.has_value(), ok);
    if (ok) {
        QCOMPARE(*parsed, value);
        QCOMPARE(Pw::ParseColourText(Pw::ColourText(*parsed)), parsed);
    }
}

void TestPlatform::specialFolders()
{
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    QVERIFY(QDir(home.path()).mkpath(QStringLiteral("config")));
    QFile dirs(home.filePath(QStringLiteral("config/user-dirs.dirs")));
    QVERIFY(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_DESKTOP_DIR=\"$HOME/桌面\"\n");
    dirs.close();

    // The desktop is made when missing: the batch run writes into it.
    const QString desktop = home.filePath(QStringLiteral("桌面"));
    QVERIFY(!QFileInfo::exists(desktop));
    QCOMPARE(Pw::SpecialFolder(0), desktop + u'/');
    QVERIFY(QFileInfo(desktop).isDir());
    QCOMPARE(Pw::SpecialFolder(2), QDir::tempPath() + u'/');
    QCOMPARE(Pw::SpecialFolder(7), home.filePath(QStringLiteral("config/autostart/")));
    for (const int none : {3, 4, 6, 9, 10, 11, 13, 14, 18, 19, -1})
        QVERIFY2(Pw::SpecialFolder(none).isEmpty(), qPrintable(QString::number(none)));
    for (const int some : {1, 5, 8, 12, 15, 16, 17})
        QVERIFY2(Pw::SpecialFolder(some).endsWith(u'/'), qPrintable(QString::number(some)));

    qputenv("HOME", oldHome);
    if (oldConfig.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", oldConfig);
}

void TestPlatform::generalDateTime_data()
{
    QTest::addColumn<QDateTime>("dateTime");
    QTest::addColumn<QString>("text");
    QTest::newRow("afternoon") << QDateTime(QDate(2024, 6, 3), QTime(14, 5, 9))
                               << "2024/6/3 14:05:09";
    QTest::newRow("morning, one-digit hour")
            << QDateTime(QDate(2019, 12, 31), QTime(7, 0, 1)) << "2019/12/31 7:00:01";
    QTest::newRow("midnight: date alone")
            << QDateTime(QDate(2024, 6, 1), QTime(0, 0, 0)) << "2024/6/1";
    QTest::newRow("one second past midnight")
            << QDateTime(QDate(2024, 6, 1), QTime(0, 0, 1)) << "2024/6/1 0:00:01";
    QTest::newRow("invalid") << QDateTime() << "";
}

void TestPlatform::generalDateTime()
{
    QFETCH(QDateTime, dateTime);
    QFETCH(QString, text);
    QCOMPARE(Pw::FormatGeneralDateTime(dateTime), text);
    if (dateTime.isValid())
        QCOMPARE(Pw::ParseGeneralDateTime(text), dateTime);
    QVERIFY(!Pw::ParseGeneralDateTime(QStringLiteral("2024:06:01 10:20:30")).isValid());
    QVERIFY(!Pw::ParseGeneralDateTime(QStringLiteral("2024/2/30")).isValid());
}

void TestPlatform::fileTimes_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QDateTime>("utc");
    QTest::addColumn<QString>("local");
    QTest::newRow("Shanghai: into the next day")
            << QByteArray("Asia/Shanghai") << QDateTime(QDate(2024, 5, 31), QTime(23, 30), Qt::UTC)
            << "2024/6/1 7:30:00";
    QTest::newRow("Shanghai: local midnight")
            << QByteArray("Asia/Shanghai") << QDateTime(QDate(2024, 6, 1), QTime(16, 0), Qt::UTC)
            << "2024/6/2";
    QTest::newRow("Berlin summer (daylight saving)")
            << QByteArray("Europe/Berlin") << QDateTime(QDate(2024, 7, 15), QTime(10, 0), Qt::UTC)
            << "2024/7/15 12:00:00";
    QTest::newRow("Berlin winter")
            << QByteArray("Europe/Berlin") << QDateTime(QDate(2024, 1, 15), QTime(10, 0), Qt::UTC)
            << "2024/1/15 11:00:00";
    QTest::newRow("New York summer")
            << QByteArray("America/New_York") << QDateTime(QDate(2024, 7, 1), QTime(2, 0), Qt::UTC)
            << "2024/6/30 22:00:00";
}

void TestPlatform::fileTimes()
{
    QFETCH(QByteArray, zone);
    QFETCH(QDateTime, utc);
    QFETCH(QString, local);
    const ZoneSwitch zoneSwitch(zone);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.jpg"));
    touch(path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(utc, QFileDevice::FileModificationTime));
    QVERIFY(file.setFileTime(utc.addSecs(60), QFileDevice::FileAccessTime));
    file.close();

    const Pw::FileTimes times = Pw::ReadFileTimes(path);
    QVERIFY(times.ok);
    QCOMPARE(Pw::FormatGeneralDateTime(times.modified), local);
    QCOMPARE(times.modified.toUTC(), utc);
    QCOMPARE(times.accessed.toUTC(), utc.addSecs(60));
    // Birth time (or the status change) is now, not the back-dated write time.
    QVERIFY(qAbs(times.created.secsTo(QDateTime::currentDateTime())) < 120);
}

void TestPlatform::fileTimesOfMissingFile()
{
    const ZoneSwitch zoneSwitch("Asia/Shanghai");
    const Pw::FileTimes times = Pw::ReadFileTimes(QStringLiteral("/nonexistent/pw/a.jpg"));
    QVERIFY(!times.ok);
    QCOMPARE(Pw::FormatGeneralDateTime(times.modified), QStringLiteral("1970/1/1 8:00:00"));
    QCOMPARE(times.created, times.modified);
    QCOMPARE(times.accessed, times.modified);
    QVERIFY(!Pw::ReadFileTimes(QString()).ok);
}

void TestPlatform::runTrue()
{
    Pw::ProcessResult result = Pw::RunAndWait(QStringLiteral("true"), {});
    QVERIFY(result.started);
    QVERIFY(!result.timedOut);
    QCOMPARE(result.exitCode, 0);
    QVERIFY(result.succeeded());
    result = Pw::RunAndWait(QStringLiteral("false"), {});
    QVERIFY(result.started);
    QCOMPARE(result.exitCode, 1);
    QVERIFY(!result.succeeded());
}

void TestPlatform::runMissingProgram()
{
    QElapsedTimer clock;
    clock.start();
    int yields = 0;
    const Pw::ProcessResult result = Pw::RunAndWait(QStringLiteral("/nonexistent/pwReadSM"),
                                                    {QStringLiteral("-te")}, [&] { ++yields; });
    QVERIFY(!result.started);
    QVERIFY(!result.error.isEmpty());
    QVERIFY(!result.succeeded());
    QVERIFY(clock.elapsed() < 5000);
}

void TestPlatform::runPassesArgumentsUntouched()
{
    // No shell between: blanks, quotes, '$' and ';' arrive as they were given.
    const QString argument = QStringLiteral("/照片 2024/it's \"$HOME\"; rm -rf x");
    const Pw::ProcessResult result = Pw::RunAndWait(
            QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("printf %s \"$1\" >&2"),
                                   QStringLiteral("sh"), argument});
    QVERIFY(result.succeeded());
    QCOMPARE(QString::fromUtf8(result.standardError), argument);
}

void TestPlatform::runTimeOut()
{
    QElapsedTimer clock;
    clock.start();
    const Pw::ProcessResult result = Pw::RunAndWait(QStringLiteral("sleep"), {QStringLiteral("30")},
                                                    {}, 200);
    QVERIFY(result.started);
    QVERIFY(result.timedOut);
    QVERIFY(!result.succeeded());
    QVERIFY(!result.error.isEmpty());
    QVERIFY(clock.elapsed() < 10000);
}

void TestPlatform::runYieldsWhileWaiting()
{
    int yields = 0;
    const Pw::ProcessResult result = Pw::RunAndWait(QStringLiteral("sleep"),
                                                    {QStringLiteral("0.3")}, [&] { ++yields; });
    QVERIFY(result.succeeded());
    // At most 20 ms between yields: a 300 ms wait yields several times.
    QVERIFY2(yields >= 3, qPrintable(QString::number(yields)));
}

void TestPlatform::runReportsCrashAndLargeOutput()
{
    Pw::ProcessResult result = Pw::RunAndWait(QStringLiteral("sh"),
                                              {QStringLiteral("-c"), QStringLiteral("kill -9 $$")});
    QVERIFY(result.started);
    QVERIFY(result.crashed);
    QVERIFY(!result.succeeded());
    // Much more output than a pipe holds must not stall the child.
    result = Pw::RunAndWait(
            QStringLiteral("sh"),
            {QStringLiteral("-c"),
             QStringLiteral("head -c 4000000 /dev/zero; head -c 200000 /dev/zero >&2")},
            {}, 20000);
    QVERIFY(result.succeeded());
    QCOMPARE(result.standardError.size(), 64 * 1024);
}

// A Ctrl+C on the terminal goes to this program's process group; the child is not in it.
void TestPlatform::runInItsOwnProcessGroup()
{
    const Pw::ProcessResult result = Pw::RunAndWait(
            QStringLiteral("sh"),
            {QStringLiteral("-c"), QStringLiteral("echo $$ $(cut -d' ' -f5 /proc/$$/stat) >&2")});
    QVERIFY(result.succeeded());
    const QStringList ids = QString::fromLatin1(result.standardError).split(u' ');
    QCOMPARE(ids.size(), 2);
    const qint64 pid = ids[0].toLongLong();
    const qint64 group = ids[1].trimmed().toLongLong();
    QVERIFY(pid > 0);
    QCOMPARE(group, pid);
    QVERIFY(group != qint64(::getpgrp()));

    // Ctrl+C sent to this program's group while the child runs: this program hears it, the child
    // finishes its work. (A group of our own first, so that nothing else hears it.)
    QCOMPARE(::setpgid(0, 0), 0);
    static volatile std::sig_atomic_t heard = 0;
    struct sigaction note = {};
    note.sa_handler = [](int) {
        heard = 1;
    };
    sigemptyset(&note.sa_mask);
    struct sigaction previous = {};
    QCOMPARE(::sigaction(SIGINT, &note, &previous), 0);
    bool sent = false;
    const Pw::ProcessResult interrupted = Pw::RunAndWait(
            QStringLiteral("sh"),
            {QStringLiteral("-c"), QStringLiteral("sleep 0.3; echo done >&2")}, [&] {
                if (!sent)
                    sent = ::kill(0, SIGINT) == 0;
            });
    ::sigaction(SIGINT, &previous, nullptr);
    QVERIFY(sent);
    QVERIFY(heard);
    QVERIFY(interrupted.succeeded());
    QCOMPARE(interrupted.standardError, QByteArray("done\n"));
}

void TestPlatform::shownFileNames_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::newRow("ASCII") << QByteArray("a.jpg") << QStringLiteral("a.jpg");
    QTest::newRow("UTF-8") << QByteArray("\xE9\xA3\x8E.jpg") << QStringLiteral("风.jpg");
    QTest::newRow("GBK") << QByteArray("\xB7\xE7\xBE\xB0.jpg") << QStringLiteral("风景.jpg");
    QTest::newRow("GB18030 four bytes") << QByteArray("\x81\x30\x81\x30\xB7\xE7")
                                        << QString(QChar(0x80)) + QStringLiteral("风");
    QTest::newRow("neither") << QByteArray("\xFF\xFE.jpg") << QStringLiteral("\\xFF\\xFE.jpg");
    QTest::newRow("GBK cut in half") << QByteArray("a\xB7.jpg") << QStringLiteral("a\\xB7.jpg");
    QTest::newRow("UTF-8 kept around a stray byte")
            << QByteArray("\xE9\xA3\x8E\xFF") << QStringLiteral("风\\xFF");
}

void TestPlatform::shownFileNames()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    QCOMPARE(Pw::ShownFileName(bytes), shown);
    // A remembered pair maps the shown path back to the bytes on disk; others go as UTF-8.
    const QString folder = QStringLiteral("/nowhere/");
    Pw::RememberNativePath(folder + shown, "/nowhere/" + bytes);
    QCOMPARE(Pw::NativePath(folder + shown), QByteArray("/nowhere/") + bytes);
}

void TestPlatform::fifoIsNotOpened()
{
    QTemporaryDir dir;
    const QByteArray fifo = QFile::encodeName(dir.filePath(QStringLiteral("pipe.jpg")));
    QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
    QString error;
    // Would block for ever without O_NONBLOCK: no writer ever comes.
    QCOMPARE(Pw::OpenRegularFile(QFile::decodeName(fifo), &error), -1);
    QCOMPARE(error, Pw::NotRegularFileMessage());
    QCOMPARE(Pw::RegularFileSize(QFile::decodeName(fifo)), -1);
    QCOMPARE(Pw::ListPictures(dir.path(), Pw::PictureType::Jpg), QStringList());
}

// The memory budget of a run is a share of this figure: the kernel's MemTotal, in bytes.
void TestPlatform::physicalMemoryAsTheKernelCountsIt()
{
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    QVERIFY(meminfo.open(QIODevice::ReadOnly | QIODevice::Text));
    const QByteArray first = meminfo.readLine().simplified(); // "MemTotal: 8041560 kB"
    QVERIFY2(first.startsWith("MemTotal:") && first.endsWith(" kB"), first.constData());
    const qint64 kib = first.split(' ').at(1).toLongLong();
    QVERIFY(kib > 0);
    QCOMPARE(Pw::PhysicalMemoryBytes(), kib * 1024);
}

void TestPlatform::scratchFolderOwnAndStale()
{
    QTemporaryDir tmp;
    const QByteArray previous = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(tmp.path()));
    QString made;
    {
        Pw::ScratchFolder scratch;
        QVERIFY(scratch.isValid());
        made = scratch.path();
        QVERIFY(made.startsWith(tmp.path() + QStringLiteral("/pixwright-%1-").arg(::getpid())));
        QVERIFY(made.endsWith(u'/'));
        QVERIFY(QDir(made).exists());
        // Our own, live: kept by the cleaning.
        QCOMPARE(Pw::RemoveStaleScratchFolders(), 0);
        QVERIFY(QDir(made).exists());
    }
    QVERIFY(!QDir(made).exists());
    qputenv("TMPDIR", QFile::encodeName(tmp.path() + QStringLiteral("/missing")));
    {
        Pw::ScratchFolder scratch;
        QVERIFY(!scratch.isValid());
        QCOMPARE(scratch.path(), QString());
        QVERIFY(!scratch.error().isEmpty());
    }
    qputenv("TMPDIR", previous);
}

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
