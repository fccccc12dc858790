#include "app/frm1.h"
#include "app/guiservices.h"
#include "app/wizard.h"
#include "cli/infocommand.h"
#include "cli/renamecommand.h"
#include "cli/runcommand.h"
#include "cli/toplevel.h"
#include "imaging/memorytuning.h"
#include "platform/apppaths.h"
#include "platform/bytepaths.h"
#include "platform/fonts.h"
#include "platform/translations.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStringList>

#include <cstdio>
#include <cstring>

namespace {

bool hasDisplay()
{
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

// The batch run draws text, which needs the GUI application, but opens no window: it always
// draws off screen, so a missing or unreachable display cannot stop it. With no arguments and
// no display it shows a newcomer the program at work on the demo pictures.
int runBatch(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    Pw::InstallTranslations(app);
    Pw::InstallFontSubstitutions();
    const QStringList args = Pw::ArgumentsFromBytes(argc, argv).mid(1);
    if (args.isEmpty()) {
        Pw::SayNoDisplay();
        return Pw::RunBatchCommand({Pw::DemoFolder(), QStringLiteral("--yes")});
    }
    return Pw::RunBatchCommand(args.mid(1));
}

// `pixwright FILE...` or `pixwright FOLDER`, as the desktop's "Open with" starts it: the first
// argument names something on disk (a command word always wins; "./run" names the folder).
bool opensPaths(int argc, char *argv[])
{
    if (argc < 2)
        return false;
    const QString first = QFile::decodeName(argv[1]);
    const bool commandWord = first == QLatin1String("run") || first == QLatin1String("info")
                             || first == QLatin1String("rename") || first.startsWith(u'-');
    return !commandWord && QFileInfo::exists(first);
}

// The wizard: step 1 first, on the paths given when there are some; the program ends when a
// step window closes by its rules.
int runWizard(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Ties the windows to the installed desktop entry: its icon and name in docks and task bars.
    QGuiApplication::setDesktopFileName(QStringLiteral(PW_APP_ID));
    Pw::InstallFontSubstitutions();
    QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC")));
    Pw::InstallTranslations(app);
    Pw::DesktopServices services;
    Pw::Wizard wizard(services);
    QApplication::setWindowIcon(wizard.icon());
    QObject::connect(&wizard, &Pw::Wizard::ended, &app, &QApplication::quit, Qt::QueuedConnection);
    wizard.start();
    const QStringList paths = Pw::ArgumentsFromBytes(argc, argv).mid(1);
    if (!paths.isEmpty())
        wizard.frm1()->openPaths(paths);
    return app.exec();
}

void printVersion()
{
    std::printf("Pixwright(Ver %s)\n", PIXWRIGHT_VERSION);
}

} // namespace

int main(int argc, char *argv[])
{
    Pw::TuneAllocator();
    if (argc < 2 ? !hasDisplay() : std::strcmp(argv[1], "run") == 0)
        return runBatch(argc, argv);
    if (argc < 2 || (opensPaths(argc, argv) && hasDisplay()))
        return runWizard(argc, argv);
    QCoreApplication app(argc, argv);
    Pw::InstallTranslations(app);
    if (opensPaths(argc, argv))
        return Pw::SayNoDisplayForWizard();
    // By their bytes: QCoreApplication::arguments() turns a path that is not UTF-8 into another.
    const QStringList args = Pw::ArgumentsFromBytes(argc, argv).mid(1);
    if (args.isEmpty() || args.first() == QLatin1String("--version")) {
        printVersion();
        return 0;
    }
    if (args.first() == QLatin1String("info"))
        return Pw::RunInfoCommand(args.mid(1));
    if (args.first() == QLatin1String("rename"))
        return Pw::RunRenameCommand(args.mid(1));
    if (args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h"))
        return Pw::PrintCommandList();
    return Pw::UnknownCommand(args.first());
}
