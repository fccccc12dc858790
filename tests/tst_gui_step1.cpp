#include "app/frm1.h"
#include "app/frmsm.h"
#include "app/picturewidgets.h"
#include "app/step1model.h"
#include "app/wizard.h"
#include "platform/apppaths.h"
#include "settings/inistore.h"
#include "settings/settingskeys.h"
#include "tests/support/fakeguiservices.h"
#include "tests/support/testfiles.h"
#include "tests/support/testpictures.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <memory>

#include <sys/stat.h>

using namespace Pw;
using PwTest::FakeGuiServices;

namespace {

const QString kCameraPhoto = QStringLiteral(PW_APP_DIR "/演示/竖拍晚霞.jpg");

void writePicture(const QString &path, QSize size = QSize(64, 48))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QVERIFY2(image.save(path), qPrintable(path));
}

QString readSelected(const QString &key)
{
    return ReadIni(Keys::kSectionSelected, key);
}

} // namespace

// Step 1: start-up, the list and its selection, the preview, the camera information dialog.
class TestStep1 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void controlsHaveTheirNamesAndKinds_data();
    void controlsHaveTheirNamesAndKinds();
    void firstStartShowsTheDemoFolderAllSelected();
    void rememberedFolderWithoutPicturesGivesTheDemoFolder();
    void pngAloneListsPngAndStoresItsPattern();
    void noTypeKeepsTheOldPatternForTheNextStart();
    void otherSwitchListsHeicAndStoresFilter4();
    void selectNoneThenNextWarnsAndStays();
    void invertOfAllSelectsNothingAndClearsThePreview();
    void chosenFolderGetsTrailingSlashAndIsRemembered();
    void emptyFolderHidesThePreviewPart();
    void typedFolderIsListedOnEnter();
    void resultFolderBecomesTheSource();
    void refreshOfAMissingFolderWarns();
    void nextHandsOverTheSelectionInListOrder();
    void previewShowsTheInformationLines();
    void lastClickWins();
    void cameraDialogOfPngSaysNoCameraInformation();
    void cameraDialogIsFreshEachTime();
    void droppedFolderIsListed();
    void droppedPicturesAreSelected();
    void dropResolution_data();
    void dropResolution();
    void openedPathsAreShownNotStored_data();
    void openedPathsAreShownNotStored();
    void openedSourceIsStoredWithTheFirstChoice();
    void pictureButtonShowsBorderOnlyWhilePressed();
    void previewTitleShowsControlCharactersEscaped();
    void previewSaysWhyAFileCannotBeRead_data();
    void previewSaysWhyAFileCannotBeRead();
    void bulkChoicesShowTheListState_data();
    void bulkChoicesShowTheListState();
    void folderDialogOpensAtTheShownFolder_data();
    void folderDialogOpensAtTheShownFolder();
    void longCameraModelDoesNotWidenTheWindow();

private:
    std::unique_ptr<Wizard> startWizard();
    void drop(const QStringList &paths);
    // Answers the next modal FrmSM with its text and closes it.
    void readNextCameraDialog(QString *text, QString *path);

    QTemporaryDir m_dir;
    int m_run = 0;
    QString m_demo;  // the demo folder: a camera photo, a PNG, a BMP
    QString m_other; // another folder: two PNGs and a JPEG
    FakeGuiServices m_services;
    std::unique_ptr<Wizard> m_wizard;
};

void TestStep1::init()
{
    QVERIFY(m_dir.isValid());
    const QString root = m_dir.path() + u'/' + QString::number(++m_run);
    QVERIFY(QDir().mkpath(root + QStringLiteral("/app/演示")));
    QVERIFY(QDir().mkpath(root + QStringLiteral("/other")));
    SetAppFolder(root + QStringLiteral("/app"));
    SetDefaultSettingsFile(root + QStringLiteral("/Set.ini"));
    m_demo = DemoFolder();
    m_other = root + QStringLiteral("/other/");
    QVERIFY(QFile::copy(kCameraPhoto, m_demo + QStringLiteral("photo.jpg")));
    writePicture(m_demo + QStringLiteral("plain.png"));
    writePicture(m_demo + QStringLiteral("plain.bmp"));
    writePicture(m_other + QStringLiteral("b.png"));
    writePicture(m_other + QStringLiteral("a.PNG"));
    writePicture(m_other + QStringLiteral("c.jpg"), QSize(40, 80));
    QFile notes(m_other + QStringLiteral("notes.txt"));
    QVERIFY(notes.open(QIODevice::WriteOnly));
    m_services = FakeGuiServices();
}

void TestStep1::cleanup()
{
    m_wizard.reset();
    SetDefaultSettingsFile(QString());
}

std::unique_ptr<Wizard> TestStep1::startWizard()
{
    auto wizard = std::make_unique<Wizard>(m_services);
    wizard->start();
    return wizard;
}

void TestStep1::drop(const QStringList &paths)
{
    auto *mime = new QMimeData;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls << QUrl::fromLocalFile(path);
    mime->setUrls(urls);
    Frm1 *step1 = m_wizard->frm1();
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(step1, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(step1, &dropped);
    delete mime;
}

void TestStep1::readNextCameraDialog(QString *text, QString *path)
{
    QTimer::singleShot(0, this, [text, path] {
        auto *dialog = qobject_cast<FrmSM *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        *text = dialog->TxtWd->toPlainText();
        *path = dialog->lblwj->text();
        dialog->Command1->click();
    });
    // Watchdog: a dialog left open by a failed check must not hang the test.
    QTimer::singleShot(5000, this, [] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
}

void TestStep1::controlsHaveTheirNamesAndKinds_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    const char *rows[][2] = {
            {"PicL", "QLabel"},
            {"lblStep", "QLabel"},
            {"Label2", "QLabel"},
            {"txtdir", "QLineEdit"},
            {"Command8", "Pw::PictureButton"},
            {"List1", "QListWidget"},
            {"Chkjpg", "QCheckBox"},
            {"Chkpng", "QCheckBox"},
            {"Chkbmp", "QCheckBox"},
            {"Chkother", "QCheckBox"},
            {"Op1", "QRadioButton"},
            {"Op2", "QRadioButton"},
            {"Op3", "QRadioButton"},
            {"PicRefresh", "Pw::PictureButton"},
            {"Line1", "QFrame"},
            {"Line2", "QFrame"},
            {"PicShow", "QLabel"},
            {"lblListNote", "QLabel"},
            {"lblInfo0", "QLabel"},
            {"lblInfo1", "QLabel"},
            {"lblInfo2", "QLabel"},
            {"PicExif", "Pw::PictureButton"},
            {"Check1", "QCheckBox"},
            {"Command1", "QPushButton"},
    };
    for (const auto &row : rows)
        QTest::newRow(row[0]) << QString::fromLatin1(row[0]) << QString::fromLatin1(row[1]);
}

void TestStep1::controlsHaveTheirNamesAndKinds()
{
    QFETCH(QString, name);
    QFETCH(QString, kind);
    m_wizard = startWizard();
    auto *widget = m_wizard->frm1()->findChild<QWidget *>(name);
    QVERIFY2(widget, qPrintable(name));
    QVERIFY2(widget->inherits(kind.toLatin1()), widget->metaObject()->className());
}

void TestStep1::firstStartShowsTheDemoFolderAllSelected()
{
    m_wizard = startWizard();
    Frm1 *step1 = m_wizard->frm1();
    QCOMPARE(step1->windowTitle(),
             QStringLiteral("Pixwright(Ver %1)").arg(QStringLiteral(PIXWRIGHT_VERSION)));
    QCOMPARE(step1->lblStep->text(), QStringLiteral("【第1/3步:选择欲修改尺寸的图片或照片】"));
    QVERIFY(step1->Chkjpg->isChecked() && step1->Chkpng->isChecked() && step1->Chkbmp->isChecked());
    QVERIFY(!step1->Check1->isChecked());
    QCOMPARE(step1->txtdir->text(), m_demo);
    const SourceSelection selection = step1->selection();
    QCOMPARE(selection.folder, m_demo);
    QCOMPARE(selection.names, QStringList({QStringLiteral("photo.jpg"), QStringLiteral("plain.bmp"),
                                           QStringLiteral("plain.png")}));
    QCOMPARE(selection.selectedCount(), 3);
    // No folder was remembered, so the captions do not count yet.
    QCOMPARE(step1->Op1->text(), QStringLiteral("全选"));
    QCOMPARE(step1->Op2->text(), QStringLiteral("全不选"));
    QVERIFY(step1->Op1->isChecked());
    // The last entry is previewed; nothing was written by the start.
    QTRY_COMPARE(step1->lblInfo0->text(), QStringLiteral("【图片plain.png】"));
    QCOMPARE(step1->previewedFile(), m_demo + QStringLiteral("plain.png"));
    QVERIFY(!QFile::exists(DefaultSettingsFile()));
}

void TestStep1::rememberedFolderWithoutPicturesGivesTheDemoFolder()
{
    const QString empty = m_dir.path() + QStringLiteral("/nothing/");
    QVERIFY(QDir().mkpath(empty));
    QFile notes(empty + QStringLiteral("notes.txt"));
    QVERIFY(notes.open(QIODevice::WriteOnly));
    QVERIFY(WriteIni(Keys::kSectionOpenPath, Keys::kSourceFolder, empty));
    QVERIFY(WriteIni(Keys::kSectionSelected, Keys::kKeepCamera, QStringLiteral("1")));
    m_wizard = startWizard();
    QCOMPARE(m_wizard->frm1()->txtdir->text(), m_demo);
    QCOMPARE(m_wizard->frm1()->List1->count(), 3);
    QVERIFY(m_wizard->frm1()->Check1->isChecked());
}

void TestStep1::pngAloneListsPngAndStoresItsPattern()
{
    QVERIFY(WriteIni(Keys::kSectionOpenPath, Keys::kSourceFolder, m_other));
    m_wizard = startWizard();
    Frm1 *step1 = m_wizard->frm1();
    QCOMPARE(step1->Op1->text(), QStringLiteral("全选(3)"));
    step1->Chkjpg->click();
    step1->Chkbmp->click();
    QCOMPARE(step1->selection().names,
             QStringList({QStringLiteral("a.PNG"), QStringLiteral("b.png")}));
    QCOMPARE(step1->selection().selectedCount(), 2);
    QCOMPARE(step1->Op1->text(), QStringLiteral("全选(2)"));
    QCOMPARE(step1->Op2->text(), QStringLiteral("全不选(2)"));
    QCOMPARE(readSelected(Keys::kFilter), QStringLiteral(";*.png"));
    QCOMPARE(readSelected(Keys::kFilterJpg), QStringLiteral("0"));
    QCOMPARE(readSelected(Keys::kFilterPng), QStringLiteral("1"));
    QCOMPARE(readSelected(Keys::kFilterBmp), QStringLiteral("0"));
}

void TestStep1::noTypeKeepsTheOldPatternForTheNextStart()
{
    QVERIFY(WriteIni(Keys::kSectionOpenPath, Keys::kSourceFolder, m_other));
    m_wizard = startWizard();
    Frm1 *step1 = m_wizard->frm1();
    step1->Chkbmp->click(); // "*.jpg;*.png" stored
    step1->Chkjpg->click(); // ";*.png"
    step1->Chkpng->click(); // nothing: the pattern stays
    QCOMPARE(step1->List1->count(), 0);
    QVERIFY(step1->previewedFile().isEmpty());
    QCOMPARE(readSelected(Keys::kFilter), QStringLiteral(";*.png"));
    for (const QString &key : {Keys::kFilterJpg, Keys::kFilterPng, Keys::kFilterBmp})
        QCOMPARE(readSelected(key), QStringLiteral("0"));

    m_wizard = startWizard();
    step1 = m_wizard->frm1();
    QVERIFY(!step1->Chkjpg->isChecked() && !step1->Chkpng->isChecked()
            && !step1->Chkbmp->isChecked());
    QCOMPARE(step1->selection().names,
             QStringList({QStringLiteral("a.PNG"), QStringLiteral("b.png")}));
}

// The fourth switch lists HEIC, AVIF, WebP and TIFF beside the others, is remembered under
// FILTER4 and leaves FILTER as the three switches make it.
void TestStep1::otherSwitchListsHeicAndStoresFilter4()
{
    for (const char *name : {"d.HEIC", "e.webp", "f.tif"}) {
        QFile file(m_other + QString::fromLatin1(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(WriteIni(Keys::kSectionOpenPath, Keys::kSourceFolder, m_other));
    m_wizard = startWizard();
    Frm1 *step1 = m_wizard->frm1();
    QVERIFY(!step1->Chkother->isChecked());
    QCOMPARE(step1->List1->count(), 3);
    step1->Chkother->click();
    QCOMPARE(step1->selection().names,
             QStringList({QStringLiteral("a.PNG"), QStringLiteral("b.png"), QStringLiteral("c.jpg"),
                          QStringLiteral("d.HEIC"), QStringLiteral("e.webp"),
                          QStringLiteral("f.tif")}));
    QCOMPARE(step1->selection().selectedCount(), 6);
    QCOMPARE(readSelected(Keys::kFilterOther), QStringLiteral("1"));
    QCOMPARE(readSelected(Keys::kFilter), QStringLiteral("*.jpg;*.png;*.bmp"));

    m_wizard = startWizard();
    QVERIFY(m_wizard->frm1()->Chkother->isChecked());
    QCOMPARE(m_wizard->frm1()->List1->count(), 6);
}

void TestStep1::selectNoneThenNextWarnsAndStays()
{
    m_wizard = startWizard();
    Frm1 *step1 = m_wizard->frm1();
    step1->Op2->click();
    QCOMPARE(step1->selection().selectedCount(), 0);
    QCOMPARE(step1->lblInfo0->text(), QStringLiteral("注：可按住CTRL选择/不选任意的图片文件"));
    QVERIFY(step1->lblInfo1->text().isEmpty() && step1->lblInfo2->text().isEmpty());
    QVERIFY(step1->Op2->isChecked());
    step1->Command1->click();
    QCOMPARE(m_services.texts(QStringLiteral("warn")),
             QStringList({QStringLiteral("没有选中任何图片，请在列表中至少选择一个图片！")}));
    QCOMPARE(m_services.messages.first().title, QStringLiteral("Pixwright"));
    QCOMPARE(m_wizard->visibleStep(), 1);
}

void TestStep1::invertOfAllSelectsNothingAndClearsThePreview()
{
    m_wizard = startWizard();
    Frm1 *step1 = m_wizard->frm1();
    QTRY_VERIFY(!step1->lblInfo1->text().isEmpty());
    QSignalSpy changed(step1, &Frm1::previewChanged);
    step1->Op3->click();
    QCOMPARE(step1->selection().selectedCount(), 0);
    QCOMPARE(changed.count(), 0); // no new preview
    step1->Op3->click();
    QCOMPARE(step1->selection().selectedCount(), 3);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().first().toString(), m_demo + QStringLiteral("plain.png"));
}

void TestStep1::chosenFolderGetsTrailingSlashAndIsRemembered()
{
    m_wizard = startWizard();
    Frm1 *step1 = m_wizard->frm1();
    m_services.folders.push_back(m_other.chopped(1));
    step1->Command8->click();
    QCOMPARE(m_services.folderPrompts,
             QStringList({QStringLiteral("请选择包含待处理图片的文件夹吧：")}));
    QCOMPARE(step1->txtdir->text(), m_other);
    QCOMPARE(step1->txtdir->toolTip(), m_other);
    QCOMPARE(ReadIni(Keys::kSectionOpenPath, Keys::kSourceFolder), m_other);
    QCOMPARE(step1->selection().selectedCount(), 3);
    QCOMPARE(step1->Op2->text(), QStringLiteral("全不选(3)"));
    // Cancel changes nothing.
    step1->Command8->click();
    QCOMPARE(step1->txtdir->text(), m_other);
}

void TestStep1::emptyFolderHidesThePreviewPart()
{
    const QString empty = m_dir.path() + QStringLiteral("/empty");
    QVERIFY(QDir().mkpath(empty));
    m_wizard = startWizard();
    Frm1 *step1 = m_wizard->frm1();
    const int fullHeight = step1->List1->height();
    m_services.folders.push_back(empty);
    step1->Command8->click();
    QCOMPARE(step1->List1->count(), 0);
    for (QWidget *hidden : std::initializer_list<QWidget *>{
                 step1->PicShow, step1->lblInfo0, step1->lblInfo1, step1->lblInfo2, step1->PicExif,
                 step1->Line1, step1->Line2, step1->Check1, step1->Op1, step1->Op2, step1->Op3})
        QVERIFY2(hidden->isHidden(), qPrintable(hidden->objectName()));
    QTRY_VERIFY(step1->List1->height() > fullHeight);
    QVERIFY(step1->lblListNote->isVisible());
    QCOMPARE(step1->lblListNote->text(), QStringLiteral("此文件夹中没有 JPG、PNG、BMP 图片"));
    step1->Chkjpg->click();
    QCOMPARE(step1->lblListNote->text(), QStringLiteral("此文件夹中没有 PNG、BMP 图片"));
    // Next on an empty list opens the folder chooser instead.
    step1->Command1->click();
    QCOMPARE(m_services.folderPrompts.size(), 2);
    QCOMPARE(m_wizard->visibleStep(), 1);
}

void TestStep1::typedFolderIsListedOnEnter()
{
    m_wizard = startWizard();
    Frm1 *step1 = m_wizard->frm1();
    step1->txtdir->setText(QStringLiteral("  ") + m_other.chopped(1));
    QTest::keyClick(step1->txtdir, Qt::Key_Return);
    QCOMPARE(step1->selection().folder, m_other);
    QCOMPARE(step1->List1->count(), 3);
    QCOMPARE(ReadIni(Keys::kSectionOpenPath, Keys::kSourceFolder), m_other);

    // Next on a folder typed without Enter lists it and stays, so that the list and the
    // folder always agree.
    step1->txtdir->setText(m_demo.chopped(1));
    step1->Command1->click();
    QCOMPARE(m_wizard->visibleStep(), 1);
    QCOMPARE(step1->selection().folder, m_demo);

    // A folder that does not exist is named as such, and nothing stays listed.
    const QString missing = m_dir.path() + QStringLiteral("/no such folder/");
    step1->txtdir->setText(missing);
    QTest::keyClick(step1->txtdir, Qt::Key_Return);
    QCOMPARE(m_services.texts(QStringLiteral("warn")),
             QStringList({QStringLiteral("文件夹“%1”不存在！").arg(missing)}));
    QCOMPARE(step1->List1->count(), 0);
    QCOMPARE(step1->selection().folder, missing);
    QCOMPARE(step1->previewedFile(), QString());
    QVERIFY(step1->lblListNote->isVisible());
    QCOMPARE(step1->lblListNote->text(), QStringLiteral("此文件夹不存在，没有列出任何图片"));
    QCOMPARE(ReadIni(Keys::kSectionOpenPath, Keys::kSourceFolder), m_demo);
}

void TestStep1::resultFolderBecomesTheSource()
{
    m_wizard = startWizard();
    Frm1 *step1 = m_wizard->frm1();
    QSignalSpy changed(step1, &Frm1::previewChanged);
    step1->useFolderAsSource(m_other.chopped(1));
    QCOMPARE(step1->txtdir->text(), m_other);
    QCOMPARE(ReadIni(Keys::kSectionOpenPath, Keys::kSourceFolder), m_other);
    QCOMPARE(step1->selection().selectedCount(), 3);
    QVERIFY(!changed.isEmpty());
    QCOMPARE(changed.last().first().toString(), m_other + QStringLiteral("c.jpg"));
    // After a rename-only run the folder is read again.
    QVERIFY(QFile::rename(m_other + QStringLiteral("c.jpg"), m_other + QStringLiteral("0.jpg")));
    step1->refresh();
    QCOMPARE(step1->selection().names.first(), QStringLiteral("0.jpg"));
    QCOMPARE(step1->previewedFile(), m_other + QStringLiteral("b.png"));
}

void TestStep1::refreshOfAMissingFolderWarns()
{
    const QString gone = m_dir.path() + QStringLiteral("/gone/");
    QVERIFY(QDir().mkpath(gone));
    writePicture(gone + QStringLiteral("x.png"));
    m_wizard = startWizard();
    Frm1 *step1 = m_wizard->frm1();
    m_services.folders.push_back(gone);
    step1->Command8->click();
    writePicture(gone + QStringLiteral("y.png"));
    step1->PicRefresh->click();
    QCOMPARE(step1->List1->count(), 2);
    QVERIFY(QDir(gone).removeRecursively());
    step1->PicRefresh->click();
    QCOMPARE(m_services.texts(QStringLiteral("warn")),
             QStringList({QStringLiteral("请先选择包含至少一个图片的文件夹！\n"
                                         "当此文件夹中图片发生变化时再刷新！")}));
    QCOMPARE(step1->List1->count(), 2);
}

void TestStep1::nextHandsOverTheSelectionInListOrder()
{
    m_wizard = startWizard();
    Frm1 *step1 = m_wizard->frm1();
    step1->Check1->click();
    QCOMPARE(readSelected(Keys::kKeepCamera), QStringLiteral("1"));
    step1->List1->clearSelection();
    step1->List1->item(2)->setSelected(true);
    step1->List1->item(0)->setSelected(true);
    step1->Command1->click();
    QCOMPARE(m_wizard->visibleStep(), 2);
    const SourceSelection selection = step1->selection();
    QCOMPARE(selection.selected, QList<bool>({true, false, true}));
    QVERIFY(selection.keepCamera);
    QCOMPARE(selection.pathOf(2), m_demo + QStringLiteral("plain.png"));
    step1->Check1->click();
    QCOMPARE(readSelected(Keys::kKeepCamera), QStringLiteral("0"));
}

void TestStep1::previewShowsTheInformationLines()
{
    m_wizard = startWizard();
    Frm1 *step1 = m_wizard->frm1();
    QTRY_VERIFY(!step1->lblInfo1->text().isEmpty());
    QTest::mouseClick(step1->List1->viewport(), Qt::LeftButton, Qt::NoModifier,
                      step1->List1->visualItemRect(step1->List1->item(0)).center());
    QTRY_COMPARE(step1->lblInfo0->text(), QStringLiteral("【相片photo.jpg】"));
    QCOMPARE(step1->selection().selectedCount(), 1);
    QVERIFY2(
            step1->lblInfo1->text().startsWith(QStringLiteral("→宽900像素,高1200像素,文件大小为:")),
            qPrintable(step1->lblInfo1->text()));
    const QStringList lines = step1->lblInfo2->text().split(u'\n');
    QCOMPARE(lines.size(), 4);
    QVERIFY(lines[0].startsWith(QStringLiteral("→生成于:")));
    QVERIFY(lines[1].startsWith(QStringLiteral("   存取于:")));
    QVERIFY(lines[2].startsWith(QStringLiteral("   修改于:")));
    QCOMPARE(lines[3], QStringLiteral("   拍摄于:2024:05:18 18:52:03(PW Phone 7)"));

    // A file that is not a picture: 0 x 0, no camera line, the box left plain.
    const QString broken = m_dir.path() + QStringLiteral("/broken.jpg");
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
    file.close();
    const Preview preview = LoadPreview(broken, QSize(40, 30), Qt::red);
    QCOMPARE(preview.title, QStringLiteral("【图片broken.jpg】"));
    QCOMPARE(preview.size, QStringLiteral("→无法读取：不是图片文件,文件大小为:13B"));
    QCOMPARE(preview.times.count(u'\n'), 2);
    QCOMPARE(preview.image.pixelColor(20, 15), QColor(Qt::red));
}

void TestStep1::lastClickWins()
{
    m_wizard = startWizard();
    Frm1 *step1 = m_wizard->frm1();
    QSignalSpy shown(step1, &Frm1::previewShown);
    for (int round = 0; round < 5; ++round)
        for (int row : {0, 1, 2, 0, 1})
            step1->List1->setCurrentRow(row);
    QTRY_COMPARE(step1->lblInfo0->text(), QStringLiteral("【图片plain.bmp】"));
    QTRY_VERIFY(!shown.isEmpty());
    QCOMPARE(shown.last().first().toString(), m_demo + QStringLiteral("plain.bmp"));
    QCOMPARE(step1->previewedFile(), m_demo + QStringLiteral("plain.bmp"));
    // Stale decodes were dropped rather than shown one after another.
    QVERIFY(shown.count() < 10);
}

void TestStep1::cameraDialogOfPngSaysNoCameraInformation()
{
    m_wizard = startWizard();
    Frm1 *step1 = m_wizard->frm1();
    QString text, path;
    readNextCameraDialog(&text, &path);
    step1->PicExif->click(); // the last entry, plain.png, is current after select all
    QCOMPARE(path, m_demo + QStringLiteral("plain.png"));
    QCOMPARE(text, QStringLiteral("【plain.png】\n此图片非数码照片或EXIF信息已被破坏"));
}

void TestStep1::cameraDialogIsFreshEachTime()
{
    m_wizard = startWizard();
    Frm1 *step1 = m_wizard->frm1();
    QString text, path;
    readNextCameraDialog(&text, &path);
    QListWidget *list = step1->List1;
    const QPoint first = list->visualItemRect(list->item(0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, first);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, first);
    QVERIFY2(text.startsWith(QStringLiteral("【photo.jpg】\n")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("PW Phone 7")));
    QVERIFY(text.count(u'\n') > 5);

    readNextCameraDialog(&text, &path);
    const QPoint second = list->visualItemRect(list->item(1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, second);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, second);
    QCOMPARE(text, QStringLiteral("【plain.bmp】\n此图片非数码照片或EXIF信息已被破坏"));
    QTRY_VERIFY(step1->findChildren<FrmSM *>().isEmpty()); // each one was discarded
}

void TestStep1::droppedFolderIsListed()
{
    m_wizard = startWizard();
    drop({m_other});
    Frm1 *step1 = m_wizard->frm1();
    QCOMPARE(step1->txtdir->text(), m_other);
    QCOMPARE(step1->selection().selectedCount(), 3);
    QCOMPARE(ReadIni(Keys::kSectionOpenPath, Keys::kSourceFolder), m_other);
}

void TestStep1::droppedPicturesAreSelected()
{
    QVERIFY(WriteIni(Keys::kSectionSelected, Keys::kFilter, QStringLiteral("*.jpg")));
    QVERIFY(WriteIni(Keys::kSectionSelected, Keys::kFilterJpg, QStringLiteral("1")));
    m_wizard = startWizard();
    Frm1 *step1 = m_wizard->frm1();
    // PNG was off: dropping PNG pictures turns it on so that they are listed.
    drop({m_other + QStringLiteral("b.png"), m_other + QStringLiteral("c.jpg")});
    QVERIFY(step1->Chkpng->isChecked());
    QCOMPARE(readSelected(Keys::kFilter), QStringLiteral("*.jpg;*.png"));
    const SourceSelection selection = step1->selection();
    QCOMPARE(selection.folder, m_other);
    QCOMPARE(selection.names, QStringList({QStringLiteral("a.PNG"), QStringLiteral("b.png"),
                                           QStringLiteral("c.jpg")}));
    QCOMPARE(selection.selected, QList<bool>({false, true, true}));
    QCOMPARE(step1->previewedFile(), m_other + QStringLiteral("c.jpg"));
}

void TestStep1::dropResolution_data()
{
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("names");
    const QString other = QStringLiteral("%other%");
    QTest::newRow("folder") << QStringList{other} << other << QStringList();
    QTest::newRow("pictures of one folder")
            << QStringList{other + QStringLiteral("a.PNG"), other + QStringLiteral("c.jpg")}
            << other << QStringList{QStringLiteral("a.PNG"), QStringLiteral("c.jpg")};
    QTest::newRow("two folders") << QStringList{other, QStringLiteral("%demo%")} << QString()
                                 << QStringList();
    QTest::newRow("files of two folders")
            << QStringList{other + QStringLiteral("a.PNG"), QStringLiteral("%demo%plain.png")}
            << QString() << QStringList();
    QTest::newRow("pictures among other files")
            << QStringList{other + QStringLiteral("notes.txt"), other + QStringLiteral("b.png")}
            << other << QStringList{QStringLiteral("b.png")};
    QTest::newRow("no picture") << QStringList{other + QStringLiteral("notes.txt")} << QString()
                                << QStringList();
    QTest::newRow("missing file") << QStringList{other + QStringLiteral("zz.png")} << QString()
                                  << QStringList();
    QTest::newRow("nothing") << QStringList() << QString() << QStringList();
}

void TestStep1::dropResolution()
{
    QFETCH(QStringList, paths);
    QFETCH(QString, folder);
    QFETCH(QStringList, names);
    for (QString &path : paths)
        path.replace(QStringLiteral("%other%"), m_other).replace(QStringLiteral("%demo%"), m_demo);
    folder.replace(QStringLiteral("%other%"), m_other);
    const DroppedSource dropped = ResolveDrop(paths);
    QCOMPARE(dropped.folder, folder);
    QCOMPARE(dropped.names, names);
}

// `pixwright FOLDER` / `pixwright FILE...`: listed and selected as a drop, a message for what
// was left out, and nothing written to the settings.
void TestStep1::openedPathsAreShownNotStored_data()
{
    QTest::addColumn<QStringList>("paths"); // %other%, %demo% stand for the two folders
    QTest::addColumn<QString>("folder");
    // Of %other% as listed: c.jpg alone while only JPG is switched on, else a.PNG, b.png, c.jpg.
    QTest::addColumn<QList<bool>>("selected");
    QTest::addColumn<int>("leftOut"); // -1: no message
    const QString other = QStringLiteral("%other%");
    QTest::newRow("folder") << QStringList{other} << other << QList<bool>{true} << -1;
    QTest::newRow("pictures of one folder, PNG off")
            << QStringList{other + QStringLiteral("b.png"), other + QStringLiteral("c.jpg")}
            << other << QList<bool>{false, true, true} << -1;
    QTest::newRow("pictures of two folders")
            << QStringList{other + QStringLiteral("c.jpg"), QStringLiteral("%demo%plain.png"),
                           other + QStringLiteral("a.PNG"), QStringLiteral("%demo%plain.bmp")}
            << other << QList<bool>{true, false, true} << 2;
    QTest::newRow("missing first, then a folder")
            << QStringList{QStringLiteral("%demo%gone.jpg"), other, QStringLiteral("%demo%")}
            << other << QList<bool>{true} << 2;
    QTest::newRow("relative path")
            << QStringList{QStringLiteral("c.jpg")} << other << QList<bool>{true} << -1;
    QTest::newRow("no picture") << QStringList{other + QStringLiteral("notes.txt")} << "%demo%"
                                << QList<bool>{} << 1;
}

void TestStep1::openedPathsAreShownNotStored()
{
    QFETCH(QStringList, paths);
    QFETCH(QString, folder);
    QFETCH(QList<bool>, selected);
    QFETCH(int, leftOut);
    QVERIFY(WriteIni(Keys::kSectionSelected, Keys::kFilter, QStringLiteral("*.jpg")));
    QVERIFY(WriteIni(Keys::kSectionSelected, Keys::kFilterJpg, QStringLiteral("1")));
    const QByteArray before = PwTest::readAll(DefaultSettingsFile());
    for (QString &path : paths)
        path.replace(QStringLiteral("%other%"), m_other).replace(QStringLiteral("%demo%"), m_demo);
    folder.replace(QStringLiteral("%other%"), m_other).replace(QStringLiteral("%demo%"), m_demo);
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(m_other);
    const auto back = qScopeGuard([&cwd] { QDir::setCurrent(cwd); });

    m_wizard = startWizard();
    Frm1 *step1 = m_wizard->frm1();
    step1->openPaths(paths);
    const SourceSelection selection = step1->selection();
    QCOMPARE(selection.folder, folder);
    QCOMPARE(step1->txtdir->text(), folder);
    if (folder == m_other)
        QCOMPARE(selection.selected, selected);
    QCOMPARE(m_services.messages.size(), leftOut < 0 ? 0 : 1);
    if (leftOut > 0 && folder == m_other)
        QVERIFY2(m_services.messages.first().text.contains(
                         QStringLiteral("另有 %1 项").arg(leftOut)),
                 qPrintable(m_services.messages.first().text));
    QCOMPARE(PwTest::readAll(DefaultSettingsFile()), before);
}

// The first choice the user makes after an "Open with" remembers the opened folder and the
// types switched on for it, with the choice itself.
void TestStep1::openedSourceIsStoredWithTheFirstChoice()
{
    QVERIFY(WriteIni(Keys::kSectionSelected, Keys::kFilter, QStringLiteral("*.jpg")));
    QVERIFY(WriteIni(Keys::kSectionSelected, Keys::kFilterJpg, QStringLiteral("1")));
    m_wizard = startWizard();
    Frm1 *step1 = m_wizard->frm1();
    step1->openPaths({m_other + QStringLiteral("b.png")});
    QCOMPARE(ReadIni(Keys::kSectionOpenPath, Keys::kSourceFolder), QString());
    step1->Check1->click();
    QCOMPARE(ReadIni(Keys::kSectionOpenPath, Keys::kSourceFolder), m_other);
    QCOMPARE(readSelected(Keys::kFilter), QStringLiteral("*.jpg;*.png"));
    QCOMPARE(readSelected(Keys::kKeepCamera), QStringLiteral("1"));
}

void TestStep1::pictureButtonShowsBorderOnlyWhilePressed()
{
    PictureButton button(ButtonGlyph::Refresh, 22);
    button.setFocusPolicy(Qt::NoFocus);
    button.resize(button.sizeHint());
    const QColor border = button.palette().color(QPalette::WindowText);
    auto corner = [&button] {
        return button.grab().toImage().pixelColor(0, 0);
    };
    QVERIFY(corner() != border);
    button.setDown(true);
    QCOMPARE(corner(), border);
    button.setDown(false);
    QVERIFY(corner() != border);
}

void TestStep1::previewSaysWhyAFileCannotBeRead_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("problem");
    QTest::newRow("text") << "text.jpg"
                          << "不是图片文件";
    QTest::newRow("empty") << "empty.png"
                           << "文件是空的";
    QTest::newRow("damaged header") << "cut.jpg"
                                    << "图片已损坏";
    QTest::newRow("folder") << "folder.jpg"
                            << "不是普通文件（文件夹、设备或管道）";
    QTest::newRow("pipe") << "pipe.jpg"
                          << "不是普通文件（文件夹、设备或管道）";
    QTest::newRow("gone") << "gone.jpg"
                          << "文件不存在";
    QTest::newRow("picture") << "good.png"
                             << "";
}

void TestStep1::previewSaysWhyAFileCannotBeRead()
{
    QFETCH(QString, name);
    QFETCH(QString, problem);
    const QString folder = m_dir.path() + QStringLiteral("/odd/");
    QVERIFY(QDir().mkpath(folder + QStringLiteral("folder.jpg")));
    const auto write = [&folder](const char *file, const QByteArray &bytes) {
        QFile out(folder + QString::fromLatin1(file));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    };
    write("text.jpg", "not a picture");
    write("empty.png", QByteArray());
    write("cut.jpg", QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10));
    writePicture(folder + QStringLiteral("good.png"));
    QVERIFY(QFile::exists(folder + QStringLiteral("pipe.jpg"))
            || mkfifo(QFile::encodeName(folder + QStringLiteral("pipe.jpg")).constData(), 0600)
                       == 0);

    const Preview preview = LoadPreview(folder + name, QSize(40, 30), Qt::black);
    QCOMPARE(preview.problem, problem);
    if (!problem.isEmpty())
        QVERIFY2(preview.size.startsWith(QStringLiteral("→无法读取：") + problem + u','),
                 qPrintable(preview.size));
    else
        QVERIFY2(preview.size.startsWith(QStringLiteral("→宽64像素,高48像素")),
                 qPrintable(preview.size));
}

void TestStep1::previewTitleShowsControlCharactersEscaped()
{
    const QString path = m_dir.path() + QStringLiteral("/a\nb\x1b[2J.png");
    writePicture(path);
    const Preview preview = LoadPreview(path, QSize(40, 30), Qt::black);
    QCOMPARE(preview.title, QStringLiteral("【图片a\\nb\\x1b[2J.png】"));
}

void TestStep1::bulkChoicesShowTheListState_data()
{
    QTest::addColumn<QStringList>("actions"); // all, none, invert, or a row clicked
    QTest::addColumn<QString>("checked");     // the bulk choice shown checked, "" for none
    QTest::newRow("start") << QStringList() << "Op1";
    QTest::newRow("plain click") << QStringList{"0"} << "";
    QTest::newRow("none") << QStringList{"none"} << "Op2";
    QTest::newRow("click, then all") << QStringList{"0", "all"} << "Op1";
    QTest::newRow("invert of one") << QStringList{"0", "invert"} << "Op3";
    QTest::newRow("invert, then click") << QStringList{"0", "invert", "1"} << "";
    QTest::newRow("invert of all") << QStringList{"invert"} << "Op2";
    QTest::newRow("invert of none") << QStringList{"none", "invert"} << "Op1";
}

void TestStep1::bulkChoicesShowTheListState()
{
    QFETCH(QStringList, actions);
    QFETCH(QString, checked);
    m_wizard = startWizard();
    Frm1 *step1 = m_wizard->frm1();
    for (const QString &action : actions) {
        if (action == u"all")
            step1->Op1->click();
        else if (action == u"none")
            step1->Op2->click();
        else if (action == u"invert")
            step1->Op3->click();
        else
            QTest::mouseClick(
                    step1->List1->viewport(), Qt::LeftButton, Qt::NoModifier,
                    step1->List1->visualItemRect(step1->List1->item(action.toInt())).center());
    }
    QStringList shown;
    for (QRadioButton *choice : {step1->Op1, step1->Op2, step1->Op3})
        if (choice->isChecked())
            shown << choice->objectName();
    QCOMPARE(shown.join(u','), checked);
}

void TestStep1::folderDialogOpensAtTheShownFolder_data()
{
    QTest::addColumn<QString>("typed"); // the path box, relative to the test folder
    QTest::addColumn<QString>("start"); // where the dialog opens, relative to the test folder
    QTest::newRow("the shown folder") << "other"
                                      << "other/";
    QTest::newRow("a missing folder: its parent") << "other/gone/deeper"
                                                  << "other/";
    QTest::newRow("empty box: home") << ""
                                     << "~/";
}

void TestStep1::folderDialogOpensAtTheShownFolder()
{
    QFETCH(QString, typed);
    QFETCH(QString, start);
    const QString root = m_dir.path() + u'/' + QString::number(m_run) + u'/';
    m_wizard = startWizard();
    Frm1 *step1 = m_wizard->frm1();
    step1->txtdir->setText(typed.isEmpty() ? QString() : root + typed);
    step1->Command8->click();
    QCOMPARE(m_services.folderStarts.size(), 1);
    const QString expected = start == u"~/" ? QDir::homePath() + u'/' : root + start;
    QCOMPARE(m_services.folderStarts.first(), expected);
}

void TestStep1::longCameraModelDoesNotWidenTheWindow()
{
    const QByteArray model = QByteArray("PW Camera ").repeated(20);
    QVERIFY(PwTest::writeBytes(
            m_demo + QStringLiteral("zz.jpg"),
            PwTest::withSegment(PwTest::plainJpeg(64, 48),
                                PwTest::exifSegment(model, "2024:05:18 18:52:03"))));
    m_wizard = startWizard();
    Frm1 *step1 = m_wizard->frm1();
    const int width = step1->width();
    QTRY_VERIFY(step1->lblInfo2->text().contains(QString::fromLatin1(model)));
    QVERIFY2(step1->sizeHint().width() <= width,
             qPrintable(QString::number(step1->sizeHint().width())));
    QCOMPARE(step1->width(), width);
}

QTEST_MAIN(TestStep1)
#include "tst_gui_step1.moc"
