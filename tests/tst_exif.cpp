#include "exif/camerastamp.h"
#include "exif/exifreader.h"
#include "exif/tagcatalogue.h"
#include "tests/support/runpixwright.h"
#include "tests/support/testfiles.h"
#include "tests/support/testpictures.h"

#include <exiv2/exiv2.hpp>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <optional>
#include <sys/stat.h>

using Pw::ExifReader;
using Pw::ExifValue;
using PwTest::plainPicture;
using PwTest::readAll;
using PwTest::writeBytes;

namespace {

// A small Exif writer: IFD0, an optional IFD1 and an optional Exif sub-IFD (its pointer is
// added to IFD0), values longer than 4 bytes in a data area after the IFDs, in that order.
struct Field
{
    quint16 tag = 0;
    quint16 type = 0;
    quint32 count = 0;
    QByteArray value;           // stored bytes, already in the file's byte order
    std::optional<quint32> raw; // value field as given, for crafted offsets
};

struct Layout
{
    quint32 ifd0 = 8;
    quint32 ifd1 = 0;
    quint32 exif = 0;
    quint32 ifd0Next = 0; // offsets of the next-IFD links
    quint32 ifd1Next = 0;
    quint32 exifNext = 0;
    qsizetype tiffSize = 0;
};

class ExifFile
{
public:
    explicit ExifFile(bool little)
        : m_little(little)
    {}

    QByteArray u16(quint16 v) const
    {
        QByteArray b(2, 0);
        b[m_little ? 0 : 1] = char(v & 0xFF);
        b[m_little ? 1 : 0] = char(v >> 8);
        return b;
    }
    QByteArray u32(quint32 v) const
    {
        QByteArray b(4, 0);
        for (int i = 0; i < 4; ++i)
            b[m_little ? i : 3 - i] = char((v >> (8 * i)) & 0xFF);
        return b;
    }

    Field ascii(quint16 tag, const QByteArray &text, bool nul = true) const
    {
        const QByteArray stored = nul ? text + '\0' : text;
        return {tag, 2, quint32(stored.size()), stored, {}};
    }
    static Field bytes(quint16 tag, const QByteArray &data, quint16 type = 7)
    {
        return {tag, type, quint32(data.size()), data, {}};
    }
    Field shorts(quint16 tag, const QList<quint16> &values, quint16 type = 3) const
    {
        QByteArray data;
        for (quint16 v : values)
            data += u16(v);
        return {tag, type, quint32(values.size()), data, {}};
    }
    Field longs(quint16 tag, const QList<quint32> &values, quint16 type = 4) const
    {
        QByteArray data;
        for (quint32 v : values)
            data += u32(v);
        return {tag, type, quint32(values.size()), data, {}};
    }
    Field rational(quint16 tag, quint32 n, quint32 d, quint16 type = 5) const
    {
        return {tag, type, 1, u32(n) + u32(d), {}};
    }
    static Field raw(quint16 tag, quint16 type, quint32 count, quint32 field)
    {
        return {tag, type, count, {}, field};
    }

    QByteArray tiff(Layout *layoutOut = nullptr) const
    {
        Layout layout;
        QList<Field> first = ifd0;
        const bool withIfd1 = !ifd1.isEmpty();
        const bool withExif = !exif.isEmpty();
        if (withExif && exifPointer)
            first.append(longs(0x8769, {0}));
        quint32 pos = 8;
        const auto ifdSize = [](qsizetype n) {
            return quint32(2 + 12 * n + 4);
        };
        layout.ifd0 = pos;
        pos += ifdSize(first.size());
        if (withIfd1) {
            layout.ifd1 = pos;
            pos += ifdSize(ifd1.size());
        }
        if (withExif) {
            layout.exif = pos;
            pos += ifdSize(exif.size());
            if (exifPointer)
                first.last() = longs(0x8769, {layout.exif});
        }
        const quint32 dataStart = pos;
        QByteArray data;
        QByteArray out = order.isEmpty() ? QByteArray(m_little ? "II" : "MM") : order;
        out += u16(42) + u32(layout.ifd0);
        const auto writeIfd = [&](const QList<Field> &fields, quint32 next, quint32 *linkAt) {
            out += u16(quint16(fields.size()));
            for (const Field &f : fields) {
                out += u16(f.tag) + u16(f.type) + u32(f.count);
                if (f.raw) {
                    out += u32(*f.raw);
                } else if (f.value.size() <= 4) {
                    out += f.value + QByteArray(4 - f.value.size(), '\0');
                } else {
                    out += u32(dataStart + quint32(data.size()));
                    data += f.value;
                }
            }
            *linkAt = quint32(out.size());
            out += u32(next);
        };
        writeIfd(first, withIfd1 ? layout.ifd1 : 0, &layout.ifd0Next);
        if (withIfd1)
            writeIfd(ifd1, 0, &layout.ifd1Next);
        if (withExif)
            writeIfd(exif, 0, &layout.exifNext);
        out += data;
        layout.tiffSize = out.size();
        if (layoutOut)
            *layoutOut = layout;
        return out;
    }

    // FF D8, the segments given, the Exif APP1, then FF D9.
    static QByteArray jpeg(const QByteArray &tiff, const QByteArray &before = QByteArray())
    {
        QByteArray body = QByteArray("Exif\0\0", 6) + tiff;
        QByteArray out("\xFF\xD8", 2);
        out += before;
        out += QByteArray("\xFF\xE1", 2);
        const int length = int(body.size() + 2);
        out += char((length >> 8) & 0xFF);
        out += char(length & 0xFF);
        out += body;
        out += QByteArray("\xFF\xD9", 2);
        return out;
    }
    QByteArray jpeg(Layout *layout = nullptr) const { return jpeg(tiff(layout)); }

    QList<Field> ifd0, ifd1, exif;
    bool exifPointer = true;
    QByteArray order; // byte-order bytes when they should not be "II"/"MM"

private:
    bool m_little;
};

// File position of the TIFF header in a file made by ExifFile::jpeg without extra segments.
constexpr qsizetype kTiffStart = 2 + 10;

// A camera-like file: maker, model, orientation and resolution in IFD0, a thumbnail IFD with
// its own resolution, and the usual Exif sub-IFD. The last value is a rational, so every byte of
// the TIFF data is read.
ExifFile cameraFile(bool little)
{
    ExifFile f(little);
    f.ifd0 = {f.ascii(0x010F, "Canon"), f.ascii(0x0110, "Canon EOS 40D"), f.shorts(0x0112, {1}),
              f.rational(0x011A, 72, 1)};
    f.ifd1 = {f.rational(0x011A, 300, 1), f.longs(0x0201, {1234})};
    f.exif = {f.rational(0x829A, 1, 160),
              f.shorts(0x8827, {100}),
              ExifFile::bytes(0x9000, "0230"),
              f.ascii(0x9003, "2008:05:30 15:56:01"),
              f.rational(0x9204, 0xFFFFFFFF, 3, 10),
              f.rational(0x9205, 28, 10),
              f.shorts(0xA002, {640}),
              f.longs(0xA003, {480}),
              f.rational(0x920A, 135, 1)};
    return f;
}

QString sharedSamples()
{
    return QStringLiteral(PW_SHARED_DIR "/exif-samples/");
}

// Runs `pixwright ARGS`; returns its exit status and what it wrote on stdout and stderr.
int captured(const QStringList &args, QByteArray *out, QByteArray *err)
{
    PwTest::ProgramRun run = PwTest::runPixwright(args);
    *out = run.out;
    *err = run.err;
    return run.status;
}

} // namespace

Q_DECLARE_METATYPE(Field)

class TestExif : public QObject
{
    Q_OBJECT

private slots:
    void notExif_data();
    void notExif();
    void damaged_data();
    void damaged();
    void truncatedAtEveryLength();
    void ifdChainLength_data();
    void ifdChainLength();
    void values_data();
    void values();
    void textEncodings_data();
    void textEncodings();
    void unknownTypeCodesKeepTheWalkGoing_data();
    void unknownTypeCodesKeepTheWalkGoing();
    void byteOrderTwins();
    void byteOrderByteTestedAlone_data();
    void byteOrderByteTestedAlone();
    void walkOrderAndLookups();
    void exifPointerForms_data();
    void exifPointerForms();
    void picFileAndLazyLoad();

    void catalogueCameraText();
    void catalogueAperture_data();
    void catalogueAperture();
    void catalogueSizeAndCuts();
    void catalogueEveryLine();
    void catalogueNoKnownTags();
    void catalogueScanner();

    void cameraStamp_data();
    void cameraStamp();

    void infoCommand();
    void infoCommandStatus_data();
    void infoCommandStatus();

    void samples();

    void readSmCopiesCameraInfo_data();
    void readSmCopiesCameraInfo();
    void readSmLeavesOutputAlone_data();
    void readSmLeavesOutputAlone();
    void readSmOnSamples();
    void readSmSaysSrgb_data();
    void readSmSaysSrgb();

private:
    QTemporaryDir m_dir;
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        return writeBytes(path, bytes) ? path : QString();
    }
};

void TestExif::notExif_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const ExifFile camera = cameraFile(true);
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("one byte") << QByteArray("\xFF", 1);
    QTest::newRow("start of image only") << QByteArray("\xFF\xD8", 2);
    QTest::newRow("png") << plainPicture(QSize(8, 8), "PNG");
    QTest::newRow("bmp") << plainPicture(QSize(8, 8), "BMP");
    QTest::newRow("jfif only") << plainPicture(QSize(8, 8), "JPG");
    QTest::newRow("FF E1 at the very end") << QByteArray("\xFF\xD8\x00\xFF\xE1", 5);
    QTest::newRow("identifier in lower case") << QByteArray(camera.jpeg()).replace("Exif", "exif");
    QTest::newRow("exif behind a non-JPEG start")
            << QByteArray("\x89PNG", 4) + camera.jpeg().mid(2);
    QByteArray xmp("\xFF\xE1\x00\x20http://ns.adobe.com/xap/1.0/\0abc", 34);
    QTest::newRow("XMP segment before the Exif one") << ExifFile::jpeg(camera.tiff(), xmp);
}

void TestExif::notExif()
{
    QFETCH(QByteArray, bytes);
    const QString path = write(QStringLiteral("notexif"), bytes);
    ExifReader reader;
    QVERIFY(!reader.Load(path));
    QVERIFY(!reader.Loaded());
    QVERIFY(reader.Tag(0).isEmpty());
    QVERIFY(reader.Tag(0x0110).isEmpty());
    QCOMPARE(Pw::BuildCameraInfoText(QStringLiteral("H"), path),
             QStringLiteral("H\r\n此图片非数码照片或EXIF信息已被破坏"));
}

void TestExif::damaged_data()
{
    QTest::addColumn<QByteArray>("bytes");
    for (const bool little : {true, false}) {
        const QByteArray order = little ? " (II)" : " (MM)";
        const auto row = [&](const char *name) -> QTestData & {
            return QTest::newRow((QByteArray(name) + order).constData());
        };
        ExifFile f = cameraFile(little);
        Layout layout;
        const QByteArray good = f.jpeg(&layout);
        const auto patched = [&](qsizetype tiffPos, const QByteArray &with) {
            return QByteArray(good).replace(kTiffStart + tiffPos, with.size(), with);
        };

        row("IFD0 offset outside") << patched(4, f.u32(0xFFFFFFF0));
        row("IFD0 offset just past the end") << patched(4, f.u32(quint32(layout.tiffSize + 2)));
        row("next link outside") << patched(layout.ifd0Next, f.u32(0x00650023));
        row("next link back to IFD0") << patched(layout.ifd0Next, f.u32(layout.ifd0));
        row("IFD1 links back to IFD0") << patched(layout.ifd1Next, f.u32(layout.ifd0));
        row("IFD1 links to itself") << patched(layout.ifd1Next, f.u32(layout.ifd1));
        row("entry count runs off the end") << patched(layout.ifd0, f.u16(9984));
        row("entry count 65535") << patched(layout.ifd0, f.u16(0xFFFF));

        // The Exif pointer is the last entry of IFD0; its value field is at +8.
        const qsizetype pointerField = layout.ifd0 + 2 + 12 * 4 + 8;
        row("Exif pointer outside") << patched(pointerField, f.u32(0x7FFFFFFF));
        row("Exif pointer to IFD0") << patched(pointerField, f.u32(layout.ifd0));
        row("Exif pointer to IFD1") << patched(pointerField, f.u32(layout.ifd1));

        // Value data outside the file, for each rendering that reads data.
        const QList<QPair<const char *, Field>> outside = {
                {"BYTE array outside", ExifFile::raw(0x9999, 1, 5, 0xFFFFFFFF)},
                {"ASCII outside", ExifFile::raw(0x9999, 2, 20, 0xFFFFFFF0)},
                {"SHORT array outside", ExifFile::raw(0x9999, 3, 3, 0xFFFFFFFF)},
                {"LONG array outside", ExifFile::raw(0x9999, 4, 2, 0x80000000)},
                {"RATIONAL outside", ExifFile::raw(0x9999, 5, 1, 0xFFFFFFFC)},
                // Huge counts at offset 0: the products must not wrap into "fits".
                {"0x40000000 SHORTs", ExifFile::raw(0x9999, 3, 0x40000000, 0)},
                {"0x80000000 SHORTs", ExifFile::raw(0x9999, 8, 0x80000000, 0)},
                {"0x40000000 LONGs", ExifFile::raw(0x9999, 4, 0x40000000, 0)},
                {"0xFFFFFFFF BYTEs", ExifFile::raw(0x9999, 1, 0xFFFFFFFF, 0)},
                {"0xFFFFFFFF ASCII", ExifFile::raw(0x9999, 2, 0xFFFFFFFF, 0)},
                {"0xFFFFFFFF UNDEFINED", ExifFile::raw(0x9999, 7, 0xFFFFFFFF, 0)},
        };
        for (const auto &[name, field] : outside) {
            ExifFile bad = cameraFile(little);
            bad.exif.prepend(field);
            row(name) << bad.jpeg();
        }
        // A rational whose second half would lie past the end of the data.
        ExifFile half = cameraFile(little);
        half.exif.prepend(ExifFile::raw(0x9999, 10, 1, 0));
        Layout halfLayout;
        half.tiff(&halfLayout);
        half.exif.first().raw = quint32(halfLayout.tiffSize - 4);
        row("SRATIONAL half outside") << half.jpeg();

        ExifFile textPointer = cameraFile(little);
        textPointer.exifPointer = false;
        textPointer.ifd0.append(textPointer.ascii(0x8769, "not a number"));
        row("Exif pointer stored as text") << textPointer.jpeg();
    }
}

void TestExif::damaged()
{
    QFETCH(QByteArray, bytes);
    const QString path = write(QStringLiteral("damaged.jpg"), bytes);
    ExifReader reader;
    QVERIFY(!reader.Load(path));
    QCOMPARE(Pw::BuildCameraInfoText(QStringLiteral("H"), path),
             QStringLiteral("H\r\n此图片非数码照片或EXIF信息已被破坏"));
    QString model = QStringLiteral("keep");
    QString shot = QStringLiteral("keep too");
    QVERIFY(!Pw::ReadCameraStamp(path, model, shot));
    QCOMPARE(model, QStringLiteral("keep"));
    QCOMPARE(shot, QStringLiteral("keep too"));
}

void TestExif::truncatedAtEveryLength()
{
    for (const bool little : {true, false}) {
        Layout layout;
        const QByteArray full = cameraFile(little).jpeg(&layout);
        const qsizetype needed = kTiffStart + layout.tiffSize;
        for (qsizetype length = 0; length <= full.size(); ++length) {
            ExifReader reader;
            const bool loaded = reader.LoadBytes(full.left(length));
            if (loaded != (length >= needed))
                QFAIL(qPrintable(QStringLiteral("length %1 of %2 (%3): Load answered %4")
                                         .arg(length)
                                         .arg(full.size())
                                         .arg(little ? u"II" : u"MM")
                                         .arg(loaded)));
            // Whatever the table holds, asking must stay inside the buffer.
            for (qsizetype i = 0; i < reader.EntryCount(); ++i)
                reader.Entry(i);
        }
    }
}

void TestExif::ifdChainLength_data()
{
    QTest::addColumn<int>("ifds");
    QTest::addColumn<bool>("loads");
    QTest::newRow("1") << 1 << true;
    QTest::newRow("64") << 64 << true;
    QTest::newRow("65") << 65 << false;
    QTest::newRow("5000") << 5000 << false;
}

void TestExif::ifdChainLength()
{
    QFETCH(int, ifds);
    QFETCH(bool, loads);
    // Distinct IFDs of one entry each, every one linking to the next: no loop, just long.
    const ExifFile f(true);
    QByteArray tiff = "II" + f.u16(42) + f.u32(8);
    for (int i = 0; i < ifds; ++i) {
        const quint32 next = i + 1 < ifds ? quint32(tiff.size() + 18) : 0;
        tiff += f.u16(1) + f.u16(0x0131) + f.u16(3) + f.u32(1) + f.u32(quint32(i)) + f.u32(next);
    }
    ExifReader reader;
    QCOMPARE(reader.LoadBytes(ExifFile::jpeg(tiff)), loads);
    if (loads)
        QCOMPARE(reader.Tag(0).toInteger(), ifds);
}

void TestExif::values_data()
{
    QTest::addColumn<bool>("little");
    QTest::addColumn<Field>("field");
    QTest::addColumn<int>("kind"); // 0 integer, 1 text
    QTest::addColumn<qint64>("integer");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("outsideEntry"); // ValueOffset filled

    for (const bool little : {true, false}) {
        const ExifFile f(little);
        const auto row = [&](const char *name, const Field &field, int kind, qint64 integer,
                             const QByteArray &text, bool outside) {
            QTest::newRow((QByteArray(name) + (little ? " (II)" : " (MM)")).constData())
                    << little << field << kind << integer << text << outside;
        };
        row("SHORT count 1", f.shorts(1, {100}), 0, 100, {}, false);
        row("SHORT pair is summed", f.shorts(1, {2, 1}), 0, 3, {}, false);
        row("SSHORT read unsigned", f.shorts(1, {0xFFFF}, 8), 0, 65535, {}, false);
        row("LONG 3000000000", f.longs(1, {3000000000u}), 0, 3000000000LL, {}, false);
        row("SLONG negative", f.longs(1, {0xFFFFFFFB}, 9), 0, -5, {}, false);
        row("RATIONAL unreduced", f.rational(1, 10, 1250), 1, 0, "10/1250", true);
        row("RATIONAL full range", f.rational(1, 0xFFFFFFFF, 1), 1, 0, "4294967295/1", true);
        row("SRATIONAL minus one third", f.rational(1, 0xFFFFFFFF, 3, 10), 1, 0, "-1/3", true);
        row("SRATIONAL extremes", f.rational(1, 0x80000000, 0x7FFFFFFF, 10), 1, 0,
            "-2147483648/2147483647", true);
        row("RATIONAL count 0 still read", Field{1, 5, 0, f.u32(3) + f.u32(2), {}}, 1, 0, "3/2",
            true);
        row("UNDEFINED count 4", ExifFile::bytes(1, "0230"), 1, 0, "0230", false);
        row("UNDEFINED count 5 drops the last byte", ExifFile::bytes(1, "ABCDE"), 1, 0, "ABCD",
            true);
        row("ASCII that fits keeps 4 bytes", f.ascii(1, "ab"), 1, 0, QByteArray("ab\0\0", 4),
            false);
        row("ASCII count 0 still gives 4 bytes", Field{1, 2, 0, "wxyz", {}}, 1, 0, "wxyz", false);
        row("ASCII without its NUL loses a letter", f.ascii(1, "Canon", false), 1, 0, "Cano", true);
        row("ASCII keeps trailing blanks", f.ascii(1, "Model   "), 1, 0, "Model   ", true);
        row("ASCII keeps NULs inside", f.ascii(1, QByteArray("Ca\0non", 6)), 1, 0,
            QByteArray("Ca\0non", 6), true);
        row("BYTE array at an offset", ExifFile::bytes(1, QByteArray("\x0A\x00\xFF\x01\x02", 5), 1),
            1, 0, "10025512", true);
        row("SBYTE array like BYTE", ExifFile::bytes(1, QByteArray("\x80\x01\x02\x03\x04", 5), 6),
            1, 0, "1281234", true);
        // Renderings that depend on the byte order.
        row("BYTE that fits", ExifFile::bytes(1, QByteArray("\x02\x02\x00\x00", 4), 1), 1, 0,
            little ? "00000202" : "02020000", false);
        row("SHORT array, first count bytes", f.shorts(1, {1, 2, 3}), 1, 0, little ? "102" : "010",
            true);
        row("LONG array, first count bytes", f.longs(1, {1, 2}), 1, 0, little ? "10" : "00", true);
    }
}

void TestExif::values()
{
    QFETCH(bool, little);
    QFETCH(Field, field);
    QFETCH(int, kind);
    QFETCH(qint64, integer);
    QFETCH(QByteArray, text);
    QFETCH(bool, outsideEntry);

    ExifFile f(little);
    f.ifd0 = {field, f.shorts(2, {7})};
    ExifReader reader;
    QVERIFY(reader.LoadBytes(f.jpeg()));
    const ExifValue value = reader.Tag(1);
    if (kind == 0) {
        QVERIFY(value.isInteger());
        QCOMPARE(value.toInteger(), integer);
        QCOMPARE(value.toText(), QString::number(integer));
    } else {
        QVERIFY(value.isText());
        QCOMPARE(value.bytes(), text);
    }
    QCOMPARE(reader.Entry(0).ValueOffset != 0, outsideEntry);
    // The entry after it is read at the right place.
    QCOMPARE(reader.Tag(2).toInteger(), 7);
}

void TestExif::textEncodings_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("whole");
    QTest::addColumn<QString>("beforeNul");

    const QByteArray gbk("\xCF\xE0\xBB\xFA", 4); // 相机 in GB18030
    const QByteArray utf8 = QStringLiteral("佳能").toUtf8();
    QTest::newRow("ascii") << QByteArray("Canon") << QStringLiteral("Canon")
                           << QStringLiteral("Canon");
    QTest::newRow("utf-8") << utf8 << QStringLiteral("佳能") << QStringLiteral("佳能");
    QTest::newRow("gb18030") << gbk << QStringLiteral("相机") << QStringLiteral("相机");
    QTest::newRow("several NULs after the name")
            << QByteArray("Canon\0\0\0\0", 9)
            << QStringLiteral("Canon").append(QString(4, QChar(0))) << QStringLiteral("Canon");
    // Cut first, then decode: the valid UTF-8 name survives the junk behind its NUL.
    QTest::newRow("utf-8 name, junk after the NUL")
            << utf8 + QByteArray("\0\xFF\xFE", 3) << QString() << QStringLiteral("佳能");
    QTest::newRow("only NULs") << QByteArray(8, '\0') << QString(8, QChar(0)) << QString();
}

void TestExif::textEncodings()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, whole);
    QFETCH(QString, beforeNul);
    for (const bool little : {true, false}) {
        ExifFile f(little);
        f.ifd0 = {ExifFile::bytes(0x010F, stored + QByteArray("\0", 1), 2)};
        ExifReader reader;
        QVERIFY(reader.LoadBytes(f.jpeg()));
        const ExifValue value = reader.Tag(0x010F);
        if (!whole.isNull())
            QCOMPARE(value.toText(), whole);
        QCOMPARE(value.toTextBeforeNul(), beforeNul);
    }
}

void TestExif::unknownTypeCodesKeepTheWalkGoing_data()
{
    QTest::addColumn<int>("type");
    QTest::newRow("type 0") << 0;
    QTest::newRow("type 11 (FLOAT)") << 11;
    QTest::newRow("type 12 (DOUBLE)") << 12;
    QTest::newRow("type 65535") << 65535;
}

void TestExif::unknownTypeCodesKeepTheWalkGoing()
{
    QFETCH(int, type);
    for (const bool little : {true, false}) {
        ExifFile f = cameraFile(little);
        // A huge count and an offset outside: nothing may be read for an unknown type.
        f.ifd0.prepend(ExifFile::raw(0x010E, quint16(type), 0xFFFFFFFF, 0xFFFFFFFF));
        ExifReader reader;
        QVERIFY(reader.LoadBytes(f.jpeg()));
        QVERIFY(reader.Tag(0x010E).isEmpty());
        QCOMPARE(reader.Entry(0).ValueType, type);
        QCOMPARE(reader.Tag(0x0110).toText(), QStringLiteral("Canon EOS 40D"));
        QCOMPARE(reader.Tag(0xA002).toInteger(), 640);
        QCOMPARE(reader.Tag(0).toInteger(), 6 + 2 + 9);
    }
}

void TestExif::byteOrderTwins()
{
    ExifReader little;
    ExifReader big;
    QVERIFY(little.LoadBytes(cameraFile(true).jpeg()));
    QVERIFY(big.LoadBytes(cameraFile(false).jpeg()));
    QVERIFY(little.IsIntelOrder());
    QVERIFY(!big.IsIntelOrder());
    QCOMPARE(little.Tag(0).toInteger(), big.Tag(0).toInteger());
    for (qsizetype i = 0; i < little.EntryCount(); ++i) {
        const Pw::ExifEntry a = little.Entry(i);
        const Pw::ExifEntry b = big.Entry(i);
        QCOMPARE(a.TagId, b.TagId);
        QCOMPARE(a.ValueCount, b.ValueCount);
        QCOMPARE(int(a.Value.kind()), int(b.Value.kind()));
        QCOMPARE(a.Value.toText(), b.Value.toText());
    }
    QCOMPARE(little.Tag(0x9000).toText(), QStringLiteral("0230"));
    QCOMPARE(big.Tag(0x9000).toText(), QStringLiteral("0230"));

    const QString a = write(QStringLiteral("ii.jpg"), cameraFile(true).jpeg());
    const QString b = write(QStringLiteral("mm.jpg"), cameraFile(false).jpeg());
    QCOMPARE(Pw::BuildCameraInfoText(QStringLiteral("H"), a),
             Pw::BuildCameraInfoText(QStringLiteral("H"), b));
}

void TestExif::byteOrderByteTestedAlone_data()
{
    QTest::addColumn<QByteArray>("order");
    QTest::addColumn<bool>("little");
    QTest::newRow("II") << QByteArray("II") << true;
    QTest::newRow("I then M") << QByteArray("IM") << true;
    QTest::newRow("MM") << QByteArray("MM") << false;
    QTest::newRow("M then I") << QByteArray("MI") << false;
    QTest::newRow("0x5C") << QByteArray("\x5C\x5C") << false;
    QTest::newRow("lower-case ii") << QByteArray("ii") << false;
}

void TestExif::byteOrderByteTestedAlone()
{
    QFETCH(QByteArray, order);
    QFETCH(bool, little);
    ExifFile f(little);
    f.order = order;
    f.ifd0 = {f.shorts(0x0112, {6})};
    ExifReader reader;
    QVERIFY(reader.LoadBytes(f.jpeg()));
    QCOMPARE(reader.IsIntelOrder(), little);
    QCOMPARE(reader.Tag(0x0112).toInteger(), 6);
}

void TestExif::walkOrderAndLookups()
{
    Layout layout;
    ExifFile f = cameraFile(true);
    const QByteArray bytes = f.jpeg(&layout);
    ExifReader reader;
    QVERIFY(reader.LoadBytes(bytes));
    QVERIFY(reader.Loaded());
    QCOMPARE(reader.SegmentPos(), 2);
    QCOMPARE(reader.TiffStart(), kTiffStart);
    QCOMPARE(reader.ExifIfdOffset(), qint64(layout.exif));
    // IFD0 (with the pointer), IFD1, then the Exif sub-IFD.
    QCOMPARE(reader.Tag(0).toInteger(), 5 + 2 + 9);
    QCOMPARE(reader.Entry(0).TagId, 0x010F);
    QCOMPARE(reader.Entry(5).TagId, 0x011A);
    QCOMPARE(reader.Entry(7).TagId, 0x829A);
    // IFD0 and IFD1 both carry XResolution: the first read wins.
    QCOMPARE(reader.Tag(0x011A).toText(), QStringLiteral("72/1"));
    QCOMPARE(reader.Tag(0x8769).toInteger(), qint64(layout.exif));
    QVERIFY(reader.Tag(0x8825).isEmpty());
    QVERIFY(reader.Tag(-1).isEmpty());
    QVERIFY(reader.Tag(0x10000 + 0x010F).isEmpty());

    // The Exif sub-IFD's own next link is not followed, even when it points back.
    QByteArray loop = bytes;
    loop.replace(kTiffStart + layout.exifNext, 4, f.u32(layout.ifd0));
    ExifReader ignoring;
    QVERIFY(ignoring.LoadBytes(loop));
    QCOMPARE(ignoring.Tag(0).toInteger(), 5 + 2 + 9);

    // A scanner file: IFD0 only, no pointer; an empty IFD0 loads with no entries.
    ExifFile scanner(false);
    scanner.ifd0 = {scanner.rational(0x011A, 300, 1), scanner.ascii(0x0131, "Scan 1.0")};
    ExifReader scannerReader;
    QVERIFY(scannerReader.LoadBytes(scanner.jpeg()));
    QCOMPARE(scannerReader.Tag(0).toInteger(), 2);
    ExifFile empty(false);
    ExifReader emptyReader;
    QVERIFY(emptyReader.LoadBytes(empty.jpeg()));
    QVERIFY(emptyReader.Tag(0).isEmpty());
    QVERIFY(emptyReader.Tag(0x0110).isEmpty());

    // The Exif segment found anywhere: behind other segments and stray bytes.
    QByteArray app0("\xFF\xE0\x00\x10JFIF\0\x01\x01\x00\x00\x01\x00\x01\x00\x00", 18);
    ExifReader later;
    QVERIFY(later.LoadBytes(ExifFile::jpeg(f.tiff(), app0 + QByteArray(100, '\x55'))));
    QCOMPARE(later.SegmentPos(), 2 + 18 + 100);
    QCOMPARE(later.Tag(0x0110).toText(), QStringLiteral("Canon EOS 40D"));
}

void TestExif::exifPointerForms_data()
{
    QTest::addColumn<int>("form");
    QTest::addColumn<bool>("loads");
    QTest::addColumn<bool>("exifRead");
    QTest::newRow("LONG") << 0 << true << true;
    QTest::newRow("SHORT") << 1 << true << true;
    QTest::newRow("ASCII digits") << 2 << true << true;
    QTest::newRow("unknown type: no sub-IFD") << 3 << true << false;
    QTest::newRow("long BYTE array") << 4 << false << false;
}

void TestExif::exifPointerForms()
{
    QFETCH(int, form);
    QFETCH(bool, loads);
    QFETCH(bool, exifRead);
    for (const bool little : {true, false}) {
        ExifFile f(little);
        f.ifd0 = {f.ascii(0x0110, "M")};
        f.exif = {f.shorts(0x8827, {200})};
        Layout layout;
        QByteArray tiff = f.tiff(&layout);
        // The writer's pointer is IFD0's second entry; the form under test takes its place.
        const QByteArray tag = f.u16(0x8769);
        QByteArray entry;
        switch (form) {
        case 0:
            entry = tag + f.u16(4) + f.u32(1) + f.u32(layout.exif);
            break;
        case 1:
            entry = tag + f.u16(3) + f.u32(1) + f.u16(quint16(layout.exif)) + f.u16(0);
            break;
        case 2:
            entry = tag + f.u16(2) + f.u32(4)
                    + QByteArray::number(layout.exif).leftJustified(4, '\0');
            break;
        case 3:
            entry = tag + f.u16(0) + f.u32(1) + f.u32(layout.exif);
            break;
        default:
            entry = tag + f.u16(1) + f.u32(40) + f.u32(quint32(tiff.size()));
            tiff += QByteArray(40, '1');
            break;
        }
        tiff.replace(layout.ifd0 + 2 + 12, 12, entry);
        ExifReader reader;
        QCOMPARE(reader.LoadBytes(ExifFile::jpeg(tiff)), loads);
        if (loads)
            QCOMPARE(reader.Tag(0x8827).isEmpty(), !exifRead);
    }
}

void TestExif::picFileAndLazyLoad()
{
    const QString camera = write(QStringLiteral("lazy.jpg"), cameraFile(false).jpeg());
    const QString png = write(QStringLiteral("lazy.png"), plainPicture(QSize(4, 4), "PNG"));

    ExifReader lazy; // Tag loads picFile on first use
    lazy.setPicFile(camera);
    QCOMPARE(lazy.Tag(0x0110).toText(), QStringLiteral("Canon EOS 40D"));
    QVERIFY(lazy.Loaded());

    ExifReader ignoresArgument; // a set picFile wins over Load's argument
    ignoresArgument.setPicFile(camera);
    QVERIFY(ignoresArgument.Load(png));

    ExifReader nothing;
    QVERIFY(!nothing.Load(QString()));
    QVERIFY(nothing.Tag(0x0110).isEmpty());
    const QString fifo = m_dir.filePath(QStringLiteral("fifo"));
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Not regular files: a FIFO would block, a device would never end.
    for (const QString &path : {m_dir.filePath(QStringLiteral("missing.jpg")), m_dir.path(),
                                QStringLiteral("/dev/zero"), fifo}) {
        ExifReader reader;
        QVERIFY2(!reader.Load(path), qPrintable(path));
        QVERIFY(reader.Tag(0).isEmpty());
    }

    ExifReader twice; // loading again gives the same table, not a doubled one
    QVERIFY(twice.Load(camera));
    QVERIFY(twice.Load(camera));
    QCOMPARE(twice.Tag(0).toInteger(), 5 + 2 + 9);
}

void TestExif::catalogueCameraText()
{
    Layout layout;
    const QString path = write(QStringLiteral("camera.jpg"), cameraFile(true).jpeg(&layout));
    const QString expected = QStringList{
        QStringLiteral("【camera.jpg】"),
        QStringLiteral("EXIF版本：0230"),
        QStringLiteral("设备制造商：Canon"),
        QStringLiteral("摄影机型号：Canon EOS 40D"),
        QStringLiteral("光圈：2.8"),
        QStringLiteral("快门：1/160"),
        QStringLiteral("ISO：100"),
        QStringLiteral("拍照时间：2008:05:30 15:56:01"),
        QStringLiteral("相片尺寸：640x480像素"),
        QStringLiteral("Orientation：1"),
        QStringLiteral("XResolution：72/1"),
        QStringLiteral("ExifOffset：%1").arg(layout.exif),
        QStringLiteral("ExposureBiasValue：-1/3"),
        QStringLiteral("FocalLength：135/1"),
        QStringLiteral("XResolution2：72/1"),
        QStringLiteral("JPEGInterchangeFormat：1234"),
    }.join(QStringLiteral("\r\n"));
    QCOMPARE(Pw::BuildCameraInfoText(QStringLiteral("【camera.jpg】"), path), expected);
}

void TestExif::catalogueAperture_data()
{
    QTest::addColumn<int>("kind"); // 0 RATIONAL, 1 SRATIONAL, 2 ASCII, 3 SHORT
    QTest::addColumn<quint32>("numerator");
    QTest::addColumn<quint32>("denominator");
    QTest::addColumn<QByteArray>("ascii");
    QTest::addColumn<QString>("line"); // empty: no aperture line

    QTest::newRow("3/1") << 0 << 3u << 1u << QByteArray() << QStringLiteral("光圈：3");
    QTest::newRow("28/10") << 0 << 28u << 10u << QByteArray() << QStringLiteral("光圈：2.8");
    QTest::newRow("1/3") << 0 << 1u << 3u << QByteArray()
                         << QStringLiteral("光圈：0.333333333333333");
    QTest::newRow("2/3 rounds") << 0 << 2u << 3u << QByteArray()
                                << QStringLiteral("光圈：0.666666666666667");
    QTest::newRow("largest") << 0 << 0xFFFFFFFFu << 1u << QByteArray()
                             << QStringLiteral("光圈：4294967295");
    QTest::newRow("0/5") << 0 << 0u << 5u << QByteArray() << QStringLiteral("光圈：0");
    QTest::newRow("0/0") << 0 << 0u << 0u << QByteArray() << QString();
    QTest::newRow("7/0") << 0 << 7u << 0u << QByteArray() << QString();
    QTest::newRow("signed -1/3") << 1 << 0xFFFFFFFFu << 3u << QByteArray()
                                 << QStringLiteral("光圈：-0.333333333333333");
    QTest::newRow("signed 0/-5, no minus zero")
            << 1 << 0u << 0xFFFFFFFBu << QByteArray() << QStringLiteral("光圈：0");
    QTest::newRow("text 56/10") << 2 << 0u << 0u << QByteArray("56/10")
                                << QStringLiteral("光圈：5.6");
    QTest::newRow("text without slash") << 2 << 0u << 0u << QByteArray("f2.8") << QString();
    QTest::newRow("text not a number") << 2 << 0u << 0u << QByteArray("a/b") << QString();
    QTest::newRow("text two slashes") << 2 << 0u << 0u << QByteArray("1/2/3") << QString();
    QTest::newRow("text nan") << 2 << 0u << 0u << QByteArray("nan/1") << QString();
    QTest::newRow("SHORT") << 3 << 4u << 0u << QByteArray() << QString();
}

void TestExif::catalogueAperture()
{
    QFETCH(int, kind);
    QFETCH(quint32, numerator);
    QFETCH(quint32, denominator);
    QFETCH(QByteArray, ascii);
    QFETCH(QString, line);
    ExifFile f(true);
    Field aperture;
    if (kind == 0 || kind == 1)
        aperture = f.rational(0x9205, numerator, denominator, kind == 0 ? 5 : 10);
    else if (kind == 2)
        aperture = f.ascii(0x9205, ascii);
    else
        aperture = f.shorts(0x9205, {quint16(numerator)});
    f.ifd0 = {f.ascii(0x0110, "M"), f.shorts(0x0112, {1})};
    f.exif = {aperture, f.rational(0x829A, 1, 125)};
    const QString path = write(QStringLiteral("aperture.jpg"), f.jpeg());
    QStringList expected = {QStringLiteral("H"), QStringLiteral("摄影机型号：M")};
    if (!line.isEmpty())
        expected << line;
    // The lines after a failed aperture still appear.
    expected << QStringLiteral("快门：1/125") << QStringLiteral("Orientation：1");
    const QString text = Pw::BuildCameraInfoText(QStringLiteral("H"), path);
    QCOMPARE(text.split(QStringLiteral("\r\n")).mid(0, expected.size()), expected);
}

void TestExif::catalogueSizeAndCuts()
{
    ExifFile f(false);
    f.ifd0 = {f.ascii(0x010F, QByteArray("Canon\0\0\0\0", 9)),
              f.ascii(0x0110, QByteArray("EOS\0junk", 8)), f.ascii(0x0131, "Editor 2")};
    f.exif = {f.shorts(0xA002, {640}), ExifFile::bytes(0x9286, QByteArray(8, '\0')),
              ExifFile::bytes(0x9101, QByteArray("\1\2\3\0", 4)),
              ExifFile::bytes(0x9286 + 1, "ignored")};
    const QString path = write(QStringLiteral("size.jpg"), f.jpeg());
    const QStringList lines = Pw::BuildCameraInfoText(QStringLiteral("H"), path)
                                      .split(QStringLiteral("\r\n"));
    QCOMPARE(lines.at(1), QStringLiteral("设备制造商：Canon"));
    QCOMPARE(lines.at(2), QStringLiteral("摄影机型号：EOS"));
    // 0xA002 without 0xA003: no size line.
    QVERIFY(!lines.join(u'|').contains(QStringLiteral("相片尺寸")));
    QVERIFY(lines.contains(QStringLiteral("Software：Editor 2")));
    // A value of NULs is present and shows nothing after its label.
    QVERIFY(lines.contains(QStringLiteral("UserComment：")));
    QVERIFY(lines.contains(QStringLiteral("ComponentsConfiguration：\x01\x02\x03")));
    QVERIFY(!lines.last().endsWith(u'\r'));
}

void TestExif::catalogueEveryLine()
{
    // Every tag number the catalogue names (0x8769 comes from the Exif pointer itself).
    const QList<quint16> tags = {
            0x9000, 0x010F, 0x0110, 0x9205, 0x829A, 0x8827, 0x9003, 0xA002, 0xA003, 0x010E, 0x0112,
            0x011A, 0x011B, 0x0128, 0x0131, 0x0132, 0x013E, 0x013F, 0x0211, 0x0213, 0x0214, 0x8298,
            0x829D, 0x8822, 0x9004, 0x9101, 0x9102, 0x9201, 0x9202, 0x9203, 0x9204, 0x9206, 0x9207,
            0x9208, 0x9209, 0x920A, 0x927C, 0x9286, 0x9290, 0x9291, 0x9292, 0xA000, 0xA001, 0xA004,
            0xA005, 0xA20E, 0xA20F, 0xA210, 0xA215, 0xA217, 0xA300, 0xA301, 0xA302, 0x0001, 0x0002,
            0x1000, 0x1001, 0x1002, 0x0100, 0x0101, 0x0102, 0x0103, 0x0106, 0x0111, 0x0115, 0x0116,
            0x0117, 0x011C, 0x0201, 0x0202, 0x0212, 0x00FE, 0x00FF, 0x012D, 0x013B, 0x013D, 0x0142,
            0x0143, 0x0144, 0x0145, 0x014A, 0x015B, 0x828D, 0x828E, 0x828F, 0x83BB, 0x8773, 0x8824,
            0x8825, 0x8828, 0x8829, 0x882A, 0x882B, 0x920B, 0x920C, 0x920D, 0x9211, 0x9212, 0x9213,
            0x9214, 0x9215, 0x9216, 0xA20B, 0xA20C, 0xA214};
    ExifFile f(true);
    for (const quint16 tag : tags)
        f.exif.append(tag == 0x9205 ? f.rational(tag, 4, 1) : f.shorts(tag, {tag}));
    const QString path = write(QStringLiteral("every.jpg"), f.jpeg());
    const QStringList lines = Pw::BuildCameraInfoText(QStringLiteral("H"), path)
                                      .split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 1 + 111);
    QCOMPARE(lines.at(1), QStringLiteral("EXIF版本：%1").arg(0x9000));
    QCOMPARE(lines.at(4), QStringLiteral("光圈：4"));
    QCOMPARE(lines.at(8), QStringLiteral("相片尺寸：%1x%2像素").arg(0xA002).arg(0xA003));
    QCOMPARE(lines.at(9), QStringLiteral("ImageDescription：%1").arg(0x010E));
    QCOMPARE(lines.at(68), QStringLiteral("XResolution2：%1").arg(0x011A));
    QCOMPARE(lines.at(74), QStringLiteral("YCbCrCoeffecients：%1").arg(0x0211));
    QCOMPARE(lines.at(111), QStringLiteral("SubjectLocation2：%1").arg(0xA214));
    for (const QString &line : lines.mid(1))
        QVERIFY2(line.contains(QStringLiteral("：")), qPrintable(line));
}

void TestExif::catalogueNoKnownTags()
{
    ExifFile f(true);
    f.ifd0 = {f.shorts(0x9999, {1}), f.ascii(0xC000, "private")};
    const QString path = write(QStringLiteral("unknown.jpg"), f.jpeg());
    QCOMPARE(Pw::BuildCameraInfoText(QStringLiteral("【unknown.jpg】"), path),
             QStringLiteral("【unknown.jpg】"));
}

void TestExif::catalogueScanner()
{
    // IFD0 only; the second resolution line repeats IFD0's value, not IFD1's.
    ExifFile f(false);
    f.ifd0 = {f.rational(0x011A, 300, 1), f.ascii(0x0131, "Scan 1.0")};
    f.ifd1 = {f.rational(0x011A, 96, 1)};
    const QString path = write(QStringLiteral("scanner.jpg"), f.jpeg());
    QCOMPARE(
            Pw::BuildCameraInfoText(QStringLiteral("H"), path),
            QStringLiteral("H\r\nXResolution：300/1\r\nSoftware：Scan 1.0\r\nXResolution2：300/1"));
}

void TestExif::cameraStamp_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("shot");

    const auto file = [](const QList<Field> &ifd0, const QList<Field> &exif) {
        ExifFile f(false);
        f.ifd0 = ifd0;
        f.exif = exif;
        return f.jpeg();
    };
    const ExifFile f(false);
    const Field model = f.ascii(0x0110, "NIKON D70");
    const Field shot = f.ascii(0x9003, "2019:05:01 10:20:30");
    QTest::newRow("both") << file({model}, {shot}) << true << QStringLiteral("NIKON D70")
                          << QStringLiteral("2019:05:01 10:20:30");
    QTest::newRow("both, cut at NUL")
            << file({f.ascii(0x0110, QByteArray("D70\0\0\0", 6))},
                    {f.ascii(0x9003, QByteArray("2019:05:01 10:20:30\0x", 21))})
            << true << QStringLiteral("D70") << QStringLiteral("2019:05:01 10:20:30");
    QTest::newRow("model only: what was read, uncut")
            << file({f.ascii(0x0110, QByteArray("D70\0", 4))}, {}) << false
            << QStringLiteral("D70").append(QChar(0)) << QString();
    QTest::newRow("time only") << file({}, {shot}) << false << QString()
                               << QStringLiteral("2019:05:01 10:20:30");
    QTest::newRow("not a JPEG: texts kept") << plainPicture(QSize(4, 4), "PNG") << false
                                            << QStringLiteral("keep") << QStringLiteral("keep");
    QTest::newRow("damaged: texts kept")
            << QByteArray(file({model}, {shot})).replace(kTiffStart + 4, 4, QByteArray(4, '\xFF'))
            << false << QStringLiteral("keep") << QStringLiteral("keep");
}

void TestExif::cameraStamp()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, answer);
    QFETCH(QString, model);
    QFETCH(QString, shot);
    const QString path = write(QStringLiteral("stamp.jpg"), bytes);
    QString gotModel = QStringLiteral("keep");
    QString gotShot = QStringLiteral("keep");
    QCOMPARE(Pw::ReadCameraStamp(path, gotModel, gotShot), answer);
    QCOMPARE(gotModel, model);
    QCOMPARE(gotShot, shot);

    QString untouched = QStringLiteral("keep");
    QString alsoUntouched = QStringLiteral("keep");
    QVERIFY(!Pw::ReadCameraStamp(m_dir.filePath(QStringLiteral("absent.jpg")), untouched,
                                 alsoUntouched));
    QCOMPARE(untouched, QStringLiteral("keep"));
}

void TestExif::infoCommand()
{
    Layout layout;
    const QString camera = write(QStringLiteral("相机 1.jpg"), cameraFile(true).jpeg(&layout));
    const QString png = write(QStringLiteral("plain.png"), plainPicture(QSize(4, 4), "PNG"));
    QByteArray out;
    QByteArray err;
    const int status = captured({QStringLiteral("info"), camera, png}, &out, &err);
    QCOMPARE(status, 0);
    QVERIFY2(err.isEmpty(), err.constData());
    const QString text = QString::fromUtf8(out);
    QVERIFY(!text.contains(u'\r'));
    QVERIFY(text.startsWith(QStringLiteral("【相机 1.jpg】\nEXIF版本：0230\n")));
    QVERIFY(text.endsWith(QStringLiteral(
            "JPEGInterchangeFormat：1234\n\n【plain.png】\n此图片非数码照片或EXIF信息已被破坏\n")));
    QCOMPARE(text.count(u'\n'), 16 + 1 + 2);
}

void TestExif::infoCommandStatus_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("stdoutHas");
    QTest::addColumn<QString>("stderrHas");

    QTest::newRow("missing file named")
            << QStringList{QStringLiteral("@png"), QStringLiteral("@missing")} << 1
            << QStringLiteral("【plain.png】") << QStringLiteral("no such 文件.jpg");
    QTest::newRow("folder") << QStringList{QStringLiteral("@dir")} << 1 << QString()
                            << QStringLiteral("pixwright info");
    QTest::newRow("device that never ends") << QStringList{QStringLiteral("/dev/zero")} << 1
                                            << QString() << QStringLiteral("/dev/zero");
    QTest::newRow("help") << QStringList{QStringLiteral("--help")} << 0
                          << QStringLiteral("pixwright info") << QString();
    QTest::newRow("no file") << QStringList() << 2 << QString() << QStringLiteral("用法");
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--bogus")} << 2 << QString()
                                    << QStringLiteral("--bogus");
    QTest::newRow("file named like an option after --")
            << QStringList{QStringLiteral("--"), QStringLiteral("@png")} << 0
            << QStringLiteral("【plain.png】") << QString();
}

void TestExif::infoCommandStatus()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, stdoutHas);
    QFETCH(QString, stderrHas);
    const QString png = write(QStringLiteral("plain.png"), plainPicture(QSize(4, 4), "PNG"));
    for (QString &arg : args) {
        if (arg == u"@png")
            arg = png;
        else if (arg == u"@missing")
            arg = m_dir.filePath(QStringLiteral("no such 文件.jpg"));
        else if (arg == u"@dir")
            arg = m_dir.path();
    }
    QByteArray out;
    QByteArray err;
    QCOMPARE(captured(QStringList{QStringLiteral("info")} + args, &out, &err), status);
    if (!stdoutHas.isEmpty())
        QVERIFY2(QString::fromUtf8(out).contains(stdoutHas), out.constData());
    if (!stderrHas.isEmpty())
        QVERIFY2(QString::fromUtf8(err).contains(stderrHas), err.constData());
    if (status == 0)
        QVERIFY2(err.isEmpty(), err.constData());
}

void TestExif::samples()
{
    const QDir dir(sharedSamples());
    if (!dir.exists())
        QSKIP("the shared sample pictures are not here");
    // Files whose names do not tell: damaged ones that still load.
    const QStringList loadDespiteDamage = {QStringLiteral("f_its_empty_ifd0.jpg"),
                                           QStringLiteral("f_its_order_5c.jpg")};
    int checked = 0;
    for (const QString &name : dir.entryList(QDir::Files)) {
        if (name == u"README.md")
            continue;
        ExifReader reader;
        const bool loaded = reader.Load(dir.filePath(name));
        const bool expected = name.startsWith(u"r_") || loadDespiteDamage.contains(name);
        QVERIFY2(loaded == expected, qPrintable(name));
        const QString text = Pw::BuildCameraInfoText(QStringLiteral("H"), dir.filePath(name));
        QVERIFY2(text.startsWith(QStringLiteral("H")) && !text.endsWith(u'\n'), qPrintable(name));
        ++checked;
    }
    QVERIFY(checked > 40);

    QString model;
    QString shot;
    QVERIFY(Pw::ReadCameraStamp(dir.filePath(QStringLiteral("r_Canon_40D.jpg")), model, shot));
    QCOMPARE(model, QStringLiteral("Canon EOS 40D"));
    QCOMPARE(shot, QStringLiteral("2008:05:30 15:56:01"));

    const QStringList canon = Pw::BuildCameraInfoText(
                                      QString(), dir.filePath(QStringLiteral("r_Canon_40D.jpg")))
                                      .split(QStringLiteral("\r\n"));
    QCOMPARE(canon.mid(1, 3),
             QStringList({QStringLiteral("EXIF版本：0221"), QStringLiteral("设备制造商：Canon"),
                          QStringLiteral("摄影机型号：Canon EOS 40D")}));
    QVERIFY(canon.contains(QStringLiteral("GPSInfo：978")));
    // IFD0 and IFD1 only: no Exif sub-IFD lines.
    const QString landscape = Pw::BuildCameraInfoText(
            QString(), dir.filePath(QStringLiteral("r_orientation_landscape_1.jpg")));
    QVERIFY(!landscape.contains(QStringLiteral("EXIF版本")));
    QVERIFY(landscape.contains(QStringLiteral("Orientation：1")));
    ExifReader empty;
    QVERIFY(empty.Load(dir.filePath(QStringLiteral("f_its_empty_ifd0.jpg"))));
    QVERIFY(empty.Tag(0).isEmpty());
}

namespace {

QString readSm()
{
    return QStringLiteral(PW_APP_DIR "/pwReadSM");
}

// A JPEG made here, with camera information written by exiv2: sideways, the camera's size,
// a thumbnail.
bool makeCameraJpeg(const QString &path)
{
    const QByteArray bytes = plainPicture(QSize(64, 48), "JPG");
    if (!writeBytes(path, bytes))
        return false;
    try {
        auto image = Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString());
        image->readMetadata();
        Exiv2::ExifData exif;
        exif["Exif.Image.Make"] = "Canon";
        exif["Exif.Image.Model"] = "Canon EOS 40D";
        exif["Exif.Image.Orientation"] = uint16_t(6);
        exif["Exif.Image.Artist"] = "摄影师";
        exif["Exif.Photo.DateTimeOriginal"] = "2008:05:30 15:56:01";
        exif["Exif.Photo.ISOSpeedRatings"] = uint16_t(400);
        exif["Exif.Photo.PixelXDimension"] = uint32_t(3888);
        exif["Exif.Photo.PixelYDimension"] = uint32_t(2592);
        const QByteArray thumb = plainPicture(QSize(16, 12), "JPG");
        Exiv2::ExifThumb(exif).setJpegThumbnail(
                reinterpret_cast<const Exiv2::byte *>(thumb.constData()), long(thumb.size()));
        image->setExifData(exif);
        image->writeMetadata();
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

QProcess *runReadSm(const QStringList &args, int *status, QByteArray *err)
{
    auto *process = new QProcess;
    process->start(readSm(), args);
    process->waitForFinished(30000);
    *status = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
    *err = process->readAllStandardError();
    return process;
}

} // namespace

void TestExif::readSmCopiesCameraInfo_data()
{
    QTest::addColumn<QString>("folder");
    QTest::newRow("plain") << QStringLiteral("plain");
    QTest::newRow("blanks") << QStringLiteral("with  two blanks ");
    QTest::newRow("quotes") << QStringLiteral("say \"cheese\" 'now'");
    QTest::newRow("dollar") << QStringLiteral("$HOME $(echo x) `x`");
    QTest::newRow("chinese") << QStringLiteral("数码照片 新图");
}

void TestExif::readSmCopiesCameraInfo()
{
    QFETCH(QString, folder);
    if (!QFile::exists(readSm()))
        QFAIL("pwReadSM is not built beside pixwright");
    QVERIFY(QDir(m_dir.path()).mkpath(folder));
    const QString base = m_dir.filePath(folder) + u'/';
    const QString source = base + QStringLiteral("源 $1 \"a\".jpg");
    const QString output = base + QStringLiteral("结果 'b' 1.jpg");
    QVERIFY(makeCameraJpeg(source));
    QVERIFY(writeBytes(output, plainPicture(QSize(200, 100), "JPG")));
    QVERIFY(QFile::setPermissions(output, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    const QFile::Permissions permissions = QFile::permissions(output);

    int status = 0;
    QByteArray err;
    std::unique_ptr<QProcess> process(
            runReadSm({QStringLiteral("-te"), source, output}, &status, &err));
    QVERIFY2(status == 0, err.constData());
    QVERIFY2(err.isEmpty(), err.constData());

    // Read back with exiv2 (a metadata tool) and with the program's own reader.
    auto image = Exiv2::ImageFactory::open(QFile::encodeName(output).toStdString());
    image->readMetadata();
    Exiv2::ExifData &exif = image->exifData();
    QCOMPARE(exif["Exif.Image.Orientation"].toLong(), 1L);
    QCOMPARE(exif["Exif.Photo.PixelXDimension"].toLong(), 200L);
    QCOMPARE(exif["Exif.Photo.PixelYDimension"].toLong(), 100L);
    QCOMPARE(QString::fromStdString(exif["Exif.Image.Model"].toString()),
             QStringLiteral("Canon EOS 40D"));
    QCOMPARE(exif["Exif.Photo.ISOSpeedRatings"].toLong(), 400L);
    QCOMPARE(QString::fromStdString(exif["Exif.Image.Artist"].toString()),
             QStringLiteral("摄影师"));
    QCOMPARE(Exiv2::ExifThumbC(exif).copy().size_, 0L);
    QCOMPARE(image->pixelWidth(), 200);

    ExifReader reader;
    QVERIFY(reader.Load(output));
    QCOMPARE(reader.Tag(0x0112).toInteger(), 1);
    QCOMPARE(reader.Tag(0xA002).toInteger(), 200);
    QCOMPARE(reader.Tag(0xA003).toInteger(), 100);
    QCOMPARE(reader.Tag(0x9003).toTextBeforeNul(), QStringLiteral("2008:05:30 15:56:01"));
    QVERIFY(reader.Tag(0x0201).isEmpty()); // no thumbnail offset left
    QCOMPARE(QImage(output).size(), QSize(200, 100));

    // Replaced through a rename: same permissions, no temporary file left behind.
    QCOMPARE(QFile::permissions(output), permissions);
    QCOMPARE(QDir(base).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void TestExif::readSmLeavesOutputAlone_data()
{
    QTest::addColumn<QString>("source"); // @camera, @png, @text, @missing
    QTest::addColumn<QString>("output"); // @jpeg, @png, @missing
    QTest::addColumn<bool>("succeeds");

    QTest::newRow("source without Exif")
            << QStringLiteral("@png") << QStringLiteral("@jpeg") << true;
    QTest::newRow("JFIF source without Exif")
            << QStringLiteral("@jfif") << QStringLiteral("@jpeg") << true;
    QTest::newRow("missing source")
            << QStringLiteral("@missing") << QStringLiteral("@jpeg") << false;
    QTest::newRow("source is a FIFO")
            << QStringLiteral("@fifo") << QStringLiteral("@jpeg") << false;
    QTest::newRow("source not a picture")
            << QStringLiteral("@text") << QStringLiteral("@jpeg") << false;
    QTest::newRow("output not a JPEG")
            << QStringLiteral("@camera") << QStringLiteral("@png") << false;
    QTest::newRow("missing output")
            << QStringLiteral("@camera") << QStringLiteral("@missing") << false;
}

void TestExif::readSmLeavesOutputAlone()
{
    QFETCH(QString, source);
    QFETCH(QString, output);
    QFETCH(bool, succeeds);
    if (!QFile::exists(readSm()))
        QFAIL("pwReadSM is not built beside pixwright");
    QTemporaryDir dir;
    const auto path = [&](const QString &key, const QString &role) -> QString {
        const QString p = dir.filePath(role + key.mid(1) + QStringLiteral(" $x.jpg"));
        if (key == u"@camera")
            return makeCameraJpeg(p) ? p : QString();
        if (key == u"@png")
            return writeBytes(p, plainPicture(QSize(10, 10), "PNG")) ? p : QString();
        if (key == u"@jpeg" || key == u"@jfif")
            return writeBytes(p, plainPicture(QSize(30, 20), "JPG")) ? p : QString();
        if (key == u"@text")
            return writeBytes(p, "just some text\n") ? p : QString();
        if (key == u"@fifo")
            return mkfifo(QFile::encodeName(p).constData(), 0600) == 0 ? p : QString();
        return p; // @missing
    };
    const QString sourcePath = path(source, QStringLiteral("s"));
    const QString outputPath = path(output, QStringLiteral("o"));
    QVERIFY(!sourcePath.isEmpty() && !outputPath.isEmpty());
    const QByteArray before = readAll(outputPath);

    int status = 0;
    QByteArray err;
    std::unique_ptr<QProcess> process(
            runReadSm({QStringLiteral("-te"), sourcePath, outputPath}, &status, &err));
    QCOMPARE(status == 0, succeeds);
    if (!succeeds) {
        QVERIFY(status > 0);
        QCOMPARE(err.count('\n'), 1);
        QVERIFY2(err.startsWith("pwReadSM: "), err.constData());
    }
    QCOMPARE(readAll(outputPath), before);
    QCOMPARE(QFile::exists(outputPath), output != u"@missing");

    std::unique_ptr<QProcess> usage(runReadSm({sourcePath}, &status, &err));
    QCOMPARE(status, 2);
}

void TestExif::readSmOnSamples()
{
    const QDir dir(sharedSamples());
    if (!dir.exists())
        QSKIP("the shared sample pictures are not here");
    QTemporaryDir work;
    const QString output = work.filePath(QStringLiteral("result.jpg"));
    const QByteArray plain = plainPicture(QSize(120, 80), "JPG");
    for (const QString &name : dir.entryList({QStringLiteral("r_*")}, QDir::Files)) {
        QVERIFY(writeBytes(output, plain));
        int status = 0;
        QByteArray err;
        std::unique_ptr<QProcess> process(
                runReadSm({QStringLiteral("-te"), dir.filePath(name), output}, &status, &err));
        QVERIFY2(status == 0, qPrintable(name + u' ' + QString::fromUtf8(err)));
        ExifReader reader;
        QVERIFY2(reader.Load(output), qPrintable(name));
        QCOMPARE(reader.Tag(0x0112).toInteger(), 1);
        QCOMPARE(reader.Tag(0xA002).toInteger(), 120);
        QCOMPARE(reader.Tag(0xA003).toInteger(), 80);
        QCOMPARE(QImage(output).size(), QSize(120, 80));
    }
}

void TestExif::readSmSaysSrgb_data()
{
    QTest::addColumn<int>("colourSpace");
    QTest::addColumn<QString>("index"); // the interoperability index of the source
    QTest::addColumn<bool>("indexKept");
    QTest::newRow("Adobe RGB under DCF") << 0xFFFF << QStringLiteral("R03") << false;
    QTest::newRow("sRGB under DCF") << 1 << QStringLiteral("R98") << true;
    QTest::newRow("uncalibrated, no index") << 0xFFFF << QString() << false;
}

// The results hold sRGB pixels: the copied Exif must not tell a viewer otherwise.
void TestExif::readSmSaysSrgb()
{
    QFETCH(int, colourSpace);
    QFETCH(QString, index);
    QFETCH(bool, indexKept);
    if (!QFile::exists(readSm()))
        QFAIL("pwReadSM is not built beside pixwright");
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("source.jpg"));
    const QString output = dir.filePath(QStringLiteral("output.jpg"));
    QVERIFY(makeCameraJpeg(source));
    {
        auto image = Exiv2::ImageFactory::open(QFile::encodeName(source).toStdString());
        image->readMetadata();
        Exiv2::ExifData exif = image->exifData();
        exif["Exif.Photo.ColorSpace"] = uint16_t(colourSpace);
        if (!index.isEmpty())
            exif["Exif.Iop.InteroperabilityIndex"] = index.toStdString();
        image->setExifData(exif);
        image->writeMetadata();
    }
    QVERIFY(writeBytes(output, plainPicture(QSize(40, 30), "JPG")));
    int status = 0;
    QByteArray err;
    std::unique_ptr<QProcess> process(
            runReadSm({QStringLiteral("-te"), source, output}, &status, &err));
    QVERIFY2(status == 0, err.constData());

    auto image = Exiv2::ImageFactory::open(QFile::encodeName(output).toStdString());
    image->readMetadata();
    Exiv2::ExifData &exif = image->exifData();
    QCOMPARE(exif["Exif.Photo.ColorSpace"].toLong(), 1L);
    const auto kept = exif.findKey(Exiv2::ExifKey("Exif.Iop.InteroperabilityIndex"));
    QCOMPARE(kept != exif.end(), indexKept);
    QCOMPARE(QString::fromStdString(exif["Exif.Image.Model"].toString()),
             QStringLiteral("Canon EOS 40D"));
}

QTEST_GUILESS_MAIN(TestExif)
#include "tst_exif.moc"
