// Embedded colour profiles: every picture is drawn in sRGB, compared with Little CMS itself
// converting the same stored values in double precision.

#include "imaging/colourprofile.h"
#include "imaging/pictureservice.h"
#include "tests/support/cmykjpeg.h"
#include "tests/support/colourpictures.h"
#include "tests/support/testfiles.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

#include <lcms2.h>

using namespace PwTest;

namespace {

constexpr int kStripe = 32; // four stripes of one colour each, 8-pixel blocks inside
const std::array<QColor, 4> kColours = {QColor(60, 160, 90), QColor(220, 40, 50),
                                        QColor(40, 70, 210), QColor(128, 128, 128)};
const std::array<int, 4> kGreys = {30, 90, 160, 230};
const std::array<Inks, 4> kInks = {Inks{0, 230, 230, 0}, Inks{230, 20, 200, 0},
                                   Inks{160, 120, 0, 40}, Inks{0, 0, 0, 128}};

QByteArray savedProfile(cmsHPROFILE profile)
{
    cmsUInt32Number size = 0;
    if (!cmsSaveProfileToMem(profile, nullptr, &size))
        qFatal("a test profile cannot be saved");
    QByteArray bytes(qsizetype(size), '\0');
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    return bytes;
}

QByteArray rgbProfile(cmsCIExyY white, cmsCIExyYTRIPLE primaries, double gamma)
{
    cmsToneCurve *curve = cmsBuildGamma(nullptr, gamma);
    cmsToneCurve *curves[3] = {curve, curve, curve};
    const QByteArray bytes = savedProfile(cmsCreateRGBProfile(&white, &primaries, curves));
    cmsFreeToneCurve(curve);
    return bytes;
}

// The published primaries and white points.
QByteArray adobeRgb()
{
    return rgbProfile({0.3127, 0.3290, 1}, {{0.64, 0.33, 1}, {0.21, 0.71, 1}, {0.15, 0.06, 1}},
                      563.0 / 256.0);
}

QByteArray proPhoto()
{
    return rgbProfile({0.3457, 0.3585, 1},
                      {{0.7347, 0.2653, 1}, {0.1596, 0.8404, 1}, {0.0366, 0.0001, 1}}, 1.8);
}

QByteArray linearGrey()
{
    cmsToneCurve *curve = cmsBuildGamma(nullptr, 1.0);
    const QByteArray bytes = savedProfile(cmsCreateGrayProfile(cmsD50_xyY(), curve));
    cmsFreeToneCurve(curve);
    return bytes;
}

QByteArray srgbProfile()
{
    return savedProfile(cmsCreate_sRGBProfile());
}

// A printer profile: inks to Lab through a table; ink spreads (each covers more than its amount),
// then the colours mix as on screen, seen as sRGB.
QByteArray cmykProfile()
{
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsHPROFILE lab = cmsCreateLab4Profile(nullptr);
    cmsHTRANSFORM toLab = cmsCreateTransform(srgb, TYPE_RGB_DBL, lab, TYPE_Lab_DBL,
                                             INTENT_RELATIVE_COLORIMETRIC, 0);
    cmsCloseProfile(srgb);
    cmsCloseProfile(lab);
    cmsStage *table = cmsStageAllocCLut16bit(nullptr, 9, 4, 3, nullptr);
    const auto sample = [](const cmsUInt16Number in[], cmsUInt16Number out[], void *cargo) {
        const auto cover = [](cmsUInt16Number ink) {
            return std::pow(ink / 65535.0, 0.7);
        };
        const double k = 1 - cover(in[3]);
        const double rgb[3] = {(1 - cover(in[0])) * k, (1 - cover(in[1])) * k,
                               (1 - cover(in[2])) * k};
        cmsCIELab colour;
        cmsDoTransform(static_cast<cmsHTRANSFORM>(cargo), rgb, &colour, 1);
        cmsFloat2LabEncoded(out, &colour);
        return cmsInt32Number(TRUE);
    };
    cmsStageSampleCLut16bit(table, sample, toLab, 0);
    cmsDeleteTransform(toLab);
    // The layout a v4 table takes: curves, table, curves (identity curves here).
    cmsPipeline *pipeline = cmsPipelineAlloc(nullptr, 4, 3);
    cmsPipelineInsertStage(pipeline, cmsAT_END, cmsStageAllocToneCurves(nullptr, 4, nullptr));
    cmsPipelineInsertStage(pipeline, cmsAT_END, table);
    cmsPipelineInsertStage(pipeline, cmsAT_END, cmsStageAllocToneCurves(nullptr, 3, nullptr));
    cmsHPROFILE profile = cmsCreateProfilePlaceholder(nullptr);
    cmsSetProfileVersion(profile, 4.3);
    cmsSetDeviceClass(profile, cmsSigOutputClass);
    cmsSetColorSpace(profile, cmsSigCmykData);
    cmsSetPCS(profile, cmsSigLabData);
    cmsWriteTag(profile, cmsSigAToB0Tag, pipeline);
    cmsWriteTag(profile, cmsSigMediaWhitePointTag, cmsD50_XYZ());
    cmsPipelineFree(pipeline);
    return savedProfile(profile);
}

// Four stripes of inks, stored inverted with the Adobe marker when `adobe` is set.
QByteArray cmykStripes(bool adobe)
{
    return cmykJpeg(4 * kStripe, kStripe, adobe, 100,
                    [](int x) { return kInks[size_t(x / kStripe)]; });
}

QImage stripes(QImage::Format format)
{
    QImage image(4 * kStripe, kStripe, format);
    QPainter painter(&image);
    for (int i = 0; i < 4; ++i) {
        const QColor colour = format == QImage::Format_Grayscale8 ? QColor(
                                      kGreys[size_t(i)], kGreys[size_t(i)], kGreys[size_t(i)])
                                                                  : kColours[size_t(i)];
        painter.fillRect(i * kStripe, 0, kStripe, kStripe, colour);
    }
    return image;
}

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 100);
    return bytes;
}

// The picture of `kind` without a profile, and with `profile` (none when empty).
QByteArray picture(const QString &kind, const QByteArray &profile, bool withProfile)
{
    if (kind == u"cmyk" || kind == u"adobe-cmyk") {
        const QByteArray jpeg = cmykStripes(kind == u"adobe-cmyk");
        return withProfile ? withIccProfile(jpeg, profile) : jpeg;
    }
    if (kind == u"png" || kind == u"png-broken-stream") {
        const QByteArray png = encoded(stripes(QImage::Format_RGB32), "PNG");
        if (!withProfile)
            return png;
        return kind == u"png" ? withIccpChunk(png, profile)
                              : withIccpChunk(png, profile, "\x78\x9c not zlib");
    }
    QByteArray jpeg = encoded(
            stripes(kind == u"grey" ? QImage::Format_Grayscale8 : QImage::Format_RGB32), "JPEG");
    if (withProfile && kind == u"exif-r03")
        return jpeg.insert(2, adobeRgbExifSegment());
    return withProfile ? withIccProfile(jpeg, profile) : jpeg;
}

// Little CMS's own answer, in double precision, for values stored in the file.
QColor reference(const QByteArray &profile, const QString &kind, const std::array<double, 4> &in)
{
    cmsHPROFILE source = cmsOpenProfileFromMem(profile.constData(),
                                               cmsUInt32Number(profile.size()));
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    const bool cmyk = kind.contains(u"cmyk");
    const bool grey = kind == u"grey";
    cmsHTRANSFORM transform = cmsCreateTransform(source,
                                                 cmyk   ? TYPE_CMYK_DBL
                                                 : grey ? TYPE_GRAY_DBL
                                                        : TYPE_RGB_DBL,
                                                 srgb, TYPE_RGB_DBL, INTENT_RELATIVE_COLORIMETRIC,
                                                 cmsFLAGS_BLACKPOINTCOMPENSATION);
    double out[3] = {0, 0, 0};
    if (transform)
        cmsDoTransform(transform, in.data(), out, 1);
    cmsDeleteTransform(transform);
    cmsCloseProfile(source);
    cmsCloseProfile(srgb);
    const auto level = [](double v) {
        return int(std::lround(std::clamp(v, 0.0, 1.0) * 255));
    };
    return QColor(level(out[0]), level(out[1]), level(out[2]));
}

Pw::DrawnPicture drawnAtHalf(const QString &file)
{
    Pw::FitParams params;
    params.fitMode = Pw::FitMode::Percent;
    params.scalePercent = 50;
    return Pw::DrawFittedPicture(file, params);
}

bool near(QColor a, QColor b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
           && std::abs(a.blue() - b.blue()) <= tolerance;
}

} // namespace

class TestColour : public QObject
{
    Q_OBJECT

private slots:
    void drawnInSrgb_data();
    void drawnInSrgb();
    void publishedAdobeRgbExample();
    void stepOnePreviewIsConverted();
    void exifColourSpaceIsBoundsChecked();
    void wideRowsMatchSinglePixels();

private:
    QTemporaryDir m_dir;
};

void TestColour::drawnInSrgb_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("profile");
    QTest::addColumn<QByteArray>("reference"); // converted with Little CMS; empty: drawn as stored
    QTest::addColumn<bool>("noted");           // named in the report as unreadable

    const QByteArray adobe = adobeRgb();
    const QByteArray cmyk = cmykProfile();
    const QByteArray p3 = QColorSpace(QColorSpace::DisplayP3).iccProfile();
    QTest::newRow("Adobe RGB") << "jpeg" << adobe << adobe << false;
    QTest::newRow("Display P3") << "jpeg" << p3 << p3 << false;
    QTest::newRow("ProPhoto") << "jpeg" << proPhoto() << proPhoto() << false;
    QTest::newRow("grey, linear") << "grey" << linearGrey() << linearGrey() << false;
    QTest::newRow("CMYK with profile") << "cmyk" << cmyk << cmyk << false;
    QTest::newRow("Adobe CMYK with profile") << "adobe-cmyk" << cmyk << cmyk << false;
    QTest::newRow("PNG iCCP Adobe RGB") << "png" << adobe << adobe << false;
    QTest::newRow("DCF Adobe RGB by Exif, no profile")
            << "exif-r03" << QByteArray() << adobe << false;
    // The fast path: no transform touches the pixels.
    QTest::newRow("sRGB by Little CMS") << "jpeg" << srgbProfile() << QByteArray() << false;
    QTest::newRow("sRGB by Qt") << "jpeg" << QColorSpace(QColorSpace::SRgb).iccProfile()
                                << QByteArray() << false;
    // Read as sRGB and named once.
    QTest::newRow("broken profile") << "jpeg" << QByteArray(300, 'x') << QByteArray() << true;
    QTest::newRow("truncated profile") << "jpeg" << adobe.left(200) << QByteArray() << true;
    QTest::newRow("CMYK profile on RGB") << "jpeg" << cmyk << QByteArray() << true;
    QTest::newRow("RGB profile on CMYK") << "adobe-cmyk" << adobe << QByteArray() << true;
    QTest::newRow("PNG iCCP that does not inflate")
            << "png-broken-stream" << adobe << QByteArray() << true;
}

void TestColour::drawnInSrgb()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, profile);
    QFETCH(QByteArray, reference);
    QFETCH(bool, noted);
    const QString plain = m_dir.filePath(QStringLiteral("plain-") + QTest::currentDataTag());
    const QString tagged = m_dir.filePath(QStringLiteral("tagged-") + QTest::currentDataTag());
    QVERIFY(writeBytes(plain, picture(kind, profile, false)));
    QVERIFY(writeBytes(tagged, picture(kind, profile, true)));

    const Pw::DrawnPicture drawn = drawnAtHalf(tagged);
    const Pw::DrawnPicture asStored = drawnAtHalf(plain);
    QVERIFY2(drawn.error.isEmpty(), qPrintable(drawn.error));
    QCOMPARE(drawn.image.size(), QSize(2 * kStripe, kStripe / 2));
    QCOMPARE(drawn.note, noted ? QStringLiteral("色彩配置文件无法读取，按 sRGB 处理") : QString());
    if (reference.isEmpty()) {
        QCOMPARE(drawn.image, asStored.image);
        QCOMPARE(Pw::IsSrgbEquivalent(profile), !noted);
        return;
    }
    QVERIFY(!Pw::IsSrgbEquivalent(reference));

    // The stored values, as a decoder that knows nothing of profiles reads them.
    const QImage stored = QImageReader(plain).read().convertToFormat(QImage::Format_RGB32);
    for (int i = 0; i < 4; ++i) {
        const QPoint centre(i * kStripe + kStripe / 2, kStripe / 2);
        std::array<double, 4> in{};
        if (kind.contains(u"cmyk")) {
            for (size_t c = 0; c < 4; ++c)
                in[c] = kInks[size_t(i)][c] * 100.0 / 255.0;
        } else {
            const QColor s = stored.pixelColor(centre);
            in = {s.red() / 255.0, s.green() / 255.0, s.blue() / 255.0, 0};
        }
        const QColor expected = ::reference(reference, kind, in);
        const QColor got = drawn.image.pixelColor(centre / 2);
        QVERIFY2(near(got, expected, 2), qPrintable(QStringLiteral("stripe %1: %2, expected %3")
                                                            .arg(i)
                                                            .arg(got.name(), expected.name())));
        QVERIFY2(!near(got, asStored.image.pixelColor(centre / 2), 2) || i == 3,
                 "the colour did not change");
        if (kind == u"grey")
            QVERIFY(got.red() == got.green() && got.green() == got.blue());
    }
}

// An 800 x 600 Adobe RGB photo of rgb(60,160,90) is rgb(0,161,85) in sRGB.
void TestColour::publishedAdobeRgbExample()
{
    QImage image(800, 600, QImage::Format_RGB32);
    image.fill(QColor(60, 160, 90));
    const QString file = m_dir.filePath(QStringLiteral("adobe-example.jpg"));
    QVERIFY(writeBytes(file, withIccProfile(encoded(image, "JPEG"), adobeRgb())));
    Pw::FitParams params;
    params.fitMode = Pw::FitMode::Percent;
    params.scalePercent = 100;
    Pw::Canvas canvas;
    canvas.resize(800, 600);
    QCOMPARE(Pw::DrawFitted(canvas, file, params), QString());
    const QColor got = canvas.image.pixelColor(400, 300);
    QVERIFY2(near(got, QColor(0, 161, 85), 2), qPrintable(got.name()));
}

// The step-1 preview draws through the same decoding: it shows converted colours too.
void TestColour::stepOnePreviewIsConverted()
{
    QImage image(160, 120, QImage::Format_RGB32);
    image.fill(QColor(60, 160, 90));
    const QString file = m_dir.filePath(QStringLiteral("preview.jpg"));
    QVERIFY(writeBytes(file, withIccProfile(encoded(image, "JPEG"), adobeRgb())));
    Pw::Canvas canvas;
    canvas.fillColour = Qt::black;
    canvas.resize(80, 80);
    QCOMPARE(Pw::DrawLetterbox(canvas, file), QString());
    const QColor got = canvas.image.pixelColor(40, 40);
    QVERIFY2(near(got, QColor(0, 161, 85), 2), qPrintable(got.name()));
}

// Every cut of the Exif block stops short of reading past it, and only the whole one counts.
void TestColour::exifColourSpaceIsBoundsChecked()
{
    const QByteArray payload = adobeRgbExifSegment().mid(4);
    const auto *bytes = reinterpret_cast<const uint8_t *>(payload.constData());
    QVERIFY(Pw::ExifSaysAdobeRgb(bytes, size_t(payload.size())));
    const qsizetype end = payload.indexOf("R03") + 4; // the last byte read
    for (qsizetype size = 0; size < end; ++size) {
        const QByteArray cut = payload.left(size); // its own buffer: a read past it is caught
        QVERIFY2(!Pw::ExifSaysAdobeRgb(reinterpret_cast<const uint8_t *>(cut.constData()),
                                       size_t(cut.size())),
                 qPrintable(QString::number(size)));
    }
    QByteArray srgb = payload;
    srgb.replace(srgb.indexOf("R03"), 3, "R98");
    QVERIFY(!Pw::ExifSaysAdobeRgb(reinterpret_cast<const uint8_t *>(srgb.constData()),
                                  size_t(srgb.size())));
}

// Rows are converted eight pixels at a time where the processor can, one by one otherwise and at
// their ends: both give the same levels.
void TestColour::wideRowsMatchSinglePixels()
{
    const QByteArray profile = proPhoto();
    QImage row(61, 1, QImage::Format_RGB32);
    for (int x = 0; x < row.width(); ++x)
        row.setPixel(x, 0, qRgb(x * 4, 255 - x * 3, (x * 37) % 256));
    QImage converted = row;
    QCOMPARE(Pw::ConvertToSrgb(converted, profile), Pw::ColourStatus::Converted);
    for (int x = 0; x < row.width(); ++x) {
        QImage pixel = row.copy(x, 0, 1, 1);
        QCOMPARE(Pw::ConvertToSrgb(pixel, profile), Pw::ColourStatus::Converted);
        QCOMPARE(converted.pixel(x, 0), pixel.pixel(0, 0));
    }
    QVERIFY(converted != row);
}

QTEST_GUILESS_MAIN(TestColour)
#include "tst_colour.moc"
