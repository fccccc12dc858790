#pragma once

#include <QString>

namespace Pw {

// What a long run (the batch run, the rename-only run) needs from whoever hosts it:
// the wizard's windows or the command line. The run knows nothing of widgets and never asks
// the user anything: questions come before a run starts, from its caller.
class RunHost
{
public:
    virtual ~RunHost() = default;

    // The batch run has really started: its folder exists and the first file is next.
    virtual void runStarted(const QString &runFolder) { Q_UNUSED(runFolder); }
    // Progress of the file in hand: ordinal is 1-based among the selected files.
    virtual void progress(int ordinal, int total, const QString &text) = 0;
    // Called once per file and while waiting, so the host can keep its interface alive.
    virtual void yield() = 0;
    // A stop press waiting to be honoured; runs check it between files.
    virtual bool stopRequested() const = 0;
    // The run honoured the stop request.
    virtual void clearStopRequest() = 0;
    // The batch run has ended (every file walked, stopped, or no folder could be made); its
    // result is what RunBatch returns next.
    virtual void runEnded() {}
};

} // namespace Pw
