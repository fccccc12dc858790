#include "run/sizetime.h"

#include <QTest>

class TestRun : public QObject
{
    Q_OBJECT

private slots:
    void formatFileSize_data();
    void formatFileSize();
    void formatElapsed_data();
    void formatElapsed();
};

void TestRun::formatFileSize_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("zero") << qint64(0) << QStringLiteral("0B");
    QTest::newRow("512") << qint64(512) << QStringLiteral("512B");
    QTest::newRow("1023") << qint64(1023) << QStringLiteral("1023B");
    QTest::newRow("1024") << qint64(1024) << QStringLiteral("1.0K");
    QTest::newRow("1536") << qint64(1536) << QStringLiteral("1.5K");
    // 1.05K is 1075.2 bytes: 1075 lies below the half, 1076 above.
    QTest::newRow("half a tenth rounds away from zero")
            << qint64(1075 + 1) << QStringLiteral("1.1K");
    QTest::newRow("just under half a tenth") << qint64(1075) << QStringLiteral("1.0K");
    QTest::newRow("1048575 stays in K") << qint64(1048575) << QStringLiteral("1024.0K");
    QTest::newRow("5 MiB") << qint64(5242880) << QStringLiteral("5.0M");
    QTest::newRow("1 GiB") << qint64(1) * 1024 * 1024 * 1024 << QStringLiteral("1.0G");
    QTest::newRow("2.5 TiB") << qint64(5) * 1024 * 1024 * 1024 * 512 << QStringLiteral("2.5T");
    QTest::newRow("exact half rounds away from zero")
            << qint64(1280) << QStringLiteral("1.3K"); // 1.25K
}

void TestRun::formatFileSize()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, expected);
    QCOMPARE(Pw::FormatFileSize(bytes), expected);
}

void TestRun::formatElapsed_data()
{
    QTest::addColumn<qint64>("tenThousandths");
    QTest::addColumn<QString>("expected");
    QTest::newRow("zero") << qint64(0) << QStringLiteral("0小时0分钟0.000秒");
    QTest::newRow("3.5 s") << qint64(35000) << QStringLiteral("0小时0分钟3.500秒");
    QTest::newRow("59.999 s") << qint64(599990) << QStringLiteral("0小时0分钟59.999秒");
    QTest::newRow("60 s") << qint64(600000) << QStringLiteral("0小时1分钟0.000秒");
    QTest::newRow("3725.25 s") << qint64(37252500) << QStringLiteral("1小时2分钟5.250秒");
    QTest::newRow("over a day") << qint64(90061) * 10000 << QStringLiteral("25小时1分钟1.000秒");
}

void TestRun::formatElapsed()
{
    QFETCH(qint64, tenThousandths);
    QFETCH(QString, expected);
    QCOMPARE(Pw::FormatElapsed(tenThousandths), expected);
}

QTEST_APPLESS_MAIN(TestRun)
#include "tst_run.moc"
