// Build-time tool: draws the demo pictures (演示/) and the mode illustrations (pic/) of the app
// folder. Everything is painted here from shapes and noise, so the project ships no third-party
// picture, and the illustrations use the program's own fit geometry so they cannot disagree with
// what a mode does.
//
// usage: pw_makepictures APP_FOLDER

#include "imaging/fitgeometry.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>

namespace {

// ---- scenery -------------------------------------------------------------------------------

struct Palette
{
    QColor skyTop, skyHorizon, sun, farHills, nearHills, ground, foliage;
};

const Palette kDay{QColor(38, 92, 168),   QColor(178, 208, 232), QColor(255, 250, 225),
                   QColor(112, 136, 160), QColor(74, 118, 62),   QColor(96, 128, 58),
                   QColor(34, 70, 36)};
const Palette kEvening{QColor(48, 52, 112),  QColor(246, 170, 112), QColor(255, 228, 170),
                       QColor(120, 92, 120), QColor(70, 72, 60),    QColor(92, 84, 52),
                       QColor(36, 42, 30)};

// A ridge line by midpoint displacement: rough like real hills, reproducible by the seed.
QPolygonF ridge(double width, double baseY, double roughness, std::mt19937 &random)
{
    const int segments = 256;
    std::vector<double> heights(segments + 1, 0.0);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    double amplitude = roughness;
    for (int step = segments; step > 1; step /= 2) {
        for (int i = step / 2; i < segments; i += step)
            heights[i] = (heights[i - step / 2] + heights[i + step / 2]) / 2
                         + unit(random) * amplitude;
        amplitude *= 0.55;
    }
    QPolygonF polygon;
    for (int i = 0; i <= segments; ++i)
        polygon << QPointF(width * i / segments, baseY + heights[i]);
    return polygon;
}

void fillBelow(QPainter &painter, QPolygonF line, double width, double height, const QBrush &brush)
{
    line << QPointF(width, height) << QPointF(0, height);
    painter.setPen(Qt::NoPen);
    painter.setBrush(brush);
    painter.drawPolygon(line);
}

void drawTree(QPainter &painter, double x, double groundY, double size, const QColor &colour,
              std::mt19937 &random)
{
    std::uniform_real_distribution<double> jitter(-0.15, 0.15);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(70, 52, 36));
    painter.drawRect(QRectF(x - size * 0.05, groundY - size * 0.35, size * 0.1, size * 0.35));
    for (int layer = 0; layer < 4; ++layer) {
        const double r = size * (0.32 - layer * 0.05) * (1 + jitter(random));
        const double cy = groundY - size * (0.45 + layer * 0.17);
        QRadialGradient shade(QPointF(x - r * 0.3, cy - r * 0.3), r * 1.4);
        shade.setColorAt(0, colour.lighter(150));
        shade.setColorAt(1, colour.darker(130));
        painter.setBrush(shade);
        painter.drawEllipse(QPointF(x + jitter(random) * size * 0.2, cy), r, r * 0.9);
    }
}

// Film-like grain and a slight vignette, the two things that make a flat drawing read as a photo.
void addGrain(QImage &image, int strength, std::mt19937 &random)
{
    std::normal_distribution<double> grain(0.0, strength);
    const double cx = image.width() / 2.0;
    const double cy = image.height() / 2.0;
    const double maxDistance = std::hypot(cx, cy);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const double d = std::hypot(x - cx, y - cy) / maxDistance;
            const double light = 1.0 - 0.28 * d * d;
            const double n = grain(random);
            const QRgb p = line[x];
            auto channel = [&](int v) {
                return std::clamp(int(v * light + n), 0, 255);
            };
            line[x] = qRgba(channel(qRed(p)), channel(qGreen(p)), channel(qBlue(p)), qAlpha(p));
        }
    }
}

QImage drawScene(int width, int height, const Palette &palette, unsigned seed)
{
    std::mt19937 random(seed);
    QImage image(width, height, QImage::Format_ARGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double w = width;
    const double h = height;
    const double horizon = h * 0.58;

    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0, palette.skyTop);
    sky.setColorAt(1, palette.skyHorizon);
    painter.fillRect(image.rect(), sky);

    const QPointF sunAt(w * 0.72, horizon * 0.42);
    QRadialGradient glow(sunAt, h * 0.35);
    QColor sunGlow = palette.sun;
    glow.setColorAt(0, sunGlow);
    sunGlow.setAlpha(90);
    glow.setColorAt(0.12, sunGlow);
    sunGlow.setAlpha(0);
    glow.setColorAt(1, sunGlow);
    painter.fillRect(image.rect(), glow);

    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int cloud = 0; cloud < 7; ++cloud) {
        const double cx = unit(random) * w;
        const double cy = unit(random) * horizon * 0.6;
        for (int puff = 0; puff < 9; ++puff) {
            const QPointF at(cx + (unit(random) - 0.5) * w * 0.18,
                             cy + (unit(random) - 0.5) * h * 0.04);
            const double r = h * (0.03 + unit(random) * 0.05);
            QRadialGradient soft(at, r);
            soft.setColorAt(0, QColor(255, 255, 255, 110));
            soft.setColorAt(1, QColor(255, 255, 255, 0));
            painter.fillRect(QRectF(at.x() - r, at.y() - r, 2 * r, 2 * r), soft);
        }
    }

    QLinearGradient far(0, horizon - h * 0.2, 0, horizon);
    far.setColorAt(0, palette.farHills);
    far.setColorAt(1, palette.farHills.lighter(125));
    fillBelow(painter, ridge(w, horizon - h * 0.08, h * 0.12, random), w, h, far);

    QLinearGradient near(0, horizon - h * 0.05, 0, h);
    near.setColorAt(0, palette.nearHills);
    near.setColorAt(1, palette.nearHills.darker(140));
    fillBelow(painter, ridge(w, horizon + h * 0.05, h * 0.06, random), w, h, near);

    QLinearGradient field(0, horizon + h * 0.15, 0, h);
    field.setColorAt(0, palette.ground);
    field.setColorAt(1, palette.ground.darker(160));
    fillBelow(painter, ridge(w, horizon + h * 0.2, h * 0.03, random), w, h, field);

    // Grass strokes give the ground its texture.
    for (int i = 0; i < width * height / 90; ++i) {
        const double x = unit(random) * w;
        const double y = horizon + h * 0.2 + unit(random) * (h - horizon - h * 0.2);
        const double len = h * 0.004 + (y - horizon) / h * h * 0.02 * unit(random);
        QColor blade = palette.ground.lighter(int(80 + unit(random) * 60));
        painter.setPen(QPen(blade, std::max(1.0, h / 800)));
        painter.drawLine(QPointF(x, y), QPointF(x + (unit(random) - 0.5) * len, y - len));
    }

    for (int i = 0; i < 9; ++i) {
        const double x = unit(random) * w;
        const double groundY = horizon + h * (0.08 + unit(random) * 0.3);
        const double size = h * (0.08 + (groundY - horizon) / h * 0.9);
        drawTree(painter, x, groundY, size, palette.foliage, random);
    }
    painter.end();
    addGrain(image, 6, random);
    return image;
}

// ---- Exif ----------------------------------------------------------------------------------

enum ExifType : quint16 { Ascii = 2, Short = 3, Long = 4, Rational = 5 };

struct Entry
{
    quint16 tag;
    quint16 type;
    quint32 count;
    QByteArray data; // little-endian value bytes
};

Entry ascii(quint16 tag, const char *text)
{
    QByteArray bytes(text);
    bytes.append('\0');
    return {tag, Ascii, quint32(bytes.size()), bytes};
}

Entry shortValue(quint16 tag, quint16 value)
{
    QByteArray bytes(2, '\0');
    qToLittleEndian(value, bytes.data());
    return {tag, Short, 1, bytes};
}

Entry longValue(quint16 tag, quint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return {tag, Long, 1, bytes};
}

Entry rational(quint16 tag, quint32 numerator, quint32 denominator)
{
    QByteArray bytes(8, '\0');
    qToLittleEndian(numerator, bytes.data());
    qToLittleEndian(denominator, bytes.data() + 4);
    return {tag, Rational, 1, bytes};
}

quint32 ifdSize(const QList<Entry> &entries)
{
    quint32 size = 2 + 12 * quint32(entries.size()) + 4;
    for (const Entry &entry : entries)
        if (entry.data.size() > 4)
            size += quint32(entry.data.size() + (entry.data.size() & 1));
    return size;
}

// One IFD at `offset` within the TIFF block, its long values right behind it.
QByteArray writeIfd(const QList<Entry> &entries, quint32 offset)
{
    QByteArray table(2 + 12 * entries.size() + 4, '\0');
    QByteArray extra;
    qToLittleEndian(quint16(entries.size()), table.data());
    const quint32 extraStart = offset + quint32(table.size());
    for (int i = 0; i < entries.size(); ++i) {
        const Entry &entry = entries.at(i);
        char *at = table.data() + 2 + 12 * i;
        qToLittleEndian(entry.tag, at);
        qToLittleEndian(entry.type, at + 2);
        qToLittleEndian(entry.count, at + 4);
        if (entry.data.size() <= 4) {
            std::memcpy(at + 8, entry.data.constData(), size_t(entry.data.size()));
        } else {
            qToLittleEndian(quint32(extraStart + extra.size()), at + 8);
            extra += entry.data;
            if (extra.size() & 1)
                extra.append('\0');
        }
    }
    return table + extra; // next-IFD offset stays 0
}

QByteArray exifBlock(const char *make, const char *model, const char *shot, quint16 orientation,
                     quint32 exposureDenominator, quint32 fNumberTenths, quint16 iso)
{
    const QList<Entry> exif = {
            rational(0x829A, 1, exposureDenominator), // ExposureTime
            rational(0x829D, fNumberTenths, 10),      // FNumber
            shortValue(0x8827, iso),                  // ISOSpeedRatings
            ascii(0x9003, shot),                      // DateTimeOriginal
            ascii(0x9004, shot),                      // DateTimeDigitized
            rational(0x920A, 35, 1),                  // FocalLength
    };
    QList<Entry> ifd0 = {
            ascii(0x010F, make), ascii(0x0110, model), shortValue(0x0112, orientation),
            ascii(0x0132, shot), longValue(0x8769, 0), // Exif IFD pointer, filled in below
    };
    const quint32 exifOffset = 8 + ifdSize(ifd0);
    ifd0.last() = longValue(0x8769, exifOffset);

    QByteArray tiff("II*\0", 4);
    tiff.append(QByteArray(4, '\0'));
    qToLittleEndian(quint32(8), tiff.data() + 4);
    tiff += writeIfd(ifd0, 8);
    tiff += writeIfd(exif, exifOffset);
    return QByteArray("Exif\0\0", 6) + tiff;
}

// Puts an APP1 Exif segment behind the JFIF header of an encoded JPEG.
QByteArray withExif(const QByteArray &jpeg, const QByteArray &exif)
{
    int at = 2;
    if (jpeg.size() > 6 && quint8(jpeg[2]) == 0xFF && quint8(jpeg[3]) == 0xE0)
        at = 4 + qFromBigEndian<quint16>(jpeg.constData() + 4);
    QByteArray segment("\xFF\xE1", 2);
    QByteArray length(2, '\0');
    qToBigEndian(quint16(exif.size() + 2), length.data());
    return jpeg.left(at) + segment + length + exif + jpeg.mid(at);
}

// ---- writing -------------------------------------------------------------------------------

bool failed = false;

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "pw_makepictures: cannot write %s\n", qPrintable(path));
        failed = true;
    }
}

QByteArray encode(const QImage &image, const char *format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    if (!writer.write(image)) {
        std::fprintf(stderr, "pw_makepictures: cannot encode %s\n", format);
        failed = true;
    }
    return bytes;
}

void makeDemoPictures(const QString &folder)
{
    const QImage landscape = drawScene(1600, 1067, kDay, 11).convertToFormat(QImage::Format_RGB32);
    writeFile(folder + QStringLiteral("湖山远眺.jpg"),
              withExif(encode(landscape, "jpeg", 90),
                       exifBlock("Pixwright Optics", "PW-D500", "2023:10:02 09:41:27", 1, 250, 56,
                                 100)));

    // Stored sideways as phones do: the pixels lie rotated and orientation 6 says "turn right".
    const QImage upright = drawScene(900, 1200, kEvening, 23).convertToFormat(QImage::Format_RGB32);
    const QImage sideways = upright.transformed(QTransform().rotate(-90));
    writeFile(folder + QStringLiteral("竖拍晚霞.jpg"),
              withExif(encode(sideways, "jpeg", 90),
                       exifBlock("Pixwright Mobile", "PW Phone 7", "2024:05:18 18:52:03", 6, 60, 18,
                                 200)));

    // A round cut-out on a transparent square, with a soft transparent rim.
    QImage square = drawScene(800, 800, kDay, 37);
    {
        QImage mask(square.size(), QImage::Format_ARGB32);
        mask.fill(Qt::transparent);
        QPainter painter(&mask);
        painter.setRenderHint(QPainter::Antialiasing);
        QRadialGradient edge(QPointF(400, 400), 380);
        edge.setColorAt(0.85, QColor(0, 0, 0, 255));
        edge.setColorAt(1.0, QColor(0, 0, 0, 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(edge);
        painter.drawEllipse(QPointF(400, 400), 380, 380);
        painter.end();
        QPainter combine(&square);
        combine.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        combine.drawImage(0, 0, mask);
    }
    writeFile(folder + QStringLiteral("圆窗透明.png"), encode(square, "png"));

    const QImage bitmap = drawScene(1024, 768, kEvening, 41).convertToFormat(QImage::Format_RGB888);
    writeFile(folder + QStringLiteral("田野黄昏.bmp"), encode(bitmap, "bmp"));

    // Small enough that every default size asks for enlarging it.
    const QImage small = drawScene(240, 160, kDay, 53).convertToFormat(QImage::Format_RGB32);
    writeFile(folder + QStringLiteral("小图山景.jpg"), encode(small, "jpeg", 90));
}

// ---- illustrations -------------------------------------------------------------------------

void frame(QPainter &painter, const QRectF &rect, const QColor &colour, Qt::PenStyle style)
{
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(colour, 2, style));
    painter.drawRect(rect.adjusted(-1, -1, 1, 1));
}

// The sample at the left, the canvas the mode makes of it at the right, both to one scale.
QImage illustration(const QImage &sample, const Pw::FitParams &params)
{
    const Pw::FitResult fit = Pw::ComputeFitGeometry(sample.width(), sample.height(), params);
    QImage out(400, 240, QImage::Format_RGB32);
    out.fill(QColor(236, 236, 236));
    QPainter painter(&out);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!fit.ok()) {
        std::fprintf(stderr, "pw_makepictures: geometry refused mode %d\n",
                     Pw::ModeNumber(params.fitMode));
        failed = true;
        return out;
    }
    const Pw::FitGeometry &g = fit.geometry;
    const QRectF left(20, (240 - sample.height()) / 2.0, sample.width(), sample.height());
    painter.drawImage(left, sample);
    frame(painter, left, QColor(90, 90, 90), Qt::SolidLine);

    const QRectF canvas(230, (240 - g.canvasHeight) / 2.0, g.canvasWidth, g.canvasHeight);
    const bool border = Pw::hasBorder(params.fitMode);
    painter.fillRect(canvas, border ? QColor(255, 255, 255) : QColor(236, 236, 236));
    painter.save();
    painter.setClipRect(canvas);
    painter.drawImage(QRectF(canvas.x() + g.destX, canvas.y() + g.destY, g.destWidth, g.destHeight),
                      sample, QRectF(g.srcX, g.srcY, g.srcWidth, g.srcHeight));
    painter.restore();
    frame(painter, canvas, QColor(200, 40, 40), Qt::DashLine);

    // An arrow from the sample to the result.
    painter.setPen(QPen(QColor(60, 110, 190), 4));
    painter.drawLine(QPointF(175, 120), QPointF(212, 120));
    painter.setBrush(QColor(60, 110, 190));
    painter.setPen(Qt::NoPen);
    painter.drawPolygon(QPolygonF({QPointF(222, 120), QPointF(208, 111), QPointF(208, 129)}));
    return out;
}

void makeIllustrations(const QString &folder)
{
    // Smaller than the targets, so the enlarge switch visibly matters.
    const QImage sample = drawScene(132, 88, kDay, 7).convertToFormat(QImage::Format_RGB32);
    Pw::FitParams params;
    params.targetWidth = 150;
    params.targetHeight = 150;
    params.edgeChoice = 1;
    params.edgeLength = 160;
    params.scalePercent = 50;
    for (int mode = 1; mode <= 3; ++mode) {
        for (int enlarge = 0; enlarge <= 1; ++enlarge) {
            params.fitMode = Pw::FitModeFromNumber(mode);
            params.enlargeSmall = enlarge == 1;
            writeFile(folder + QStringLiteral("%1%2.jpg").arg(enlarge).arg(mode),
                      encode(illustration(sample, params), "jpeg", 92));
        }
    }
    params.enlargeSmall = false;
    params.fitMode = Pw::FitMode::Stretch;
    writeFile(folder + QStringLiteral("4.jpg"), encode(illustration(sample, params), "jpeg", 92));
    params.fitMode = Pw::FitMode::Percent;
    writeFile(folder + QStringLiteral("5.jpg"), encode(illustration(sample, params), "jpeg", 92));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fputs("usage: pw_makepictures APP_FOLDER\n", stderr);
        return 2;
    }
    const QString appFolder = QDir(args.at(1)).absolutePath() + u'/';
    const QString demo = appFolder + QStringLiteral("演示/");
    const QString pic = appFolder + QStringLiteral("pic/");
    if (!QDir().mkpath(demo) || !QDir().mkpath(pic)) {
        std::fputs("pw_makepictures: cannot create the picture folders\n", stderr);
        return 1;
    }
    makeDemoPictures(demo);
    makeIllustrations(pic);
    return failed ? 1 : 0;
}
