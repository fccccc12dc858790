#include "imaging/resampler.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <numbers>

#if defined(__x86_64__)
#define PW_X86_SIMD 1
#include <immintrin.h>
#endif

namespace Pw {

namespace {

constexpr int kOne = 1 << FilterAxis::kShift;

double sinc(double x)
{
    if (x == 0.0)
        return 1.0;
    x *= std::numbers::pi;
    return std::sin(x) / x;
}

double lanczos3(double x)
{
    x = std::fabs(x);
    return x < 3.0 ? sinc(x) * sinc(x / 3.0) : 0.0;
}

int32_t packPair(int16_t first, int16_t second)
{
    return int32_t(uint32_t(uint16_t(first)) | (uint32_t(uint16_t(second)) << 16));
}

int weightAt(const int32_t *pairs, int k)
{
    const uint32_t pair = uint32_t(pairs[k / 2]);
    return int16_t(k & 1 ? pair >> 16 : pair & 0xFFFF);
}

uint8_t clampByte(int sum)
{
    return uint8_t(std::clamp(sum >> FilterAxis::kShift, 0, 255));
}

// The plain loops: any processor; the same integer arithmetic, so the same result, as the SIMD
// ones.
void filterRowHorizontalPortable(const uint8_t *in, uint8_t *out, const FilterAxis &axis)
{
    const int pairs = axis.taps / 2;
    for (int x = 0; x < axis.outSize; ++x) {
        const int32_t *weights = axis.weights.data() + size_t(x) * pairs;
        const uint8_t *pixels = in + size_t(axis.start[x]) * 4;
        int sum[4] = {kOne / 2, kOne / 2, kOne / 2, kOne / 2};
        for (int k = 0; k < axis.taps; ++k) {
            const int w = weightAt(weights, k);
            for (int c = 0; c < 4; ++c)
                sum[c] += w * pixels[k * 4 + c];
        }
        for (int c = 0; c < 4; ++c)
            out[size_t(x) * 4 + size_t(c)] = clampByte(sum[c]);
    }
}

void filterRowVerticalPortable(const uint8_t *const *rows, const int32_t *weights, int taps,
                               int bytes, uint8_t *out)
{
    for (int i = 0; i < bytes; ++i) {
        int sum = kOne / 2;
        for (int k = 0; k < taps; ++k)
            sum += weightAt(weights, k) * rows[k][i];
        out[i] = clampByte(sum);
    }
}

#ifdef PW_X86_SIMD

// Sums packed taps over 4-byte pixels; two taps per multiply-add.
void filterRowHorizontal(const uint8_t *in, uint8_t *out, const FilterAxis &axis)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i rounding = _mm_set1_epi32(kOne / 2);
    const int pairs = axis.taps / 2;
    const int32_t *weights = axis.weights.data();
    for (int x = 0; x < axis.outSize; ++x, weights += pairs) {
        const uint8_t *pixels = in + size_t(axis.start[x]) * 4;
        __m128i sum = rounding;
        for (int k = 0; k < pairs; ++k, pixels += 8) {
            const __m128i two = _mm_unpacklo_epi8(
                    _mm_loadl_epi64(reinterpret_cast<const __m128i *>(pixels)), zero);
            // b0 b1 g0 g1 r0 r1 a0 a1: each channel's two taps side by side for madd
            const __m128i interleaved = _mm_unpacklo_epi16(two, _mm_srli_si128(two, 8));
            sum = _mm_add_epi32(sum, _mm_madd_epi16(interleaved, _mm_set1_epi32(weights[k])));
        }
        sum = _mm_srai_epi32(sum, FilterAxis::kShift);
        sum = _mm_packs_epi32(sum, sum);
        sum = _mm_packus_epi16(sum, sum);
        const int32_t pixel = _mm_cvtsi128_si32(sum);
        std::memcpy(out + size_t(x) * 4, &pixel, 4);
    }
}

// One output row from `taps` ring rows; `bytes` is a multiple of 16 (rows are padded).
void filterRowVertical(const uint8_t *const *rows, const int32_t *weights, int taps, int bytes,
                       uint8_t *out)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i rounding = _mm_set1_epi32(kOne / 2);
    for (int i = 0; i < bytes; i += 16) {
        __m128i s0 = rounding, s1 = rounding, s2 = rounding, s3 = rounding;
        for (int k = 0; k < taps; k += 2) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(rows[k] + i));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(rows[k + 1] + i));
            const __m128i w = _mm_set1_epi32(weights[k / 2]);
            const __m128i lo = _mm_unpacklo_epi8(a, b);
            const __m128i hi = _mm_unpackhi_epi8(a, b);
            s0 = _mm_add_epi32(s0, _mm_madd_epi16(_mm_unpacklo_epi8(lo, zero), w));
            s1 = _mm_add_epi32(s1, _mm_madd_epi16(_mm_unpackhi_epi8(lo, zero), w));
            s2 = _mm_add_epi32(s2, _mm_madd_epi16(_mm_unpacklo_epi8(hi, zero), w));
            s3 = _mm_add_epi32(s3, _mm_madd_epi16(_mm_unpackhi_epi8(hi, zero), w));
        }
        s0 = _mm_srai_epi32(s0, FilterAxis::kShift);
        s1 = _mm_srai_epi32(s1, FilterAxis::kShift);
        s2 = _mm_srai_epi32(s2, FilterAxis::kShift);
        s3 = _mm_srai_epi32(s3, FilterAxis::kShift);
        const __m128i packed = _mm_packus_epi16(_mm_packs_epi32(s0, s1), _mm_packs_epi32(s2, s3));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i), packed);
    }
}

// The AVX2 paths: two output pixels per pass of the horizontal filter, four taps per step;
// 32 bytes per step of the vertical one.
__attribute__((target("avx2"))) void filterRowHorizontalAvx2(const uint8_t *in, uint8_t *out,
                                                             const FilterAxis &axis,
                                                             const __m256i *expanded)
{
    // Picks pixels 0 and 1 (then 2 and 3) of four, each channel's two values side by side as
    // 16-bit lanes, ready for madd against (w0, w1) (then (w2, w3)).
    const __m256i pickLow = _mm256_setr_epi8(0, -1, 4, -1, 1, -1, 5, -1, 2, -1, 6, -1, 3, -1, 7, -1,
                                             0, -1, 4, -1, 1, -1, 5, -1, 2, -1, 6, -1, 3, -1, 7,
                                             -1);
    const __m256i pickHigh = _mm256_setr_epi8(8, -1, 12, -1, 9, -1, 13, -1, 10, -1, 14, -1, 11, -1,
                                              15, -1, 8, -1, 12, -1, 9, -1, 13, -1, 10, -1, 14, -1,
                                              11, -1, 15, -1);
    const __m256i rounding = _mm256_set1_epi32(kOne / 2);
    const int groups = axis.taps / 4;
    int x = 0;
    for (; x + 1 < axis.outSize; x += 2) {
        const uint8_t *p0 = in + size_t(axis.start[x]) * 4;
        const uint8_t *p1 = in + size_t(axis.start[x + 1]) * 4;
        const __m256i *w = expanded + size_t(x / 2) * groups * 2;
        __m256i sumA = rounding, sumB = _mm256_setzero_si256();
        for (int g = 0; g < groups; ++g, p0 += 16, p1 += 16, w += 2) {
            const __m256i four = _mm256_inserti128_si256(
                    _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p0))),
                    _mm_loadu_si128(reinterpret_cast<const __m128i *>(p1)), 1);
            sumA = _mm256_add_epi32(sumA, _mm256_madd_epi16(_mm256_shuffle_epi8(four, pickLow),
                                                            _mm256_loadu_si256(w)));
            sumB = _mm256_add_epi32(sumB, _mm256_madd_epi16(_mm256_shuffle_epi8(four, pickHigh),
                                                            _mm256_loadu_si256(w + 1)));
        }
        __m256i sum = _mm256_srai_epi32(_mm256_add_epi32(sumA, sumB), FilterAxis::kShift);
        sum = _mm256_packs_epi32(sum, sum);
        sum = _mm256_packus_epi16(sum, sum);
        const int32_t first = _mm256_extract_epi32(sum, 0);
        const int32_t second = _mm256_extract_epi32(sum, 4);
        std::memcpy(out + size_t(x) * 4, &first, 4);
        std::memcpy(out + size_t(x + 1) * 4, &second, 4);
    }
    if (x < axis.outSize) {
        // The odd last pixel: the pair loop on that pixel alone.
        FilterAxis last;
        last.outSize = 1;
        last.taps = axis.taps;
        last.start.assign(1, 0);
        last.weights.assign(axis.weights.begin() + size_t(x) * (axis.taps / 2),
                            axis.weights.begin() + size_t(x + 1) * (axis.taps / 2));
        filterRowHorizontal(in + size_t(axis.start[x]) * 4, out + size_t(x) * 4, last);
    }
}

__attribute__((target("avx2"))) void filterRowVerticalAvx2(const uint8_t *const *rows,
                                                           const int32_t *weights, int taps,
                                                           int bytes, uint8_t *out)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i rounding = _mm256_set1_epi32(kOne / 2);
    for (int i = 0; i < bytes; i += 32) {
        __m256i s0 = rounding, s1 = rounding, s2 = rounding, s3 = rounding;
        for (int k = 0; k < taps; k += 2) {
            const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(rows[k] + i));
            const __m256i b = _mm256_loadu_si256(
                    reinterpret_cast<const __m256i *>(rows[k + 1] + i));
            const __m256i w = _mm256_set1_epi32(weights[k / 2]);
            const __m256i lo = _mm256_unpacklo_epi8(a, b);
            const __m256i hi = _mm256_unpackhi_epi8(a, b);
            s0 = _mm256_add_epi32(s0, _mm256_madd_epi16(_mm256_unpacklo_epi8(lo, zero), w));
            s1 = _mm256_add_epi32(s1, _mm256_madd_epi16(_mm256_unpackhi_epi8(lo, zero), w));
            s2 = _mm256_add_epi32(s2, _mm256_madd_epi16(_mm256_unpacklo_epi8(hi, zero), w));
            s3 = _mm256_add_epi32(s3, _mm256_madd_epi16(_mm256_unpackhi_epi8(hi, zero), w));
        }
        s0 = _mm256_srai_epi32(s0, FilterAxis::kShift);
        s1 = _mm256_srai_epi32(s1, FilterAxis::kShift);
        s2 = _mm256_srai_epi32(s2, FilterAxis::kShift);
        s3 = _mm256_srai_epi32(s3, FilterAxis::kShift);
        // Every step above stays within its 128-bit lane, so the bytes come back in order.
        const __m256i packed = _mm256_packus_epi16(_mm256_packs_epi32(s0, s1),
                                                   _mm256_packs_epi32(s2, s3));
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(out + i), packed);
    }
}

#endif // PW_X86_SIMD

ResamplerKernels bestKernels()
{
#ifdef PW_X86_SIMD
    // Runs during static initialisation, possibly before the CPU model is filled in.
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? ResamplerKernels::Avx2 : ResamplerKernels::Sse2;
#else
    return ResamplerKernels::Portable;
#endif
}

std::atomic<int> g_kernels{int(bestKernels())};

ResamplerKernels currentKernels()
{
    return ResamplerKernels(g_kernels.load(std::memory_order_relaxed));
}

} // namespace

FilterAxis MakeLanczos3Axis(int inSize, int outSize, int tapMultiple)
{
    FilterAxis axis;
    axis.inSize = inSize;
    axis.outSize = outSize;
    const double scale = double(inSize) / outSize;
    const double stretch = std::max(scale, 1.0); // widen the kernel when reducing
    const double support = 3.0 * stretch;

    std::vector<std::vector<int16_t>> taps(outSize);
    std::vector<int> first(outSize);
    std::vector<double> exact;
    int widest = 1;
    for (int i = 0; i < outSize; ++i) {
        const double centre = (i + 0.5) * scale - 0.5;
        const int lo = std::max(0, int(std::ceil(centre - support)));
        const int hi = std::min(inSize - 1, int(std::floor(centre + support)));
        exact.clear();
        double total = 0.0;
        for (int j = lo; j <= hi; ++j) {
            exact.push_back(lanczos3((j - centre) / stretch));
            total += exact.back();
        }
        std::vector<int16_t> &q = taps[i];
        if (exact.empty() || total == 0.0) {
            // Cannot happen for sizes >= 1; take the nearest sample rather than dividing by 0.
            first[i] = std::clamp(int(std::lround(centre)), 0, inSize - 1);
            q.assign(1, int16_t(kOne));
            continue;
        }
        q.resize(exact.size());
        int sum = 0;
        size_t largest = 0;
        for (size_t k = 0; k < exact.size(); ++k) {
            q[k] = int16_t(std::lround(exact[k] / total * kOne));
            sum += q[k];
            if (std::abs(q[k]) > std::abs(q[largest]))
                largest = k;
        }
        // The weights must add up to exactly one, or flat areas would drift.
        q[largest] = int16_t(q[largest] + (kOne - sum));
        size_t begin = 0, end = q.size();
        while (begin + 1 < end && q[begin] == 0)
            ++begin;
        while (end - 1 > begin && q[end - 1] == 0)
            --end;
        first[i] = lo + int(begin);
        q = std::vector<int16_t>(q.begin() + begin, q.begin() + end);
        widest = std::max(widest, int(q.size()));
    }

    tapMultiple = std::max(2, tapMultiple + (tapMultiple & 1));
    axis.taps = (widest + tapMultiple - 1) / tapMultiple * tapMultiple;
    axis.start.resize(outSize);
    axis.weights.assign(size_t(outSize) * (axis.taps / 2), 0);
    std::vector<int16_t> padded(axis.taps);
    for (int i = 0; i < outSize; ++i) {
        // Slide windows that would run past the end back, so every read stays inside the
        // samples (plus at most tapMultiple - 1 when taps exceed inSize).
        const int start = std::max(0, std::min(first[i], inSize - axis.taps));
        const int offset = first[i] - start;
        std::fill(padded.begin(), padded.end(), int16_t(0));
        std::copy(taps[i].begin(), taps[i].end(), padded.begin() + offset);
        axis.start[i] = start;
        for (int k = 0; k < axis.taps / 2; ++k)
            axis.weights[size_t(i) * (axis.taps / 2) + k] = packPair(padded[2 * k],
                                                                     padded[2 * k + 1]);
    }
    return axis;
}

StreamResampler::StreamResampler(int inWidth, int inHeight, QImage *output, int rowPixels,
                                 int columnOffset)
    : m_out(output)
    , m_kernels(currentKernels())
    , m_inWidth(inWidth)
    , m_rowPixels(std::max(rowPixels, columnOffset + inWidth))
    , m_columnOffset(columnOffset)
    , m_horizontal(MakeLanczos3Axis(inWidth, output->width(),
                                    m_kernels == ResamplerKernels::Avx2 ? 4 : 2))
    , m_vertical(MakeLanczos3Axis(inHeight, output->height()))
{
    if (m_kernels == ResamplerKernels::Avx2 && inWidth != output->width()) {
        // Weights of two neighbouring outputs side by side, one 128-bit lane each.
        const int groups = m_horizontal.taps / 4;
        const int outPairs = (m_horizontal.outSize + 1) / 2;
        m_expanded.assign(size_t(outPairs) * groups * 2 * 8, 0);
        for (int x = 0; x < m_horizontal.outSize; ++x)
            for (int g = 0; g < groups; ++g)
                for (int half = 0; half < 2; ++half) {
                    const int32_t pair = m_horizontal.weights[size_t(x) * (m_horizontal.taps / 2)
                                                              + 2 * g + half];
                    int32_t *lane = m_expanded.data()
                                    + ((size_t(x / 2) * groups + g) * 2 + half) * 8 + (x & 1) * 4;
                    std::fill(lane, lane + 4, pair);
                }
    }
    m_ringRows = m_vertical.taps;
    // 32 spare bytes: the vertical pass works in 32-byte steps and the horizontal one reads up
    // to 12 bytes past the last pixel (zero weight).
    m_ringStride = (m_rowPixels * 4 + 32 + 31) & ~31;
    m_ring.assign(size_t(m_ringRows) * m_ringStride, 0);
    m_mid.assign(size_t((m_inWidth * 4 + 32 + 31) & ~31), 0);
}

uint8_t *StreamResampler::rowBuffer()
{
    return m_ring.data() + size_t(m_pushed % m_ringRows) * m_ringStride;
}

void StreamResampler::commitRow()
{
    if (m_pushed >= m_vertical.inSize)
        return;
    ++m_pushed;
    emitReadyRows();
}

void StreamResampler::pushRow(const uint8_t *row)
{
    uint8_t *slot = rowBuffer();
    if (slot != row)
        std::memmove(slot, row, size_t(m_rowPixels) * 4);
    commitRow();
}

void StreamResampler::emitReadyRows()
{
    const int inHeight = m_vertical.inSize;
    const int taps = m_vertical.taps;
    const int pairs = taps / 2;
    // The SIMD loops run in whole 32-byte steps over the padded rows.
    const int paddedBytes = (m_inWidth * 4 + 31) & ~31;
    const size_t offset = size_t(m_columnOffset) * 4;
    const uint8_t *rows[512];
    while (m_nextOut < m_vertical.outSize) {
        const int start = m_vertical.start[m_nextOut];
        const int needed = std::min(start + taps, inHeight);
        if (m_pushed < needed)
            return;
        const uint8_t *mid = nullptr;
        if (m_vertical.inSize == m_vertical.outSize) {
            mid = m_ring.data() + size_t(m_nextOut % m_ringRows) * m_ringStride + offset;
        } else if (taps <= 512) {
            for (int k = 0; k < taps; ++k) {
                const int r = std::min(start + k, inHeight - 1);
                rows[k] = m_ring.data() + size_t(r % m_ringRows) * m_ringStride + offset;
            }
            const int32_t *weights = m_vertical.weights.data() + size_t(m_nextOut) * pairs;
            switch (m_kernels) {
#ifdef PW_X86_SIMD
            case ResamplerKernels::Avx2:
                filterRowVerticalAvx2(rows, weights, taps, paddedBytes, m_mid.data());
                break;
            case ResamplerKernels::Sse2:
                filterRowVertical(rows, weights, taps, paddedBytes, m_mid.data());
                break;
#endif
            default:
                filterRowVerticalPortable(rows, weights, taps, paddedBytes, m_mid.data());
            }
            mid = m_mid.data();
        } else {
            // A reduction of over 80x in one pass; rare enough for a plain loop.
            const int used = m_inWidth * 4;
            std::vector<int> sums(size_t(used), kOne / 2);
            for (int k = 0; k < taps; ++k) {
                const int r = std::min(start + k, inHeight - 1);
                const uint8_t *src = m_ring.data() + size_t(r % m_ringRows) * m_ringStride + offset;
                const int32_t pair = m_vertical.weights[size_t(m_nextOut) * pairs + k / 2];
                const int w = int16_t(k & 1 ? uint32_t(pair) >> 16 : uint32_t(pair) & 0xffff);
                for (int i = 0; i < used; ++i)
                    sums[size_t(i)] += w * src[i];
            }
            for (int i = 0; i < used; ++i)
                m_mid[size_t(i)] = uint8_t(
                        std::clamp(sums[size_t(i)] >> FilterAxis::kShift, 0, 255));
            mid = m_mid.data();
        }
        uchar *line = m_out->scanLine(m_nextOut);
        if (m_horizontal.inSize == m_horizontal.outSize)
            std::memcpy(line, mid, size_t(m_inWidth) * 4);
        else {
            switch (m_kernels) {
#ifdef PW_X86_SIMD
            case ResamplerKernels::Avx2:
                filterRowHorizontalAvx2(mid, line, m_horizontal,
                                        reinterpret_cast<const __m256i *>(m_expanded.data()));
                break;
            case ResamplerKernels::Sse2:
                filterRowHorizontal(mid, line, m_horizontal);
                break;
#endif
            default:
                filterRowHorizontalPortable(mid, line, m_horizontal);
            }
        }
        ++m_nextOut;
    }
}

QImage ResampleLanczos3(const QImage &source, int width, int height)
{
    if (source.isNull() || width < 1 || height < 1)
        return {};
    const bool opaque = !source.hasAlphaChannel();
    const QImage in = source.convertToFormat(opaque ? QImage::Format_RGB32
                                                    : QImage::Format_ARGB32_Premultiplied);
    QImage out(width, height, in.format());
    if (out.isNull())
        return {};
    StreamResampler resampler(in.width(), in.height(), &out);
    for (int y = 0; y < in.height(); ++y)
        resampler.pushRow(in.constScanLine(y));
    if (!opaque)
        ClampPremultiplied(out);
    return out;
}

void ClampPremultiplied(QImage &image)
{
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        return;
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            const int a = qAlpha(p);
            if (qRed(p) > a || qGreen(p) > a || qBlue(p) > a)
                line[x] = qRgba(std::min(qRed(p), a), std::min(qGreen(p), a), std::min(qBlue(p), a),
                                a);
        }
    }
}

ResamplerKernels SetResamplerKernels(ResamplerKernels wanted)
{
    g_kernels = std::min(int(wanted), int(bestKernels()));
    return currentKernels();
}

} // namespace Pw
