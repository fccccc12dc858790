#include "options/modecaption.h"
#include "options/presets.h"
#include "options/processingoptions.h"
#include "platform/textcodec.h"
#include "settings/inistore.h"
#include "settings/settingskeys.h"
#include "tests/support/testfiles.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using Pw::ProcessingOptions;
using PwTest::readAll;

namespace {

// The record's fields as text, so that table rows can name the field they check.
QString fieldText(const ProcessingOptions &options, const QString &field)
{
    if (field == u"fitMode")
        return QString::number(Pw::ModeNumber(options.fitMode));
    if (field == u"targetWidth")
        return options.targetWidth;
    if (field == u"targetHeight")
        return options.targetHeight;
    if (field == u"presetIndex")
        return QString::number(options.presetIndex);
    if (field == u"locked")
        return QString::number(int(options.sizeBoxesLocked));
    if (field == u"edgeChoice")
        return QString::number(options.edgeChoice);
    if (field == u"edgeLength")
        return options.edgeLength;
    if (field == u"scalePercent")
        return QString::number(options.scalePercent);
    if (field == u"percentFloor")
        return options.percentFloor;
    if (field == u"percentCap")
        return options.percentCap;
    if (field == u"addText")
        return QString::number(int(options.addText));
    if (field == u"overlayText")
        return options.overlayText;
    if (field == u"textColour")
        return QString::number(options.textColour);
    if (field == u"textBackColour")
        return QString::number(options.textBackColour);
    return QStringLiteral("<unknown field %1>").arg(field);
}

} // namespace

class TestOptions : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void firstStart();
    void restoring_data();
    void restoring();
    void saveAtNextOrderAndCopyBack();
    void edgeCopiedBackOnlyInModeThree_data();
    void edgeCopiedBackOnlyInModeThree();
    void keysWrittenOnChange();
    void namedFileAndStep2Load();
    void overlayTextRoundTrip_data();
    void overlayTextRoundTrip();
    void validate_data();
    void validate();
    void screenInvariants();
    void compressOnly();
    void numbersFromText_data();
    void numbersFromText();
    void sizeLimitAndFitParams();
    void presetTable();
    void presetPicks_data();
    void presetPicks();

private:
    QString path() const { return m_dir.filePath(QStringLiteral("Set.ini")); }
    static void store(const QString &key, const QString &value)
    {
        QVERIFY(Pw::WriteIni(Pw::Keys::kSectionSelected, key, value));
    }

    QTemporaryDir m_dir;
};

void TestOptions::init()
{
    QVERIFY(m_dir.isValid());
    QFile::remove(path());
    Pw::SetDefaultSettingsFile(path());
}

void TestOptions::firstStart()
{
    const ProcessingOptions options = Pw::LoadProcessingOptions();
    QCOMPARE(options.fitMode, Pw::FitMode::CentreCut);
    QCOMPARE(options.targetWidth, QStringLiteral("400"));
    QCOMPARE(options.targetHeight, QStringLiteral("400"));
    QCOMPARE(options.presetIndex, 0);
    QVERIFY(!options.sizeBoxesLocked);
    QCOMPARE(options.edgeChoice, 1);
    QCOMPARE(options.edgeLength, QStringLiteral("400"));
    QCOMPARE(options.scalePercent, 50);
    QCOMPARE(options.percentFloor, QStringLiteral("2"));
    QCOMPARE(options.percentCap, QStringLiteral("16000"));
    QVERIFY(!options.addText);
    QCOMPARE(options.overlayText, QString());
    QCOMPARE(options.textColour, 0);
    QCOMPARE(options.textBackColour, Pw::kSystemWindowColour);
    QVERIFY(!options.sizeLimitOn);
    QCOMPARE(options.sizeLimitValue, QStringLiteral("50"));
    QCOMPARE(options.sizeLimitUnit, 0);
    QVERIFY(!options.enlargeSmall && !options.compressOnly && !options.squareOutput);
    QCOMPARE(options.textFont.family(), QStringLiteral("宋体"));
    QCOMPARE(options.textFont.pointSizeF(), 10.5);
    QVERIFY(!options.textFont.bold() && !options.textFont.italic());
    // Loading writes nothing.
    QVERIFY(!QFile::exists(path()));
}

void TestOptions::restoring_data()
{
    QTest::addColumn<QStringList>("stored"); // key, value, key, value, ...
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("expected");

    QTest::newRow("mode 2") << QStringList{"处理方式FS", "1"} << "fitMode"
                            << "2";
    QTest::newRow("mode 5") << QStringList{"处理方式FS", "4"} << "fitMode"
                            << "5";
    QTest::newRow("mode index 5 out of range") << QStringList{"处理方式FS", "5"} << "fitMode"
                                               << "1";
    QTest::newRow("mode index -1") << QStringList{"处理方式FS", "-1"} << "fitMode"
                                   << "1";
    QTest::newRow("mode not numeric") << QStringList{"处理方式FS", "two"} << "fitMode"
                                      << "1";

    QTest::newRow("edge width in mode 3")
            << QStringList{"处理方式FS", "2", "处理方式30", "2"} << "edgeChoice"
            << "2";
    QTest::newRow("edge height in mode 3")
            << QStringList{"处理方式FS", "2", "处理方式30", "3"} << "edgeChoice"
            << "3";
    QTest::newRow("edge unknown in mode 3")
            << QStringList{"处理方式FS", "2", "处理方式30", "7"} << "edgeChoice"
            << "1";
    QTest::newRow("edge ignored outside mode 3")
            << QStringList{"处理方式FS", "1", "处理方式30", "2"} << "edgeChoice"
            << "1";
    QTest::newRow("edge length in mode 3")
            << QStringList{"处理方式FS", "2", "处理方式31", "640"} << "edgeLength"
            << "640";
    QTest::newRow("edge length ignored outside mode 3")
            << QStringList{"处理方式FS", "0", "处理方式31", "640"} << "edgeLength"
            << "400";
    QTest::newRow("edge length not numeric")
            << QStringList{"处理方式FS", "2", "处理方式31", "64o"} << "edgeLength"
            << "400";
    QTest::newRow("edge length follows the preset width")
            << QStringList{"冲印IDX", "9", "处理方式FS", "2"} << "edgeLength"
            << "1800";
    QTest::newRow("stored edge length wins over the preset")
            << QStringList{"冲印IDX", "9", "处理方式FS", "2", "处理方式31", "640"} << "edgeLength"
            << "640";

    QTest::newRow("percent 150") << QStringList{"处理方式50", "150"} << "scalePercent"
                                 << "150";
    QTest::newRow("percent 5") << QStringList{"处理方式50", "5"} << "scalePercent"
                               << "5";
    QTest::newRow("percent 500") << QStringList{"处理方式50", "500"} << "scalePercent"
                                 << "500";
    QTest::newRow("percent 4") << QStringList{"处理方式50", "4"} << "scalePercent"
                               << "50";
    QTest::newRow("percent 501") << QStringList{"处理方式50", "501"} << "scalePercent"
                                 << "50";
    QTest::newRow("percent letters") << QStringList{"处理方式50", "x"} << "scalePercent"
                                     << "50";
    QTest::newRow("floor") << QStringList{"处理方式51", "10"} << "percentFloor"
                           << "10";
    QTest::newRow("floor not numeric") << QStringList{"处理方式51", "ten"} << "percentFloor"
                                       << "2";
    QTest::newRow("cap") << QStringList{"处理方式52", "8000"} << "percentCap"
                         << "8000";
    QTest::newRow("cap not numeric") << QStringList{"处理方式52", "8k"} << "percentCap"
                                     << "16000";

    QTest::newRow("preset 9 width") << QStringList{"冲印IDX", "9"} << "targetWidth"
                                    << "1800";
    QTest::newRow("preset 9 height") << QStringList{"冲印IDX", "9"} << "targetHeight"
                                     << "1200";
    QTest::newRow("preset 9 undone by the mode") << QStringList{"冲印IDX", "9"} << "presetIndex"
                                                 << "0";
    QTest::newRow("preset 9 boxes unlocked") << QStringList{"冲印IDX", "9"} << "locked"
                                             << "0";
    QTest::newRow("preset 24 wider number first") << QStringList{"冲印IDX", "24"} << "targetWidth"
                                                  << "378";
    QTest::newRow("preset 32") << QStringList{"冲印IDX", "32"} << "targetHeight"
                               << "390";
    QTest::newRow("preset 33 out of range") << QStringList{"冲印IDX", "33"} << "targetWidth"
                                            << "400";
    QTest::newRow("preset -1") << QStringList{"冲印IDX", "-1"} << "targetWidth"
                               << "400";
    QTest::newRow("preset letters") << QStringList{"冲印IDX", "a"} << "targetWidth"
                                    << "400";

    QTest::newRow("text colour") << QStringList{"文字色", "255"} << "textColour"
                                 << "255";
    QTest::newRow("text colour negative") << QStringList{"文字色", "-16777216"} << "textColour"
                                          << "-16777216";
    QTest::newRow("text colour not numeric") << QStringList{"文字色", "red"} << "textColour"
                                             << "0";
    QTest::newRow("inverse colour") << QStringList{"背景色反白", "65280"} << "textBackColour"
                                    << "65280";
    QTest::newRow("inverse colour not numeric")
            << QStringList{"背景色反白", "green"} << "textBackColour"
            << QString::number(Pw::kSystemWindowColour);

    QTest::newRow("add text 1") << QStringList{"加文字", "1"} << "addText"
                                << "1";
    QTest::newRow("add text 0") << QStringList{"加文字", "0"} << "addText"
                                << "0";
    QTest::newRow("add text 1.0 is not 1") << QStringList{"加文字", "1.0"} << "addText"
                                           << "0";
    QTest::newRow("text lines") << QStringList{"文字", "甲`^`乙`^``^`丙"} << "overlayText"
                                << "甲\r\n乙\r\n\r\n丙";
}

void TestOptions::restoring()
{
    QFETCH(QStringList, stored);
    QFETCH(QString, field);
    QFETCH(QString, expected);
    for (qsizetype i = 0; i + 1 < stored.size(); i += 2)
        store(stored.at(i), stored.at(i + 1));
    QCOMPARE(fieldText(Pw::LoadProcessingOptions(), field), expected);
}

void TestOptions::saveAtNextOrderAndCopyBack()
{
    ProcessingOptions options;
    options.chooseEdge(3);
    options.edgeLength = QStringLiteral("640");
    options.scalePercent = 75;
    options.percentFloor = QStringLiteral("20");
    options.percentCap = QStringLiteral("9000");
    Pw::SaveOptionsAtNext(options);
    QCOMPARE(options.targetHeight, QStringLiteral("640"));
    QCOMPARE(options.targetWidth, QStringLiteral("400"));
    const QByteArray expected = Pw::ToGb18030(
            QStringLiteral("[已选择]\r\n处理方式31=640\r\n处理方式50=75\r\n处理方式51=20\r\n"
                           "处理方式52=9000\r\n"));
    QCOMPARE(readAll(path()), expected);

    // Long edge: back into the width, and on into the height while the square switch is on.
    options.chooseEdge(1);
    options.setSquareOutput(true);
    options.edgeLength = QStringLiteral("800");
    options.percentFloor.clear(); // an empty box is not stored: the old value stays
    Pw::SaveOptionsAtNext(options);
    QCOMPARE(options.targetWidth, QStringLiteral("800"));
    QCOMPARE(options.targetHeight, QStringLiteral("800"));
    QCOMPARE(Pw::ReadIni(Pw::Keys::kSectionSelected, Pw::Keys::kPercentFloor),
             QStringLiteral("20"));

    // The saved values come back at the next start in mode 3.
    Pw::SaveFitMode(Pw::FitMode::OneEdge);
    const ProcessingOptions loaded = Pw::LoadProcessingOptions();
    QCOMPARE(loaded.edgeLength, QStringLiteral("800"));
    QCOMPARE(loaded.scalePercent, 75);
    QCOMPARE(loaded.percentCap, QStringLiteral("9000"));
}

void TestOptions::edgeCopiedBackOnlyInModeThree_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("edge");
    QTest::addColumn<QString>("width");  // after Next
    QTest::addColumn<QString>("height"); // after Next
    // Width 1600, height 1200 typed, a leftover edge length 900 in the mode-3 box.
    QTest::newRow("mode 1, height edge") << 1 << 3 << "1600"
                                         << "1200";
    QTest::newRow("mode 2, height edge") << 2 << 3 << "1600"
                                         << "1200";
    QTest::newRow("mode 2, long edge") << 2 << 1 << "1600"
                                       << "1200";
    QTest::newRow("mode 4, width edge") << 4 << 2 << "1600"
                                        << "1200";
    QTest::newRow("mode 5, height edge") << 5 << 3 << "1600"
                                         << "1200";
    QTest::newRow("mode 3, long edge") << 3 << 1 << "900"
                                       << "1200";
    QTest::newRow("mode 3, width") << 3 << 2 << "900"
                                   << "1200";
    QTest::newRow("mode 3, height") << 3 << 3 << "1600"
                                    << "900";
}

void TestOptions::edgeCopiedBackOnlyInModeThree()
{
    QFETCH(int, mode);
    QFETCH(int, edge);
    QFETCH(QString, width);
    QFETCH(QString, height);
    ProcessingOptions options;
    options.chooseEdge(edge);
    options.selectMode(Pw::FitModeFromNumber(mode));
    options.setTargetWidth(QStringLiteral("1600"));
    options.targetHeight = QStringLiteral("1200");
    options.edgeLength = QStringLiteral("900");
    Pw::SaveOptionsAtNext(options);
    QCOMPARE(options.targetWidth, width);
    QCOMPARE(options.targetHeight, height);
    QCOMPARE(Pw::ReadIni(Pw::Keys::kSectionSelected, Pw::Keys::kEdgeLength), QStringLiteral("900"));
}

void TestOptions::keysWrittenOnChange()
{
    using namespace Pw::Keys;
    Pw::SaveFitMode(Pw::FitMode::OneEdge);
    QCOMPARE(Pw::ReadIni(kSectionSelected, kFitMode), QStringLiteral("2"));
    Pw::SaveEdgeChoice(1);
    Pw::SaveEdgeChoice(2);
    QCOMPARE(Pw::ReadIni(kSectionSelected, kEdgeChoice), QStringLiteral("2"));
    QCOMPARE(Pw::LoadProcessingOptions().edgeChoice, 2);
    Pw::SaveAddText(true);
    QCOMPARE(Pw::ReadIni(kSectionSelected, kAddText), QStringLiteral("1"));
    Pw::SaveAddText(false);
    QCOMPARE(Pw::ReadIni(kSectionSelected, kAddText), QStringLiteral("0"));
    Pw::SaveTextColour(qint32(0x00FF0000));
    QCOMPARE(Pw::ReadIni(kSectionSelected, kTextColour), QStringLiteral("16711680"));
    Pw::SaveTextBackColour(qint32(0x80000005u));
    QCOMPARE(Pw::ReadIni(kSectionSelected, kTextBackColour), QStringLiteral("-2147483643"));
    // Emptying the text box keeps the last text in the file.
    Pw::SaveOverlayText(QStringLiteral("留下"));
    Pw::SaveOverlayText(QString());
    QCOMPARE(Pw::LoadProcessingOptions().overlayText, QStringLiteral("留下"));
}

// A named settings file is read and written instead of the default one; only step 2's load
// stores the mode it selects.
void TestOptions::namedFileAndStep2Load()
{
    const QString file = m_dir.filePath(QStringLiteral("named.ini"));
    QFile::remove(file);
    Pw::SaveEdgeChoice(3, file);
    Pw::SaveFitMode(Pw::FitMode::OneEdge, file);
    QCOMPARE(Pw::LoadProcessingOptions(file).edgeChoice, 3);
    QVERIFY(!QFile::exists(path()));

    QVERIFY(Pw::WriteIni(Pw::Keys::kSectionSelected, Pw::Keys::kFitMode, QStringLiteral("9"),
                         file));
    QCOMPARE(Pw::LoadProcessingOptions(file).fitMode, Pw::FitMode::CentreCut);
    QCOMPARE(Pw::ReadIni(Pw::Keys::kSectionSelected, Pw::Keys::kFitMode, file),
             QStringLiteral("9")); // a plain load writes nothing
    QCOMPARE(Pw::LoadStep2Options(file).fitMode, Pw::FitMode::CentreCut);
    QCOMPARE(Pw::ReadIni(Pw::Keys::kSectionSelected, Pw::Keys::kFitMode, file),
             QStringLiteral("0"));
}

void TestOptions::overlayTextRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("loaded");
    QTest::newRow("two lines") << "第一行\r\n第二行"
                               << "第一行`^`第二行"
                               << "第一行\r\n第二行";
    QTest::newRow("LF from an editor") << "a\nb"
                                       << "a`^`b"
                                       << "a\r\nb";
    QTest::newRow("blank line") << "a\r\n\r\nb"
                                << "a`^``^`b"
                                << "a\r\n\r\nb";
    QTest::newRow("one line") << "© 2024"
                              << "© 2024"
                              << "© 2024";
}

void TestOptions::overlayTextRoundTrip()
{
    QFETCH(QString, text);
    QFETCH(QString, stored);
    QFETCH(QString, loaded);
    Pw::SaveOverlayText(text);
    QCOMPARE(Pw::ReadIni(Pw::Keys::kSectionSelected, Pw::Keys::kOverlayText), stored);
    QCOMPARE(Pw::LoadProcessingOptions().overlayText, loaded);
}

void TestOptions::validate_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<bool>("fontDialogOpen");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("widthAfter");
    QTest::addColumn<QString>("heightAfter");
    const int none = int(Pw::OptionsField::None);
    const int width = int(Pw::OptionsField::TargetWidth);
    const int height = int(Pw::OptionsField::TargetHeight);

    QTest::newRow("valid") << 1 << "640"
                           << "480" << false << true << none << ""
                           << ""
                           << "640"
                           << "480";
    QTest::newRow("blanks around digits") << 2 << " 640 "
                                          << "480" << false << true << none << ""
                                          << ""
                                          << " 640 "
                                          << "480";
    QTest::newRow("font dialog open") << 1 << "abc"
                                      << "" << true << false << none << "请先关闭字体对话框"
                                      << "Pixwright"
                                      << "abc"
                                      << "";
    QTest::newRow("letters in width") << 1 << "abc"
                                      << "300" << false << false << width << "请填入长边数字"
                                      << "注意"
                                      << "480"
                                      << "300";
    QTest::newRow("blank width") << 2 << "  "
                                 << "300" << false << false << width << "请填入长边数字"
                                 << "注意"
                                 << "480"
                                 << "300";
    QTest::newRow("both bad: width first") << 1 << ""
                                           << "" << false << false << width << "请填入长边数字"
                                           << "注意"
                                           << "480"
                                           << "";
    QTest::newRow("empty height in mode 3") << 3 << "400"
                                            << "" << false << false << height << "请填入短边数字"
                                            << "注意"
                                            << "400"
                                            << "480";
    QTest::newRow("empty height in mode 5") << 5 << "400"
                                            << "" << false << false << height << "请填入短边数字"
                                            << "注意"
                                            << "400"
                                            << "480";
    QTest::newRow("letters in height") << 4 << "400"
                                       << "3OO" << false << false << height << "请填入短边数字"
                                       << "注意"
                                       << "400"
                                       << "480";
}

void TestOptions::validate()
{
    QFETCH(int, mode);
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(bool, fontDialogOpen);
    QFETCH(bool, valid);
    QFETCH(int, field);
    QFETCH(QString, message);
    QFETCH(QString, title);
    QFETCH(QString, widthAfter);
    QFETCH(QString, heightAfter);

    ProcessingOptions options;
    options.selectMode(Pw::FitModeFromNumber(mode));
    options.targetWidth = width;
    options.targetHeight = height;
    const Pw::OptionsCheck check = Pw::ValidateOptions(options, fontDialogOpen);
    QCOMPARE(check.valid, valid);
    QCOMPARE(int(check.field), field);
    QCOMPARE(check.message, message);
    QCOMPARE(check.title, title);
    QCOMPARE(check.fieldText,
             field == int(Pw::OptionsField::None) ? QString() : QStringLiteral("480"));
    QCOMPARE(options.targetWidth, widthAfter);
    QCOMPARE(options.targetHeight, heightAfter);
}

void TestOptions::screenInvariants()
{
    ProcessingOptions options;
    // Every width change reaches the edge length; the height only while square is on.
    options.setTargetWidth(QStringLiteral("500"));
    QCOMPARE(options.edgeLength, QStringLiteral("500"));
    QCOMPARE(options.targetHeight, QStringLiteral("400"));
    options.setSquareOutput(true);
    QCOMPARE(options.targetHeight, QStringLiteral("500"));
    options.setTargetWidth(QStringLiteral("600"));
    QCOMPARE(options.targetHeight, QStringLiteral("600"));

    // A preset with square on still ends with the preset's own pair.
    options.pickPreset(1);
    QCOMPARE(options.targetWidth, QStringLiteral("450"));
    QCOMPARE(options.targetHeight, QStringLiteral("300"));
    QCOMPARE(options.edgeLength, QStringLiteral("450"));
    QVERIFY(options.sizeBoxesLocked);
    QCOMPARE(options.presetIndex, 1);
    // Item 0 unlocks and keeps the numbers.
    options.pickPreset(0);
    QVERIFY(!options.sizeBoxesLocked);
    QCOMPARE(options.presetIndex, 0);
    QCOMPARE(options.targetWidth, QStringLiteral("450"));
    QCOMPARE(options.targetHeight, QStringLiteral("300"));

    // A mode click puts the list back to item 0.
    options.pickPreset(24);
    QCOMPARE(options.targetWidth, QStringLiteral("378"));
    options.selectMode(Pw::FitMode::FitInside);
    QCOMPARE(options.presetIndex, 0);
    QVERIFY(!options.sizeBoxesLocked);

    // Edge choices select mode 3.
    options.chooseEdge(2);
    QCOMPARE(options.fitMode, Pw::FitMode::OneEdge);
    QCOMPARE(options.edgeChoice, 2);
    options.chooseEdge(9);
    QCOMPARE(options.edgeChoice, 1);
}

void TestOptions::compressOnly()
{
    ProcessingOptions options;
    options.selectMode(Pw::FitMode::FitInside);
    options.scalePercent = 30;
    options.setCompressOnly(true);
    QCOMPARE(options.fitMode, Pw::FitMode::Percent);
    QCOMPARE(options.scalePercent, 100);
    QVERIFY(options.compressOnly);
    options.selectMode(Pw::FitMode::Percent); // choosing mode 5 again keeps it
    QVERIFY(options.compressOnly);
    options.setCompressOnly(false);
    QCOMPARE(options.fitMode, Pw::FitMode::Percent);
    QCOMPARE(options.scalePercent, 100);
    options.setCompressOnly(true);
    QCOMPARE(Pw::ModeCaption(options),
             QStringLiteral("5.原图原样100%复制，不变形，此时不影响画质压缩体积，无白边"));
    options.setScalePercent(501);
    QCOMPARE(options.scalePercent, 500);
    options.setScalePercent(4);
    QCOMPARE(options.scalePercent, 5);
    for (int mode = 1; mode <= 4; ++mode) {
        options.setCompressOnly(true);
        options.selectMode(Pw::FitModeFromNumber(mode));
        QVERIFY2(!options.compressOnly, qPrintable(QString::number(mode)));
    }
}

void TestOptions::numbersFromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numeric");
    QTest::addColumn<int>("whole");
    QTest::newRow("digits") << "640" << true << 640;
    QTest::newRow("blanks") << " 640\t" << true << 640;
    QTest::newRow("sign") << "-5" << true << -5;
    QTest::newRow("plus") << "+5" << true << 5;
    QTest::newRow("fraction half to even") << "2.5" << true << 2;
    QTest::newRow("fraction 3.5") << "3.5" << true << 4;
    QTest::newRow("leading point") << ".5" << true << 0;
    QTest::newRow("exponent") << "1e3" << true << 1000;
    QTest::newRow("huge") << "99999999999" << true << std::numeric_limits<int>::max();
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("blank") << "  " << false << 0;
    QTest::newRow("letters") << "abc" << false << 0;
    QTest::newRow("trailing letter") << "64o" << false << 0;
    QTest::newRow("inner blank") << "6 4" << false << 0;
    QTest::newRow("point alone") << "." << false << 0;
    QTest::newRow("full-width digits") << "６４０" << false << 0;
    QTest::newRow("nan") << "nan" << false << 0;
}

void TestOptions::numbersFromText()
{
    QFETCH(QString, text);
    QFETCH(bool, numeric);
    QFETCH(int, whole);
    QCOMPARE(Pw::IsNumericText(text), numeric);
    const std::optional<int> number = Pw::WholeNumberFromText(text);
    QCOMPARE(number.has_value(), numeric);
    if (numeric)
        QCOMPARE(*number, whole);
}

void TestOptions::sizeLimitAndFitParams()
{
    ProcessingOptions options;
    QCOMPARE(options.sizeLimitBytes(), 50 * 1024);
    options.sizeLimitValue = QStringLiteral("2");
    options.sizeLimitUnit = 1;
    QCOMPARE(options.sizeLimitBytes(), 2 * 1024 * 1024);
    options.sizeLimitValue = QStringLiteral("4096");
    QCOMPARE(options.sizeLimitBytes(), 4096LL * 1024 * 1024); // beyond 32 bits
    options.sizeLimitValue.clear();
    options.sizeLimitUnit = 0;
    QCOMPARE(options.sizeLimitBytes(), 50 * 1024);

    options.chooseEdge(3);
    options.targetWidth = QStringLiteral("640");
    options.targetHeight = QStringLiteral("480");
    options.edgeLength = QStringLiteral("300");
    options.scalePercent = 120;
    options.percentFloor.clear();
    options.percentCap = QStringLiteral("x");
    options.enlargeSmall = true;
    const Pw::FitParams params = Pw::ToFitParams(options);
    QCOMPARE(params.fitMode, Pw::FitMode::OneEdge);
    QCOMPARE(params.targetWidth, 640);
    QCOMPARE(params.targetHeight, 480);
    QCOMPARE(params.edgeChoice, 3);
    QCOMPARE(params.edgeLength, 300);
    QCOMPARE(params.scalePercent, 120);
    QCOMPARE(params.percentFloor, 2);
    QCOMPARE(params.percentCap, 16000);
    QVERIFY(params.enlargeSmall);
}

void TestOptions::presetTable()
{
    QCOMPARE(Pw::PresetText(1), QStringLiteral("一寸照片 3.81cm*2.54cm|450|300"));
    QCOMPARE(Pw::PresetText(10), QStringLiteral("全景6寸照片 15.24cm*11.43cm|1800|1350"));
    QCOMPARE(Pw::PresetText(18), QStringLiteral("20照片 50.8cm*40.64cm|6000|4800"));
    QCOMPARE(Pw::PresetText(24), QStringLiteral("二代身份证照片 2.6cm*3.2cm|307|378"));
    QCOMPARE(Pw::PresetText(32), QStringLiteral("毕业证照片 3.3cm*4.8cm|390|567"));
    QCOMPARE(Pw::PresetText(0), QString());
    QCOMPARE(Pw::PresetText(33), QString());
    QCOMPARE(Pw::PresetText(-1), QString());

    const QStringList items = Pw::PresetListItems();
    QCOMPARE(items.size(), 33);
    QCOMPARE(items.at(0), QStringLiteral("我自己输入宽和高尺寸"));
    QCOMPARE(items.at(1), QStringLiteral("相片冲印01.一寸照片 3.81cm*2.54cm"));
    QCOMPARE(items.at(32), QStringLiteral("相片冲印32.毕业证照片 3.3cm*4.8cm"));
    for (int index = 1; index <= Pw::kPresetCount; ++index) {
        // Every text has a name and two whole numbers, and the pick puts the larger first.
        const QStringList parts = Pw::PresetText(index).split(u'|');
        QCOMPARE(parts.size(), 3);
        bool aOk = false;
        bool bOk = false;
        const int a = parts.at(1).toInt(&aOk);
        const int b = parts.at(2).toInt(&bOk);
        QVERIFY(aOk && bOk && a > 0 && b > 0);
        const std::optional<Pw::PresetSize> size = Pw::PresetPick(index);
        QVERIFY(size);
        QCOMPARE(size->width, std::max(a, b));
        QCOMPARE(size->height, std::min(a, b));
        // The pixels are the named print size at 300 dpi.
        static const QRegularExpression cm(QStringLiteral("([0-9.]+)cm\\*([0-9.]+)cm$"));
        const QRegularExpressionMatch match = cm.match(parts.at(0));
        QVERIFY2(match.hasMatch(), qPrintable(parts.at(0)));
        QCOMPARE(a, qRound(match.captured(1).toDouble() * 300 / 2.54));
        QCOMPARE(b, qRound(match.captured(2).toDouble() * 300 / 2.54));
    }
}

void TestOptions::presetPicks_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("1") << 1 << 450 << 300;
    QTest::newRow("9") << 9 << 1800 << 1200;
    QTest::newRow("17 at 300 dpi") << 17 << 5400 << 3600;
    QTest::newRow("22 largest") << 22 << 12000 << 9000;
    QTest::newRow("23 portrait in the table") << 23 << 378 << 260;
    QTest::newRow("24") << 24 << 378 << 307;
    QTest::newRow("28") << 28 << 650 << 472;
}

void TestOptions::presetPicks()
{
    QFETCH(int, index);
    QFETCH(int, width);
    QFETCH(int, height);
    const std::optional<Pw::PresetSize> size = Pw::PresetPick(index);
    QVERIFY(size);
    QCOMPARE(size->width, width);
    QCOMPARE(size->height, height);
    QVERIFY(!Pw::PresetPick(0));
    QVERIFY(!Pw::PresetPick(33));
}

QTEST_GUILESS_MAIN(TestOptions)
#include "tst_options.moc"
