#include "exif/infocommand.h"
#include "naming/renamecommand.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

constexpr const char *kUsage = "usage: pixwright [--version]\n";

void printVersion()
{
    std::printf("Pixwright(Ver %s)\n", PIXWRIGHT_VERSION);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.first() == QLatin1String("--version")) {
        printVersion();
        return 0;
    }
    if (args.first() == QLatin1String("info"))
        return Pw::RunInfoCommand(args.mid(1));
    if (args.first() == QLatin1String("rename"))
        return Pw::RunRenameCommand(args.mid(1));
    std::fputs(kUsage, stderr);
    return 2;
}
