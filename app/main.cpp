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

// The wizard: step 1 first; the program ends when a step window closes by its rules.
int runWizard(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Pw::InstallFontSubstitutions();
    QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC")));
    Pw::InstallTranslations(app);
    Pw::DesktopServices services;
    Pw::Wizard wizard(services);
    QApplication::setWindowIcon(wizard.icon());
    QObject::connect(&wizard, &Pw::Wizard::ended, &app, &QApplication::quit, Qt::QueuedConnection);
    wizard.start();
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
    if (argc < 2)
        return runWizard(argc, argv);
    QCoreApplication app(argc, argv);
    Pw::InstallTranslations(app);
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
