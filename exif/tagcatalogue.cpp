#include "exif/tagcatalogue.h"

#include "exif/exifreader.h"

#include <QCoreApplication>

#include <cmath>
#include <iterator>

namespace Pw {

namespace {

enum class Rule { Plain, Aperture, Size };

struct CameraInfoLine
{
    int tag;
    int secondTag; // the size line only
    const char *label;
    Rule rule;
};

// The translation context of the labels and messages; the table marks its labels with it.
struct CatalogueText
{
    Q_DECLARE_TR_FUNCTIONS(Pw::TagCatalogue)
};

// The order is the order of the lines shown; repeated tag numbers (…2 labels) are deliberate
// and show the first entry read, as every other line does.
constexpr CameraInfoLine kCatalogue[] = {
        {0x9000, 0, QT_TRANSLATE_NOOP("Pw::TagCatalogue", "EXIF版本："), Rule::Plain},
        {0x010F, 0, QT_TRANSLATE_NOOP("Pw::TagCatalogue", "设备制造商："), Rule::Plain},
        {0x0110, 0, QT_TRANSLATE_NOOP("Pw::TagCatalogue", "摄影机型号："), Rule::Plain},
        {0x9205, 0, QT_TRANSLATE_NOOP("Pw::TagCatalogue", "光圈："), Rule::Aperture},
        {0x829A, 0, QT_TRANSLATE_NOOP("Pw::TagCatalogue", "快门："), Rule::Plain},
        {0x8827, 0, QT_TRANSLATE_NOOP("Pw::TagCatalogue", "ISO："), Rule::Plain},
        {0x9003, 0, QT_TRANSLATE_NOOP("Pw::TagCatalogue", "拍照时间："), Rule::Plain},
        {0xA002, 0xA003, QT_TRANSLATE_NOOP("Pw::TagCatalogue", "相片尺寸："), Rule::Size},
        {0x010E, 0, "ImageDescription：", Rule::Plain},
        {0x0112, 0, "Orientation：", Rule::Plain},
        {0x011A, 0, "XResolution：", Rule::Plain},
        {0x011B, 0, "YResolution：", Rule::Plain},
        {0x0128, 0, "ResolutionUnit：", Rule::Plain},
        {0x0131, 0, "Software：", Rule::Plain},
        {0x0132, 0, "DateTime：", Rule::Plain},
        {0x013E, 0, "WhitePoint：", Rule::Plain},
        {0x013F, 0, "PrimaryChromaticities：", Rule::Plain},
        {0x0211, 0, "YCbCrCoefficients：", Rule::Plain},
        {0x0213, 0, "YCbCrPositioning：", Rule::Plain},
        {0x0214, 0, "ReferenceBlackWhite：", Rule::Plain},
        {0x8298, 0, "Copyright：", Rule::Plain},
        {0x8769, 0, "ExifOffset：", Rule::Plain},
        {0x829D, 0, "FNumber：", Rule::Plain},
        {0x8822, 0, "ExposureProgram：", Rule::Plain},
        {0x9004, 0, "DateTimeDigitized：", Rule::Plain},
        {0x9101, 0, "ComponentsConfiguration：", Rule::Plain},
        {0x9102, 0, "CompressedBitsPerPixel：", Rule::Plain},
        {0x9201, 0, "ShutterSpeedValue：", Rule::Plain},
        {0x9202, 0, "ApertureValue：", Rule::Plain},
        {0x9203, 0, "BrightnessValue：", Rule::Plain},
        {0x9204, 0, "ExposureBiasValue：", Rule::Plain},
        {0x9206, 0, "SubjectDistance：", Rule::Plain},
        {0x9207, 0, "MeteringMode：", Rule::Plain},
        {0x9208, 0, "LightSource：", Rule::Plain},
        {0x9209, 0, "Flash：", Rule::Plain},
        {0x920A, 0, "FocalLength：", Rule::Plain},
        {0x927C, 0, "MakerNote：", Rule::Plain},
        {0x9286, 0, "UserComment：", Rule::Plain},
        {0x9290, 0, "SubsecTime：", Rule::Plain},
        {0x9291, 0, "SubsecTimeOriginal：", Rule::Plain},
        {0x9292, 0, "SubsecTimeDigitized：", Rule::Plain},
        {0xA000, 0, "FlashPixVersion：", Rule::Plain},
        {0xA001, 0, "ColorSpace：", Rule::Plain},
        {0xA004, 0, "RelatedSoundFile：", Rule::Plain},
        {0xA005, 0, "ExifInteroperabilityOffset：", Rule::Plain},
        {0xA20E, 0, "FocalPlaneXResolution：", Rule::Plain},
        {0xA20F, 0, "FocalPlaneYResolution：", Rule::Plain},
        {0xA210, 0, "FocalPlaneResolutionUnit：", Rule::Plain},
        {0xA215, 0, "ExposureIndex：", Rule::Plain},
        {0xA217, 0, "SensingMethod：", Rule::Plain},
        {0xA300, 0, "FileSource：", Rule::Plain},
        {0xA301, 0, "SceneType：", Rule::Plain},
        {0xA302, 0, "CFAPattern：", Rule::Plain},
        {0x0001, 0, "InteroperabilityIndex：", Rule::Plain},
        {0x0002, 0, "InteroperabilityVersion：", Rule::Plain},
        {0x1000, 0, "RelatedImageFileFormat：", Rule::Plain},
        {0x1001, 0, "RelatedImageWidth：", Rule::Plain},
        {0x1002, 0, "RelatedImageLength：", Rule::Plain},
        {0x0100, 0, "ImageWidth：", Rule::Plain},
        {0x0101, 0, "ImageHeight：", Rule::Plain},
        {0x0102, 0, "BitsPerSample：", Rule::Plain},
        {0x0103, 0, "Compression：", Rule::Plain},
        {0x0106, 0, "PhotometricInterpretation：", Rule::Plain},
        {0x0111, 0, "StripOffsets：", Rule::Plain},
        {0x0115, 0, "SamplePerPixel：", Rule::Plain},
        {0x0116, 0, "RowsPerStrip：", Rule::Plain},
        {0x0117, 0, "StripByteCounts：", Rule::Plain},
        {0x011A, 0, "XResolution2：", Rule::Plain},
        {0x011B, 0, "YResolution2：", Rule::Plain},
        {0x011C, 0, "PlanarConfiguration：", Rule::Plain},
        {0x0128, 0, "ResolutionUnit2：", Rule::Plain},
        {0x0201, 0, "JPEGInterchangeFormat：", Rule::Plain},
        {0x0202, 0, "JPEGInterchangeFormatLength：", Rule::Plain},
        {0x0211, 0, "YCbCrCoeffecients：", Rule::Plain},
        {0x0212, 0, "YCbCrSubSampling：", Rule::Plain},
        {0x0213, 0, "YCbCrPositioning2：", Rule::Plain},
        {0x0214, 0, "ReferenceBlackWhite2：", Rule::Plain},
        {0x00FE, 0, "NewSubfileType：", Rule::Plain},
        {0x00FF, 0, "SubfileType：", Rule::Plain},
        {0x012D, 0, "TransferFunction：", Rule::Plain},
        {0x013B, 0, "Artist：", Rule::Plain},
        {0x013D, 0, "Predictor：", Rule::Plain},
        {0x0142, 0, "TileWidth：", Rule::Plain},
        {0x0143, 0, "TileLength：", Rule::Plain},
        {0x0144, 0, "TileOffsets：", Rule::Plain},
        {0x0145, 0, "TileByteCounts：", Rule::Plain},
        {0x014A, 0, "SubIFDs：", Rule::Plain},
        {0x015B, 0, "JPEGTables：", Rule::Plain},
        {0x828D, 0, "CFARepeatPatternDim：", Rule::Plain},
        {0x828E, 0, "CFAPattern2：", Rule::Plain},
        {0x828F, 0, "BatteryLevel：", Rule::Plain},
        {0x83BB, 0, "IPTC_NAA：", Rule::Plain},
        {0x8773, 0, "InterColorProfile：", Rule::Plain},
        {0x8824, 0, "SpectralSensitivity：", Rule::Plain},
        {0x8825, 0, "GPSInfo：", Rule::Plain},
        {0x8828, 0, "OECF：", Rule::Plain},
        {0x8829, 0, "Interlace：", Rule::Plain},
        {0x882A, 0, "TimeZoneOffset：", Rule::Plain},
        {0x882B, 0, "SelfTimerMode：", Rule::Plain},
        {0x920B, 0, "FlashEnergy：", Rule::Plain},
        {0x920C, 0, "SpatialFrequencyResponse：", Rule::Plain},
        {0x920D, 0, "Noise：", Rule::Plain},
        {0x9211, 0, "ImageNumber：", Rule::Plain},
        {0x9212, 0, "SecurityClassification：", Rule::Plain},
        {0x9213, 0, "ImageHistory：", Rule::Plain},
        {0x9214, 0, "SubjectLocation：", Rule::Plain},
        {0x9215, 0, "ExposureIndex2：", Rule::Plain},
        {0x9216, 0, "TIFFEPStandardID：", Rule::Plain},
        {0xA20B, 0, "FlashEnergy2：", Rule::Plain},
        {0xA20C, 0, "SpatialFrequencyResponse2：", Rule::Plain},
        {0xA214, 0, "SubjectLocation2：", Rule::Plain},
};

static_assert(std::size(kCatalogue) == 111);

QString label(const CameraInfoLine &line)
{
    QString text = CatalogueText::tr(line.label);
    // The tag names are English in every language but end in the Chinese colon; in another
    // language they take that language's colon, as the translated labels above them do.
    const QString colon = CatalogueText::tr("：", "after a tag name");
    if (text.endsWith(u'：') && colon != u"：")
        text = text.chopped(1) + colon;
    return text;
}

// "Present" looks at the value before the NUL cut, so a value of NULs still gets its line.
bool present(const ExifValue &value)
{
    return value.isInteger() || (value.isText() && !value.bytes().isEmpty());
}

// Numerator over denominator of a rational value text, or an empty text when it does not read
// as one (no "/", a part that is not a number, a zero denominator).
QString apertureText(const QString &value)
{
    const qsizetype slash = value.indexOf(u'/');
    if (slash < 0)
        return QString();
    bool numeratorOk = false;
    bool denominatorOk = false;
    const double numerator = value.left(slash).toDouble(&numeratorOk);
    const double denominator = value.mid(slash + 1).toDouble(&denominatorOk);
    if (!numeratorOk || !denominatorOk || denominator == 0)
        return QString();
    double quotient = numerator / denominator;
    if (!std::isfinite(quotient))
        return QString();
    if (quotient == 0)
        quotient = 0; // no "-0"
    return QString::number(quotient, 'g', 15);
}

} // namespace

QString NoCameraInfoMessage()
{
    return CatalogueText::tr("此图片非数码照片或EXIF信息已被破坏");
}

QString CameraInfoText(const QString &header, ExifReader &reader, bool loaded)
{
    const QString lineBreak = QStringLiteral("\r\n");
    if (!loaded)
        return header + lineBreak + NoCameraInfoMessage();

    QString text = header;
    for (const CameraInfoLine &line : kCatalogue) {
        const ExifValue value = reader.Tag(line.tag);
        switch (line.rule) {
        case Rule::Plain:
            if (present(value))
                text += lineBreak + label(line) + value.toTextBeforeNul();
            break;
        case Rule::Aperture: {
            const QString quotient = apertureText(value.toTextBeforeNul());
            if (!quotient.isEmpty())
                text += lineBreak + label(line) + quotient;
            break;
        }
        case Rule::Size: {
            const ExifValue height = reader.Tag(line.secondTag);
            if (present(value) && present(height))
                text += lineBreak + label(line) + value.toTextBeforeNul() + u'x'
                        + height.toTextBeforeNul() + CatalogueText::tr("像素");
            break;
        }
        }
    }
    return text;
}

QString BuildCameraInfoText(const QString &header, const QString &picturePath)
{
    ExifReader reader;
    const bool loaded = reader.Load(picturePath);
    return CameraInfoText(header, reader, loaded);
}

} // namespace Pw
