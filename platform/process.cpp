#include "platform/process.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace Pw {

namespace {

constexpr qsizetype kOutputTail = 64 * 1024;
constexpr int kPollMs = 20; // short enough that the interface never feels stuck

void keepTail(QByteArray &output, const QByteArray &more)
{
    output += more;
    if (output.size() > kOutputTail)
        output.remove(0, output.size() - kOutputTail);
}

} // namespace

void EndWithParent(pid_t parent)
{
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    // The parent may have died before the request above was made: the child then belongs to
    // another process already and would never get the signal.
    if (::getppid() != parent)
        ::_exit(127);
}

static void drain(QProcess &process, ProcessResult &result)
{
    process.readAllStandardOutput();
    keepTail(result.standardError, process.readAllStandardError());
}

ProcessResult RunAndWait(const QString &program, const QStringList &arguments,
                         const std::function<void()> &yield, int timeoutMs)
{
    ProcessResult result;
    QProcess process;
    // Read the output as it comes: a child that writes much must never block on a full pipe.
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    // A group of its own: the terminal's Ctrl+C reaches this program, which decides whether to
    // stop, and never the child in the middle of its work. A group of its own also means a kill
    // of this program's group misses the child, so it is tied to this program's life instead
    // (the signal comes when the forking thread ends: this one, which waits for the child).
    const pid_t parent = ::getpid();
    process.setChildProcessModifier([parent] {
        ::setpgid(0, 0);
        EndWithParent(parent);
    });
    process.start(program, arguments, QIODevice::ReadOnly);
    if (!process.waitForStarted(-1)) {
        result.error = process.errorString();
        return result;
    }
    result.started = true;

    QElapsedTimer clock;
    clock.start();
    while (!process.waitForFinished(kPollMs)) {
        drain(process, result);
        if (process.state() == QProcess::NotRunning)
            break;
        if (yield)
            yield();
        if (timeoutMs > 0 && clock.elapsed() >= timeoutMs) {
            process.kill();
            process.waitForFinished(-1);
            result.timedOut = true;
            result.error = QStringLiteral("%1 did not end within %2 s and was stopped")
                                   .arg(program)
                                   .arg(timeoutMs / 1000.0);
            drain(process, result);
            return result;
        }
    }
    drain(process, result);
    if (process.exitStatus() == QProcess::CrashExit) {
        result.crashed = true;
        result.error = process.errorString();
    } else {
        result.exitCode = process.exitCode();
    }
    return result;
}

} // namespace Pw
