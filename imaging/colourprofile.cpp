#include "imaging/colourprofile.h"

#include <QColorSpace>
#include <QCoreApplication>
#include <QHash>
#include <QMutex>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <lcms2.h>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace Pw {

namespace {

// The translation context of this file's texts.
struct ColourText
{
    Q_DECLARE_TR_FUNCTIONS(Pw::ColourProfile)
};

constexpr cmsUInt32Number kIntent = INTENT_RELATIVE_COLORIMETRIC;
// No one-pixel cache: one transform serves every drawing thread at once.
constexpr cmsUInt32Number kFlags = cmsFLAGS_BLACKPOINTCOMPENSATION | cmsFLAGS_NOCACHE;

// A profile of three tone curves and a matrix (Adobe RGB, Display P3, ProPhoto, most camera
// profiles), joined with sRGB's into one matrix between two tables. Little CMS's general 8-bit
// path measured about 60 ns a pixel, a fifth of a whole batch; this takes a few. Integers
// throughout: linear light in 14 bits, the matrix in 13 (a sum stays far inside 32 bits for any
// real profile's coefficients).
struct MatrixShaper
{
    static constexpr int kLinearBits = 14;
    static constexpr int kMatrixBits = 13;
    static constexpr int kLinearSteps = 1 << kLinearBits;
    std::array<std::array<int32_t, 256>, 3> toLinear{}; // each channel's level to linear light
    std::array<int32_t, 9> matrix{};                    // source linear RGB to sRGB linear RGB
    // Linear light to the sRGB level; 3 spare bytes, as the AVX2 loop reads 4 bytes per entry.
    std::array<uint8_t, kLinearSteps + 4> toSrgb{};
};

// One distinct profile, parsed once: what it describes and how its pixels become sRGB.
struct ParsedProfile
{
    enum class Kind { Srgb, Rgb, Grey, Cmyk, Unusable };
    Kind kind = Kind::Unusable;
    cmsHTRANSFORM transform = nullptr;    // Rgb: BGRA to BGRA; Cmyk: CMYK to BGRA
    std::array<uint8_t, 256> greyCurve{}; // Grey: each level's sRGB level
    std::unique_ptr<MatrixShaper> shaper; // Rgb, when the profile is curves and a matrix

    ParsedProfile() = default;
    ParsedProfile(const ParsedProfile &) = delete;
    ParsedProfile &operator=(const ParsedProfile &) = delete;
    ~ParsedProfile()
    {
        if (transform)
            cmsDeleteTransform(transform);
    }
};

using ProfilePtr = std::shared_ptr<const ParsedProfile>;

cmsHTRANSFORM toSrgb(cmsHPROFILE source, cmsUInt32Number inFormat, cmsUInt32Number outFormat)
{
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsHTRANSFORM transform = cmsCreateTransform(source, inFormat, srgb, outFormat, kIntent,
                                                 kFlags);
    cmsCloseProfile(srgb);
    return transform;
}

// A profile equivalent to sRGB maps every colour of a grid onto itself within a rounding step.
bool mapsOntoItself(cmsHTRANSFORM rgbTransform)
{
    constexpr int kStep = 15; // 18 levels a channel, 0 and 255 included
    std::vector<uint8_t> grid;
    for (int r = 0; r <= 255; r += kStep)
        for (int g = 0; g <= 255; g += kStep)
            for (int b = 0; b <= 255; b += kStep)
                grid.insert(grid.end(), {uint8_t(b), uint8_t(g), uint8_t(r), 255});
    std::vector<uint8_t> mapped(grid.size());
    cmsDoTransform(rgbTransform, grid.data(), mapped.data(), cmsUInt32Number(grid.size() / 4));
    for (size_t i = 0; i < grid.size(); i += 4)
        for (size_t c = 0; c < 3; ++c)
            if (std::abs(int(grid[i + c]) - int(mapped[i + c])) > 1)
                return false;
    return true;
}

bool colorants(cmsHPROFILE profile, std::array<double, 9> *m)
{
    const cmsTagSignature tags[3] = {cmsSigRedColorantTag, cmsSigGreenColorantTag,
                                     cmsSigBlueColorantTag};
    for (int c = 0; c < 3; ++c) {
        const auto *xyz = static_cast<const cmsCIEXYZ *>(cmsReadTag(profile, tags[c]));
        if (!xyz)
            return false;
        (*m)[size_t(c)] = xyz->X;
        (*m)[size_t(3 + c)] = xyz->Y;
        (*m)[size_t(6 + c)] = xyz->Z;
    }
    return true;
}

bool inverted(const std::array<double, 9> &m, std::array<double, 9> *out)
{
    const double det = m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6])
                       + m[2] * (m[3] * m[7] - m[4] * m[6]);
    if (std::abs(det) < 1e-9)
        return false;
    *out = {(m[4] * m[8] - m[5] * m[7]) / det, (m[2] * m[7] - m[1] * m[8]) / det,
            (m[1] * m[5] - m[2] * m[4]) / det, (m[5] * m[6] - m[3] * m[8]) / det,
            (m[0] * m[8] - m[2] * m[6]) / det, (m[2] * m[3] - m[0] * m[5]) / det,
            (m[3] * m[7] - m[4] * m[6]) / det, (m[1] * m[6] - m[0] * m[7]) / det,
            (m[0] * m[4] - m[1] * m[3]) / det};
    return true;
}

// Only where Little CMS itself would use the curves and the matrix (no table for the intent)
// and black is black (black-point compensation then changes nothing).
std::unique_ptr<MatrixShaper> matrixShaper(cmsHPROFILE profile)
{
    if (!cmsIsMatrixShaper(profile) || cmsIsTag(profile, cmsSigAToB0Tag)
        || cmsIsTag(profile, cmsSigAToB1Tag))
        return nullptr;
    auto shaper = std::make_unique<MatrixShaper>();
    const cmsTagSignature curves[3] = {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag};
    for (size_t c = 0; c < 3; ++c) {
        const auto *curve = static_cast<const cmsToneCurve *>(cmsReadTag(profile, curves[c]));
        if (!curve || cmsEvalToneCurveFloat(curve, 0) > 1e-4f)
            return nullptr;
        for (size_t i = 0; i < 256; ++i)
            shaper->toLinear[c][i] = int32_t(
                    std::lround(cmsEvalToneCurveFloat(curve, cmsFloat32Number(i / 255.0))
                                * MatrixShaper::kLinearSteps));
    }
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    std::array<double, 9> source{}, target{}, fromXyz{};
    const bool ok = colorants(profile, &source) && colorants(srgb, &target)
                    && inverted(target, &fromXyz);
    cmsCloseProfile(srgb);
    if (!ok)
        return nullptr;
    for (size_t r = 0; r < 3; ++r)
        for (size_t c = 0; c < 3; ++c) {
            const double value = fromXyz[r * 3] * source[c] + fromXyz[r * 3 + 1] * source[3 + c]
                                 + fromXyz[r * 3 + 2] * source[6 + c];
            if (std::abs(value) > 8) // no real pair of colour spaces is this far apart
                return nullptr;
            shaper->matrix[r * 3 + c] = int32_t(
                    std::lround(value * (1 << MatrixShaper::kMatrixBits)));
        }
    for (int i = 0; i <= MatrixShaper::kLinearSteps; ++i) {
        const double linear = double(i) / MatrixShaper::kLinearSteps;
        const double level = linear <= 0.0031308 ? 12.92 * linear
                                                 : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
        shaper->toSrgb[size_t(i)] = uint8_t(std::lround(std::clamp(level, 0.0, 1.0) * 255));
    }
    return shaper;
}

#if defined(__x86_64__)
#define PW_MATRIX_SHAPER_AVX2 1
// One output channel of eight pixels: a row of the matrix, then the sRGB table.
__attribute__((target("avx2"))) inline __m256i matrixRowAvx2(const __m256i *row, __m256i r,
                                                             __m256i g, __m256i b,
                                                             const uint8_t *toSrgb)
{
    __m256i sum = _mm256_add_epi32(_mm256_mullo_epi32(row[0], r), _mm256_mullo_epi32(row[1], g));
    sum = _mm256_add_epi32(sum, _mm256_mullo_epi32(row[2], b));
    sum = _mm256_add_epi32(sum, _mm256_set1_epi32(1 << (MatrixShaper::kMatrixBits - 1)));
    sum = _mm256_srai_epi32(sum, MatrixShaper::kMatrixBits);
    sum = _mm256_min_epi32(_mm256_max_epi32(sum, _mm256_setzero_si256()),
                           _mm256_set1_epi32(MatrixShaper::kLinearSteps));
    const __m256i levels = _mm256_i32gather_epi32(reinterpret_cast<const int *>(toSrgb), sum, 1);
    return _mm256_and_si256(levels, _mm256_set1_epi32(0xFF));
}

// Eight pixels at a time, the same integer steps as applyMatrixShaper, the tables gathered.
// Returns how many pixels it converted.
__attribute__((target("avx2"))) int matrixShaperAvx2(uint8_t *pixels, int count,
                                                     const MatrixShaper &shaper)
{
    const __m256i channel = _mm256_set1_epi32(0xFF);
    const __m256i alpha = _mm256_set1_epi32(int(0xFF000000u));
    __m256i m[9];
    for (size_t i = 0; i < 9; ++i)
        m[i] = _mm256_set1_epi32(shaper.matrix[i]);
    const uint8_t *srgb = shaper.toSrgb.data();
    int x = 0;
    for (; x + 8 <= count; x += 8, pixels += 32) {
        const __m256i in = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(pixels));
        const __m256i b = _mm256_i32gather_epi32(shaper.toLinear[2].data(),
                                                 _mm256_and_si256(in, channel), 4);
        const __m256i g = _mm256_i32gather_epi32(
                shaper.toLinear[1].data(), _mm256_and_si256(_mm256_srli_epi32(in, 8), channel), 4);
        const __m256i r = _mm256_i32gather_epi32(
                shaper.toLinear[0].data(), _mm256_and_si256(_mm256_srli_epi32(in, 16), channel), 4);
        __m256i out = _mm256_and_si256(in, alpha);
        out = _mm256_or_si256(out, _mm256_slli_epi32(matrixRowAvx2(m, r, g, b, srgb), 16));
        out = _mm256_or_si256(out, _mm256_slli_epi32(matrixRowAvx2(m + 3, r, g, b, srgb), 8));
        out = _mm256_or_si256(out, matrixRowAvx2(m + 6, r, g, b, srgb));
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(pixels), out);
    }
    return x;
}
#endif

void applyMatrixShaper(QImage &image, const MatrixShaper &shaper)
{
    const auto &m = shaper.matrix;
    const auto level = [&shaper](int32_t sum) {
        constexpr int32_t kHalf = 1 << (MatrixShaper::kMatrixBits - 1);
        const int32_t linear = (sum + kHalf) >> MatrixShaper::kMatrixBits;
        return shaper.toSrgb[size_t(std::clamp(linear, 0, MatrixShaper::kLinearSteps))];
    };
#ifdef PW_MATRIX_SHAPER_AVX2
    static const bool avx2 = __builtin_cpu_supports("avx2");
#else
    constexpr bool avx2 = false;
#endif
    for (int y = 0; y < image.height(); ++y) {
        uint8_t *p = image.scanLine(y);
        int x = 0;
#ifdef PW_MATRIX_SHAPER_AVX2
        if (avx2) {
            x = matrixShaperAvx2(p, image.width(), shaper);
            p += size_t(x) * 4;
        }
#endif
        for (; x < image.width(); ++x, p += 4) {
            const int32_t r = shaper.toLinear[0][p[2]];
            const int32_t g = shaper.toLinear[1][p[1]];
            const int32_t b = shaper.toLinear[2][p[0]];
            p[2] = level(m[0] * r + m[1] * g + m[2] * b);
            p[1] = level(m[3] * r + m[4] * g + m[5] * b);
            p[0] = level(m[6] * r + m[7] * g + m[8] * b);
        }
    }
}

std::unique_ptr<ParsedProfile> parse(const QByteArray &icc)
{
    auto parsed = std::make_unique<ParsedProfile>();
    cmsHPROFILE profile = cmsOpenProfileFromMem(icc.constData(), cmsUInt32Number(icc.size()));
    if (!profile)
        return parsed;
    switch (cmsGetColorSpace(profile)) {
    case cmsSigRgbData:
        parsed->transform = toSrgb(profile, TYPE_BGRA_8, TYPE_BGRA_8);
        if (parsed->transform)
            parsed->kind = mapsOntoItself(parsed->transform) ? ParsedProfile::Kind::Srgb
                                                             : ParsedProfile::Kind::Rgb;
        if (parsed->kind == ParsedProfile::Kind::Rgb)
            parsed->shaper = matrixShaper(profile);
        break;
    case cmsSigCmykData:
        parsed->transform = toSrgb(profile, TYPE_CMYK_8, TYPE_BGRA_8);
        if (parsed->transform)
            parsed->kind = ParsedProfile::Kind::Cmyk;
        break;
    case cmsSigGrayData:
        // Grey stays grey: every level goes through the profile once, into a table.
        if (cmsHTRANSFORM grey = toSrgb(profile, TYPE_GRAY_8, TYPE_RGB_8)) {
            std::array<uint8_t, 256> levels;
            std::array<uint8_t, 256 * 3> rgb;
            for (int i = 0; i < 256; ++i)
                levels[size_t(i)] = uint8_t(i);
            cmsDoTransform(grey, levels.data(), rgb.data(), 256);
            cmsDeleteTransform(grey);
            bool identity = true;
            for (size_t i = 0; i < 256; ++i) {
                parsed->greyCurve[i] = rgb[i * 3 + 1];
                identity = identity && std::abs(int(rgb[i * 3 + 1]) - int(i)) <= 1;
            }
            parsed->kind = identity ? ParsedProfile::Kind::Srgb : ParsedProfile::Kind::Grey;
        }
        break;
    default:
        break;
    }
    cmsCloseProfile(profile);
    return parsed;
}

// Pictures of one shoot share their profile, so a few entries cover a run.
ProfilePtr profileFor(const QByteArray &icc)
{
    static QMutex mutex;
    static QHash<QByteArray, ProfilePtr> cache;
    constexpr qsizetype kMaxEntries = 16;
    const QMutexLocker lock(&mutex);
    const auto found = cache.constFind(icc);
    if (found != cache.constEnd())
        return found.value();
    if (cache.size() >= kMaxEntries)
        cache.clear(); // pictures being converted keep their entry alive
    ProfilePtr parsed = parse(icc);
    cache.insert(icc, parsed);
    return parsed;
}

void applyGreyCurve(QImage &image, const std::array<uint8_t, 256> &curve)
{
    for (int y = 0; y < image.height(); ++y) {
        uint8_t *p = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x, p += 4) {
            p[0] = curve[p[0]];
            p[1] = curve[p[1]];
            p[2] = curve[p[2]];
        }
    }
}

// The transform leaves the fourth byte alone: alpha stays as it was.
void transformRows(QImage &image, cmsHTRANSFORM transform)
{
    const auto stride = cmsUInt32Number(image.bytesPerLine());
    uint8_t *bits = image.bits();
    cmsDoTransformLineStride(transform, bits, bits, cmsUInt32Number(image.width()),
                             cmsUInt32Number(image.height()), stride, stride, 0, 0);
}

ColourStatus convertRgb(QImage &image, const QByteArray &icc)
{
    if (icc.isEmpty())
        return ColourStatus::Unchanged;
    const ProfilePtr profile = profileFor(icc);
    switch (profile->kind) {
    case ParsedProfile::Kind::Srgb:
        return ColourStatus::Unchanged;
    case ParsedProfile::Kind::Cmyk:
    case ParsedProfile::Kind::Unusable:
        return ColourStatus::UnreadableProfile;
    case ParsedProfile::Kind::Grey:
    case ParsedProfile::Kind::Rgb:
        break;
    }
    const QImage::Format original = image.format();
    // Colours are converted apart from their alpha, never premultiplied.
    const QImage::Format working = original == QImage::Format_RGB32 ? QImage::Format_RGB32
                                   : image.hasAlphaChannel()        ? QImage::Format_ARGB32
                                                                    : QImage::Format_RGB32;
    image.convertTo(working);
    if (profile->kind == ParsedProfile::Kind::Grey)
        applyGreyCurve(image, profile->greyCurve);
    else if (profile->shaper)
        applyMatrixShaper(image, *profile->shaper);
    else
        transformRows(image, profile->transform);
    if (original == QImage::Format_ARGB32_Premultiplied)
        image.convertTo(original);
    if (image.colorSpace().isValid()) // a tag Qt's reader set no longer holds
        image.setColorSpace(QColorSpace(QColorSpace::SRgb));
    return ColourStatus::Converted;
}

void invertBytes(QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        uint8_t *p = image.scanLine(y);
        for (qsizetype i = 0; i < qsizetype(image.width()) * 4; ++i)
            p[i] = uint8_t(~p[i]);
    }
}

void makeOpaque(QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        auto *p = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            p[x] |= 0xFF000000u;
    }
}

// Without a profile, inks become RGB as they would on screen with no colour management.
void plainCmykToRgb(QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        uint8_t *p = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x, p += 4) {
            const int c = 255 - p[0], m = 255 - p[1], yellow = 255 - p[2], k = 255 - p[3];
            p[0] = uint8_t((yellow * k + 127) / 255);
            p[1] = uint8_t((m * k + 127) / 255);
            p[2] = uint8_t((c * k + 127) / 255);
            p[3] = 255;
        }
    }
}

ColourStatus convertCmyk(QImage &image, const QByteArray &icc, bool inverted)
{
    image.convertTo(QImage::Format_RGB32); // already so: the four bytes are inks
    if (inverted)
        invertBytes(image);
    const ProfilePtr profile = icc.isEmpty() ? nullptr : profileFor(icc);
    if (!profile || profile->kind != ParsedProfile::Kind::Cmyk) {
        plainCmykToRgb(image);
        return profile ? ColourStatus::UnreadableProfile : ColourStatus::Unchanged;
    }
    transformRows(image, profile->transform);
    makeOpaque(image);
    return ColourStatus::Converted;
}

// Bounded reads of TIFF integers inside an Exif block.
class TiffData
{
public:
    TiffData(const uint8_t *data, size_t size)
        : m_data(data)
        , m_size(size)
    {
        m_valid = size >= 8
                  && ((data[0] == 'I' && data[1] == 'I') || (data[0] == 'M' && data[1] == 'M'));
        m_little = m_valid && data[0] == 'I';
    }
    bool valid() const { return m_valid; }
    bool read(size_t offset, int bytes, uint32_t *value) const
    {
        if (offset > m_size || m_size - offset < size_t(bytes))
            return false;
        uint32_t v = 0;
        for (int i = 0; i < bytes; ++i) {
            const uint32_t byte = m_data[offset + size_t(i)];
            v |= m_little ? byte << (8 * i) : byte << (8 * (bytes - 1 - i));
        }
        *value = v;
        return true;
    }
    // The value field of `tag` in the IFD at `ifd`, read as `bytes` bytes.
    bool tagValue(uint32_t ifd, uint32_t tag, int bytes, uint32_t *value, size_t *at) const
    {
        uint32_t count = 0;
        if (!read(ifd, 2, &count))
            return false;
        for (uint32_t i = 0; i < count; ++i) {
            const size_t entry = size_t(ifd) + 2 + size_t(i) * 12;
            uint32_t id = 0;
            if (!read(entry, 2, &id))
                return false;
            if (id == tag) {
                *at = entry + 8;
                return read(entry + 8, bytes, value);
            }
        }
        return false;
    }

private:
    const uint8_t *m_data;
    size_t m_size;
    bool m_valid = false;
    bool m_little = true;
};

} // namespace

ColourStatus ConvertToSrgb(QImage &image, const QByteArray &iccProfile, PixelData data)
{
    if (image.isNull())
        return ColourStatus::Unchanged;
    if (data == PixelData::Rgb)
        return convertRgb(image, iccProfile);
    return convertCmyk(image, iccProfile, data == PixelData::AdobeCmyk);
}

bool IsSrgbEquivalent(const QByteArray &iccProfile)
{
    return !iccProfile.isEmpty() && profileFor(iccProfile)->kind == ParsedProfile::Kind::Srgb;
}

bool IsCmykProfile(const QByteArray &iccProfile)
{
    return !iccProfile.isEmpty() && profileFor(iccProfile)->kind == ParsedProfile::Kind::Cmyk;
}

QString UnreadableProfileMessage()
{
    return ColourText::tr("色彩配置文件无法读取，按 sRGB 处理");
}

QByteArray AdobeRgbProfile()
{
    static const QByteArray bytes = [] {
        const cmsCIExyY white{0.3127, 0.3290, 1.0}; // D65
        const cmsCIExyYTRIPLE primaries{{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}};
        cmsToneCurve *gamma = cmsBuildGamma(nullptr, 563.0 / 256.0); // 2.2 as the format stores it
        cmsToneCurve *curves[3] = {gamma, gamma, gamma};
        cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
        cmsFreeToneCurve(gamma);
        QByteArray saved;
        cmsUInt32Number size = 0;
        if (profile && cmsSaveProfileToMem(profile, nullptr, &size) && size > 0) {
            saved.resize(qsizetype(size));
            if (!cmsSaveProfileToMem(profile, saved.data(), &size))
                saved.clear();
        }
        if (profile)
            cmsCloseProfile(profile);
        return saved;
    }();
    return bytes;
}

bool ExifSaysAdobeRgb(const uint8_t *app1, size_t size)
{
    if (!app1 || size < 6 || std::memcmp(app1, "Exif\0\0", 6) != 0)
        return false;
    const TiffData tiff(app1 + 6, size - 6);
    uint32_t ifd0 = 0, exifIfd = 0, colourSpace = 0, interopIfd = 0, index = 0;
    size_t at = 0;
    if (!tiff.valid() || !tiff.read(4, 4, &ifd0) || !tiff.tagValue(ifd0, 0x8769, 4, &exifIfd, &at)
        || !tiff.tagValue(exifIfd, 0xA001, 2, &colourSpace, &at) || colourSpace != 0xFFFF
        || !tiff.tagValue(exifIfd, 0xA005, 4, &interopIfd, &at)
        || !tiff.tagValue(interopIfd, 0x0001, 4, &index, &at))
        return false;
    // Four ASCII bytes held in the entry itself.
    return std::memcmp(app1 + 6 + at, "R03", 3) == 0;
}

} // namespace Pw
