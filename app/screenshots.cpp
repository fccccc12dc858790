// Development tool: renders the program's windows to PNG files for docs/screenshots/, each with
// the settings it needs, as a user would see them (run it under Xvfb through
// scripts/screenshots.sh). The windows are built with a throw-away settings file, so the
// app folder's Set.ini is never touched.
//
// usage: pw_screenshots OUTPUT_FOLDER [NAME...]   (no NAME: every window; --list names them)
// The language follows LANG as in the program, the scale QT_SCALE_FACTOR.
// PW_SCREENSHOT_PICTURE=FILE shows FILE in the camera-information dialog.
//
// To add a window: add a row to kShots below. `make` builds the window from the wizard and
// returns the widget to grab; it may fill the settings file first and wait for the window to
// settle (waitFor).

#include "app/fontcolourdialog.h"
#include "app/frm1.h"
#include "app/frm2.h"
#include "app/frm3.h"
#include "app/frmerr.h"
#include "app/frmrename.h"
#include "app/frmrename2.h"
#include "app/frmsm.h"
#include "app/guiservices.h"
#include "app/step2widgets.h"
#include "app/wizard.h"
#include "platform/apppaths.h"
#include "platform/fonts.h"
#include "platform/translations.h"
#include "run/batchrunner.h"
#include "run/batchsetup.h"
#include "settings/inistore.h"
#include "settings/settingskeys.h"
#include "settings/sourcesettings.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <functional>

namespace {

using namespace Pw;

// Lets events run until ready() holds or a few seconds passed.
bool waitFor(const std::function<bool()> &ready)
{
    QDeadlineTimer deadline(5000);
    while (!ready()) {
        if (deadline.hasExpired())
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    QApplication::processEvents();
    return true;
}

// Lets the window lay itself out and paint.
void settle()
{
    QDeadlineTimer deadline(300);
    while (!deadline.hasExpired()) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

// Step 1 after start-up, its last picture previewed.
QWidget *shownStep1(Wizard &wizard)
{
    wizard.start();
    Frm1 *step1 = wizard.frm1();
    waitFor([step1] { return !step1->lblInfo1->text().isEmpty(); });
    return step1;
}

// Step 2 reached from step 1, with its live preview drawn. `setUp` changes the settings before
// step 2 loads them.
Frm2 *shownStep2(Wizard &wizard, const std::function<void()> &setUp = {})
{
    shownStep1(wizard);
    if (setUp)
        setUp();
    wizard.showStep(2);
    Frm2 *step2 = wizard.frm2();
    waitFor([step2] { return !step2->PicPreview->picture().isNull(); });
    return step2;
}

// Step 3 reached through step 2's Next, or its Skip for the rename-only mode.
Frm3 *shownStep3(Wizard &wizard, bool renameOnly, const std::function<void()> &setUp = {})
{
    Frm2 *step2 = shownStep2(wizard, setUp);
    (renameOnly ? step2->Command4 : step2->Command1)->click();
    return wizard.frm3();
}

// A real run of the demo pictures into a scratch folder, and its report.
QWidget *shownReport(Wizard &wizard)
{
    Frm3 *step3 = shownStep3(wizard, false);
    BatchChoices choices;
    choices.selection = wizard.frm1()->selection();
    choices.options = wizard.frm2()->options();
    choices.rule = step3->namingDialog()->rule();
    const QString output = QDir::tempPath() + QStringLiteral("/pixwright/桌面/");
    QDir(output).removeRecursively();
    BatchRunner runner;
    BatchResult result;
    bool done = false;
    QObject::connect(&runner, &BatchRunner::finished, [&](const BatchResult &r) {
        result = r;
        done = true;
    });
    runner.start(MakeBatchInputs(choices, output).inputs);
    waitFor([&done] { return done; });
    auto *report = new FrmErr(wizard, result.runFolder, result.report, result.reportColour, step3);
    report->show();
    return report;
}

struct Shot
{
    const char *name;
    std::function<QWidget *(Wizard &)> make;
};

const Shot kShots[] = {
        {"step1",
         [](Wizard &wizard) {
             return shownStep1(wizard);
         }},
        {"step1-empty",
         [](Wizard &wizard) -> QWidget * {
             // A folder without pictures: the list takes the preview's room.
             const QString empty = QDir::tempPath() + QStringLiteral("/pixwright/空文件夹/");
             QDir().mkpath(empty);
             Frm1 *step1 = static_cast<Frm1 *>(shownStep1(wizard));
             step1->useFolderAsSource(empty);
             return step1;
         }},
        {"frmsm",
         [](Wizard &wizard) -> QWidget * {
             Frm1 *step1 = static_cast<Frm1 *>(shownStep1(wizard));
             auto *dialog = new FrmSM(step1);
             // PW_SCREENSHOT_PICTURE names another picture (long maker notes, say).
             QString path = qEnvironmentVariable("PW_SCREENSHOT_PICTURE");
             if (path.isEmpty())
                 path = DemoFolder() + step1->List1->item(step1->List1->count() - 1)->text();
             dialog->prepare(path, QFileInfo(path).fileName());
             dialog->show();
             return dialog;
         }},
        {"step2",
         [](Wizard &wizard) -> QWidget * {
             // A text over the picture on a box, as many users add a copyright line.
             return shownStep2(wizard, [] {
                 WriteIni(Keys::kSectionSelected, Keys::kFitMode, QStringLiteral("1"));
                 WriteIni(Keys::kSectionSelected, Keys::kAddText, QStringLiteral("1"));
                 WriteIni(Keys::kSectionSelected, Keys::kOverlayText,
                          Frm2::tr("摄于 湖山远眺`^`Pixwright"));
                 WriteIni(Keys::kSectionSelected, Keys::kTextColour, QStringLiteral("16777215"));
                 WriteIni(Keys::kSectionSelected, Keys::kTextBackColour,
                          QStringLiteral("10485760")); // dark blue
             });
         }},
        {"step2-mode3",
         [](Wizard &wizard) -> QWidget * {
             Frm2 *step2 = shownStep2(wizard);
             step2->op32->click();
             step2->OpSYT[2]->setFocus();
             return step2;
         }},
        {"step2-mode5",
         [](Wizard &wizard) -> QWidget * {
             Frm2 *step2 = shownStep2(wizard);
             step2->OpSYT[4]->click();
             return step2;
         }},
        {"fontdialog",
         [](Wizard &wizard) -> QWidget * {
             Frm2 *step2 = shownStep2(wizard);
             QFont font(QStringLiteral("宋体"));
             font.setPointSizeF(10.5);
             auto *dialog = new FontColourDialog(FontChoice{font, QColor(0x80, 0, 0)}, step2);
             dialog->show();
             return dialog;
         }},
        {"step3",
         [](Wizard &wizard) -> QWidget * {
             Frm3 *step3 = shownStep3(wizard, false);
             step3->SetBackgroundColour(0xE6D8AD, false); // light blue
             return step3;
         }},
        {"step3-mode3",
         [](Wizard &wizard) -> QWidget * {
             return shownStep3(wizard, false, [] {
                 WriteIni(Keys::kSectionSelected, Keys::kFitMode, QStringLiteral("2"));
             });
         }},
        {"step3-rename",
         [](Wizard &wizard) -> QWidget * {
             return shownStep3(wizard, true);
         }},
        {"frmrename",
         [](Wizard &wizard) -> QWidget * {
             FrmRename *dialog = shownStep3(wizard, false)->namingDialog();
             dialog->showModal();
             return dialog;
         }},
        {"frmrename2",
         [](Wizard &wizard) -> QWidget * {
             Frm3 *step3 = shownStep3(wizard, true);
             FrmRename2 *preview = nullptr;
             QObject::connect(step3, &Frm3::previewShown,
                              [&preview](FrmRename2 *dialog) { preview = dialog; });
             step3->RunOrStop();
             waitFor([&preview] { return preview != nullptr; });
             return preview;
         }},
        {"frmerr",
         [](Wizard &wizard) {
             return shownReport(wizard);
         }},
        {"warning",
         [](Wizard &wizard) -> QWidget * {
             // A warning as DesktopServices shows it, with Qt's own button text in Chinese.
             auto *box = new QMessageBox(QMessageBox::Warning, ProductName(),
                                         Frm1::tr("请先选择包含至少一个图片的文件夹！") + u'\n'
                                                 + Frm1::tr("当此文件夹中图片发生变化时再刷新！"),
                                         QMessageBox::Ok, shownStep1(wizard));
             box->show();
             return box;
         }},
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC")));
    // The language of the environment, as the program itself chooses it (LANG=en_US.UTF-8
    // renders the English windows).
    InstallTranslations(app);
    const QStringList args = app.arguments().mid(1);
    if (args.value(0) == QLatin1String("--list")) {
        for (const Shot &shot : kShots)
            std::printf("%s\n", shot.name);
        return 0;
    }
    if (args.isEmpty()) {
        std::fputs("usage: pw_screenshots OUTPUT_FOLDER [NAME...]\n", stderr);
        return 2;
    }
    // The demo pictures in a folder whose name reads well in a picture of the window.
    const QString appFolder = QDir::tempPath() + QStringLiteral("/pixwright/");
    QDir().mkpath(appFolder + QStringLiteral("演示"));
    const QDir demo(QStringLiteral(PW_APP_DIR "/演示"));
    for (const QString &name : demo.entryList(QDir::Files))
        if (!QFile::exists(appFolder + QStringLiteral("演示/") + name))
            QFile::copy(demo.filePath(name), appFolder + QStringLiteral("演示/") + name);
    // The mode illustrations of step 2.
    QDir().mkpath(appFolder + QStringLiteral("pic"));
    const QDir pictures(QStringLiteral(PW_APP_DIR "/pic"));
    for (const QString &name : pictures.entryList(QDir::Files))
        if (!QFile::exists(appFolder + QStringLiteral("pic/") + name))
            QFile::copy(pictures.filePath(name), appFolder + QStringLiteral("pic/") + name);

    const QDir out(args.first());
    out.mkpath(QStringLiteral("."));
    const QStringList wanted = args.mid(1);
    int failures = 0;
    for (const Shot &shot : kShots) {
        const QString name = QString::fromLatin1(shot.name);
        if (!wanted.isEmpty() && !wanted.contains(name))
            continue;
        QTemporaryDir settings;
        SetDefaultSettingsFile(settings.filePath(QStringLiteral("Set.ini")));
        SetAppFolder(appFolder);
        // The pictures of the demo folder, as a user who chose it sees them.
        StoreSourceFolder(DemoFolder());
        GuiServices *services = new DesktopServices;
        auto *wizard = new Wizard(*services);
        QWidget *window = shot.make(*wizard);
        settle();
        const QString file = out.filePath(name + QStringLiteral(".png"));
        if (!window || !window->grab().save(file)) {
            std::fprintf(stderr, "pw_screenshots: could not render %s\n", shot.name);
            ++failures;
        } else {
            std::printf("%s\n", qPrintable(QDir::toNativeSeparators(file)));
        }
        // The windows stay until the program ends, as in the wizard.
        for (QWidget *top : QApplication::topLevelWidgets())
            top->hide();
    }
    return failures == 0 ? 0 : 1;
}
