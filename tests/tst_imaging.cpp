#include "imaging/fitgeometry.h"

#include <QTest>

using Pw::FitGeometry;
using Pw::FitParams;

namespace {

FitParams boxParams(int mode, int width, int height, bool enlarge = false)
{
    FitParams params;
    params.fitMode = mode;
    params.targetWidth = width;
    params.targetHeight = height;
    params.enlargeSmall = enlarge;
    return params;
}

FitGeometry geometry(int cw, int ch, QList<int> dest, QList<int> src)
{
    FitGeometry g;
    g.canvasWidth = cw;
    g.canvasHeight = ch;
    g.destX = dest[0];
    g.destY = dest[1];
    g.destWidth = dest[2];
    g.destHeight = dest[3];
    g.srcX = src[0];
    g.srcY = src[1];
    g.srcWidth = src[2];
    g.srcHeight = src[3];
    return g;
}

} // namespace

Q_DECLARE_METATYPE(FitParams)
Q_DECLARE_METATYPE(FitGeometry)

namespace QTest {
template<>
char *toString(const FitGeometry &g)
{
    return qstrdup(QByteArray("canvas %1x%2 dest (%3,%4,%5,%6) src (%7,%8,%9,%10)")
                           .replace("%10", QByteArray::number(g.srcHeight))
                           .replace("%1", QByteArray::number(g.canvasWidth))
                           .replace("%2", QByteArray::number(g.canvasHeight))
                           .replace("%3", QByteArray::number(g.destX))
                           .replace("%4", QByteArray::number(g.destY))
                           .replace("%5", QByteArray::number(g.destWidth))
                           .replace("%6", QByteArray::number(g.destHeight))
                           .replace("%7", QByteArray::number(g.srcX))
                           .replace("%8", QByteArray::number(g.srcY))
                           .replace("%9", QByteArray::number(g.srcWidth))
                           .constData());
}
} // namespace QTest

class TestImaging : public QObject
{
    Q_OBJECT

private slots:
    void roundHalfEven_data();
    void roundHalfEven();
    void fitGeometry_data();
    void fitGeometry();
    void unusableSizesAreRefused_data();
    void unusableSizesAreRefused();
    void sweepKeepsEveryRectangleOnCanvas();
};

void TestImaging::roundHalfEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("2.5") << 2.5 << 2;
    QTest::newRow("3.5") << 3.5 << 4;
    QTest::newRow("99.5") << 99.5 << 100;
    QTest::newRow("1.5") << 1.5 << 2;
    QTest::newRow("0.5") << 0.5 << 0;
    QTest::newRow("2.51") << 2.51 << 3;
    QTest::newRow("-2.5") << -2.5 << -2;
}

void TestImaging::roundHalfEven()
{
    QFETCH(double, value);
    QFETCH(int, expected);
    QCOMPARE(Pw::RoundHalfEven(value), expected);
}

void TestImaging::fitGeometry_data()
{
    QTest::addColumn<int>("sw");
    QTest::addColumn<int>("sh");
    QTest::addColumn<FitParams>("params");
    QTest::addColumn<FitGeometry>("expected");

    // Mode 1: centre cut.
    QTest::newRow("1: cut from the centre")
            << 1000 << 800 << boxParams(1, 600, 400)
            << geometry(600, 400, {0, 0, 600, 400}, {200, 200, 600, 400});
    QTest::newRow("1: narrower by 5, half rounds to even")
            << 595 << 400 << boxParams(1, 600, 400)
            << geometry(600, 400, {2, 0, 595, 400}, {0, 0, 595, 400});
    QTest::newRow("1: equal height is not small, enlarge ignored")
            << 595 << 400 << boxParams(1, 600, 400, true)
            << geometry(600, 400, {2, 0, 595, 400}, {0, 0, 595, 400});
    QTest::newRow("1: small, centred")
            << 300 << 201 << boxParams(1, 600, 400)
            << geometry(600, 400, {150, 100, 300, 201}, {0, 0, 300, 201});
    QTest::newRow("1: small, enlarged (r <= t)")
            << 300 << 201 << boxParams(1, 600, 400, true)
            << geometry(600, 400, {2, 0, 597, 400}, {0, 0, 300, 201});
    QTest::newRow("1: small, enlarged (r > t)")
            << 300 << 100 << boxParams(1, 600, 400, true)
            << geometry(600, 400, {0, 100, 600, 200}, {0, 0, 300, 100});
    QTest::newRow("1: smaller in one direction only is cut, not enlarged")
            << 300 << 900 << boxParams(1, 600, 400, true)
            << geometry(600, 400, {150, 0, 300, 400}, {0, 250, 300, 400});
    QTest::newRow("1: sw equals W") << 600 << 900 << boxParams(1, 600, 400)
                                    << geometry(600, 400, {0, 0, 600, 400}, {0, 250, 600, 400});

    // Mode 2: fit inside.
    QTest::newRow("2: taller than the box")
            << 1000 << 800 << boxParams(2, 600, 400)
            << geometry(600, 400, {50, 0, 500, 400}, {0, 0, 1000, 800});
    QTest::newRow("2: wider than the box")
            << 2000 << 800 << boxParams(2, 600, 400)
            << geometry(600, 400, {0, 80, 600, 240}, {0, 0, 2000, 800});
    QTest::newRow("2: r equals t takes the height branch")
            << 1200 << 800 << boxParams(2, 600, 400)
            << geometry(600, 400, {0, 0, 600, 400}, {0, 0, 1200, 800});
    QTest::newRow("2: small keeps its size")
            << 200 << 100 << boxParams(2, 600, 400)
            << geometry(600, 400, {200, 150, 200, 100}, {0, 0, 200, 100});
    QTest::newRow("2: small enlarged") << 200 << 100 << boxParams(2, 600, 400, true)
                                       << geometry(600, 400, {0, 50, 600, 300}, {0, 0, 200, 100});
    QTest::newRow("2: a hair line never becomes 0 pixels high")
            << 100000 << 1 << boxParams(2, 600, 400)
            << geometry(600, 400, {0, 200, 600, 1}, {0, 0, 100000, 1});

    // Mode 3: one edge.
    FitParams longEdge;
    longEdge.fitMode = 3;
    longEdge.edgeLength = 800;
    QTest::newRow("3: long edge, landscape")
            << 4000 << 3000 << longEdge << geometry(800, 600, {0, 0, 800, 600}, {0, 0, 4000, 3000});
    QTest::newRow("3: long edge, portrait")
            << 3000 << 4000 << longEdge << geometry(600, 800, {0, 0, 600, 800}, {0, 0, 3000, 4000});
    QTest::newRow("3: long edge, square")
            << 3000 << 3000 << longEdge << geometry(800, 800, {0, 0, 800, 800}, {0, 0, 3000, 3000});
    FitParams width = longEdge;
    width.edgeChoice = 2;
    QTest::newRow("3: width, small keeps its size")
            << 400 << 300 << width << geometry(400, 300, {0, 0, 400, 300}, {0, 0, 400, 300});
    width.enlargeSmall = true;
    QTest::newRow("3: width, small enlarged")
            << 400 << 300 << width << geometry(800, 600, {0, 0, 800, 600}, {0, 0, 400, 300});
    FitParams height = longEdge;
    height.edgeChoice = 3;
    QTest::newRow("3: height of a landscape")
            << 4000 << 3000 << height << geometry(1067, 800, {0, 0, 1067, 800}, {0, 0, 4000, 3000});
    QTest::newRow("3: one side equal is not small")
            << 800 << 300 << width << geometry(800, 300, {0, 0, 800, 300}, {0, 0, 800, 300});

    // Mode 4: stretch.
    QTest::newRow("4: stretch ignores proportions")
            << 1000 << 100 << boxParams(4, 300, 500, true)
            << geometry(300, 500, {0, 0, 300, 500}, {0, 0, 1000, 100});

    // Mode 5: per cent.
    FitParams percent;
    percent.fitMode = 5;
    percent.scalePercent = 50;
    QTest::newRow("5: 50% rounds the height to even")
            << 1001 << 601 << percent << geometry(500, 300, {0, 0, 500, 300}, {0, 0, 1001, 601});
    percent.scalePercent = 200;
    QTest::newRow("5: 200% capped on the width")
            << 9000 << 6000 << percent
            << geometry(16000, 10667, {0, 0, 16000, 10667}, {0, 0, 9000, 6000});
    percent.scalePercent = 5;
    QTest::newRow("5: 5% held at the floor")
            << 40 << 30 << percent << geometry(3, 2, {0, 0, 3, 2}, {0, 0, 40, 30});
    percent.percentFloor = 10;
    QTest::newRow("5: 5% raised to a floor of 10")
            << 40 << 30 << percent << geometry(13, 10, {0, 0, 13, 10}, {0, 0, 40, 30});
    percent.scalePercent = 100;
    percent.percentCap = 10;
    QTest::newRow("5: 100% ignores the bounds")
            << 4000 << 3000 << percent
            << geometry(4000, 3000, {0, 0, 4000, 3000}, {0, 0, 4000, 3000});
}

void TestImaging::fitGeometry()
{
    QFETCH(int, sw);
    QFETCH(int, sh);
    QFETCH(FitParams, params);
    QFETCH(FitGeometry, expected);
    const Pw::FitResult result = Pw::ComputeFitGeometry(sw, sh, params);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.geometry, expected);
}

void TestImaging::unusableSizesAreRefused_data()
{
    QTest::addColumn<int>("sw");
    QTest::addColumn<int>("sh");
    QTest::addColumn<FitParams>("params");

    QTest::newRow("width 0") << 100 << 100 << boxParams(1, 0, 400);
    QTest::newRow("height 0") << 100 << 100 << boxParams(2, 400, 0);
    QTest::newRow("negative stretch") << 100 << 100 << boxParams(4, -5, 400);
    FitParams edge;
    edge.fitMode = 3;
    edge.edgeLength = 0;
    QTest::newRow("edge 0") << 100 << 100 << edge;
    edge.edgeLength = 800;
    QTest::newRow("edge makes a 0-pixel height") << 100000 << 1 << edge;
    FitParams percent;
    percent.fitMode = 5;
    percent.scalePercent = 5;
    percent.percentFloor = 0;
    QTest::newRow("percent below one pixel") << 10 << 5 << percent;
    percent.scalePercent = 500;
    percent.percentCap = 1000000;
    QTest::newRow("beyond what JPEG stores") << 20000 << 20000 << percent;
    QTest::newRow("unmeasured source") << 0 << 100 << boxParams(2, 400, 400);
    QTest::newRow("unknown mode") << 100 << 100 << boxParams(6, 400, 400);
}

void TestImaging::unusableSizesAreRefused()
{
    QFETCH(int, sw);
    QFETCH(int, sh);
    QFETCH(FitParams, params);
    const Pw::FitResult result = Pw::ComputeFitGeometry(sw, sh, params);
    QVERIFY(!result.ok());
    QVERIFY(!result.error.isEmpty());
}

// Over many source and target sizes, every rectangle must lie within its picture and
// have at least one pixel: that is what the drawing step relies on.
void TestImaging::sweepKeepsEveryRectangleOnCanvas()
{
    const QList<int> sides = {1, 2, 3, 7, 99, 100, 101, 399, 400, 401, 1023, 4000};
    for (int mode = 1; mode <= 5; ++mode) {
        for (int sw : sides) {
            for (int sh : sides) {
                for (int target : {1, 3, 400, 1001}) {
                    for (bool enlarge : {false, true}) {
                        FitParams p = boxParams(mode, target, 400, enlarge);
                        p.edgeLength = target;
                        p.edgeChoice = 1 + (sw + sh) % 3;
                        p.scalePercent = target == 1 ? 5 : (target == 3 ? 100 : 300);
                        const Pw::FitResult r = Pw::ComputeFitGeometry(sw, sh, p);
                        if (!r.ok())
                            continue;
                        const FitGeometry &g = r.geometry;
                        const QString where = QStringLiteral("mode %1 source %2x%3 target %4")
                                                      .arg(mode)
                                                      .arg(sw)
                                                      .arg(sh)
                                                      .arg(target);
                        QVERIFY2(g.canvasWidth >= 1 && g.canvasHeight >= 1, qPrintable(where));
                        QVERIFY2(g.destWidth >= 1 && g.destHeight >= 1, qPrintable(where));
                        QVERIFY2(g.destX >= 0 && g.destY >= 0, qPrintable(where));
                        QVERIFY2(g.destX + g.destWidth <= g.canvasWidth, qPrintable(where));
                        QVERIFY2(g.destY + g.destHeight <= g.canvasHeight, qPrintable(where));
                        QVERIFY2(g.srcX >= 0 && g.srcY >= 0, qPrintable(where));
                        QVERIFY2(g.srcX + g.srcWidth <= sw, qPrintable(where));
                        QVERIFY2(g.srcY + g.srcHeight <= sh, qPrintable(where));
                    }
                }
            }
        }
    }
}

QTEST_APPLESS_MAIN(TestImaging)
#include "tst_imaging.moc"
