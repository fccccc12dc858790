#pragma once

// Runs the built program as a user does: `pixwright ARGS` beside the app folder, with the test's
// environment. The command lines live in cli/, which a folder's test does not link.

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace PwTest {

struct ProgramRun
{
    int status = -1; // the exit status; -1 when it crashed or did not end in a minute
    QByteArray out;
    QByteArray err;
};

inline ProgramRun runPixwright(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral(PW_APP_DIR "/pixwright"), args);
    const bool ended = process.waitForFinished(60000);
    ProgramRun run;
    if (ended && process.exitStatus() == QProcess::NormalExit)
        run.status = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

} // namespace PwTest
