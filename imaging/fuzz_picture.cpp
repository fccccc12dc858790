// libFuzzer target: the picture load path (JPEG through libjpeg-turbo, PNG and BMP through Qt's
// readers, HEIC/AVIF, WebP and TIFF through their decoders when built in) on arbitrary bytes. The
// input is written to a file, measured, costed, drawn small and loaded, as a batch run and the
// previews do.

#include "imaging/pictureservice.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <unistd.h>

namespace {

void checkAt(bool condition, int line)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz_picture: check on line %d failed\n", line);
        std::abort();
    }
}
#define check(condition) checkAt((condition), __LINE__)

// Pictures whose drawing would take more than this are left alone, as a run's memory budget
// leaves them; the fuzzer is after the parsers, and large pictures only slow it down (every
// byte decoded goes through the sanitizers). Drawn at 5 %, a JPEG decodes reduced in the DCT.
constexpr qint64 kBudget = qint64(2) << 20;

void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool silenced = (qInstallMessageHandler(quiet), true);
    Q_UNUSED(silenced);
    static const QString file = QDir::tempPath() + QStringLiteral("/fuzz_picture_")
                                + QString::number(::getpid());
    {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        out.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    const Pw::PictureInfo info = Pw::LoadAndMeasure(file);
    // No error means a size; a picture refused as too large keeps its size beside the error.
    check(!info.error.isEmpty() || (info.width > 0 && info.height > 0));
    if (!info.error.isEmpty())
        return 0;

    Pw::FitParams params;
    params.fitMode = Pw::FitMode::Percent;
    params.scalePercent = 5;
    const Pw::DrawCost cost = Pw::EstimateDrawCost(file, params);
    check(cost.pictureBytes >= 0);
    if (cost.pictureBytes > kBudget || qint64(info.width) * info.height * 4 > kBudget)
        return 0;

    const Pw::DrawnPicture drawn = Pw::DrawFittedPicture(file, params);
    if (!drawn.image.isNull()) {
        check(drawn.image.width() == drawn.geometry.destWidth);
        check(drawn.image.height() == drawn.geometry.destHeight);
        Pw::Canvas canvas;
        canvas.resize(drawn.geometry.canvasWidth, drawn.geometry.canvasHeight);
        Pw::PaintDrawnPicture(canvas, drawn, Pw::FitMode::Percent);
    }
    const Pw::LoadedPicture loaded = Pw::LoadPicture(file, QSize(17, 13));
    check(loaded.image.isNull() || loaded.image.size() == QSize(17, 13));
    return 0;
}
