// Times the picture service against vipsthumbnail and ImageMagick on a folder of photos:
// mode 3, long edge 1920, quality 85, one thread. Each tool runs in a child process so its
// wall time and peak memory (wait4) are measured the same way; every output is then compared
// with a Lanczos3 reference made in floating point from the full-size decode.
#include "imaging/jpegcodec.h"
#include "imaging/memorytuning.h"
#include "imaging/pictureservice.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <numbers>
#include <spawn.h>
#include <vector>

extern char **environ;

namespace {

constexpr int kEdge = 1920;
constexpr int kQuality = 85;

struct RunResult
{
    double seconds = 0;
    double cpuSeconds = 0; // user + system: fairer than wall time on a loaded machine
    long peakKb = 0;
    bool ok = true;
};

double cpuNow()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

RunResult spawnAndWait(const QStringList &command, bool oneThreadVips)
{
    std::vector<QByteArray> storage;
    for (const QString &arg : command)
        storage.push_back(QFile::encodeName(arg));
    std::vector<char *> argv;
    for (QByteArray &s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    std::vector<QByteArray> envStorage;
    for (char **e = environ; *e; ++e)
        envStorage.emplace_back(*e);
    if (oneThreadVips)
        envStorage.emplace_back("VIPS_CONCURRENCY=1");
    envStorage.emplace_back("OMP_NUM_THREADS=1");
    envStorage.emplace_back("MAGICK_THREAD_LIMIT=1");
    std::vector<char *> envp;
    for (QByteArray &s : envStorage)
        envp.push_back(s.data());
    envp.push_back(nullptr);

    RunResult result;
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) {
        result.ok = false;
        return result;
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    result.seconds = timer.nsecsElapsed() / 1e9;
    result.peakKb = usage.ru_maxrss;
    result.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
                        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return result;
}

// The service's own pipeline, run in the child: measure, draw fitted, encode, write.
int runService(const QString &outDir, const QStringList &files)
{
    Pw::TuneAllocator();
    Pw::FitParams params;
    params.fitMode = Pw::FitMode::OneEdge;
    params.edgeChoice = 1;
    params.edgeLength = kEdge;
    int failures = 0;
    for (const QString &file : files) {
        const Pw::DrawnPicture drawn = Pw::DrawFittedPicture(file, params);
        if (!drawn.error.isEmpty()) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(file), qPrintable(drawn.error));
            ++failures;
            continue;
        }
        Pw::Canvas canvas;
        canvas.resize(drawn.geometry.canvasWidth, drawn.geometry.canvasHeight);
        Pw::PaintDrawnPicture(canvas, drawn, params.fitMode);
        const QString error = Pw::SaveJpeg(
                canvas.image, outDir + QFileInfo(file).completeBaseName() + QStringLiteral(".jpg"),
                kQuality, 300);
        if (!error.isEmpty()) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(file), qPrintable(error));
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}

// ---- reference and comparison, in floating point ----

struct Plane
{
    int width = 0;
    int height = 0;
    std::vector<float> v;
    float &at(int x, int y) { return v[size_t(y) * width + x]; }
    float at(int x, int y) const { return v[size_t(y) * width + x]; }
};

double lanczos3(double x)
{
    x = std::fabs(x);
    if (x < 1e-12)
        return 1.0;
    if (x >= 3.0)
        return 0.0;
    const double px = std::numbers::pi * x;
    return 3.0 * std::sin(px) * std::sin(px / 3.0) / (px * px);
}

struct Taps
{
    std::vector<int> first;
    std::vector<std::vector<float>> w;
};

Taps makeTaps(int in, int out)
{
    Taps t;
    const double scale = double(in) / out, stretch = std::max(1.0, scale), support = 3 * stretch;
    for (int i = 0; i < out; ++i) {
        const double c = (i + 0.5) * scale - 0.5;
        const int lo = std::max(0, int(std::ceil(c - support)));
        const int hi = std::min(in - 1, int(std::floor(c + support)));
        std::vector<float> w;
        double sum = 0;
        for (int j = lo; j <= hi; ++j) {
            w.push_back(float(lanczos3((j - c) / stretch)));
            sum += w.back();
        }
        for (float &x : w)
            x = float(x / sum);
        t.first.push_back(lo);
        t.w.push_back(std::move(w));
    }
    return t;
}

// Three planes (R, G, B) of a full-size picture resampled to width x height.
std::vector<Plane> referenceResample(const QImage &full, int width, int height)
{
    const Taps h = makeTaps(full.width(), width), v = makeTaps(full.height(), height);
    std::vector<Plane> mid(3), out(3);
    for (int c = 0; c < 3; ++c) {
        mid[c] = {width, full.height(), std::vector<float>(size_t(width) * full.height())};
        out[c] = {width, height, std::vector<float>(size_t(width) * height)};
    }
    for (int y = 0; y < full.height(); ++y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(full.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            float r = 0, g = 0, b = 0;
            const std::vector<float> &w = h.w[x];
            for (size_t k = 0; k < w.size(); ++k) {
                const QRgb p = row[h.first[x] + int(k)];
                r += w[k] * qRed(p);
                g += w[k] * qGreen(p);
                b += w[k] * qBlue(p);
            }
            mid[0].at(x, y) = r;
            mid[1].at(x, y) = g;
            mid[2].at(x, y) = b;
        }
    }
    for (int c = 0; c < 3; ++c)
        for (int y = 0; y < height; ++y) {
            const std::vector<float> &w = v.w[y];
            for (int x = 0; x < width; ++x) {
                float s = 0;
                for (size_t k = 0; k < w.size(); ++k)
                    s += w[k] * mid[c].at(x, v.first[y] + int(k));
                out[c].at(x, y) = std::clamp(std::round(s), 0.0f, 255.0f);
            }
        }
    return out;
}

Plane luma(const std::vector<Plane> &rgb)
{
    Plane y{rgb[0].width, rgb[0].height, std::vector<float>(rgb[0].v.size())};
    for (size_t i = 0; i < y.v.size(); ++i)
        y.v[i] = 0.299f * rgb[0].v[i] + 0.587f * rgb[1].v[i] + 0.114f * rgb[2].v[i];
    return y;
}

Plane luma(const QImage &image)
{
    Plane y{image.width(), image.height(),
            std::vector<float>(size_t(image.width()) * image.height())};
    for (int r = 0; r < image.height(); ++r) {
        const QRgb *row = reinterpret_cast<const QRgb *>(image.constScanLine(r));
        for (int x = 0; x < image.width(); ++x)
            y.at(x, r) = 0.299f * qRed(row[x]) + 0.587f * qGreen(row[x]) + 0.114f * qBlue(row[x]);
    }
    return y;
}

Plane gaussianBlur(const Plane &in)
{
    // The usual SSIM window: 11 taps, sigma 1.5, edges clamped.
    float k[11];
    float sum = 0;
    for (int i = 0; i < 11; ++i) {
        k[i] = std::exp(-float((i - 5) * (i - 5)) / (2 * 1.5f * 1.5f));
        sum += k[i];
    }
    for (float &x : k)
        x /= sum;
    Plane tmp = in, out = in;
    for (int y = 0; y < in.height; ++y)
        for (int x = 0; x < in.width; ++x) {
            float s = 0;
            for (int i = 0; i < 11; ++i)
                s += k[i] * in.at(std::clamp(x + i - 5, 0, in.width - 1), y);
            tmp.at(x, y) = s;
        }
    for (int y = 0; y < in.height; ++y)
        for (int x = 0; x < in.width; ++x) {
            float s = 0;
            for (int i = 0; i < 11; ++i)
                s += k[i] * tmp.at(x, std::clamp(y + i - 5, 0, in.height - 1));
            out.at(x, y) = s;
        }
    return out;
}

double ssim(const Plane &a, const Plane &b)
{
    Plane aa = a, bb = b, ab = a;
    for (size_t i = 0; i < a.v.size(); ++i) {
        aa.v[i] = a.v[i] * a.v[i];
        bb.v[i] = b.v[i] * b.v[i];
        ab.v[i] = a.v[i] * b.v[i];
    }
    const Plane ma = gaussianBlur(a), mb = gaussianBlur(b);
    const Plane saa = gaussianBlur(aa), sbb = gaussianBlur(bb), sab = gaussianBlur(ab);
    const double c1 = 6.5025, c2 = 58.5225; // (0.01 * 255)^2, (0.03 * 255)^2
    double total = 0;
    for (size_t i = 0; i < a.v.size(); ++i) {
        const double mx = ma.v[i], my = mb.v[i];
        const double vx = saa.v[i] - mx * mx, vy = sbb.v[i] - my * my, cxy = sab.v[i] - mx * my;
        total += ((2 * mx * my + c1) * (2 * cxy + c2))
                 / ((mx * mx + my * my + c1) * (vx + vy + c2));
    }
    return total / double(a.v.size());
}

double psnr(const Plane &a, const Plane &b)
{
    double se = 0;
    for (size_t i = 0; i < a.v.size(); ++i)
        se += double(a.v[i] - b.v[i]) * (a.v[i] - b.v[i]);
    const double mse = se / double(a.v.size());
    return mse <= 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

struct Tool
{
    QString name;
    QString dir;
    RunResult run;
    double ssimSum = 0;
    double psnrSum = 0;
    int compared = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.size() >= 2 && args[0] == QStringLiteral("--service")) {
        const QString out = args[1];
        return runService(out, args.mid(2));
    }

    const bool quality = !args.removeAll(QStringLiteral("--no-quality"));
    int repeat = 3;
    const qsizetype repeatAt = args.indexOf(QStringLiteral("--repeat"));
    if (repeatAt >= 0 && repeatAt + 1 < args.size()) {
        repeat = std::max(1, args[repeatAt + 1].toInt());
        args.remove(repeatAt, 2);
    }
    const QString folder = args.isEmpty() ? QStringLiteral(PW_PHOTOS_DIR) : args[0];
    QDir dir(folder);
    const QStringList names = dir.entryList(
            {QStringLiteral("*.jpg"), QStringLiteral("*.jpeg"), QStringLiteral("*.JPG")},
            QDir::Files, QDir::Name);
    if (names.isEmpty()) {
        std::fprintf(stderr, "no photos in %s\n", qPrintable(folder));
        return 2;
    }
    QStringList files;
    for (const QString &n : names)
        files << dir.absoluteFilePath(n);

    QTemporaryDir work;
    std::vector<Tool> tools{
            {QStringLiteral("pixwright"), work.path() + QStringLiteral("/pw/"), {}, 0, 0, 0},
            {QStringLiteral("vipsthumbnail"), work.path() + QStringLiteral("/vips/"), {}, 0, 0, 0},
            {QStringLiteral("imagemagick"), work.path() + QStringLiteral("/im/"), {}, 0, 0, 0}};
    for (Tool &t : tools)
        QDir().mkpath(t.dir);

    std::printf("%d photos from %s, long edge %d, quality %d, one thread; best of %d runs"
                " (ImageMagick: one)\n",
                int(files.size()), qPrintable(folder), kEdge, kQuality, repeat);

    // The machine may be shared: run the two fast tools alternately and keep each one's best.
    const QStringList service = QStringList{QCoreApplication::applicationFilePath(),
                                            QStringLiteral("--service"), tools[0].dir}
                                + files;
    const QStringList vips = QStringList{QStringLiteral("vipsthumbnail"), QStringLiteral("--size"),
                                         QString::number(kEdge), QStringLiteral("-o"),
                                         tools[1].dir + QStringLiteral("%s.jpg[Q=")
                                                 + QString::number(kQuality) + QStringLiteral("]")}
                             + files;
    const auto keepBest = [](RunResult &best, const RunResult &r, bool first) {
        if (first) {
            best = r;
            return;
        }
        best.seconds = std::min(best.seconds, r.seconds);
        best.cpuSeconds = std::min(best.cpuSeconds, r.cpuSeconds);
        best.peakKb = std::max(best.peakKb, r.peakKb);
        best.ok = best.ok && r.ok;
    };
    for (int round = 0; round < repeat; ++round) {
        keepBest(tools[0].run, spawnAndWait(service, false), round == 0);
        keepBest(tools[1].run, spawnAndWait(vips, true), round == 0);
    }
    for (const QString &file : files) {
        const RunResult r = spawnAndWait(
                {QStringLiteral("convert"), file, QStringLiteral("-auto-orient"),
                 QStringLiteral("-resize"), QStringLiteral("%1x%1").arg(kEdge),
                 QStringLiteral("-quality"), QString::number(kQuality),
                 tools[2].dir + QFileInfo(file).completeBaseName() + QStringLiteral(".jpg")},
                false);
        tools[2].run.seconds += r.seconds;
        tools[2].run.cpuSeconds += r.cpuSeconds;
        tools[2].run.peakKb = std::max(tools[2].run.peakKb, r.peakKb);
        tools[2].run.ok = tools[2].run.ok && r.ok;
    }

    std::printf("\n%-14s %9s %8s %9s %8s %10s\n", "tool", "wall s", "ratio", "cpu s", "ratio",
                "peak MB");
    for (const Tool &t : tools)
        std::printf("%-14s %9.3f %8.3f %9.3f %8.3f %10.1f%s\n", qPrintable(t.name), t.run.seconds,
                    t.run.seconds / tools[1].run.seconds, t.run.cpuSeconds,
                    t.run.cpuSeconds / tools[1].run.cpuSeconds, t.run.peakKb / 1024.0,
                    t.run.ok ? "" : "  (failed)");
    std::fflush(stdout);

    // What the optimized Huffman tables cost: encode every result again both ways.
    {
        QList<QImage> results;
        for (const QString &file : files) {
            const Pw::LoadedPicture out = Pw::LoadPicture(
                    tools[0].dir + QFileInfo(file).completeBaseName() + QStringLiteral(".jpg"));
            if (!out.image.isNull())
                results << out.image;
        }
        double seconds[2] = {0, 0};
        qint64 bytes[2] = {0, 0};
        for (int round = 0; round < 3; ++round)
            for (int optimize = 0; optimize < 2; ++optimize) {
                const double start = cpuNow();
                for (const QImage &image : results)
                    bytes[optimize] += Pw::Jpeg::Encode(image, kQuality, 300, optimize == 1).size();
                seconds[optimize] += cpuNow() - start;
            }
        std::printf(
                "\nencoding the %d results (cpu s, per pass): plain Huffman %.3f, optimized %.3f;"
                " optimizing costs %.3f s (%.1f%% of pixwright's run) and saves %.2f%% bytes\n",
                int(results.size()), seconds[0] / 3, seconds[1] / 3, (seconds[1] - seconds[0]) / 3,
                100 * (seconds[1] - seconds[0]) / 3 / tools[0].run.cpuSeconds,
                100.0 * double(bytes[0] - bytes[1]) / double(bytes[0]));
    }

    if (!quality)
        return 0;
    std::printf("\n%-32s %20s %20s %20s\n", "SSIM / PSNR vs Lanczos3 reference", "pixwright",
                "vipsthumbnail", "imagemagick");
    for (const QString &file : files) {
        const Pw::LoadedPicture full = Pw::LoadPicture(file);
        if (full.image.isNull())
            continue;
        std::printf("%-32s", qPrintable(QFileInfo(file).fileName().left(32)));
        for (Tool &t : tools) {
            const Pw::LoadedPicture out = Pw::LoadPicture(t.dir + QFileInfo(file).completeBaseName()
                                                          + QStringLiteral(".jpg"));
            if (out.image.isNull()) {
                std::printf(" %20s", "missing");
                continue;
            }
            const Plane ref = luma(
                    referenceResample(full.image, out.image.width(), out.image.height()));
            const Plane got = luma(out.image);
            const double s = ssim(ref, got), p = psnr(ref, got);
            t.ssimSum += s;
            t.psnrSum += p;
            ++t.compared;
            std::printf("  %4dx%-4d %.4f %4.1f", out.image.width(), out.image.height(), s, p);
        }
        std::printf("\n");
        std::fflush(stdout);
    }
    std::printf("\n%-14s %10s %10s\n", "tool", "mean SSIM", "mean PSNR");
    for (const Tool &t : tools)
        if (t.compared > 0)
            std::printf("%-14s %10.5f %10.2f\n", qPrintable(t.name), t.ssimSum / t.compared,
                        t.psnrSum / t.compared);
    return 0;
}
