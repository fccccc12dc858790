#include "app/frm1.h"
#include "app/frm2.h"
#include "app/frm3.h"
#include "app/frmerr.h"
#include "app/frmrename.h"
#include "app/frmrename2.h"
#include "app/wizard.h"
#include "naming/namingrule.h"
#include "platform/apppaths.h"
#include "platform/colour.h"
#include "run/batchengine.h"
#include "run/summarytext.h"
#include "settings/inistore.h"
#include "settings/settingskeys.h"
#include "tests/support/fakeguiservices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace Pw;

namespace {

const QString kPixwright = QStringLiteral(PW_APP_DIR "/pixwright");

void writeSetting(const QString &key, const QString &value)
{
    QVERIFY(WriteIni(Keys::kSectionSelected, key, value));
}

QString setting(const QString &key)
{
    return ReadIni(Keys::kSectionSelected, key);
}

// Pictures of different sizes and colours, so that borders, names and bytes differ by file.
void makePictures(const QString &folder, int count, int width = 320)
{
    QDir().mkpath(folder);
    for (int i = 1; i <= count; ++i) {
        QImage image(width + 16 * i, width * 3 / 4 - 8 * i, QImage::Format_RGB32);
        image.fill(QColor::fromHsv(i * 37 % 360, 200, 220));
        QPainter(&image).fillRect(4, 4, 40, 30, Qt::white);
        QVERIFY(image.save(folder + QStringLiteral("/p%1.jpg").arg(i, 2, 10, QLatin1Char('0')),
                           "JPEG", 90));
    }
}

// Radio buttons and check boxes answer clicks on their indicator and text only.
void clickBox(QAbstractButton *box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

// The files of a folder with their bytes, by name.
QMap<QString, QByteArray> filesOf(const QString &folder)
{
    QMap<QString, QByteArray> files;
    for (const QFileInfo &info : QDir(folder).entryInfoList(QDir::Files)) {
        QFile file(info.filePath());
        if (file.open(QIODevice::ReadOnly))
            files.insert(info.fileName(), file.readAll());
    }
    return files;
}

// The report without the two lines that depend on the clock.
QString steadyReport(QString report)
{
    report.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines = report.split(u'\n');
    lines.removeIf([](const QString &line) {
        return line.startsWith(QStringLiteral("→ 耗时：")) || line.startsWith(u' ');
    });
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines.join(u'\n');
}

} // namespace

// Step 3, the run with its progress and stop, the report dialog, the naming dialog and the
// rename preview, driven by their controls' object names.
class TestStep3 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void controlNames_data();
    void controlNames();
    void loadAndBackground();
    void renameOnlyLooks();
    void wholeRunMatchesTheCommandLine();
    void stopInTheMiddle();
    void demoDeclinedCreatesNothing();
    void nothingSelectedIsRefused();
    void reportChoices_data();
    void reportChoices();
    void resultFolderAsNextSource();
    void namingDialog();
    void photoLetterFollowsTheSwitch();
    void outputFolderRemembered();
    void doubleClickIsNoStop();
    void renamePreview_data();
    void renamePreview();

private:
    Frm3 *toStep3(bool renameOnly);
    FrmErr *runToReport(Frm3 *frm3);
    QString desktop() const { return m_home->path() + QStringLiteral("/Desktop/"); }

    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_source;
    std::unique_ptr<PwTest::FakeGuiServices> m_services;
    std::unique_ptr<Wizard> m_wizard;
    int m_doubleClickInterval = QGuiApplication::styleHints()->mouseDoubleClickInterval();
};

void TestStep3::initTestCase()
{
    // Results go to the desktop folder: a temporary home keeps them out of the user's.
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    qputenv("HOME", QFile::encodeName(m_home->path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home->path() + QStringLiteral("/.config")));
    QCOMPARE(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation) + u'/', desktop());
    SetAppFolder(QStringLiteral(PW_APP_DIR "/"));
    qRegisterMetaType<FrmErr *>();
    qRegisterMetaType<FrmRename2 *>();
}

void TestStep3::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    SetDefaultSettingsFile(m_dir->filePath(QStringLiteral("Set.ini")));
    QDir(desktop()).removeRecursively();
    m_source = m_dir->filePath(QStringLiteral("照片"));
    m_services = std::make_unique<PwTest::FakeGuiServices>();
    m_wizard = std::make_unique<Wizard>(*m_services);
}

void TestStep3::cleanup()
{
    QGuiApplication::styleHints()->setMouseDoubleClickInterval(m_doubleClickInterval);
    SetAppFolder(QStringLiteral(PW_APP_DIR "/"));
    m_wizard.reset();
    m_services.reset();
    SetDefaultSettingsFile(QString());
}

// Step 1 lists the source, Next, then Next (or Skip) on step 2.
Frm3 *TestStep3::toStep3(bool renameOnly)
{
    m_wizard->start();
    m_wizard->frm1()->useFolderAsSource(m_source);
    QTest::mouseClick(m_wizard->frm1()->Command1, Qt::LeftButton);
    QTest::mouseClick(renameOnly ? m_wizard->frm2()->Command4 : m_wizard->frm2()->Command1,
                      Qt::LeftButton);
    if (m_wizard->visibleStep() != 3)
        return nullptr;
    return m_wizard->frm3();
}

// Presses finish and waits for the report.
FrmErr *TestStep3::runToReport(Frm3 *frm3)
{
    QSignalSpy shown(frm3, &Frm3::reportShown);
    QTest::mouseClick(frm3->Command1, Qt::LeftButton);
    if (!frm3->runInProgress() && shown.isEmpty())
        return nullptr;
    if (shown.isEmpty() && !shown.wait(60000))
        return nullptr;
    return shown.first().first().value<FrmErr *>();
}

void TestStep3::controlNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("type");
    const std::pair<const char *, const char *> rows[] = {{"PicL", "QLabel"},
                                                          {"lblStep", "QLabel"},
                                                          {"PicBJS", "QLabel"},
                                                          {"PicBJse", "QLabel"},
                                                          {"CmdStartPic", "QPushButton"},
                                                          {"TxtPic", "QLineEdit"},
                                                          {"PicBJ", "QLabel"},
                                                          {"Label3", "QLabel"},
                                                          {"lblBJT", "QLabel"},
                                                          {"Combo1", "QComboBox"},
                                                          {"PicRename", "QToolButton"},
                                                          {"lbl12", "QLabel"},
                                                          {"Pic34", "QFrame"},
                                                          {"lbl34", "QLabel"},
                                                          {"PicJD", "QFrame"},
                                                          {"lblJD", "QLabel"},
                                                          {"Command1", "QPushButton"},
                                                          {"Command2", "QPushButton"},
                                                          {"CmdUndo", "QPushButton"},
                                                          {"TxtOut", "QLineEdit"},
                                                          {"CmdOut", "QPushButton"}};
    for (const auto &[name, type] : rows)
        QTest::newRow(name) << QString::fromLatin1(name) << QByteArray(type);
}

void TestStep3::controlNames()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, type);
    Frm3 *frm3 = m_wizard->frm3();
    QWidget *control = frm3->findChild<QWidget *>(name);
    QVERIFY2(control, qPrintable(name));
    QVERIFY(control->inherits(type.constData()));
}

// Load: no stored quality gives 85; the swatch shows the stored colour; the background picture
// is chosen from the desktop folder and cleared by a double-click; palette picks are stored,
// swatch clicks are not.
void TestStep3::loadAndBackground()
{
    writeSetting(Keys::kBackgroundColour, QStringLiteral("255"));
    makePictures(m_source, 1);
    Frm3 *frm3 = toStep3(false);
    QVERIFY(frm3);
    QCOMPARE(frm3->Combo1->count(), 20);
    QCOMPARE(frm3->Combo1->itemText(0), QStringLiteral("保存质量：5"));
    QCOMPARE(frm3->Combo1->currentText(), QStringLiteral("保存质量：85"));
    QCOMPARE(frm3->PicBJse->palette().color(QPalette::Window), QColor(Qt::red));
    QVERIFY(!frm3->PicJD->isVisible());
    QVERIFY(frm3->lbl12->text().endsWith(QStringLiteral("以上信息如无误，请点击“完成”开始处理！")));
    QCOMPARE(frm3->Command1->text(), QStringLiteral("完成(&F)"));

    frm3->Combo1->setCurrentIndex(3);
    QCOMPARE(setting(Keys::kSaveQuality), QStringLiteral("3"));
    QVERIFY(frm3->lbl12->text().contains(QStringLiteral("Q20")));

    const QString hintChoose = QStringLiteral("背景图将拉伸为上步指定的宽和高，双击选择背景图");
    const QString hintClear = QStringLiteral("背景图将拉伸为上步指定的宽和高，双击清除背景图");
    QCOMPARE(frm3->lblBJT->text(), hintChoose);
    const QString picture = m_source + QStringLiteral("/p01.jpg");
    m_services->files.push_back(picture);
    QTest::mouseClick(frm3->CmdStartPic, Qt::LeftButton);
    QCOMPARE(m_services->fileRequests.last().title, QStringLiteral("选取一个背景图片"));
    QCOMPARE(WithTrailingSlash(m_services->fileRequests.last().folder), desktop());
    QCOMPARE(m_services->fileRequests.last().filter,
             QStringLiteral("图片文件 (*.jpg *.bmp *.JPG *.BMP)"));
    QCOMPARE(frm3->TxtPic->text(), picture);
    QCOMPARE(frm3->lblBJT->text(), hintClear);
    QVERIFY(!frm3->PicBJ->pixmap().isNull());
    QTest::mouseDClick(frm3->lblBJT, Qt::LeftButton);
    QCOMPARE(frm3->TxtPic->text(), QString());
    QCOMPARE(frm3->lblBJT->text(), hintChoose);
    QVERIFY(frm3->PicBJ->pixmap().isNull());
    // With no picture, a double-click opens the chooser; cancelling changes nothing.
    QTest::mouseDClick(frm3->PicBJ, Qt::LeftButton);
    QCOMPARE(m_services->fileRequests.size(), 2);
    QCOMPARE(frm3->lblBJT->text(), hintChoose);

    QTest::mouseClick(frm3->PicBJS, Qt::LeftButton, {}, QPoint(1, 1));
    const QColor picked = frm3->PicBJS->pixmap().toImage().pixelColor(1, 1);
    QCOMPARE(frm3->backgroundColour(), BgrFromColour(picked));
    QCOMPARE(setting(Keys::kBackgroundColour), QString::number(BgrFromColour(picked)));
    QTest::mouseClick(frm3->PicBJse, Qt::RightButton);
    QCOMPARE(frm3->backgroundColour(), 0xFFFFFF);
    QTest::mouseDClick(frm3->PicBJse, Qt::LeftButton);
    QCOMPARE(frm3->backgroundColour(), 0);
    QCOMPARE(setting(Keys::kBackgroundColour), QString::number(BgrFromColour(picked)));

    // A size limit picks the quality: the list goes, the summary names the limit.
    QTest::mouseClick(frm3->Command2, Qt::LeftButton);
    QCOMPARE(m_wizard->visibleStep(), 2);
    m_wizard->frm2()->ChkDWJ->click();
    QTest::mouseClick(m_wizard->frm2()->Command1, Qt::LeftButton);
    QVERIFY(!frm3->Combo1->isVisible());
    QVERIFY(frm3->lbl12->text().contains(
            QStringLiteral("→ 限制体积：不超过%1K").arg(m_wizard->frm2()->TxtDWJ->text())));
}

void TestStep3::renameOnlyLooks()
{
    makePictures(m_source, 3);
    Frm3 *frm3 = toStep3(true);
    QVERIFY(frm3);
    QVERIFY(frm3->Pic34->isVisible());
    QVERIFY(!frm3->Combo1->isVisible());
    QCOMPARE(frm3->Command1->text(), QStringLiteral("批量改名(&B)"));
    QCOMPARE(frm3->lblStep->text(), QStringLiteral("【第3/3步:确认完成】"));
    QCOMPARE(frm3->PicRename->toolTip(), QStringLiteral("文件重新命名..."));
    QCOMPARE(frm3->lbl34->text(), RenameModeText(frm3->namingDialog()->rule(), 3));

    // Back and on in resize mode: the summary again.
    QTest::mouseClick(frm3->Command2, Qt::LeftButton);
    QTest::mouseClick(m_wizard->frm2()->Command1, Qt::LeftButton);
    QCOMPARE(frm3->Command1->text(), QStringLiteral("完成(&F)"));
    QCOMPARE(frm3->PicRename->toolTip(), QStringLiteral("生成新图片的文件重新命名..."));
    QVERIFY(frm3->lbl12->text().startsWith(
            QStringLiteral("→ 即将处理：3 个图片\r\n\r\n→ 保留数码信息：")));
}

// The wizard's run writes exactly the files and the report `pixwright run` writes with the
// same remembered choices.
void TestStep3::wholeRunMatchesTheCommandLine()
{
    writeSetting(Keys::kSaveQuality, QStringLiteral("10"));
    writeSetting(Keys::kBackgroundColour, QStringLiteral("65280"));
    writeSetting(Keys::kRenameRule, QStringLiteral("1101001"));
    writeSetting(Keys::kRenameSeparator, QStringLiteral("1"));
    makePictures(m_source, 4);
    Frm3 *frm3 = toStep3(false);
    QVERIFY(frm3);
    FrmErr *report = runToReport(frm3);
    QVERIFY(report);
    QVERIFY(report->isVisible());
    QCOMPARE(report->windowTitle(), QStringLiteral("图片处理报告"));
    QVERIFY(report->Text1->toPlainText().contains(
            QStringLiteral("共处理【4】个文件，成功【4】个！")));
    QCOMPARE(report->Text1->palette().color(QPalette::Text), QColor(Qt::blue));
    QCOMPARE(frm3->Command1->text(), QStringLiteral("完成(&F)"));
    QVERIFY(frm3->Command2->isVisible());
    QVERIFY(!frm3->PicJD->isVisible());
    const QString runFolder = report->lblResult->text();
    QVERIFY(runFolder.startsWith(desktop()));
    const QMap<QString, QByteArray> wizardFiles = filesOf(runFolder);
    QCOMPARE(wizardFiles.size(), 4);
    QVERIFY2(wizardFiles.firstKey().startsWith(QStringLiteral("1_("))
                     && wizardFiles.firstKey().endsWith(QStringLiteral("_Q55)p01.jpg")),
             qPrintable(wizardFiles.firstKey()));

    QProcess command;
    command.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    const QString root = m_dir->filePath(QStringLiteral("command"));
    command.start(kPixwright, {QStringLiteral("run"), m_source, QStringLiteral("--settings"),
                               DefaultSettingsFile(), QStringLiteral("--output-root"), root});
    QVERIFY(command.waitForFinished(60000));
    QCOMPARE(command.exitCode(), 0);
    const QString out = QString::fromUtf8(command.readAllStandardOutput());
    const QString marker = QStringLiteral("结果目录：");
    const QString commandFolder = out.mid(out.lastIndexOf(marker) + marker.size()).trimmed();
    QCOMPARE(filesOf(commandFolder), wizardFiles);
    QCOMPARE(steadyReport(out.left(out.lastIndexOf(marker))),
             steadyReport(report->Text1->toPlainText()));
}

// A stop press ends the run after the file in hand; the window kept answering meanwhile.
void TestStep3::stopInTheMiddle()
{
    // A camera tool that holds the second file until the test says "go": meanwhile the window
    // must show the progress and answer the stop button, as on a long picture.
    const QString tools = m_dir->filePath(QStringLiteral("app/"));
    const QString go = m_dir->filePath(QStringLiteral("go"));
    QVERIFY(QDir().mkpath(tools));
    QFile tool(tools + QStringLiteral("pwReadSM"));
    QVERIFY(tool.open(QIODevice::WriteOnly));
    tool.write("#!/bin/sh\ncase \"$2\" in *p02.jpg) while [ ! -e '" + QFile::encodeName(go)
               + "' ]; do sleep 0.02; done;; esac\n");
    tool.close();
    tool.setPermissions(tool.permissions() | QFile::ExeOwner);
    SetAppFolder(tools);
    writeSetting(Keys::kKeepCamera, QStringLiteral("1"));
    QGuiApplication::styleHints()->setMouseDoubleClickInterval(1); // the stop press counts
    makePictures(m_source, 12);
    Frm3 *frm3 = toStep3(false);
    QVERIFY(frm3);
    QSignalSpy shown(frm3, &Frm3::reportShown);
    QVERIFY(QTest::qWaitForWindowExposed(frm3));
    const QSize sizeBefore = frm3->size();
    const QPoint stopAt = frm3->Command1->mapTo(frm3, QPoint());
    QTest::mouseClick(frm3->Command1, Qt::LeftButton);
    QVERIFY(frm3->runInProgress());
    QCOMPARE(frm3->Command1->text(), QStringLiteral("终止(&C)"));
    QVERIFY(!frm3->Command2->isVisible());
    QVERIFY(frm3->PicJD->isVisible());
    QCOMPARE(frm3->lbl12->text(), RunningHint());
    QVERIFY(!frm3->close()); // closing is refused during a run
    QTRY_VERIFY_WITH_TIMEOUT(
            frm3->lblJDT->text().startsWith(QStringLiteral("正在处理(2/12)p02.jpg")), 30000);
    QCOMPARE(frm3->lblJD->width(), frm3->PicJD->width() * 2 / 12);
    // The run moved nothing: the window kept its size, the stop button its place.
    QCOMPARE(frm3->size(), sizeBefore);
    QCOMPARE(frm3->Command1->mapTo(frm3, QPoint()), stopAt);
    qInfo("step 3 before and during the run: %dx%d, %dx%d", sizeBefore.width(), sizeBefore.height(),
          frm3->width(), frm3->height());
    frm3->setWindowState(Qt::WindowMinimized); // the title tells how far the run is
    QTRY_COMPARE(frm3->windowTitle(), QStringLiteral("16% - ") + Wizard::title());
    QTest::mouseClick(frm3->Command1, Qt::LeftButton);
    QFile(go).open(QIODevice::WriteOnly);
    QVERIFY(shown.wait(30000));
    auto *report = shown.first().first().value<FrmErr *>();
    // The file in hand was finished; the third was never started. The report counts the files
    // taken in hand and says how many were left.
    QCOMPARE(filesOf(report->lblResult->text()).size(), 2);
    QVERIFY(report->Text1->toPlainText().contains(
            QStringLiteral("共处理【2】个文件，成功【2】个！")));
    QVERIFY(report->Text1->toPlainText().contains(
            QStringLiteral("已中途停止：选中的12个文件中有10个未处理")));
    QCOMPARE(report->Text1->palette().color(QPalette::Text), QColor(Qt::red));
    QVERIFY(!frm3->runInProgress());
    QCOMPARE(frm3->windowTitle(), Wizard::title());
}

void TestStep3::demoDeclinedCreatesNothing()
{
    m_source = DemoFolder();
    Frm3 *frm3 = toStep3(false);
    QVERIFY(frm3);
    m_services->answers.push_back(false);
    QTest::mouseClick(frm3->Command1, Qt::LeftButton);
    QCOMPARE(m_services->messages.size(), 1);
    QCOMPARE(m_services->messages.first().kind, QStringLiteral("ask"));
    QCOMPARE(m_services->messages.first().title, QStringLiteral("演示"));
    QCOMPARE(m_services->messages.first().text, DemoQuestion(DemoFolder()));
    QVERIFY(!frm3->runInProgress());
    QCOMPARE(frm3->Command1->text(), QStringLiteral("完成(&F)"));
    QVERIFY(!QFileInfo::exists(desktop()) || QDir(desktop()).isEmpty());
}

void TestStep3::nothingSelectedIsRefused()
{
    QDir().mkpath(m_source);
    Frm3 *frm3 = toStep3(false);
    QVERIFY(frm3);
    QTest::mouseClick(frm3->Command1, Qt::LeftButton);
    QCOMPARE(m_services->texts(QStringLiteral("warn")),
             QStringList{QStringLiteral("未选择任何图片或照片可供修改！")});
    QVERIFY(!frm3->runInProgress());
    QVERIFY(!QFileInfo::exists(desktop()) || QDir(desktop()).isEmpty());
}

void TestStep3::reportChoices_data()
{
    QTest::addColumn<QString>("go");
    QTest::addColumn<QString>("ck1");
    QTest::addColumn<QString>("ck2");
    QTest::addColumn<QString>("checked");
    QTest::addColumn<bool>("open");
    QTest::addColumn<int>("step");
    QTest::addColumn<bool>("fileManager");
    const QString none;
    QTest::newRow("first run") << none << none << none << "Op3" << true << 3 << true;
    QTest::newRow("first run, no file manager")
            << none << none << none << "Op3" << true << 3 << false;
    QTest::newRow("去 = 7") << "7"
                            << "0"
                            << "0"
                            << "Op3" << false << 3 << true;
    QTest::newRow("back to step 2") << "2"
                                    << "1"
                                    << "0"
                                    << "Op2" << true << 2 << true;
    QTest::newRow("stay, results as the source") << "3"
                                                 << "0"
                                                 << "1"
                                                 << "Op3" << false << 3 << true;
}

// The remembered choices come back; OK carries them out.
void TestStep3::reportChoices()
{
    QFETCH(QString, go);
    QFETCH(QString, ck1);
    QFETCH(QString, ck2);
    QFETCH(QString, checked);
    QFETCH(bool, open);
    QFETCH(int, step);
    QFETCH(bool, fileManager);
    m_services->fileManager = fileManager;
    if (!go.isEmpty())
        writeSetting(Keys::kNextMove, go);
    if (!ck1.isEmpty())
        writeSetting(Keys::kOpenResultFolder, ck1);
    if (!ck2.isEmpty())
        writeSetting(Keys::kResultAsSource, ck2);
    makePictures(m_source, 1);
    Frm3 *frm3 = toStep3(false);
    QVERIFY(frm3);
    FrmErr *report = runToReport(frm3);
    QVERIFY(report);
    QVERIFY(report->findChild<QRadioButton *>(checked)->isChecked());
    QCOMPARE(report->Check1->isChecked(), open);
    QCOMPARE(report->Check2->isChecked(), ck2 == u"1");
    QTest::mouseClick(report->Command1, Qt::LeftButton);
    QVERIFY(!report->isVisible());
    QCOMPARE(m_wizard->visibleStep(), step);
    const QString runFolder = report->lblResult->text();
    QCOMPARE(m_services->openedFolders, open ? QStringList{runFolder} : QStringList());
    // Without a file manager the user is told where the results are.
    const QStringList told = m_services->texts(QStringLiteral("inform"));
    QCOMPARE(told.size(), m_services->fileManager ? 0 : 1);
    if (!told.isEmpty())
        QVERIFY2(told.first().endsWith(u'\n' + runFolder), qPrintable(told.first()));
    // Step 3 runs on what the wizard handed over last: the results when they became the source.
    QCOMPARE(frm3->inputs().selection.folder, ck2 == u"1" ? runFolder : m_source + u'/');
}

// Clicks are stored at once; with CK2 and Op1 step 1 comes up on the results, all selected.
void TestStep3::resultFolderAsNextSource()
{
    makePictures(m_source, 3);
    Frm3 *frm3 = toStep3(false);
    QVERIFY(frm3);
    FrmErr *report = runToReport(frm3);
    QVERIFY(report);
    clickBox(report->Op2);
    QCOMPARE(setting(Keys::kNextMove), QStringLiteral("2"));
    clickBox(report->Op1);
    QCOMPARE(setting(Keys::kNextMove), QStringLiteral("1"));
    clickBox(report->Check1);
    QCOMPARE(setting(Keys::kOpenResultFolder), QStringLiteral("0"));
    clickBox(report->Check2);
    QCOMPARE(setting(Keys::kResultAsSource), QStringLiteral("1"));
    const QString runFolder = report->lblResult->text();
    QTest::mouseClick(report->Command1, Qt::LeftButton);
    QCOMPARE(m_wizard->visibleStep(), 1);
    QVERIFY(m_services->openedFolders.isEmpty());
    const SourceSelection next = m_wizard->frm1()->selection();
    QCOMPARE(next.folder, runFolder);
    QCOMPARE(next.names, QStringList(filesOf(runFolder).keys()));
    QCOMPARE(next.selectedCount(), 3);
    QCOMPARE(ReadIni(Keys::kSectionOpenPath, Keys::kSourceFolder), runFolder);

    // The next report dialog comes back with the stored choices.
    QTest::mouseClick(m_wizard->frm1()->Command1, Qt::LeftButton);
    QTest::mouseClick(m_wizard->frm2()->Command1, Qt::LeftButton);
    report = runToReport(frm3);
    QVERIFY(report);
    QVERIFY(report->Op1->isChecked());
    QVERIFY(!report->Check1->isChecked());
    QVERIFY(report->Check2->isChecked());
    report->close(); // the close box carries out nothing
    QCOMPARE(m_wizard->visibleStep(), 3);
}

void TestStep3::namingDialog()
{
    makePictures(m_source, 1);
    writeSetting(Keys::kRenameRule, QStringLiteral("1010001")); // option 3 without keep-camera
    Frm3 *frm3 = toStep3(false);
    QVERIFY(frm3);
    FrmRename *dialog = frm3->namingDialog();
    QVERIFY(!dialog->isVisible());
    // Nobody opened the dialog: no warning yet, the stored rule stays, the summary leaves the
    // letter out as the run will.
    QVERIFY(m_services->messages.isEmpty());
    QCOMPARE(NamingFlagsText(dialog->rule()), QStringLiteral("1010001"));
    QVERIFY(!frm3->lbl12->text().contains(QStringLiteral("N(/D)")));

    // Opening it says so and unticks the letter.
    QTest::mouseClick(frm3->PicRename, Qt::LeftButton);
    QVERIFY(dialog->isVisible());
    QCOMPARE(m_services->texts(QStringLiteral("warn")), QStringList{PhotoLetterWarning()});
    QVERIFY(!dialog->Chk[2]->isChecked());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("命名规则"));
    for (int i = 0; i < kNamingOptionCount; ++i)
        QCOMPARE(dialog->lblChk[i]->text(), NamingOptionLabel(i, false));
    QVERIFY(dialog->Chk[3]->isEnabled());
    QCOMPARE(dialog->Combo1->count(), 14);
    dialog->Combo1->setCurrentIndex(13);
    QCOMPARE(setting(Keys::kRenameSeparator), QStringLiteral("13"));
    QCOMPARE(dialog->rule().NamingSeparator, u' ');

    QTest::mouseClick(dialog->lblChk[1], Qt::LeftButton); // a label click toggles its box
    QVERIFY(dialog->Chk[1]->isChecked());
    clickBox(dialog->Chk[2]); // springs back, warns again
    QVERIFY(!dialog->Chk[2]->isChecked());
    QCOMPARE(m_services->texts(QStringLiteral("warn")).size(), 2);
    dialog->close(); // the close box keeps the flags in force
    QVERIFY(!dialog->isVisible());
    QCOMPARE(NamingFlagsText(dialog->rule()), QStringLiteral("1010001"));
    QCOMPARE(setting(Keys::kRenameRule), QStringLiteral("1010001"));

    QTest::mouseClick(frm3->PicRename, Qt::LeftButton);
    QVERIFY(dialog->Chk[1]->isChecked()); // the boxes stayed as ticked
    // A rule that names every file ".jpg" is refused.
    for (QCheckBox *box : dialog->Chk)
        box->setChecked(false);
    QTest::mouseClick(dialog->Command1, Qt::LeftButton);
    QVERIFY(dialog->isVisible());
    QCOMPARE(m_services->texts(QStringLiteral("warn")).last(), HiddenNamesWarning());
    dialog->Chk[0]->setChecked(true);
    dialog->Chk[1]->setChecked(true);
    dialog->Chk[6]->setChecked(true);
    QTest::mouseClick(dialog->Command1, Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(NamingFlagsText(dialog->rule()), QStringLiteral("1100001"));
    QCOMPARE(setting(Keys::kRenameRule), QStringLiteral("1100001"));
    QVERIFY(frm3->lbl12->text().contains(QStringLiteral("[宽]x")));

    // Rename-only mode: option 4 is disabled and says why; option 3 stays ticked.
    QTest::mouseClick(frm3->Command2, Qt::LeftButton);
    QTest::mouseClick(m_wizard->frm2()->Command4, Qt::LeftButton);
    QTest::mouseClick(frm3->PicRename, Qt::LeftButton);
    QVERIFY(!dialog->Chk[3]->isEnabled());
    QCOMPARE(dialog->lblChk[3]->text(), QStringLiteral("4.添加保存质量(如Q85),不适用于更名"));
    QTest::mouseClick(dialog->lblChk[2], Qt::LeftButton);
    QVERIFY(dialog->Chk[2]->isChecked());
    QCOMPARE(m_services->texts(QStringLiteral("warn")).size(), 3);
    QTest::mouseClick(dialog->Command1, Qt::LeftButton);
    QCOMPARE(frm3->lbl34->text(), RenameModeText(dialog->rule(), 1));
}

// Step 1's switch off under a rule with the photo letter: said at the click, and the summary,
// the report and the names all leave the letter out.
void TestStep3::photoLetterFollowsTheSwitch()
{
    writeSetting(Keys::kRenameRule, QStringLiteral("0010001"));
    writeSetting(Keys::kKeepCamera, QStringLiteral("1"));
    makePictures(m_source, 1);
    Frm3 *frm3 = toStep3(false);
    QVERIFY(frm3);
    QVERIFY(frm3->lbl12->text().contains(QStringLiteral("(N(/D)[自动].)原文件名")));
    m_wizard->showStep(1);
    clickBox(m_wizard->frm1()->Check1);
    QCOMPARE(m_services->texts(QStringLiteral("inform")), QStringList{PhotoLetterLeftOutNote()});
    clickBox(m_wizard->frm1()->Check1); // on again: nothing to say
    clickBox(m_wizard->frm1()->Check1);
    QCOMPARE(m_services->texts(QStringLiteral("inform")).size(), 2);
    QTest::mouseClick(m_wizard->frm1()->Command1, Qt::LeftButton);
    QTest::mouseClick(m_wizard->frm2()->Command1, Qt::LeftButton);
    QVERIFY(!frm3->lbl12->text().contains(QStringLiteral("N(/D)")));
    QVERIFY(frm3->lbl12->text().contains(QStringLiteral("原文件名")));
    QVERIFY(m_services->texts(QStringLiteral("warn")).isEmpty());
    FrmErr *report = runToReport(frm3);
    QVERIFY(report);
    QVERIFY(!report->Text1->toPlainText().contains(QStringLiteral("N(/D)")));
    QCOMPARE(QStringList(filesOf(report->lblResult->text()).keys()),
             QStringList{QStringLiteral("p01.jpg")});
}

// The results go below the chosen place, which the next start remembers; the desktop until then.
void TestStep3::outputFolderRemembered()
{
    makePictures(m_source, 1);
    Frm3 *frm3 = toStep3(false);
    QVERIFY(frm3);
    QCOMPARE(frm3->TxtOut->text(), desktop());
    const QString chosen = m_dir->filePath(QStringLiteral("结果 放这里"));
    m_services->folders.push_back(chosen);
    QTest::mouseClick(frm3->CmdOut, Qt::LeftButton);
    QCOMPARE(m_services->folderPrompts.size(), 1);
    QCOMPARE(frm3->TxtOut->text(), chosen + u'/');
    QCOMPARE(setting(Keys::kOutputFolder), chosen + u'/');
    FrmErr *report = runToReport(frm3);
    QVERIFY(report);
    QVERIFY2(report->lblResult->text().startsWith(chosen + u'/'),
             qPrintable(report->lblResult->text()));
    QCOMPARE(filesOf(report->lblResult->text()).size(), 1);
    report->close();

    Wizard restarted(*m_services);
    QCOMPARE(restarted.frm3()->TxtOut->text(), chosen + u'/');
}

// Both clicks of a double-click on the finish button start the run; neither stops it.
void TestStep3::doubleClickIsNoStop()
{
    QGuiApplication::styleHints()->setMouseDoubleClickInterval(60000);
    makePictures(m_source, 3);
    Frm3 *frm3 = toStep3(false);
    QVERIFY(frm3);
    QSignalSpy shown(frm3, &Frm3::reportShown);
    QSignalSpy clicks(frm3->Command1, &QPushButton::clicked);
    // As the desktop delivers a double-click: press, release, press (a double-click), release.
    QTest::mouseClick(frm3->Command1, Qt::LeftButton);
    QTest::mouseClick(frm3->Command1, Qt::LeftButton);
    QCOMPARE(clicks.size(), 2);
    QVERIFY(shown.wait(60000));
    auto *report = shown.first().first().value<FrmErr *>();
    QVERIFY(report->Text1->toPlainText().contains(
            QStringLiteral("共处理【3】个文件，成功【3】个！")));
}

void TestStep3::renamePreview_data()
{
    QTest::addColumn<QString>("answer"); // OK, 取消 or the close box
    QTest::addColumn<bool>("refused");   // the second file goes away before the rename pass
    QTest::newRow("confirmed") << "ok" << false;
    QTest::newRow("cancelled") << "cancel" << false;
    QTest::newRow("closed") << "close" << false;
    QTest::newRow("refused") << "ok" << true;
}

// The preview lists every new name; OK renames and refreshes step 1, the close box does nothing.
void TestStep3::renamePreview()
{
    QFETCH(QString, answer);
    QFETCH(bool, refused);
    const bool confirm = answer == u"ok";
    writeSetting(Keys::kRenameRule, QStringLiteral("1000001"));
    writeSetting(Keys::kRenameSeparator, QStringLiteral("1"));
    makePictures(m_source, 2);
    Frm3 *frm3 = toStep3(true);
    QVERIFY(frm3);
    QSignalSpy shown(frm3, &Frm3::previewShown);
    QTest::mouseClick(frm3->Command1, Qt::LeftButton);
    QVERIFY(frm3->runInProgress()); // the preview pass runs off the window's thread
    QCOMPARE(frm3->Command1->text(), QStringLiteral("终止(&C)"));
    QVERIFY(shown.wait(10000));
    auto *preview = shown.first().first().value<FrmRename2 *>();
    QVERIFY(preview->isVisible());
    QCOMPARE(preview->windowTitle(), QStringLiteral("文件批量改名"));
    QStringList lines;
    for (int i = 0; i < preview->List1->count(); ++i)
        lines << preview->List1->item(i)->text();
    QCOMPARE(lines, (QStringList{QStringLiteral("p01.jpg"), QStringLiteral("  将改为:1_p01.jpg"),
                                 QStringLiteral("p02.jpg"), QStringLiteral("  将改为:2_p02.jpg")}));
    // While the preview is open the status line shows what was gone through, and the button
    // still says what it will do.
    QVERIFY(frm3->PicJD->isVisible());
    QVERIFY(frm3->lblJDT->text().startsWith(QStringLiteral("正在处理(2/2)p02.jpg")));
    QCOMPARE(frm3->Command1->text(), QStringLiteral("批量改名(&B)"));

    QPointer<FrmRename2> gone(preview);
    if (refused)
        QVERIFY(QFile::remove(m_source + QStringLiteral("/p02.jpg")));
    if (confirm)
        QTest::mouseClick(preview->Command1, Qt::LeftButton);
    else if (answer == u"cancel")
        QTest::mouseClick(preview->Command2, Qt::LeftButton);
    else
        preview->close();
    QVERIFY(!preview->isVisible());
    QTRY_VERIFY(!frm3->runInProgress());
    QCOMPARE(frm3->Command1->text(), QStringLiteral("批量改名(&B)"));
    const QStringList names = QDir(m_source).entryList(QDir::Files, QDir::Name);
    if (refused) {
        QCOMPARE(names, QStringList{QStringLiteral("1_p01.jpg")});
        const QStringList warnings = m_services->texts(QStringLiteral("warn"));
        QCOMPARE(warnings.size(), 1);
        QVERIFY2(warnings.first().contains(QStringLiteral("“p02.jpg”"))
                         && warnings.first().contains(QStringLiteral("已改名 1 个文件")),
                 qPrintable(warnings.first()));
        QVERIFY(m_services->texts(QStringLiteral("inform")).isEmpty());
    } else if (confirm) {
        QCOMPARE(names, (QStringList{QStringLiteral("1_p01.jpg"), QStringLiteral("2_p02.jpg")}));
        QCOMPARE(m_services->texts(QStringLiteral("inform")),
                 QStringList{QStringLiteral("文件批量改名已经完成！")});
        QCOMPARE(m_wizard->frm1()->selection().names, names);
        // The rename can be taken back from step 3: step 1 lists the old names again.
        QVERIFY(frm3->CmdUndo->isVisible());
        QTest::mouseClick(frm3->CmdUndo, Qt::LeftButton);
        const QStringList back = {QStringLiteral("p01.jpg"), QStringLiteral("p02.jpg")};
        QCOMPARE(QDir(m_source).entryList(QDir::Files, QDir::Name), back);
        QCOMPARE(m_wizard->frm1()->selection().names, back);
        QVERIFY(m_services->texts(QStringLiteral("inform"))
                        .last()
                        .contains(QStringLiteral("2 个文件恢复了原名")));
        QVERIFY(!frm3->CmdUndo->isVisible());
    } else {
        QCOMPARE(names, (QStringList{QStringLiteral("p01.jpg"), QStringLiteral("p02.jpg")}));
        QVERIFY(m_services->messages.isEmpty());
    }
    QTRY_VERIFY(gone.isNull()); // the next preview starts afresh
}

QTEST_MAIN(TestStep3)
#include "tst_gui_step3.moc"
