// HEIC/HEIF, AVIF, WebP and TIFF sources: decoding beside a JPEG of the same picture, camera
// information, damaged files, the memory guard, the fourth type switch and --types, and a whole
// run over a mixed folder. Samples are written at test time; a format whose decoder or encoder
// this build lacks is skipped.

#include "exif/camerastamp.h"
#include "exif/exifreader.h"
#include "imaging/codecpicture.h"
#include "imaging/pictureservice.h"
#include "platform/sourceselection.h"
#include "settings/inistore.h"
#include "settings/settingskeys.h"
#include "settings/sourcesettings.h"
#include "tests/support/formatsamples.h"
#include "tests/support/runpixwright.h"
#include "tests/support/testpictures.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using Pw::Codec::Kind;

namespace {

Kind kindOf(const QString &format)
{
    if (format == u"heic")
        return Kind::Heic;
    if (format == u"avif")
        return Kind::Avif;
    if (format == u"webp")
        return Kind::Webp;
    return Kind::Tiff;
}

QColor meanColour(const QImage &image, const QRect &rect)
{
    qint64 r = 0, g = 0, b = 0, a = 0, n = 0;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x, ++n) {
            const QRgb p = argb.pixel(x, y);
            r += qRed(p), g += qGreen(p), b += qBlue(p), a += qAlpha(p);
        }
    return n ? QColor(int(r / n), int(g / n), int(b / n), int(a / n)) : QColor();
}

// The middle of each quadrant, away from the edges lossy coding and resampling blur.
QList<QRect> quadrantCentres(QSize size)
{
    const int w = size.width() / 2, h = size.height() / 2;
    QList<QRect> rects;
    for (int q = 0; q < 4; ++q)
        rects << QRect((q % 2) * w + w / 4, (q / 2) * h + h / 4, w / 2, h / 2);
    return rects;
}

bool near(const QColor &a, const QColor &b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
           && std::abs(a.blue() - b.blue()) <= tolerance
           && std::abs(a.alpha() - b.alpha()) <= tolerance;
}

QString describe(const QColor &c)
{
    return QStringLiteral("(%1,%2,%3,%4)").arg(c.red()).arg(c.green()).arg(c.blue()).arg(c.alpha());
}

} // namespace

class TestFormats : public QObject
{
    Q_OBJECT

private slots:
    void decodesLikeJpeg_data();
    void decodesLikeJpeg();
    void alphaKept_data();
    void alphaKept();
    void webpScaledWhileDecoding();
    void cameraInformation_data();
    void cameraInformation();
    void damagedFiles_data();
    void damagedFiles();
    void unreadableHeifSaysWhy();
    void hugeHeaderRefused_data();
    void hugeHeaderRefused();
    void claimsBeyondHeaderAreDamaged_data();
    void claimsBeyondHeaderAreDamaged();
    void avifQuarterTurnOfLibheif();
    void typeWords_data();
    void typeWords();
    void fourthSwitchStored_data();
    void fourthSwitchStored();
    void mixedFolderRun();

private:
    // Writes the sample or skips the test when this build cannot.
    QString sample(const QString &format, const QImage &picture, const PwTest::SampleSpec &spec,
                   const QString &name);

    QTemporaryDir m_dir;
};

QString TestFormats::sample(const QString &format, const QImage &picture,
                            const PwTest::SampleSpec &spec, const QString &name)
{
    if (!Pw::Codec::IsBuiltIn(kindOf(format)))
        return {};
    const QString path = m_dir.filePath(name);
    QString why;
    if (!PwTest::WriteSample(format, picture, spec, path, &why)) {
        qWarning("cannot write a %s sample here: %s", qPrintable(format), qPrintable(why));
        return {};
    }
    return path;
}

#define SAMPLE_OR_SKIP(var, ...) \
    const QString var = sample(__VA_ARGS__); \
    if (var.isEmpty()) \
        QSKIP("no decoder or encoder for this format in this build");

void TestFormats::decodesLikeJpeg_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("orientation");
    QTest::addColumn<int>("bits");
    QTest::addColumn<bool>("cmyk");
    QTest::addColumn<bool>("secondPage");
    QTest::addColumn<int>("tolerance");
    QTest::addColumn<bool>("cropped"); // the file crops the stored picture to its middle
    // HEIC and AVIF turn by their own boxes and also carry the Exif orientation: applied once.
    QTest::newRow("heic") << "heic" << 1 << 8 << false << false << 14 << false;
    QTest::newRow("heic turned 6") << "heic" << 6 << 8 << false << false << 14 << false;
    QTest::newRow("heic mirrored 2") << "heic" << 2 << 8 << false << false << 14 << false;
    QTest::newRow("heic 10 bits") << "heic" << 1 << 10 << false << false << 14 << false;
    QTest::newRow("avif") << "avif" << 1 << 8 << false << false << 14 << false;
    QTest::newRow("avif turned 8") << "avif" << 8 << 8 << false << false << 14 << false;
    QTest::newRow("avif transposed 5") << "avif" << 5 << 8 << false << false << 14 << false;
    QTest::newRow("avif 10 bits") << "avif" << 1 << 10 << false << false << 14 << false;
    QTest::newRow("avif cropped, turned 6") << "avif" << 6 << 8 << false << false << 14 << true;
    QTest::newRow("webp") << "webp" << 1 << 8 << false << false << 12 << false;
    QTest::newRow("webp turned 6") << "webp" << 6 << 8 << false << false << 12 << false;
    QTest::newRow("webp transposed 5") << "webp" << 5 << 8 << false << false << 12 << false;
    QTest::newRow("webp animated: first frame") << "webp" << 1 << 8 << false << true << 12 << false;
    QTest::newRow("tiff") << "tiff" << 1 << 8 << false << false << 8 << false;
    QTest::newRow("tiff turned 3") << "tiff" << 3 << 8 << false << false << 8 << false;
    QTest::newRow("tiff transverse 7") << "tiff" << 7 << 8 << false << false << 8 << false;
    QTest::newRow("tiff 16 bits") << "tiff" << 1 << 16 << false << false << 8 << false;
    QTest::newRow("tiff cmyk") << "tiff" << 1 << 8 << true << false << 8 << false;
    QTest::newRow("tiff two pages: first") << "tiff" << 1 << 8 << false << true << 8 << false;
}

void TestFormats::decodesLikeJpeg()
{
    QFETCH(QString, format);
    QFETCH(int, orientation);
    QFETCH(int, bits);
    QFETCH(bool, cmyk);
    QFETCH(bool, secondPage);
    QFETCH(int, tolerance);
    QFETCH(bool, cropped);
    const QImage stored = PwTest::QuadrantPicture(96, 64);
    PwTest::SampleSpec spec;
    if (cropped)
        spec.crop = QRect(16, 8, 64, 48); // the same quadrants, smaller
    spec.orientation = orientation;
    spec.model = "Test Camera";
    spec.shot = "2024:05:06 07:08:09";
    spec.bits = bits;
    spec.cmyk = cmyk;
    spec.secondPage = secondPage;
    const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_');
    SAMPLE_OR_SKIP(path, format, stored, spec, tag + u'.' + format);

    // The JPEG of the same stored pixels and orientation is the reference.
    const QString jpeg = m_dir.filePath(tag + QStringLiteral(".jpg"));
    {
        QFile out(jpeg);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(PwTest::JpegWithExif(
                cropped ? stored.copy(spec.crop) : stored,
                PwTest::ExifBlock("Test Camera", "2024:05:06 07:08:09", orientation)));
    }
    const Pw::PictureInfo info = Pw::LoadAndMeasure(path);
    const Pw::PictureInfo reference = Pw::LoadAndMeasure(jpeg);
    QCOMPARE(info.error, QString());
    QCOMPARE(info.size(), reference.size());

    const Pw::LoadedPicture loaded = Pw::LoadPicture(path);
    const Pw::LoadedPicture expected = Pw::LoadPicture(jpeg);
    QCOMPARE(loaded.error, QString());
    QCOMPARE(loaded.image.size(), expected.image.size());
    QCOMPARE(QSize(loaded.sourceWidth, loaded.sourceHeight), reference.size());
    for (const QRect &rect : quadrantCentres(loaded.image.size())) {
        const QColor got = meanColour(loaded.image, rect), want = meanColour(expected.image, rect);
        QVERIFY2(near(got, want, tolerance),
                 qPrintable(describe(got) + QStringLiteral(" vs JPEG ") + describe(want)));
    }
}

void TestFormats::alphaKept_data()
{
    QTest::addColumn<QString>("format");
    for (const char *format : {"heic", "avif", "webp", "tiff"})
        QTest::newRow(format) << QString::fromLatin1(format);
}

// The right half is half transparent: kept by the decoder, and over white on a mode-3 canvas,
// as a PNG is.
void TestFormats::alphaKept()
{
    QFETCH(QString, format);
    const QImage stored = PwTest::QuadrantPicture(64, 64, true);
    SAMPLE_OR_SKIP(path, format, stored, {}, QStringLiteral("alpha.") + format);
    const Pw::LoadedPicture loaded = Pw::LoadPicture(path);
    QCOMPARE(loaded.error, QString());
    QVERIFY(loaded.image.hasAlphaChannel());
    const QList<QRect> rects = quadrantCentres(loaded.image.size());
    QVERIFY2(near(meanColour(loaded.image, rects[0]), QColor(220, 30, 30, 255), 16),
             qPrintable(describe(meanColour(loaded.image, rects[0]))));
    QVERIFY2(std::abs(meanColour(loaded.image, rects[1]).alpha() - 128) <= 8,
             qPrintable(describe(meanColour(loaded.image, rects[1]))));

    Pw::FitParams params;
    params.fitMode = Pw::FitMode::OneEdge;
    params.edgeLength = 64;
    Pw::Canvas canvas;
    canvas.resize(64, 64);
    canvas.fillColour = Qt::black;
    canvas.clear();
    QCOMPARE(Pw::DrawFitted(canvas, path, params), QString());
    // Green at half alpha over white.
    QVERIFY2(near(meanColour(canvas.image, rects[1]), QColor(148, 228, 148), 16),
             qPrintable(describe(meanColour(canvas.image, rects[1]))));
}

// A WebP drawn at an eighth of its size is decoded reduced, and still gives the right picture.
void TestFormats::webpScaledWhileDecoding()
{
    const QImage stored = PwTest::QuadrantPicture(1600, 1200);
    SAMPLE_OR_SKIP(path, QStringLiteral("webp"), stored, {}, QStringLiteral("large.webp"));
    const Pw::Codec::Picture reduced = Pw::Codec::Decode(Kind::Webp, path, QSize(400, 300));
    QCOMPARE(reduced.image.size(), QSize(400, 300));
    QCOMPARE(QSize(reduced.sourceWidth, reduced.sourceHeight), QSize(1600, 1200));

    Pw::FitParams params;
    params.fitMode = Pw::FitMode::OneEdge;
    params.edgeLength = 160;
    const Pw::DrawnPicture drawn = Pw::DrawFittedPicture(path, params);
    QCOMPARE(drawn.error, QString());
    QCOMPARE(drawn.image.size(), QSize(160, 120));
    const QList<QRect> rects = quadrantCentres(drawn.image.size());
    QVERIFY(near(meanColour(drawn.image, rects[3]), QColor(230, 210, 30), 12));
    // The budget counts the reduced picture, not the whole one.
    const Pw::DrawCost cost = Pw::EstimateDrawCost(path, params);
    QVERIFY2(cost.pictureBytes < qint64(1600) * 1200 * 4,
             qPrintable(QString::number(cost.pictureBytes)));
}

void TestFormats::cameraInformation_data()
{
    alphaKept_data();
}

// Time of taking and model for names and step 1, the whole block for the camera dialog, and a
// copy in the JPEG result through pwReadSM with the orientation set to 1.
void TestFormats::cameraInformation()
{
    QFETCH(QString, format);
    PwTest::SampleSpec spec;
    spec.orientation = 6;
    spec.model = "Pixel Test 7";
    spec.shot = "2023:11:12 13:14:15";
    SAMPLE_OR_SKIP(path, format, PwTest::QuadrantPicture(48, 32), spec,
                   QStringLiteral("camera.") + format);
    QString model, shot;
    QVERIFY(Pw::ReadCameraStamp(path, model, shot));
    QCOMPARE(model, QStringLiteral("Pixel Test 7"));
    QCOMPARE(shot, QStringLiteral("2023:11:12 13:14:15"));
    // The decoder's block is the TIFF structure alone (HEIF's header offset and "Exif\0\0" gone).
    if (format != u"tiff")
        QCOMPARE(Pw::Codec::Decode(kindOf(format), path).exif,
                 PwTest::ExifBlock(spec.model, spec.shot, spec.orientation));

    const QString result = m_dir.filePath(QStringLiteral("camera-result-") + format
                                          + QStringLiteral(".jpg"));
    QVERIFY(Pw::SaveJpeg(Pw::LoadPicture(path).image, result, 90, 96).isEmpty());
    QProcess tool;
    tool.start(QStringLiteral(PW_APP_DIR "/pwReadSM"), {QStringLiteral("-te"), path, result});
    QVERIFY(tool.waitForFinished(30000));
    QCOMPARE(tool.exitCode(), 0);
    Pw::ExifReader copied;
    QVERIFY(copied.Load(result));
    QCOMPARE(copied.Tag(0x0110).toTextBeforeNul(), QStringLiteral("Pixel Test 7"));
    QCOMPARE(copied.Tag(0x9003).toTextBeforeNul(), QStringLiteral("2023:11:12 13:14:15"));
    QCOMPARE(copied.Tag(0x0112).toInteger(), 1);
    // No pixel layout of the source came along.
    QVERIFY(copied.Tag(0x0111).isEmpty());
}

void TestFormats::damagedFiles_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("keepPercent");
    QTest::addColumn<bool>("partlyDrawn");
    QTest::newRow("heic cut") << "heic" << 70 << false;
    QTest::newRow("avif cut") << "avif" << 70 << false;
    QTest::newRow("webp cut in the pixels") << "webp" << 80 << true;
    QTest::newRow("webp header only") << "webp" << 5 << false;
    QTest::newRow("tiff cut in the strips") << "tiff" << 75 << true;
    QTest::newRow("tiff cut in the directory") << "tiff" << 3 << false;
}

void TestFormats::damagedFiles()
{
    QFETCH(QString, format);
    QFETCH(int, keepPercent);
    QFETCH(bool, partlyDrawn);
    PwTest::SampleSpec spec;
    spec.rowsPerStrip = 8;
    const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_');
    SAMPLE_OR_SKIP(path, format, PwTest::busyPicture(256, 192, 7), spec, tag + u'.' + format);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.resize(file.size() * keepPercent / 100));
    file.close();

    Pw::FitParams params;
    params.fitMode = Pw::FitMode::OneEdge;
    params.edgeLength = 64;
    const Pw::DrawnPicture drawn = Pw::DrawFittedPicture(path, params);
    const Kind kind = kindOf(format);
    if (partlyDrawn) {
        QCOMPARE(drawn.error, QStringLiteral("图片数据不完整"));
        QVERIFY(!drawn.image.isNull());
    } else {
        QVERIFY(drawn.image.isNull());
        QCOMPARE(drawn.error, Pw::Codec::DamagedText(kind));
        QVERIFY(drawn.error.contains(Pw::Codec::KindName(kind)));
    }
}

// A file that starts like a HEIC but holds nothing else is damaged; in a build without libheif
// it is a format this build does not read. Either way the report says which.
void TestFormats::unreadableHeifSaysWhy()
{
    const QString path = m_dir.filePath(QStringLiteral("broken.heic"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("\0\0\0\x18"
                          "ftypheic\0\0\0\0mif1heic",
                          24)
               + QByteArray(40, 'x'));
    file.close();
    const QString expected = Pw::Codec::IsBuiltIn(Kind::Heic)
                                     ? Pw::Codec::DamagedText(Kind::Heic)
                                     : Pw::Codec::UnsupportedText(Kind::Heic);
    QCOMPARE(Pw::LoadAndMeasure(path).error, expected);
    Pw::FitParams params;
    params.fitMode = Pw::FitMode::OneEdge;
    params.edgeLength = 64;
    QCOMPARE(Pw::DrawFittedPicture(path, params).error, expected);
}

void TestFormats::hugeHeaderRefused_data()
{
    QTest::addColumn<QString>("format");
    QTest::newRow("heic") << "heic";
    QTest::newRow("avif") << "avif";
    QTest::newRow("tiff") << "tiff";
}

// A 30000 x 30000 header is refused before decoding, with its size, as any canvas that large.
void TestFormats::hugeHeaderRefused()
{
    QFETCH(QString, format);
    SAMPLE_OR_SKIP(path, format, PwTest::QuadrantPicture(64, 64), {},
                   QStringLiteral("huge.") + format);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    const auto be32 = [](quint32 v) {
        const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
        return QByteArray(b, 4);
    };
    if (format != u"tiff") {
        // The 'ispe' property: version and flags, then width and height.
        const qsizetype at = bytes.indexOf("ispe");
        QVERIFY(at > 0);
        bytes.replace(at + 8, 8, be32(30000) + be32(30000));
    } else {
        // Width and height are the first two entries of IFD0 (LONG values, little-endian).
        const QByteArray le("\x30\x75\0\0", 4); // 30000
        bytes.replace(8 + 2 + 8, 4, le);
        bytes.replace(8 + 2 + 12 + 8, 4, le);
    }
    file.seek(0);
    file.write(bytes);
    file.close();
    const Pw::PictureInfo info = Pw::LoadAndMeasure(path);
    QCOMPARE(info.size(), QSize(30000, 30000));
    QVERIFY(!info.error.isEmpty());
    Pw::FitParams params;
    params.fitMode = Pw::FitMode::OneEdge;
    params.edgeLength = 64;
    const Pw::DrawnPicture drawn = Pw::DrawFittedPicture(path, params);
    QCOMPARE(drawn.error, info.error);
    QVERIFY(drawn.image.isNull());
}

void TestFormats::claimsBeyondHeaderAreDamaged_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<Kind>("kind");
    // Found by fuzzing: an AVIF header claiming 1770000000 x 1770000000 pixels, whose size
    // overflowed the memory check. No AV1 picture has such sides.
    QTest::newRow("avif sides beyond AV1") << "avif-ispe-beyond-av1.avif" << Kind::Avif;
    // Found by fuzzing: 16 x 8204 by its 'ispe', while its grid's canvas is 26989 x 26994
    // (libheif asked for 2.1 GB).
    QTest::newRow("heic grid canvas") << "heic-grid-beyond-header.heic" << Kind::Heic;
    // A 256 x 192 HEVC frame whose 'ispe' was changed to 32 x 24.
    QTest::newRow("heic hevc frame") << "heic-sps-beyond-header.heic" << Kind::Heic;
}

// A file whose decoder would make a frame larger than the header says (and the memory estimate
// allows) is damaged, before anything is decoded.
void TestFormats::claimsBeyondHeaderAreDamaged()
{
    QFETCH(QString, name);
    QFETCH(Kind, kind);
    const QString path = QStringLiteral(PW_TEST_DATA_DIR "/") + name;
    const QString expected = Pw::Codec::IsBuiltIn(kind) ? Pw::Codec::DamagedText(kind)
                                                        : Pw::Codec::UnsupportedText(kind);
    QCOMPARE(Pw::LoadAndMeasure(path).error, expected);
    Pw::FitParams params;
    params.fitMode = Pw::FitMode::OneEdge;
    params.edgeLength = 64;
    QCOMPARE(Pw::EstimateDrawCost(path, params).pictureBytes, 0);
    const Pw::DrawnPicture drawn = Pw::DrawFittedPicture(path, params);
    QCOMPARE(drawn.error, expected);
    QVERIFY(drawn.image.isNull());
    QCOMPARE(Pw::LoadPicture(path).error, expected);
}

// libheif 1.15 wrote this file: a 64 x 96 picture stored turned, with the size after the turn
// where the size before it belongs. Read as libavif reads it, it came out 96 x 64 and squashed.
void TestFormats::avifQuarterTurnOfLibheif()
{
    if (!Pw::Codec::IsBuiltIn(Kind::Heic))
        QSKIP("only libheif reads these files upright");
    const QString path = QStringLiteral(PW_TEST_DATA_DIR "/avif-libheif-quarter-turn.avif");
    const Pw::PictureInfo info = Pw::LoadAndMeasure(path);
    QVERIFY2(info.error.isEmpty(), qPrintable(info.error));
    QCOMPARE(QSize(info.width, info.height), QSize(64, 96));
    QCOMPARE(Pw::LoadPicture(path).image.size(), QSize(64, 96));
}

void TestFormats::typeWords_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("mask");
    QTest::newRow("every word") << "jpg,png,bmp,heic,avif,webp,tiff" << 127;
    QTest::newRow("heif is heic, tif is tiff") << "HEIF,tif" << (8 | 64);
    QTest::newRow("webp alone") << "WebP" << 32;
    QTest::newRow("unknown word") << "heic,gif" << 0;
}

// --types words, and the listing: any letter case, .heif with HEIC, .tif with TIFF.
void TestFormats::typeWords()
{
    QFETCH(QString, text);
    QFETCH(int, mask);
    QCOMPARE(Pw::ParsePictureTypes(text).toInt(), mask);

    QTemporaryDir dir;
    for (const char *name :
         {"a.HEIC", "b.heif", "c.avif", "d.WEBP", "e.tif", "f.Tiff", "g.jpg", "h.gif"}) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QStringList listed = Pw::ListPictures(dir.path(), Pw::ParsePictureTypes(text));
    QStringList expected;
    const QList<QPair<const char *, int>> types = {{"a.HEIC", 8},  {"b.heif", 8}, {"c.avif", 16},
                                                   {"d.WEBP", 32}, {"e.tif", 64}, {"f.Tiff", 64},
                                                   {"g.jpg", 1}};
    for (const auto &[name, type] : types)
        if (mask & type)
            expected << QString::fromLatin1(name);
    QCOMPARE(listed, expected);
}

void TestFormats::fourthSwitchStored_data()
{
    QTest::addColumn<QStringList>("stored"); // FILTER, FILTER1..4 ("-" for absent)
    QTest::addColumn<int>("listed");
    QTest::newRow("no FILTER4: as before") << QStringList{"*.jpg;*.png", "1", "1", "0", "-"} << 3;
    QTest::newRow("FILTER4 on") << QStringList{"*.jpg", "1", "0", "0", "1"} << (1 | 120);
    QTest::newRow("FILTER4 alone") << QStringList{"*.jpg", "0", "0", "0", "1"} << 120;
    QTest::newRow("nothing stored, FILTER4 on") << QStringList{"-", "-", "-", "-", "1"} << 127;
    QTest::newRow("FILTER4 off") << QStringList{";*.bmp", "0", "0", "1", "0"} << 4;
}

void TestFormats::fourthSwitchStored()
{
    QFETCH(QStringList, stored);
    QFETCH(int, listed);
    const QString file = m_dir.filePath(
            QStringLiteral("switch-%1.ini").arg(QTest::currentDataTag()));
    const QStringList keys = {Pw::Keys::kFilter, Pw::Keys::kFilterJpg, Pw::Keys::kFilterPng,
                              Pw::Keys::kFilterBmp, Pw::Keys::kFilterOther};
    for (int i = 0; i < keys.size(); ++i)
        if (stored[i] != u"-")
            QVERIFY(Pw::WriteIni(Pw::Keys::kSectionSelected, keys[i], stored[i], file));
    const Pw::SourceChoices choices = Pw::LoadSourceChoices(file);
    QCOMPARE(choices.other, stored[4] == u"1");
    QCOMPARE(choices.listedTypes().toInt(), listed);

    // The fourth switch never enters FILTER: a settings file stays readable by the old keys.
    const QString pattern = Pw::ReadIni(Pw::Keys::kSectionSelected, Pw::Keys::kFilter, file);
    QVERIFY(Pw::StoreOtherPictureTypes(!choices.other, file));
    QCOMPARE(Pw::ReadIni(Pw::Keys::kSectionSelected, Pw::Keys::kFilter, file), pattern);
    QCOMPARE(Pw::ReadIni(Pw::Keys::kSectionSelected, Pw::Keys::kFilterOther, file),
             choices.other ? QStringLiteral("0") : QStringLiteral("1"));
}

// The command line over a folder of every format: one JPEG per source, named as a JPG source
// would be; the rename-only run keeps each extension.
void TestFormats::mixedFolderRun()
{
    QTemporaryDir folder, output;
    QStringList sources;
    for (const char *format : {"heic", "avif", "webp", "tiff"}) {
        const QString name = QStringLiteral("mixed_") + QString::fromLatin1(format);
        const QString path = sample(QString::fromLatin1(format), PwTest::QuadrantPicture(80, 60),
                                    {}, name + u'.' + QString::fromLatin1(format));
        if (!path.isEmpty() && QFile::copy(path, folder.filePath(QFileInfo(path).fileName())))
            sources << QFileInfo(path).fileName();
    }
    if (sources.isEmpty())
        QSKIP("no decoder or encoder of these formats in this build");
    {
        QFile jpeg(folder.filePath(QStringLiteral("plain.jpg")));
        QVERIFY(jpeg.open(QIODevice::WriteOnly));
        jpeg.write(PwTest::JpegWithExif(PwTest::QuadrantPicture(80, 60), {}));
    }
    const QString settings = m_dir.filePath(QStringLiteral("mixed.ini"));
    QVERIFY(Pw::WriteIni(QStringLiteral("PixWright"), QStringLiteral("test"), QStringLiteral("1"),
                         settings));
    const PwTest::ProgramRun run = PwTest::runPixwright(
            {QStringLiteral("run"), folder.path(), QStringLiteral("--settings"), settings,
             QStringLiteral("--types"), QStringLiteral("jpg,heic,avif,webp,tiff"),
             QStringLiteral("--mode"), QStringLiteral("3"), QStringLiteral("--length"),
             QStringLiteral("40"), QStringLiteral("--rule"), QStringLiteral("0000001"),
             QStringLiteral("--output-root"), output.path(), QStringLiteral("--yes")});
    QVERIFY2(run.status == 0, run.err.constData());
    QStringList results;
    QDirIterator it(output.path(), {QStringLiteral("*.jpg")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        results << QFileInfo(path).fileName();
        QCOMPARE(Pw::LoadAndMeasure(path).size(), QSize(40, 30));
    }
    results.sort();
    QStringList expected{QStringLiteral("plain.jpg")};
    for (const QString &source : std::as_const(sources))
        expected << QFileInfo(source).completeBaseName() + QStringLiteral(".jpg");
    expected.sort();
    QCOMPARE(results, expected);

    const PwTest::ProgramRun rename = PwTest::runPixwright(
            {QStringLiteral("rename"), folder.path(), QStringLiteral("--settings"), settings,
             QStringLiteral("--types"), QStringLiteral("heic,avif,webp,tiff"),
             QStringLiteral("--rule"), QStringLiteral("1000001")});
    QVERIFY2(rename.status == 0, rename.err.constData());
    for (const QString &source : std::as_const(sources))
        QVERIFY2(rename.out.contains(QFileInfo(source).suffix().toUtf8()), rename.out.constData());
    QVERIFY(!rename.out.contains(".jpg"));
}

QTEST_GUILESS_MAIN(TestFormats)
#include "tst_formats.moc"
