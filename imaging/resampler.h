#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

namespace Pw {

// The inner loops: plain C++ on any processor, SSE2 and AVX2 on x86-64. All give the same pixels.
enum class ResamplerKernels { Portable, Sse2, Avx2 };

// Lanczos3 weights of one axis, mapping inSize samples onto outSize, in 14-bit fixed point.
// Every output takes a contiguous run of inputs [start, start + taps) (taps padded to an even
// count with zero weights), so the inner loops need no bounds checks.
struct FilterAxis
{
    int inSize = 0;
    int outSize = 0;
    int taps = 0;                 // even; weights per output
    std::vector<int> start;       // first input of each output
    std::vector<int32_t> weights; // pairs of int16 weights packed into one int32, taps / 2 each

    static constexpr int kShift = 14;
};

// Both sizes at least 1. taps is padded to a multiple of tapMultiple (even). The inputs an output
// reads never leave [0, inSize), except padding inputs (zero weight) that may reach up to
// tapMultiple - 1 samples past the end.
FilterAxis MakeLanczos3Axis(int inSize, int outSize, int tapMultiple = 2);

// Separable Lanczos3 on 4-byte pixels (RGB32 or premultiplied ARGB32), fed one input row at a
// time, top to bottom. Rows wait in a small ring; as soon as an output row's inputs are in, it is
// filtered vertically and then horizontally, so a picture is resampled while it is decoded and
// never held at full size, and the costlier horizontal pass runs on output rows only.
class StreamResampler
{
public:
    // The input is columns [columnOffset, columnOffset + inWidth) of rows rowPixels wide.
    StreamResampler(int inWidth, int inHeight, QImage *output, int rowPixels = -1,
                    int columnOffset = 0);

    // Where the next row may be written directly (rowPixels pixels, plus 32 spare bytes);
    // commitRow() then takes it.
    uint8_t *rowBuffer();
    void commitRow();
    // Copies a row of rowPixels pixels in.
    void pushRow(const uint8_t *row);
    int rowsPushed() const { return m_pushed; }
    bool done() const { return m_nextOut == m_out->height(); }

private:
    void emitReadyRows();

    QImage *m_out;
    ResamplerKernels m_kernels;
    int m_inWidth;
    int m_rowPixels;
    int m_columnOffset;
    FilterAxis m_horizontal;
    FilterAxis m_vertical;
    int m_ringRows = 0;
    int m_ringStride = 0;            // bytes per ring row, padded
    std::vector<int32_t> m_expanded; // AVX2 horizontal weights
    std::vector<uint8_t> m_ring;
    std::vector<uint8_t> m_mid; // one row after the vertical pass
    int m_pushed = 0;
    int m_nextOut = 0;
};

// Resamples a whole image (RGB32, ARGB32 or ARGB32_Premultiplied) to width x height with the
// same filter. The result is RGB32 for opaque formats, ARGB32_Premultiplied otherwise.
QImage ResampleLanczos3(const QImage &source, int width, int height);

// The best loops the processor has are used; tests pick each in turn. Returns the loops now in
// use: the ones asked for, or the best available below them.
ResamplerKernels SetResamplerKernels(ResamplerKernels wanted);

// After filtering premultiplied pixels a colour may ring above its alpha; clamp it back.
void ClampPremultiplied(QImage &image);

} // namespace Pw
