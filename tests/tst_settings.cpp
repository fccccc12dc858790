#include "platform/apppaths.h"
#include "platform/colour.h"
#include "platform/sourceselection.h"
#include "platform/textcodec.h"
#include "settings/inistore.h"
#include "settings/reportsettings.h"
#include "settings/settingskeys.h"
#include "settings/sourcesettings.h"
#include "tests/support/testfiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using PwTest::readAll;
using PwTest::writeBytes;

namespace {

QByteArray gbk(const char *hex)
{
    return QByteArray::fromHex(hex);
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void missingFileAndBlankNames();
    void valueStartingWithByteOrderMark();
    void writeRefusals_data();
    void writeRefusals();
    void roundTrip_data();
    void roundTrip();
    void bytesOnDisk();
    void namesIgnoreAsciiCaseOnly();
    void blanksAndQuotes_data();
    void blanksAndQuotes();
    void readLimit_data();
    void readLimit();
    void duplicatesFirstWins();
    void insertionPlaces_data();
    void insertionPlaces();
    void otherLinesKept();
    void utf8ByteOrderMark();
    void binaryFile();
    void largestSettingsFile();
    void oversizedFileLeftAlone();
    void unwritableFolder();
    void readOnlyFolderAndFile();
    void permissionsKept();
    void olderGbkFile();
    void randomWritesReadBack();
    void defaultFileChoice();
    void sourceChoices_data();
    void sourceChoices();
    void pictureTypesStored();
    void reportChoices_data();
    void reportChoices();

private:
    QString path() const { return m_dir.filePath(QStringLiteral("Set.ini")); }

    QTemporaryDir m_dir;
};

void TestSettings::init()
{
    QVERIFY(m_dir.isValid());
    QFile::remove(path());
    Pw::SetDefaultSettingsFile(path());
}

void TestSettings::missingFileAndBlankNames()
{
    QCOMPARE(Pw::ReadIni(QStringLiteral("已选择"), QStringLiteral("k")), QString());
    QVERIFY(!QFile::exists(path()));
    QVERIFY(Pw::WriteIni(QStringLiteral("已选择"), QStringLiteral("k"), QStringLiteral("0")));
    QCOMPARE(Pw::ReadIni(QStringLiteral("已选择"), QStringLiteral("k")), QStringLiteral("0"));
    QCOMPARE(Pw::ReadIni(QStringLiteral("已选择"), QStringLiteral("other")), QString());
    QCOMPARE(Pw::ReadIni(QStringLiteral("其他"), QStringLiteral("k")), QString());
    QCOMPARE(Pw::ReadIni(QStringLiteral("已选择"), QStringLiteral("   ")), QString());
    QCOMPARE(Pw::ReadIni(QStringLiteral("已选择"), QString()), QString());
    QCOMPARE(Pw::ReadIni(QStringLiteral(" "), QStringLiteral("k")), QString());
    // A named file takes precedence over the default one.
    const QString other = m_dir.filePath(QStringLiteral("other.ini"));
    QVERIFY(Pw::WriteIni(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("x"), other));
    QCOMPARE(Pw::ReadIni(QStringLiteral("s"), QStringLiteral("k"), other), QStringLiteral("x"));
    QCOMPARE(Pw::ReadIni(QStringLiteral("s"), QStringLiteral("k")), QString());
}

void TestSettings::writeRefusals_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("empty value") << "已选择"
                                 << "k"
                                 << "";
    QTest::newRow("blank value") << "已选择"
                                 << "k"
                                 << " \t ";
    QTest::newRow("blank key") << "已选择"
                               << "  "
                               << "1";
    QTest::newRow("empty section") << ""
                                   << "k"
                                   << "1";
    QTest::newRow("value with LF") << "已选择"
                                   << "k"
                                   << "a\nb";
    QTest::newRow("value with CR") << "已选择"
                                   << "k"
                                   << "a\rb";
    QTest::newRow("value with NUL") << "已选择"
                                    << "k" << QString(QStringLiteral("a") + QChar(0));
    QTest::newRow("key with =") << "已选择"
                                << "a=b"
                                << "1";
    QTest::newRow("key like a header") << "已选择"
                                       << "[x"
                                       << "1";
    QTest::newRow("section with ]") << "a]b"
                                    << "k"
                                    << "1";
    // Found by fuzzing: iconv has no GB18030 form for U+E843, which used to be stored as "?".
    QTest::newRow("value GB18030 cannot hold")
            << "已选择"
            << "k" << QString(QStringLiteral("a") + QChar(0xE843));
}

void TestSettings::writeRefusals()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    const QByteArray before = "[已选择]\r\nk=old\r\n";
    QVERIFY(writeBytes(path(), Pw::ToGb18030(QString::fromUtf8(before))));
    const QByteArray onDisk = readAll(path());
    QVERIFY(!Pw::WriteIni(section, key, value));
    QCOMPARE(readAll(path()), onDisk);
    QCOMPARE(Pw::ReadIni(QStringLiteral("已选择"), QStringLiteral("k")), QStringLiteral("old"));
}

void TestSettings::roundTrip_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("zero") << "0";
    QTest::newRow("negative colour") << "-2147483643";
    QTest::newRow("chinese path with blanks") << "/home/用户/照片 2024/";
    QTest::newRow("joined lines") << "第一行`^`第二行";
    QTest::newRow("outside GBK (4-byte)") << "表情😀𠀀";
    QTest::newRow("equals and brackets") << "a=b [c]";
    QTest::newRow("dollar and quotes inside") << "it's \"$HOME\"";
    // Values that trimming or quote stripping would change are written quoted.
    QTest::newRow("own quotes") << "\"引用\"";
    QTest::newRow("own single quotes") << "'x'";
    QTest::newRow("blanks at the ends") << "  两边有空格 ";
    QTest::newRow("a lone quote") << "\"";
    QTest::newRow("tab at the end") << "a\t";
}

void TestSettings::roundTrip()
{
    QFETCH(QString, value);
    QVERIFY(Pw::WriteIni(QStringLiteral("已选择"), QStringLiteral("值"), value));
    QCOMPARE(Pw::ReadIni(QStringLiteral("已选择"), QStringLiteral("值")), value);
    // And again, replacing the line in place.
    QVERIFY(Pw::WriteIni(QStringLiteral("已选择"), QStringLiteral("值"), value + u'x'));
    QCOMPARE(Pw::ReadIni(QStringLiteral("已选择"), QStringLiteral("值")), value + u'x');
}

void TestSettings::bytesOnDisk()
{
    QVERIFY(Pw::WriteIni(QStringLiteral("已选择"), QStringLiteral("文字"), QStringLiteral("值")));
    QVERIFY(Pw::WriteIni(QStringLiteral("默认打开路径"), QStringLiteral("目录位置"),
                         QStringLiteral("/照片/")));
    const QByteArray expected = '[' + gbk("D2D1D1A1D4F1") + "]\r\n" + gbk("CEC4D7D6") + '='
                                + gbk("D6B5") + "\r\n[" + gbk("C4ACC8CFB4F2BFAAC2B7BEB6") + "]\r\n"
                                + gbk("C4BFC2BCCEBBD6C3") + "=/" + gbk("D5D5C6AC") + "/\r\n";
    QCOMPARE(readAll(path()), expected);
}

void TestSettings::namesIgnoreAsciiCaseOnly()
{
    QVERIFY(writeBytes(path(), "[Options]\r\nQuality=16\r\n"));
    QCOMPARE(Pw::ReadIni(QStringLiteral("OPTIONS"), QStringLiteral("quality")),
             QStringLiteral("16"));
    QVERIFY(Pw::WriteIni(QStringLiteral("options"), QStringLiteral("QUALITY"),
                         QStringLiteral("17")));
    QCOMPARE(readAll(path()), QByteArray("[Options]\r\nQUALITY=17\r\n"));

    // 0x81 0x41 and 0x81 0x61 are two different characters whose trail bytes look like 'A'
    // and 'a'; folding them would mix up the keys.
    const QString upper = Pw::FromGb18030(gbk("8141"));
    const QString lower = Pw::FromGb18030(gbk("8161"));
    QVERIFY(upper != lower);
    QVERIFY(writeBytes(path(), "[s]\r\n" + gbk("8141") + "=upper\r\n"));
    QCOMPARE(Pw::ReadIni(QStringLiteral("s"), lower), QString());
    QCOMPARE(Pw::ReadIni(QStringLiteral("s"), upper), QStringLiteral("upper"));
    // 0x81 0x5D holds ']' as its trail byte: the header still ends at the real bracket.
    const QString bracketed = Pw::FromGb18030(gbk("815D"));
    QVERIFY(writeBytes(path(), '[' + gbk("815D") + "x]\r\nk=1\r\n"));
    QCOMPARE(Pw::ReadIni(bracketed + u'x', QStringLiteral("k")), QStringLiteral("1"));
    // Case folding stays ASCII: full-width letters are not folded.
    QVERIFY(Pw::WriteIni(QStringLiteral("s"), QStringLiteral("Ａ"), QStringLiteral("1")));
    QCOMPARE(Pw::ReadIni(QStringLiteral("s"), QStringLiteral("ａ")), QString());
}

void TestSettings::blanksAndQuotes_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("expected");
    QTest::newRow("blanks around") << QByteArray("  k \t=  v w \t") << "v w";
    QTest::newRow("double quotes") << QByteArray("k=\" padded \"") << " padded ";
    QTest::newRow("single quotes") << QByteArray("k='x'") << "x";
    QTest::newRow("unmatched quotes") << QByteArray("k=\"x'") << "\"x'";
    QTest::newRow("one quote") << QByteArray("k=\"") << "\"";
    QTest::newRow("empty quotes") << QByteArray("k=\"\"") << "";
    QTest::newRow("first equals splits") << QByteArray("k=a=b") << "a=b";
    QTest::newRow("empty value") << QByteArray("k=") << "";
    QTest::newRow("NUL removed") << QByteArray("k=a\0b", 5) << "ab";
}

void TestSettings::blanksAndQuotes()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, expected);
    QVERIFY(writeBytes(path(), " [ sec ] \r\n" + line + "\r\n"));
    QCOMPARE(Pw::ReadIni(QStringLiteral("sec"), QStringLiteral(" k ")), expected);
}

void TestSettings::readLimit_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("keptBytes");
    const QByteArray two = gbk("D6D0");      // 中
    const QByteArray four = gbk("9439FC36"); // 😀
    QTest::newRow("300 ASCII bytes") << QByteArray(300, 'a') << 255;
    QTest::newRow("255 exactly") << QByteArray(255, 'a') << 255;
    QTest::newRow("2-byte char fits") << QByteArray(253, 'a') + two + "bb" << 255;
    QTest::newRow("2-byte char would split") << QByteArray(254, 'a') + two << 254;
    QTest::newRow("4-byte char fits") << QByteArray(251, 'a') + four + "b" << 255;
    QTest::newRow("4-byte char would split at 1") << QByteArray(254, 'a') + four << 254;
    QTest::newRow("4-byte char would split at 3") << QByteArray(252, 'a') + four << 252;
    QTest::newRow("all 2-byte") << two.repeated(150) << 254;
}

void TestSettings::readLimit()
{
    QFETCH(QByteArray, value);
    QFETCH(int, keptBytes);
    QVERIFY(writeBytes(path(), "[s]\r\nk=" + value + "\r\n"));
    const QString read = Pw::ReadIni(QStringLiteral("s"), QStringLiteral("k"));
    QCOMPARE(Pw::ToGb18030(read), value.first(keptBytes));
    QVERIFY(!read.contains(QChar(0xFFFD)));
}

void TestSettings::duplicatesFirstWins()
{
    QVERIFY(writeBytes(path(), "[a]\r\nk=1\r\nk=2\r\n[b]\r\nk=b\r\n[A]\r\nk=3\r\nj=4\r\n"));
    QCOMPARE(Pw::ReadIni(QStringLiteral("a"), QStringLiteral("k")), QStringLiteral("1"));
    // A key found only in the second section of the same name still reads.
    QCOMPARE(Pw::ReadIni(QStringLiteral("a"), QStringLiteral("j")), QStringLiteral("4"));
    QVERIFY(Pw::WriteIni(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("9")));
    QVERIFY(Pw::WriteIni(QStringLiteral("a"), QStringLiteral("j"), QStringLiteral("8")));
    QCOMPARE(readAll(path()),
             QByteArray("[a]\r\nk=9\r\nk=2\r\n[b]\r\nk=b\r\n[A]\r\nk=3\r\nj=8\r\n"));
    // A new key goes to the first section of the name.
    QVERIFY(Pw::WriteIni(QStringLiteral("a"), QStringLiteral("n"), QStringLiteral("7")));
    QCOMPARE(readAll(path()),
             QByteArray("[a]\r\nk=9\r\nk=2\r\nn=7\r\n[b]\r\nk=b\r\n[A]\r\nk=3\r\nj=8\r\n"));
}

void TestSettings::insertionPlaces_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("empty file") << QByteArray() << "a" << QByteArray("[a]\r\nk=v\r\n");
    QTest::newRow("end of section, before blank lines")
            << QByteArray("[a]\r\nx=1\r\n\r\n[b]\r\n") << "a"
            << QByteArray("[a]\r\nx=1\r\nk=v\r\n\r\n[b]\r\n");
    QTest::newRow("empty section")
            << QByteArray("[a]\r\n[b]\r\n") << "a" << QByteArray("[a]\r\nk=v\r\n[b]\r\n");
    QTest::newRow("no final line break, same section")
            << QByteArray("[a]\r\nx=1") << "a" << QByteArray("[a]\r\nx=1\r\nk=v\r\n");
    QTest::newRow("no final line break, new section")
            << QByteArray("[a]\r\nx=1") << "b" << QByteArray("[a]\r\nx=1\r\n[b]\r\nk=v\r\n");
    QTest::newRow("LF-only file") << QByteArray("[a]\nx=1\n\n[b]\ny=2\n") << "b"
                                  << QByteArray("[a]\nx=1\n\n[b]\ny=2\nk=v\r\n");
    QTest::newRow("replacing the last line without line break")
            << QByteArray("[a]\r\nk=old") << "a" << QByteArray("[a]\r\nk=v\r\n");
    QTest::newRow("replacing in an LF-only file")
            << QByteArray("[a]\nk=old\nz=1\n") << "a" << QByteArray("[a]\nk=v\r\nz=1\n");
}

void TestSettings::insertionPlaces()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QByteArray, after);
    QVERIFY(writeBytes(path(), before));
    QVERIFY(Pw::WriteIni(section, QStringLiteral("k"), QStringLiteral("v")));
    QCOMPARE(readAll(path()), after);
    QCOMPARE(Pw::ReadIni(section, QStringLiteral("k")), QStringLiteral("v"));
}

void TestSettings::otherLinesKept()
{
    const QByteArray before = "stray line before any section\r\n"
                              "; comment=1\r\n"
                              "[a]\r\n"
                              "line without equals\r\n"
                              "[broken header\r\n"
                              "=value without key\r\n"
                              "x=1\r\n"
                              "\t  \r\n"
                              "[b]\n"
                              "y=2";
    QVERIFY(writeBytes(path(), before));
    QCOMPARE(Pw::ReadIni(QStringLiteral("a"), QStringLiteral("line without equals")), QString());
    QCOMPARE(Pw::ReadIni(QStringLiteral("b"), QStringLiteral("y")), QStringLiteral("2"));
    QVERIFY(Pw::WriteIni(QStringLiteral("a"), QStringLiteral("x"), QStringLiteral("5")));
    QVERIFY(Pw::WriteIni(QStringLiteral("c"), QStringLiteral("z"), QStringLiteral("6")));
    QByteArray expected = before;
    expected.replace("x=1\r\n", "x=5\r\n");
    expected += "\r\n[c]\r\nz=6\r\n";
    QCOMPARE(readAll(path()), expected);
}

void TestSettings::utf8ByteOrderMark()
{
    QVERIFY(writeBytes(path(), "\xEF\xBB\xBF[已选择]\n文字=你好\n"));
    QCOMPARE(Pw::ReadIni(QStringLiteral("已选择"), QStringLiteral("文字")), QStringLiteral("你好"));
    // A file saved as UTF-8 stays UTF-8.
    QVERIFY(Pw::WriteIni(QStringLiteral("已选择"), QStringLiteral("文字色"), QStringLiteral("色")));
    QCOMPARE(readAll(path()), QByteArray("\xEF\xBB\xBF[已选择]\n文字=你好\n文字色=色\r\n"));
    // The mark alone is an empty file.
    QVERIFY(writeBytes(path(), "\xEF\xBB\xBF"));
    QCOMPARE(Pw::ReadIni(QStringLiteral("已选择"), QStringLiteral("文字")), QString());
    QVERIFY(Pw::WriteIni(QStringLiteral("已选择"), QStringLiteral("k"), QStringLiteral("值")));
    QCOMPARE(readAll(path()), QByteArray("\xEF\xBB\xBF[已选择]\r\nk=值\r\n"));
}

void TestSettings::binaryFile()
{
    QByteArray noise(1 << 19, Qt::Uninitialized); // within the size limit, with room to write
    QRandomGenerator generator(20240603);
    for (char &byte : noise)
        byte = char(generator.bounded(256));
    // Every byte value, including NUL, '[' and ']' and broken multi-byte characters.
    for (int value = 0; value < 256; ++value)
        noise[value] = char(value);
    QVERIFY(writeBytes(path(), noise));
    QCOMPARE(Pw::ReadIni(QStringLiteral("已选择"), QStringLiteral("k")), QString());
    QVERIFY(Pw::WriteIni(QStringLiteral("已选择"), QStringLiteral("k"), QStringLiteral("v")));
    const QByteArray after = readAll(path());
    QVERIFY(after.startsWith(noise));
    QCOMPARE(Pw::ReadIni(QStringLiteral("已选择"), QStringLiteral("k")), QStringLiteral("v"));

    // Undecodable bytes in a value come back as replacement characters, never as a crash.
    QVERIFY(writeBytes(path(), "[s]\r\nk=a\x80\xFF"
                               "b\x81\r\n"));
    QCOMPARE(Pw::ReadIni(QStringLiteral("s"), QStringLiteral("k")),
             QStringLiteral("a\uFFFD\uFFFDb\uFFFD"));
}

void TestSettings::largestSettingsFile()
{
    // Other sections up to just below the size limit, the wanted one at the very end.
    QFile file(path());
    QVERIFY(file.open(QIODevice::WriteOnly));
    QByteArray block;
    for (int line = 0; line < 20000; ++line)
        block += "[s" + QByteArray::number(line) + "]\r\nkey=some value of the line\r\n";
    block.truncate(Pw::kIniMaxFileSize - 1024);
    block.truncate(block.lastIndexOf('\n') + 1);
    file.write(block);
    file.write(Pw::ToGb18030(QStringLiteral("[已选择]\r\n保存质量=16")));
    file.close();
    QCryptographicHash before(QCryptographicHash::Sha1);
    {
        QFile in(path());
        QVERIFY(in.open(QIODevice::ReadOnly));
        QVERIFY(before.addData(&in));
    }
    const qint64 size = QFileInfo(path()).size();

    QCOMPARE(Pw::ReadIni(Pw::Keys::kSectionSelected, Pw::Keys::kSaveQuality), QStringLiteral("16"));
    QCOMPARE(Pw::ReadIni(QStringLiteral("s19999"), QStringLiteral("key")),
             QStringLiteral("some value of the line"));
    QVERIFY(Pw::WriteIni(Pw::Keys::kSectionSelected, Pw::Keys::kFitMode, QStringLiteral("2")));
    QCOMPARE(Pw::ReadIni(Pw::Keys::kSectionSelected, Pw::Keys::kFitMode), QStringLiteral("2"));

    // Every byte before the insertion is unchanged.
    const QByteArray added = "\r\n" + Pw::ToGb18030(Pw::Keys::kFitMode) + "=2\r\n";
    QCOMPARE(QFileInfo(path()).size(), size + added.size());
    QFile in(path());
    QVERIFY(in.open(QIODevice::ReadOnly));
    QCryptographicHash after(QCryptographicHash::Sha1);
    after.addData(in.read(size));
    QCOMPARE(after.result(), before.result());
    QCOMPARE(in.readAll(), added);
}

void TestSettings::oversizedFileLeftAlone()
{
    // A sparse file: no disk space used, but far beyond any settings file.
    QVERIFY(writeBytes(path(), "[a]\r\nk=1\r\n"));
    QVERIFY(QFile::resize(path(), Pw::kIniMaxFileSize + 1));
    QCOMPARE(Pw::ReadIni(QStringLiteral("a"), QStringLiteral("k")), QString());
    QVERIFY(!Pw::WriteIni(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("2")));
    QCOMPARE(QFileInfo(path()).size(), Pw::kIniMaxFileSize + 1);
}

void TestSettings::unwritableFolder()
{
    // /proc refuses new files even to root.
    const QString file = QStringLiteral("/proc/self/pixwright-Set.ini");
    QVERIFY(!Pw::WriteIni(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("1"), file));
    QCOMPARE(Pw::ReadIni(QStringLiteral("a"), QStringLiteral("k"), file), QString());
    // A folder where the file should be.
    QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("folder.ini")));
    const QString folder = m_dir.filePath(QStringLiteral("folder.ini"));
    QVERIFY(!Pw::WriteIni(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("1"), folder));
    QCOMPARE(Pw::ReadIni(QStringLiteral("a"), QStringLiteral("k"), folder), QString());
}

void TestSettings::readOnlyFolderAndFile()
{
    if (geteuid() == 0)
        QSKIP("running as root: permission bits do not stop root's writes");
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Set.ini"));
    QVERIFY(writeBytes(file, "[a]\r\nk=1\r\n"));
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    QVERIFY(!Pw::WriteIni(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("2"), file));
    QCOMPARE(Pw::ReadIni(QStringLiteral("a"), QStringLiteral("k"), file), QStringLiteral("1"));
    QVERIFY(QFile::setPermissions(dir.path(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QVERIFY(QFile::setPermissions(file, QFile::ReadOwner));
    QVERIFY(!Pw::WriteIni(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("2"), file));
    QCOMPARE(readAll(file), QByteArray("[a]\r\nk=1\r\n"));
}

void TestSettings::permissionsKept()
{
    QVERIFY(writeBytes(path(), "[a]\r\nk=1\r\n"));
    const auto permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QVERIFY(QFile::setPermissions(path(), permissions));
    QVERIFY(Pw::WriteIni(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("2")));
    // Owner, group and other bits; the "user" bits only say what this process may do.
    QCOMPARE(QFile::permissions(path()) & 0x7077, permissions);
    // No temporary file is left beside it.
    const QStringList left = QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(left.filter(QStringLiteral("Set.ini")), QStringList{QStringLiteral("Set.ini")});
}

void TestSettings::olderGbkFile()
{
    // Written byte by byte as the GBK version of the program wrote it.
    const QByteArray file = '[' + gbk("D2D1D1A1D4F1") + "]\r\n"                // [已选择]
                            + gbk("B4A6C0EDB7BDCABD") + "FS=2\r\n"             // 处理方式FS
                            + gbk("CEC4D7D6") + '=' + gbk("B5DAD2BBD0D0")      // 文字=第一行
                            + "`^`" + gbk("B5DAB6FED0D0") + "\r\n"             // `^`第二行
                            + gbk("CEC4D7D6C9AB") + "=-16777216\r\n"           // 文字色
                            + gbk("B1B3BEB0C9ABB7B4B0D7") + "=-2147483643\r\n" // 背景色反白
                            + gbk("B1B3BEB0C9AB") + "=255\r\n"                 // 背景色
                            + '[' + gbk("C4ACC8CFB4F2BFAAC2B7BEB6") + "]\r\n" // [默认打开路径]
                            + gbk("C4BFC2BCCEBBD6C3") + "=D:\\" + gbk("D5D5C6AC") + "\\\r\n";
    QVERIFY(writeBytes(path(), file));
    using namespace Pw::Keys;
    QCOMPARE(Pw::ReadIni(kSectionSelected, kFitMode), QStringLiteral("2"));
    QCOMPARE(Pw::ReadIni(kSectionSelected, kOverlayText), QStringLiteral("第一行`^`第二行"));
    QCOMPARE(Pw::ReadIni(kSectionOpenPath, kSourceFolder), QStringLiteral("D:\\照片\\"));

    const std::optional<qint32> text = Pw::ParseColourText(
            Pw::ReadIni(kSectionSelected, kTextColour));
    QVERIFY(text);
    QCOMPARE(*text, qint32(-16777216));
    QCOMPARE(Pw::ColourFromBgr(*text), QColor(0, 0, 0));
    const std::optional<qint32> back = Pw::ParseColourText(
            Pw::ReadIni(kSectionSelected, kTextBackColour));
    QVERIFY(back);
    QCOMPARE(*back, Pw::kSystemWindowColour);
    QCOMPARE(Pw::ColourFromBgr(*back), QColor(255, 255, 255));
    const std::optional<qint32> red = Pw::ParseColourText(
            Pw::ReadIni(kSectionSelected, kBackgroundColour));
    QVERIFY(red);
    QCOMPARE(Pw::ColourFromBgr(*red), QColor(255, 0, 0));

    // Rewriting one key leaves the older bytes as they were.
    QVERIFY(Pw::WriteIni(kSectionSelected, kFitMode, QStringLiteral("4")));
    QByteArray expected = file;
    expected.replace("FS=2", "FS=4");
    QCOMPARE(readAll(path()), expected);
}

void TestSettings::randomWritesReadBack()
{
    // Many writes over a file with lines the store does not understand: after each write
    // every key reads back as last written, and the foreign lines are all still there.
    const QByteArray foreign = "junk before\r\n[s1]\r\nno equals here\n; note=1\r\n[broken\r\n";
    QVERIFY(writeBytes(path(), foreign));
    const QStringList sections = {"s1", "S2", "已选择", "默认打开路径"};
    const QStringList keys = {"k", "K2", "文字", "处理方式FS", "x y"};
    const QStringList values = {"0", "1", "\"q\"", " b ", "路径/照片 1/", "😀", "a=b", "`^`"};
    QMap<QString, QString> model; // "section|key" in lower case -> value
    QRandomGenerator generator(7);
    for (int round = 0; round < 200; ++round) {
        const QString section = sections.at(generator.bounded(int(sections.size())));
        const QString key = keys.at(generator.bounded(int(keys.size())));
        QString value = values.at(generator.bounded(int(values.size())));
        value += QString::number(round);
        // Names in a different ASCII case address the same entry.
        const QString spelled = round % 2 ? key.toUpper() : key;
        QVERIFY(Pw::WriteIni(section, spelled, value));
        model[(section + u'|' + key).toLower()] = value;
        QCOMPARE(Pw::ReadIni(section.toUpper(), key), value);
    }
    for (auto it = model.cbegin(); it != model.cend(); ++it) {
        const QString section = it.key().section(u'|', 0, 0);
        const QString key = it.key().section(u'|', 1);
        QCOMPARE(Pw::ReadIni(section, key), it.value());
    }
    const QByteArray after = readAll(path());
    for (const QByteArray &line : foreign.split('\n'))
        QVERIFY2(after.contains(line), line.constData());
    QVERIFY(after.startsWith("junk before\r\n[s1]\r\n"));
}

void TestSettings::defaultFileChoice()
{
    QTemporaryDir app;
    QTemporaryDir config;
    Pw::SetAppFolder(app.path());
    Pw::SetDefaultSettingsFile(QString());
    QCOMPARE(Pw::DefaultSettingsFile(), app.filePath(QStringLiteral("Set.ini")));
    // Chosen once: a later change of the app folder does not move it.
    Pw::SetAppFolder(QStringLiteral("/proc/self/"));
    QCOMPARE(Pw::DefaultSettingsFile(), app.filePath(QStringLiteral("Set.ini")));

    // An app folder that takes no files sends the settings to the user's config folder.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    Pw::SetDefaultSettingsFile(QString());
    const QString expected = config.filePath(QStringLiteral("pixwright/Set.ini"));
    QCOMPARE(Pw::DefaultSettingsFile(), expected);
    QVERIFY(Pw::WriteIni(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("1")));
    QVERIFY(QFile::exists(expected));
    QCOMPARE(Pw::ReadIni(QStringLiteral("a"), QStringLiteral("k")), QStringLiteral("1"));

    // Installed (the data folder beside bin/), the user's config folder even when bin/ is
    // writable: a DESTDIR tree or a prefix in the home folder.
    QTemporaryDir prefix;
    QVERIFY(QDir().mkpath(prefix.filePath(QStringLiteral("bin"))));
    QVERIFY(QDir().mkpath(prefix.filePath(QStringLiteral("share/pixwright"))));
    Pw::SetAppFolder(prefix.filePath(QStringLiteral("bin")));
    Pw::SetDefaultSettingsFile(QString());
    QCOMPARE(Pw::DefaultSettingsFile(), expected);
    qunsetenv("XDG_CONFIG_HOME");
    Pw::SetDefaultSettingsFile(path());
}

// Step 1's start-up: the switches as stored, the listing by the stored pattern, the remembered
// folder or the demo folder.
void TestSettings::sourceChoices_data()
{
    QTest::addColumn<QStringList>("stored"); // FILTER, FILTER1, FILTER2, FILTER3, 目录位置
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("switches"); // JPG PNG BMP
    QTest::addColumn<QString>("folder");   // "own" or "demo"
    QTest::addColumn<QStringList>("listed");

    const QString all = QStringLiteral("*.jpg;*.bmp;*.png");
    QTest::newRow("nothing stored: all types, demo folder")
            << QStringList{{}, {}, {}, {}, {}} << all << "111"
            << "demo" << QStringList{QStringLiteral("d.jpg")};
    QTest::newRow("no pattern: switches ignored, all on")
            << QStringList{{}, "0", "0", "0", "own"} << all << "111"
            << "own" << QStringList{"a.JPG", "b.png", "c.bmp"};
    QTest::newRow("*.jpg with every switch off lists by the pattern")
            << QStringList{"*.jpg", "0", "0", "0", "own"} << "*.jpg"
            << "000"
            << "own" << QStringList{"a.JPG"};
    QTest::newRow(";*.png with the JPG switch on lists PNG only")
            << QStringList{";*.png", "1", "0", "0", "own"} << ";*.png"
            << "100"
            << "own" << QStringList{"b.png"};
    QTest::newRow("switch keys other than 1 are off")
            << QStringList{"*.jpg;*.png", "1", "yes", "", "own"} << "*.jpg;*.png"
            << "100"
            << "own" << QStringList{"a.JPG", "b.png"};
    QTest::newRow("remembered folder missing: demo")
            << QStringList{{}, {}, {}, {}, "gone"} << all << "111"
            << "demo" << QStringList{"d.jpg"};
    QTest::newRow("remembered folder without those pictures: demo")
            << QStringList{"*.gif", "0", "0", "0", "own"} << "*.gif"
            << "000"
            << "demo" << QStringList{};
}

void TestSettings::sourceChoices()
{
    QFETCH(QStringList, stored);
    QFETCH(QString, pattern);
    QFETCH(QString, switches);
    QFETCH(QString, folder);
    QFETCH(QStringList, listed);
    QTemporaryDir app;
    Pw::SetAppFolder(app.path());
    const QString own = app.filePath(QStringLiteral("我的 照片")) + u'/';
    QVERIFY(QDir().mkpath(own));
    QVERIFY(QDir().mkpath(Pw::DemoFolder()));
    for (const char *name : {"a.JPG", "b.png", "c.bmp", "e.txt"})
        QVERIFY(writeBytes(own + QString::fromUtf8(name), "x"));
    QVERIFY(writeBytes(Pw::DemoFolder() + QStringLiteral("d.jpg"), "x"));

    const QString file = app.filePath(QStringLiteral("other.ini"));
    const QStringList keys = {Pw::Keys::kFilter, Pw::Keys::kFilterJpg, Pw::Keys::kFilterPng,
                              Pw::Keys::kFilterBmp};
    for (int i = 0; i < keys.size(); ++i)
        Pw::WriteIni(Pw::Keys::kSectionSelected, keys[i], stored[i], file);
    if (stored[4] == u"own")
        Pw::StoreSourceFolder(own.chopped(1), file); // stored with its trailing '/'
    else if (!stored[4].isEmpty())
        Pw::StoreSourceFolder(app.filePath(stored[4]), file);

    const Pw::SourceChoices choices = Pw::LoadSourceChoices(file);
    QCOMPARE(choices.pattern, pattern);
    QCOMPARE(QString::number(choices.jpg) + QString::number(choices.png)
                     + QString::number(choices.bmp),
             switches);
    QCOMPARE(choices.folder, folder == u"own" ? own : Pw::DemoFolder());
    QCOMPARE(Pw::ListPictures(choices.folder, choices.listedTypes()), listed);
    QVERIFY(!QFile::exists(path())); // the named file, never the default one
    Pw::SetAppFolder(QString());
}

void TestSettings::pictureTypesStored()
{
    const QString file = m_dir.filePath(QStringLiteral("types.ini"));
    const auto stored = [&] {
        QStringList values;
        for (const QString &key :
             {Pw::Keys::kFilter, Pw::Keys::kFilterJpg, Pw::Keys::kFilterPng, Pw::Keys::kFilterBmp})
            values << Pw::ReadIni(Pw::Keys::kSectionSelected, key, file);
        return values.join(u'|');
    };
    Pw::StorePictureTypes(false, true, false, file);
    QCOMPARE(stored(), QStringLiteral(";*.png|0|1|0"));
    Pw::StorePictureTypes(true, false, true, file);
    QCOMPARE(stored(), QStringLiteral("*.jpg;*.bmp|1|0|1"));
    // No type: the empty pattern is not stored, the last one stays and is listed at next start.
    Pw::StorePictureTypes(false, false, false, file);
    QCOMPARE(stored(), QStringLiteral("*.jpg;*.bmp|0|0|0"));
    const Pw::SourceChoices next = Pw::LoadSourceChoices(file);
    QVERIFY(!next.jpg && !next.png && !next.bmp);
    QCOMPARE(next.listedTypes(), Pw::PictureType::Jpg | Pw::PictureType::Bmp);

    QVERIFY(Pw::StoreKeepCamera(true, file));
    QVERIFY(Pw::StoreBackgroundColour(qint32(0x00FF8000), file));
    QVERIFY(Pw::StoreSourceFolder(QStringLiteral("/tmp/x"), file));
    QCOMPARE(Pw::LoadSourceFolder(file), QStringLiteral("/tmp/x/"));
    QVERIFY(Pw::LoadSourceChoices(file).keepCamera);
    QCOMPARE(Pw::LoadBackgroundColour(file), qint32(0x00FF8000));
    Pw::WriteIni(Pw::Keys::kSectionSelected, Pw::Keys::kBackgroundColour, QStringLiteral("红"),
                 file);
    QCOMPARE(Pw::LoadBackgroundColour(file), 0);
}

void TestSettings::reportChoices_data()
{
    QTest::addColumn<QStringList>("stored"); // 去, CK1, CK2
    QTest::addColumn<int>("nextMove");
    QTest::addColumn<bool>("openResultFolder");
    QTest::addColumn<bool>("resultAsSource");
    QTest::newRow("first run") << QStringList{{}, {}, {}} << 3 << true << false;
    QTest::newRow("1, 0, 1") << QStringList{"1", "0", "1"} << 1 << false << true;
    QTest::newRow("2, 1, 0") << QStringList{"2", "1", "0"} << 2 << true << false;
    QTest::newRow("7, x, x") << QStringList{"7", "x", "x"} << 3 << true << false;
}

void TestSettings::reportChoices()
{
    QFETCH(QStringList, stored);
    QFETCH(int, nextMove);
    QFETCH(bool, openResultFolder);
    QFETCH(bool, resultAsSource);
    const QString file = m_dir.filePath(QStringLiteral("report.ini"));
    QFile::remove(file);
    const QStringList keys = {Pw::Keys::kNextMove, Pw::Keys::kOpenResultFolder,
                              Pw::Keys::kResultAsSource};
    for (int i = 0; i < keys.size(); ++i)
        Pw::WriteIni(Pw::Keys::kSectionSelected, keys[i], stored[i], file);
    Pw::ReportChoices choices = Pw::LoadReportChoices(file);
    QCOMPARE(choices.nextMove, nextMove);
    QCOMPARE(choices.openResultFolder, openResultFolder);
    QCOMPARE(choices.resultAsSource, resultAsSource);

    // What the dialog stores reads back the same.
    QVERIFY(Pw::StoreNextMove(nextMove, file));
    QVERIFY(!Pw::StoreNextMove(4, file));
    QVERIFY(Pw::StoreOpenResultFolder(!openResultFolder, file));
    QVERIFY(Pw::StoreResultAsSource(!resultAsSource, file));
    choices = Pw::LoadReportChoices(file);
    QCOMPARE(choices.nextMove, nextMove);
    QCOMPARE(choices.openResultFolder, !openResultFolder);
    QCOMPARE(choices.resultAsSource, !resultAsSource);
}

void TestSettings::valueStartingWithByteOrderMark()
{
    // Found by fuzzing: in a UTF-8 file a value starting with U+FEFF lost it on reading.
    QVERIFY(QFile::copy(QStringLiteral(PW_TEST_DATA_DIR "/settings-value-starts-with-bom.ini"),
                        path()));
    QVERIFY(QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner));
    const QString value = QChar(0xFEFF) + QStringLiteral("命[");
    QVERIFY(Pw::WriteIni(QStringLiteral("已选择"), QStringLiteral("重命名"), value));
    QCOMPARE(Pw::ReadIni(QStringLiteral("已选择"), QStringLiteral("重命名")), value);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
