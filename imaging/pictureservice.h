#pragma once

#include "imaging/fitgeometry.h"

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>

// Loading, measuring, drawing and storing pictures. Every load honours the EXIF orientation,
// so all sizes here are upright sizes.
//
// Thread safety: no function keeps state between calls; every one may run on any thread at once,
// as long as a Canvas is not used by two threads at once.
namespace Pw {

// The drawing surface. The engine owns it; windows draw their previews into one and show its
// image. The image is Format_RGB32.
struct Canvas
{
    QImage image;
    QColor fillColour = Qt::white;
    QColor penColour = Qt::black;
    QFont font;

    // A fresh width x height image painted in fillColour (sizes below 1 give a null image).
    void resize(int width, int height);
    // Paints the whole image in fillColour.
    void clear();
    int width() const { return image.width(); }
    int height() const { return image.height(); }
};

// The drawing operations return the empty text on success, else a short message:
// "无法取得宽", "无法取得高" (both, joined, for a file that is not a picture), "显示失败!",
// or a message saying the picture is too large to load (decoded over 1 GiB).

// The batch run's drawing step: the picture placed on the canvas by ComputeFitGeometry.
// In modes 3 and 5 the destination is the whole canvas. Transparent parts show what the canvas
// holds in modes 1 and 2 and white in modes 3, 4 and 5.
QString DrawFitted(Canvas &canvas, const QString &file, const FitParams &params);
// The step-1 preview: the whole picture keeping its proportions, landscape pictures across the
// full width, others across the full height, centred. A file that does not load draws nothing
// and gives the empty text.
QString DrawLetterbox(Canvas &canvas, const QString &file);
// The whole picture stretched over the whole canvas (background picture, illustrations).
QString DrawStretched(Canvas &canvas, const QString &file);

// Encodes `picture` as a JPEG: quality 0..100 as given (clamped to 1..100), 4:2:0, JFIF density
// `dpi` dots per inch (none when dpi <= 0). Empty on failure. Thread-safe.
// Optimized Huffman tables make files 2.3 % smaller but cost 7-8 ms per 1920-pixel picture, about
// 10 % of a batch without a size limit and more with one (every candidate pays it), so they are
// off unless asked for.
QByteArray EncodeJpeg(const QImage &picture, int quality, int dpi, bool optimizeHuffman = false);
// Writes already encoded bytes atomically: a temporary file beside `file`, then a rename.
// Returns the empty text, or on failure, leaving nothing behind, "无法保存图片：" and the cause in
// the interface language with the system's detail after it ("磁盘已满（ENOSPC: ...）").
// Never throws. Thread-safe.
[[nodiscard]] QString WriteJpegFile(const QByteArray &jpeg, const QString &file);
// EncodeJpeg + WriteJpegFile, with the same result.
[[nodiscard]] QString SaveJpeg(const QImage &picture, const QString &file, int quality,
                               int resolution);

// ---- Pure entry points for drawing ahead on worker threads ----

struct PictureInfo
{
    int width = 0;  // upright; 0 when it cannot be told
    int height = 0; // upright; 0 when it cannot be told
    QString error; // "" when the picture can be drawn; "无法取得宽无法取得高" for a file that is
                   // not a picture; the too-large text (with the size) for one over 1 GiB

    QSize size() const { return QSize(width, height); }
};

// Measures the file from its header and EXIF orientation, without decoding its pixels.
PictureInfo LoadAndMeasure(const QString &file);

struct DrawnPicture
{
    QImage image;        // destWidth x destHeight: RGB32, or ARGB32_Premultiplied with alpha
    QString error;       // empty on success
    QString note;        // beside a good drawing: the colour profile could not be read
    int sourceWidth = 0; // upright size of the file
    int sourceHeight = 0;
    FitGeometry geometry; // where `image` goes on the canvas
};

// Decodes the file (reduced in the DCT when it is drawn smaller), turns it upright and returns
// its source rectangle resampled to the destination size of ComputeFitGeometry(params). When
// canvasSize is valid it replaces the canvas (and, in modes 3 and 5, the destination) size, as
// DrawFitted does with the canvas it is given. Thread-safe.
DrawnPicture DrawFittedPicture(const QString &file, const FitParams &params,
                               QSize canvasSize = QSize());

// What drawing a file at params costs in memory, for a run that admits pictures by their size.
struct DrawCost
{
    QSize canvas;            // the canvas the run draws on (empty when the file does not measure)
    qint64 pictureBytes = 0; // decoder state, decoded and resampled pixels, beside the canvas
};

// Reads the header only. In modes 1, 2 and 4 the canvas is the target size whatever the file;
// a progressive JPEG counts every coefficient the decoder holds (16000 x 16000 in 4:4:4 is
// 1.5 GB). Thread-safe.
DrawCost EstimateDrawCost(const QString &file, const FitParams &params);

// Puts a DrawnPicture onto its canvas at its destination, flattening transparency as DrawFitted
// does. Returns "显示失败!" when the canvas is null.
QString PaintDrawnPicture(Canvas &canvas, const DrawnPicture &picture, FitMode fitMode);

// Decodes the whole file upright, resampled to `size` (the full size when size is invalid).
// Alpha is kept (premultiplied). Thread-safe.
struct LoadedPicture
{
    QImage image;
    QString error;
    QString note; // drawn whole, with a remark: an embedded colour profile that could not be used
    int sourceWidth = 0;
    int sourceHeight = 0;
};
LoadedPicture LoadPicture(const QString &file, QSize size = QSize());

} // namespace Pw
