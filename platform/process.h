#pragma once

#include <QString>
#include <QStringList>

#include <functional>

#include <sys/types.h>

namespace Pw {

struct ProcessResult
{
    bool started = false;     // false: the program could not be started (see error)
    bool timedOut = false;    // it ran past the time-out and was killed
    bool crashed = false;     // it ended by a signal
    int exitCode = -1;        // valid when started, not timed out and not crashed
    QString error;            // why it could not start, or what went wrong; empty on a clean exit
    QByteArray standardError; // the last 64 KiB it wrote to stderr (stdout is read and dropped)

    bool succeeded() const { return started && !timedOut && !crashed && exitCode == 0; }
};

inline constexpr int kDefaultRunTimeoutMs = 60000;

// Starts program with arguments (an argument vector: no shell, so blanks, quotes and '$' in
// paths are safe) and waits for its end, calling yield every few milliseconds meanwhile so
// the caller's interface stays live. A program that cannot start returns at once with
// started = false; one that runs past timeoutMs (<= 0: no limit) is killed and reported.
// The program runs in a process group of its own, so signals the terminal sends to this
// program's group (Ctrl+C) do not reach it, and it is killed when this program dies (even by
// SIGKILL), so it never outlives a run that was killed.
ProcessResult RunAndWait(const QString &program, const QStringList &arguments,
                         const std::function<void()> &yield = {},
                         int timeoutMs = kDefaultRunTimeoutMs);

// In a child between fork and exec: asks the kernel to kill this process when the thread that
// forked it ends, and ends it at once when parent (its pid read before the fork) is already
// gone. Only async-signal-safe calls.
void EndWithParent(pid_t parent);

} // namespace Pw
